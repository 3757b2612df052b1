#include "tools/tga.h"

#include <QSaveFile>

bool writeTga(const QString& path, const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray bytes(18, '\0');
    bytes[2] = 2; // uncompressed true colour
    bytes[12] = char(rgb.width() & 0xff);
    bytes[13] = char(rgb.width() >> 8);
    bytes[14] = char(rgb.height() & 0xff);
    bytes[15] = char(rgb.height() >> 8);
    bytes[16] = 24;
    bytes[17] = 0x20; // top-left origin: the first stored row is the top one
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            bytes.append(char(line[x * 3 + 2]));
            bytes.append(char(line[x * 3 + 1]));
            bytes.append(char(line[x * 3]));
        }
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
