#include "kit/bodytypes.h"
#include "kit/tests/kitscene.h"

#include <cmath>

namespace {

constexpr float pi = 3.14159265f;

float radians(float degrees)
{
    return degrees * pi / 180;
}

} // namespace

using DrumDrawing = KitSceneTest;

// The highest point of each body type standing at the origin, from its list's dimensions, and
// for the cymbals their radius.
TEST_F(DrumDrawing, EveryBodyTypeDrawsItsOwnPiece)
{
    const float tops[BodyTypes::count] = {0.56f,   0.1651f, 0.09f, 0.105f, 0.127f, 0.1394f, 0.1528f,
                                          0.4064f, 0.05f,   0.05f, 0.05f,  0.05f,  0.07f,   0.07f,
                                          0.09f,   0.0f,    0.0f,  0.6f,   0.315f, 0.365f,  0.4376f,
                                          0.95f,   0.88f,   0.01f, 0.1f,   0.52f};
    lookFromFront(0, 0.5f, 2.4f);
    for (int type = 0; type < BodyTypes::count; ++type) {
        auto drum = makeDrum(type);
        drawDrum(*drum);
        const Extent extent = viewExtent();
        EXPECT_NEAR(extent.top, tops[type], 0.01) << "type " << type;
    }

    const float cymbalRadii[][2] = {{8, 0.2032f},  {9, 0.2159f},  {10, 0.2286f},
                                    {11, 0.2413f}, {12, 0.254f},  {13, 0.2667f},
                                    {14, 0.1778f}, {15, 0.1778f}, {16, 0.1778f}};
    lookFromAbove(0, 0, 1);
    for (const auto& [type, radius] : cymbalRadii) {
        auto drum = makeDrum(int(type));
        drawDrum(*drum);
        const Extent extent = viewExtent();
        EXPECT_NEAR(extent.right, radius, 0.01) << "type " << type;
        EXPECT_NEAR(extent.left, -radius, 0.01) << "type " << type;
    }
}

TEST_F(DrumDrawing, PiecesStandWhereTheirTransformPutsThem)
{
    // Turned about Y, the snare's round head still lies centred on its translation.
    auto snare = makeDrum(BodyTypes::Snare, 0.3f, 0.5f, -0.2f);
    snare->rotation[1] = 30;
    snare->scale[0] = snare->scale[1] = snare->scale[2] = 2; // never applied
    lookFromAbove(0, 0, 2);
    drawDrum(*snare);
    EXPECT_TRUE(surfaceAt(0.3f, 0.6651f, -0.2f));
    EXPECT_TRUE(surfaceAt(0.3f + 0.17f, 0.6651f, -0.2f));
    EXPECT_FALSE(covered(0.3f + 0.19f, 0.6651f, -0.2f));
    EXPECT_FALSE(covered(0.3f, 0.6651f, -0.2f + 0.19f));

    // Y turns first, then X: the floor tom's axis (+Y) goes to +X, not to +Z.
    auto floorTom = makeDrum(BodyTypes::FloorTom, 0, 1, 0);
    floorTom->rotation[0] = 90;
    floorTom->rotation[1] = 90;
    lookFromFront(0, 1, 2);
    drawDrum(*floorTom);
    EXPECT_TRUE(covered(0.35f, 1, 0));
    EXPECT_TRUE(covered(0.35f, 1.18f, 0));
    EXPECT_FALSE(covered(-0.05f, 1, 0));
    EXPECT_FALSE(covered(0.1f, 1.25f, 0));

    // Z turns last, about the piece's own axis: +Y goes to -X.
    floorTom->rotation[0] = 0;
    floorTom->rotation[1] = 0;
    floorTom->rotation[2] = 90;
    drawDrum(*floorTom);
    EXPECT_TRUE(covered(-0.35f, 1, 0));
    EXPECT_FALSE(covered(0.05f, 1, 0));
}

TEST_F(DrumDrawing, KitTransformMovesEveryPieceButDrumScalesDoNot)
{
    DrumSet kit;
    kit.addRootDrum(makeDrum(BodyTypes::Snare, -0.5f, 0, 0).release());
    kit.addRootDrum(makeDrum(BodyTypes::FloorTom, 0.5f, 0, 0).release());
    lookFromAbove(0.5f, 0, 3);

    drawKit(kit);
    EXPECT_TRUE(surfaceAt(-0.5f, 0.1651f, 0));
    EXPECT_TRUE(surfaceAt(0.5f, 0.4064f, 0));

    kit.translation[0] = 1;
    drawKit(kit);
    EXPECT_FALSE(covered(-0.5f, 0.1651f, 0));
    EXPECT_TRUE(surfaceAt(0.5f, 0.1651f, 0));
    EXPECT_TRUE(surfaceAt(1.5f, 0.4064f, 0));

    // Scaled by 2, then turned 90 degrees about Y: the snare's place (-1, 0, 0) goes to (0, 0, 1).
    kit.translation[0] = 0;
    kit.rotation[1] = 90;
    kit.scale[0] = kit.scale[1] = kit.scale[2] = 2;
    lookFromAbove(0, 0, 3);
    drawKit(kit);
    EXPECT_TRUE(surfaceAt(0, 2 * 0.1651f, 1));
    EXPECT_TRUE(surfaceAt(0, 2 * 0.4064f, -1));
    EXPECT_TRUE(covered(0, 0.33f, 1 + 2 * 0.17f));
    EXPECT_FALSE(covered(0, 0.33f, 1 + 2 * 0.19f));
}

// The kick pedal is drawn from (0, 0, 0.5) at three quarters size: the beater swings about its
// axle at (0, 0.15, 0.07) of the pedal, the footboard about its heel at (0, 0, 0.3).
TEST_F(DrumDrawing, KickBeaterAndFootboardFollowTheOpening)
{
    auto kick = makeDrum(BodyTypes::Kick);
    auto beaterHead = [](float degrees) {
        const float reach = 0.75f * 0.22f;
        return std::pair<float, float>{0.1125f + reach * std::cos(radians(degrees)),
                                       0.5525f + reach * std::sin(radians(degrees))};
    };
    auto footboardPoint = [](float degrees) {
        const float along = 0.75f * 0.15f;
        return std::pair<float, float>{along * std::sin(radians(degrees)) + 0.004f,
                                       0.725f - along * std::cos(radians(degrees))};
    };
    const auto restBeater = beaterHead(30), downBeater = beaterHead(-5);
    const auto restBoard = footboardPoint(15);
    lookFromSide(0.3f, 0.5f, 1.2f);

    drawDrum(*kick);
    EXPECT_TRUE(covered(0, restBeater.first, restBeater.second));
    EXPECT_FALSE(covered(0, downBeater.first, downBeater.second));
    EXPECT_TRUE(covered(0, restBoard.first, restBoard.second));

    kick->opening = 14;
    drawDrum(*kick);
    EXPECT_FALSE(covered(0, restBeater.first, restBeater.second));
    EXPECT_TRUE(covered(0, downBeater.first, downBeater.second));
    EXPECT_FALSE(covered(0, restBoard.first, restBoard.second));
}

TEST_F(DrumDrawing, HiHatOpeningLowersTheUpperCymbalOntoTheLowerOne)
{
    auto hiHat = makeDrum(BodyTypes::HiHat);
    lookFromSide(0, 0, 0.6f);

    drawDrum(*hiHat);
    EXPECT_TRUE(covered(0, 0.05f + 0.035f, 0)) << "lifted 0.05 at rest";
    EXPECT_FALSE(covered(0, 0.03f, 0)) << "a gap between the cymbals";
    EXPECT_TRUE(covered(0, -0.035f, 0)) << "the lower cymbal opens downward";

    hiHat->opening = 5;
    drawDrum(*hiHat);
    EXPECT_FALSE(covered(0, 0.05f + 0.035f, 0));
    EXPECT_TRUE(covered(0, 0.03f, 0)) << "lift 0: directly on the lower one";
    EXPECT_TRUE(covered(0, -0.035f, 0));
}

TEST_F(DrumDrawing, HiHatStandPullRodAndFootboardFollowTheOpening)
{
    auto stand = makeDrum(BodyTypes::HiHatStand);
    const float raised = 0.15f * std::sin(radians(15)) + 0.005f;
    const float raisedZ = 0.3f - 0.15f * std::cos(radians(15));
    lookFromSide(0.5f, 0.1f, 1.2f);

    drawDrum(*stand);
    EXPECT_TRUE(covered(0, 0.93f, 0)) << "pull rod up to 0.95";
    EXPECT_TRUE(covered(0, raised, raisedZ)) << "footboard at 15 degrees";

    stand->opening = 5;
    drawDrum(*stand);
    EXPECT_FALSE(covered(0, 0.93f, 0)) << "pull rod down to 0.9";
    EXPECT_TRUE(covered(0, 0.89f, 0));
    EXPECT_FALSE(covered(0, raised, raisedZ)) << "footboard down to 2.5 degrees";
}

TEST_F(DrumDrawing, SplashesOpenDownwardAndCrashesUpward)
{
    lookFromSide(0, 0, 0.6f);
    for (int type : {BodyTypes::Splash8, BodyTypes::Splash10}) {
        auto splash = makeDrum(type);
        drawDrum(*splash);
        EXPECT_TRUE(covered(0, -0.03f, 0)) << "type " << type;
        EXPECT_FALSE(covered(0, 0.03f, 0)) << "type " << type;
    }
    auto crash = makeDrum(BodyTypes::Crash16);
    drawDrum(*crash);
    EXPECT_FALSE(covered(0, -0.03f, 0));
    EXPECT_TRUE(covered(0, 0.03f, 0));
}

// A snare child one metre above its parent, swung 20 degrees: only a kick passes its swing on.
TEST_F(DrumDrawing, OnlyTheKickCarriesItsChildrenWithItsSwing)
{
    const float unswungOnly[3] = {0, 1.15f, 0.15f}, swungOnly[3] = {0, 1.05f, -0.35f};
    lookFromSide(1, 0, 1.6f);
    for (int parentType : {BodyTypes::Kick, BodyTypes::Snare, BodyTypes::Crash17}) {
        auto parent = makeDrum(parentType);
        parent->swing = 20;
        parent->addChild(makeDrum(BodyTypes::Snare, 0, 1, 0).release());
        drawDrum(*parent);
        const bool followsSwing = parentType == BodyTypes::Kick;
        EXPECT_EQ(covered(swungOnly[0], swungOnly[1], swungOnly[2]), followsSwing)
            << "parent type " << parentType;
        EXPECT_EQ(covered(unswungOnly[0], unswungOnly[1], unswungOnly[2]), !followsSwing)
            << "parent type " << parentType;
    }
}

TEST_F(DrumDrawing, CrossesMarkOnlyTheSelectedDrumAndOnlyWithHits)
{
    DrumSet kit;
    Drum* left = makeDrum(BodyTypes::Snare, -0.5f, 0, 0).release();
    Drum* right = makeDrum(BodyTypes::Snare, 0.5f, 0, 0).release();
    kit.addRootDrum(left);
    kit.addRootDrum(right);
    left->selected = true;
    lookFromAbove(0, 0, 2);
    const QRect leftHalf(0, 0, width / 2, height), rightHalf(width / 2, 0, width / 2, height);

    drawKit(kit, true);
    EXPECT_GT(greenPixels(leftHalf), 40);
    EXPECT_EQ(greenPixels(rightHalf), 0);
    EXPECT_TRUE(covered(-0.5f + 0.12f + 0.09f, 0.17f, 0.12f)) << "the side point's cross";

    drawKit(kit, false);
    EXPECT_EQ(greenPixels(QRect(0, 0, width, height)), 0);

    left->selected = false;
    right->selected = true;
    drawKit(kit, true);
    EXPECT_EQ(greenPixels(leftHalf), 0);
    EXPECT_GT(greenPixels(rightHalf), 40);
}

TEST_F(DrumDrawing, HiHatCrossesRideOnTheUpperCymbal)
{
    auto hiHat = makeDrum(BodyTypes::HiHat);
    hiHat->selected = true;
    hiHat->hitpoints.resize(1); // "Hi-hat side" at (0, 0.03, 0.16)
    lookFromSide(0, 0.1f, 0.6f);

    drawDrum(*hiHat, true);
    EXPECT_GT(greenPixels(QRect(0, 0, width, height)), 0);
    EXPECT_TRUE(covered(0, 0.08f, 0.16f + 0.09f));
    hiHat->opening = 5;
    drawDrum(*hiHat, true);
    EXPECT_FALSE(covered(0, 0.08f, 0.16f + 0.09f));
    EXPECT_TRUE(covered(0, 0.03f, 0.16f + 0.09f));
}

// Two pieces without bodies: all that can appear is the dotted line between them, grey (darkened
// by whatever texture is bound, since the line leaves texturing as it is).
TEST_F(DrumDrawing, RelationLinesAreDottedAndDrawnOnlyWithRelate)
{
    auto parent = makeDrum(30);
    parent->addChild(makeDrum(30, 0.8f, 0, 0).release());
    lookFromFront(0.4f, -0.0005f, 1);

    drawDrum(*parent, false, true);
    int lit = 0, along = 0;
    for (float x = 0.05f; x < 0.75f; x += 1.0f / float(width)) {
        ++along;
        lit += covered(x, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(lit, along / 5);
    EXPECT_LT(lit, along * 3 / 4) << "stippled, not solid";
    bool grey = false;
    for (float x = 0.3f; x < 0.4f && !grey; x += 1.0f / float(width)) {
        const QColor c = colourAt(x, 0, 0);
        grey =
            c.red() > 20 && std::abs(c.red() - c.green()) < 10 && std::abs(c.red() - c.blue()) < 10;
    }
    EXPECT_TRUE(grey);

    drawDrum(*parent, false, false);
    EXPECT_EQ(viewExtent().right - viewExtent().left, 0);
}

// Types outside 0..25 (also negative ones from a damaged file) have no body of their own.
TEST_F(DrumDrawing, TypeOutsideTheBodyTypesDrawsOnlyItsCrossesAndChildren)
{
    for (int type : {26, 40, -1}) {
        auto ghost = makeDrum(type);
        ghost->selected = true;
        ghost->addHitpoint("mark", 0.4f, 0, 0, 0, 100);
        ghost->addChild(makeDrum(BodyTypes::Snare, -0.4f, 0, 0).release());
        lookFromFront(0, 0, 1.2f);

        drawDrum(*ghost, true);
        EXPECT_TRUE(covered(-0.4f, 0.1f, 0)) << "its child, type " << type;
        EXPECT_GT(greenPixels(QRect(width / 2, 0, width / 2, height)), 20) << "its cross";
        for (float x : {-0.15f, 0.0f, 0.15f})
            EXPECT_FALSE(covered(x, 0.05f, 0)) << "no body of its own at " << x;
    }
}
