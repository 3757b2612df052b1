#include "playback/beattiming.h"
#include "playback/sample.h"
#include "playback/soundengine.h"
#include "playback/wavfile.h"
#include "testing/recordingdialogs.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The sound engine with its real output thread: the silent output renders at real time while
// the GUI thread, woken by the ticks it hands over, plays, announces ahead, takes back, reloads
// and releases sounds and sets the tempo. What is checked does not depend on how the two threads
// are scheduled; built with ThreadSanitizer, the run checks the hand-over itself.
class AudioThreadTest : public ::testing::Test
{
protected:
    static constexpr int rate = 44100;
    static constexpr size_t tickCount = 40;

    void SetUp() override { qputenv("OLMIRA_AUDIO", "silent:" + take.toUtf8()); }
    void TearDown() override { qunsetenv("OLMIRA_AUDIO"); }

    QString writeLevel(const QString& name, float level, int frames)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(writeWav(path, std::vector<float>(size_t(frames), level), 1, rate));
        return path;
    }

    QTemporaryDir folder;
    const QString take = folder.filePath("take.wav");
    RecordingDialogs dialogs;
};

TEST_F(AudioThreadTest, TicksAndSoundsCrossBetweenTheAudioAndTheGuiThread)
{
    std::vector<int64_t> ticks;
    int64_t firstDue = -1, rendered = 0;
    {
        SoundEngine engine;
        SoundLayer& layer = engine.soundLayer();
        ASSERT_FALSE(layer.isDriven());
        engine.addSound(writeLevel("hit.wav", 0.5f, 300));
        // Longer than an order: it is still sounding when it is released and loaded again.
        const QString longSound = writeLevel("long.wav", 0.25f, 4000);
        engine.addSound(longSound);

        QEventLoop loop;
        QObject::connect(&engine, &SoundEngine::timerEvent, &engine, [&] {
            ticks.push_back(layer.tickFrame());
            if (firstDue < 0)
                firstDue = layer.tickFrame() + layer.latencyFrames();
            engine.setTempo(240);
            engine.play(int(ticks.size() % 2), 100);
            // Sounds handed to the audio thread ahead of their tick, some taken back again.
            engine.playAhead(0, 90, BeatTiming::ticksToSound);
            if (ticks.size() % 5 == 0)
                engine.cancelAhead();
            if (ticks.size() % 3 == 0)
                engine.reloadSound(1, longSound);
            if (ticks.size() == tickCount)
                loop.quit();
        });
        // Only a clock that never ticks ends the loop this way.
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        engine.setTempo(240);
        engine.start();
        loop.exec();
        engine.stop();
        rendered = layer.renderedFrames();
    }

    // At 240 bpm the clock runs at its highest speed: an order lasts a quarter second over 6.
    ASSERT_EQ(ticks.size(), tickCount) << "the clock stalled";
    const double orderFrames = 0.25 / 6 * rate;
    for (size_t i = 2; i < ticks.size(); ++i)
        EXPECT_NEAR(double(ticks[i] - ticks[i - 1]), orderFrames, orderFrames * 0.002 + 16) << i;

    // Everything rendered was recorded, and nothing sounded before the first sound was due.
    const auto recorded = decodeSampleFile(take, rate);
    ASSERT_NE(recorded, nullptr);
    EXPECT_GE(recorded->frameCount(), rendered);
    EXPECT_EQ(recorded->frameCount() % 512, 0) << "whole blocks";
    int64_t firstSounding = -1;
    for (int64_t frame = 0; frame < recorded->frameCount() && firstSounding < 0; ++frame)
        if (recorded->frames[size_t(frame) * 2] != 0.0f)
            firstSounding = frame;
    EXPECT_GE(firstSounding, firstDue);
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
