// Cost of the stage view's redraw (paintGL, every 25 ms) and of one beat tick with both hands in
// a stroke and the feet placed by inverse kinematics: the most a tick can cost. Run it under
// xvfb-run from the run folder.
#include "common/glformat.h"
#include "kit/bodytypes.h"
#include "stage/tests/stagerig.h"

#include <GL/gl.h>
#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

StageRig* rig = nullptr;

void redraw(benchmark::State& state)
{
    rig->view.makeCurrent();
    for (auto _ : state) {
        rig->view.paintGL();
        glFinish();
    }
}
BENCHMARK(redraw)->Unit(benchmark::kMillisecond);

// A new stroke for each hand every eight ticks keeps both hands moving in every tick.
void beatTick(benchmark::State& state)
{
    QGLWindow& view = rig->view;
    const int right[2] = {rig->drumOfType(BodyTypes::Snare), rig->drumOfType(BodyTypes::FloorTom)};
    const int hihat = rig->drumOfType(BodyTypes::HiHat);
    view.useFootIK = true;
    int tick = 0;
    for (auto _ : state) {
        if (tick % 8 == 0) {
            view.moveRHand(right[(tick / 8) % 2], 0);
            view.moveLHand(hihat, 1);
        }
        view.timerSlot();
        ++tick;
    }
    view.useFootIK = false;
}
BENCHMARK(beatTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setDefaultGlFormat();
    QApplication app(argc, argv);
    StageRig stage;
    stage.open();
    stage.place();
    rig = &stage;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
