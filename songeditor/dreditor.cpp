#include "songeditor/dreditor.h"

#include "common/panellook.h"
#include "songeditor/beatline.h"
#include "songeditor/chanline.h"

#include <QCheckBox>
#include <QDial>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr int rowHeight = 30;
constexpr int cellWidth = 30;
constexpr int channelWidth = 280;
constexpr int beatWidth = BeatLine::cellCount * cellWidth;

QScrollArea* addView(QWidget* parent, QWidget* box, const QRect& geometry)
{
    auto* view = new QScrollArea(parent);
    view->setObjectName("scroll1");
    view->setGeometry(geometry);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = box->palette();
    palette.setBrush(QPalette::Window, PanelLook::texture(PanelLook::buttonTexture));
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    view->setWidget(box);
    return view;
}

} // namespace

Dreditor::Dreditor(QWidget* parent, const QString& name)
    : QWidget(parent), channelBox(new QWidget), beatBox(new QWidget)
{
    setObjectName(name.isEmpty() ? QString("Form1") : name);
    setFixedSize(800, 199);
    channelBox->resize(channelWidth, 0);
    beatBox->resize(beatWidth, 0);
    channelView = addView(this, channelBox, {0, 0, 300, 199});
    beatView = addView(this, beatBox, {300, 0, 500, 199});
    coupleScrolling();
}

// The views go after this part of the grid; nothing they report may reach it any more.
Dreditor::~Dreditor()
{
    decoupleScrolling();
}

void Dreditor::pressed(int cell, int row)
{
    emit pressedSignal(cell, row);
}

void Dreditor::addTrack(QString name)
{
    const int row = int(chanLines.size());
    auto* strip = new ChanLine(channelBox, name, row);
    chanLines.push_back(strip);
    strip->setGeometry(0, row * rowHeight, channelWidth, rowHeight);
    strip->show();
    connect(strip, &ChanLine::muteSignal, this, &Dreditor::mute);
    connect(strip, &ChanLine::soloSignal, this, &Dreditor::solo);
    connect(strip, &ChanLine::volSignal, this, &Dreditor::vol);
    channelBox->resize(channelWidth, (row + 1) * rowHeight);

    auto* cells = new BeatLine(beatBox, name, row);
    beatLines.push_back(cells);
    cells->setGeometry(0, row * rowHeight, beatWidth, rowHeight);
    cells->show();
    connect(cells, &BeatLine::pressedSignal, this, &Dreditor::pressed);
    beatBox->resize(beatWidth, (row + 1) * rowHeight);
}

// Releasing a row also cuts every connection it makes.
void Dreditor::clearTracks()
{
    for (BeatLine* cells : beatLines)
        delete cells;
    for (ChanLine* strip : chanLines)
        delete strip;
    beatLines.clear();
    chanLines.clear();
}

// A refresh goes straight to its row's line: offering each one to every line, which the lines
// would all but one ignore, made redrawing a pattern cost the square of its rows.
void Dreditor::refresh(int cell, int row, int velocity, float offset)
{
    emit refreshSignal(cell, row, velocity, offset);
    if (row >= 0 && row < int(beatLines.size()))
        beatLines[size_t(row)]->refresh(cell, row, velocity, offset);
}

// The cells beyond the pattern are only grey: a view left scrolled past the pattern's end (a
// shorter pattern is shown now) comes back to show its last cells.
void Dreditor::setLenght(int value)
{
    length = value;
    const int patternEnd = std::clamp(value, 0, BeatLine::cellCount) * cellWidth;
    QScrollBar* bar = beatView->horizontalScrollBar();
    bar->setValue(std::min(bar->value(), std::max(0, patternEnd - beatView->viewport()->width())));
}

void Dreditor::setBeats(int value)
{
    beats = value;
    for (BeatLine* cells : beatLines)
        cells->beats = value;
}

void Dreditor::mute(int row)
{
    emit muteSignal(row);
}

void Dreditor::solo(int row)
{
    emit soloSignal(row);
}

void Dreditor::vol(int row, int volume)
{
    emit volSignal(row, volume);
}

void Dreditor::setMuteSoloVol(int row, bool mute, bool solo, int volume)
{
    if (row < 0 || row >= int(chanLines.size()))
        return;
    ChanLine& strip = *chanLines[size_t(row)];
    strip.muteBox->setChecked(mute);
    strip.soloBox->setChecked(solo);
    strip.volumeDial->setValue(volume);
}

void Dreditor::scroll1y(int, int y)
{
    decoupleScrolling();
    channelView->horizontalScrollBar()->setValue(0);
    channelView->verticalScrollBar()->setValue(y);
    coupleScrolling();
}

void Dreditor::scroll2y(int, int y)
{
    decoupleScrolling();
    beatView->verticalScrollBar()->setValue(y);
    coupleScrolling();
}

// A move of either view moves the other; the coupling is cut while it moves, so that the move
// does not come back.
void Dreditor::coupleScrolling()
{
    const auto follow = [this](QScrollArea* view, void (Dreditor::*slot)(int, int)) {
        const auto moved = [this, view, slot] {
            (this->*slot)(view->horizontalScrollBar()->value(), view->verticalScrollBar()->value());
        };
        for (QScrollBar* bar : {view->horizontalScrollBar(), view->verticalScrollBar()})
            scrollCoupling.push_back(connect(bar, &QScrollBar::valueChanged, this, moved));
    };
    follow(channelView, &Dreditor::scroll2y);
    follow(beatView, &Dreditor::scroll1y);
}

void Dreditor::decoupleScrolling()
{
    for (const QMetaObject::Connection& connection : scrollCoupling)
        disconnect(connection);
    scrollCoupling.clear();
}
