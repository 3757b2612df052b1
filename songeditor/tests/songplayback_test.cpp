// The song editor's road to sound, wired as the song editor wires it: the panel steps the song
// on the beat clock, the note parser turns the steps into sounds two steps later, and the sound
// engine starts them on the tick. The clock is driven by rendering the sound layer by hand.
#include "kit/bodytypes.h"
#include "playback/beattiming.h"
#include "playback/tests/drivenaudio.h"
#include "songeditor/tests/playbackwiring.h"
#include "songeditor/tests/testkit.h"
#include "testing/recordingdialogs.h"

#include <memory>
#include <tuple>

namespace {

enum Track
{
    SnareTrack,
    HiHatTrack,
    KickTrack,
    PedalTrack,
    TrackTotal
};

using Sounded = std::tuple<int, int, int>; // tick, sound, velocity

// The tick on which a note of the k-th step played sounds: each step is sent on its first tick.
constexpr int soundTick(int k)
{
    return k * BeatTiming::ticksPerStep + BeatTiming::ticksToSound;
}

class SongPlayback : public DrivenAudio
{
protected:
    static constexpr int hitFrames = 300;

    void SetUp() override
    {
        DrivenAudio::SetUp();
        engine = std::make_unique<SoundEngine>();
        for (int sound = 0; sound < TrackTotal; ++sound)
            engine->addSound(
                writeLevel(QString("hit%1.wav").arg(sound), levelOf(sound), hitFrames));
        QObject::connect(engine.get(), &SoundEngine::timerEvent,
                         [this] { tickFrames.push_back(engine->soundLayer().tickFrame()); });
        wirePlayback(*panel, *engine, parser);
        QObject::connect(&parser, &NoteParser::playSound, [this](int sound, int velocity) {
            sounded.emplace_back(int(tickFrames.size()) - 1, sound, velocity);
        });

        panel->drumSet =
            testkit::makeKit({{BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd},
                              {BodyTypes::HiHat, "Hi-hat top", Hitpoint::ByEdge},
                              {BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot},
                              {BodyTypes::HiHatStand, "Hi-hat foot", Hitpoint::LeftFoot}});
        panel->refreshTracks();
        emit panel->sendSet(&panel->drumSet);
        makeSong();
    }

    void TearDown() override
    {
        panel.reset();
        engine.reset();
        DrivenAudio::TearDown();
    }

    // Pattern 0: snare, rest, kick, rest. Pattern 1: hi-hat, pedal.
    void makeSong()
    {
        Song& song = panel->song;
        song.patterns.emplace_back(TrackTotal, 32);
        song.patternCount = 2;
        song.patterns[0].length = 4;
        song.patterns[0].cells[SnareTrack][0] = {100, 0.0f};
        song.patterns[0].cells[KickTrack][2] = {90, 0.0f};
        song.patterns[1].length = 2;
        song.patterns[1].cells[HiHatTrack][0] = {80, 0.333f};
        song.patterns[1].cells[PedalTrack][1] = {70, 0.0f};
    }

    static float levelOf(int sound) { return 0.1f * float(sound + 1); }

    // Renders until the clock has ticked the given number of times in all.
    void playUntilTick(int ticks)
    {
        SoundLayer& layer = engine->soundLayer();
        while (int(tickFrames.size()) < ticks) {
            const size_t done = out.size();
            out.resize(done + block * 2);
            layer.render(out.data() + done, block);
            layer.dispatchTicks();
            ASSERT_LT(out.size(), size_t(rate) * 2 * 60) << "the clock does not tick";
        }
    }
    void renderQuietly(int frames)
    {
        const size_t ticksBefore = tickFrames.size();
        const size_t done = out.size();
        out.resize(done + size_t(frames) * 2);
        engine->soundLayer().render(out.data() + done, frames);
        engine->soundLayer().dispatchTicks();
        EXPECT_EQ(tickFrames.size(), ticksBefore) << "a stopped clock does not tick";
    }

    // Each requested sound starts in the output exactly at its tick's frame plus the latency.
    void expectHeardOnTheirTicks()
    {
        const int64_t latency = engine->soundLayer().latencyFrames();
        panel->stopSlot();
        renderQuietly(int(latency) + block);
        for (const auto& [tick, sound, velocity] : sounded) {
            const int64_t due = tickFrames.at(tick) + latency;
            ASSERT_LT(size_t(due) * 2, out.size());
            EXPECT_EQ(out[size_t(due - 1) * 2], 0.0f) << "tick " << tick;
            EXPECT_NEAR(out[size_t(due) * 2], levelOf(sound) * 2 * velocity / 256, 1e-4)
                << "tick " << tick;
        }
    }

    RecordingDialogs dialogs;
    std::unique_ptr<SoundEngine> engine;
    NoteParser parser;
    std::unique_ptr<DreditWidget> panel = std::make_unique<DreditWidget>();
    std::vector<int64_t> tickFrames;
    std::vector<Sounded> sounded;
    std::vector<float> out;
};

} // namespace

TEST_F(SongPlayback, SongModePlaysEveryPatternAndWrapsToTheFirst)
{
    panel->playSngSlot();
    playUntilTick(soundTick(8) + 1);

    const std::vector<Sounded> expected = {
        {soundTick(0), 0, 100}, // pattern 0, step 0: snare
        {soundTick(2), 2, 90},  // pattern 0, step 2: kick
        {soundTick(4), 1, 80},  // pattern 1, step 0: hi-hat
        {soundTick(5), 3, 70},  // pattern 1, step 1: pedal
        {soundTick(6), 0, 100}, // pattern 0 again
        {soundTick(8), 2, 90},
    };
    EXPECT_EQ(sounded, expected);
    expectHeardOnTheirTicks();
}

TEST_F(SongPlayback, PatternModeLoopsThePatternAtTheSetTempo)
{
    panel->currentPattern = 1;
    panel->bpmSlot(60);
    EXPECT_FLOAT_EQ(engine->speed, 1.5f);
    panel->playPatSlot();
    playUntilTick(soundTick(3) + 1);

    const std::vector<Sounded> expected = {
        {soundTick(0), 1, 80}, {soundTick(1), 3, 70}, {soundTick(2), 1, 80}, {soundTick(3), 3, 70}};
    EXPECT_EQ(sounded, expected);
    EXPECT_EQ(panel->currentPattern, 1);
    const double order = 0.25 / 1.5 * rate;
    EXPECT_NEAR(double(tickFrames[15] - tickFrames[3]) / 12, order, order * 0.002);
    expectHeardOnTheirTicks();
}

TEST_F(SongPlayback, MutedAndUnsoloedTracksStaySilent)
{
    panel->solo(SnareTrack);
    panel->solo(KickTrack);
    panel->mute(SnareTrack);
    panel->playSngSlot();
    playUntilTick(31);

    const std::vector<Sounded> expected = {{12, 2, 90}, {30, 2, 90}};
    EXPECT_EQ(sounded, expected);
    expectHeardOnTheirTicks();
}

TEST_F(SongPlayback, StopForgetsNotesOnTheirWay)
{
    panel->playSngSlot();
    playUntilTick(2); // the snare's note is sent, its sound is two steps away
    panel->stopSlot();
    EXPECT_EQ(panel->currentBeat, 0);
    renderQuietly(rate);

    panel->mute(SnareTrack);
    const int restart = int(tickFrames.size());
    panel->playSngSlot();
    playUntilTick(restart + 13);

    const std::vector<Sounded> expected = {{restart + 12, 2, 90}};
    EXPECT_EQ(sounded, expected) << "nothing of the stopped song sounds after the restart";
    expectHeardOnTheirTicks();
}
