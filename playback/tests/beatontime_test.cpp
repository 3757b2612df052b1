// The note parser announces each sound two steps ahead and the sound engine hands it to the audio
// thread at once: the sound lands on its tick however late the GUI thread handles the ticks, and
// whatever takes the note back before its tick leaves nothing sounding.
#include "kit/bodytypes.h"
#include "playback/beattiming.h"
#include "playback/noteparser.h"
#include "playback/soundengine.h"
#include "playback/tests/drivenaudio.h"
#include "songeditor/tests/testkit.h"
#include "testing/recordingdialogs.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace {

constexpr int stepFrames = BeatTiming::ticksPerStep * 3675; // at 120 bpm

float levelOf(int sound)
{
    return 0.2f * float(sound + 1);
}

// The song editor's road to sound, with a kit of a snare (sound 0) and a kick (sound 1) and the
// transport's part: a step every BeatTiming::ticksPerStep ticks. Each of the first noteSteps steps
// holds a snare note, every other one a kick note too, each at a velocity of its own.
class BeatOnTime : public DrivenAudio
{
protected:
    void start(int noteSteps)
    {
        parser = std::make_unique<NoteParser>();
        engine = std::make_unique<SoundEngine>();
        tickFrames.clear();
        requested.clear();
        out.clear();
        for (int sound = 0; sound < 2; ++sound)
            engine->addSound(writeLevel(QString("hit%1.wav").arg(sound), levelOf(sound), 2000));
        parser->recvSet(&kit);
        QObject::connect(parser.get(), &NoteParser::playSound, engine.get(), &SoundEngine::play);
        QObject::connect(parser.get(), &NoteParser::playSoundAhead, engine.get(),
                         &SoundEngine::playAhead);
        QObject::connect(parser.get(), &NoteParser::cancelSoundsAhead, engine.get(),
                         &SoundEngine::cancelAhead);
        QObject::connect(parser.get(), &NoteParser::playSound, [this](int sound, int velocity) {
            requested[tickFrames.back()] += levelOf(sound) * 2 * float(velocity) / 256;
        });
        QObject::connect(engine.get(), &SoundEngine::timerEvent, [this, noteSteps] {
            tickFrames.push_back(engine->soundLayer().tickFrame());
            const int step = int(tickFrames.size() - 1) / BeatTiming::ticksPerStep;
            if ((tickFrames.size() - 1) % BeatTiming::ticksPerStep == 0)
                parser->next({}, step < noteSteps ? Event{0, 0, 60 + step} : Event(), {},
                             step < noteSteps && step % 2 == 0 ? Event{1, 0, 120 - step} : Event());
        });
        engine->start();
    }

    // Renders block by block; the GUI thread handles the ticks after every block but those for
    // which stalled(block) holds, and then all that arrived meanwhile at once.
    void play(
        int blocks, const std::function<bool(int)>& stalled = [](int) { return false; })
    {
        for (int i = 0; i < blocks; ++i) {
            out.resize(out.size() + block * 2);
            engine->soundLayer().render(out.data() + out.size() - block * 2, block);
            if (!stalled(i))
                engine->soundLayer().dispatchTicks();
        }
    }

    std::vector<int64_t> onsets() const
    {
        std::vector<int64_t> found;
        for (size_t frame = 1; frame < out.size() / 2; ++frame)
            if (out[frame * 2] != 0.0f && out[frame * 2 - 2] == 0.0f)
                found.push_back(int64_t(frame));
        return found;
    }

    RecordingDialogs dialogs;
    DrumSet kit = testkit::makeKit({{BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd},
                                    {BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot}});
    DrumSet otherKit;
    std::unique_ptr<NoteParser> parser;
    std::unique_ptr<SoundEngine> engine;
    std::vector<int64_t> tickFrames;
    std::map<int64_t, float> requested; // tick frame: the level of what was asked for on it
    std::vector<float> out;
};

TEST_F(BeatOnTime, StallsShorterThanTwoStepsLeaveEverySoundOnItsTick)
{
    struct Case
    {
        int stallBlocks; // two steps are 43 blocks
        int everyBlocks;
        bool onTheTick; // else as soon as possible after it
    };
    for (const Case& c :
         {Case{0, 1, true}, Case{40, 47, true}, Case{41, 53, true}, Case{60, 67, false}}) {
        SCOPED_TRACE(c.stallBlocks);
        start(1000);
        play(700, [&c](int i) { return i % c.everyBlocks < c.stallBlocks; });
        play(1);
        engine->stop();
        play(8);

        const int64_t latency = engine->soundLayer().latencyFrames();
        const std::vector<int64_t> heard = onsets();
        ASSERT_EQ(heard.size(), requested.size()) << "each sound once, none other";
        EXPECT_GT(heard.size(), 25u);
        auto onset = heard.begin();
        for (const auto& [tickFrame, level] : requested) {
            if (c.onTheTick)
                EXPECT_EQ(*onset, tickFrame + latency);
            else
                EXPECT_GE(*onset, tickFrame + latency);
            EXPECT_NEAR(out[size_t(*onset) * 2], level, 1e-4);
            ++onset;
        }
    }
}

TEST_F(BeatOnTime, WhatTakesANoteBackLeavesNothingSounding)
{
    const std::pair<const char*, std::function<void()>> takers[] = {
        {"stop", [this] { engine->stop(); }},
        {"reset", [this] { parser->reset(); }},
        {"another kit", [this] { parser->recvSet(&otherKit); }},
        {"sounds cleared", [this] { engine->soundClear(); }},
    };
    for (const auto& [name, takeBack] : takers)
        for (const bool guiLate : {false, true}) {
            SCOPED_TRACE(std::string(name) + (guiLate ? ", GUI late" : ", GUI on time"));
            start(1);
            play(1); // the note's step
            // On time, the GUI has handled the next step; late, it has not, and the audio thread
            // has started the sound.
            const int blocks = guiLate
                                   ? (BeatTiming::stepsToSound * stepFrames + 2 * block) / block + 2
                                   : stepFrames / block + 1;
            play(blocks, [guiLate](int) { return guiLate; });
            ASSERT_EQ(onsets().size(), guiLate ? 1u : 0u);
            const auto takenBack = long(out.size());
            takeBack();
            play(3 * stepFrames / block);
            EXPECT_TRUE(
                std::all_of(out.begin() + takenBack, out.end(), [](float x) { return x == 0.0f; }));
        }
}

} // namespace
