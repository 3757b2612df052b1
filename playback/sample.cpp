#include "playback/sample.h"

#include "playback/wavlist.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <samplerate.h>
#include <sndfile.h>

namespace {

constexpr int64_t maxSeconds = 120;
constexpr int64_t maxSourceFrames = maxSeconds * 48000;
constexpr int maxChannels = 16;
constexpr int minRate = 1000;
constexpr int maxRate = 384000;
constexpr int64_t readFrames = 4096;

struct SndfileCloser
{
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

// Reads until the decoder returns nothing: the frame count that MP3 headers give is not trusted.
// Returns interleaved stereo at the file's own rate.
std::vector<float> readStereo(SNDFILE* file, int channels, int64_t limit)
{
    std::vector<float> block(size_t(readFrames * channels));
    std::vector<float> stereo;
    int64_t total = 0;
    while (total < limit) {
        const sf_count_t want = std::min<int64_t>(readFrames, limit - total);
        const sf_count_t got = sf_readf_float(file, block.data(), want);
        if (got <= 0)
            break;
        for (sf_count_t i = 0; i < got; ++i) {
            const float* frame = block.data() + i * channels;
            stereo.push_back(frame[0]);
            stereo.push_back(channels > 1 ? frame[1] : frame[0]);
        }
        total += got;
    }
    return stereo;
}

std::vector<float> resampled(const std::vector<float>& stereo, int from, int to)
{
    if (from == to || stereo.empty())
        return stereo;
    const double ratio = double(to) / from;
    const auto inFrames = long(stereo.size() / 2);
    std::vector<float> out(size_t((double(inFrames) * ratio + 16) * 2));
    SRC_DATA data{};
    data.data_in = stereo.data();
    data.input_frames = inFrames;
    data.data_out = out.data();
    data.output_frames = long(out.size() / 2);
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 2) != 0)
        return {};
    out.resize(size_t(data.output_frames_gen * 2));
    return out;
}

std::unique_ptr<Sample> decode(SNDFILE* file, const SF_INFO& info, int rate)
{
    if (!file || info.channels < 1 || info.channels > maxChannels || info.samplerate < minRate ||
        info.samplerate > maxRate)
        return nullptr;
    const std::vector<float> stereo =
        readStereo(file, info.channels, std::min(maxSourceFrames, maxSeconds * info.samplerate));
    if (stereo.empty())
        return nullptr;
    auto sample = std::make_unique<Sample>();
    sample->frames = resampled(stereo, info.samplerate, rate);
    if (sample->frames.empty())
        return nullptr;
    return sample;
}

// libsndfile's virtual I/O over a byte array.
struct MemoryFile
{
    const QByteArray& bytes;
    sf_count_t position = 0;
};

sf_count_t memoryLength(void* user)
{
    return static_cast<MemoryFile*>(user)->bytes.size();
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t base = whence == SEEK_CUR   ? file->position
                            : whence == SEEK_END ? file->bytes.size()
                                                 : 0;
    const sf_count_t target = base + offset;
    if (target < 0 || target > file->bytes.size())
        return -1;
    file->position = target;
    return target;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user)
{
    auto* file = static_cast<MemoryFile*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(file->bytes.size() - file->position, 0, count);
    std::memcpy(destination, file->bytes.constData() + file->position, size_t(n));
    file->position += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t memoryTell(void* user)
{
    return static_cast<MemoryFile*>(user)->position;
}

} // namespace

std::unique_ptr<Sample> decodeSampleFile(const QString& path, int rate)
{
    QFile header(path);
    if (header.open(QIODevice::ReadOnly) && hasNegativeListEntry(header))
        return nullptr;
    SF_INFO info{};
    SndfilePtr file(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    return decode(file.get(), info, rate);
}

std::unique_ptr<Sample> decodeSampleBytes(const QByteArray& bytes, int rate)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (buffer.open(QIODevice::ReadOnly) && hasNegativeListEntry(buffer))
        return nullptr;
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    MemoryFile memory{bytes};
    SF_INFO info{};
    SndfilePtr file(sf_open_virtual(&io, SFM_READ, &info, &memory));
    return decode(file.get(), info, rate);
}
