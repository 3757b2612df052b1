#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

// Readers take paths: each fuzz input is written to a file of this name in a temporary folder.
// Returns the file's path, or an empty text if it could not be written.
inline QString writeFuzzInput(const char* name, const uint8_t* bytes, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(bytes), qint64(size)) != qint64(size))
        return QString();
    return path;
}
