#pragma once

#include <optional>

// The 26 body types of kit pieces and their per-type settings.
namespace BodyTypes {

enum Type
{
    Kick = 0,
    Snare = 1,
    FloorTom = 7,
    HiHat = 14,
    Splash8 = 15,
    Splash10 = 16,
    HiHatStand = 21,
    Chair = 25,
};
constexpr int count = 26;

// Animation kinds of struck pieces.
enum AnimKind
{
    AnimNone = -1,
    AnimKick = 0,
    AnimDrum = 1,
    AnimTom = 2,
    AnimCrash = 3,
    AnimRide = 4,
    AnimLooseCymbal = 5,
    AnimClosedHiHat = 6,
    AnimHiHatPedal = 7,
};

struct Setup
{
    const char* name;
    bool trX, trY, trZ, roX, roY, roZ;
    bool canHaveChildren;
    std::optional<int> maxChildren; // unset: the drum keeps its value
    int priority;
    std::optional<int> animKind; // unset: the drum keeps its value
};

struct PresetHitpoint
{
    int type;
    const char* name;
    float x, y, z;
    int hitType;
};

// The settings of a type 0..25.
const Setup& setup(int type);
// The name of a type 0..25.
const char* name(int type);
// Every preset hit point, grouped by type, in the order in which they are added.
const PresetHitpoint* presets(int* count);

} // namespace BodyTypes
