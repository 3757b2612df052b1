#include "kit/bodytypes.h"
#include "kit/drumset.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <utility>

namespace {

std::unique_ptr<Drum> newDrum(int type)
{
    auto drum = std::make_unique<Drum>();
    drum->type = type;
    drum->setupType();
    drum->addDefaultHitpoints();
    return drum;
}

QStringList hitpointNames(const Drum& drum)
{
    QStringList names;
    for (const auto& h : drum.hitpoints)
        names << h->name;
    return names;
}

} // namespace

// Each named type is the number that drum-set files hold for the piece of that name.
TEST(BodyTypes, NamesOfTheTwentySixTypes)
{
    using namespace BodyTypes;
    const std::pair<int, const char*> types[] = {
        {Kick, "Kick drum 22"},
        {Snare, "Snare drum 16"},
        {Tom8, "Tom 8"},
        {Tom10, "Tom 10"},
        {Tom12, "Tom 12"},
        {Tom13, "Tom 13"},
        {Tom14, "Tom 14"},
        {FloorTom, "Floor tom 16"},
        {Crash16, "Crash 16"},
        {Crash17, "Crash 17"},
        {Crash18, "Crash 18"},
        {Crash19, "Crash 19"},
        {Ride20, "Ride 20"},
        {Ride21, "Ride 21"},
        {HiHat, "Hi-Hat 14"},
        {Splash8, "Splash 8"},
        {Splash10, "Splash 10"},
        {SnareRamp, "Snare ramp"},
        {TomRampMono, "Tom ramp mono"},
        {TomRampDouble, "Tom ramp double"},
        {FloorTomRamp, "Floor tom ramp"},
        {HiHatStand, "Hi-Hat ramp"},
        {CrashRampBottom, "Crash ramp bottom"},
        {CrashRampMiddle, "Crash ramp middle"},
        {CrashRampTop, "Crash ramp top"},
        {Chair, "Chair"},
    };
    ASSERT_EQ(std::size(types), std::size_t(count));
    for (int number = 0; number < count; ++number) {
        const auto [type, text] = types[number];
        EXPECT_EQ(type, number) << text;
        EXPECT_STREQ(name(number), text);
        // The stands and holders are the ramps.
        const QString piece = text;
        EXPECT_EQ(isStand(number), piece.contains("ramp")) << text;
        EXPECT_EQ(isTom(number), piece.startsWith("Tom ") && !isStand(number)) << text;
    }
}

TEST(Drum, PresetHitpointsPerType)
{
    EXPECT_EQ(hitpointNames(*newDrum(BodyTypes::Snare)),
              (QStringList{"Snare middle", "Snare side"}));
    EXPECT_EQ(hitpointNames(*newDrum(BodyTypes::Ride20)),
              (QStringList{"Ride20 side", "Ride20 top"}));
    using namespace BodyTypes;
    const int withoutPresets[] = {
        Splash8,         Splash10,        SnareRamp,    TomRampMono, TomRampDouble, FloorTomRamp,
        CrashRampBottom, CrashRampMiddle, CrashRampTop, Chair,       count};
    for (int type : withoutPresets)
        EXPECT_TRUE(newDrum(type)->hitpoints.empty()) << "type " << type;

    auto pedal = newDrum(BodyTypes::HiHatStand);
    ASSERT_EQ(pedal->hitpoints.size(), 1u);
    EXPECT_EQ(pedal->hitpoints[0]->name, "Hi-hat foot");
    EXPECT_EQ(pedal->hitpoints[0]->hitType, Hitpoint::LeftFoot);
    EXPECT_FLOAT_EQ(pedal->hitpoints[0]->z, 0.13f);

    EXPECT_EQ(newDrum(BodyTypes::Ride20)->hitpoints[0]->hitType, Hitpoint::ByEnd)
        << "a ride's side is by end";
    EXPECT_EQ(newDrum(BodyTypes::Crash17)->hitpoints[0]->hitType, Hitpoint::ByEdge);
    EXPECT_EQ(newDrum(BodyTypes::HiHat)->hitpoints[0]->hitType, Hitpoint::ByEdge);
}

TEST(Drum, EveryPresetHasFullVolumeAndOneEmptyLevel)
{
    for (int type = 0; type < BodyTypes::count; ++type) {
        auto drum = newDrum(type);
        for (const auto& h : drum->hitpoints) {
            EXPECT_EQ(h->veloToVol, 100) << h->name.toStdString();
            ASSERT_EQ(h->levels.size(), 1u);
            EXPECT_EQ(h->levels[0]->file, " ");
            EXPECT_EQ(h->levels[0]->sndID, -1);
            EXPECT_EQ(h->levels[0]->minVelo, 1);
            EXPECT_EQ(h->levels[0]->maxVelo, 127);
        }
    }
    EXPECT_EQ(Hitpoint().veloToVol, 50);
    EXPECT_EQ(Hitpoint().levels.size(), 1u);
}

TEST(Drum, AddDefaultHitpointsAppendsToExistingOnes)
{
    auto drum = newDrum(BodyTypes::Kick);
    drum->addDefaultHitpoints();
    EXPECT_EQ(drum->hitpoints.size(), 2u);
}

TEST(Drum, SetupTypeKeepsUnsetFieldsAndResetsAnimation)
{
    Drum holder;
    holder.type = BodyTypes::TomRampMono;
    holder.animKind = 42;
    holder.maxChildren = 7;
    holder.swing = 3;
    holder.opening = 4;
    holder.frames = 5;
    holder.strength = 6;
    holder.setupType();
    EXPECT_EQ(holder.animKind, 42);
    EXPECT_EQ(holder.maxChildren, 1);
    EXPECT_TRUE(holder.canHaveChildren);
    EXPECT_EQ(
        std::vector<bool>({holder.trX, holder.trY, holder.trZ, holder.roX, holder.roY, holder.roZ}),
        std::vector<bool>({false, true, true, false, true, false}));
    EXPECT_EQ(holder.swing, 0);
    EXPECT_EQ(holder.opening, 0);
    EXPECT_EQ(holder.frames, 0);
    EXPECT_EQ(holder.strength, 0);

    Drum snare;
    snare.type = BodyTypes::Snare;
    snare.maxChildren = 9;
    snare.setupType();
    EXPECT_EQ(snare.maxChildren, 9) << "types without a children limit keep theirs";
    EXPECT_EQ(snare.priority, -1);
    EXPECT_EQ(snare.animKind, BodyTypes::AnimDrum);

    Drum odd;
    odd.type = 30;
    odd.priority = 2;
    odd.swing = 1;
    odd.setupType();
    EXPECT_EQ(odd.priority, 2);
    EXPECT_EQ(odd.swing, 0);
}

TEST(Drum, CopySharesHitpointsAndHasNoChildren)
{
    auto source = newDrum(BodyTypes::TomRampDouble);
    source->name = "holder";
    source->translation[1] = 0.5f;
    source->priority = -3;
    auto* tom = newDrum(BodyTypes::Tom8).release();
    source->addChild(tom);
    source->addHitpoint("extra", 1, 2, 3, 0, 80);

    {
        Drum copy(*source);
        EXPECT_EQ(copy.name, "holder");
        EXPECT_EQ(copy.type, 19);
        EXPECT_EQ(copy.priority, -3);
        EXPECT_FLOAT_EQ(copy.translation[1], 0.5f);
        EXPECT_TRUE(copy.children.empty());
        ASSERT_EQ(copy.hitpoints.size(), 1u);
        EXPECT_EQ(copy.hitpoints[0], source->hitpoints[0]);
        copy.hitpoints[0]->name = "renamed";
    }
    EXPECT_EQ(source->hitpoints[0]->name, "renamed");
    ASSERT_EQ(source->children.size(), 1u);
    EXPECT_EQ(source->children[0], tom);
    EXPECT_EQ(tom->hitpoints.size(), 1u);
}

TEST(Hitpoint, CopyHasNewCopiesOfExactlyTheSourceLevels)
{
    Hitpoint source("h", 1, 2, 3, 4, 70);
    source.levels[0]->maxVelo = 127;
    source.levels[0]->minVelo = 90;
    source.addDynaLevel("b.wav", 3, 89, 40);
    source.addDynaLevel("c.wav", 4, 39, 1);

    Hitpoint copy(source);
    ASSERT_EQ(copy.levels.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(copy.levels[i].get(), source.levels[i].get());
        EXPECT_EQ(copy.levels[i]->file, source.levels[i]->file);
        EXPECT_EQ(copy.levels[i]->sndID, source.levels[i]->sndID);
        EXPECT_EQ(copy.levels[i]->maxVelo, source.levels[i]->maxVelo);
        EXPECT_EQ(copy.levels[i]->minVelo, source.levels[i]->minVelo);
    }
    EXPECT_EQ(copy.hitType, 4);
    EXPECT_EQ(copy.veloToVol, 70);
}

TEST(DrumSet, CopySharesTheDrums)
{
    DrumSet kit;
    EXPECT_EQ(kit.name, "Default");
    EXPECT_EQ(kit.info, "Default drumset");
    EXPECT_EQ(kit.version, "1.0");
    auto* kick = newDrum(BodyTypes::Kick).release();
    kit.addRootDrum(kick);
    auto* tom = newDrum(BodyTypes::Tom8).release();
    kick->addChild(tom);
    kit.addDrum(tom);

    DrumSet copy(kit);
    ASSERT_EQ(copy.allDrums.size(), 2u);
    EXPECT_EQ(copy.allDrums[1], tom);
    EXPECT_EQ(copy.rootDrums[0].get(), kick);
    copy.allDrums[0]->priority = 3;
    EXPECT_EQ(kick->priority, 3);
}

TEST(DrumSet, DrumsOutliveTheSetWhileACopyHoldsThem)
{
    auto copy = std::make_unique<DrumSet>();
    {
        DrumSet kit;
        kit.addRootDrum(newDrum(BodyTypes::Snare).release());
        *copy = kit;
    }
    ASSERT_EQ(copy->allDrums.size(), 1u);
    EXPECT_EQ(copy->allDrums[0]->hitpoints.size(), 2u);
}

TEST(DrumSet, RoomPositionsFollowTheDrumTransformsButNotTheKits)
{
    DrumSet kit;
    kit.translation[0] = 5;
    kit.rotation[1] = 45;
    auto* tom = newDrum(BodyTypes::Tom8).release();
    tom->hitpoints.clear();
    tom->addHitpoint("origin", 0, 0, 0, 0, 100);
    tom->addHitpoint("front", 0, 0, 1, 0, 100);
    tom->translation[0] = 1;
    tom->rotation[1] = 90;
    kit.addRootDrum(tom);

    kit.updateHitpointPositions();
    EXPECT_NEAR(tom->hitpoints[0]->worldX, 1, 1e-6);
    EXPECT_NEAR(tom->hitpoints[0]->worldY, 0, 1e-6);
    EXPECT_NEAR(tom->hitpoints[0]->worldZ, 0, 1e-6);
    EXPECT_NEAR(tom->hitpoints[1]->worldX, 2, 1e-6);
    EXPECT_NEAR(tom->hitpoints[1]->worldZ, 0, 1e-6);
}

TEST(DrumSet, ChildrenArePlacedInTheParentFrameWithoutItsMovingPart)
{
    DrumSet kit;
    auto* kick = newDrum(BodyTypes::Kick).release();
    kick->translation[2] = -1;
    kick->opening = 10;
    kit.addRootDrum(kick);
    auto* holder = newDrum(BodyTypes::TomRampDouble).release();
    holder->translation[1] = 0.5f;
    kick->addChild(holder);
    kit.addDrum(holder);
    auto* tom = newDrum(BodyTypes::Tom8).release();
    tom->rotation[0] = 90;
    holder->addChild(tom);
    kit.addDrum(tom);

    kit.updateHitpointPositions();
    // The tom's point (0, 0.10, 0.20) tilted 90 degrees about X: y' = -z, z' = y.
    const Hitpoint& point = *tom->hitpoints[0];
    EXPECT_NEAR(point.worldX, 0, 1e-6);
    EXPECT_NEAR(point.worldY, 0.5 - 0.20, 1e-6);
    EXPECT_NEAR(point.worldZ, -1 + 0.10, 1e-6);
}

TEST(DrumSet, KickBeaterAndHiHatPartsMoveTheirPoints)
{
    auto kick = newDrum(BodyTypes::Kick);
    kick->updateHitpointPositions(GlMatrix());
    EXPECT_NEAR(kick->hitpoints[0]->worldY, 0.04, 1e-6);
    EXPECT_NEAR(kick->hitpoints[0]->worldZ, 0.64, 1e-6);

    auto hihat = newDrum(BodyTypes::HiHat);
    hihat->updateHitpointPositions(GlMatrix());
    const float restY = hihat->hitpoints[1]->worldY;
    EXPECT_NEAR(restY, 0.04 + 0.05, 1e-6);
    hihat->opening = 5;
    hihat->updateHitpointPositions(GlMatrix());
    EXPECT_NEAR(hihat->hitpoints[1]->worldY, restY - 0.05, 1e-6);

    auto pedal = newDrum(BodyTypes::HiHatStand);
    pedal->opening = 20;
    pedal->updateHitpointPositions(GlMatrix());
    // The pedal turns down about a hinge 0.3 in front of the stand.
    EXPECT_LT(pedal->hitpoints[0]->worldY, 0.06f - 0.05f);
}
