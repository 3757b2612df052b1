#include "playback/sample.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const auto sample = decodeSampleBytes(data, 44100);
    if (sample) {
        // Touch every frame so that a buffer shorter than its count is caught.
        float sum = 0;
        for (float value : sample->frames)
            sum += value;
        (void)sum;
    }
    return 0;
}
