#include "playback/wavfile.h"

#include <QByteArray>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int headerBytes = 44;
// The RIFF sizes are 32-bit; a longer recording stops growing rather than corrupting the header.
constexpr int64_t maxDataBytes = std::numeric_limits<uint32_t>::max() - headerBytes;

void putU32(char* at, uint32_t value)
{
    qToLittleEndian(value, at);
}

void putU16(char* at, uint16_t value)
{
    qToLittleEndian(value, at);
}

QByteArray header(int channels, int rate, uint32_t dataBytes)
{
    QByteArray bytes(headerBytes, '\0');
    char* h = bytes.data();
    std::copy_n("RIFF", 4, h);
    putU32(h + 4, dataBytes + headerBytes - 8);
    std::copy_n("WAVEfmt ", 8, h + 8);
    putU32(h + 16, 16);
    putU16(h + 20, 1); // PCM
    putU16(h + 22, uint16_t(channels));
    putU32(h + 24, uint32_t(rate));
    putU32(h + 28, uint32_t(rate * channels * 2));
    putU16(h + 32, uint16_t(channels * 2));
    putU16(h + 34, 16);
    std::copy_n("data", 4, h + 36);
    putU32(h + 40, dataBytes);
    return bytes;
}

QByteArray pcm16(const float* samples, int64_t count)
{
    QByteArray bytes(int(count * 2), '\0');
    for (int64_t i = 0; i < count; ++i) {
        const float clamped = std::clamp(samples[i], -1.0f, 1.0f);
        const auto value = int16_t(std::lround(clamped * 32767.0f));
        qToLittleEndian(value, bytes.data() + i * 2);
    }
    return bytes;
}

} // namespace

bool writeWav(const QString& path, const std::vector<float>& interleaved, int channels, int rate)
{
    const int64_t dataBytes = int64_t(interleaved.size()) * 2;
    if (channels <= 0 || dataBytes > maxDataBytes)
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = pcm16(interleaved.data(), int64_t(interleaved.size()));
    return file.write(header(channels, rate, uint32_t(dataBytes))) == headerBytes &&
           file.write(data) == data.size() && file.commit();
}

WavRecorder::WavRecorder(const QString& path, int channels, int rate)
    : file(path), channels(channels), rate(rate)
{
    if (file.open(QIODevice::WriteOnly))
        failed = file.write(header(channels, rate, 0)) != headerBytes;
}

void WavRecorder::append(const float* interleaved, int frames)
{
    const int64_t count = int64_t(frames) * channels;
    if (failed || !file.isOpen() || dataBytes + count * 2 > maxDataBytes)
        return;
    const QByteArray data = pcm16(interleaved, count);
    failed = file.write(data) != data.size();
    dataBytes += data.size();
}

bool WavRecorder::finish()
{
    if (!file.isOpen())
        return false;
    if (failed || !file.seek(0) ||
        file.write(header(channels, rate, uint32_t(dataBytes))) != headerBytes) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}
