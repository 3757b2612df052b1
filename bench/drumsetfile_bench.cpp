// Cost of loading and saving kits: a large real kit, and the worst a hostile file can make the
// reader build (the most objects per byte, at the largest size read), with the heap it holds.
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

const QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// Forty stands, each carrying a drum with its preset hit points and three velocity layers.
QString writeLargeKit()
{
    DrumSet kit;
    for (int i = 0; i < 40; ++i) {
        auto* stand = new Drum();
        stand->type = BodyTypes::CrashRampBottom;
        stand->id = int(kit.allDrums.size());
        stand->setupType();
        kit.addRootDrum(stand);
        auto* drum = new Drum();
        drum->type = BodyTypes::Snare + i % (BodyTypes::HiHat - BodyTypes::Snare + 1);
        drum->id = int(kit.allDrums.size());
        drum->setupType();
        drum->addDefaultHitpoints();
        kit.addDrum(drum);
        stand->addChild(drum);
        for (const auto& hitpoint : drum->hitpoints) {
            hitpoint->addDynaLevel("", -1, 90, 40);
            hitpoint->addDynaLevel("", -1, 39, 1);
        }
    }
    const QString path = folder().filePath("large.set");
    DrumSetFile::write(kit, path);
    return path;
}

// One hit point per two bytes: every value but the name is missing, so each record takes a line.
QString writeHostileFile()
{
    QByteArray text =
        "k\ni\nv\n0\n0\n1\n0\n0\n1\n0\n0\n1\n1\n0\n0\n0d\n0\n0\n1\n0\n0\n1\n0\n0\n1\n";
    text += "2000000\n";
    text += QByteArray("a\n").repeated(2 * 1024 * 1024);
    const QString path = folder().filePath("hostile.set");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    return path;
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}

void readKit(benchmark::State& state, const QString& path)
{
    size_t held = 0, drums = 0;
    for (auto _ : state) {
        const size_t before = heapInUse();
        int sounds = 0, ids = 0;
        DrumSet kit;
        DrumSetReader reader(path, sounds, ids, [](const QString&) {});
        reader.read(kit);
        held = heapInUse() - before;
        drums = kit.allDrums.size();
        benchmark::DoNotOptimize(kit);
    }
    state.counters["heap MB"] = double(held) / 1e6;
    state.counters["drums"] = double(drums);
    state.counters["file kB"] = double(QFile(path).size()) / 1e3;
}

void BM_ReadLargeKit(benchmark::State& state)
{
    readKit(state, writeLargeKit());
}
BENCHMARK(BM_ReadLargeKit)->Unit(benchmark::kMicrosecond);

void BM_ReadHostileFile(benchmark::State& state)
{
    readKit(state, writeHostileFile());
}
BENCHMARK(BM_ReadHostileFile)->Unit(benchmark::kMillisecond);

void BM_WriteLargeKit(benchmark::State& state)
{
    int sounds = 0, ids = 0;
    DrumSet kit;
    DrumSetReader(writeLargeKit(), sounds, ids, [](const QString&) {}).read(kit);
    const QString path = folder().filePath("again.set");
    for (auto _ : state)
        benchmark::DoNotOptimize(DrumSetFile::write(kit, path));
}
BENCHMARK(BM_WriteLargeKit)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
