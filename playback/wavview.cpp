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

QByteArray field(quint32 value, bool bigEndian)
{
    QByteArray bytes(4, '\0');
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
    for (qint64 position = 12; position + 8 <= end && reader.chunkAt(position, chunk);) {
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

    const bool pad = format.size() & 1;
    const auto riffSize = quint32(4 + 8 + format.size() + pad + 8 + view.dataSize);
    view.header = (bigEndian ? "RIFX" : "RIFF") + field(riffSize, bigEndian) + "WAVE" + "fmt " +
                  field(quint32(format.size()), bigEndian) + format +
                  (pad ? QByteArray(1, '\0') : QByteArray()) + "data" +
                  field(quint32(view.dataSize), bigEndian);
    view.kind = Wav;
    return view;
}
