#pragma once

#include "kiteditor/tests/drsetpanel.h"
#include "playback/sample.h"
#include "playback/soundengine.h"
#include "playback/tests/drivenaudio.h"
#include "testing/recordingdialogs.h"

#include <QFileInfo>
#include <memory>
#include <set>

// The kit editor with the real sound engine, wired as the main window wires them. Sound file
// "sndN.wav" holds the constant level levelOf(N), so the engine's sample tells which file it came
// from, wherever the file was copied to.
class KitSounds : public DrivenAudio
{
protected:
    static constexpr int soundFiles = 8;

    void SetUp() override
    {
        DrivenAudio::SetUp();
        engine = std::make_unique<SoundEngine>();
        panel = std::make_unique<DrsetWidget>();
        prepare(*panel);
        QObject::connect(panel.get(), &DrsetWidget::addSound, engine.get(), &SoundEngine::addSound);
        QObject::connect(panel.get(), &DrsetWidget::removeSound, engine.get(),
                         &SoundEngine::removeSound);
        QObject::connect(panel.get(), &DrsetWidget::soundClear, engine.get(),
                         &SoundEngine::soundClear);
        for (int i = 0; i < soundFiles; ++i)
            files << writeLevel(QString("snd%1.wav").arg(i), levelOf(i), 64);
    }

    void TearDown() override
    {
        panel.reset();
        engine.reset();
        DrivenAudio::TearDown();
    }

    static float levelOf(int file) { return 0.01f * float(file + 1); }

    static int soundedLevels(const Drum& drum)
    {
        int sounded = 0;
        for (const auto& hitpoint : drum.hitpoints)
            for (const auto& level : hitpoint->levels)
                sounded += level->sndID >= 0;
        return sounded;
    }

    // Every level with a sound names the engine's sample of its own file, no two levels name the
    // same one, and the engine holds no sound besides those and the given unnamed ones.
    void expectLevelsNameTheirSounds(int unnamed) const
    {
        std::set<int> named;
        for (const Drum* drum : panel->drumSet.allDrums)
            for (const auto& hitpoint : drum->hitpoints)
                for (const auto& level : hitpoint->levels) {
                    const int id = level->sndID;
                    const int file = QFileInfo(level->file).baseName().mid(3).toInt();
                    if (id < 0)
                        continue;
                    ASSERT_TRUE(id < int(engine->kitSounds.size()) && engine->kitSounds[id]) << id;
                    EXPECT_NEAR(engine->kitSounds[id]->frames[0], levelOf(file), 1e-3) << id;
                    EXPECT_TRUE(named.insert(id).second) << "sound " << id << " named twice";
                }
        EXPECT_EQ(engine->kitSounds.size(), named.size() + std::size_t(unnamed));
    }

    RecordingDialogs dialogs;
    std::unique_ptr<SoundEngine> engine;
    std::unique_ptr<DrsetWidget> panel;
    QStringList files;
};
