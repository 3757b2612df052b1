#include "kit/bodytypes.h"
#include "kit/drum.h"
#include "kit/jitter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace BodyTypes;

namespace {

std::unique_ptr<Drum> newDrum(int type)
{
    auto drum = std::make_unique<Drum>();
    drum->type = type;
    drum->setupType();
    return drum;
}

} // namespace

TEST(DrumAnimation, HitStartsTheMotionOfTheResultingKind)
{
    struct Case
    {
        int type, velocity, hitType, kind, frames, strength;
        float opening; // after the hit, from 3.5
    };
    const Case cases[] = {
        {Crash16, 100, Hitpoint::ByEnd, AnimCrash, 80, 109, 0},
        {Ride20, 127, Hitpoint::ByEnd, AnimRide, 80, 297, 0},
        {Snare, 90, Hitpoint::ByEdge, AnimDrum, 3, 3, 0},
        {Kick, 90, Hitpoint::RightFoot, AnimKick, 5, 5, 0},
        {HiHat, 64, Hitpoint::HiHatOpen, AnimLooseCymbal, 25, 30, 3.5f},
        {HiHat, 64, Hitpoint::HiHatClosed, AnimClosedHiHat, 5, 5, 3.5f},
        {Crash16, 80, Hitpoint::LeftFoot, AnimHiHatPedal, 5, 5, 3.5f},
        {Chair, 100, Hitpoint::ByEnd, AnimNone, 7, 9, 0},
    };
    for (const Case& c : cases) {
        auto drum = newDrum(c.type);
        drum->frames = 7;
        drum->strength = 9;
        drum->swing = 2;
        drum->opening = 3.5f;
        drum->hit(c.velocity, c.hitType);
        SCOPED_TRACE(testing::Message() << "type " << c.type << " hit type " << c.hitType);
        EXPECT_EQ(drum->animKind, c.kind);
        EXPECT_EQ(drum->frames, c.frames);
        EXPECT_EQ(drum->strength, c.strength);
        EXPECT_EQ(drum->swing, 0);
        EXPECT_EQ(drum->opening, c.opening);
    }

    // A damaged song's velocity must not overflow the strength.
    auto ride = newDrum(Ride20);
    ride->hit(100000000, Hitpoint::ByEnd);
    EXPECT_EQ(ride->strength, 234375000);
}

TEST(DrumAnimation, CymbalsSwingDownToRestAndCountDown)
{
    auto crash = newDrum(Crash16);
    crash->hit(100, Hitpoint::ByEnd);
    crash->animateSwing();
    EXPECT_FLOAT_EQ(crash->swing, float(std::cos(29.0 * 18) * 16 * 109 / 80));
    crash->animateSwing();
    EXPECT_FLOAT_EQ(crash->swing, float(std::cos(30.0 * 18) * 15 * 109 / 80));
    while (crash->frames > 1)
        crash->animateSwing();
    EXPECT_EQ(crash->swing, 0) << "the last four steps are still";
    crash->animateSwing();
    crash->swing = 1.5f;
    crash->animateSwing();
    EXPECT_EQ(crash->frames, 0);
    EXPECT_EQ(crash->swing, 1.5f) << "at rest nothing changes";

    auto ride = newDrum(Ride20);
    ride->hit(127, Hitpoint::ByEnd);
    ride->frames = 39;
    ride->animateSwing();
    EXPECT_FLOAT_EQ(ride->swing, float(std::cos(258.0 * 18) * std::sqrt(3.0) * 297 / 100));

    auto loose = newDrum(HiHat);
    loose->hit(64, Hitpoint::HiHatOpen);
    loose->animateSwing();
    EXPECT_FLOAT_EQ(loose->swing, float(std::cos(5.0 * 4.5) * std::sqrt(8.0) * 30 / 20));
    while (loose->frames > 5)
        loose->animateSwing();
    const float held = loose->swing;
    loose->animateSwing();
    EXPECT_EQ(loose->swing, held);
    EXPECT_EQ(loose->frames, 4);

    auto closed = newDrum(HiHat);
    closed->frames = 3;
    closed->opening = 4;
    closed->animateSwing();
    EXPECT_EQ(closed->frames, 2);
    EXPECT_EQ(closed->opening, 4);
    EXPECT_EQ(closed->swing, 0);
}

TEST(DrumAnimation, JitterIsSeededAndStaysInRange)
{
    auto tom = newDrum(Tom8);
    tom->hit(90, Hitpoint::ByEnd);
    Jitter::seed(42);
    const int r = Jitter::next();
    Jitter::seed(42);
    tom->animateSwing();
    EXPECT_FLOAT_EQ(tom->swing, float(0.3 - 0.15 + r * 0.15 * 3 / 32767));

    auto snare = newDrum(Snare);
    auto kick = newDrum(Kick);
    kick->hit(90, Hitpoint::RightFoot);
    kick->animateSwing();
    EXPECT_EQ(kick->swing, 0) << "the beater shakes only in the last three steps";
    for (int i = 0; i < 20000; ++i) {
        snare->frames = 1;
        snare->animateSwing();
        ASSERT_GE(std::min(snare->swing, snare->opening), -0.15f);
        ASSERT_LE(std::max(snare->swing, snare->opening), 0.3f);
        kick->frames = 1;
        kick->strength = 1; // cos(0): -0.25 before the jitter
        kick->animateSwing();
        ASSERT_GE(kick->swing, -0.25f);
        ASSERT_LE(kick->swing, -0.1f + 1e-6f);
    }
}

TEST(DrumAnimation, PedalStepsFollowTheCountdown)
{
    struct Case
    {
        int type, hitType;
        float opening;
        // (frames, opening after one pedal step) in order
        std::vector<std::pair<int, float>> steps;
    };
    const Case cases[] = {
        {Kick, Hitpoint::RightFoot, 0, {{5, 7}, {5, 14}, {4, 14}, {3, 7}, {2, 0}, {1, 0}, {0, 0}}},
        {Kick, Hitpoint::RightFoot, 7, {{1, 7}}},
        {HiHatStand, Hitpoint::LeftFoot, 1, {{5, 0}, {3, 2}, {2, 4}, {1, 5}, {0, 0}}},
        {HiHatStand, Hitpoint::LeftFoot, 4, {{2, 5}}},
        {HiHat, Hitpoint::HiHatClosed, 2, {{5, 3}, {4, 4}, {3, 5}, {2, 5}, {0, 5}}},
        {HiHat, Hitpoint::HiHatClosed, 1, {{0, 5}}},
        {HiHat, Hitpoint::HiHatOpen, 3, {{25, 2}, {21, 1}, {20, 1}, {0, 0}}},
        {Crash16, Hitpoint::ByEnd, 0.5f, {{80, 0.5f}, {0, 0.5f}}},
    };
    for (const Case& c : cases) {
        auto drum = newDrum(c.type);
        drum->hit(100, c.hitType);
        drum->opening = c.opening;
        for (auto [frames, opening] : c.steps) {
            drum->frames = frames;
            drum->swing = 0.25f;
            drum->animatePedal();
            SCOPED_TRACE(testing::Message() << "type " << c.type << " frames " << frames);
            EXPECT_EQ(drum->opening, opening);
            EXPECT_EQ(drum->frames, frames);
            const bool resting = frames == 0 && c.type != Crash16;
            EXPECT_EQ(drum->swing, resting ? 0 : 0.25f);
        }
    }
}
