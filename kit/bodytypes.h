#pragma once

#include <optional>

// The 26 body types of kit pieces and their per-type settings.
namespace BodyTypes {

// The numbers are the ones that drum-set files hold.
enum Type
{
    Kick = 0,
    Snare = 1,
    Tom8 = 2,
    Tom10 = 3,
    Tom12 = 4,
    Tom13 = 5,
    Tom14 = 6,
    FloorTom = 7,
    Crash16 = 8,
    Crash17 = 9,
    Crash18 = 10,
    Crash19 = 11,
    Ride20 = 12,
    Ride21 = 13,
    HiHat = 14,
    Splash8 = 15,
    Splash10 = 16,
    SnareRamp = 17,
    TomRampMono = 18,
    TomRampDouble = 19,
    FloorTomRamp = 20,
    HiHatStand = 21,
    CrashRampBottom = 22,
    CrashRampMiddle = 23,
    CrashRampTop = 24,
    Chair = 25,
};
constexpr int count = 26;

constexpr bool isTom(int type)
{
    return type >= Tom8 && type <= Tom14;
}

// The stands and holders, the hi-hat stand among them.
constexpr bool isStand(int type)
{
    return type >= SnareRamp && type <= CrashRampTop;
}

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
