#include "playback/wavview.h"

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

// A format chunk is 16 to 40 bytes; anything much larger is not one.
constexpr quint32 maxFormatSize = 1024;
// The header's sizes are 32-bit; no sample the program plays comes near this.
constexpr qint64 maxDataSize = 0x7fff0000;
// Real files hold a dozen chunks; one of countless tiny chunks is not worth walking through.
constexpr int maxChunks = 1024;

struct Chunk
{
    char id[4];
    quint32 size;
};

class ChunkReader
{
public:
    ChunkReader(QIODevice& device, bool bigEndian) : device(device), bigEndian(bigEndian) {}

    bool read(qint64 position, char* to, qint64 size) const
    {
        return device.seek(position) && device.read(to, size) == size;
    }

    quint32 value32(const char* bytes) const
    {
        return bigEndian ? qFromBigEndian<quint32>(bytes) : qFromLittleEndian<quint32>(bytes);
    }

    quint16 value16(const char* bytes) const
    {
        return bigEndian ? qFromBigEndian<quint16>(bytes) : qFromLittleEndian<quint16>(bytes);
    }

    bool chunkAt(qint64 position, Chunk& chunk) const
    {
        char head[8];
        if (!read(position, head, 8))
            return false;
        std::memcpy(chunk.id, head, 4);
        chunk.size = value32(head + 4);
        return true;
    }

    // RF64 keeps the data chunk's true size in its "ds64" chunk, after the RIFF size.
    qint64 ds64DataSize(qint64 contentAt) const
    {
        char size[8];
        if (!read(contentAt + 8, size, 8))
            return -1;
        return qint64(std::min<quint64>(qFromLittleEndian<quint64>(size), quint64(maxDataSize)));
    }

private:
    QIODevice& device;
    bool bigEndian;
};

template <typename Value> QByteArray field(Value value, bool bigEndian)
{
    QByteArray bytes(sizeof(Value), '\0');
    if (bigEndian)
        qToBigEndian(value, bytes.data());
    else
        qToLittleEndian(value, bytes.data());
    return bytes;
}

bool is(const char* id, const char* name)
{
    return std::memcmp(id, name, 4) == 0;
}

// The encodings whose format chunk is rebuilt; an extensible format names its encoding as its
// sub-format.
enum FormatTag : quint16
{
    Unknown = 0,
    Pcm = 1,
    IeeeFloat = 3,
    ALaw = 6,
    MuLaw = 7,
    Extensible = 0xfffe,
};

struct Format
{
    quint16 tag = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
};

// An extensible format's sub-format: the tag that a standard GUID holds in its first field;
// Extensible for any other GUID (an ambisonic one, say), which only the decoder knows; Unknown
// when the extension is cut short or its valid bits overflow the container.
quint16 subFormatTag(const QByteArray& chunk, const ChunkReader& reader)
{
    constexpr int cbSize = 16, validBits = 18, guid = 24;
    const char guidTail[8] = {'\x80', '\0', '\0', '\xaa', '\0', '\x38', '\x9b', '\x71'};
    if (chunk.size() < 40 || reader.value16(chunk.data() + cbSize) < 22 ||
        reader.value16(chunk.data() + validBits) > reader.value16(chunk.data() + 14))
        return Unknown;
    const quint32 first = reader.value32(chunk.data() + guid);
    const bool standard = first <= 0xffff && reader.value16(chunk.data() + guid + 4) == 0 &&
                          reader.value16(chunk.data() + guid + 6) == 0x10 &&
                          std::memcmp(chunk.data() + guid + 8, guidTail, 8) == 0;
    return standard ? quint16(first) : quint16(Extensible);
}

bool rebuilt(quint16 tag)
{
    return tag == Pcm || tag == IeeeFloat || tag == ALaw || tag == MuLaw;
}

// The bytes of a sample of a rebuilt encoding, from its bits: writers get the byte rate and block
// align wrong. 0 when the bits fit no container of the encoding.
int sampleBytes(const Format& format)
{
    switch (format.tag) {
    case Pcm:
        // 24-bit samples in 4-byte slots under the plain tag: only the block align tells.
        if (format.bits > 16 && format.bits <= 24 && format.blockAlign == 4 * format.channels)
            return 4;
        return format.bits >= 1 && format.bits <= 32 ? (format.bits + 7) / 8 : 0;
    case IeeeFloat:
        return format.bits == 32 || format.bits == 64 ? format.bits / 8 : 0;
    default: // A-law and µ-law: a byte, whatever the bits say, as the decoder reads them
        return 1;
    }
}

// The format chunk that the decoder is shown; empty when the layout makes no sense. The plain
// encodings get a 16-byte chunk rebuilt from tag, channels, rate and bits (an extensible one as
// its sub-format); any other encoding keeps the file's own chunk, whose extra fields its decoder
// needs.
QByteArray shownFormat(const QByteArray& chunk, const ChunkReader& reader, bool bigEndian)
{
    const char* bytes = chunk.constData();
    Format format;
    format.tag = reader.value16(bytes);
    format.channels = reader.value16(bytes + 2);
    format.rate = reader.value32(bytes + 4);
    format.blockAlign = reader.value16(bytes + 12);
    format.bits = reader.value16(bytes + 14);
    if (format.tag == Extensible)
        format.tag = subFormatTag(chunk, reader);
    if (format.tag == Unknown || format.channels < 1 ||
        format.channels > SampleLimits::maxChannels ||
        format.rate < quint32(SampleLimits::minRate) ||
        format.rate > quint32(SampleLimits::maxRate))
        return {};
    if (!rebuilt(format.tag))
        return chunk;
    const int sample = sampleBytes(format);
    if (sample == 0)
        return {};
    const auto blockAlign = quint16(format.channels * sample);
    return field(format.tag, bigEndian) + field(format.channels, bigEndian) +
           field(format.rate, bigEndian) + field(quint32(format.rate * blockAlign), bigEndian) +
           field(blockAlign, bigEndian) + field(quint16(sample * 8), bigEndian);
}

} // namespace

WavView WavView::of(QIODevice& device)
{
    WavView view;
    char riff[12];
    if (!device.seek(0) || device.read(riff, 12) != 12 || !is(riff + 8, "WAVE"))
        return view;
    const bool bigEndian = is(riff, "RIFX");
    const bool rf64 = is(riff, "RF64");
    if (!bigEndian && !rf64 && !is(riff, "RIFF"))
        return view;

    view.kind = Damaged;
    const ChunkReader reader(device, bigEndian);
    const qint64 end = device.size();
    QByteArray format;
    qint64 rf64DataSize = -1;
    bool dataFound = false;
    Chunk chunk{};
    for (qint64 position = 12, chunks = 0;
         position + 8 <= end && chunks < maxChunks && (format.isEmpty() || !dataFound) &&
         reader.chunkAt(position, chunk);
         ++chunks) {
        const qint64 contentAt = position + 8;
        qint64 size = chunk.size;
        if (rf64 && is(chunk.id, "ds64"))
            rf64DataSize = reader.ds64DataSize(contentAt);
        if (is(chunk.id, "fmt ") && format.isEmpty() && size >= 16 && size <= maxFormatSize) {
            format.resize(size);
            if (!reader.read(contentAt, format.data(), size))
                return view;
        }
        if (is(chunk.id, "data") && !dataFound) {
            if (rf64 && chunk.size == 0xffffffffu)
                size = rf64DataSize;
            if (size < 0)
                return view;
            dataFound = true;
            view.dataOffset = contentAt;
            view.dataSize = std::min({size, end - contentAt, maxDataSize});
        }
        position = contentAt + size + (size & 1);
    }
    if (format.isEmpty() || !dataFound)
        return view;
    const QByteArray shown = shownFormat(format, reader, bigEndian);
    if (shown.isEmpty())
        return view;

    const QByteArray formatPad(shown.size() & 1, '\0');
    view.padding = view.dataSize & 1;
    const auto riffSize = quint32(4 + 8 + shown.size() + formatPad.size() + 8 + view.dataSize +
                                  view.padding);
    view.header = (bigEndian ? "RIFX" : "RIFF") + field(riffSize, bigEndian) + "WAVE" + "fmt " +
                  field(quint32(shown.size()), bigEndian) + shown + formatPad + "data" +
                  field(quint32(view.dataSize), bigEndian);
    view.kind = Wav;
    return view;
}
