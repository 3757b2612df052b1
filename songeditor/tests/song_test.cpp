#include "songeditor/song.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

bool allEmpty(const Pattern::Track& track, int from = 0)
{
    for (int c = from; c < Pattern::maxLength; ++c)
        if (track[c].velocity != 0 || track[c].offset != 0.0f)
            return false;
    return true;
}

} // namespace

TEST(Song, ConstructorsAndDefaults)
{
    const Song empty;
    EXPECT_TRUE(empty.patterns.empty());
    EXPECT_EQ(empty.tracks, 0);
    EXPECT_EQ(empty.rhythm, 4);
    EXPECT_EQ(empty.patternCount, 0);
    EXPECT_EQ(empty.tempo, 120.0f);

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
        EXPECT_TRUE(allEmpty(track));

    EXPECT_EQ(Song(3, 2, 120, 4).patterns.at(1).length, 32);
}

TEST(Pattern, NegativeTrackCountGivesNoTracks)
{
    Pattern pattern(-5, 32);
    EXPECT_TRUE(pattern.cells.empty());
    pattern.resize(-1, 16);
    EXPECT_TRUE(pattern.cells.empty());
    EXPECT_EQ(pattern.length, 16);
}

TEST(Pattern, ResizeAddsTracksAndCutsButKeepsHiddenCells)
{
    Pattern pattern(3, 32);
    for (int t = 0; t < 3; ++t)
        pattern.cells[t][28] = {70 + t, 0.333f};

    pattern.resize(5, 24);
    EXPECT_EQ(pattern.length, 24);
    ASSERT_EQ(pattern.cells.size(), 5u);
    for (int t = 0; t < 3; ++t) {
        EXPECT_EQ(pattern.cells[t][28].velocity, 70 + t) << "cells beyond the length are kept";
        EXPECT_EQ(pattern.cells[t][28].offset, 0.333f);
    }
    EXPECT_TRUE(allEmpty(pattern.cells[3]));
    EXPECT_TRUE(allEmpty(pattern.cells[4]));
}

TEST(Pattern, ResizeNeverLengthensAndDropsSurplusTracks)
{
    Pattern pattern(4, 10);
    pattern.cells[1][3].velocity = 55;
    pattern.resize(2, 32);
    EXPECT_EQ(pattern.length, 10);
    ASSERT_EQ(pattern.cells.size(), 2u);
    EXPECT_EQ(pattern.cells[1][3].velocity, 55);

    pattern.resize(4, 32);
    EXPECT_TRUE(allEmpty(pattern.cells[2])) << "a dropped track comes back empty";
    EXPECT_TRUE(allEmpty(pattern.cells[3]));
}

TEST(Pattern, CopyIsDeep)
{
    Pattern pattern(2, 20);
    pattern.cells[0][5] = {100, -0.333f};

    Pattern copy(pattern);
    EXPECT_EQ(copy.length, 20);
    ASSERT_EQ(copy.cells.size(), 2u);
    EXPECT_EQ(copy.cells[0][5].velocity, 100);
    const float offset = copy.cells[0][5].offset;
    unsigned bits;
    std::memcpy(&bits, &offset, sizeof bits);
    EXPECT_EQ(bits, 0xBEAA7EFAu) << "the stored offset is the float nearest -0.333";

    copy.cells[0][5] = Beat();
    copy.length = 4;
    EXPECT_EQ(pattern.cells[0][5].velocity, 100);
    EXPECT_EQ(pattern.length, 20);

    Song song(2, 2, 120, 4);
    song.patterns[0].cells[1][7].velocity = 90;
    Song songCopy = song;
    songCopy.patterns[0].cells[1][7].velocity = 1;
    EXPECT_EQ(song.patterns[0].cells[1][7].velocity, 90) << "a copied song shares no cells";
}

TEST(Song, SetTracksCutsToTheRhythmAndNeverLengthens)
{
    Song song(3, 2, 120, 4);
    song.patterns[1].length = 12;
    song.patterns[0].cells[2][30].velocity = 64;

    song.setTracks(5, 3);
    EXPECT_EQ(song.tracks, 5);
    EXPECT_EQ(song.rhythm, 3);
    EXPECT_EQ(song.patterns[0].length, 24);
    EXPECT_EQ(song.patterns[1].length, 12);
    for (const Pattern& pattern : song.patterns)
        EXPECT_EQ(pattern.cells.size(), 5u);
    EXPECT_EQ(song.patterns[0].cells[2][30].velocity, 64);

    song.setTracks(1, 4);
    EXPECT_EQ(song.patterns[0].length, 24) << "back in 4/4 the pattern stays short";
    EXPECT_EQ(song.patterns[0].cells.size(), 1u);
}
