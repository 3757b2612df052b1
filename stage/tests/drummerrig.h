#pragma once

#include "humanoid/human.h"
#include "kit/drumset.h"
#include "stage/drummeranimation.h"

// Index of the kit's first drum of a type; -1 if none.
int drumOfType(const DrumSet& kit, int type);
ikPoint hitpointAt(const DrumSet& kit, int drum, int hitpoint);

// The drummer's motion without a view, run from the run folder: the real humanoid and the default
// kit with its room positions, the motion set up as the view sets it up.
class DrummerRig
{
public:
    DrummerRig();

    // The first upkeep tick as the view gives it for a new kit: the placement, then the upkeep.
    void place();
    // One beat tick as the view gives it while the drummer is shown and placed: the pedals step,
    // then the drummer.
    void tick();

    int drumOfType(int type) const { return ::drumOfType(kit, type); }
    ikPoint hitpointAt(int drum, int hitpoint) const { return ::hitpointAt(kit, drum, hitpoint); }
    ikNode* node(const char* name) const { return human.ikRoot->findByName(name); }

    Human human;
    DrumSet kit;
    DrummerAnimation drummer{human, kit};
};
