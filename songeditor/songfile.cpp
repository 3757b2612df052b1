#include "songeditor/songfile.h"

#include "kit/streamtext.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>

namespace {

// Far beyond any real song: two hundred patterns for a kit of forty hit points take about 1 MB.
constexpr qint64 maxFileSize = 4 * 1024 * 1024;
// More tracks than any kit file can hold hit points.
constexpr int maxTracks = 65536;
constexpr int maxBpm = 240;
constexpr int maxVelocity = 127;
constexpr int fullVolume = 100;

// The digit that begins a song's first line is its mode.
std::optional<int> modeDigit(const QString& trimmedLine)
{
    if (trimmedLine.isEmpty() || trimmedLine[0] < '0' || trimmedLine[0] > '9')
        return std::nullopt;
    return trimmedLine[0].unicode() - '0';
}

template <typename T> T entry(const std::vector<T>& values, int index, T missing)
{
    return index < int(values.size()) ? values[index] : missing;
}

int storedLength(const Pattern& pattern)
{
    return std::clamp(pattern.length, 1, Pattern::maxLength);
}

void writeMix(QTextStream& out, const StoredSong& stored, int tracks)
{
    for (int t = 0; t < tracks; ++t)
        out << int(entry(stored.mute, t, false)) << "\n"
            << int(entry(stored.solo, t, false)) << "\n"
            << entry(stored.volume, t, fullVolume) << "\n";
}

// A pattern that lacks a track (none that the editor makes) is written with empty cells, so that
// the file always holds what its counts say.
void writePattern(QTextStream& out, const Pattern& pattern, int tracks)
{
    const int length = storedLength(pattern);
    out << length << "\n";
    for (int t = 0; t < tracks; ++t) {
        for (int s = 0; s < length; ++s) {
            const Beat cell = t < int(pattern.cells.size()) ? pattern.cells[t][s] : Beat();
            out << cell.velocity << "\n" << cell.offset << "\n";
        }
    }
}

class SongReader
{
public:
    explicit SongReader(QString content) : size(content.size()), text(std::move(content)) {}

    StoredSong read()
    {
        StoredSong stored;
        readModeLine(stored);
        Song& song = stored.song;
        song.rhythm = text.readInt() == 3 ? 3 : 4;
        song.tempo = std::clamp(text.readFloat(), 1.0f, float(maxBpm));
        const int patternCount = text.readCount();
        song.tracks = readTrackCount();
        text.readInt(); // the solo count, taken from the tracks themselves below
        readMix(stored);
        for (int i = 0; i < patternCount && startPattern(song.tracks); ++i)
            song.patterns.push_back(readPattern(song.tracks));
        if (song.patterns.empty())
            song.patterns.emplace_back(song.tracks, song.rhythm * 8);
        song.patternCount = int(song.patterns.size());
        song.setTracks(song.tracks, song.rhythm);
        return stored;
    }

private:
    // The mode is one digit, and in mode 1 the kit's path follows it at once: a path that begins
    // with a digit must not run into the mode, nor the song be read from the rest of the line.
    void readModeLine(StoredSong& stored)
    {
        const QString line = text.readLine().trimmed();
        stored.mode = modeDigit(line).value_or(0);
        if (stored.mode == 1)
            stored.kitPath = line.mid(1).simplified().section(' ', 0, 0);
    }

    int readTrackCount()
    {
        const int tracks = text.readCount();
        if (tracks <= maxTracks)
            return tracks;
        text.end();
        return 0;
    }

    void readMix(StoredSong& stored)
    {
        const int tracks = stored.song.tracks;
        stored.mute.resize(tracks);
        stored.solo.resize(tracks);
        stored.volume.resize(tracks);
        for (int t = 0; t < tracks; ++t) {
            stored.mute[t] = text.readInt() == 1;
            stored.solo[t] = text.readInt() == 1;
            stored.volume[t] = std::clamp(text.readInt(), 0, fullVolume);
        }
        stored.soloCount = int(std::count(stored.solo.begin(), stored.solo.end(), true));
    }

    // A pattern starts only where data is left. It takes at least its length and two numbers per
    // track, each of at least two characters, so complete patterns cannot claim more characters
    // than the text holds; beyond that only the one truncated pattern may start. Text that forms
    // no number (which every later read reads as 0 again) must not make more.
    bool startPattern(int tracks)
    {
        if (!text.hasData() || claimed > size)
            return false;
        claimed += 2 + 4 * qsizetype(tracks);
        return true;
    }

    Pattern readPattern(int tracks)
    {
        Pattern pattern(tracks, std::clamp(text.readInt(), 1, Pattern::maxLength));
        for (Pattern::Track& track : pattern.cells) {
            for (int s = 0; s < pattern.length; ++s) {
                track[s].velocity = std::clamp(text.readInt(), 0, maxVelocity);
                track[s].offset = std::clamp(text.readFloat(), -1.0f, 1.0f);
            }
        }
        return pattern;
    }

    qsizetype size;
    qsizetype claimed = 0;
    StreamText text;
};

} // namespace

void StoredSong::fitTracks(int tracks)
{
    tracks = std::max(tracks, 0);
    song.setTracks(tracks, song.rhythm);
    mute.resize(tracks, false);
    solo.resize(tracks, false);
    volume.resize(tracks, fullVolume);
    soloCount = int(std::count(solo.begin(), solo.end(), true));
}

QString SongFile::withExtension(const QString& path)
{
    return path.endsWith(".sng") ? path : path + ".sng";
}

QString SongFile::kitBeside(const QString& songPath)
{
    const qsizetype dot = songPath.lastIndexOf('.');
    return (dot < 0 ? songPath : songPath.left(dot)) + ".set";
}

bool SongFile::write(const StoredSong& stored, QIODevice& device)
{
    const Song& song = stored.song;
    const int tracks = std::max(song.tracks, 0);
    QTextStream out(&device);
    out << stored.mode;
    if (stored.mode == 1)
        out << stored.kitPath;
    out << "\n"
        << song.rhythm << "\n"
        << song.tempo << "\n"
        << int(song.patterns.size()) << "\n"
        << tracks << "\n"
        << stored.soloCount << "\n";
    writeMix(out, stored, tracks);
    for (const Pattern& pattern : song.patterns)
        writePattern(out, pattern, tracks);
    out.flush();
    return out.status() == QTextStream::Ok;
}

bool SongFile::write(const StoredSong& stored, const QString& path)
{
    QSaveFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly))
        return false;
    if (!write(stored, file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SongFile::opensAsSong(const QString& text)
{
    StreamText opening(text);
    if (!modeDigit(opening.readLine().trimmed()) || !opening.takeInt() || !opening.takeFloat())
        return false;
    const std::optional<int> patternCount = opening.takeCount();
    const std::optional<int> trackCount = opening.takeCount();
    return patternCount && trackCount && *trackCount <= maxTracks;
}

StoredSong SongFile::read(QIODevice& device)
{
    // Reading asks for the whole cap at once; a file or buffer asks only for what it holds.
    const qint64 size =
        device.isSequential() ? maxFileSize : std::min(maxFileSize, device.bytesAvailable());
    return SongReader(StreamText::readDevice(device, size)).read();
}

std::optional<StoredSong> SongFile::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString text = StreamText::readDevice(file, maxFileSize);
    if (!opensAsSong(text))
        return std::nullopt;
    StoredSong stored = SongReader(std::move(text)).read();
    if (stored.mode == 0)
        stored.kitPath = kitBeside(path);
    return stored;
}
