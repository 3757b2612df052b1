#include "fuzz/silentdialogs.h"
#include "humanoid/tgaimage.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static SilentDialogs silent;
    static QTemporaryDir dir;
    const QString path = dir.filePath("input.tga");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char*>(bytes), qint64(size));
    }
    TgaImage image(path);
    if (image.data) {
        // Touch every pixel so that a buffer smaller than its size is caught.
        unsigned sum = 0;
        for (int i = 0; i < image.width * image.height * 3; ++i)
            sum += image.data[i];
        (void)sum;
    }
    return 0;
}
