#include "kit/bodytypes.h"
#include "kit/drum.h"
#include "kit/jitter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<Drum> newDrum(int type)
{
    auto drum = std::make_unique<Drum>();
    drum->type = type;
    drum->setupType();
    return drum;
}

constexpr int crash16 = 8, ride20 = 12, tom8 = 2;

} // namespace

TEST(DrumHit, StartsTheMotionOfEachKind)
{
    auto crash = newDrum(crash16);
    crash->swing = 4;
    crash->opening = 3;
    crash->hit(100, Hitpoint::ByEnd);
    EXPECT_EQ(crash->swing, 0);
    EXPECT_EQ(crash->opening, 0);
    EXPECT_EQ(crash->frames, 80);
    EXPECT_EQ(crash->strength, 109);

    auto ride = newDrum(ride20);
    ride->hit(127, Hitpoint::ByEnd);
    EXPECT_EQ(ride->frames, 80);
    EXPECT_EQ(ride->strength, 297);

    auto snare = newDrum(BodyTypes::Snare);
    snare->hit(127, Hitpoint::ByEdge);
    EXPECT_EQ(snare->frames, 3);
    EXPECT_EQ(snare->strength, 3);

    for (int type : {0, tom8}) {
        auto drum = newDrum(type);
        drum->hit(1, Hitpoint::RightFoot);
        EXPECT_EQ(drum->frames, 5) << "type " << type;
        EXPECT_EQ(drum->strength, 5) << "type " << type;
    }
}

TEST(DrumHit, HiHatHitTypesChangeTheKindAndKeepTheOpening)
{
    auto hihat = newDrum(BodyTypes::HiHat);
    hihat->opening = 3.5f;
    hihat->swing = 2;
    hihat->hit(64, Hitpoint::HiHatOpen);
    EXPECT_EQ(hihat->animKind, BodyTypes::AnimLooseCymbal);
    EXPECT_EQ(hihat->frames, 25);
    EXPECT_EQ(hihat->strength, 30);
    EXPECT_EQ(hihat->opening, 3.5f);
    EXPECT_EQ(hihat->swing, 0);

    hihat->hit(64, Hitpoint::HiHatClosed);
    EXPECT_EQ(hihat->animKind, BodyTypes::AnimClosedHiHat);
    EXPECT_EQ(hihat->frames, 5);
    EXPECT_EQ(hihat->opening, 3.5f);

    auto crash = newDrum(crash16);
    crash->hit(80, Hitpoint::LeftFoot);
    EXPECT_EQ(crash->animKind, BodyTypes::AnimHiHatPedal);
    EXPECT_EQ(crash->frames, 5);
    EXPECT_EQ(crash->strength, 5);
}

TEST(DrumHit, APieceWithoutMotionOnlyZeroesItsAngles)
{
    auto chair = newDrum(BodyTypes::Chair);
    chair->frames = 7;
    chair->strength = 9;
    chair->swing = 1;
    chair->opening = 2;
    chair->hit(100, Hitpoint::ByEnd);
    EXPECT_EQ(chair->swing, 0);
    EXPECT_EQ(chair->opening, 0);
    EXPECT_EQ(chair->frames, 7);
    EXPECT_EQ(chair->strength, 9);
}

TEST(DrumHit, AVelocityFarOutOfRangeDoesNotOverflow)
{
    auto ride = newDrum(ride20);
    ride->hit(100000000, Hitpoint::ByEnd);
    EXPECT_EQ(ride->frames, 80);
    ride->animateSwing();
    EXPECT_TRUE(std::isfinite(ride->swing));
}

TEST(DrumSwing, AtRestNothingChanges)
{
    auto crash = newDrum(crash16);
    crash->swing = 1.5f;
    crash->animateSwing();
    EXPECT_EQ(crash->frames, 0);
    EXPECT_EQ(crash->swing, 1.5f);

    auto hihat = newDrum(BodyTypes::HiHat);
    hihat->frames = 3;
    hihat->swing = 0.5f;
    hihat->opening = 4;
    hihat->animateSwing();
    EXPECT_EQ(hihat->frames, 2);
    EXPECT_EQ(hihat->swing, 0.5f);
    EXPECT_EQ(hihat->opening, 4);
}

TEST(DrumSwing, CrashAmplitudeFallsInStepsOfFiveFrames)
{
    auto crash = newDrum(crash16);
    crash->hit(100, Hitpoint::ByEnd);
    crash->opening = 2;
    crash->animateSwing();
    EXPECT_FLOAT_EQ(crash->swing, float(std::cos(29.0 * 18) * 16 * 109 / 80));
    EXPECT_EQ(crash->opening, 0);
    EXPECT_EQ(crash->frames, 79);

    // Frames 79..75 all swing with 79 / 5 = 15.
    crash->animateSwing();
    EXPECT_FLOAT_EQ(crash->swing, float(std::cos(30.0 * 18) * 15 * 109 / 80));

    while (crash->frames > 4)
        crash->animateSwing();
    for (int i = 0; i < 4; ++i) {
        crash->animateSwing();
        EXPECT_EQ(crash->swing, 0) << "frames " << crash->frames;
    }
    EXPECT_EQ(crash->frames, 0);
}

TEST(DrumSwing, RideDecaysWithTheRootOfTheRemainingTenths)
{
    auto ride = newDrum(ride20);
    ride->hit(127, Hitpoint::ByEnd);
    ride->frames = 39;
    ride->animateSwing();
    EXPECT_FLOAT_EQ(ride->swing, float(std::cos((297.0 - 39) * 18) * std::sqrt(3.0) * 297 / 100));
}

TEST(DrumSwing, LooseCymbalSwingsThenRestsForItsLastFiveSteps)
{
    auto hihat = newDrum(BodyTypes::HiHat);
    hihat->hit(64, Hitpoint::HiHatOpen);
    hihat->animateSwing();
    EXPECT_FLOAT_EQ(hihat->swing, float(std::cos((30.0 - 25) * 4.5) * std::sqrt(8.0) * 30 / 20));

    while (hihat->frames > 5)
        hihat->animateSwing();
    const float last = hihat->swing;
    EXPECT_NE(last, 0);
    for (int frames = 5; frames > 0; --frames) {
        hihat->animateSwing();
        EXPECT_EQ(hihat->swing, last);
        EXPECT_EQ(hihat->frames, frames - 1);
    }
}

TEST(DrumSwing, JitterFollowsTheSeededSequence)
{
    auto tom = newDrum(tom8);
    tom->hit(90, Hitpoint::ByEnd);
    Jitter::seed(42);
    const int r = Jitter::next();
    Jitter::seed(42);
    tom->animateSwing();
    EXPECT_FLOAT_EQ(tom->swing, float(std::cos(0.0 * 18) * 0.3 - 0.15 + r * 0.15 * 3 / 32767));

    auto kick = newDrum(BodyTypes::Kick);
    kick->hit(90, Hitpoint::RightFoot);
    kick->animateSwing();
    EXPECT_EQ(kick->swing, 0) << "the beater swings only in the last three steps";
    kick->frames = 3;
    Jitter::seed(7);
    const int k = Jitter::next();
    Jitter::seed(7);
    kick->animateSwing();
    EXPECT_FLOAT_EQ(kick->swing, float(std::cos(2.0 * 18) * (-0.2) - 0.05 + k * 0.05 * 3 / 32767));

    auto snare = newDrum(BodyTypes::Snare);
    snare->frames = 3;
    Jitter::seed(5);
    const int first = Jitter::next(), second = Jitter::next();
    Jitter::seed(5);
    snare->animateSwing();
    EXPECT_FLOAT_EQ(snare->swing, float(first * 0.15 * 3 / 32767 - 0.15));
    EXPECT_FLOAT_EQ(snare->opening, float(second * 0.15 * 3 / 32767 - 0.15));
}

TEST(DrumSwing, JitterStaysWithinItsRange)
{
    Jitter::seed(1);
    int lowest = Jitter::max, highest = 0;
    auto snare = newDrum(BodyTypes::Snare);
    auto kick = newDrum(BodyTypes::Kick);
    for (int i = 0; i < 20000; ++i) {
        snare->frames = 1;
        snare->animateSwing();
        EXPECT_GE(snare->swing, -0.15f);
        EXPECT_LE(snare->swing, 0.3f);
        EXPECT_GE(snare->opening, -0.15f);
        EXPECT_LE(snare->opening, 0.3f);

        // strength 1 and frames 1 leave cos(0): the jitter alone lifts the beater above -0.25.
        kick->frames = 1;
        kick->strength = 1;
        kick->animateSwing();
        EXPECT_GE(kick->swing, -0.25f);
        EXPECT_LE(kick->swing, -0.25f + 0.15f + 1e-6f);

        const int r = Jitter::next();
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 100);
    EXPECT_GT(highest, Jitter::max - 100);
}

TEST(DrumPedal, KickBeaterGoesDownAndUp)
{
    auto kick = newDrum(BodyTypes::Kick);
    kick->hit(100, Hitpoint::RightFoot);
    kick->animatePedal();
    EXPECT_EQ(kick->opening, 7);
    kick->animatePedal();
    EXPECT_EQ(kick->opening, 14);
    kick->animatePedal();
    EXPECT_EQ(kick->opening, 14);
    EXPECT_EQ(kick->frames, 5) << "the pedal never counts down";

    const float expected[] = {14, 7, 0, 0};
    for (int frames = 4, i = 0; frames >= 1; --frames, ++i) {
        kick->frames = frames;
        kick->animatePedal();
        EXPECT_EQ(kick->opening, expected[i]) << "frames " << frames;
    }
    kick->opening = 7;
    kick->frames = 1;
    kick->animatePedal();
    EXPECT_EQ(kick->opening, 7) << "the last step holds";

    kick->frames = 0;
    kick->swing = 0.3f;
    kick->animatePedal();
    EXPECT_EQ(kick->opening, 0);
    EXPECT_EQ(kick->swing, 0);
}

TEST(DrumPedal, HiHatPedalClampsAtClosedAndOpen)
{
    auto stand = newDrum(BodyTypes::HiHatStand);
    stand->hit(100, Hitpoint::LeftFoot);
    stand->opening = 1;
    stand->animatePedal();
    EXPECT_EQ(stand->opening, 0);

    stand->opening = 4;
    stand->frames = 2;
    stand->animatePedal();
    EXPECT_EQ(stand->opening, 5);
    stand->opening = 1;
    stand->animatePedal();
    EXPECT_EQ(stand->opening, 3);

    stand->frames = 0;
    stand->animatePedal();
    EXPECT_EQ(stand->opening, 0);
}

TEST(DrumPedal, ClosedHiHatRisesToFiveAndRestsThere)
{
    auto hihat = newDrum(BodyTypes::HiHat);
    hihat->hit(100, Hitpoint::HiHatClosed);
    hihat->opening = 2;
    const float expected[] = {3, 4, 5, 5};
    for (float value : expected) {
        hihat->animatePedal();
        EXPECT_EQ(hihat->opening, value);
    }
    hihat->frames = 0;
    hihat->opening = 1;
    hihat->swing = 0.7f;
    hihat->animatePedal();
    EXPECT_EQ(hihat->opening, 5);
    EXPECT_EQ(hihat->swing, 0);
}

TEST(DrumPedal, LooseCymbalClosesOnlyInItsFirstFiveSteps)
{
    auto hihat = newDrum(BodyTypes::HiHat);
    hihat->opening = 3;
    hihat->hit(64, Hitpoint::HiHatOpen);
    hihat->animatePedal();
    EXPECT_EQ(hihat->opening, 2);
    hihat->frames = 21;
    hihat->animatePedal();
    EXPECT_EQ(hihat->opening, 1);
    hihat->frames = 20;
    hihat->animatePedal();
    EXPECT_EQ(hihat->opening, 1);
    hihat->frames = 25;
    hihat->opening = 0;
    hihat->animatePedal();
    EXPECT_EQ(hihat->opening, 0);

    hihat->frames = 0;
    hihat->opening = 1;
    hihat->swing = 2;
    hihat->animatePedal();
    EXPECT_EQ(hihat->opening, 0);
    EXPECT_EQ(hihat->swing, 0);
}

TEST(DrumPedal, OtherKindsAreLeftAlone)
{
    for (int type : {int(BodyTypes::Snare), tom8, crash16, ride20, int(BodyTypes::Chair)}) {
        auto drum = newDrum(type);
        for (int frames : {0, 3}) {
            drum->frames = frames;
            drum->swing = 1.25f;
            drum->opening = 0.5f;
            drum->animatePedal();
            EXPECT_EQ(drum->swing, 1.25f) << "type " << type;
            EXPECT_EQ(drum->opening, 0.5f) << "type " << type;
        }
    }
}
