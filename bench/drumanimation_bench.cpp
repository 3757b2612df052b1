// Cost of the per-tick work on a full kit: the motion steps of every drum and one note-parser
// step, with the heap allocations they make per call (expected: none).
#include "kit/bodytypes.h"
#include "kit/drumset.h"
#include "playback/noteparser.h"

#include "bench/allocationcounter.h"

#include <benchmark/benchmark.h>

namespace {

// Every body type once, each with its preset hit points, as a kit of root drums: a drum's index
// is its type.
DrumSet fullKit()
{
    DrumSet kit;
    for (int type = 0; type < BodyTypes::count; ++type) {
        auto* drum = new Drum;
        drum->type = type;
        drum->id = type;
        drum->setupType();
        drum->addDefaultHitpoints();
        kit.addRootDrum(drum);
    }
    return kit;
}

Event note(const DrumSet& kit, int drum, int velocity)
{
    return Event{drum, 0, velocity, 0, kit.allDrums[size_t(drum)]->priority};
}

void reportAllocations(benchmark::State& state, long before)
{
    state.counters["allocs/iter"] =
        benchmark::Counter(double(allocationCount() - before) / double(state.iterations()));
}

void BM_KitMotionStep(benchmark::State& state)
{
    DrumSet kit = fullKit();
    int velocity = 1;
    const long before = allocationCount();
    for (auto _ : state) {
        for (Drum* drum : kit.allDrums) {
            if (drum->frames == 0)
                drum->hit(velocity, drum->hitpoints.empty() ? 0 : drum->hitpoints[0]->hitType);
            drum->animatePedal();
            drum->animateSwing();
        }
        velocity = velocity % 127 + 1;
        benchmark::DoNotOptimize(kit.allDrums[BodyTypes::Crash16]->swing);
    }
    reportAllocations(state, before);
}
BENCHMARK(BM_KitMotionStep);

void BM_NoteParserStep(benchmark::State& state)
{
    DrumSet kit = fullKit();
    NoteParser parser;
    parser.recvSet(&kit);
    long sink = 0;
    QObject::connect(&parser, &NoteParser::moveRightHand, [&](int d, int h) { sink += d + h; });
    QObject::connect(&parser, &NoteParser::moveLeftHand, [&](int d, int h) { sink += d + h; });
    QObject::connect(&parser, &NoteParser::playSound, [&](int id, int v) { sink += id + v; });
    const Event none;
    using namespace BodyTypes;
    const Event snare = note(kit, Snare, 90), crash = note(kit, Crash16, 100);
    const Event hihat = note(kit, HiHat, 70), pedal = note(kit, HiHatStand, 80);
    const Event kick = note(kit, Kick, 110);
    int step = 0;
    const long before = allocationCount();
    for (auto _ : state) {
        switch (step++ % 4) {
        case 0:
            parser.next(crash, snare, none, kick);
            break;
        case 1:
            parser.next(none, hihat, pedal, none);
            break;
        case 2:
            parser.next(none, snare, none, kick);
            break;
        default:
            parser.next(none, hihat, none, none);
            break;
        }
    }
    reportAllocations(state, before);
    benchmark::DoNotOptimize(sink);
}
BENCHMARK(BM_NoteParserStep);

} // namespace

BENCHMARK_MAIN();
