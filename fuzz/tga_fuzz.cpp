#include "scene/tgaimage.h"

#include <QBuffer>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)));
    buffer.open(QIODevice::ReadOnly);
    TgaImage image(buffer);
    if (image.data) {
        // Touch every pixel so that a buffer smaller than its size is caught.
        unsigned sum = 0;
        for (int i = 0; i < image.width * image.height * 3; ++i)
            sum += image.data[i];
        (void)sum;
    }
    return 0;
}
