#pragma once

#include "songeditor/song.h"

#include <QString>
#include <optional>
#include <vector>

class QIODevice;

// What a song file holds: the song, the song editor's mute, solo and volume per track, and how
// the song's kit is found.
struct StoredSong
{
    // 0: the kit lies beside the song file; 1: the kit is named by kitPath.
    int mode = 0;
    QString kitPath;
    Song song;
    int soloCount = 0;
    std::vector<bool> mute;
    std::vector<bool> solo;
    std::vector<int> volume; // 0..100

    // Whether loading the song loads a kit first: modes other than 0 and 1 name none.
    bool loadsKit() const { return mode == 0 || mode == 1; }

    // Brings the song to the track count of the kit it plays on (a kit edited after the song was
    // saved has more or fewer hit points): every pattern and the mute, solo and volume entries
    // are cut or filled with empty, audible tracks at volume 100.
    void fitTracks(int tracks);
};

// Song files ("*.sng"). The song editor's panel loads and saves songs through these; it adds
// only its dialogs, its kit and its refreshes.
namespace SongFile {

// Appends ".sng" unless the path already ends in exactly that.
QString withExtension(const QString& path);

// The kit saved beside a song: the path up to its last "." (the whole path when it has none),
// then ".set". Its sound folder is DrumSetFile::soundFolder of that.
QString kitBeside(const QString& songPath);

// Writes the song; false when the device does not take all of it.
bool write(const StoredSong& stored, QIODevice& device);
// Replaces the file at path only by a complete one: false, leaving any old file as it was, when
// it cannot be written.
bool write(const StoredSong& stored, const QString& path);

// Whether the text opens as a song: a first line that begins with the mode digit, then the
// rhythm, the tempo, the pattern count and the track count, each a number, the counts no more than
// the lines that follow them and the tracks no more than the reader takes. What opens otherwise is
// no song, however much of it the reader below could bring into range.
bool opensAsSong(const QString& text);

// Reads a song as far as the data goes: from where it ends every number reads as 0; counts that
// the data cannot hold end it. What is read is brought into range: rhythm 4 or 3, tempo 1..240,
// lengths 1..rhythm x 8, velocities 0..127, offsets -1..1, volumes 0..100, at least one pattern
// (an empty one of the rhythm's length), soloCount the number of soloed tracks. The mode is the
// digit that begins the first line (0 when there is none); in mode 1 the kit path is the first
// word after it on that line.
StoredSong read(QIODevice& device);
// The same from a file, in mode 0 with the kit beside it as kitPath; nothing when the file cannot
// be opened or does not open as a song.
std::optional<StoredSong> read(const QString& path);

} // namespace SongFile
