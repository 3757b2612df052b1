#include "kinematics/iksolve.h"
#include "kinematics/tests/humanoidtree.h"

#include "bench/allocationcounter.h"

#include <benchmark/benchmark.h>

namespace {

ikDestination at(double x, double y, double z)
{
    ikDestination destination;
    destination.position = ikPoint(x, y, z);
    return destination;
}

// Allocations made by the sweeps of one run, apart from those made when it starts.
long allocationsPerSweep(HumanoidTree& human, ikNode* effector, ikJoint* base,
                         const ikDestination& goal)
{
    ikIteration run(human.root.get(), effector, base, goal, human.frame.world);
    const long before = allocationCount();
    for (int i = 0; i < 12; ++i)
        run.iterate();
    return (allocationCount() - before) / 12;
}

// The right stick going back and forth between two drums in steps of a sixth of the way, one
// solve per step with the stage view's hand tolerances, each starting where the last ended.
void HandStroke(benchmark::State& state)
{
    HumanoidTree human;
    ikNode* stick = human.joint("r_stick");
    ikJoint* shoulder = human.joint("r_shoulder");
    const ikPoint drums[2] = {ikPoint(0.1, 0.75, -0.45), ikPoint(0.4, 0.85, -0.3)};
    std::vector<ikDestination> steps;
    for (int stroke = 0; stroke < 2; ++stroke) {
        const ikPoint& from = drums[stroke];
        const ikPoint& to = drums[1 - stroke];
        for (int s = 8; s >= 3; --s) {
            const double f = (s - 3) / 6.0;
            steps.push_back(at(to.x - (to.x - from.x) * f, to.y - (to.y - from.y) * f,
                               to.z - (to.z - from.z) * f));
        }
    }
    for (int i = 0; i < 10; ++i)
        human.frame.solve(stick, shoulder, steps.front(), 0.05, 0.3);

    std::size_t next = 0;
    long sweeps = 0;
    for (auto _ : state) {
        human.frame.solve(stick, shoulder, steps[next], 0.05, 0.3);
        sweeps += stick->posErrCount;
        next = (next + 1) % steps.size();
    }
    const long before = allocationCount();
    human.frame.solve(stick, shoulder, steps[next], 0.05, 0.3);
    state.counters["allocsPerSolve"] = double(allocationCount() - before);
    state.counters["allocsPerSweep"] =
        double(allocationsPerSweep(human, stick, shoulder, steps[next]));
    state.counters["sweepsPerSolve"] = double(sweeps) / double(state.iterations());
}
BENCHMARK(HandStroke);

// The first placement of the right stick with the hips as base: twelve joints on the chain, the
// hips reversed, and a tolerance of 0 so that every solve makes all twelve sweeps.
void HipPlacement(benchmark::State& state)
{
    HumanoidTree human;
    ikNode* stick = human.joint("r_stick");
    ikJoint* hips = human.joint("sacroiliac");
    const ikDestination goals[2] = {at(0.2, 1.0, -0.5), at(-0.1, 0.8, -0.4)};
    int next = 0;
    long sweeps = 0;
    for (auto _ : state) {
        human.frame.solve(stick, hips, goals[next], 0, 0.3);
        sweeps += stick->posErrCount;
        next = 1 - next;
    }
    const long before = allocationCount();
    human.frame.solve(stick, hips, goals[next], 0, 0.3);
    state.counters["allocsPerSolve"] = double(allocationCount() - before);
    state.counters["allocsPerSweep"] = double(allocationsPerSweep(human, stick, hips, goals[0]));
    state.counters["sweepsPerSolve"] = double(sweeps) / double(state.iterations());
}
BENCHMARK(HipPlacement);

} // namespace

BENCHMARK_MAIN();
