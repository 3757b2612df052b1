// Plays a steady pattern of kit sounds on the real beat clock at 120 bpm for 20 s through the
// silent output, in real time, while the GUI thread is kept busy; each sound is announced two
// steps ahead, as the song editor's are. Then it finds the hits in the recording and prints how
// far they stray from the beat grid and how long after their tick they sound. Run from anywhere; it
// works in the run folder. Optional arguments: the WAV to write,
// --busy N (processes spinning meanwhile), --stall MS (the GUI thread blocked once a second).
#include "bench/machineload.h"
#include "bench/onsets.h"
#include "playback/soundengine.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int bpm = 120;
constexpr int seconds = 20;
constexpr int ticksPerStep = 3;
constexpr int busyEveryMs = 25; // like the view's redraw timer
constexpr int busyForMs = 10;

struct Hit
{
    int64_t tick;
    int64_t due;
    int64_t headroom; // frames between the GUI's answer and the sound being due
};

double ms(double frames, int rate)
{
    return frames * 1000.0 / rate;
}

void print(const char* what, const Onsets::Stats& stats)
{
    std::printf("%-28s median %.3f ms  p99 %.3f ms  max %.3f ms\n", what, stats.median, stats.p99,
                stats.max);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const MachineLoad::Options load = MachineLoad::take(arguments);
    const QString recording =
        QDir::current().absoluteFilePath(arguments.value(0, "sound_bench.wav"));
    qputenv("OLMIRA_AUDIO", ("silent:" + recording).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const MachineLoad::BusyProcesses busyProcesses(load.busyProcesses);
    QApplication app(argc, argv);
    QDir::setCurrent(OLMIRA_RUN_DIR);
    const MachineLoad::GuiStalls stalls(load.stallMs);

    std::vector<Hit> hits;
    int rate = 0;
    int latency = 0;
    {
        SoundEngine engine;
        SoundLayer& layer = engine.soundLayer();
        rate = layer.rate();
        latency = layer.latencyFrames();
        const int pattern[] = {engine.addSound("Sounds/kit/kick.wav"),
                               engine.addSound("Sounds/kit/hihat_closed.wav"),
                               engine.addSound("Sounds/kit/snare.wav"),
                               engine.addSound("Sounds/kit/hihat_closed.wav")};
        int tick = 0;
        QObject::connect(&engine, &SoundEngine::timerEvent, [&] {
            if (tick++ % ticksPerStep != 0)
                return;
            const int step = tick / ticksPerStep;
            const auto velocity = [](int step) { return 100 + step % 3 * 10; };
            // Known two steps ahead, as the note parser knows its notes: handed over now. As in a
            // song, the first two steps have nothing to play.
            engine.playAhead(pattern[(step + 2) % 4], velocity(step + 2), 2 * ticksPerStep);
            if (step < 2)
                return;
            engine.play(pattern[step % 4], velocity(step));
            const int64_t due = layer.tickFrame() + latency;
            // What the audio thread has already rendered; the sound is late if it passed `due`.
            hits.push_back({layer.tickFrame(), due, due - layer.renderedFrames()});
        });
        QTimer busy;
        QObject::connect(&busy, &QTimer::timeout, [] {
            QElapsedTimer spin;
            spin.start();
            while (spin.elapsed() < busyForMs) {
            }
        });
        busy.start(busyEveryMs);
        engine.setTempo(bpm);
        engine.start();
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
        app.exec();
        engine.stop();
    }

    const std::vector<float> mono = Onsets::readMono(recording, rate);
    const std::vector<double> onsets = Onsets::detect(mono, rate);
    const double period = 0.25 / (bpm * 3.0 / 120.0) * ticksPerStep * rate;
    std::vector<double> grid = Onsets::fromGrid(onsets, period);
    for (double& d : grid)
        d = ms(d, rate);
    std::vector<double> due, ticks;
    for (const Hit& hit : hits) {
        due.push_back(double(hit.due));
        ticks.push_back(double(hit.tick));
    }
    // Each onset against the nearest tick (and frame it was due at), so that a hit the detector
    // misses under the tail of another does not count as a step late.
    std::vector<double> fromTick = Onsets::fromExpected(ticks, onsets);
    std::vector<double> fromDue = Onsets::fromExpected(due, onsets);
    for (double& d : fromTick)
        d = ms(d, rate);
    for (double& d : fromDue)
        d = ms(d, rate);
    const auto tightest = std::min_element(
        hits.begin(), hits.end(), [](auto& a, auto& b) { return a.headroom < b.headroom; });

    std::printf("recording %s: %.2f s, %zu hits played, %zu onsets found\n", qPrintable(recording),
                double(mono.size()) / rate, hits.size(), onsets.size());
    print("onset deviation from grid", Onsets::absoluteStats(grid));
    print("onset from scheduled frame", Onsets::absoluteStats(fromDue));
    const Onsets::Stats latencyStats = Onsets::absoluteStats(fromTick);
    print("tick-to-sound latency", latencyStats);
    std::printf("scheduled latency %.3f ms; tightest GUI answer %.3f ms before the sound "
                "(negative: after)\n",
                ms(latency, rate), tightest == hits.end() ? 0.0 : ms(tightest->headroom, rate));
    std::printf("%s onset_p99_ms=%.3f latency_ms=%.3f\n", qPrintable(MachineLoad::describe(load)),
                Onsets::absoluteStats(grid).p99, latencyStats.max);
    return onsets.empty() ? 1 : 0;
}
