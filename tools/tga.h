#pragma once

#include <QImage>
#include <QString>

// Writes an uncompressed 24-bit TGA, top row first, the form the program's texture loader reads.
bool writeTga(const QString& path, const QImage& image);
