#pragma once

#include "kit/bodytypes.h"
#include "kiteditor/tests/drsetpanel.h"
#include "kiteditor/tests/hitpointpanel.h"
#include "playback/sample.h"
#include "playback/soundengine.h"
#include "playback/tests/drivenaudio.h"
#include "testing/recordingdialogs.h"

#include <QFileInfo>
#include <memory>
#include <set>

// The connections between the drum-set editor's two panels and the sound engine, in the order in
// which the main window makes them when it enters the drum-set editor.
inline void wireKitEditor(DrsetWidget& drsetPanel, HitpointWidget& hitpointPanel,
                          SoundEngine& engine)
{
    using D = DrsetWidget;
    using H = HitpointWidget;
    using S = SoundEngine;
    QObject::connect(&drsetPanel, &D::isDrum, &hitpointPanel, &H::isDrumSlot);
    QObject::connect(&drsetPanel, &D::sendDrum, &hitpointPanel, &H::recvDrum);
    QObject::connect(&hitpointPanel, &H::sendDrum, &drsetPanel, &D::recvDrum);
    QObject::connect(&drsetPanel, &D::addSound, &engine, &S::addSound);
    QObject::connect(&hitpointPanel, &H::dynaAddSignal, &engine, &S::addSound);
    QObject::connect(&hitpointPanel, &H::dynaRemSignal, &engine, &S::removeSound);
    QObject::connect(&drsetPanel, &D::removeSound, &engine, &S::removeSound);
    QObject::connect(&hitpointPanel, &H::updateSndIDs, &drsetPanel, &D::updateLevels);
    QObject::connect(&hitpointPanel, &H::dynaReloadSignal, &engine, &S::reloadSound);
    QObject::connect(&hitpointPanel, &H::playSound, &engine, &S::play);
    QObject::connect(&engine, &S::sendID, &hitpointPanel, &H::recvSndID);
    QObject::connect(&drsetPanel, &D::soundClear, &engine, &S::soundClear);
}

// Both panels of the drum-set editor with the real sound engine, wired and refreshed as the main
// window does. Sound file "sndN.wav" holds the constant level levelOf(N), so the engine's sample
// tells which file it came from, wherever the file was copied to.
class KitEditor : public DrivenAudio
{
protected:
    static constexpr int soundFiles = 8;

    void SetUp() override
    {
        DrivenAudio::SetUp();
        engine = std::make_unique<SoundEngine>();
        drsetPanel = std::make_unique<DrsetWidget>();
        hitpointPanel = std::make_unique<HitpointWidget>();
        wireKitEditor(*drsetPanel, *hitpointPanel, *engine);
        prepare(*drsetPanel);
        hitpointPanel->updateAll();
        drsetPanel->show();
        hitpointPanel->show();
        for (int i = 0; i < soundFiles; ++i)
            files << writeLevel(QString("snd%1.wav").arg(i), levelOf(i), 64);
    }

    void TearDown() override
    {
        hitpointPanel.reset();
        drsetPanel.reset();
        engine.reset();
        DrivenAudio::TearDown();
    }

    static float levelOf(int file) { return 0.01f * float(file + 1); }

    // The selected level takes the sound file through "Load Soundfile" and its dialog.
    void loadSound(int file)
    {
        dialogs.fileAnswers = {files[file]};
        click(hitpointPanel->soundLoadButton);
    }

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
        for (const Drum* drum : drsetPanel->drumSet.allDrums)
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

    // The hit-point panel shows a drum exactly while the drum-set panel has one with hit-point
    // editing selected, and then shows that drum's hit points as the kit holds them.
    void expectHitpointPanelShowsTheSelectedDrum() const
    {
        const int id = drsetPanel->currentDrum;
        const Drum* selected = id < 0 ? nullptr : drsetPanel->drumSet.allDrums.at(std::size_t(id));
        const bool drum = selected && !BodyTypes::isStand(selected->type);
        ASSERT_EQ(hitpointPanel->drumShown, drum) << "selected " << id;
        if (!drum)
            return;
        const auto& shown = hitpointPanel->workDrum->hitpoints;
        ASSERT_EQ(shown.size(), selected->hitpoints.size());
        for (std::size_t h = 0; h < shown.size(); ++h) {
            const Hitpoint &a = *shown[h], &b = *selected->hitpoints[h];
            EXPECT_EQ(a.name, b.name) << h;
            ASSERT_EQ(a.levels.size(), b.levels.size()) << h;
            for (std::size_t l = 0; l < a.levels.size(); ++l) {
                EXPECT_EQ(a.levels[l]->sndID, b.levels[l]->sndID) << h << " " << l;
                EXPECT_EQ(a.levels[l]->file, b.levels[l]->file) << h << " " << l;
            }
        }
    }

    RecordingDialogs dialogs;
    std::unique_ptr<SoundEngine> engine;
    std::unique_ptr<DrsetWidget> drsetPanel;
    std::unique_ptr<HitpointWidget> hitpointPanel;
    QStringList files;
};
