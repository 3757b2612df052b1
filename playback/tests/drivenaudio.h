#pragma once

#include "playback/soundlayer.h"
#include "playback/wavfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

// Tests drive the sound layer themselves: no output thread, frame-exact rendering.
class DrivenAudio : public ::testing::Test
{
protected:
    static constexpr int rate = 44100;
    static constexpr int block = 512;

    void SetUp() override { qputenv("OLMIRA_AUDIO", "driven"); }
    void TearDown() override { qunsetenv("OLMIRA_AUDIO"); }

    // A constant level, easy to measure after mixing.
    QString writeLevel(const QString& name, float level, int frames, int channels = 1,
                       int fileRate = rate)
    {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(writeWav(path, std::vector<float>(size_t(frames * channels), level), channels,
                             fileRate));
        return path;
    }

    // Renders block by block, delivering the ticks after each block as the event loop would.
    static std::vector<float> render(SoundLayer& layer, int frames, bool deliverTicks = true)
    {
        std::vector<float> out(size_t(frames) * 2);
        for (int done = 0; done < frames; done += block) {
            const int n = std::min(block, frames - done);
            layer.render(out.data() + done * 2, n);
            if (deliverTicks)
                layer.dispatchTicks();
        }
        return out;
    }

    static int firstSounding(const std::vector<float>& stereo)
    {
        for (size_t i = 0; i < stereo.size(); ++i)
            if (stereo[i] != 0.0f)
                return int(i / 2);
        return -1;
    }

    QTemporaryDir folder;
};
