#include "scene/tgaimage.h"

#include "common/dialogs.h"

#include <GL/glu.h>
#include <QFile>
#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 headerSize = 18;

int readLittleEndian16(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8);
}

} // namespace

TgaImage::TgaImage(const char* path) : TgaImage(QString::fromLocal8Bit(path)) {}

TgaImage::TgaImage(const QString& path)
{
    load(path);
}

TgaImage::TgaImage(QIODevice& device)
{
    load(device);
}

TgaImage::~TgaImage()
{
    freeData();
}

void TgaImage::load(const QString& path)
{
    freeData();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Dialogs::systemMessage("Error", "Nemuzu otevrit TGA soubor!");
        return;
    }
    load(file);
}

void TgaImage::load(QIODevice& device)
{
    freeData();
    unsigned char header[headerSize] = {};
    if (device.read(reinterpret_cast<char*>(header), headerSize) != headerSize)
        return;
    const int fileWidth = readLittleEndian16(header + 12);
    const int fileHeight = readLittleEndian16(header + 14);
    const int depth = header[16];
    if (depth != 24 || fileWidth == 0 || fileHeight == 0 || fileWidth > maxSide ||
        fileHeight > maxSide)
        return;

    // A file shorter than its header says keeps only the rows it holds in full.
    const qint64 rowBytes = qint64(fileWidth) * 3;
    const qint64 rowsHeld = device.bytesAvailable() / rowBytes;
    const int rows = int(std::min<qint64>(fileHeight, rowsHeld));
    if (rows <= 0)
        return;

    width = fileWidth;
    height = rows;
    data = new unsigned char[size_t(rowBytes) * size_t(height)];
    for (int row = height - 1; row >= 0; --row) {
        unsigned char* target = data + size_t(row) * size_t(rowBytes);
        if (device.read(reinterpret_cast<char*>(target), rowBytes) != rowBytes) {
            freeData();
            return;
        }
    }
    for (size_t pixel = 0; pixel < size_t(width) * size_t(height); ++pixel)
        std::swap(data[pixel * 3], data[pixel * 3 + 2]);
}

void TgaImage::upload(GLuint* ids, int index)
{
    glGenTextures(1, &ids[index]);
    glBindTexture(GL_TEXTURE_2D, ids[index]);
    if (!data)
        return;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE, data);
}

void TgaImage::freeData()
{
    delete[] data;
    data = nullptr;
    width = 0;
    height = 0;
}
