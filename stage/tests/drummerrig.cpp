#include "stage/tests/drummerrig.h"

#include "humanoid/vrmlparser.h"
#include "kit/drumsetfile.h"

int drumOfType(const DrumSet& kit, int type)
{
    for (size_t i = 0; i < kit.allDrums.size(); ++i)
        if (kit.allDrums[i]->type == type)
            return int(i);
    return -1;
}

ikPoint hitpointAt(const DrumSet& kit, int drum, int hitpoint)
{
    const Hitpoint& h = *kit.allDrums.at(size_t(drum))->hitpoints.at(size_t(hitpoint));
    return {h.worldX, h.worldY, h.worldZ};
}

DrummerRig::DrummerRig()
{
    VrmlParser parser(nullptr, "vrmlparser");
    parser.parseFile("Human-lod4-0012.wrl", &human);
    int sounds = 0;
    int drums = 0;
    DrumSetReader reader("Drumsets/default.set", sounds, drums, [](const QString&) {});
    reader.read(kit);
    kit.updateHitpointPositions();
    drummer.setKit(kit);
    drummer.setUp();
}

void DrummerRig::place()
{
    drummer.place();
    drummer.upkeep();
}

void DrummerRig::tick()
{
    for (Drum* drum : kit.allDrums)
        drum->animatePedal();
    drummer.beatTick(true, false);
}
