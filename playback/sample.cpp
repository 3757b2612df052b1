#include "playback/sample.h"

#include "playback/wavview.h"

#include <QBuffer>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <samplerate.h>
#include <sndfile.h>

namespace {

constexpr int64_t maxSeconds = 120;
constexpr int64_t maxSourceFrames = maxSeconds * 48000;
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
    if (!file || info.channels < 1 || info.channels > SampleLimits::maxChannels ||
        info.samplerate < SampleLimits::minRate || info.samplerate > SampleLimits::maxRate)
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

// What libsndfile reads through its virtual I/O: a header of our own, if any, then a stretch of
// the device, then as many zero bytes as the padding asks for.
struct DeviceFile
{
    QIODevice& device;
    QByteArray header;
    qint64 offset = 0;
    qint64 length = 0;
    qint64 padding = 0;
    sf_count_t position = 0;

    sf_count_t stretchEnd() const { return header.size() + length; }
    sf_count_t size() const { return stretchEnd() + padding; }
};

sf_count_t deviceLength(void* user)
{
    return static_cast<DeviceFile*>(user)->size();
}

sf_count_t deviceSeek(sf_count_t offset, int whence, void* user)
{
    auto* file = static_cast<DeviceFile*>(user);
    const sf_count_t base = whence == SEEK_CUR   ? file->position
                            : whence == SEEK_END ? file->size()
                                                 : 0;
    const sf_count_t target = base + offset;
    if (target < 0 || target > file->size())
        return -1;
    file->position = target;
    return target;
}

sf_count_t deviceRead(void* destination, sf_count_t count, void* user)
{
    auto* file = static_cast<DeviceFile*>(user);
    auto* to = static_cast<char*>(destination);
    count = std::clamp<sf_count_t>(file->size() - file->position, 0, count);
    sf_count_t done = 0;
    if (file->position < file->header.size()) {
        done = std::min<sf_count_t>(count, file->header.size() - file->position);
        std::memcpy(to, file->header.constData() + file->position, size_t(done));
    }
    const sf_count_t fromStretch =
        std::min<sf_count_t>(count, file->stretchEnd() - file->position) - done;
    if (fromStretch > 0) {
        const qint64 from = file->offset + file->position + done - file->header.size();
        const qint64 got = file->device.seek(from) ? file->device.read(to + done, fromStretch) : 0;
        done += std::max<qint64>(got, 0);
        if (got < fromStretch)
            count = done;
    }
    std::memset(to + done, 0, size_t(count - done));
    file->position += count;
    return count;
}

sf_count_t deviceWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t deviceTell(void* user)
{
    return static_cast<DeviceFile*>(user)->position;
}

bool isMpegFrame(const QByteArray& head)
{
    return head.size() >= 2 && quint8(head[0]) == 0xff && (quint8(head[1]) & 0xe0) == 0xe0;
}

// The size of an ID3 tag, from its header: the header, the tag's body and its footer, if any.
qint64 id3TagSize(const QByteArray& head)
{
    constexpr int footerFlag = 0x10;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i)
        size = size << 7 | (quint8(head[i]) & 0x7f);
    return 10 + size + (head[5] & footerFlag ? 10 : 0);
}

// Where the sound that libsndfile is to read starts, or -1 for a file it is not to read.
// libsndfile guesses a format from the first bytes and parses whatever it finds there, and the
// parsers of formats that no kit uses can be kept busy by a few bytes: besides WAV (shown through
// WavView), only FLAC, Ogg and MP3 reach it. An ID3 tag before an MP3 or FLAC stream is cut off
// here, since libsndfile's own skip of it guesses again at the wrong place.
qint64 playedSoundStart(QIODevice& device)
{
    QByteArray head(10, '\0');
    if (!device.seek(0) || device.read(head.data(), head.size()) != head.size())
        return -1;
    if (head.startsWith("fLaC") || head.startsWith("OggS") || isMpegFrame(head))
        return 0;
    if (!head.startsWith("ID3"))
        return -1;
    const qint64 start = id3TagSize(head);
    if (start + 4 > device.size() || !device.seek(start))
        return -1;
    head = device.read(4);
    return head == "fLaC" || isMpegFrame(head) ? start : -1;
}

std::unique_ptr<Sample> decodeDevice(QIODevice& device, int rate)
{
    const WavView wav = WavView::of(device);
    if (wav.kind == WavView::Damaged)
        return nullptr;
    DeviceFile file{device, wav.header, wav.dataOffset, wav.dataSize, wav.padding};
    if (wav.kind == WavView::NotWav) {
        file.offset = playedSoundStart(device);
        if (file.offset < 0)
            return nullptr;
        file.length = device.size() - file.offset;
    }
    SF_VIRTUAL_IO io{deviceLength, deviceSeek, deviceRead, deviceWrite, deviceTell};
    SF_INFO info{};
    SndfilePtr sndfile(sf_open_virtual(&io, SFM_READ, &info, &file));
    return decode(sndfile.get(), info, rate);
}

} // namespace

std::unique_ptr<Sample> decodeSampleFile(const QString& path, int rate)
{
    // A pipe or device would block the reader: only files are read.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return nullptr;
    return decodeDevice(file, rate);
}

std::unique_ptr<Sample> decodeSampleBytes(const QByteArray& bytes, int rate)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decodeDevice(buffer, rate);
}
