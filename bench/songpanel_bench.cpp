// Cost of redrawing a pattern in the beat grid (DreditWidget::refreshPat with the grid connected),
// which runs on the beat clock's tick when a playing song moves to its next pattern. Every cell
// is set, and each redraw shows the other of two patterns whose every cell differs; a redraw of
// the pattern already shown is measured too. Run it from the run folder.
#include "kit/bodytypes.h"
#include "songeditor/tests/gridwiring.h"
#include "songeditor/tests/testkit.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

struct Editor
{
    explicit Editor(int trackTotal)
    {
        wireGrid(panel, grid);
        panel.drumSet = testkit::makeKit(
            std::vector<testkit::Piece>(size_t(trackTotal), {BodyTypes::Tom8, "Tom middle", 0}));
        panel.refreshTracks();
        panel.patAddSlot();
        fill(panel.song.patterns[0], {100, 0.0f});
        fill(panel.song.patterns[1], {50, 0.333f});
        panel.show();
        grid.show();
    }

    static void fill(Pattern& pattern, Beat beat)
    {
        for (auto& track : pattern.cells)
            track.fill(beat);
    }

    DreditWidget panel;
    Dreditor grid;
};

void nextPattern(benchmark::State& state)
{
    Editor editor(int(state.range(0)));
    for (auto _ : state) {
        editor.panel.currentPattern = 1 - editor.panel.currentPattern;
        editor.panel.refreshPat();
        state.PauseTiming();
        QCoreApplication::processEvents(); // the repaints, between two ticks
        state.ResumeTiming();
    }
}
BENCHMARK(nextPattern)->Arg(13)->Arg(40)->Unit(benchmark::kMicrosecond);

void samePattern(benchmark::State& state)
{
    Editor editor(int(state.range(0)));
    for (auto _ : state)
        editor.panel.refreshPat();
}
BENCHMARK(samePattern)->Arg(13)->Arg(40)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
