#pragma once

#include <QMetaType>

// One limb's note of one song step. Travels by value through signals; the default is "no note".
struct Event
{
    int drumIndex = -1;     // index in the kit's allDrums, -1 for no note
    int hitpointIndex = -1; // index in that drum's hitpoints, -1 for no note
    int velocity = 0;       // 1..127
    int offset = 0;         // the cell's offset truncated toward zero; not read by the parser
    int priority = 0;       // hand priority of the drum, -3 (left) .. 3 (right)
};

Q_DECLARE_METATYPE(Event)
