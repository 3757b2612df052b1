#include "songeditor/song.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

bool isEmpty(const Pattern::Track& track)
{
    for (const Beat& beat : track)
        if (beat.velocity != 0 || beat.offset != 0.0f)
            return false;
    return true;
}

} // namespace

TEST(Song, MadeWithOneEmptyPatternOfTheRhythmsLength)
{
    // Track count, pattern count, tempo, rhythm.
    const Song song(12, 1, 90, 3);
    EXPECT_EQ(song.tracks, 12);
    EXPECT_EQ(song.rhythm, 3);
    EXPECT_EQ(song.patternCount, 1);
    EXPECT_EQ(song.tempo, 90.0f);
    ASSERT_EQ(song.patterns.size(), 1u);
    EXPECT_EQ(song.patterns[0].length, 24);
    ASSERT_EQ(song.patterns[0].cells.size(), 12u);
    for (const auto& track : song.patterns[0].cells)
        EXPECT_TRUE(isEmpty(track));
    EXPECT_TRUE(Pattern(-5, 32).cells.empty());
}

TEST(Pattern, ResizeNeverLengthensAndKeepsCellsBeyondTheLength)
{
    Pattern pattern(3, 32);
    pattern.cells[2][28] = {70, 0.333f};
    pattern.resize(5, 24);
    EXPECT_EQ(pattern.length, 24);
    ASSERT_EQ(pattern.cells.size(), 5u);
    EXPECT_EQ(pattern.cells[2][28].velocity, 70);
    EXPECT_TRUE(isEmpty(pattern.cells[3]));
    EXPECT_TRUE(isEmpty(pattern.cells[4]));

    pattern.length = 10;
    pattern.resize(2, 32);
    EXPECT_EQ(pattern.length, 10);
    pattern.resize(3, 32);
    EXPECT_TRUE(isEmpty(pattern.cells[2])) << "a dropped track comes back empty";
    pattern.resize(-1, 32);
    EXPECT_TRUE(pattern.cells.empty());
}

TEST(Pattern, CopiesShareNoCells)
{
    Pattern pattern(2, 20);
    pattern.cells[0][5] = {100, -0.333f};
    Pattern copy(pattern);
    EXPECT_EQ(copy.length, 20);
    EXPECT_EQ(copy.cells[0][5].velocity, 100);
    const float offset = copy.cells[0][5].offset;
    unsigned bits;
    std::memcpy(&bits, &offset, sizeof bits);
    EXPECT_EQ(bits, 0xBEAA7EFAu);
    copy.cells[0][5] = Beat();
    EXPECT_EQ(pattern.cells[0][5].velocity, 100);

    Song song(2, 2, 120, 4);
    song.patterns[1].cells[1][7].velocity = 90;
    Song songCopy = song;
    songCopy.patterns[1].cells[1][7].velocity = 1;
    EXPECT_EQ(song.patterns[1].cells[1][7].velocity, 90);
}

TEST(Song, SetTracksCutsEveryPatternToTheRhythm)
{
    Song song(3, 2, 120, 4);
    song.patterns[1].length = 12;
    song.setTracks(5, 3);
    EXPECT_EQ(song.tracks, 5);
    EXPECT_EQ(song.patterns[0].length, 24);
    EXPECT_EQ(song.patterns[1].length, 12);
    EXPECT_EQ(song.patterns[1].cells.size(), 5u);
    song.setTracks(1, 4);
    EXPECT_EQ(song.patterns[0].length, 24) << "back in 4/4 the pattern stays short";
}
