#include "fuzz/inputfile.h"
#include "fuzz/silentdialogs.h"
#include "humanoid/tgaimage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static SilentDialogs silent;
    const QString path = writeFuzzInput("input.tga", bytes, size);
    if (path.isEmpty())
        return 0;
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
