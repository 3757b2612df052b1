#include "playback/sample.h"
#include "playback/soundengine.h"
#include "playback/tests/drivenaudio.h"
#include "testing/recordingdialogs.h"

#include <QDir>
#include <QSignalSpy>
#include <cmath>
#include <memory>

namespace {

class SoundEngineTest : public DrivenAudio
{
protected:
    void SetUp() override
    {
        DrivenAudio::SetUp();
        engine = std::make_unique<SoundEngine>();
        QObject::connect(engine.get(), &SoundEngine::timerEvent, engine.get(),
                         [this] { ticks.push_back(engine->soundLayer().tickFrame()); });
    }

    void TearDown() override
    {
        engine.reset();
        DrivenAudio::TearDown();
    }

    std::vector<float> render(int frames, bool deliverTicks = true)
    {
        return DrivenAudio::render(engine->soundLayer(), frames, deliverTicks);
    }

    // Adds sounds of constant levels 0.05, 0.10, ...: a sound is known by its level.
    void addLevels(int count)
    {
        for (int i = 0; i < count; ++i)
            engine->addSound(writeLevel(QString("level%1.wav").arg(i), 0.05f * (i + 1), 2000));
    }

    // Plays the sound at full volume alone and measures it.
    float levelOf(int id)
    {
        engine->play(id, 128);
        const float level = render(512)[0];
        render(2048);
        return level;
    }

    static double orderFrames(int bpm) { return 0.25 / (bpm * 3.0 / 120.0) * rate; }

    RecordingDialogs dialogs;
    std::unique_ptr<SoundEngine> engine;
    std::vector<int64_t> ticks;
};

TEST_F(SoundEngineTest, StartsStoppedAt120BpmWithTheRefusalSound)
{
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FLOAT_EQ(engine->speed, 3.0f);
    ASSERT_EQ(engine->uiSounds.size(), 1u);
    EXPECT_NE(engine->uiSounds[0], nullptr);
    EXPECT_TRUE(engine->kitSounds.empty());
    render(rate);
    EXPECT_TRUE(ticks.empty()) << "the clock waits for start()";
}

TEST_F(SoundEngineTest, IdentifiersFollowTheRequestsAlsoForFailedLoads)
{
    addLevels(2);
    engine->soundClear();
    QSignalSpy ids(engine.get(), &SoundEngine::sendID);
    EXPECT_EQ(engine->addSound(writeLevel("a.wav", 0.1f, 100)), 0);
    EXPECT_EQ(engine->addSound(folder.filePath("missing.wav")), 1);
    EXPECT_EQ(engine->addSound(writeLevel("c.wav", 0.3f, 100)), 2);
    ASSERT_EQ(ids.count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ids[i][0].toInt(), i);
    EXPECT_EQ(engine->play(1, 100), -1) << "the failed entry plays nothing";
    EXPECT_GE(engine->play(2, 100), 0);
}

TEST_F(SoundEngineTest, RemovingShiftsLaterIdentifiersAndReloadingKeepsThem)
{
    addLevels(5);
    engine->removeSound(1);
    ASSERT_EQ(engine->kitSounds.size(), 4u);
    EXPECT_NEAR(levelOf(2), 0.20f, 1e-3) << "identifier 3 became 2";
    EXPECT_NEAR(levelOf(0), 0.05f, 1e-3);

    QSignalSpy ids(engine.get(), &SoundEngine::sendID);
    engine->reloadSound(2, writeLevel("new.wav", 0.33f, 2000));
    EXPECT_EQ(ids.count(), 0);
    EXPECT_NEAR(levelOf(2), 0.33f, 1e-3);
    EXPECT_NEAR(levelOf(3), 0.25f, 1e-3);
}

TEST_F(SoundEngineTest, VolumeIsTwiceTheVelocityAndInterfaceSoundsPlayFull)
{
    engine->addSound(writeLevel("half.wav", 0.5f, 2000));
    for (int velocity : {1, 64, 127}) {
        EXPECT_GE(engine->play(0, velocity), 0);
        EXPECT_FLOAT_EQ(render(512)[0], 0.5f * 2 * velocity / 256) << velocity;
        render(2048);
    }
    EXPECT_EQ(engine->play(-1, 100), -1);
    EXPECT_EQ(engine->play(7, 100), -1);
    EXPECT_EQ(firstSounding(render(512)), -1);

    EXPECT_GE(engine->playUI(0), 0);
    const std::vector<float> out = render(4096);
    const auto no = decodeSampleFile("Sounds/no.wav", rate);
    ASSERT_NE(no, nullptr);
    for (int i = 0; i < 4096 * 2; i += 97)
        ASSERT_FLOAT_EQ(out[i], no->frames[i]) << i;
    EXPECT_EQ(engine->playUI(-1), -1);
}

TEST_F(SoundEngineTest, ClearingKeepsTheInterfaceSound)
{
    addLevels(3);
    engine->soundClear();
    EXPECT_TRUE(engine->kitSounds.empty());
    EXPECT_EQ(engine->play(0, 100), -1);
    EXPECT_EQ(engine->addSound(writeLevel("next.wav", 0.1f, 100)), 0);
    ASSERT_EQ(engine->uiSounds.size(), 1u);
    EXPECT_GE(engine->playUI(0), 0);
}

TEST_F(SoundEngineTest, TempoSetsTheMasterSpeed)
{
    engine->setTempo(60);
    EXPECT_FLOAT_EQ(engine->speed, 1.5f);
    engine->setTempo(1);
    EXPECT_FLOAT_EQ(engine->speed, 0.025f);
    engine->setTempo(240);
    EXPECT_FLOAT_EQ(engine->speed, 6.0f);
    engine->setTempo(0);
    engine->start();
    render(rate);
    EXPECT_EQ(ticks.size(), 1u) << "a tempo of 0 holds the clock at its slowest, not broken";
}

TEST_F(SoundEngineTest, AnOrderLastsAQuarterSecondOverTheMasterSpeed)
{
    for (int bpm : {40, 120, 240}) {
        ticks.clear();
        engine->setTempo(bpm);
        engine->start();
        const double expected = orderFrames(bpm);
        render(int(expected * 30.5));
        ASSERT_GE(ticks.size(), 30u) << bpm;
        for (size_t i = 2; i < ticks.size(); ++i)
            EXPECT_NEAR(double(ticks[i] - ticks[i - 1]), expected, expected * 0.002 + 16)
                << bpm << " bpm, order " << i;
        const double mean = double(ticks.back() - ticks[1]) / double(ticks.size() - 2);
        EXPECT_NEAR(mean, expected, expected * 0.002) << bpm;
        engine->stop();
    }
}

// At B bpm an order lasts a quarter second over the master speed, 10 * rate / B frames: order j
// of a run begins on the first frame at or after j such lengths, however long the clock runs.
TEST_F(SoundEngineTest, EveryOrderBeginsOnItsOwnFrameHoweverLongTheClockRuns)
{
    constexpr int steps = 2000; // of three orders each
    constexpr int bigBlock = 1 << 16;
    const auto ceilDiv = [](int64_t a, int64_t b) { return (a + b - 1) / b; };
    std::vector<float> out(size_t(bigBlock) * 2);
    for (const int bpm : {37, 90, 112, 180, 240, 1}) {
        const int64_t orders = bpm == 1 ? 6 : 3 * steps;
        ticks.clear();
        engine->setTempo(bpm);
        engine->start();
        for (int64_t done = 0; done <= ceilDiv(orders * 10 * rate, bpm); done += bigBlock) {
            engine->soundLayer().render(out.data(), bigBlock);
            engine->soundLayer().dispatchTicks();
        }
        engine->stop();
        ASSERT_GT(int64_t(ticks.size()), orders) << bpm;
        int64_t off = 0;
        while (off < orders && ticks[off] - ticks[0] == ceilDiv(off * 10 * rate, bpm))
            ++off;
        EXPECT_EQ(off, orders) << bpm << " bpm: order " << off << " begins "
                               << ticks[off] - ticks[0] - ceilDiv(off * 10 * rate, bpm)
                               << " frames off";
    }
}

TEST_F(SoundEngineTest, ANewTempoActsWithinOneOrder)
{
    QObject::connect(engine.get(), &SoundEngine::timerEvent, engine.get(), [this] {
        if (ticks.size() == 4)
            engine->setTempo(240);
    });
    engine->setTempo(120);
    engine->start();
    render(int(orderFrames(120) * 12));
    ASSERT_GE(ticks.size(), 15u);
    for (size_t i = 5; i < ticks.size(); ++i)
        EXPECT_LT(std::abs(double(ticks[i] - ticks[4]) - double(i - 4) * orderFrames(240)), 1.0)
            << "order " << i;
}

TEST_F(SoundEngineTest, NoTickArrivesAfterStop)
{
    engine->start();
    render(int(orderFrames(120) * 3), false);
    engine->stop();
    engine->soundLayer().dispatchTicks();
    EXPECT_TRUE(ticks.empty()) << "ticks found before the stop but not yet delivered are dropped";
    render(rate);
    EXPECT_TRUE(ticks.empty());

    engine->start();
    render(int(orderFrames(120) * 2));
    EXPECT_FALSE(ticks.empty()) << "a restart ticks again";
}

TEST_F(SoundEngineTest, ASoundPlayedOnATickLandsExactlyAtTheTickPlusTheLatency)
{
    engine->addSound(writeLevel("hit.wav", 0.5f, 100));
    std::vector<int64_t> due;
    QObject::connect(engine.get(), &SoundEngine::timerEvent, engine.get(), [&] {
        if (ticks.size() == 3) {
            due.push_back(engine->soundLayer().tickFrame() + engine->soundLayer().latencyFrames());
            engine->play(0, 128);
        }
    });
    engine->start();
    const std::vector<float> out = render(int(orderFrames(120) * 6));
    ASSERT_EQ(due.size(), 1u);
    EXPECT_EQ(engine->soundLayer().latencyFrames(), 2 * block);
    EXPECT_EQ(firstSounding(out), due[0]);
    EXPECT_GT(due[0] % block, 0) << "lands inside a block, not on its edge";
}

// Of two sounds announced for one tick only the one asked for on it is heard: 0.10, never 0.15.
TEST_F(SoundEngineTest, AnAnnouncedSoundNotAskedForOnItsTickNeverSounds)
{
    addLevels(2);
    QObject::connect(engine.get(), &SoundEngine::timerEvent, engine.get(), [this] {
        if (ticks.size() == 1)
            for (int id : {0, 1})
                engine->playAhead(id, 128, 2);
        if (ticks.size() == 3)
            engine->play(1, 128);
    });
    engine->start();
    const std::vector<float> out = render(int(orderFrames(120) * 5));
    ASSERT_GE(ticks.size(), 4u);
    EXPECT_EQ(firstSounding(out), ticks[2] + engine->soundLayer().latencyFrames());
    for (std::size_t i = 0; i < out.size(); ++i)
        ASSERT_TRUE(out[i] == 0.0f || std::abs(out[i] - 0.10f) < 1e-3f) << "frame " << i / 2;
}

TEST_F(SoundEngineTest, ASoundPlayedOutsideATickStartsAtOnce)
{
    engine->addSound(writeLevel("hit.wav", 0.5f, 100));
    render(100);
    engine->play(0, 128);
    EXPECT_EQ(firstSounding(render(512)), 0);
}

class SoundEngineWithoutModuleTest : public DrivenAudio
{
};

TEST_F(SoundEngineWithoutModuleTest, SaysSoOnceAndRunsWithoutAClock)
{
    RecordingDialogs dialogs;
    const QString runDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    {
        SoundEngine engine;
        int ticks = 0;
        QObject::connect(&engine, &SoundEngine::timerEvent, [&ticks] { ++ticks; });
        engine.setTempo(90);
        engine.start();
        render(engine.soundLayer(), rate);
        EXPECT_EQ(ticks, 0);
        EXPECT_EQ(engine.playUI(0), -1) << "no Sounds/no.wav here either";
    }
    QDir::setCurrent(runDir);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].parent, nullptr);
    EXPECT_EQ(dialogs.messages[0].caption, "Sound engine");
    EXPECT_EQ(dialogs.messages[0].text, "TimerEvent callback not set!");
}

} // namespace
