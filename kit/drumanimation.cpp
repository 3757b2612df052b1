#include "kit/bodytypes.h"
#include "kit/drum.h"
#include "kit/jitter.h"

#include <QtGlobal>
#include <cmath>

using namespace BodyTypes;

namespace {

// Velocity-scaled strength; widened so that a velocity beyond 1..127 from a damaged song cannot
// overflow.
int scaledStrength(int velocity, int factor)
{
    return int(qint64(velocity) * factor / 128);
}

} // namespace

void Drum::hit(int velocity, int hitType)
{
    swing = 0;
    switch (hitType) {
    case Hitpoint::LeftFoot:
        animKind = AnimHiHatPedal;
        break;
    case Hitpoint::HiHatClosed:
        animKind = AnimClosedHiHat;
        break;
    case Hitpoint::HiHatOpen:
        animKind = AnimLooseCymbal;
        break;
    default:
        opening = 0;
        break;
    }

    switch (animKind) {
    case AnimKick:
    case AnimTom:
    case AnimClosedHiHat:
    case AnimHiHatPedal:
        frames = 5;
        strength = 5;
        break;
    case AnimDrum:
        frames = 3;
        strength = 3;
        break;
    case AnimCrash:
        frames = 80;
        strength = scaledStrength(velocity, 140);
        break;
    case AnimRide:
        frames = 80;
        strength = scaledStrength(velocity, 300);
        break;
    case AnimLooseCymbal:
        frames = 25;
        strength = scaledStrength(velocity, 60);
        break;
    default:
        break;
    }
}

void Drum::animatePedal()
{
    if (frames == 0) {
        switch (animKind) {
        case AnimKick:
        case AnimLooseCymbal:
        case AnimHiHatPedal:
            swing = 0;
            opening = 0;
            break;
        case AnimClosedHiHat:
            swing = 0;
            opening = 5;
            break;
        default:
            break;
        }
    }
    if (frames <= 0)
        return;

    switch (animKind) {
    case AnimKick:
        if (frames > 3) {
            if (opening < 14)
                opening += 7;
        } else if (frames > 1) {
            if (opening > 0)
                opening -= 7;
        }
        break;
    case AnimLooseCymbal:
        if (frames > 20 && opening > 0)
            opening -= 1;
        break;
    case AnimClosedHiHat:
        if (opening < 5)
            opening += 1;
        break;
    case AnimHiHatPedal:
        if (frames > 3) {
            if (opening > 0)
                opening -= 3;
            if (opening < 0)
                opening = 0;
        } else {
            if (opening < 5)
                opening += 2;
            if (opening > 5)
                opening = 5;
        }
        break;
    default:
        break;
    }
}

void Drum::animateSwing()
{
    if (frames <= 0)
        return;
    // Whole-numbered, but kept in double so that no strength can overflow the products below.
    const double d = double(strength) - frames;

    switch (animKind) {
    case AnimKick:
        if (frames < 4)
            swing =
                float(std::cos(d * 18) * (-0.2) - 0.05 + Jitter::next() * 0.05 * 3 / Jitter::max);
        break;
    case AnimDrum:
        swing = float(Jitter::next() * 0.15 * 3 / Jitter::max - 0.15);
        opening = float(Jitter::next() * 0.15 * 3 / Jitter::max - 0.15);
        break;
    case AnimTom:
        swing = float(std::cos(d * 18) * 0.3 - 0.15 + Jitter::next() * 0.15 * 3 / Jitter::max);
        break;
    case AnimCrash:
        swing = float(std::cos(d * 18) * (frames / 5) * strength / 80);
        opening = 0;
        break;
    case AnimRide:
        swing = float(std::cos(d * 18) * std::sqrt(double(frames / 10)) * strength / 100);
        opening = 0;
        break;
    case AnimLooseCymbal:
        if (frames > 5)
            swing = float(std::cos(d * 4.5) * std::sqrt(double(frames / 3)) * strength / 20);
        break;
    default:
        break;
    }
    frames -= 1;
}
