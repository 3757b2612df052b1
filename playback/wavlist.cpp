#include "playback/wavlist.h"

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace {

bool readAt(QIODevice& device, qint64 position, char* to, qint64 size)
{
    return device.seek(position) && device.read(to, size) == size;
}

quint32 sizeField(const char* bytes, bool bigEndian)
{
    return bigEndian ? qFromBigEndian<quint32>(bytes) : qFromLittleEndian<quint32>(bytes);
}

// Walks a LIST chunk's entries in [from, to) as libsndfile does: "INFO" and "adtl" stand alone,
// any other name is followed by its size. With padded, an odd size is followed by a pad byte.
bool negativeEntry(QIODevice& device, qint64 from, qint64 to, bool bigEndian, bool padded)
{
    char entry[8];
    for (qint64 position = from; position + 8 <= to;) {
        if (!readAt(device, position, entry, 8))
            return false;
        if (!std::memcmp(entry, "INFO", 4) || !std::memcmp(entry, "adtl", 4)) {
            position += 4;
            continue;
        }
        const quint32 size = sizeField(entry + 4, bigEndian);
        if (size >= 0x80000000u)
            return true;
        position += 8 + qint64(size) + (padded ? size & 1 : 0);
    }
    return false;
}

} // namespace

bool hasNegativeListEntry(QIODevice& device)
{
    char header[12];
    if (!readAt(device, 0, header, 12) || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    const bool bigEndian = !std::memcmp(header, "RIFX", 4);
    if (!bigEndian && std::memcmp(header, "RIFF", 4) != 0 && std::memcmp(header, "RF64", 4) != 0)
        return false;
    const qint64 end = device.size();
    char chunk[8];
    for (qint64 position = 12; position + 8 <= end;) {
        if (!readAt(device, position, chunk, 8))
            return false;
        const quint32 size = sizeField(chunk + 4, bigEndian);
        const qint64 contentEnd = std::min(end, position + 8 + qint64(size));
        if (!std::memcmp(chunk, "LIST", 4) &&
            (negativeEntry(device, position + 8, contentEnd, bigEndian, false) ||
             negativeEntry(device, position + 8, contentEnd, bigEndian, true)))
            return true;
        position += 8 + qint64(size) + (size & 1);
    }
    return false;
}
