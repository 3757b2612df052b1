#pragma once

// The beat clock's ticks as the song panel, the note parser and the drummer's hands count them.
// They must agree: a note sounds on the tick at which the stick that plays it lands.
namespace BeatTiming {

// A song step lasts this many ticks.
constexpr int ticksPerStep = 3;
// A note sounds this many steps after it is sent.
constexpr int stepsToSound = 2;
constexpr int ticksToSound = stepsToSound * ticksPerStep;

// A stroke approaches its hit point until its note sounds, then lifts the stick.
constexpr int strokeApproachTicks = ticksToSound;
constexpr int strokeLiftTicks = 2;
constexpr int strokeTicks = strokeApproachTicks + strokeLiftTicks;

} // namespace BeatTiming
