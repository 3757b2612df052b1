// The song-editor panel wired to the beat grid as the main window wires them, used as a person
// uses them: clicks on the cells, the strips and the buttons, keys in the spin boxes and selectors.
#include "kit/bodytypes.h"
#include "playback/beattiming.h"
#include "songeditor/beatline.h"
#include "songeditor/chanline.h"
#include "songeditor/tests/gridwiring.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDial>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// A kit of drums with their preset hit points; each hit point plays the sound of its track number.
DrumSet presetKit(std::initializer_list<int> types)
{
    DrumSet kit;
    int sound = 0;
    for (int type : types) {
        auto* drum = new Drum;
        drum->type = type;
        drum->id = int(kit.allDrums.size());
        drum->setupType();
        drum->addDefaultHitpoints();
        for (const auto& hitpoint : drum->hitpoints)
            hitpoint->levels.front()->sndID = sound++;
        kit.addRootDrum(drum);
    }
    return kit;
}

enum Track
{
    SnareMiddle,
    SnareSide,
    HiHatSide,
    HiHatTop,
    HiHatFoot,
    Kick,
    CrashSide,
    CrashTop,
    Tom,
    TrackTotal
};

class Panel : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wireGrid(panel, grid);
        panel.drumSet =
            presetKit({BodyTypes::Snare, BodyTypes::HiHat, BodyTypes::HiHatStand, BodyTypes::Kick,
                       BodyTypes::Crash16, BodyTypes::SnareRamp, BodyTypes::Tom8});
        panel.refreshTracks();
        panel.show();
        grid.show();
    }

    void click(int track, int step)
    {
        QTest::mouseClick(grid.beatLines.at(size_t(track))->cells.at(size_t(step)), Qt::LeftButton);
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    static void pick(QComboBox* combo, int index)
    {
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > index)
            QTest::keyClick(combo, Qt::Key_Up);
    }
    static void type(QSpinBox* spin, int value)
    {
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(spin, QString::number(value));
        QTest::keyClick(spin, Qt::Key_Return);
    }
    Beat& cell(int track, int step)
    {
        return panel.song.patterns.at(size_t(panel.currentPattern))
            .cells.at(size_t(track))
            .at(size_t(step));
    }
    QString shown(int track, int step) const
    {
        return grid.beatLines.at(size_t(track))->shownImage(step);
    }
    static QStringList entries(const QComboBox* combo)
    {
        QStringList list;
        for (int i = 0; i < combo->count(); ++i)
            list << combo->itemText(i);
        return list;
    }

    DreditWidget panel;
    Dreditor grid;
};

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Placed
{
    const char* name;
    QRect geometry;
};

const Placed form[] = {
    {"dreditWidget", {0, 0, 200, 400}},
    {"drsetLoadButton", {90, 7, 80, 21}},
    {"drsetNameLineEdit", {40, 32, 150, 20}},
    {"drsetInfoLineEdit", {40, 57, 150, 20}},
    {"drsetVersionLineEdit", {50, 82, 130, 20}},
    {"drsetLine1", {10, 107, 181, 20}},
    {"songNewButton", {70, 130, 40, 21}},
    {"songLoadButton", {110, 130, 40, 21}},
    {"songSaveButton", {150, 130, 40, 21}},
    {"drsetLine2", {10, 154, 181, 20}},
    {"patCombo", {55, 170, 50, 21}},
    {"patLenSpin", {155, 170, 35, 21}},
    {"patRemButton", {10, 200, 80, 21}},
    {"patCopyButton", {110, 200, 80, 21}},
    {"patAddButton", {10, 221, 80, 21}},
    {"patPasteButton", {110, 221, 80, 21}},
    {"tempoSpin", {45, 250, 45, 21}},
    {"rytCombo", {140, 250, 50, 21}},
    {"veloSpin", {45, 280, 45, 21}},
    {"offsetCombo", {140, 280, 50, 21}},
    {"insertButton", {10, 310, 80, 21}},
    {"eraseButton", {110, 310, 80, 21}},
    {"playSongButton", {1, 376, 66, 23}},
    {"playPatButton", {67, 376, 66, 23}},
    {"stopButton", {133, 376, 66, 23}},
};

} // namespace

TEST_F(Panel, FormShowsTheKitTheTempoAndThePlayPosition)
{
    for (const Placed& placed : form) {
        const auto* widget = panel.findChild<QWidget*>(placed.name);
        ASSERT_TRUE(widget) << placed.name;
        EXPECT_EQ(widget->geometry(), placed.geometry) << placed.name;
    }
    EXPECT_EQ(panel.size(), QSize(200, 400));
    EXPECT_EQ(panel.drsetNameLineEdit->text(), "Default");
    EXPECT_TRUE(panel.drsetInfoLineEdit->isReadOnly());
    EXPECT_EQ(entries(panel.rytCombo), (QStringList{"4/4", "3/4"}));
    EXPECT_EQ(entries(panel.offsetCombo), (QStringList{"0", "+1/3", "-1/3"}));
    EXPECT_EQ(entries(panel.patCombo), QStringList{"0"});
    EXPECT_EQ(panel.patLenSpin->value(), 32);
    EXPECT_EQ(panel.veloSpin->maximum(), 127);
    EXPECT_EQ(panel.tempoSpin->maximum(), 240);
    EXPECT_TRUE(panel.insertButton->isChecked());
    EXPECT_FALSE(panel.eraseButton->isChecked());

    QSignalSpy tempo(&panel, &DreditWidget::bpmSignal);
    QSignalSpy started(&panel, &DreditWidget::startSignal);
    QSignalSpy stopped(&panel, &DreditWidget::stopSignal);
    type(panel.tempoSpin, 90);
    EXPECT_EQ(tempo.last(), QVariantList{90});
    EXPECT_EQ(panel.song.tempo, 90.0f);
    click(panel.playPatButton);
    EXPECT_EQ(started.count(), 1);
    for (int tick = 0; tick <= BeatTiming::ticksPerStep; ++tick) // steps 0 and 1
        panel.nextBeat();
    EXPECT_EQ(panel.beatNumLCD->intValue(), 1) << "the step being played";
    click(panel.stopButton);
    EXPECT_EQ(stopped.count(), 1);
    EXPECT_EQ(panel.beatNumLCD->intValue(), 0);
}

TEST_F(Panel, TracksFollowTheKitAndStripsShowWhatThePanelHolds)
{
    QTest::mouseClick(grid.chanLines[Kick]->muteBox, Qt::LeftButton);
    QTest::mouseClick(grid.chanLines[Tom]->soloBox, Qt::LeftButton);
    grid.chanLines[SnareMiddle]->volumeDial->setValue(30);
    EXPECT_TRUE(panel.muted[Kick]);
    EXPECT_EQ(panel.soloCount, 1);
    EXPECT_EQ(panel.volume[SnareMiddle], 30);

    panel.refreshTracks(); // new strips for the same kit
    ASSERT_EQ(grid.chanLines.size(), size_t(TrackTotal));
    EXPECT_TRUE(grid.chanLines[Kick]->muteBox->isChecked());
    EXPECT_TRUE(grid.chanLines[Tom]->soloBox->isChecked());
    EXPECT_EQ(grid.chanLines[SnareMiddle]->volumeDial->value(), 30);
    EXPECT_EQ(panel.volume[SnareMiddle], 30);

    click(panel.songNewButton);
    EXPECT_FALSE(grid.chanLines[Kick]->muteBox->isChecked());
    EXPECT_FALSE(grid.chanLines[Tom]->soloBox->isChecked());
    EXPECT_EQ(grid.chanLines[SnareMiddle]->volumeDial->value(), 100);
    EXPECT_EQ(panel.soloCount, 0);
    EXPECT_EQ(panel.song.patterns.size(), 1u);
    EXPECT_EQ(entries(panel.patCombo), QStringList{"0"});

    QSignalSpy added(&panel, &DreditWidget::addTrack);
    panel.drumSet = presetKit({BodyTypes::Snare, BodyTypes::SnareRamp, BodyTypes::Kick});
    panel.refreshTracks();
    EXPECT_EQ(added, (QList<QVariantList>{{"Snare middle"}, {"Snare side"}, {"Kick right foot"}}));
    EXPECT_EQ(grid.chanLines.size(), 3u);
    EXPECT_EQ(grid.chanLines[2]->nameLabel->text(), "Kick right foot");
    EXPECT_EQ(panel.tracks[2].drum, 2);
}

TEST_F(Panel, VelocityCyclesDownAndTheAuditionFollowsTheTrackVolume)
{
    QSignalSpy sounds(&panel, &DreditWidget::playSound);
    for (int velocity : {100, 80, 60, 40, 20, 127, 107}) {
        click(Tom, 0);
        EXPECT_EQ(cell(Tom, 0).velocity, velocity);
        EXPECT_EQ(sounds.takeFirst(), (QVariantList{int(Tom), velocity}));
    }
    EXPECT_EQ(shown(Tom, 0), "Textures/beat6b.bmp");

    type(panel.veloSpin, 15);
    click(Tom, 1);
    click(Tom, 1);
    EXPECT_EQ(cell(Tom, 1).velocity, 122);
    EXPECT_EQ(shown(Tom, 1), "Textures/beat6.bmp");

    type(panel.veloSpin, 100);
    grid.chanLines[Kick]->volumeDial->setValue(50);
    click(Kick, 2);
    EXPECT_EQ(sounds.last(), (QVariantList{int(Kick), 50}));
    grid.chanLines[Kick]->volumeDial->setValue(0);
    click(Kick, 3);
    EXPECT_EQ(sounds.last(), (QVariantList{int(Kick), 0}));
    EXPECT_EQ(cell(Kick, 3).velocity, 100) << "the volume scales only what is heard";
}

TEST_F(Panel, RefusedNotesLeaveTheCellAndSoundTheRefusal)
{
    struct Case
    {
        std::vector<int> set;
        int clicked;
        bool refused;
    };
    const Case cases[] = {
        {{HiHatTop}, HiHatFoot, true},          {{HiHatTop}, HiHatSide, true},
        {{HiHatFoot}, HiHatTop, true},          {{HiHatTop}, HiHatTop, false},
        {{SnareMiddle}, SnareSide, true},       {{CrashSide}, CrashTop, true},
        {{SnareMiddle, Tom}, CrashTop, true},   {{SnareMiddle, Tom}, Kick, false},
        {{SnareMiddle, Tom}, HiHatFoot, false}, {{SnareMiddle, HiHatTop}, Tom, true},
        {{SnareMiddle, HiHatFoot}, Tom, false}, {{Kick, HiHatFoot}, SnareMiddle, false},
    };
    for (int step = 0; step < int(std::size(cases)); ++step) {
        const Case& c = cases[step];
        for (int track : c.set)
            cell(track, step) = {70, -0.333f};
        const Beat before = cell(c.clicked, step);
        QSignalSpy refusals(&panel, &DreditWidget::playUISound);
        QSignalSpy sounds(&panel, &DreditWidget::playSound);
        QSignalSpy refreshed(&panel, &DreditWidget::refresh);
        click(c.clicked, step);

        EXPECT_EQ(refusals.count(), int(c.refused)) << "case " << step;
        EXPECT_EQ(sounds.count(), int(!c.refused)) << "case " << step;
        ASSERT_EQ(refreshed.count(), 1) << "case " << step;
        if (c.refused) {
            EXPECT_EQ(refusals[0], QVariantList{0});
            EXPECT_EQ(cell(c.clicked, step).velocity, before.velocity) << "case " << step;
            EXPECT_EQ(refreshed[0],
                      (QVariantList{step, c.clicked, before.velocity, before.offset}));
        } else {
            EXPECT_NE(cell(c.clicked, step).velocity, before.velocity) << "case " << step;
        }
    }
}

TEST_F(Panel, EraseClearsSilentlyAndNothingChangesBeyondTheLength)
{
    cell(Kick, 4) = {90, 0.333f};
    cell(Kick, 20) = {90, 0.0f};
    type(panel.patLenSpin, 16);
    EXPECT_EQ(shown(Kick, 20), "Textures/button111.bmp");

    QSignalSpy sounds(&panel, &DreditWidget::playSound);
    QSignalSpy refreshed(&panel, &DreditWidget::refresh);
    click(Kick, 20); // insert mode, beyond the length
    click(panel.eraseButton);
    click(panel.eraseButton);
    EXPECT_TRUE(panel.eraseButton->isChecked()) << "one of the pair stays on";
    EXPECT_FALSE(panel.insertButton->isChecked());
    click(Kick, 20);
    EXPECT_EQ(refreshed.count(), 0);
    EXPECT_EQ(cell(Kick, 20).velocity, 90);

    click(Kick, 4);
    click(Tom, 5);
    EXPECT_EQ(cell(Kick, 4).velocity, 0);
    EXPECT_EQ(cell(Kick, 4).offset, 0.0f);
    EXPECT_EQ(shown(Kick, 4), "Textures/beat0.bmp");
    EXPECT_EQ(cell(Tom, 5).velocity, 0);
    EXPECT_EQ(sounds.count(), 0);

    click(panel.insertButton);
    EXPECT_FALSE(panel.eraseButton->isChecked());
    click(Kick, 4);
    EXPECT_EQ(cell(Kick, 4).velocity, 100);
}

TEST_F(Panel, OffsetsFollowTheChosenEntryAndTheRhythm)
{
    pick(panel.offsetCombo, 2);
    click(Tom, 1);
    EXPECT_TRUE(sameBits(cell(Tom, 1).offset, -0.333f));
    EXPECT_EQ(shown(Tom, 1), "Textures/beat5l.bmp");
    pick(panel.offsetCombo, 1);
    click(Kick, 8);
    EXPECT_TRUE(sameBits(cell(Kick, 8).offset, 0.333f));
    EXPECT_EQ(shown(Kick, 8), "Textures/beat5bp.bmp");
    pick(panel.offsetCombo, 2);
    click(panel.patAddButton);
    cell(Kick, 30) = {60, 0.0f};

    QSignalSpy beats(&panel, &DreditWidget::setBeats);
    pick(panel.rytCombo, 1);
    EXPECT_EQ(beats.last(), QVariantList{3});
    EXPECT_EQ(entries(panel.offsetCombo), QStringList{"0"});
    EXPECT_EQ(panel.offsetIndex, 2) << "the rhythm keeps the chosen entry";
    EXPECT_EQ(panel.patLenSpin->maximum(), 24);
    for (const Pattern& pattern : panel.song.patterns)
        EXPECT_EQ(pattern.length, 24);
    EXPECT_EQ(cell(Kick, 30).velocity, 60) << "cut, not cleared";
    EXPECT_EQ(shown(Kick, 30), "Textures/button111.bmp");
    EXPECT_EQ(shown(Kick, 6), "Textures/beat0b.bmp");

    click(Tom, 2); // a new cell keeps its offset of none
    EXPECT_EQ(cell(Tom, 2).offset, 0.0f);
    pick(panel.patCombo, 0);
    click(Tom, 1); // a set cell keeps its offset, shown without it
    EXPECT_EQ(cell(Tom, 1).velocity, 80);
    EXPECT_TRUE(sameBits(cell(Tom, 1).offset, -0.333f));
    EXPECT_EQ(shown(Tom, 1), "Textures/beat4.bmp");

    pick(panel.rytCombo, 0);
    pick(panel.offsetCombo, 1);
    pick(panel.rytCombo, 1);
    click(Kick, 9);
    EXPECT_EQ(cell(Kick, 9).offset, 0.5f);
    pick(panel.rytCombo, 0);
    EXPECT_EQ(panel.song.patterns[1].length, 24) << "back in 4/4 nothing grows";
    EXPECT_EQ(panel.patLenSpin->maximum(), 32);
}

TEST_F(Panel, PatternsAreAddedRemovedCopiedAndPasted)
{
    QSignalSpy refreshed(&panel, &DreditWidget::refresh);
    click(panel.patPasteButton);
    click(panel.patRemButton);
    EXPECT_EQ(refreshed.count(), 0) << "nothing copied; the only pattern stays";
    EXPECT_EQ(panel.song.patterns.size(), 1u);

    click(Tom, 0);
    type(panel.patLenSpin, 16);
    click(panel.patCopyButton);
    for (int i = 0; i < 3; ++i)
        click(panel.patAddButton);
    EXPECT_EQ(entries(panel.patCombo), (QStringList{"0", "1", "2", "3"}));
    EXPECT_EQ(panel.patCombo->currentText(), "3");
    EXPECT_EQ(shown(Tom, 0), "Textures/beat0b.bmp");
    EXPECT_EQ(panel.patLenSpin->value(), 32);

    click(panel.patPasteButton);
    EXPECT_EQ(panel.song.patterns[3].length, 16);
    EXPECT_EQ(shown(Tom, 0), "Textures/beat5b.bmp");
    EXPECT_EQ(shown(Tom, 16), "Textures/button111.bmp");
    click(Tom, 0);
    EXPECT_EQ(panel.song.patterns[3].cells[Tom][0].velocity, 80);
    EXPECT_EQ(panel.song.patterns[0].cells[Tom][0].velocity, 100) << "the paste is a copy";

    click(panel.patRemButton);
    EXPECT_EQ(entries(panel.patCombo), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(panel.patCombo->currentText(), "2");
    pick(panel.patCombo, 1);
    click(panel.patRemButton);
    EXPECT_EQ(panel.currentPattern, 1) << "the next pattern moves up";
    EXPECT_EQ(panel.song.patternCount, 2);

    // A pattern copied under a larger kit pasted under a smaller one, and back.
    panel.drumSet = presetKit({BodyTypes::Kick, BodyTypes::Snare});
    panel.refreshTracks();
    click(panel.patPasteButton);
    EXPECT_EQ(panel.song.patterns[1].cells.size(), 3u);
    click(2, 0);
    type(panel.patLenSpin, 32);
    click(panel.patCopyButton);
    panel.drumSet =
        presetKit({BodyTypes::Kick, BodyTypes::Snare, BodyTypes::Tom8, BodyTypes::Tom10});
    panel.refreshTracks();
    pick(panel.rytCombo, 1);
    click(panel.patPasteButton);
    const Pattern& pasted = panel.song.patterns[1];
    EXPECT_EQ(pasted.cells.size(), 5u);
    EXPECT_EQ(pasted.cells[2][0].velocity, 100);
    EXPECT_EQ(pasted.cells[4][0].velocity, 0);
    EXPECT_EQ(pasted.length, 24) << "cut to the rhythm";
    click(4, 1);
    EXPECT_EQ(cell(4, 1).velocity, 100);
}

TEST_F(Panel, TheCellsStayInViewWhenAShorterPatternIsShown)
{
    QScrollBar* bar = grid.beatView->horizontalScrollBar();
    click(panel.patAddButton);
    type(panel.patLenSpin, 20);
    bar->setValue(20);
    pick(panel.patCombo, 0);
    EXPECT_EQ(bar->value(), 20) << "a longer pattern keeps the view";
    bar->setValue(bar->maximum());
    pick(panel.patCombo, 1);
    EXPECT_EQ(bar->value(), 20 * 30 - grid.beatView->viewport()->width()) << "its last cell";
    type(panel.patLenSpin, 8);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(grid.channelView->horizontalScrollBar()->value(), 0);
}
