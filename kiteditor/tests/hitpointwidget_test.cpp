#include "kiteditor/tests/kiteditor.h"
#include "testing/qstringprinter.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <memory>

namespace {

// The panel as the drum-set editor holds it: the drum-set panel's kit has one drum, whose hit
// points each test sets up; the drum is shown when its row is selected.
class HitpointPanelTest : public KitEditor
{
protected:
    void SetUp() override
    {
        KitEditor::SetUp();
        panel = hitpointPanel.get();
        auto* snare = new Drum();
        snare->type = BodyTypes::Snare;
        drsetPanel->drumSet.addRootDrum(snare);
        drsetPanel->updateAll();
        logPanel(*panel, log);
    }

    Drum& drum() const { return *drsetPanel->drumSet.allDrums.at(0); }

    // With the given levels (file, sound, highest, lowest) instead of the default one.
    Hitpoint& add(const char* name, std::initializer_list<DynaLevel> levels = {})
    {
        drum().addHitpoint(name, 0.12f, 0.125f, -0.125f, 0, 100);
        Hitpoint& h = *drum().hitpoints.back();
        if (levels.size() != 0)
            h.levels.clear();
        for (const DynaLevel& level : levels)
            h.addDynaLevel(level.file, level.sndID, level.maxVelo, level.minVelo);
        return h;
    }

    // Selects the drum's row, or, where it is selected, has the drum-set panel send it again.
    void show(int sounds = 0)
    {
        for (int i = 0; i < sounds; ++i)
            engine->addSound(writeLevel(QString("s%1.wav").arg(i), 0.1f, 4000));
        if (drsetPanel->currentDrum == 0)
            drsetPanel->updateAll();
        else
            clickRow(*drsetPanel, 1);
        log.clear();
    }

    QStringList only(const char* kinds) const
    {
        return log.filter(QRegularExpression(QString("^(%1) ").arg(kinds)));
    }

    const DynaLevel& levelOf(int hit, int level) const
    {
        return *drum().hitpoints[hit]->levels[level];
    }

    HitpointWidget* panel = nullptr;
    QStringList log;
};

TEST_F(HitpointPanelTest, NothingIsTakenWithoutADrumAndAddNumbersTheNewHitpoint)
{
    EXPECT_EQ(panel->hitCombo->currentText(), "- No drum -");
    QSignalSpy drummer(panel, &HitpointWidget::paintDrummer);
    click(panel->showDrummerCheck);
    click(panel->hitAddButton);
    QTest::keyClicks(panel->hitNameLineEdit, "x");
    enter(panel->hitTranslateYSpin, 5);
    panel->posX(1);
    click(panel->veloButtons->button(0));
    EXPECT_TRUE(log.isEmpty()) << "no drum: nothing taken, sounded or sent";
    EXPECT_EQ(panel->hitNameLineEdit->text(), "");
    EXPECT_EQ(panel->hitTranslateYSpin->value(), 0);
    EXPECT_EQ(drummer.count(), 1) << "the view's flags still toggle";

    show();
    EXPECT_EQ(panel->hitCombo->currentText(), "- Empty -");
    click(panel->hitAddButton);
    ASSERT_EQ(drum().hitpoints.size(), 1u);
    EXPECT_EQ(drum().hitpoints[0]->name, "0");

    add("b");
    add("c");
    show();
    click(panel->hitAddButton);
    EXPECT_EQ(log.last(), "send");
    ASSERT_EQ(drum().hitpoints.size(), 4u);
    EXPECT_EQ(drum().hitpoints[3]->veloToVol, 50);
    EXPECT_EQ(panel->hitCombo->currentText(), "3");
    EXPECT_EQ(panel->hitTypeCombo->currentText(), "by end");
    EXPECT_TRUE(panel->workDrum->hitpoints[3]->selected);

    QTest::keyClicks(panel->hitNameLineEdit, "x");
    EXPECT_EQ(drum().hitpoints[3]->name, "3x");
    EXPECT_EQ(panel->hitCombo->itemText(3), "3x");
}

TEST_F(HitpointPanelTest, EachAddedLevelTakesTheLowerThirdOfTheLastOne)
{
    add("a");
    show();
    for (int i = 0; i < 11; ++i)
        click(panel->dynaAddButton);
    const int maxima[] = {127, 84, 56, 36, 24, 16, 10, 6, 4, 2, 0, 0};
    ASSERT_EQ(drum().hitpoints[0]->levels.size(), 12u);
    for (int k = 0; k < 12; ++k) {
        EXPECT_EQ(levelOf(0, k).maxVelo, maxima[k]) << k;
        EXPECT_EQ(levelOf(0, k).minVelo, k == 11 ? 0 : maxima[k + 1] + 1) << k;
    }
    EXPECT_EQ(panel->dynaCombo->currentText(), "11");
}

TEST_F(HitpointPanelTest, MaximumVelocityKeepsTheLevelsAdjacentAndTheBarShowsTheRange)
{
    add("a");
    show();
    click(panel->dynaAddButton);
    for (int k : {0, 1}) {
        choose(panel->dynaCombo, k);
        EXPECT_EQ(panel->dynaLevelLinel->geometry(), QRect(230, 40, k ? 0 : 85, 6));
        EXPECT_EQ(panel->dynaLevelLineh->geometry(),
                  k ? QRect(314, 40, 44, 6) : QRect(357, 40, 1, 6));
    }
    for (int velocity : {100, 126, 127}) {
        enter(panel->dynaMaxveloSpin, velocity);
        EXPECT_EQ(panel->dynaMaxveloSpin->value(), 100) << velocity;
        EXPECT_EQ(levelOf(0, 0).minVelo, 101) << velocity;
        EXPECT_EQ(levelOf(0, 1).maxVelo, 100) << velocity;
    }
    choose(panel->dynaCombo, 0);
    enter(panel->dynaMaxveloSpin, 90);
    EXPECT_EQ(panel->dynaMaxveloSpin->value(), 127);

    drum().hitpoints[0]->levels[0]->minVelo = 60;
    show();
    choose(panel->dynaCombo, 1);
    EXPECT_EQ(levelOf(0, 0).minVelo, 60) << "overlapping levels stay as they are when shown";
}

TEST_F(HitpointPanelTest, ARemovedLevelGivesItsRangeToTheLevelAboveButLevel0Stays)
{
    add("a");
    show();
    click(panel->dynaAddButton);
    click(panel->dynaAddButton); // 85-127, 57-84, 0-56
    const int removed[] = {1, 1, 0};
    const int minima[] = {57, 0, 0};
    for (int i = 0; i < 3; ++i) {
        choose(panel->dynaCombo, removed[i]);
        click(panel->dynaRemoveButton);
        EXPECT_EQ(levelOf(0, 0).minVelo, minima[i]) << i;
    }
    EXPECT_EQ(drum().hitpoints[0]->levels.size(), 1u);
}

TEST_F(HitpointPanelTest, TestButtonsSoundEveryLevelInRangeAtAVolumeFromVelocityToVolume)
{
    add("a", {{"", 0, 127, 85}, {"", 1, 84, 0}, {"", 2, 90, 80}, {"", -1, 127, 0}});
    show(3);
    for (int veloToVol : {100, 50, 0}) {
        enter(panel->hitVeloSpin, veloToVol);
        for (int i = 0; i < HitpointWidget::testButtons; ++i) {
            log.clear();
            const int velocity = 120 - 10 * i;
            click(panel->findChild<QPushButton*>(QString("velo%1Button").arg(velocity)));
            const QString volume = QString::number(128 - i * veloToVol / 10);
            QStringList expected = {QString("play %1 ").arg(velocity >= 85 ? 0 : 1) + volume};
            if (velocity >= 80 && velocity <= 90)
                expected << "play 2 " + volume;
            EXPECT_EQ(log, expected) << veloToVol << " " << i;
        }
    }
    EXPECT_NE(firstSounding(render(engine->soundLayer(), block)), -1) << "the engine plays them";
}

TEST_F(HitpointPanelTest, RemovingAHitpointReleasesItsSoundsOneAfterTheOther)
{
    add("a");
    add("b", {{"", 4, 127, 1}, {"", 5, 0, 0}});
    add("c");
    show(6);
    choose(panel->hitCombo, 1);
    click(panel->hitRemoveButton);
    EXPECT_EQ(only("remove|update"), QStringList({"remove 4", "update 4", "remove 4", "update 4"}));
    EXPECT_EQ(engine->kitSounds.size(), 4u);
    ASSERT_EQ(drum().hitpoints.size(), 2u);
    EXPECT_EQ(drum().hitpoints[1]->name, "c");
    EXPECT_EQ(panel->hitCombo->currentText(), "c");
}

TEST_F(HitpointPanelTest, SoundsLoadIntoTheSelectedLevelAndAreReleasedWithIt)
{
    add("a", {{"C:/Kit/snare.wav", 0, 127, 85}, {"C:/Kit/ghost.wav", -1, 84, 0}});
    show(3);
    EXPECT_EQ(panel->soundNameLabel->text(), "snare.wav");
    choose(panel->dynaCombo, 1);
    EXPECT_EQ(panel->soundNameLabel->text(), " - no sound - ");

    const QString snare = writeLevel("snare.wav", 0.2f, 100),
                  rim = writeLevel("rim.wav", 0.3f, 100);
    dialogs.fileAnswers = {snare, rim, QString()};
    for (int load = 0; load < 3; ++load)
        click(panel->soundLoadButton);
    ASSERT_EQ(dialogs.fileDialogs.size(), 3u);
    EXPECT_EQ(dialogs.fileDialogs[0].filter, "*.wav;;*.mp3");
    EXPECT_EQ(dialogs.fileDialogs[0].caption, "Load sound");
    EXPECT_EQ(dialogs.fileDialogs[1].caption, "") << "a reload keeps the toolkit's caption";
    EXPECT_EQ(only("add|reload"), QStringList({"add " + snare, "reload 3"}));
    EXPECT_EQ(levelOf(0, 1).file, rim) << "a cancelled dialog stores nothing";
    EXPECT_EQ(panel->soundNameLabel->text(), "rim.wav");

    log.clear();
    click(panel->dynaRemoveButton);
    EXPECT_EQ(log.first(), "remove 3");
    EXPECT_EQ(log.mid(log.size() - 2), QStringList({"send", "update 3"}));
    EXPECT_EQ(engine->kitSounds.size(), 3u);
    EXPECT_EQ(panel->currentLevel, 0);
}

TEST_F(HitpointPanelTest, PositionsShowTruncatedCentimetresAndDragsStopAt999Metres)
{
    add("a");
    show();
    EXPECT_EQ(panel->hitTranslateXSpin->value(), 11) << "0.12f lies just below 0.12";
    EXPECT_EQ(panel->hitTranslateYSpin->value(), 12);
    EXPECT_EQ(panel->hitTranslateZSpin->value(), -12);
    EXPECT_EQ(drum().hitpoints[0]->x, 0.12f) << "showing a position does not move it";

    enter(panel->hitTranslateXSpin, 12);
    show();
    EXPECT_EQ(panel->hitTranslateXSpin->value(), 12) << "a typed value shows as typed";
    EXPECT_FLOAT_EQ(drum().hitpoints[0]->x, 0.12f);
    panel->posZ(20);
    panel->posZ(2000);
    EXPECT_EQ(drum().hitpoints[0]->z, 999.0f);
}

} // namespace
