// Pictures of the song editor as a user sees it in the main window: the panel at the left, the
// beat grid below, with a two-bar rock groove entered by clicking the cells; the whole grid; and
// a sheet of every panel image. Run it from the run folder; the PNG files go to the folder given
// as the first argument (the build's "screenshots" folder by default).
#include "kit/drumsetfile.h"
#include "songeditor/beatline.h"
#include "songeditor/chanline.h"
#include "songeditor/tests/gridwiring.h"

#include "bench/screenshotfolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDial>
#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <cstdio>

namespace {

// Tracks of the default kit.
enum Track
{
    Kick,
    HighTom,
    MidTom,
    SnareMiddle,
    SnareSide,
    HiHatFoot,
    HiHatSide,
    HiHatTop,
    FloorTom,
    CrashSide,
    CrashTop,
    RideSide,
    RideTop
};

struct Note
{
    int track, step, velocity;
    int offsetEntry; // 0 "0", 1 "+1/3", 2 "-1/3"
};

// Two bars of eighth notes: hi-hat eighths with accents, backbeats with ghost notes, a pushed
// kick, and a tom fill into the second bar's end; every level and both offsets appear.
const Note groove[] = {
    {CrashTop, 0, 127, 0},     {Kick, 0, 110, 0},         {Kick, 5, 80, 1},
    {Kick, 8, 110, 0},         {Kick, 10, 70, 0},         {SnareMiddle, 2, 120, 0},
    {SnareMiddle, 6, 120, 0},  {SnareMiddle, 7, 15, 0},   {SnareMiddle, 9, 35, 0},
    {SnareMiddle, 10, 120, 0}, {SnareMiddle, 14, 127, 0}, {HighTom, 12, 90, 0},
    {HighTom, 13, 80, 2},      {MidTom, 14, 60, 0},       {FloorTom, 15, 110, 0},
    {HiHatFoot, 12, 30, 0},    {HiHatFoot, 14, 30, 0},    {RideTop, 12, 90, 0},
    {RideTop, 13, 50, 0},
};

void enterGroove(DreditWidget& panel, Dreditor& grid)
{
    panel.patLenSpin->setValue(16);
    for (int step = 0; step < 12; ++step) {
        panel.veloSpin->setValue(step % 2 ? 55 : 100);
        grid.beatLines[HiHatTop]->cells[size_t(step)]->click();
    }
    for (const Note& note : groove) {
        panel.veloSpin->setValue(note.velocity);
        panel.offsetCombo->setCurrentIndex(note.offsetEntry);
        panel.offsetSlot(note.offsetEntry);
        grid.beatLines[size_t(note.track)]->cells[size_t(note.step)]->click();
    }
    grid.chanLines[RideTop]->muteBox->click();
    grid.chanLines[SnareMiddle]->soloBox->click();
    grid.chanLines[HiHatTop]->volumeDial->setValue(70);
}

// The song editor's half of the main window: the panel at the left of the top row beside the
// stage view (left dark here), the grid in the bottom row under a one-pixel spacer.
QImage songMode(DreditWidget& panel, Dreditor& grid)
{
    QImage window(800, 600, QImage::Format_RGB32);
    window.fill(QColor(24, 24, 28));
    QPainter painter(&window);
    painter.drawPixmap(0, 0, panel.grab());
    painter.setPen(QColor(120, 120, 130));
    painter.drawText(QRect(200, 0, 600, 400), Qt::AlignCenter, "stage view");
    painter.drawPixmap(0, 401, grid.grab());
    return window;
}

// Every row at once: the strips beside the cells.
QImage wholeGrid(Dreditor& grid)
{
    const QPixmap strips = grid.channelBox->grab();
    const QPixmap cells = grid.beatBox->grab();
    QImage image(strips.width() + cells.width(), cells.height(), QImage::Format_RGB32);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, strips);
    painter.drawPixmap(strips.width(), 0, cells);
    return image;
}

// Each image of "Textures/" enlarged four times, with its name.
QImage imageSheet()
{
    const QDir textures("Textures");
    QImage sheet(1200, 2600, QImage::Format_RGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter painter(&sheet);
    int x = 10, y = 10, rowHeight = 0;
    for (const QString& file : textures.entryList({"*.bmp"}, QDir::Files, QDir::Name)) {
        const QImage image(textures.filePath(file));
        const QImage large = image.scaled(image.size() * 4);
        if (x + large.width() > sheet.width() - 10) {
            x = 10;
            y += rowHeight + 24;
            rowHeight = 0;
        }
        painter.drawImage(x, y, large);
        painter.drawText(x, y + large.height() + 14, file);
        x += std::max(large.width(), 100) + 12;
        rowHeight = std::max(rowHeight, large.height());
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDir dir;
    if (!screenshotFolder(argc, argv, dir))
        return 1;

    DreditWidget panel;
    Dreditor grid;
    wireGrid(panel, grid);
    int sounds = 0, drums = 0;
    DrumSetReader("Drumsets/default.set", sounds, drums, [](const QString&) {}).read(panel.drumSet);
    panel.refreshTracks();
    panel.updateAll();
    panel.show();
    grid.show();
    enterGroove(panel, grid);
    panel.patAddSlot();
    panel.patSelSlot(0);
    grid.beatView->verticalScrollBar()->setValue(3 * 30);

    const bool ok = save(songMode(panel, grid), dir, "songeditor.png") &&
                    save(wholeGrid(grid), dir, "songeditor_grid.png") &&
                    save(imageSheet(), dir, "panel_images.png");
    return ok ? 0 : 1;
}
