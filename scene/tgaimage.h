#pragma once

#include <GL/gl.h>
#include <QString>

class QIODevice;

// An uncompressed 24-bit TGA image as an RGB buffer whose row 0 is the file's last row, ready to
// upload as a mipmapped texture.
class TgaImage
{
public:
    // Images larger than this on either side are refused.
    static constexpr int maxSide = 8192;

    explicit TgaImage(const char* path);
    explicit TgaImage(const QString& path);
    // The image that the rest of an open device holds.
    explicit TgaImage(QIODevice& device);
    TgaImage(const TgaImage&) = delete;
    TgaImage& operator=(const TgaImage&) = delete;
    ~TgaImage();

    void load(const QString& path);
    void load(QIODevice& device);
    // Generates texture ids[index], binds it and builds its mipmaps from the buffer; an empty
    // image gives a texture without pixels.
    void upload(GLuint* ids, int index);
    void freeData();

    unsigned char* data = nullptr;
    int width = 0;
    int height = 0;
};
