#include "kit/bodytypes.h"
#include "songeditor/dreditwidget.h"
#include "songeditor/tests/testkit.h"

#include <QSignalSpy>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using Step = std::array<Event, 4>; // e1, e2, e3, e4 as emitted

enum Track
{
    SnareTrack,
    RideTrack,
    HiHatTrack,
    KickTrack,
    PedalTrack,
    TomTrack,
    TrackTotal
};

class Transport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.drumSet =
            testkit::makeKit({{BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd},
                              {12, "Ride20 top", Hitpoint::ByEnd},
                              {BodyTypes::HiHat, "Hi-hat top", Hitpoint::ByEdge},
                              {BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot},
                              {BodyTypes::HiHatStand, "Hi-hat foot", Hitpoint::LeftFoot},
                              {17, nullptr, 0},
                              {2, "Tom8 middle", Hitpoint::ByEnd}});
        panel.refreshTracks();
        QObject::connect(&panel, &DreditWidget::next,
                         [this](Event e1, Event e2, Event e3, Event e4) {
                             steps.push_back({e1, e2, e3, e4});
                         });
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            panel.nextBeat();
    }
    // Plays the given number of steps from a fresh start of the clock.
    void playSteps(int count) { ticks(3 * count); }
    void set(int pattern, int track, int step, int velocity, float offset = 0.0f)
    {
        panel.song.patterns.at(pattern).cells.at(track).at(step) = {velocity, offset};
    }
    void addPattern(int length)
    {
        panel.song.patterns.emplace_back(panel.trackCount, 32);
        panel.song.patterns.back().length = length;
        panel.song.patternCount = int(panel.song.patterns.size());
    }
    // The drum index of the step's first hand note, -1 for none.
    int handNote(std::size_t step) const { return steps.at(step)[1].drumIndex; }

    DreditWidget panel;
    std::vector<Step> steps;
};

} // namespace

TEST_F(Transport, TracksFollowTheKitsHitpoints)
{
    QSignalSpy cleared(&panel, &DreditWidget::clearTracks);
    QSignalSpy added(&panel, &DreditWidget::addTrack);
    panel.refreshTracks();

    EXPECT_EQ(cleared.count(), 1);
    ASSERT_EQ(added.count(), TrackTotal) << "the stand has no hit point and no track";
    EXPECT_EQ(added.at(0).at(0).toString(), "Snare middle");
    EXPECT_EQ(added.at(5).at(0).toString(), "Tom8 middle");
    EXPECT_EQ(panel.trackCount, TrackTotal);
    EXPECT_EQ(panel.tracks.at(TomTrack).drum, 6);
    EXPECT_EQ(panel.tracks.at(TomTrack).hitpoint, 0);
    EXPECT_EQ(panel.song.tracks, TrackTotal);
    EXPECT_EQ(panel.song.patterns.at(0).cells.size(), std::size_t(TrackTotal));
    EXPECT_EQ(panel.muted, std::vector<bool>(TrackTotal, false));
    EXPECT_EQ(panel.volume, std::vector<int>(TrackTotal, 100));
}

TEST_F(Transport, RefreshPatShowsCellsUpToTheLength)
{
    panel.song.patterns[0].length = 3;
    set(0, RideTrack, 1, 77, 0.333f);
    set(0, RideTrack, 5, 66);
    QSignalSpy beats(&panel, &DreditWidget::setBeats);
    QSignalSpy refreshed(&panel, &DreditWidget::refresh);
    panel.refreshPat();

    ASSERT_EQ(beats.count(), 1);
    EXPECT_EQ(beats.at(0).at(0).toInt(), 4);
    ASSERT_EQ(refreshed.count(), TrackTotal * 32);
    const auto& cell = refreshed.at(RideTrack * 32 + 1);
    EXPECT_EQ(cell.at(0).toInt(), 1);
    EXPECT_EQ(cell.at(1).toInt(), RideTrack);
    EXPECT_EQ(cell.at(2).toInt(), 77);
    EXPECT_EQ(cell.at(3).toFloat(), 0.333f);
    EXPECT_EQ(refreshed.at(RideTrack * 32 + 5).at(2).toInt(), -1) << "beyond the length";
}

TEST_F(Transport, FirstTickAfterPlayPlaysAStepThenEveryThirdTick)
{
    set(0, SnareTrack, 0, 100);
    set(0, RideTrack, 1, 90);
    QSignalSpy started(&panel, &DreditWidget::startSignal);
    panel.playPatSlot();
    EXPECT_EQ(started.count(), 1);
    EXPECT_TRUE(panel.playing);

    ticks(1);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(handNote(0), 0);
    ticks(2);
    EXPECT_EQ(steps.size(), 1u);
    ticks(1);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(handNote(1), 1);
    EXPECT_EQ(panel.currentBeat, 2);
}

TEST_F(Transport, NotesGoToTheirLimbs)
{
    for (int track : {SnareTrack, RideTrack, HiHatTrack, KickTrack, PedalTrack})
        set(0, track, 0, 50 + track);
    set(0, SnareTrack, 1, 100, -0.333f);
    set(0, SnareTrack, 2, 100, std::numeric_limits<float>::quiet_NaN());
    set(0, SnareTrack, 3, 100, 3e20f);
    set(0, SnareTrack, 4, 100, 1.5f);
    panel.playPatSlot();
    playSteps(5);

    const Step& full = steps.at(0);
    EXPECT_EQ(full[1].drumIndex, 0) << "the first hand note";
    EXPECT_EQ(full[1].priority, BodyTypes::setup(BodyTypes::Snare).priority);
    EXPECT_EQ(full[1].velocity, 50);
    EXPECT_EQ(full[0].drumIndex, 2) << "the later hi-hat note overwrites the ride";
    EXPECT_EQ(full[0].velocity, 52);
    EXPECT_EQ(full[2].drumIndex, 4);
    EXPECT_EQ(full[2].hitpointIndex, 0);
    EXPECT_EQ(full[3].drumIndex, 3);

    const Step& lone = steps.at(1);
    EXPECT_EQ(lone[1].drumIndex, 0);
    EXPECT_EQ(lone[1].offset, 0);
    for (int limb : {0, 2, 3})
        EXPECT_EQ(lone[limb].drumIndex, -1);
    EXPECT_EQ(steps.at(2)[1].offset, 0) << "NaN";
    EXPECT_EQ(steps.at(3)[1].offset, 0) << "beyond an int";
    EXPECT_EQ(steps.at(4)[1].offset, 1);
}

TEST_F(Transport, MuteAndSolo)
{
    set(0, HiHatTrack, 0, 80);
    set(0, TomTrack, 0, 80);
    set(0, SnareTrack, 0, 80);
    panel.solo(HiHatTrack);
    panel.solo(TomTrack);
    panel.mute(TomTrack);
    panel.vol(SnareTrack, 0);
    EXPECT_EQ(panel.soloCount, 2);
    panel.mute(-1);
    panel.solo(TrackTotal);
    panel.vol(99, 5);
    EXPECT_EQ(panel.soloCount, 2) << "clicks on missing tracks change nothing";

    panel.playPatSlot();
    playSteps(1);
    EXPECT_EQ(handNote(0), 2) << "only the soloed, unmuted hi-hat";
    EXPECT_EQ(steps[0][0].drumIndex, -1);

    panel.solo(HiHatTrack);
    panel.mute(TomTrack);
    EXPECT_EQ(panel.soloCount, 1);
    panel.currentBeat = 0;
    playSteps(1);
    EXPECT_EQ(handNote(1), 6) << "volume never silences playback";
    EXPECT_EQ(steps[1][0].drumIndex, -1);
}

TEST_F(Transport, SongModeWrapsThroughThePatterns)
{
    panel.song.patterns[0].length = 24;
    addPattern(2);
    set(0, SnareTrack, 23, 100);
    set(1, RideTrack, 0, 100);
    set(0, TomTrack, 0, 100);
    QSignalSpy redrawn(&panel, &DreditWidget::setBeats);
    panel.playSngSlot();
    playSteps(24);
    EXPECT_EQ(handNote(23), 0);
    EXPECT_EQ(panel.currentPattern, 1);
    EXPECT_EQ(panel.currentBeat, 0);
    EXPECT_EQ(redrawn.count(), 1) << "the grid shows the new pattern";

    playSteps(3);
    EXPECT_EQ(handNote(24), 1);
    EXPECT_EQ(handNote(26), 6) << "after the last pattern the first follows";
    EXPECT_EQ(panel.currentPattern, 0);
}

TEST_F(Transport, PatternModeLoopsTheSelectedPattern)
{
    addPattern(1);
    panel.currentPattern = 1;
    set(1, KickTrack, 0, 100);
    panel.playPatSlot();
    playSteps(4);
    for (const Step& step : steps)
        EXPECT_EQ(step[3].drumIndex, 3);
    EXPECT_EQ(panel.currentPattern, 1);
}

TEST_F(Transport, StopRestartsAtTheFirstStepOfTheCurrentPattern)
{
    panel.song.patterns[0].length = 2;
    addPattern(4);
    set(1, RideTrack, 0, 100);
    panel.playSngSlot();
    playSteps(3);
    QSignalSpy stopped(&panel, &DreditWidget::stopSignal);
    panel.stopSlot();
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_FALSE(panel.playing);
    EXPECT_EQ(panel.currentBeat, 0);
    EXPECT_EQ(panel.currentPattern, 1);

    panel.subTick = 1; // wherever the clock stopped
    panel.playPatSlot();
    ticks(1);
    EXPECT_EQ(handNote(3), 1);
}

TEST_F(Transport, TempoReachesTheSongAndTheClock)
{
    QSignalSpy tempo(&panel, &DreditWidget::bpmSignal);
    panel.bpmSlot(90);
    EXPECT_EQ(panel.bpm, 90);
    EXPECT_EQ(panel.song.tempo, 90.0f);
    ASSERT_EQ(tempo.count(), 1);
    EXPECT_EQ(tempo.at(0).at(0).toInt(), 90);
}

TEST_F(Transport, LengthLoweredBelowTheRunningStepRestartsAtZero)
{
    set(0, SnareTrack, 0, 100);
    set(0, RideTrack, 1, 100);
    panel.playPatSlot();
    playSteps(10);
    panel.song.patterns[0].length = 4;
    playSteps(3);
    EXPECT_EQ(handNote(10), 0);
    EXPECT_EQ(handNote(11), 1);
    EXPECT_EQ(panel.currentBeat, 3);
}

TEST_F(Transport, ShorterPatternSelectedWhilePlayingStartsAtItsFirstStep)
{
    addPattern(8);
    set(1, TomTrack, 0, 100);
    panel.playSngSlot();
    playSteps(20);
    panel.currentPattern = 1;
    playSteps(1);
    EXPECT_EQ(handNote(20), 6);
    EXPECT_EQ(panel.currentPattern, 1);
    EXPECT_EQ(panel.currentBeat, 1);
}

TEST_F(Transport, LengthsOutsideTheCellsStayWithinThem)
{
    set(0, SnareTrack, 31, 100);
    set(0, RideTrack, 0, 100);
    panel.song.patterns[0].length = 99;
    panel.playPatSlot();
    playSteps(33);
    EXPECT_EQ(handNote(31), 0);
    EXPECT_EQ(handNote(32), 1) << "the step after the last cell is the first";

    panel.song.patterns[0].length = -3;
    playSteps(2);
    EXPECT_EQ(handNote(33), 1);
    EXPECT_EQ(handNote(34), 1);
}

TEST_F(Transport, SongAndKitOfOtherSizesNeverReadPastTheirLists)
{
    set(0, SnareTrack, 0, 100);
    set(0, TomTrack, 0, 100);
    panel.song.patterns[0].resize(2, 32); // a pattern with fewer tracks than the kit
    panel.currentPattern = 7;             // and an index beyond the song
    panel.playPatSlot();
    playSteps(1);
    EXPECT_EQ(handNote(0), 0);
    EXPECT_EQ(steps[0][0].drumIndex, -1) << "the tom's track is missing from the pattern";
    EXPECT_EQ(panel.currentPattern, 0);

    // A smaller kit that the tracks have not followed yet.
    panel.drumSet = testkit::makeKit({{BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd}});
    panel.song.patterns[0].resize(TrackTotal, 32);
    set(0, TomTrack, 1, 100);
    set(0, KickTrack, 1, 100);
    playSteps(1);
    EXPECT_EQ(handNote(1), -1);
    EXPECT_EQ(steps[1][3].drumIndex, -1);

    panel.song.patterns.clear();
    playSteps(1);
    EXPECT_EQ(steps.size(), 2u) << "a song without patterns plays nothing";
}

TEST_F(Transport, NewKitKeepsStatesOfKeptTracksAndCountsSolosAgain)
{
    panel.mute(SnareTrack);
    panel.vol(RideTrack, 40);
    panel.solo(TomTrack);
    panel.drumSet = testkit::makeKit({{BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd},
                                      {12, "Ride20 top", Hitpoint::ByEnd},
                                      {BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot}});
    panel.refreshTracks();
    EXPECT_EQ(panel.muted, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(panel.volume, (std::vector<int>{100, 40, 100}));
    EXPECT_EQ(panel.soloCount, 0) << "the soloed tom is gone";

    set(0, RideTrack, 0, 100);
    panel.playPatSlot();
    playSteps(1);
    EXPECT_EQ(handNote(0), 1) << "the remaining tracks are not silenced by a lost solo";
}
