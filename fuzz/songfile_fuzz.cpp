#include "songeditor/songfile.h"

#include <QBuffer>
#include <cstdint>

namespace {

QByteArray written(const StoredSong& stored)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!SongFile::write(stored, buffer))
        __builtin_trap();
    return buffer.data();
}

StoredSong readBytes(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return SongFile::read(buffer);
}

// What the editor relies on when it shows and plays a song that was read.
bool playable(const StoredSong& stored)
{
    const Song& song = stored.song;
    if (song.patterns.empty() || song.patternCount != int(song.patterns.size()) ||
        (song.rhythm != 3 && song.rhythm != 4) || !(song.tempo >= 1 && song.tempo <= 240) ||
        stored.mute.size() != size_t(song.tracks) || stored.solo.size() != size_t(song.tracks) ||
        stored.volume.size() != size_t(song.tracks))
        return false;
    for (const Pattern& pattern : song.patterns) {
        if (pattern.cells.size() != size_t(song.tracks) || pattern.length < 1 ||
            pattern.length > song.rhythm * 8)
            return false;
        for (const Pattern::Track& track : pattern.cells)
            for (const Beat& cell : track)
                if (cell.velocity < 0 || cell.velocity > 127 || !(cell.offset >= -1) ||
                    !(cell.offset <= 1))
                    return false;
    }
    for (int volume : stored.volume)
        if (volume < 0 || volume > 100)
            return false;
    return true;
}

} // namespace

// Reads the input from memory, writes what was read, and reads and writes that again: the second
// reading must give the same song. The check of a song's opening meets every input too.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    (void)SongFile::opensAsSong(QString::fromUtf8(input));
    const StoredSong first = readBytes(input);
    if (!playable(first))
        __builtin_trap();
    // Whatever the writer writes, the editor takes as a song.
    const QByteArray text = written(first);
    if (!SongFile::opensAsSong(QString::fromUtf8(text)) || written(readBytes(text)) != text)
        __builtin_trap();
    return 0;
}
