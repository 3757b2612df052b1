#pragma once

#include <QString>

// One velocity layer of a hit point: the sample that sounds for velocities in [minVelo, maxVelo].
class DynaLevel
{
public:
    // Only the file is set; readers fill the rest.
    DynaLevel() = default;
    // Note the order: highest velocity before lowest.
    DynaLevel(const char* file, int sndID, int maxVelo, int minVelo);
    DynaLevel(const QString& file, int sndID, int maxVelo, int minVelo);
    DynaLevel(const DynaLevel&) = default;
    DynaLevel& operator=(const DynaLevel&) = default;

    QString file;   // " " when the level has no sound
    int sndID = -1; // sound engine identifier, -1 for none
    int minVelo = 1;
    int maxVelo = 127;
};
