// The beat grid on its own, driven through its slots and clicked as a person clicks it. Runs in
// the run folder, where the cell images are.
#include "songeditor/beatline.h"
#include "songeditor/chanline.h"
#include "songeditor/dreditor.h"

#include <QCheckBox>
#include <QDial>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class Grid : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"Snare middle", "Snare side", "Kick right foot"})
            grid.addTrack(name);
        grid.show();
    }

    QString shown(int row, int cell) const
    {
        return grid.beatLines.at(size_t(row))->shownImage(cell);
    }

    Dreditor grid;
};

struct CellCase
{
    int beats, cell, velocity;
    float offset;
    const char* image;
};

const CellCase cellCases[] = {
    {4, 8, 90, 0.0f, "Textures/beat5b.bmp"},     {4, 3, 127, -0.333f, "Textures/beat6l.bmp"},
    {3, 3, 127, -0.333f, "Textures/beat6.bmp"},  {3, 6, 0, 0.0f, "Textures/beat0b.bmp"},
    {4, 6, 0, 0.0f, "Textures/beat0.bmp"},       {4, 1, 100, 0.0f, "Textures/beat5.bmp"},
    {4, 1, 101, 0.0f, "Textures/beat6.bmp"},     {4, 1, 20, 0.0f, "Textures/beat1.bmp"},
    {4, 1, 21, 0.0f, "Textures/beat2.bmp"},      {4, 1, 1, 0.333f, "Textures/beat1p.bmp"},
    {4, 16, 41, 0.333f, "Textures/beat3bp.bmp"}, {4, 24, 61, -0.333f, "Textures/beat4bl.bmp"},
    {3, 12, 60, 0.5f, "Textures/beat3b.bmp"},    {3, 30, 80, 0.0f, "Textures/beat4b.bmp"},
    {4, 2, 50, NAN, "Textures/beat3.bmp"},       {4, 30, -1, 0.0f, "Textures/button111.bmp"},
};

} // namespace

TEST_F(Grid, CellShowsLevelOffsetAndBarMark)
{
    for (int cell = 0; cell < BeatLine::cellCount; ++cell)
        EXPECT_EQ(shown(1, cell), cell % 8 ? "Textures/beat0.bmp" : "Textures/beat0b.bmp");

    for (const CellCase& c : cellCases) {
        grid.setBeats(c.beats);
        grid.refresh(c.cell, 2, c.velocity, c.offset);
        EXPECT_EQ(shown(2, c.cell), c.image)
            << c.beats << " beats, cell " << c.cell << ", velocity " << c.velocity;
        EXPECT_EQ(shown(1, c.cell), c.cell % 8 ? "Textures/beat0.bmp" : "Textures/beat0b.bmp")
            << "another row is untouched";
    }

    // What a cell draws is the file it names.
    grid.setBeats(4);
    grid.refresh(24, 0, 61, -0.333f);
    const QImage drawn = grid.beatLines[0]->cells[24]->grab().toImage();
    EXPECT_EQ(drawn.convertToFormat(QImage::Format_RGB32),
              QImage("Textures/beat4bl.bmp").convertToFormat(QImage::Format_RGB32));

    grid.refresh(-1, 0, 100, 0.0f);
    grid.refresh(32, 0, 100, 0.0f);
    grid.refresh(0, 7, 100, 0.0f); // cells and rows that do not exist change nothing
}

TEST_F(Grid, RowsStackInTwoCoupledViews)
{
    EXPECT_EQ(grid.size(), QSize(800, 199));
    EXPECT_EQ(grid.channelView->geometry(), QRect(0, 0, 300, 199));
    EXPECT_EQ(grid.beatView->geometry(), QRect(300, 0, 500, 199));
    EXPECT_EQ(grid.channelBox->size(), QSize(280, 90));
    EXPECT_EQ(grid.beatBox->size(), QSize(960, 90));
    EXPECT_EQ(grid.chanLines[2]->geometry(), QRect(0, 60, 280, 30));
    EXPECT_EQ(grid.beatLines[2]->geometry(), QRect(0, 60, 960, 30));
    EXPECT_EQ(grid.chanLines[2]->objectName(), "Kick right foot");
    EXPECT_EQ(grid.beatLines[2]->cells[31]->geometry(), QRect(930, 0, 30, 30));

    QSignalSpy pressed(&grid, &Dreditor::pressedSignal);
    QSignalSpy muted(&grid, &Dreditor::muteSignal);
    QSignalSpy soloed(&grid, &Dreditor::soloSignal);
    QTest::mouseClick(grid.beatLines[1]->cells[17], Qt::LeftButton);
    QTest::mouseClick(grid.chanLines[2]->muteBox, Qt::LeftButton);
    QTest::mouseClick(grid.chanLines[0]->soloBox, Qt::LeftButton);
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0], (QVariantList{17, 1}));
    EXPECT_EQ(shown(1, 17), "Textures/beat0.bmp") << "a press alone changes no image";
    EXPECT_EQ(muted.takeFirst(), QVariantList{2});
    EXPECT_EQ(soloed.takeFirst(), QVariantList{0});

    grid.clearTracks();
    EXPECT_TRUE(grid.chanLines.empty());
    EXPECT_TRUE(grid.beatLines.empty());
    EXPECT_EQ(grid.findChildren<BeatLine*>().size(), 0);
    grid.setBeats(3);
    for (int row = 0; row < 8; ++row)
        grid.addTrack(QString("Track %1").arg(row));
    EXPECT_EQ(grid.beatLines[0]->beats, 4) << "a new line counts four beats until told";
    EXPECT_EQ(grid.beatBox->size(), QSize(960, 240));

    QScrollBar* cellsBar = grid.beatView->verticalScrollBar();
    QScrollBar* stripsBar = grid.channelView->verticalScrollBar();
    ASSERT_GT(cellsBar->maximum(), 30);
    cellsBar->setValue(30);
    EXPECT_EQ(stripsBar->value(), 30);
    stripsBar->setValue(12);
    EXPECT_EQ(cellsBar->value(), 12);
    grid.beatView->horizontalScrollBar()->setValue(200);
    EXPECT_EQ(grid.channelView->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(stripsBar->value(), 12) << "sideways scrolling of the cells leaves the strips";
    EXPECT_EQ(grid.beatView->widget()->pos(), QPoint(-200, -12));
}

TEST_F(Grid, SettingAStripReportsOnlyItsVolume)
{
    QSignalSpy muted(&grid, &Dreditor::muteSignal);
    QSignalSpy soloed(&grid, &Dreditor::soloSignal);
    QSignalSpy volume(&grid, &Dreditor::volSignal);
    grid.chanLines[1]->soloBox->setChecked(true);
    grid.setMuteSoloVol(1, true, false, 40);
    EXPECT_TRUE(grid.chanLines[1]->muteBox->isChecked());
    EXPECT_FALSE(grid.chanLines[1]->soloBox->isChecked());
    EXPECT_EQ(grid.chanLines[1]->volumeDial->value(), 40);
    EXPECT_EQ(muted.count() + soloed.count(), 0);
    ASSERT_EQ(volume.count(), 1);
    EXPECT_EQ(volume[0], (QVariantList{1, 40}));
    grid.setMuteSoloVol(3, true, true, 0); // no such row
    EXPECT_EQ(volume.count(), 1);
}
