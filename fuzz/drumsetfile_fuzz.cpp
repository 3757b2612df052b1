#include "fuzz/inputfile.h"
#include "kit/drumsetfile.h"

#include <QDir>
#include <QFileInfo>
#include <cstdint>

namespace {

// Touches every value so that anything read from freed or missing memory is caught.
unsigned checksum(const Drum& drum)
{
    unsigned sum = unsigned(drum.type) + unsigned(drum.id) + unsigned(drum.priority) +
                   unsigned(drum.name.size());
    for (const auto& hitpoint : drum.hitpoints) {
        sum += unsigned(hitpoint->hitType) + unsigned(hitpoint->veloToVol) +
               unsigned(hitpoint->name.size());
        for (const auto& level : hitpoint->levels)
            sum += unsigned(level->sndID) + unsigned(level->minVelo) + unsigned(level->maxVelo) +
                   unsigned(level->file.size());
    }
    for (const Node* child : drum.children)
        sum += checksum(static_cast<const Drum&>(*child));
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QString path = writeFuzzInput("input.set", bytes, size);
    if (path.isEmpty())
        return 0;
    int soundCounter = 0, drumCounter = 0, announced = 0;
    DrumSet kit;
    DrumSetReader reader(path, soundCounter, drumCounter, [&](const QString&) { ++announced; });
    reader.read(kit);
    if (announced != soundCounter || drumCounter != int(kit.allDrums.size()))
        __builtin_trap();
    unsigned sum = 0;
    for (const auto& drum : kit.rootDrums)
        sum += checksum(*drum);
    (void)sum;
    // Whatever was read can be written again.
    DrumSetFile::write(kit, QFileInfo(path).dir().filePath("output.set"));
    return 0;
}
