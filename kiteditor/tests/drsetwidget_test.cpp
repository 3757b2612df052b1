// The drum-set panel driven as a person drives it: rows clicked, "Add child" pressed and its popup
// items clicked, values typed into the spin boxes; drags arrive as the stage view sends them.
#include "kiteditor/tests/drsetpanel.h"
#include "testing/recordingdialogs.h"
#include "testing/testfiles.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using namespace BodyTypes;

class DrsetPanel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        prepare(panel);
        panel.show();
    }

    QStringList rows() const
    {
        QStringList texts;
        for (int r = 0; r < panel.drumList->count(); ++r)
            texts << panel.drumList->item(r)->text();
        return texts;
    }

    Drum& selected() { return *panel.drumSet.allDrums.at(size_t(panel.currentDrum)); }

    // Types a value over the spin box's text and confirms it.
    static void type(QSpinBox* spin, const QString& text)
    {
        spin->selectAll();
        QTest::keyClicks(spin, text);
        QTest::keyClick(spin, Qt::Key_Return);
    }

    RecordingDialogs dialogs;
    DrsetWidget panel;
};

TEST_F(DrsetPanel, ListsTheTreeInPreOrderAndRemovalSelectsTheRowAbove)
{
    addChild(panel, Kick);
    clickRow(panel, 0);
    addChild(panel, SnareRamp);
    clickRow(panel, 1);
    addChild(panel, TomRampMono);
    EXPECT_EQ(rows(), QStringList({"- root -", "  |>  Kick drum 22", "  |     |_  Tom ramp mono",
                                   "  |>  Snare ramp"}));

    QSignalSpy drums(&panel, &DrsetWidget::sendDrum), noDrum(&panel, &DrsetWidget::isDrum);
    clickRow(panel, 3);
    EXPECT_EQ(noDrum.count(), 1) << "a stand has nothing for the hit-point panel";
    QTest::mouseClick(panel.drumRemoveButton, Qt::LeftButton);
    EXPECT_EQ(panel.currentDrum, 1);
    EXPECT_EQ(selected().type, TomRampMono);
    EXPECT_EQ(panel.drumList->currentRow(), 2);

    clickRow(panel, 1);
    ASSERT_EQ(drums.count(), 1);
    EXPECT_EQ(drums.last().at(0).value<Drum*>()->type, Kick);
    clickRow(panel, 2);
    addChild(panel, Tom8);
    EXPECT_EQ(rows().last(), "  |           |_  Tom 8");

    clickRow(panel, 1);
    QTest::mouseClick(panel.drumRemoveButton, Qt::LeftButton);
    EXPECT_EQ(rows(), QStringList{"- root -"});
    EXPECT_EQ(panel.currentDrum, -1);
    EXPECT_EQ(panel.drumList->currentRow(), 0);
}

TEST_F(DrsetPanel, LockedAxesRefuseTypedValuesAndTheRootRowShowsTheKit)
{
    struct Case
    {
        int row, axis;
        const char* typed;
        float stored; // metres after typing
    };
    addChild(panel, Kick);
    addChild(panel, TomRampMono);
    QSpinBox* spins[] = {panel.drumTranslateXSpin, panel.drumTranslateYSpin,
                         panel.drumTranslateZSpin, panel.drumRotateXSpin,
                         panel.drumRotateYSpin,    panel.drumRotateZSpin};
    QLabel* locks[] = {panel.lockTrX, panel.lockTrY, panel.lockTrZ,
                       panel.lockRoX, panel.lockRoY, panel.lockRoZ};
    for (const Case& c : {Case{1, 1, "20", 0}, Case{2, 0, "20", 0}, Case{2, 2, "35", 0.35f}}) {
        clickRow(panel, c.row);
        QSignalSpy sent(&panel, &DrsetWidget::sendSet);
        type(spins[c.axis], c.typed);
        EXPECT_FLOAT_EQ(selected().translation[c.axis], c.stored) << c.row << " " << c.axis;
        EXPECT_EQ(spins[c.axis]->value(), int(c.stored * 100));
        EXPECT_EQ(locks[c.axis]->isVisible(), c.stored == 0.0f);
        EXPECT_GT(sent.count(), 0) << "a refused edit sends the kit all the same";
    }

    panel.drumSet.translation[2] = -1.5f;
    panel.drumSet.rotation[1] = 30;
    QSignalSpy drums(&panel, &DrsetWidget::sendDrum), noDrum(&panel, &DrsetWidget::isDrum);
    clickRow(panel, 0);
    EXPECT_EQ(panel.drumBodyCombo->count(), 0);
    EXPECT_EQ(panel.priorSlider->value(), 0);
    const int shown[] = {0, 0, -150, 0, 30, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(spins[i]->value(), shown[i]) << i;
        EXPECT_FALSE(locks[i]->isVisible()) << i;
    }
    EXPECT_EQ(drums.count(), 0);
    ASSERT_EQ(noDrum.count(), 1);
    EXPECT_FALSE(noDrum.last().at(0).toBool());
}

TEST_F(DrsetPanel, DragsAddUpAndJumpAtTheAngleBoundsAndOnlyEditsAreStored)
{
    addChild(panel, Kick);
    Drum& kick = selected();
    struct Turn
    {
        int start;
        float delta;
        float result;
    };
    for (const Turn& t : {Turn{178, 5, -180}, Turn{-178, -5, 180}, Turn{10, 2.5f, 12.5f}}) {
        panel.drumRotateYSpin->setValue(t.start);
        panel.rotY(t.delta);
        EXPECT_FLOAT_EQ(kick.rotation[1], t.result) << t.start;
    }
    panel.rotX(30);
    EXPECT_EQ(kick.rotation[0], 0) << "the kick's X rotation is locked";

    // Four drags of 2.5 cm, then a drag of 20 pixels at 0.5 cm each.
    panel.drumTranslateXSpin->setValue(0);
    for (int step = 0; step < 4; ++step)
        panel.posX(0.025f);
    EXPECT_NEAR(kick.translation[0], 0.1f, 1e-6f);
    for (int step = 0; step < 20; ++step)
        panel.posX(0.005f);
    EXPECT_NEAR(kick.translation[0], 0.2f, 1e-6f);
    panel.posZ(12);
    EXPECT_EQ(kick.translation[2], 12.0f) << "beyond what the box shows";
    EXPECT_EQ(panel.drumTranslateZSpin->value(), 999);
    panel.posY(1);
    EXPECT_EQ(kick.translation[1], 0);

    // Every whole centimetre stored shows again as itself, however often the panel refreshes.
    for (int cm = -999; cm <= 999; ++cm) {
        panel.drumTranslateZSpin->setValue(cm);
        panel.updateAll();
        panel.updateAll();
        ASSERT_EQ(panel.drumTranslateZSpin->value(), cm);
    }

    clickRow(panel, 0);
    kick.translation[0] = 0.155f;
    clickRow(panel, 1);
    EXPECT_EQ(kick.translation[0], 0.155f) << "showing a value stores nothing";
    EXPECT_EQ(kick.rotation[1], 12.5f);
    QTest::keyClick(panel.drumTranslateXSpin, Qt::Key_Up);
    EXPECT_FLOAT_EQ(kick.translation[0], 0.16f) << "an arrow step is stored";
    type(panel.drumTranslateXSpin, "15");
    EXPECT_FLOAT_EQ(kick.translation[0], 0.15f) << "a typed value is stored";
}

TEST_F(DrsetPanel, ABodyTypeChangeKeepsPriorityAndAnimation)
{
    for (int type : {CrashRampBottom, CrashRampMiddle, CrashRampTop, Crash16})
        addChild(panel, type);
    panel.priorSlider->setValue(-2);
    QTest::keyClick(panel.drumBodyCombo, 'R');
    Drum& cymbal = selected();
    EXPECT_EQ(cymbal.type, Ride20);
    EXPECT_EQ(cymbal.name, "Ride 20");
    EXPECT_EQ(cymbal.hitpoints.at(1)->name, "Ride20 top");
    EXPECT_EQ(cymbal.priority, -2);
    EXPECT_EQ(cymbal.animKind, AnimCrash);
    EXPECT_EQ(rows().last(), "  |                 |_  Ride 20");
}

TEST_F(DrsetPanel, AddChildOffersWhatTheParentHolds)
{
    EXPECT_EQ(pressAddChild(panel), QStringList({"Kick drum 22", "Snare ramp", "Floor tom ramp",
                                                 "Hi-Hat ramp", "Crash ramp bottom"}));
    addChild(panel, Kick);
    addChild(panel, TomRampDouble);
    EXPECT_EQ(pressAddChild(panel, "Tom 8"),
              QStringList({"Tom 8", "Tom 10", "Tom 12", "Tom 13", "Tom 14"}));
    EXPECT_FLOAT_EQ(selected().translation[0], -0.15f);
    EXPECT_FLOAT_EQ(selected().translation[1], 0.35f);
    clickRow(panel, 2);
    addChild(panel, Tom10);
    EXPECT_FLOAT_EQ(selected().translation[0], 0.15f);
    clickRow(panel, 2);
    EXPECT_EQ(pressAddChild(panel), QStringList{"- no other children possible -"});

    clickRow(panel, 0);
    addChild(panel, SnareRamp);
    addChild(panel, Snare);
    EXPECT_FLOAT_EQ(selected().translation[1], 0.55f);
    EXPECT_EQ(pressAddChild(panel), QStringList{"- no children possible -"});
}

TEST_F(DrsetPanel, SavesLoadsAndSaysWhatFailed)
{
    QTemporaryDir dir;
    QTest::mouseClick(panel.drsetNewButton, Qt::LeftButton);
    addChild(panel, Kick);
    const QString path = dir.filePath("kit");
    dialogs.fileAnswers = {path};
    QTest::mouseClick(panel.drsetSaveButton, Qt::LeftButton);
    EXPECT_EQ(readAll(path + ".set").count('\n'), 36);
    EXPECT_TRUE(QFileInfo(dir.filePath("kit Sounds")).isDir());
    EXPECT_EQ(dialogs.fileDialogs.at(0).caption, "Save drumset");

    const QString unwritable = dir.filePath("kit.set/inside");
    dialogs.fileAnswers = {unwritable};
    QTest::mouseClick(panel.drsetSaveButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Cannot save file");
    EXPECT_EQ(dialogs.messages[0].text, unwritable + ".set");
    EXPECT_EQ(panel.currentDrum, 0) << "a failed save leaves the selection";

    panel.priorSlider->setValue(-3);
    panel.drsetNameLineEdit->setText("Mine");
    dialogs.fileAnswers = {path + ".set", path + ".set"};
    QTest::mouseClick(panel.drsetSaveButton, Qt::LeftButton);
    QTest::mouseClick(panel.drsetNewButton, Qt::LeftButton);
    QTest::mouseClick(panel.drsetLoadButton, Qt::LeftButton);
    EXPECT_EQ(panel.drsetNameLineEdit->text(), "Mine");
    EXPECT_EQ(rows(), QStringList({"- root -", "  |>  Kick drum 22"}));
    EXPECT_EQ(panel.currentDrum, -1);
    EXPECT_EQ(panel.drumSet.allDrums.at(0)->priority, -3);

    dialogs.fileAnswers = {dir.filePath("missing.set")};
    QTest::mouseClick(panel.drsetLoadButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].caption, "Cannot load file");
    EXPECT_EQ(dialogs.messages[1].text, dir.filePath("missing.set"));
    EXPECT_EQ(panel.drumSet.allDrums.size(), 1u) << "the kit stays as it was";
}

} // namespace
