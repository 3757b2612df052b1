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

// The format tags the decoder plays; an extensible format names one of them as its sub-format.
enum FormatTag : quint16
{
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
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
};

// An extensible format's sub-format: a GUID whose first field holds the tag, the rest fixed.
quint16 subFormatTag(const QByteArray& chunk, const ChunkReader& reader)
{
    constexpr int cbSize = 16, validBits = 18, guid = 24;
    const char guidTail[8] = {'\x80', '\0', '\0', '\xaa', '\0', '\x38', '\x9b', '\x71'};
    if (chunk.size() < 40 || reader.value16(chunk.data() + cbSize) < 22)
        return 0;
    const quint32 first = reader.value32(chunk.data() + guid);
    const bool standard = first <= 0xffff && reader.value16(chunk.data() + guid + 4) == 0 &&
                          reader.value16(chunk.data() + guid + 6) == 0x10 &&
                          std::memcmp(chunk.data() + guid + 8, guidTail, 8) == 0;
    const quint16 bits = reader.value16(chunk.data() + 14);
    if (!standard || reader.value16(chunk.data() + validBits) > bits)
        return 0;
    return quint16(first);
}

// Whether the fields describe one layout the decoder plays: a played encoding in whole bytes a
// sample, a sane rate and channel count, and a block align and byte rate that follow from them.
bool playable(const Format& format)
{
    if (format.channels < 1 || format.channels > SampleLimits::maxChannels ||
        format.rate < quint32(SampleLimits::minRate) ||
        format.rate > quint32(SampleLimits::maxRate) || format.bits < 1 ||
        format.blockAlign % format.channels != 0 ||
        format.byteRate != quint64(format.rate) * format.blockAlign)
        return false;
    const int bytes = format.blockAlign / format.channels;
    if ((format.bits + 7) / 8 != bytes)
        return false;
    switch (format.tag) {
    case Pcm:
        return bytes <= 4;
    case IeeeFloat:
        return bytes == 4 || bytes == 8;
    case ALaw:
    case MuLaw:
        return bytes == 1;
    default:
        return false;
    }
}

// The file's format chunk as a plain 16-byte one of the same layout (an extensible format as its
// sub-format, the bits as whole bytes, as libsndfile reads them); empty when it is not played.
QByteArray plainFormat(const QByteArray& chunk, const ChunkReader& reader, bool bigEndian)
{
    const char* bytes = chunk.constData();
    Format format;
    format.tag = reader.value16(bytes);
    format.channels = reader.value16(bytes + 2);
    format.rate = reader.value32(bytes + 4);
    format.byteRate = reader.value32(bytes + 8);
    format.blockAlign = reader.value16(bytes + 12);
    format.bits = reader.value16(bytes + 14);
    if (format.tag == Extensible)
        format.tag = subFormatTag(chunk, reader);
    if (!playable(format))
        return {};
    const auto containerBits = quint16(format.blockAlign / format.channels * 8);
    return field(format.tag, bigEndian) + field(format.channels, bigEndian) +
           field(format.rate, bigEndian) + field(format.byteRate, bigEndian) +
           field(format.blockAlign, bigEndian) + field(containerBits, bigEndian);
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
    const QByteArray plain = plainFormat(format, reader, bigEndian);
    if (plain.isEmpty())
        return view;

    view.padding = view.dataSize & 1;
    const auto riffSize = quint32(4 + 8 + plain.size() + 8 + view.dataSize + view.padding);
    view.header = (bigEndian ? "RIFX" : "RIFF") + field(riffSize, bigEndian) + "WAVE" + "fmt " +
                  field(quint32(plain.size()), bigEndian) + plain + "data" +
                  field(quint32(view.dataSize), bigEndian);
    view.kind = Wav;
    return view;
}
