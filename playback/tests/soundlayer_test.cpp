#include "playback/sample.h"
#include "playback/tests/drivenaudio.h"

#include <QFile>
#include <sndfile.h>

namespace {

class SoundLayerTest : public DrivenAudio
{
protected:
    void SetUp() override
    {
        DrivenAudio::SetUp();
        ASSERT_TRUE(layer.initialise(rate, 32));
        ASSERT_TRUE(layer.isDriven());
    }

    SoundLayer layer;
};

TEST_F(SoundLayerTest, VolumeScalesTheSampleAndAppliesFromTheFirstFrame)
{
    const auto sample = layer.loadSample(writeLevel("half.wav", 0.5f, 1000));
    ASSERT_NE(sample, nullptr);
    for (int volume : {2, 128, 254, 256}) {
        {
            SoundLayer::Batch together(layer);
            layer.setChannelVolume(layer.playSample(sample), volume);
        }
        const std::vector<float> out = render(layer, 1024);
        EXPECT_FLOAT_EQ(out[0], 0.5f * volume / 256) << volume;
        EXPECT_FLOAT_EQ(out[1], out[0]) << "mono is played on both sides";
        EXPECT_FLOAT_EQ(out[999 * 2], out[0]);
        EXPECT_EQ(out[1000 * 2], 0.0f) << "the voice ends with its sample";
    }
}

TEST_F(SoundLayerTest, LoudOverlapsAreLimitedBelowFullScale)
{
    const auto half = layer.loadSample(writeLevel("half.wav", 0.5f, 600));
    layer.playSample(half);
    layer.playSample(half);
    const float bent = render(layer, 1024)[0];
    EXPECT_GT(bent, 0.9f);
    EXPECT_LT(bent, 0.96f);

    const auto loud = layer.loadSample(writeLevel("loud.wav", 0.9f, 600));
    for (int i = 0; i < 4; ++i)
        layer.playSample(loud);
    const std::vector<float> out = render(layer, 512);
    EXPECT_LE(out[0], 1.0f);
    EXPECT_GE(out[0], bent);
}

TEST_F(SoundLayerTest, ThirtyTwoVoicesThenTheOldestIsTaken)
{
    const auto sample = layer.loadSample(writeLevel("quiet.wav", 0.01f, 20000));
    std::vector<int> channels;
    for (int i = 0; i < 32; ++i) {
        channels.push_back(layer.playSample(sample));
        render(layer, 16); // each voice a little older than the next
    }
    std::sort(channels.begin(), channels.end());
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(channels[i], i);
    const std::vector<float> before = render(layer, 16);
    const int reused = layer.playSample(sample);
    EXPECT_EQ(reused, 0) << "the first voice started is the oldest";
    const std::vector<float> after = render(layer, 16);
    EXPECT_NEAR(after[0], before[0], 1e-6) << "still 32 voices sounding";
}

TEST_F(SoundLayerTest, FinishedVoicesAreReusedBeforeAnyIsTaken)
{
    const auto shortSample = layer.loadSample(writeLevel("short.wav", 0.1f, 100));
    EXPECT_EQ(layer.playSample(shortSample), 0);
    render(layer, 512);
    EXPECT_EQ(layer.playSample(shortSample), 0);
}

TEST_F(SoundLayerTest, NullAndReleasedSamplesPlayNothing)
{
    EXPECT_EQ(layer.playSample(nullptr), -1);
    const auto sample = layer.loadSample(writeLevel("gone.wav", 0.3f, 5000));
    layer.playSample(sample);
    render(layer, 512);
    layer.releaseSample(sample);
    EXPECT_EQ(layer.playSample(sample), -1);
    const std::vector<float> out = render(layer, 512);
    EXPECT_EQ(firstSounding(out), -1) << "a released sample stops sounding";
}

TEST_F(SoundLayerTest, OtherRatesAreConvertedAndMonoIsDuplicated)
{
    const auto sample = layer.loadSample(writeLevel("slow.wav", 0.25f, 11025, 1, 22050));
    ASSERT_NE(sample, nullptr);
    EXPECT_NEAR(double(sample->frameCount()), 22050.0, 16.0);
    EXPECT_NEAR(sample->frames[20000], 0.25f, 0.01f);
    EXPECT_FLOAT_EQ(sample->frames[20001], sample->frames[20000]);
}

TEST_F(SoundLayerTest, StereoSidesStaySeparate)
{
    const QString path = folder.filePath("stereo.wav");
    std::vector<float> frames;
    for (int i = 0; i < 100; ++i) {
        frames.push_back(0.25f);
        frames.push_back(-0.5f);
    }
    ASSERT_TRUE(writeWav(path, frames, 2, rate));
    const auto sample = layer.loadSample(path);
    ASSERT_NE(sample, nullptr);
    EXPECT_NEAR(sample->frames[10], 0.25f, 1e-4);
    EXPECT_NEAR(sample->frames[11], -0.5f, 1e-4);
}

TEST_F(SoundLayerTest, Mp3FilesAreDecodedToTheEnd)
{
    const QString path = folder.filePath("tone.mp3");
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        GTEST_SKIP() << "this libsndfile cannot write MP3";
    std::vector<float> tone(rate / 2);
    for (size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.5f * float(std::sin(2.0 * 3.14159265 * 440.0 * double(i) / rate));
    sf_writef_float(file, tone.data(), sf_count_t(tone.size()));
    sf_close(file);
    const auto sample = layer.loadSample(path);
    ASSERT_NE(sample, nullptr);
    EXPECT_GE(sample->frameCount(), int64_t(tone.size()));
    EXPECT_LT(sample->frameCount(), int64_t(tone.size()) + rate / 10);
}

TEST_F(SoundLayerTest, UnreadableFilesGiveNoSample)
{
    EXPECT_EQ(layer.loadSample(folder.filePath("missing.wav")), nullptr);
    QFile garbage(folder.filePath("garbage.wav"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("RIFF\xff\xff\xff\xffWAVEfmt garbage that is not a sound at all");
    garbage.close();
    EXPECT_EQ(layer.loadSample(garbage.fileName()), nullptr);

    const QString whole = writeLevel("whole.wav", 0.5f, 1000);
    QFile truncated(whole);
    ASSERT_TRUE(truncated.resize(44 + 301 * 2));
    const auto sample = layer.loadSample(whole);
    ASSERT_NE(sample, nullptr) << "a cut file plays what it holds";
    EXPECT_EQ(sample->frameCount(), 301);
}

TEST_F(SoundLayerTest, MissingOrBrokenModulesGiveNoClock)
{
    EXPECT_EQ(layer.loadModule(folder.filePath("none.xm")), nullptr);
    const QString bogus = writeLevel("bogus.xm", 0.1f, 100);
    EXPECT_EQ(layer.loadModule(bogus), nullptr);
    EXPECT_FALSE(layer.setOrderCallback(
        nullptr, [](SoundLayer::ModuleHandle, int) {}, 1));
    EXPECT_FALSE(layer.playModule(nullptr));
}

class ClockModuleTest : public DrivenAudio
{
};

// The layer whose clock ticks, for its callback.
SoundLayer* tickingLayer = nullptr;
std::vector<int64_t> tickFrames;

void noteTick(SoundLayer::ModuleHandle, int)
{
    tickFrames.push_back(tickingLayer->tickFrame());
}

// The clock module keeps its own time whatever the output's rate: at B bpm an order lasts a
// quarter second over the master speed, 10 * rate / B frames, and order j begins on the first
// frame at or after j of them.
TEST_F(ClockModuleTest, KeepsItsTempoAtEveryOutputRate)
{
    constexpr int64_t orders = 300;
    for (const int64_t outputRate : {22050, 48000, 96000})
        for (const int64_t bpm : {37, 120, 240}) {
            SCOPED_TRACE(std::to_string(outputRate) + " Hz, " + std::to_string(bpm) + " bpm");
            SoundLayer layer;
            ASSERT_TRUE(layer.initialise(int(outputRate), 32));
            const auto module = layer.loadModule("olmtimer120.xm");
            tickingLayer = &layer;
            tickFrames.clear();
            ASSERT_TRUE(layer.setOrderCallback(module, noteTick, 1));
            layer.setModuleSpeed(module, float(bpm * 3.0 / 120));
            layer.playModule(module);
            const auto frameOf = [&](int64_t order) {
                return (order * 10 * outputRate + bpm - 1) / bpm;
            };
            std::vector<float> out(block * 2);
            for (int64_t done = 0; done <= frameOf(orders); done += block) {
                layer.render(out.data(), block);
                layer.dispatchTicks();
            }
            ASSERT_GT(int64_t(tickFrames.size()), orders);
            for (int64_t j = 1; j <= orders; ++j)
                ASSERT_EQ(tickFrames[j] - tickFrames[0], frameOf(j)) << "order " << j;
        }
}

TEST(WavRecorderTest, StreamsBlocksIntoACompleteFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("take.wav");
    WavRecorder recorder(path, 2, 44100);
    const std::vector<float> block(512 * 2, 0.25f);
    for (int i = 0; i < 3; ++i)
        recorder.append(block.data(), 512);
    EXPECT_FALSE(QFile::exists(path)) << "nothing in place before it is finished";
    ASSERT_TRUE(recorder.finish());
    const auto sample = decodeSampleFile(path, 44100);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->frameCount(), 3 * 512);
    EXPECT_NEAR(sample->frames[100], 0.25f, 1e-4);
}

TEST(WavRecorderTest, AFailedWriteLeavesTheOldFile)
{
    QTemporaryDir folder;
    EXPECT_FALSE(writeWav(folder.filePath("no/such/folder/x.wav"), {0.1f}, 1, 44100));
    const QString path = folder.filePath("old.wav");
    ASSERT_TRUE(writeWav(path, std::vector<float>(10, 0.5f), 1, 44100));
    EXPECT_FALSE(writeWav(path, {0.1f}, 0, 44100));
    EXPECT_EQ(decodeSampleFile(path, 44100)->frameCount(), 10);
}

} // namespace
