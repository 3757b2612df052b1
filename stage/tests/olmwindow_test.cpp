// The main window as a person uses it: the menus and their accelerators, a pattern composed in
// the grid and played on the beat clock, the switch to the drum-set editor and back, songs saved
// and loaded. The sound layer is driven: the tests render it and deliver its ticks themselves.
#include "common/glformat.h"
#include "humanoid/human.h"
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "kiteditor/hitpointwidget.h"
#include "kiteditor/tests/drsetpanel.h"
#include "kiteditor/tests/hitpointpanel.h"
#include "playback/beattiming.h"
#include "playback/noteparser.h"
#include "playback/sample.h"
#include "playback/soundengine.h"
#include "playback/tests/drivenaudio.h"
#include "songeditor/beatline.h"
#include "songeditor/chanline.h"
#include "songeditor/dreditor.h"
#include "songeditor/dreditwidget.h"
#include "songeditor/songfile.h"
#include "stage/drummeranimation.h"
#include "stage/olmwindow.h"
#include "stage/qglwindow.h"
#include "testing/recordingdialogs.h"
#include "testing/testfiles.h"

#include <QAccessible>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSpinBox>
#include <cmath>
#include <functional>
#include <random>

namespace {

QStringList texts(const QWidget* menu)
{
    QStringList list;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            list << action->text();
    return list;
}

class MainWindow : public DrivenAudio
{
protected:
    using Moments = std::vector<std::pair<int, int>>; // tick, and a sound or a drum

    void SetUp() override
    {
        DrivenAudio::SetUp();
        open();
    }
    void TearDown() override
    {
        window.reset();
        DrivenAudio::TearDown();
    }

    void open()
    {
        window = std::make_unique<olmWindow>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QApplication::setActiveWindow(window.get());
        window->qgl->grabFramebuffer(); // GL is set up, as at the first paint
        keepGlDriverLoaded();
    }

    // Other programs on the test display may have taken the focus since.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), Qt::Key(key), modifiers);
    }
    QMenu* menu(const QString& title) const
    {
        for (QAction* action : window->menuBar()->actions())
            if (action->text() == title)
                return action->menu();
        return nullptr;
    }
    void choose(const QString& title, const QString& text) const
    {
        for (QAction* action : menu(title)->actions())
            if (action->text() == text)
                return action->trigger();
        ADD_FAILURE() << "no item " << qPrintable(text);
    }
    static void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // A new window, nothing recorded yet.
    void reopen()
    {
        window.reset();
        open();
        tickFrames.clear();
        takenUpAfter.clear();
        sticks.clear();
        sounded.clear();
        moves.clear();
        out.clear();
    }

    DreditWidget& panel() const { return *window->dreditPanel; }
    QGLWindow& view() const { return *window->qgl; }

    int track(const QString& name) const
    {
        for (std::size_t t = 0; t < panel().tracks.size(); ++t)
            if (hitpoint(*view().drumSet, int(t)).name == name)
                return int(t);
        return -1;
    }
    const Hitpoint& hitpoint(const DrumSet& kit, int track) const
    {
        const TrackRef& ref = panel().tracks.at(std::size_t(track));
        return *kit.allDrums.at(std::size_t(ref.drum))->hitpoints.at(std::size_t(ref.hitpoint));
    }
    // In the drum-set editor: the drum's row in the drum list.
    void selectDrum(int id)
    {
        DrsetWidget& kit = *window->drsetPanel;
        const auto row = std::find(kit.rowDrums.begin(), kit.rowDrums.end(), id);
        ASSERT_NE(row, kit.rowDrums.end());
        clickRow(kit, int(row - kit.rowDrums.begin()) + 1);
        ASSERT_EQ(kit.currentDrum, id);
    }
    int drumOfType(int type) const
    {
        const std::vector<Drum*>& drums = panel().drumSet.allDrums;
        return int(std::find_if(drums.begin(), drums.end(),
                                [type](const Drum* d) { return d->type == type; }) -
                   drums.begin());
    }
    void clickCell(int track, int cell)
    {
        click(window->dreditor->beatLines.at(std::size_t(track))->cells.at(std::size_t(cell)));
    }

    // A plain left drag in the view.
    void drag(int dx, int dy)
    {
        const QPoint from(100, 100), to(100 + dx, 100 + dy);
        const auto event = [this](QEvent::Type type, QPoint at, Qt::MouseButton button,
                                  Qt::MouseButtons held) {
            QMouseEvent e(type, at, view().mapToGlobal(at), button, held, Qt::NoModifier);
            QCoreApplication::sendEvent(&view(), &e);
        };
        event(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        event(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        event(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

    // Records after the window's own receivers of each tick where the sticks are, and what the
    // note parser asks for; and when the next tick is due, for playUntilTick.
    void listen()
    {
        SoundEngine* engine = window->soundEngine;
        SoundLayer& layer = engine->soundLayer();
        QObject::connect(&panel(), &DreditWidget::startSignal,
                         [this, &layer] { nextTickFrame = layer.renderedFrames(); });
        QObject::connect(engine, &SoundEngine::timerEvent, [this, engine, &layer] {
            tickFrames.push_back(layer.tickFrame());
            takenUpAfter.push_back(layer.renderedFrames() - layer.tickFrame());
            nextTickFrame = layer.tickFrame() + int64_t(0.25 / double(engine->speed) * rate);
            sticks.push_back({view().drummer().leftHand().stick()->position,
                              view().drummer().rightHand().stick()->position});
        });
        QObject::connect(window->noteParser, &NoteParser::playSound, [this](int sound, int) {
            sounded.push_back({ticks(), sound});
        });
        for (auto hand : {&NoteParser::moveRightHand, &NoteParser::moveLeftHand})
            QObject::connect(window->noteParser, hand, [this](int drum, int) {
                moves.push_back({ticks(), drum});
            });
    }
    int ticks() const { return int(tickFrames.size()); }
    // The GUI thread takes up each tick three blocks after it was found, later than the sound
    // layer's latency of two: only the sounds announced ahead can start on their ticks.
    void playUntilTick(int count)
    {
        SoundLayer& layer = window->soundEngine->soundLayer();
        while (ticks() < count) {
            do {
                const std::vector<float> next = render(layer, block, false);
                out.insert(out.end(), next.begin(), next.end());
            } while (layer.renderedFrames() < nextTickFrame + 3 * block);
            layer.dispatchTicks();
            ASSERT_LT(out.size(), std::size_t(rate) * 2 * 60) << "the clock does not tick";
        }
    }

    RecordingDialogs dialogs;
    std::unique_ptr<olmWindow> window;
    std::vector<int64_t> tickFrames, takenUpAfter;
    int64_t nextTickFrame = 0;
    std::vector<std::pair<ikPoint, ikPoint>> sticks;
    Moments sounded, moves;
    std::vector<float> out;
};

} // namespace

TEST_F(MainWindow, OpensInTheSongEditorOnTheDefaultKitWithItsMenus)
{
    EXPECT_EQ(window->windowTitle(), "Olmira");
    EXPECT_EQ(window->size(), QSize(800, 623));
    EXPECT_EQ(window->mode, 0);
    EXPECT_FALSE(window->drsetPanel || window->hitpointPanel);
    EXPECT_TRUE(panel().isVisible() && view().showDrummer && !view().showHits &&
                view().drummer().ready());
    EXPECT_EQ(view().mapTo(window.get(), QPoint(0, 0)), QPoint(200, 23));
    EXPECT_EQ(window->dreditor->mapTo(window.get(), QPoint(0, 0)), QPoint(0, 424));
    EXPECT_EQ(panel().drumSet.path, "Drumsets/default.set");
    EXPECT_EQ(view().drumSet->allDrums, panel().drumSet.allDrums);
    EXPECT_GT(panel().tracks.size(), 10u);
    EXPECT_EQ(window->dreditor->beatLines.size(), panel().tracks.size());

    EXPECT_EQ(texts(window->menuBar()),
              QStringList({"&File", "&Mode", "&Viewpoints", "&IK", "&Help"}));
    EXPECT_EQ(texts(menu("&Viewpoints")),
              QStringList({"+  Default", "Front", "Back", "From top", "From left", "From right"}));
    EXPECT_EQ(texts(menu("&Help")), QStringList({"&About", "About &Qt", "&Controlls"}));
    EXPECT_EQ(menu("&File")->actions()[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    EXPECT_EQ(menu("&Mode")->actions()[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(menu("&Mode")->actions()[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));

    press(Qt::Key_F1, Qt::NoModifier);
    choose("&Help", "&About");
    choose("&Help", "About &Qt");
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].caption, "Controlls");
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("CTRL+Q - quit\n\nLeft mouse -translate drum"));
    EXPECT_TRUE(dialogs.messages[0].text.endsWith("Left mouse+shift -translate view X and Y\n\n"));
    EXPECT_EQ(dialogs.messages[1].caption, "Olmira");
    EXPECT_EQ(dialogs.messages[2].kind, DialogSeam::Kind::AboutQt);
    for (const RecordingDialogs::Shown& shown : dialogs.messages)
        EXPECT_EQ(shown.parent, window.get());

    Dreditor* grid = window->dreditor;
    press(Qt::Key_S); // the active editor: nothing happens
    EXPECT_EQ(window->dreditor, grid);
}

TEST_F(MainWindow, IkAndViewpointItemsMoveTheirMarksAndSetTheView)
{
    const QStringList start = {"Use IK for foots", "* Use simple rotation for foots",
                               "Count orientation for right hand",
                               "* Count only position for right hand"};
    EXPECT_EQ(texts(menu("&IK")), start);
    for (const char* item :
         {"Use IK for foots", "* Use IK for foots", "Count orientation for right hand"})
        choose("&IK", item);
    EXPECT_TRUE(view().useFootIK && view().useRHandOri);
    EXPECT_EQ(
        texts(menu("&IK")),
        QStringList({"* Use IK for foots", "Use simple rotation for foots",
                     "* Count orientation for right hand", "Count only position for right hand"}));
    view().upkeep();
    ASSERT_TRUE(view().placed);
    for (const char* item : {"Use simple rotation for foots", "* Use simple rotation for foots",
                             "Count only position for right hand"})
        choose("&IK", item);
    EXPECT_FALSE(view().useFootIK || view().useRHandOri || view().placed);
    EXPECT_EQ(texts(menu("&IK")), start);

    // Viewpoints are chosen before any visit to the drum-set editor, and after visits.
    view().rotY = 30;
    choose("&Viewpoints", "From top");
    choose("&Viewpoints", "+  From top");
    EXPECT_EQ(view().viewpoint, view().human->viewpoints[3]);
    EXPECT_EQ(view().rotY, 0);
    EXPECT_EQ(texts(menu("&Viewpoints")),
              QStringList({"Default", "Front", "Back", "+  From top", "From left", "From right"}));
    for (int key : {Qt::Key_D, Qt::Key_S, Qt::Key_D})
        press(key);
    choose("&Viewpoints", "Back");
    EXPECT_EQ(view().viewpoint, view().human->viewpoints[2]);
    EXPECT_EQ(texts(menu("&Viewpoints")),
              QStringList({"Default", "Front", "+  Back", "From top", "From left", "From right"}));
}

// Kick, snare, hi-hat and tom, each alone in its step and fading before the next one: every
// sound can be seen starting in the output.
TEST_F(MainWindow, ComposedPatternSoundsOnItsTicksAndTheSticksReachTheHits)
{
    view().upkeep();
    listen();
    QTest::keyClick(panel().patLenSpin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(panel().patLenSpin, "16");
    QTest::keyClick(panel().patLenSpin, Qt::Key_Return);
    const QString notes[] = {"Kick right foot", "Snare middle", "Hi-hat top", "Tom12 middle"};
    for (int i = 0; i < 4; ++i)
        clickCell(track(notes[i]), 5 * i);
    render(window->soundEngine->soundLayer(), 3 * rate); // the auditions fade
    click(panel().playPatButton);
    playUntilTick(53);

    ASSERT_EQ(sounded.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        // A note of step k is sent on the step's first tick and sounds two steps later.
        const int tick = BeatTiming::ticksPerStep * 5 * i + BeatTiming::ticksToSound;
        const int t = track(notes[i]);
        EXPECT_EQ(sounded[std::size_t(i)].first, tick) << qPrintable(notes[i]);
        const auto& levels = hitpoint(panel().drumSet, t).levels;
        const auto level = std::find_if(levels.begin(), levels.end(), [&](const auto& l) {
            return l->sndID == sounded[std::size_t(i)].second;
        });
        ASSERT_NE(level, levels.end()) << qPrintable(notes[i]);

        const int64_t latency = window->soundEngine->soundLayer().latencyFrames();
        ASSERT_GT(takenUpAfter[std::size_t(tick)], latency) << "the GUI thread is late";
        const auto due = std::size_t(tickFrames[std::size_t(tick)] + latency - tickFrames[0]);
        constexpr std::size_t heard = 512;
        ASSERT_LT((due + heard) * 2, out.size());
        EXPECT_TRUE(
            std::all_of(&out[(due - 512) * 2], &out[due * 2], [](float v) { return v == 0; }))
            << qPrintable(notes[i]) << " sounds early";
        // From its frame on, the output is the recording at the note's volume.
        const auto recording = decodeSampleFile((*level)->file, rate);
        ASSERT_TRUE(recording && recording->frameCount() > int64_t(heard));
        const float volume = 2.0f * panel().velocity / 256;
        for (std::size_t k = 0; k < heard * 2; ++k)
            ASSERT_NEAR(out[due * 2 + k], recording->frames[k] * volume, 1e-6f)
                << qPrintable(notes[i]) << " is not heard from its tick on, frame " << k / 2;
        if (i == 0)
            continue; // the kick is the foot's
        // The stroke starts with the note, and its approach ends on the hit point in the tick
        // before the sound.
        EXPECT_TRUE(
            std::count(moves.begin(), moves.end(),
                       std::pair(tick - BeatTiming::strokeApproachTicks, panel().tracks[t].drum)));
        const Hitpoint& hit = hitpoint(*view().drumSet, t);
        const ikPoint at(hit.worldX, hit.worldY, hit.worldZ);
        const auto [left, right] = sticks[std::size_t(tick - 1)];
        EXPECT_LT(std::min(left.distance(at), right.distance(at)), 0.06) << qPrintable(notes[i]);
    }

    click(panel().stopButton);
    const DrummerAnimation& drummer = view().drummer();
    EXPECT_TRUE(drummer.handsIdle() && drummer.rightHand().idle() == 25 &&
                drummer.leftHand().idle() == 25);
    const int stoppedAt = ticks();
    render(window->soundEngine->soundLayer(), rate);
    EXPECT_EQ(ticks(), stoppedAt) << "a stopped clock does not tick";
}

TEST_F(MainWindow, DrumsetEditorEditsTheKitThatTheSongEditorGetsBack)
{
    const DrumSet songKit = panel().drumSet;
    Drum& ramp = **std::find_if(songKit.allDrums.begin(), songKit.allDrums.end(),
                                [](const Drum* d) { return d->type == BodyTypes::SnareRamp; });
    const float x = ramp.translation[0], y = ramp.translation[1];
    drag(20, 10);
    EXPECT_EQ(ramp.translation[0], x) << "no drum moves in the song editor";

    press(Qt::Key_D);
    ASSERT_EQ(window->mode, 1);
    DrsetWidget& kitPanel = *window->drsetPanel;
    EXPECT_FALSE(window->dreditor || panel().isVisible() || view().showDrummer);
    EXPECT_TRUE(kitPanel.isVisible() && window->hitpointPanel->isVisible() && view().showHits);
    EXPECT_EQ(window->hitpointPanel->mapTo(window.get(), QPoint(0, 0)), QPoint(200, 423));
    EXPECT_EQ(kitPanel.drumSet.allDrums, songKit.allDrums);
    EXPECT_EQ(view().drumSet->allDrums, songKit.allDrums);

    // A drag in the view moves the drum selected in the list; the snare ramp moves in x and z.
    selectDrum(ramp.id);
    drag(20, 10);
    EXPECT_NEAR(ramp.translation[0], x + 0.1f, 0.0101f);
    EXPECT_EQ(ramp.translation[1], y);
    EXPECT_FALSE(view().placed) << "the view took the moved kit";

    clickRow(kitPanel, 0);
    addChild(kitPanel, BodyTypes::SnareRamp);
    addChild(kitPanel, BodyTypes::Snare);
    const std::vector<Drum*> edited = kitPanel.drumSet.allDrums;
    ASSERT_EQ(edited.size(), songKit.allDrums.size() + 2);

    press(Qt::Key_S);
    ASSERT_EQ(window->mode, 0);
    EXPECT_FALSE(window->drsetPanel || window->hitpointPanel || view().showHits);
    EXPECT_TRUE(view().showDrummer);
    EXPECT_EQ(panel().drumSet.allDrums, edited);
    EXPECT_EQ(view().drumSet->allDrums, edited);
    EXPECT_EQ(window->dreditor->mapTo(window.get(), QPoint(0, 0)), QPoint(0, 424));
    ASSERT_EQ(window->dreditor->beatLines.size(), panel().tracks.size());
    const int newSnare = int(edited.size()) - 1;
    EXPECT_EQ(panel().tracks.back().drum, newSnare);

    // The clock still reaches the song panel, and a hand goes to the new snare.
    listen();
    clickCell(int(panel().tracks.size()) - 1, 0);
    click(panel().playPatButton);
    playUntilTick(7);
    EXPECT_EQ(moves, Moments({{0, newSnare}}));
}

TEST_F(MainWindow, SongsSaveWithTheirKitOrItsPathAndLoadBack)
{
    QTemporaryDir folder;
    const int snare = track("Snare middle");
    clickCell(snare, 3);
    for (int mode : {0, 1}) {
        const QString path = folder.filePath(QString("song%1").arg(mode));
        const QString kitPath = mode == 0 ? path + ".set" : panel().drumSet.path;
        dialogs.fileAnswers = {path, path + ".sng"};
        dialogs.questionAnswers = {mode};
        click(panel().songSaveButton);
        EXPECT_EQ(QFileInfo::exists(path + ".set"), mode == 0);
        click(panel().songNewButton);
        ASSERT_EQ(panel().song.patterns[0].cells[std::size_t(snare)][3].velocity, 0);
        const std::vector<Drum*> before = view().drumSet->allDrums;

        click(panel().songLoadButton);
        EXPECT_EQ(panel().song.patterns[0].cells[std::size_t(snare)][3].velocity, 100);
        EXPECT_EQ(window->dreditor->beatLines[std::size_t(snare)]->shownImage(3),
                  "Textures/beat5.bmp");
        EXPECT_EQ(panel().drumSet.path, kitPath);
        EXPECT_NE(view().drumSet->allDrums, before) << "the view took the song's kit";
        EXPECT_EQ(view().drumSet->allDrums, panel().drumSet.allDrums);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindow, WithoutTheDefaultKitItSaysSoAndOpensTheDrumsetEditor)
{
    window.reset();
    QTemporaryDir elsewhere;
    const QDir run = QDir::current();
    for (const QString& entry : run.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (entry != "Drumsets")
            ASSERT_TRUE(QFile::link(run.filePath(entry), elsewhere.filePath(entry)));
    QDir::setCurrent(elsewhere.path());
    open();
    QDir::setCurrent(run.path());

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, DialogSeam::Kind::About);
    EXPECT_EQ(dialogs.messages[0].parent, window.get());
    EXPECT_EQ(dialogs.messages[0].caption, "Switching to Drumset Editor");
    EXPECT_EQ(dialogs.messages[0].text, "Cannot load file Drumsets/default.set");
    EXPECT_EQ(window->mode, 1);
    EXPECT_TRUE(window->drsetPanel->isVisible() && window->drsetPanel->drumSet.allDrums.empty());
    EXPECT_FALSE(view().showDrummer);
}

// What a person does in one part of the window, and sees or hears where the window's links take
// it. Each case starts in a new window.
TEST_F(MainWindow, WhatAPersonDoesReachesWhereItIsSeenAndHeard)
{
    struct Case
    {
        const char* what;
        std::function<void()> act;
        std::function<void()> expectSeen;
    };
    const int snare = track("Snare middle");
    const int snareDrum = drumOfType(BodyTypes::Snare);
    std::size_t tracksBefore = 0;
    ikPoint hitBefore;
    const auto roomHit = [this, snareDrum] {
        const Hitpoint& hit = *view().drumSet->allDrums.at(std::size_t(snareDrum))->hitpoints[0];
        return ikPoint(hit.worldX, hit.worldY, hit.worldZ);
    };
    const Case cases[] = {
        {"the BPM box sets the clock's tempo",
         [&] {
             enter(panel().tempoSpin, 60);
             listen();
             click(panel().playPatButton);
             playUntilTick(4);
         },
         [&] { EXPECT_NEAR(double(tickFrames[3] - tickFrames[2]), 0.25 / 1.5 * rate, 16); }},
        {"after Stop and Play no note of the stopped song sounds",
         [&] {
             clickCell(snare, 3); // sounds at tick 15
             render(window->soundEngine->soundLayer(), 3 * rate);
             listen();
             click(panel().playPatButton);
             playUntilTick(11);
             click(panel().stopButton);
             click(panel().playPatButton);
             playUntilTick(ticks() + 12);
         },
         [&] { EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0; })); }},
        {"choosing a pattern of the same length shows its notes",
         [&] {
             click(panel().patAddButton);
             clickCell(snare, 2);
             ASSERT_EQ(panel().song.patterns[0].length, panel().song.patterns[1].length);
             ::choose(panel().patCombo, 0);
         },
         [&] {
             const BeatLine& line = *window->dreditor->beatLines[std::size_t(snare)];
             EXPECT_EQ(line.shownImage(2), line.shownImage(3));
             ::choose(panel().patCombo, 1);
             EXPECT_NE(line.shownImage(2), line.shownImage(3));
         }},
        {"a hit point added in its panel gets a track in the song editor",
         [&] {
             tracksBefore = panel().tracks.size();
             press(Qt::Key_D);
             selectDrum(snareDrum);
             click(window->hitpointPanel->hitAddButton);
             press(Qt::Key_S);
         },
         [&] {
             EXPECT_EQ(panel().tracks.size(), tracksBefore + 1);
             EXPECT_EQ(window->dreditor->beatLines.size(), tracksBefore + 1);
         }},
        {"a hit point moved in its panel moves where the view sends the sticks",
         [&] {
             press(Qt::Key_D);
             selectDrum(snareDrum);
             hitBefore = roomHit();
             QSpinBox* x = window->hitpointPanel->hitTranslateXSpin;
             enter(x, x->value() + 10);
         },
         [&] { EXPECT_NEAR(roomHit().distance(hitBefore), 0.10, 1e-3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (&c != cases)
            reopen();
        c.act();
        c.expectSeen();
    }
}

// A switch undoes only the links the window made: what others linked to the components stays,
// and the accessibility cache still learns that a panel of the left editor is gone.
TEST_F(MainWindow, ASwitchLeavesWhatOthersLinkedToTheComponents)
{
    QObject* const components[] = {&view(), window->soundEngine, window->noteParser, &panel()};
    int renamed = 0;
    for (QObject* component : components)
        QObject::connect(component, &QObject::objectNameChanged, [&renamed] { ++renamed; });
    std::vector<QAccessible::Id> panels;
    for (int round = 0; round < 2; ++round) {
        press(Qt::Key_D);
        for (QWidget* panel :
             std::initializer_list<QWidget*>{window->drsetPanel, window->hitpointPanel}) {
            QAccessibleInterface* known = QAccessible::queryAccessibleInterface(panel);
            ASSERT_NE(known, nullptr);
            panels.push_back(QAccessible::uniqueId(known));
        }
        press(Qt::Key_S);
    }
    for (QAccessible::Id panel : panels)
        EXPECT_EQ(QAccessible::accessibleInterface(panel), nullptr) << "a freed panel stays known";
    for (QObject* component : components)
        component->setObjectName(component->objectName() + " renamed");
    EXPECT_EQ(renamed, 4);

    // The window's own links are made once again: one stroke and one sound for one note.
    listen();
    clickCell(track("Snare middle"), 0);
    click(panel().playPatButton);
    playUntilTick(8);
    EXPECT_EQ(moves.size(), 1u);
    EXPECT_EQ(sounded.size(), 1u);
}

namespace {

QByteArray randomBytes(int count)
{
    std::mt19937 generator(27);
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(generator()));
    return bytes;
}

// Files picked by mistake. A song's numbers make a kit's header; counts no file holds make a
// song no song.
const struct
{
    const char* name;
    QByteArray content;
    bool song, kit; // refused as
} notSongsNorKits[] = {
    {"text", "Dear drummer,\nthe rehearsal moves to Friday.\n9 o'clock\n", true, true},
    {"empty", "", true, true},
    {"random bytes", randomBytes(4096), true, true},
    {"2,000,000,000 patterns", "0\n4\n112\n2000000000\n2\n0\n0\n0\n100\n0\n0\n100\n", true, true},
    {"999,999 tracks", "0\n4\n112\n4\n999999\n0\n0\n0\n100\n0\n0\n100\n16\n", true, false},
    {"a kit", "Rock\nMine\n1.0\n0\n0\n1\n0\n0\n1\n0\n0\n1\n0\n", true, false},
    {"a kit with a word", "Rock\nMine\n1.0\n0\n0\n1\n0\nnull\n1\n0\n0\n1\n0\n", false, true},
};

class FileRefusals : public MainWindow
{
protected:
    // All a person has: the song with its strips, the kit of the editor and of the view (the very
    // drums), and what every control and cell shows.
    QByteArray state() const
    {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        const DreditWidget& song = panel();
        SongFile::write(
            {1, song.drumSet.path, song.song, song.soloCount, song.muted, song.soloed, song.volume},
            out);
        const DrumSet* kits[] = {&song.drumSet, view().drumSet.get(),
                                 window->drsetPanel ? &window->drsetPanel->drumSet : nullptr};
        for (const DrumSet* kit : kits) {
            if (!kit)
                continue;
            DrumSetFile::write(*kit, out);
            for (const Drum* drum : kit->allDrums)
                out.write(QByteArray::number(quintptr(drum)) + "\n");
        }
        for (const QWidget* control : window->findChildren<QWidget*>())
            if (const QMetaProperty shown = control->metaObject()->userProperty(); shown.isValid())
                out.write(shown.read(control).toString().toUtf8() + "\n");
        for (const BeatLine* line : window->findChildren<BeatLine*>())
            for (int cell = 0; cell < BeatLine::cellCount; ++cell)
                out.write(line->shownImage(cell).toUtf8());
        return out.data();
    }

    void load(QAbstractButton* button, const QString& path)
    {
        dialogs.messages.clear();
        dialogs.fileAnswers = {path};
        click(button);
    }
    void expectRefused(QAbstractButton* button, const QString& path, const QString& caption)
    {
        const QByteArray before = state();
        load(button, path);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, caption);
        EXPECT_EQ(dialogs.messages[0].text, path);
        EXPECT_TRUE(state() == before) << "what the person had is changed";
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(FileRefusals, AFileThatIsNoSongOrKitIsRefusedAndChangesNothing)
{
    const int snare = track("Snare middle");
    clickCell(snare, 3);
    click(window->dreditor->chanLines.at(std::size_t(snare))->muteBox);
    click(panel().patAddButton);
    panel().patLenSpin->setValue(16);
    panel().tempoSpin->setValue(133);
    QSignalSpy soundsCleared(&panel(), &DreditWidget::soundClear);
    for (const auto& file : notSongsNorKits) {
        SCOPED_TRACE(file.name);
        const QString song = folder.filePath(QString(file.name) + ".sng");
        const QString kit = SongFile::kitBeside(song);
        writeFile(song, file.content);
        if (file.song)
            expectRefused(panel().songLoadButton, song, "Cannot load file!");
        writeFile(kit, file.content);
        if (file.kit)
            expectRefused(panel().drsetLoadButton, kit, "Cannot load file");
        if (file.song) // now beside a kit file
            expectRefused(panel().songLoadButton, song, "Cannot load file!");
    }
    EXPECT_EQ(soundsCleared.count(), 0) << "the kit's sounds stay loaded";

    // A song cut short, beside a file that is no kit: what it holds, on the kit there is.
    const std::vector<Drum*> kit = panel().drumSet.allDrums;
    const QString cut = folder.filePath("cut.sng");
    writeFile(cut, "0\n4\n97\n1\n2\n0\n0\n0\n100\n0\n0\n100\n16\n100\n0\n0\n");
    writeFile(folder.filePath("cut.set"), randomBytes(4096));
    load(panel().songLoadButton, cut);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Switching to Drumset Editor");
    EXPECT_EQ(dialogs.messages[0].text, "Cannot load file " + folder.filePath("cut.set"));
    EXPECT_EQ(panel().tempoSpin->value(), 97);
    EXPECT_EQ(panel().song.patterns.at(0).cells.at(0).at(0).velocity, 100);
    EXPECT_TRUE(panel().drumSet.allDrums == kit && view().drumSet->allDrums == kit);

    press(Qt::Key_D);
    ASSERT_EQ(window->mode, 1);
    for (const auto& file : notSongsNorKits) {
        SCOPED_TRACE(file.name);
        if (file.kit)
            expectRefused(window->drsetPanel->drsetLoadButton,
                          folder.filePath(QString(file.name) + ".set"), "Cannot load file");
    }
    // A kit cut short in its first drum is what it holds.
    const QString cutKit = folder.filePath("cut kit.set");
    writeFile(cutKit, readAll("Drumsets/default.set").left(200));
    load(window->drsetPanel->drsetLoadButton, cutKit);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(view().drumSet->allDrums.size(), 1u);
}
