#include "kit/bodytypes.h"
#include "kit/drumset.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

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

TEST(BodyTypes, NamesOfTheTwentySixTypes)
{
    EXPECT_STREQ(BodyTypes::name(0), "Kick drum 22");
    EXPECT_STREQ(BodyTypes::name(7), "Floor tom 16");
    EXPECT_STREQ(BodyTypes::name(14), "Hi-Hat 14");
    EXPECT_STREQ(BodyTypes::name(21), "Hi-Hat ramp");
    EXPECT_STREQ(BodyTypes::name(24), "Crash ramp top");
    EXPECT_STREQ(BodyTypes::name(25), "Chair");
}

TEST(Drum, PresetHitpointsPerType)
{
    EXPECT_EQ(hitpointNames(*newDrum(1)), (QStringList{"Snare middle", "Snare side"}));
    EXPECT_EQ(hitpointNames(*newDrum(12)), (QStringList{"Ride20 side", "Ride20 top"}));
    for (int type : {15, 16, 17, 18, 19, 20, 22, 23, 24, 25, 26})
        EXPECT_TRUE(newDrum(type)->hitpoints.empty()) << "type " << type;

    auto pedal = newDrum(21);
    ASSERT_EQ(pedal->hitpoints.size(), 1u);
    EXPECT_EQ(pedal->hitpoints[0]->name, "Hi-hat foot");
    EXPECT_EQ(pedal->hitpoints[0]->hitType, Hitpoint::LeftFoot);
    EXPECT_FLOAT_EQ(pedal->hitpoints[0]->z, 0.13f);

    EXPECT_EQ(newDrum(12)->hitpoints[0]->hitType, Hitpoint::ByEnd) << "a ride's side is by end";
    EXPECT_EQ(newDrum(9)->hitpoints[0]->hitType, Hitpoint::ByEdge);
    EXPECT_EQ(newDrum(14)->hitpoints[0]->hitType, Hitpoint::ByEdge);
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
    auto drum = newDrum(0);
    drum->addDefaultHitpoints();
    EXPECT_EQ(drum->hitpoints.size(), 2u);
}

TEST(Drum, SetupTypeKeepsUnsetFieldsAndResetsAnimation)
{
    Drum holder;
    holder.type = 18;
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
    snare.type = 1;
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
    auto source = newDrum(19);
    source->name = "holder";
    source->translation[1] = 0.5f;
    source->priority = -3;
    auto* tom = newDrum(2).release();
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
    auto* kick = newDrum(0).release();
    kit.addRootDrum(kick);
    auto* tom = newDrum(2).release();
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
        kit.addRootDrum(newDrum(1).release());
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
    auto* tom = newDrum(2).release();
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
    auto* kick = newDrum(0).release();
    kick->translation[2] = -1;
    kick->opening = 10;
    kit.addRootDrum(kick);
    auto* holder = newDrum(19).release();
    holder->translation[1] = 0.5f;
    kick->addChild(holder);
    kit.addDrum(holder);
    auto* tom = newDrum(2).release();
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
    auto kick = newDrum(0);
    kick->updateHitpointPositions(GlMatrix());
    EXPECT_NEAR(kick->hitpoints[0]->worldY, 0.04, 1e-6);
    EXPECT_NEAR(kick->hitpoints[0]->worldZ, 0.64, 1e-6);

    auto hihat = newDrum(14);
    hihat->updateHitpointPositions(GlMatrix());
    const float restY = hihat->hitpoints[1]->worldY;
    EXPECT_NEAR(restY, 0.04 + 0.05, 1e-6);
    hihat->opening = 5;
    hihat->updateHitpointPositions(GlMatrix());
    EXPECT_NEAR(hihat->hitpoints[1]->worldY, restY - 0.05, 1e-6);

    auto pedal = newDrum(21);
    pedal->opening = 20;
    pedal->updateHitpointPositions(GlMatrix());
    // The pedal turns down about a hinge 0.3 in front of the stand.
    EXPECT_LT(pedal->hitpoints[0]->worldY, 0.06f - 0.05f);
}
