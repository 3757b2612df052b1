#pragma once

#include "kit/drum.h"

#include <QString>
#include <memory>
#include <vector>

// The kit. Copies of a kit share its drums; a drum lives as long as some kit lists it (or, for a
// child drum, as long as its parent does).
class DrumSet
{
public:
    DrumSet() = default;
    DrumSet(const DrumSet&) = default;
    DrumSet& operator=(const DrumSet&) = default;

    // Takes a drum that no kit holds yet; appends it to rootDrums, then to allDrums.
    void addRootDrum(Drum* drum);
    // Appends a child drum to allDrums only; its parent owns it.
    void addDrum(Drum* drum);

    // Room positions of every hit point, from the drums' own transforms; the kit's own transform
    // is not part of them.
    void updateHitpointPositions();
    // Draws the kit on the current GL matrix and leaves the kit's transform on it.
    void draw(bool bbox, bool hits, bool relate, GLuint listBase);

    QString name = "Default";
    QString info = "Default drumset";
    QString version = "1.0";
    QString path;
    float translation[3] = {0, 0, 0};
    float rotation[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    std::vector<Drum*> allDrums;
    std::vector<std::shared_ptr<Drum>> rootDrums;
};
