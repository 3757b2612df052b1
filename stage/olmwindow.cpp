#include "stage/olmwindow.h"

#include "common/dialogs.h"
#include "common/popupmenu.h"
#include "humanoid/human.h"
#include "kit/drumbody.h"
#include "kiteditor/drsetwidget.h"
#include "kiteditor/hitpointwidget.h"
#include "playback/noteparser.h"
#include "playback/soundengine.h"
#include "songeditor/dreditor.h"
#include "songeditor/dreditwidget.h"
#include "stage/qglwindow.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {

const char* const controlsText =
    "CTRL+Q - quit\n\nLeft mouse -translate drum X and Z\nLeft mouse+shift -translate drum X and "
    "Y\nRight mouse -resize drum X and Z\nRight mouse+shift -resize drum X and Y\n\nAlt+left "
    "mouse -translate hitpoint X and Z\nAlt+Left mouse+shift -translate hitpoint X and Y\n\nCTRL+"
    "Right mouse -rotate view\nCTRL+Left mouse -translate view X and Z\nCTRL+Left mouse+shift "
    "-translate view X and Y\n\n";

const char* const creditsText =
    "Olmira\n\nA drummer who sits at his kit in a room and plays the songs you compose.\n\n"
    "Made by the Olmira project, 2026. The drummer, the room, the kit and its sounds are the "
    "project's own, made by its own tools.";

const QString mark = "+  ";

// A box widget of the old toolkit: its children line up in its layout, without gaps.
template <typename Layout> QWidget* makeBox(QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new Layout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return box;
}

// Puts a widget made with the box as its parent into the box's line.
template <typename Widget> Widget* inBox(QWidget* box, Widget* widget)
{
    box->layout()->addWidget(widget);
    return widget;
}

template <typename Receiver, typename Slot>
QAction* addItem(QMenu* menu, const QString& text, Receiver* receiver, Slot slot,
                 const QKeySequence& accelerator = {})
{
    QAction* item = menu->addAction(text);
    item->setShortcut(accelerator);
    QObject::connect(item, &QAction::triggered, receiver, slot);
    return item;
}

PopupMenu* addPopup(QMenuBar* bar, QWidget* parent, const QString& title)
{
    auto* popup = new PopupMenu(parent);
    popup->setTitle(title);
    bar->addMenu(popup);
    return popup;
}

QAction* itemOf(const QMenu* menu, int id)
{
    for (QAction* item : menu->actions())
        if (!item->isSeparator() && item->data().toInt() == id)
            return item;
    return nullptr;
}

} // namespace

olmWindow::olmWindow(QWidget* parent, const char* name, Qt::WindowFlags f) : QMainWindow(parent, f)
{
    setObjectName(QString::fromLatin1(name));
    showSplash();
    soundEngine = new SoundEngine;
    setWindowTitle("Olmira");
    setFixedSize(800, 623);
    setGeometry(5, 30, 800, 623);
    buildMenus();
    buildLayout();
    qgl = inBox(rightColumn, new QGLWindow(rightColumn, "qgl"));
    fillViewsMenu();
    // Viewpoints are chosen in both editors from the start, not only after a first visit to the
    // drum-set editor.
    connectViewsMenu();
    mode = 1;
    firstTime = true;
    makeDrsetPanel();
    hitpointPanel = inBox(rightColumn, new HitpointWidget(rightColumn));
    dreditPanel = inBox(leftColumn, new DreditWidget(leftColumn));
    dreditPanel->hide();
    noteParser = new NoteParser;
    chgModePatern();
    delete splash;
    splash = nullptr;
}

olmWindow::~olmWindow()
{
    delete qgl;
    delete soundEngine;
    delete noteParser;
    if (mode == 1) {
        delete drsetPanel;
        delete hitpointPanel;
    } else {
        delete dreditor;
        delete dreditPanel;
    }
}

void olmWindow::showSplash()
{
    splash = new QLabel;
    splash->setPixmap(QPixmap("Textures/initlogo1.bmp"));
    splash->setFixedSize(120, 80);
    splash->setGeometry(300, 300, 120, 80);
    splash->show();
    // Painted now, so that it is seen while the rest loads.
    QGuiApplication::sync();
    QCoreApplication::processEvents();
}

void olmWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("menu");

    PopupMenu* file = addPopup(bar, this, "&File");
    addItem(file, "&Quit", qApp, &QApplication::closeAllWindows, Qt::CTRL | Qt::Key_Q);

    PopupMenu* modes = addPopup(bar, this, "&Mode");
    addItem(modes, "&Drumset editor", this, &olmWindow::chgModeDrset, Qt::CTRL | Qt::Key_D);
    addItem(modes, "&Song editor", this, &olmWindow::chgModePatern, Qt::CTRL | Qt::Key_S);

    viewsMenu = addPopup(bar, this, "&Viewpoints");
    bar->addSeparator();

    ikMenu = addPopup(bar, this, "&IK");
    const auto ikItem = [this](const char* text, int id, void (olmWindow::*slot)()) {
        connect(ikMenu->insertItem(text, id), &QAction::triggered, this, slot);
    };
    ikItem("Use IK for foots", 0, &olmWindow::footIK);
    ikItem("* Use simple rotation for foots", 1, &olmWindow::footRot);
    ikItem("Count orientation for right hand", 2, &olmWindow::rhandOri);
    ikItem("* Count only position for right hand", 3, &olmWindow::rhandOriN);
    bar->addSeparator();

    PopupMenu* help = addPopup(bar, this, "&Help");
    addItem(help, "&About", this, &olmWindow::about);
    addItem(help, "About &Qt", this, &olmWindow::aboutQt);
    addItem(help, "&Controlls", this, &olmWindow::controlls, Qt::Key_F1);
}

// The window's column of rows lies under the menu bar; its first row is the strip behind it.
void olmWindow::buildLayout()
{
    QWidget* rows = makeBox<QVBoxLayout>(this);
    rows->setFixedSize(800, 623);
    inBox(rows, new QLabel(rows))->setFixedHeight(23);
    topBox = inBox(rows, makeBox<QHBoxLayout>(rows));
    topBox->setFixedSize(800, 600);
    leftColumn = inBox(topBox, makeBox<QVBoxLayout>(topBox));
    rightColumn = inBox(topBox, makeBox<QVBoxLayout>(topBox));
    bottomBox = inBox(rows, makeBox<QVBoxLayout>(rows));
    menuBar()->raise();
}

void olmWindow::fillViewsMenu()
{
    const std::vector<Viewpoint*>& viewpoints = qgl->human->viewpoints;
    for (std::size_t i = 0; i < viewpoints.size(); ++i)
        viewsMenu->insertItem((i == 0 ? mark : QString()) + viewpoints[i]->name, int(i));
}

// Never disconnected: the menu is not one of the components that a switch rewires.
void olmWindow::connectViewsMenu()
{
    connect(viewsMenu, &PopupMenu::activated, this, &olmWindow::view, Qt::UniqueConnection);
    connect(viewsMenu, &PopupMenu::activated, qgl, &QGLWindow::setView, Qt::UniqueConnection);
}

void olmWindow::makeDrsetPanel()
{
    drsetPanel = inBox(leftColumn, new DrsetWidget(leftColumn));
    for (const QString& typeName : qgl->drumBody->typeNames)
        drsetPanel->typeNames.append(typeName);
    for (std::size_t i = 0; i < drsetPanel->menuTypes.size(); ++i)
        drsetPanel->addChildMenu->insertItem(drsetPanel->typeNames.value(drsetPanel->menuTypes[i]),
                                             int(i));
}

void olmWindow::chgModeDrset()
{
    if (mode == 1)
        return;
    mode = 1;
    disconnectMode();
    qgl->hide();
    delete dreditor;
    dreditor = nullptr;
    dreditPanel->hide();
    delete spacer;
    spacer = nullptr;
    bottomBox->setFixedSize(800, 0);
    topBox->setFixedSize(800, 600);
    makeDrsetPanel();
    qgl->show();
    qgl->showHits = true;
    qgl->showDrummer = false;
    hitpointPanel = inBox(rightColumn, new HitpointWidget(rightColumn));
    drsetPanel->drumSet = dreditPanel->drumSet;
    connectDrsetEditor();
    drsetPanel->updateAll();
    hitpointPanel->updateAll();
    drsetPanel->show();
    hitpointPanel->show();
}

void olmWindow::chgModePatern()
{
    if (mode == 0)
        return;
    dreditPanel->drumSet = drsetPanel->drumSet;
    mode = 0;
    disconnectMode();
    delete drsetPanel;
    drsetPanel = nullptr;
    delete hitpointPanel;
    hitpointPanel = nullptr;
    topBox->setFixedSize(800, 400);
    bottomBox->setFixedSize(800, 200);
    dreditPanel->show();
    spacer = inBox(bottomBox, new QLabel(bottomBox));
    spacer->setFixedHeight(1);
    spacer->show();
    dreditor = inBox(bottomBox, new Dreditor(bottomBox));
    qgl->showHits = false;
    qgl->showDrummer = true;
    connectSongEditor();
    dreditPanel->updateAll();
    dreditor->show();
    dreditPanel->show();
    if (!firstTime) {
        dreditPanel->refreshTracks();
        // The view and the note parser take the handed-over kit together, so that the parser
        // never looks up a drum that the view lacks.
        emit dreditPanel->sendSet(&dreditPanel->drumSet);
        return;
    }
    firstTime = false;
    if (dreditPanel->drsetLoad(QString("Drumsets/default.set")) == -1) {
        Dialogs::about(this, "Switching to Drumset Editor",
                       "Cannot load file Drumsets/default.set");
        chgModeDrset();
    }
}

// The song editor's links in the order in which they are made: at each tick the song steps
// (and starts strokes) before the view animates; a stop stops the clock, then forgets the
// parser's notes, then rests the hands; a kit reaches the view before the note parser.
void olmWindow::connectSongEditor()
{
    DreditWidget* panel = dreditPanel;
    Dreditor* grid = dreditor;
    SoundEngine* sound = soundEngine;
    NoteParser* parser = noteParser;
    modeLinks = {
        connect(panel, &DreditWidget::addTrack, grid, &Dreditor::addTrack),
        connect(panel, &DreditWidget::clearTracks, grid, &Dreditor::clearTracks),
        connect(panel, &DreditWidget::sendSet, qgl, &QGLWindow::recvSet),
        connect(panel, &DreditWidget::soundClear, sound, &SoundEngine::soundClear),
        connect(panel, &DreditWidget::addSound, sound, &SoundEngine::addSound),
        connect(panel, &DreditWidget::refresh, grid, &Dreditor::refresh),
        connect(grid, &Dreditor::pressedSignal, panel, &DreditWidget::pressed),
        connect(panel, &DreditWidget::playSound, sound, &SoundEngine::play),
        connect(panel, &DreditWidget::playUISound, sound, &SoundEngine::playUI),
        connect(panel, &DreditWidget::setBeats, grid, &Dreditor::setBeats),
        connect(grid, &Dreditor::muteSignal, panel, &DreditWidget::mute),
        connect(grid, &Dreditor::soloSignal, panel, &DreditWidget::solo),
        connect(grid, &Dreditor::volSignal, panel, &DreditWidget::vol),
        connect(panel, &DreditWidget::setMuteSoloVol, grid, &Dreditor::setMuteSoloVol),
        connect(panel, &DreditWidget::startSignal, sound, &SoundEngine::start),
        connect(panel, &DreditWidget::stopSignal, sound, &SoundEngine::stop),
        connect(panel, &DreditWidget::bpmSignal, sound, &SoundEngine::setTempo),
        connect(sound, &SoundEngine::timerEvent, panel, &DreditWidget::nextBeat),
        connect(sound, &SoundEngine::timerEvent, qgl, &QGLWindow::timerSlot),
        connect(panel, &DreditWidget::sendSet, parser, &NoteParser::recvSet),
        connect(parser, &NoteParser::moveRightHand, qgl, &QGLWindow::moveRHand),
        connect(parser, &NoteParser::moveLeftHand, qgl, &QGLWindow::moveLHand),
        connect(parser, &NoteParser::playSound, sound, &SoundEngine::play),
        connect(panel, &DreditWidget::next, parser, &NoteParser::next),
        connect(panel, &DreditWidget::stopSignal, parser, &NoteParser::reset),
        connect(panel, &DreditWidget::stopSignal, qgl, &QGLWindow::stopSlot),
        // Sounds announced ahead start on their tick however late the GUI thread takes it up.
        connect(parser, &NoteParser::playSoundAhead, sound, &SoundEngine::playAhead),
        connect(parser, &NoteParser::cancelSoundsAhead, sound, &SoundEngine::cancelAhead),
        // The grid keeps its view within the length of the pattern shown.
        connect(panel, &DreditWidget::setLenght, grid, &Dreditor::setLenght),
    };
}

// The drum-set editor's links in the order in which they are made. The menu's two exist since
// the window was made (viewpoints are chosen in both editors); being unique, they add nothing
// here and leave nothing to undo.
void olmWindow::connectDrsetEditor()
{
    DrsetWidget* kit = drsetPanel;
    HitpointWidget* hits = hitpointPanel;
    SoundEngine* sound = soundEngine;
    modeLinks = {
        connect(viewsMenu, &PopupMenu::activated, this, &olmWindow::view, Qt::UniqueConnection),
        connect(viewsMenu, &PopupMenu::activated, qgl, &QGLWindow::setView, Qt::UniqueConnection),
        connect(kit, &DrsetWidget::sendSet, qgl, &QGLWindow::recvSet),
        connect(qgl, &QGLWindow::posSignalX, kit, &DrsetWidget::posX),
        connect(qgl, &QGLWindow::posSignalY, kit, &DrsetWidget::posY),
        connect(qgl, &QGLWindow::posSignalZ, kit, &DrsetWidget::posZ),
        connect(qgl, &QGLWindow::rotSignalX, kit, &DrsetWidget::rotX),
        connect(qgl, &QGLWindow::rotSignalY, kit, &DrsetWidget::rotY),
        connect(qgl, &QGLWindow::rotSignalZ, kit, &DrsetWidget::rotZ),
        connect(qgl, &QGLWindow::hitSignalX, hits, &HitpointWidget::posX),
        connect(qgl, &QGLWindow::hitSignalY, hits, &HitpointWidget::posY),
        connect(qgl, &QGLWindow::hitSignalZ, hits, &HitpointWidget::posZ),
        connect(hits, &HitpointWidget::paintBBox, qgl, &QGLWindow::paintBBox),
        connect(hits, &HitpointWidget::paintHits, qgl, &QGLWindow::paintHits),
        connect(hits, &HitpointWidget::paintRelate, qgl, &QGLWindow::paintRelate),
        connect(hits, &HitpointWidget::paintAxis, qgl, &QGLWindow::paintAxis),
        connect(hits, &HitpointWidget::paintDrummer, qgl, &QGLWindow::paintDrummer),
        connect(kit, &DrsetWidget::isDrum, hits, &HitpointWidget::isDrumSlot),
        connect(kit, &DrsetWidget::sendDrum, hits, &HitpointWidget::recvDrum),
        connect(hits, &HitpointWidget::sendDrum, kit, &DrsetWidget::recvDrum),
        connect(kit, &DrsetWidget::addSound, sound, &SoundEngine::addSound),
        connect(hits, &HitpointWidget::dynaAddSignal, sound, &SoundEngine::addSound),
        connect(hits, &HitpointWidget::dynaRemSignal, sound, &SoundEngine::removeSound),
        connect(kit, &DrsetWidget::removeSound, sound, &SoundEngine::removeSound),
        connect(hits, &HitpointWidget::updateSndIDs, kit, &DrsetWidget::updateLevels),
        connect(hits, &HitpointWidget::dynaReloadSignal, sound, &SoundEngine::reloadSound),
        connect(hits, &HitpointWidget::playSound, sound, &SoundEngine::play),
        connect(sound, &SoundEngine::sendID, hits, &HitpointWidget::recvSndID),
        connect(kit, &DrsetWidget::soundClear, sound, &SoundEngine::soundClear),
    };
}

// Undoes exactly the links the window made for the mode it leaves: what Qt or anyone else linked
// to the same objects (the accessibility cache's watch on their destruction, say) stays.
void olmWindow::disconnectMode()
{
    for (const QMetaObject::Connection& link : modeLinks)
        QObject::disconnect(link);
    modeLinks.clear();
}

void olmWindow::setIkItems(int first, const char* firstText, const char* secondText)
{
    itemOf(ikMenu, first)->setText(firstText);
    itemOf(ikMenu, first + 1)->setText(secondText);
}

void olmWindow::footIK()
{
    qgl->useFootIK = true;
    setIkItems(0, "* Use IK for foots", "Use simple rotation for foots");
}

void olmWindow::footRot()
{
    qgl->useFootIK = false;
    qgl->placed = false;
    setIkItems(0, "Use IK for foots", "* Use simple rotation for foots");
}

void olmWindow::rhandOri()
{
    qgl->useRHandOri = true;
    setIkItems(2, "* Count orientation for right hand", "Count only position for right hand");
}

void olmWindow::rhandOriN()
{
    qgl->useRHandOri = false;
    setIkItems(2, "Count orientation for right hand", "* Count only position for right hand");
}

void olmWindow::view(int id)
{
    const std::vector<Viewpoint*>& viewpoints = qgl->human->viewpoints;
    const int marked = qgl->markedView;
    if (QAction* item = itemOf(viewsMenu, marked); item && marked < int(viewpoints.size()))
        item->setText(viewpoints[std::size_t(marked)]->name);
    qgl->markedView = id;
    if (QAction* item = itemOf(viewsMenu, id))
        item->setText(mark + item->text());
}

void olmWindow::about()
{
    Dialogs::about(this, "Olmira", creditsText);
}

void olmWindow::aboutQt()
{
    Dialogs::aboutQt(this, "Olmira");
}

void olmWindow::controlls()
{
    Dialogs::about(this, "Controlls", controlsText);
}

void olmWindow::keyPressEvent(QKeyEvent*) {}

void olmWindow::timerEvent(QTimerEvent*) {}
