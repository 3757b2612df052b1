#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "songeditor/songfile.h"
#include "testing/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QByteArray lines(const QStringList& values)
{
    return (values.join('\n') + '\n').toUtf8();
}

QByteArray written(const StoredSong& stored)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(SongFile::write(stored, buffer));
    return buffer.data();
}

StoredSong readText(QByteArray text)
{
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    return SongFile::read(buffer);
}

// Three tracks, the second muted and soloed, a cell on every step with offsets of the rhythm,
// and a note beyond each pattern's length that is not stored.
StoredSong composed(int mode, int rhythm, const std::vector<int>& lengths)
{
    StoredSong stored;
    stored.mode = mode;
    stored.kitPath = "Drumsets/default.set";
    stored.song = Song(3, 0, 0, rhythm);
    stored.song.tempo = 99.9f;
    const std::vector<float> offsets =
        rhythm == 4 ? std::vector<float>{0.0f, 0.333f, -0.333f} : std::vector<float>{0.0f, 0.5f};
    for (int length : lengths) {
        Pattern& pattern = stored.song.patterns.emplace_back(3, length);
        for (int t = 0; t < 3; ++t)
            for (int s = 0; s < length; ++s)
                pattern.cells[t][s] = {(t * 41 + s * 13 + length) % 128,
                                       offsets[s % offsets.size()]};
        pattern.cells[2][31] = {99, 0.0f};
    }
    stored.song.patternCount = int(lengths.size());
    stored.fitTracks(3);
    stored.mute[1] = stored.solo[1] = true;
    stored.soloCount = 1;
    stored.volume = {100, 40, 0};
    return stored;
}

// The notes of the song or of one of its tracks, also those beyond a pattern's length.
int notes(const Song& song, int onlyTrack = -1)
{
    int count = 0;
    for (const Pattern& pattern : song.patterns)
        for (size_t t = 0; t < pattern.cells.size(); ++t)
            for (const Beat& cell : pattern.cells[t])
                count += cell.velocity > 0 && (onlyTrack < 0 || int(t) == onlyTrack);
    return count;
}

// What every song read must hold for the editor to show and play it.
void expectPlayable(const StoredSong& stored)
{
    const Song& song = stored.song;
    ASSERT_GE(song.patterns.size(), 1u);
    EXPECT_EQ(song.patternCount, int(song.patterns.size()));
    EXPECT_TRUE((song.rhythm == 3 || song.rhythm == 4) && song.tempo >= 1 && song.tempo <= 240);
    EXPECT_TRUE(stored.mute.size() == size_t(song.tracks) &&
                stored.volume.size() == size_t(song.tracks));
    EXPECT_EQ(stored.soloCount, int(std::count(stored.solo.begin(), stored.solo.end(), true)));
    for (const Pattern& pattern : song.patterns) {
        EXPECT_EQ(pattern.cells.size(), size_t(song.tracks));
        EXPECT_TRUE(pattern.length >= 1 && pattern.length <= song.rhythm * 8);
        for (const Pattern::Track& track : pattern.cells)
            for (const Beat& cell : track)
                ASSERT_TRUE(cell.velocity >= 0 && cell.velocity <= 127 &&
                            std::fabs(cell.offset) <= 1);
    }
}

} // namespace

TEST(SongFile, WritesTheExampleLineForLine)
{
    // Two tracks, one pattern of two steps: track 0 at 100 on step 0, track 1 at 80 a third
    // early on step 1.
    StoredSong stored;
    stored.song = Song(2, 1, 120, 4);
    stored.fitTracks(2);
    stored.song.patterns[0].length = 2;
    stored.song.patterns[0].cells[0][0] = {100, 0.0f};
    stored.song.patterns[0].cells[1][1] = {80, -0.333f};
    EXPECT_EQ(written(stored),
              lines({"0",   "4", "120", "1", "2", "0", "0", "0", "100", "0",     "0",
                     "100", "2", "100", "0", "0", "0", "0", "0", "80",  "-0.333"}));
    stored.mode = 1;
    stored.kitPath = "Drumsets/default.set";
    EXPECT_TRUE(written(stored).startsWith("1Drumsets/default.set\n4\n120\n1\n2\n"));
}

TEST(SongFile, ComesBackAsSavedInBothModes)
{
    const struct
    {
        int mode, rhythm;
        std::vector<int> lengths;
    } cases[] = {{0, 4, {32, 16, 8}}, {1, 4, {32, 16, 8}}, {1, 3, {24, 5}}};
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.rhythm);
        const StoredSong saved = composed(c.mode, c.rhythm, c.lengths);
        const QString path = dir.filePath("a.b/rock.sng");
        ASSERT_TRUE(QDir(dir.path()).mkpath("a.b"));
        ASSERT_TRUE(SongFile::write(saved, path));
        const StoredSong loaded = SongFile::read(path).value();
        EXPECT_EQ(loaded.mode, c.mode);
        EXPECT_EQ(loaded.kitPath, c.mode ? "Drumsets/default.set" : dir.filePath("a.b/rock.set"));
        EXPECT_EQ(loaded.song.tempo, 99.9f);
        EXPECT_EQ(written(loaded), written(saved)) << "lengths, cells, mute, solo and volume";
    }
}

TEST(SongFile, NamesTheSongAndTheKitBesideIt)
{
    // The chosen path, the song's file and the kit's file beside it.
    const char* const cases[][3] = {
        {"C:/songs/rock", "C:/songs/rock.sng", "C:/songs/rock.set"},
        {"C:/songs/rock.sng", "C:/songs/rock.sng", "C:/songs/rock.set"},
        {"C:/songs/ROCK.SNG", "C:/songs/ROCK.SNG.sng", "C:/songs/ROCK.SNG.set"},
        {"a.b/rock", "a.b/rock.sng", "a.b/rock.set"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SongFile::withExtension(c[0]), c[1]);
        EXPECT_EQ(SongFile::kitBeside(c[1]), c[2]);
    }
    EXPECT_EQ(DrumSetFile::soundFolder(SongFile::kitBeside("C:/songs/rock.sng")),
              "C:/songs/rock Sounds");
    EXPECT_EQ(SongFile::kitBeside("a.b/rock"), "a.set") << "the last dot of the whole path";
}

TEST(SongFile, TheKitPathIsTheFirstWordOfItsLine)
{
    const QByteArray song = lines({"4", "99.9", "1", "1", "0", "0", "0", "100", "1", "90", "0"});
    // The first line and the kit path read from it; an empty path must not take the next line.
    const char* const cases[][2] = {{"1My Kits/rock.set", "My"},
                                    {"1 Drumsets/default.set\t", "Drumsets/default.set"},
                                    {"12024/kit.set", "2024/kit.set"},
                                    {"1", ""}};
    for (const auto& c : cases) {
        const StoredSong stored = readText(QByteArray(c[0]) + "\n" + song);
        EXPECT_EQ(stored.mode, 1);
        EXPECT_EQ(stored.kitPath, c[1]);
        EXPECT_EQ(stored.song.tempo, 99.9f) << c[0];
        EXPECT_EQ(stored.song.patterns[0].cells[0][0].velocity, 90) << c[0];
    }
    EXPECT_FALSE(readText("7Drumsets/default.set\n").loadsKit());
}

TEST(SongFile, EveryTruncationReadsAsFarAsItGoes)
{
    const StoredSong full = composed(1, 4, {32, 4, 2});
    const QByteArray text = written(full);
    int kept = 0;
    for (int size = 0; size <= text.size(); ++size) {
        const StoredSong stored = readText(text.left(size));
        expectPlayable(stored);
        if (size < text.size() && text[size] != '\n')
            continue; // a number cut in two reads as another number
        // Whole lines: every note read is the saved one, and more text never loses a note.
        for (size_t p = 0; p < stored.song.patterns.size(); ++p)
            for (int t = 0; t < stored.song.tracks; ++t)
                for (int s = 0; s < 32; ++s)
                    if (stored.song.patterns[p].cells[t][s].velocity > 0)
                        ASSERT_EQ(stored.song.patterns[p].cells[t][s].velocity,
                                  full.song.patterns[p].cells[t][s].velocity);
        ASSERT_GE(notes(stored.song), kept) << size;
        kept = notes(stored.song);
    }
    EXPECT_EQ(kept, notes(full.song) - 2) << "all but the two notes beyond a length";
}

TEST(SongFile, ImpossibleValuesAreBroughtIntoRange)
{
    // Rhythm 7, a huge tempo, a solo count without a soloed track, volume 300, lengths 0 and 99,
    // velocities 500 and -3, offsets 7 and -7.
    QStringList values{"0", "7", "1e30", "2", "1", "5", "0", "0", "300", "0", "500", "7", "99"};
    for (int s = 0; s < 32; ++s)
        values << "-3"
               << "-7";
    StoredSong stored = readText(lines(values));
    expectPlayable(stored);
    // Rhythm 4, tempo 240, solo count 0, volume 100, length 1.
    const QByteArray start = lines({"0", "4", "240", "2", "1", "0", "0", "0", "100", "1"});
    EXPECT_EQ(written(stored).left(start.size()), start);
    EXPECT_EQ(stored.song.patterns[1].length, 32);
    EXPECT_EQ(stored.song.patterns[0].cells[0][0].velocity, 127);
    EXPECT_EQ(stored.song.patterns[0].cells[0][0].offset, 1.0f);
    EXPECT_EQ(stored.song.patterns[1].cells[0][31].offset, -1.0f);

    values[1] = "3"; // a 3/4 pattern of 32 steps keeps its cells but plays 24
    values[12] = "32";
    values[values.size() - 2] = "64";
    stored = readText(lines(values));
    EXPECT_EQ(stored.song.patterns[1].length, 24);
    EXPECT_EQ(stored.song.patterns[1].cells[0][31].velocity, 64);

    // Counts beyond the lines left end the data; text that forms no number makes no more
    // patterns than the text could hold.
    for (const QByteArray& text :
         {lines({"0", "4", "120", "999999999", "2", "0"}), lines({"1", "4", "120", "2", "-2", "0"}),
          "0\n4\n120\n5000\n3000\n0\n" + QByteArray(9000, '\n') + "x"}) {
        stored = readText(text);
        expectPlayable(stored);
        EXPECT_LE(stored.song.patterns.size(), 2u);
        EXPECT_EQ(notes(stored.song), 0);
    }
}

TEST(SongFile, ASaveThatCannotFinishLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("song.sng");
    ASSERT_TRUE(SongFile::write(composed(0, 4, {1}), path));
    const QByteArray old = readAll(path);

    const StoredSong longer = composed(0, 4, {32, 32});
    EXPECT_FALSE(underFileSizeLimit(200, [&] { return SongFile::write(longer, path); }));
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"song.sng"});
    EXPECT_FALSE(SongFile::write(longer, dir.filePath("no such folder/song.sng")));
    EXPECT_FALSE(SongFile::write(longer, ""));
}

TEST(SongFile, ASongIsBroughtToItsKitsTrackCount)
{
    const StoredSong saved = composed(1, 4, {32, 16});
    StoredSong stored = saved;
    stored.fitTracks(1);
    expectPlayable(stored);
    EXPECT_EQ(stored.soloCount, 0) << "the soloed track is gone";
    stored.fitTracks(4);
    expectPlayable(stored);
    EXPECT_EQ(stored.song.patterns[1].length, 16);
    EXPECT_EQ(notes(stored.song), notes(saved.song, 0)) << "only the first track kept its notes";
    EXPECT_EQ(stored.volume, (std::vector<int>{100, 100, 100, 100}));
    EXPECT_EQ(stored.mute, std::vector<bool>(4, false));
}

// In the run folder, where the data generator has made the default kit and the demo songs.
TEST(DemoSongs, PlayOnTheDefaultKitAsTheEditorWouldHaveEnteredThem)
{
    DrumSet kit;
    int sounds = 0, drums = 0;
    DrumSetReader("Drumsets/default.set", sounds, drums, [](const QString&) {}).read(kit);
    std::vector<const Drum*> drumOfTrack;
    for (const Drum* drum : kit.allDrums)
        drumOfTrack.insert(drumOfTrack.end(), drum->hitpoints.size(), drum);
    const QStringList songs = QDir("Songs").entryList({"*.sng"});
    EXPECT_EQ(songs.size(), 3);
    for (const QString& name : songs) {
        SCOPED_TRACE(name.toStdString());
        const StoredSong stored = SongFile::read("Songs/" + name).value();
        EXPECT_EQ(stored.kitPath, "Drumsets/default.set");
        ASSERT_EQ(stored.song.tracks, int(drumOfTrack.size()));
        expectPlayable(stored);
        for (const Pattern& pattern : stored.song.patterns) {
            for (int s = 0; s < pattern.length; ++s) {
                int hands = 0, hiHat = 0;
                for (int t = 0; t < stored.song.tracks; ++t) {
                    const int type = pattern.cells[t][s].velocity ? drumOfTrack[t]->type : -1;
                    hands += type >= 0 && type != BodyTypes::Kick && type != BodyTypes::HiHatStand;
                    hiHat += type == BodyTypes::HiHat || type == BodyTypes::HiHatStand;
                }
                EXPECT_LE(hands, 2) << "step " << s;
                EXPECT_LE(hiHat, 1) << "step " << s;
            }
        }
    }
}
