#pragma once

#include "kit/drumset.h"

#include <initializer_list>
#include <vector>

namespace testkit {

// One drum of a kit built in code: its body type and, unless null, its single hit point.
struct Piece
{
    int type;
    const char* hitpoint;
    int hitType;
};

// Each hit point gets one level over the whole velocity range whose sound identifier is the
// number of hit points before it, so that a kit of n hit points plays sounds 0..n-1.
inline DrumSet makeKit(const std::vector<Piece>& pieces)
{
    DrumSet kit;
    int sound = 0;
    for (const Piece& piece : pieces) {
        auto* drum = new Drum;
        drum->type = piece.type;
        drum->id = int(kit.allDrums.size());
        drum->setupType();
        if (piece.hitpoint) {
            drum->addHitpoint(piece.hitpoint, 0, 0, 0, piece.hitType, 100);
            drum->hitpoints.back()->levels.front()->sndID = sound++;
        }
        kit.addRootDrum(drum);
    }
    return kit;
}

inline DrumSet makeKit(std::initializer_list<Piece> pieces)
{
    return makeKit(std::vector<Piece>(pieces));
}

} // namespace testkit
