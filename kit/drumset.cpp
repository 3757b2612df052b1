#include "kit/drumset.h"

void DrumSet::addRootDrum(Drum* drum)
{
    rootDrums.emplace_back(drum);
    allDrums.push_back(drum);
}

void DrumSet::addDrum(Drum* drum)
{
    allDrums.push_back(drum);
}

void DrumSet::updateHitpointPositions()
{
    for (const auto& drum : rootDrums)
        drum->updateHitpointPositions(GlMatrix());
}
