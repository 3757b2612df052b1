// The whole window playing a demo song in real time, as a person plays it: the work that each
// beat-clock tick does on the GUI thread (the song panel's step, the note parser, the view's
// animation step and, where a pattern ends, the grid's redraw), then the hits in the silent
// output's recording against the step grid. Run it under xvfb-run from the run folder.
// Arguments, all optional: the seconds to play (60), the song ("Songs/rock.sng"), the WAV file to
// write ("window_bench.wav").
#include "bench/onsets.h"
#include "common/glformat.h"
#include "playback/noteparser.h"
#include "playback/soundengine.h"
#include "songeditor/dreditwidget.h"
#include "stage/olmwindow.h"
#include "stage/qglwindow.h"
#include "testing/recordingdialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

namespace {

struct TickCosts
{
    std::vector<double> all; // milliseconds
    std::vector<double> patternChanges;
    // How long after its frame was rendered the GUI thread took up the tick: a sound the tick
    // starts is late by what this exceeds the layer's latency.
    std::vector<double> takenUpAfter;
};

// The window's tick receivers in the window's order, with a stopwatch around them.
void timeTicks(olmWindow& window, TickCosts& costs)
{
    SoundEngine* engine = window.soundEngine;
    DreditWidget* panel = window.dreditPanel;
    auto clock = std::make_shared<QElapsedTimer>();
    auto pattern = std::make_shared<int>();
    QObject::disconnect(engine, &SoundEngine::timerEvent, nullptr, nullptr);
    SoundLayer& layer = engine->soundLayer();
    QObject::connect(engine, &SoundEngine::timerEvent, [clock, pattern, panel, &layer, &costs] {
        *pattern = panel->currentPattern;
        costs.takenUpAfter.push_back(double(layer.renderedFrames() - layer.tickFrame()) * 1000.0 /
                                     layer.rate());
        clock->start();
    });
    QObject::connect(engine, &SoundEngine::timerEvent, panel, &DreditWidget::nextBeat);
    QObject::connect(engine, &SoundEngine::timerEvent, window.qgl, &QGLWindow::timerSlot);
    QObject::connect(engine, &SoundEngine::timerEvent, [clock, pattern, panel, &costs] {
        const double ms = double(clock->nsecsElapsed()) / 1e6;
        costs.all.push_back(ms);
        if (panel->currentPattern != *pattern)
            costs.patternChanges.push_back(ms);
    });
}

void print(const char* what, const std::vector<double>& ms)
{
    const Onsets::Stats stats = Onsets::absoluteStats(ms);
    std::printf("%s: %zu ticks, p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", what, ms.size(),
                stats.median, stats.p99, stats.max);
}

} // namespace

int main(int argc, char** argv)
{
    const double seconds = argc > 1 ? std::atof(argv[1]) : 60;
    const QString song = argc > 2 ? argv[2] : "Songs/rock.sng";
    const QString recording = Onsets::recordSilentlyInto(argc > 3 ? argv[3] : "window_bench.wav");
    setDefaultGlFormat();
    QApplication app(argc, argv);
    RecordingDialogs dialogs;
    dialogs.fileAnswers.push_back(song);

    TickCosts costs;
    std::vector<double> requestTicks;
    int rate = 0, latency = 0, bpm = 0;
    {
        olmWindow window;
        window.show();
        window.dreditPanel->songLoadButton->click();
        bpm = window.dreditPanel->bpm;
        SoundLayer& layer = window.soundEngine->soundLayer();
        rate = layer.rate();
        latency = layer.latencyFrames();
        timeTicks(window, costs);
        QObject::connect(window.noteParser, &NoteParser::playSound,
                         [&] { requestTicks.push_back(double(layer.tickFrame())); });
        std::printf("%s at %d bpm for %.0f s\n", qPrintable(song), bpm, seconds);
        window.dreditPanel->playSongButton->click();
        QTimer::singleShot(int(seconds * 1000), window.dreditPanel, &DreditWidget::stopSlot);
        QTimer::singleShot(int(seconds * 1000) + 500, &app, &QCoreApplication::quit);
        app.exec();
    }

    print("tick work", costs.all);
    print("tick work at a pattern change", costs.patternChanges);
    print("tick taken up after its frame was rendered", costs.takenUpAfter);
    std::printf("latency %.3f ms\n", latency * 1000.0 / rate);
    return Onsets::report(recording, rate, latency, requestTicks, bpm, "window") == 0 ? 1 : 0;
}
