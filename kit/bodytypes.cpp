#include "kit/bodytypes.h"

#include <iterator>

namespace BodyTypes {

namespace {

constexpr std::nullopt_t unset = std::nullopt;

const Setup setups[count] = {
    {"Kick drum 22", 1, 0, 1, 0, 1, 0, true, 1, 0, AnimKick},
    {"Snare drum 16", 0, 1, 0, 1, 1, 1, false, unset, -1, AnimDrum},
    {"Tom 8", 0, 0, 0, 1, 1, 1, false, unset, -1, AnimTom},
    {"Tom 10", 0, 0, 0, 1, 1, 1, false, unset, -1, AnimTom},
    {"Tom 12", 0, 0, 0, 1, 1, 1, false, unset, -1, AnimTom},
    {"Tom 13", 0, 0, 0, 1, 1, 1, false, unset, -1, AnimTom},
    {"Tom 14", 0, 0, 0, 1, 1, 1, false, unset, -1, AnimTom},
    {"Floor tom 16", 0, 1, 0, 1, 1, 1, false, unset, 1, AnimDrum},
    {"Crash 16", 0, 0, 0, 1, 1, 1, false, unset, 1, AnimCrash},
    {"Crash 17", 0, 0, 0, 1, 1, 1, false, unset, 1, AnimCrash},
    {"Crash 18", 0, 0, 0, 1, 1, 1, false, unset, 1, AnimCrash},
    {"Crash 19", 0, 0, 0, 1, 1, 1, false, unset, 1, AnimCrash},
    {"Ride 20", 0, 0, 0, 1, 1, 1, false, unset, 3, AnimRide},
    {"Ride 21", 0, 0, 0, 1, 1, 1, false, unset, 3, AnimRide},
    {"Hi-Hat 14", 0, 1, 0, 0, 1, 0, false, unset, 2, AnimClosedHiHat},
    {"Splash 8", 0, 0, 0, 1, 1, 1, false, unset, 1, AnimLooseCymbal},
    {"Splash 10", 0, 0, 0, 1, 1, 1, false, unset, 1, AnimLooseCymbal},
    {"Snare ramp", 1, 0, 1, 0, 1, 0, true, 1, 0, unset},
    {"Tom ramp mono", 0, 1, 1, 0, 1, 0, true, 1, 0, unset},
    {"Tom ramp double", 0, 1, 1, 0, 1, 0, true, 2, 0, unset},
    {"Floor tom ramp", 1, 0, 1, 0, 1, 0, true, 1, 0, unset},
    {"Hi-Hat ramp", 1, 0, 1, 0, 1, 0, true, 1, 0, AnimHiHatPedal},
    {"Crash ramp bottom", 1, 0, 1, 0, 1, 0, true, 2, 0, unset},
    {"Crash ramp middle", 0, 1, 1, 1, 1, 1, true, 1, 0, unset},
    {"Crash ramp top", 0, 0, 0, 1, 1, 0, true, 1, 0, unset},
    {"Chair", 1, 0, 1, 0, 1, 0, true, 1, 0, AnimNone},
};

const PresetHitpoint presetTable[] = {
    {Kick, "Kick right foot", 0, 0.04f, 0.64f, 2}, {Snare, "Snare middle", 0, 0.17f, 0, 0},
    {Snare, "Snare side", 0.12f, 0.17f, 0.12f, 1}, {Tom8, "Tom8 middle", 0, 0.10f, 0.20f, 0},
    {Tom10, "Tom10 middle", 0, 0.12f, 0.23f, 0},   {Tom12, "Tom12 middle", 0, 0.14f, 0.25f, 0},
    {Tom13, "Tom13 middle", 0, 0.15f, 0.27f, 0},   {Tom14, "Tom14 middle", 0, 0.17f, 0.28f, 0},
    {FloorTom, "Tom16 middle", 0, 0.42f, 0, 0},    {Crash16, "Crash16 side", 0, 0.01f, 0.16f, 1},
    {Crash16, "Crash16 top", 0, 0.02f, 0.08f, 0},  {Crash17, "Crash17 side", 0, 0.01f, 0.18f, 1},
    {Crash17, "Crash17 top", 0, 0.02f, 0.08f, 0},  {Crash18, "Crash18 side", 0, 0.01f, 0.20f, 1},
    {Crash18, "Crash18 top", 0, 0.02f, 0.08f, 0},  {Crash19, "Crash19 side", 0, 0.01f, 0.21f, 1},
    {Crash19, "Crash19 top", 0, 0.02f, 0.08f, 0},  {Ride20, "Ride20 side", 0, 0.02f, 0.17f, 0},
    {Ride20, "Ride20 top", 0, 0.03f, 0.08f, 0},    {Ride21, "Ride21 side", 0, 0.02f, 0.18f, 0},
    {Ride21, "Ride21 top", 0, 0.03f, 0.08f, 0},    {HiHat, "Hi-hat side", 0, 0.03f, 0.16f, 1},
    {HiHat, "Hi-hat top", 0, 0.04f, 0.11f, 0},     {HiHatStand, "Hi-hat foot", 0, 0.06f, 0.13f, 3},
};

} // namespace

const Setup& setup(int type)
{
    return setups[type];
}

const char* name(int type)
{
    return setups[type].name;
}

const PresetHitpoint* presets(int* presetCount)
{
    *presetCount = int(std::size(presetTable));
    return presetTable;
}

} // namespace BodyTypes
