#include "kit/bodytypes.h"
#include "playback/beattiming.h"
#include "songeditor/dreditwidget.h"
#include "songeditor/tests/testkit.h"

#include <QSignalSpy>
#include <array>
#include <gtest/gtest.h>
#include <limits>

namespace {

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
                              {BodyTypes::Ride20, "Ride20 top", Hitpoint::ByEnd},
                              {BodyTypes::HiHat, "Hi-hat top", Hitpoint::ByEdge},
                              {BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot},
                              {BodyTypes::HiHatStand, "Hi-hat foot", Hitpoint::LeftFoot},
                              {BodyTypes::SnareRamp, nullptr, 0},
                              {BodyTypes::Tom8, "Tom8 middle", Hitpoint::ByEnd}});
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
    void playSteps(int count) { ticks(BeatTiming::ticksPerStep * count); }
    void set(int track, int step, int velocity, float offset = 0.0f)
    {
        panel.song.patterns.at(panel.currentPattern).cells.at(track).at(step) = {velocity, offset};
    }
    // The drum of the step's first hand note, -1 for none.
    int handNote(std::size_t step) const { return steps.at(step)[1].drumIndex; }

    DreditWidget panel;
    std::vector<std::array<Event, 4>> steps; // e1, e2, e3, e4 as emitted
};

} // namespace

TEST_F(Transport, TracksFollowTheKitAndKeepTheStatesOfKeptTracks)
{
    QSignalSpy added(&panel, &DreditWidget::addTrack);
    panel.mute(SnareTrack);
    panel.vol(RideTrack, 40);
    panel.solo(TomTrack);
    panel.refreshTracks();
    ASSERT_EQ(added.count(), TrackTotal) << "the stand has no hit point and no track";
    EXPECT_EQ(added.at(5).at(0).toString(), "Tom8 middle");
    EXPECT_EQ(panel.tracks.at(TomTrack).drum, 6);
    EXPECT_EQ(panel.song.patterns.at(0).cells.size(), std::size_t(TrackTotal));
    EXPECT_EQ(panel.soloCount, 1);

    panel.drumSet = testkit::makeKit({{BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd},
                                      {BodyTypes::Ride20, "Ride20 top", Hitpoint::ByEnd},
                                      {BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot}});
    panel.refreshTracks();
    EXPECT_EQ(panel.muted, (std::vector<bool>{true, false, false}));
    EXPECT_EQ(panel.volume, (std::vector<int>{100, 40, 100}));
    EXPECT_EQ(panel.soloCount, 0) << "the soloed tom is gone";
    set(RideTrack, 0, 100);
    panel.playPatSlot();
    playSteps(1);
    EXPECT_EQ(handNote(0), 1) << "a lost solo does not silence the remaining tracks";
}

TEST_F(Transport, FirstTickAfterPlayPlaysAStepThenEveryThirdTick)
{
    set(SnareTrack, 0, 100);
    set(RideTrack, 1, 90);
    QSignalSpy started(&panel, &DreditWidget::startSignal);
    QSignalSpy tempo(&panel, &DreditWidget::bpmSignal);
    panel.bpmSlot(90);
    EXPECT_EQ(panel.song.tempo, 90.0f);
    EXPECT_EQ(tempo.at(0).at(0).toInt(), 90);
    panel.playPatSlot();
    EXPECT_EQ(started.count(), 1);

    ticks(1);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(handNote(0), 0);
    ticks(BeatTiming::ticksPerStep - 1);
    EXPECT_EQ(steps.size(), 1u);
    ticks(1);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(handNote(1), 1);
}

TEST_F(Transport, NotesGoToTheirLimbs)
{
    for (int track : {SnareTrack, RideTrack, HiHatTrack, KickTrack, PedalTrack})
        set(track, 0, 50 + track);
    set(SnareTrack, 1, 100, -0.333f);
    set(SnareTrack, 2, 100, std::numeric_limits<float>::quiet_NaN());
    set(SnareTrack, 3, 100, 3e20f);
    set(SnareTrack, 4, 100, 1.5f);
    panel.playPatSlot();
    playSteps(5);

    const auto& full = steps.at(0);
    EXPECT_EQ(full[1].drumIndex, 0) << "the first hand note";
    EXPECT_EQ(full[1].priority, BodyTypes::setup(BodyTypes::Snare).priority);
    EXPECT_EQ(full[1].velocity, 50);
    EXPECT_EQ(full[0].drumIndex, 2) << "the later hi-hat note overwrites the ride";
    EXPECT_EQ(full[2].drumIndex, 4);
    EXPECT_EQ(full[3].drumIndex, 3);

    const auto& lone = steps.at(1);
    EXPECT_EQ(lone[1].drumIndex, 0);
    EXPECT_EQ(lone[1].offset, 0);
    for (int limb : {0, 2, 3})
        EXPECT_EQ(lone[limb].drumIndex, -1);
    EXPECT_EQ(steps.at(2)[1].offset, 0) << "NaN";
    EXPECT_EQ(steps.at(3)[1].offset, 0) << "beyond an int";
    EXPECT_EQ(steps.at(4)[1].offset, 1);
}

TEST_F(Transport, MutedTracksStaySilentEvenWhenSoloed)
{
    set(HiHatTrack, 0, 80);
    set(TomTrack, 0, 80);
    set(SnareTrack, 0, 80);
    panel.solo(HiHatTrack);
    panel.solo(TomTrack);
    panel.mute(TomTrack);
    panel.mute(-1);
    panel.solo(TrackTotal);
    panel.vol(99, 5);
    EXPECT_EQ(panel.soloCount, 2) << "clicks on missing tracks change nothing";
    panel.playPatSlot();
    playSteps(1);
    EXPECT_EQ(handNote(0), 2);
    EXPECT_EQ(steps[0][0].drumIndex, -1);
}

TEST_F(Transport, StepRestartsAtZeroWhenThePatternGotShorter)
{
    panel.song.patterns.emplace_back(TrackTotal, 8);
    panel.song.patternCount = 2;
    panel.song.patterns[1].cells[TomTrack][0] = {100, 0.0f};
    panel.playSngSlot();
    playSteps(20);
    panel.currentPattern = 1; // a shorter pattern selected while playing
    playSteps(1);
    EXPECT_EQ(handNote(20), 6);
    EXPECT_EQ(panel.currentBeat, 1);

    playSteps(5);
    panel.song.patterns[1].length = 4; // lowered below the running step
    playSteps(1);
    EXPECT_EQ(handNote(26), 6) << "the same pattern starts over";
    EXPECT_EQ(panel.currentPattern, 1);
}

TEST_F(Transport, LengthsOutsideTheCellsStayWithinThem)
{
    set(SnareTrack, 31, 100);
    set(RideTrack, 0, 100);
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
    set(SnareTrack, 0, 100);
    set(TomTrack, 0, 100);
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
    set(TomTrack, 1, 100);
    set(KickTrack, 1, 100);
    playSteps(1);
    EXPECT_EQ(handNote(1), -1);
    EXPECT_EQ(steps[1][3].drumIndex, -1);

    panel.song.patterns.clear();
    playSteps(1);
    EXPECT_EQ(steps.size(), 2u) << "a song without patterns plays nothing";
}
