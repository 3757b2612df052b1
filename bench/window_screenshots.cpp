// Pictures of the whole window as a person sees it: the song editor while the drummer plays a
// demo song, seen from the front, and the drum-set editor with a drum selected. The beat clock is
// driven here, tick by tick. Run it under xvfb-run from the run folder; the PNG files go to the
// folder given as the first argument (the build's "screenshots" folder by default).
#include "bench/screenshotfolder.h"
#include "common/glformat.h"
#include "common/popupmenu.h"
#include "kiteditor/tests/drsetpanel.h"
#include "playback/soundengine.h"
#include "songeditor/dreditwidget.h"
#include "stage/olmwindow.h"
#include "stage/qglwindow.h"
#include "testing/recordingdialogs.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>

namespace {

void choose(olmWindow& window, const QString& menu, const QString& item)
{
    for (QAction* title : window.menuBar()->actions())
        if (title->text() == menu)
            for (QAction* action : title->menu()->actions())
                if (action->text() == item)
                    action->trigger();
}

// Renders the clock's output until it has ticked that many more times; between ticks the view's
// 20 ms upkeep runs as often as it would in real time.
void playTicks(olmWindow& window, int ticks)
{
    SoundLayer& layer = window.soundEngine->soundLayer();
    int ticked = 0;
    const QMetaObject::Connection counting =
        QObject::connect(window.soundEngine, &SoundEngine::timerEvent, [&ticked, &window] {
            ++ticked;
            for (int i = 0; i < 4; ++i)
                window.qgl->upkeep();
        });
    std::vector<float> block(512 * 2);
    while (ticked < ticks) {
        layer.render(block.data(), 512);
        layer.dispatchTicks();
    }
    QObject::disconnect(counting);
}

// Selects the drum of that name in the drum-set panel's list, as a person finds it there.
void selectDrum(DrsetWidget& panel, const QString& name)
{
    const QList<QListWidgetItem*> rows = panel.drumList->findItems(name, Qt::MatchEndsWith);
    if (!rows.isEmpty())
        clickRow(panel, panel.drumList->row(rows.front()));
}

} // namespace

int main(int argc, char** argv)
{
    QDir dir;
    if (!screenshotFolder(argc, argv, dir))
        return 1;
    qputenv("OLMIRA_AUDIO", "driven");
    setDefaultGlFormat();
    QApplication app(argc, argv);
    RecordingDialogs dialogs;
    dialogs.fileAnswers.push_back("Songs/rock.sng");

    olmWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.dreditPanel->songLoadButton->click();
    choose(window, "&Viewpoints", "Back");
    window.qgl->upkeep();
    window.dreditPanel->playSongButton->click();
    // Pattern 1, in the middle of its fourth step: the sticks on their way down.
    playTicks(window, 3 * 35 + 4);
    bool ok = save(window.grab().toImage(), dir, "window_song_editor.png");

    window.dreditPanel->stopButton->click();
    choose(window, "&Mode", "&Drumset editor");
    choose(window, "&Viewpoints", "Default");
    selectDrum(*window.drsetPanel, "Snare drum 16");
    ok &= save(window.grab().toImage(), dir, "window_drumset_editor.png");
    return ok ? 0 : 1;
}
