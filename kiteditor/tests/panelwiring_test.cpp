// The drum-set panel and the hit-point panel wired to each other and to the real sound engine, as
// the main window wires them: what one panel does, the other and the engine follow.
#include "kiteditor/tests/kiteditor.h"
#include "testing/qstringprinter.h"
#include "testing/testfiles.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <string>

namespace {

using namespace BodyTypes;

class PanelWiring : public KitEditor
{
protected:
    // Rows: 1 kick (sound 0), 2 snare ramp, 3 snare (hit point 0 with three levels, sounds 1-3;
    // hit point 1 with sound 4), 4 hi-hat stand, 5 hi-hat (sound 5), 6-8 cymbal stand and holders,
    // 9 a splash, which has no hit points.
    void buildKit()
    {
        addChild(*drsetPanel, Kick);
        loadSound(0);
        clickRow(*drsetPanel, 0);
        addChild(*drsetPanel, SnareRamp);
        addChild(*drsetPanel, Snare);
        click(hitpointPanel->dynaAddButton);
        click(hitpointPanel->dynaAddButton);
        for (int level = 0; level < 3; ++level) {
            choose(hitpointPanel->dynaCombo, level);
            loadSound(1 + level);
        }
        choose(hitpointPanel->hitCombo, 1);
        loadSound(4);
        clickRow(*drsetPanel, 0);
        addChild(*drsetPanel, HiHatStand);
        addChild(*drsetPanel, HiHat);
        loadSound(5);
        clickRow(*drsetPanel, 0);
        for (int type : {CrashRampBottom, CrashRampMiddle, CrashRampTop, Splash8})
            addChild(*drsetPanel, type);
    }

    // Everything of the kit's hit points, positions to the last bit.
    std::string kitText() const
    {
        QString text;
        for (const Drum* drum : drsetPanel->drumSet.allDrums)
            for (const auto& h : drum->hitpoints) {
                text += QString("%1 %2 %3 %4 %5 %6 %7;")
                            .arg(drum->id)
                            .arg(h->name)
                            .arg(double(h->x), 0, 'g', 9)
                            .arg(double(h->y), 0, 'g', 9)
                            .arg(double(h->z), 0, 'g', 9)
                            .arg(h->veloToVol)
                            .arg(h->hitType);
                for (const auto& l : h->levels)
                    text += QString(" %1 %2 %3 %4")
                                .arg(l->file)
                                .arg(l->sndID)
                                .arg(l->minVelo)
                                .arg(l->maxVelo);
            }
        return text.toStdString();
    }
};

TEST_F(PanelWiring, SelectingAPieceShowsItsFirstHitpointAndLevelAndLeavesTheKitAsItIs)
{
    buildKit();
    expectLevelsNameTheirSounds(0);
    // Values that the panel's controls cannot show as they are.
    Hitpoint& side = *drsetPanel->drumSet.allDrums[2]->hitpoints.at(1);
    side.veloToVol = -20;
    side.levels[0]->maxVelo = 0;
    const std::string kit = kitText();

    struct Row
    {
        int row;
        const char* shown; // in the hit-point combo
    };
    for (const Row& r : {Row{3, "Snare middle"}, Row{0, "- No drum -"}, Row{1, "Kick right foot"},
                         Row{2, "- No drum -"}, Row{5, "Hi-hat side"}, Row{4, "- No drum -"},
                         Row{9, "- Empty -"}, Row{3, "Snare middle"}, Row{8, "- No drum -"}}) {
        clickRow(*drsetPanel, r.row);
        const QString shown = r.shown;
        EXPECT_EQ(hitpointPanel->hitCombo->currentText(), shown) << r.row;
        if (!shown.startsWith('-')) {
            EXPECT_EQ(hitpointPanel->hitCombo->currentIndex(), 0) << r.row;
            EXPECT_EQ(hitpointPanel->hitNameLineEdit->text(), shown) << r.row;
            EXPECT_EQ(hitpointPanel->dynaCombo->currentText(), "0") << r.row;
        }
        expectHitpointPanelShowsTheSelectedDrum();
        EXPECT_EQ(kitText(), kit) << r.row;
    }
    EXPECT_EQ(hitpointPanel->soundNameLabel->text(), "");
    clickRow(*drsetPanel, 3);
    EXPECT_EQ(hitpointPanel->soundNameLabel->text(), "snd1.wav");
    choose(hitpointPanel->hitCombo, 1);
    EXPECT_EQ(hitpointPanel->hitVeloSpin->value(), 0);
    EXPECT_EQ(hitpointPanel->hitTranslateXSpin->value(), 11);
    EXPECT_EQ(kitText(), kit) << "showing a value the controls cannot hold keeps it";
}

TEST_F(PanelWiring, ALoadedKitLookedAtPieceByPieceSavesAsItWasRead)
{
    buildKit();
    // Placements and priorities that the spin boxes and the slider cannot show as they are.
    DrumSet& kit = drsetPanel->drumSet;
    kit.translation[0] = 0.155f;
    kit.rotation[1] = -12.5f;
    for (Drum* drum : kit.allDrums) {
        for (int axis = 0; axis < 3; ++axis) {
            drum->translation[axis] += 0.0037f * float(axis + 1);
            drum->rotation[axis] += 0.25f + float(drum->id);
        }
        drum->priority = drum->id - 4;
    }
    kit.allDrums[0]->translation[2] = 12.345f;
    const QString read = folder.filePath("kit.set"), saved = folder.filePath("again.set");
    dialogs.fileAnswers = {read, read, saved};
    QTest::mouseClick(drsetPanel->drsetSaveButton, Qt::LeftButton);
    QTest::mouseClick(drsetPanel->drsetLoadButton, Qt::LeftButton);

    for (int row = 1; row < drsetPanel->drumList->count(); ++row)
        clickRow(*drsetPanel, row);
    clickRow(*drsetPanel, 0);
    QTest::mouseClick(drsetPanel->drsetSaveButton, Qt::LeftButton);
    EXPECT_EQ(readAll(saved).toStdString(), readAll(read).toStdString());
}

TEST_F(PanelWiring, RemovalsInEitherPanelRenumberTheSoundsOfTheWholeKit)
{
    buildKit();
    struct Removal
    {
        const char* what;
        int row;
        std::function<void()> act;
        std::size_t sounds; // left in the engine
    };
    HitpointWidget& hitpoints = *hitpointPanel;
    const Removal removals[] = {
        {"a level", 3,
         [&] {
             choose(hitpoints.dynaCombo, 1);
             click(hitpoints.dynaRemoveButton);
         },
         5},
        {"a hit point with two levels", 3,
         [&] {
             click(hitpoints.hitRemoveButton); // hit point 0: sounds 1 and 2
         },
         3},
        {"a hit point of the kick", 1, [&] { click(hitpoints.hitRemoveButton); }, 2},
        {"the drum whose second hit point the other panel shows", 3,
         [&] {
             click(hitpoints.hitAddButton);
             loadSound(6);
             choose(hitpoints.hitCombo, 1);
             QTest::mouseClick(drsetPanel->drumRemoveButton, Qt::LeftButton);
         },
         1},
    };
    for (const Removal& r : removals) {
        SCOPED_TRACE(r.what);
        clickRow(*drsetPanel, r.row);
        r.act();
        EXPECT_EQ(engine->kitSounds.size(), r.sounds);
        expectLevelsNameTheirSounds(0);
        expectHitpointPanelShowsTheSelectedDrum();
        if (hitpointPanel->drumShown && hitpointPanel->currentHit >= 0) {
            EXPECT_EQ(hitpointPanel->currentLevel, 0);
            EXPECT_EQ(hitpointPanel->dynaCombo->currentText(), "0");
        }
    }
    ASSERT_EQ(drsetPanel->drumSet.allDrums.at(3)->type, HiHat);
    EXPECT_EQ(drsetPanel->drumSet.allDrums[3]->hitpoints.at(0)->levels.at(0)->sndID, 0);
}

TEST_F(PanelWiring, AKitLoadedWhileAHitpointIsShownKeepsTheIdentifiersOutOfIt)
{
    buildKit();
    const QString path = folder.filePath("kit.set");
    dialogs.fileAnswers = {path};
    QTest::mouseClick(drsetPanel->drsetSaveButton, Qt::LeftButton);

    clickRow(*drsetPanel, 3);
    choose(hitpointPanel->hitCombo, 1);
    click(hitpointPanel->dynaAddButton); // the shown level has no sound
    const std::shared_ptr<Hitpoint> shown = hitpointPanel->workDrum->hitpoints.at(1);
    dialogs.fileAnswers = {path};
    QTest::mouseClick(drsetPanel->drsetLoadButton, Qt::LeftButton);

    EXPECT_EQ(shown->levels.at(0)->sndID, 4);
    EXPECT_EQ(shown->levels.at(1)->sndID, -1) << "no identifier of the load stored";
    EXPECT_EQ(hitpointPanel->hitCombo->currentText(), "- No drum -");
    EXPECT_EQ(engine->kitSounds.size(), 6u);
    expectLevelsNameTheirSounds(0);
    clickRow(*drsetPanel, 3);
    EXPECT_EQ(hitpointPanel->workDrum->hitpoints.at(1)->levels.size(), 1u);
}

} // namespace
