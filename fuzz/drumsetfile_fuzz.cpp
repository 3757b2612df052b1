#include "kit/drumsetfile.h"

#include <QBuffer>
#include <cstdint>
#include <vector>

namespace {

// Where the input pretends to lie: its sounds would be read from "/fuzz/input Sounds".
const QString inputPath = "/fuzz/input.set";

// Touches every value so that anything read from freed or missing memory is caught, and lists
// the tree's shape: per drum in file order its hit points' level counts and its child count.
void walk(const Drum& drum, std::vector<int>& shape, unsigned& sum)
{
    sum += unsigned(drum.type) + unsigned(drum.id) + unsigned(drum.priority) +
           unsigned(drum.name.size());
    shape.push_back(int(drum.hitpoints.size()));
    for (const auto& hitpoint : drum.hitpoints) {
        sum += unsigned(hitpoint->hitType) + unsigned(hitpoint->veloToVol) +
               unsigned(hitpoint->name.size());
        shape.push_back(int(hitpoint->levels.size()));
        for (const auto& level : hitpoint->levels)
            sum += unsigned(level->sndID) + unsigned(level->minVelo) + unsigned(level->maxVelo) +
                   unsigned(level->file.size());
    }
    shape.push_back(int(drum.children.size()));
    for (const Node* child : drum.children)
        walk(static_cast<const Drum&>(*child), shape, sum);
}

struct Read
{
    DrumSet kit;
    std::vector<int> shape;
    int sounds = 0;
};

Read read(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Read result;
    int drumCounter = 0, announced = 0;
    DrumSetReader reader(buffer, inputPath, result.sounds, drumCounter,
                         [&](const QString&) { ++announced; });
    reader.read(result.kit);
    if (announced != result.sounds || drumCounter != int(result.kit.allDrums.size()))
        __builtin_trap();
    unsigned sum = 0;
    for (const auto& drum : result.kit.rootDrums)
        walk(*drum, result.shape, sum);
    (void)sum;
    return result;
}

QByteArray written(const DrumSet& kit)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!DrumSetFile::write(kit, buffer))
        __builtin_trap();
    return buffer.data();
}

} // namespace

// Whatever was read is written again, and reading that gives a kit of the same shape. Every
// record takes at least a byte, and writing adds at most the default level of each empty hit
// point: from an input this small the kit read again stays within the reader's record limit.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const Read first =
        read(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)));
    if (size > 32768)
        return 0;
    const Read again = read(written(first.kit));
    if (again.shape != first.shape || again.sounds != first.sounds)
        __builtin_trap();
    return 0;
}
