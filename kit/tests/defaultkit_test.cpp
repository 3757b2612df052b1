#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"

#include <QFile>
#include <QSet>
#include <QVector3D>
#include <gtest/gtest.h>
#include <map>

namespace {

struct DefaultKit : ::testing::Test
{
    void SetUp() override
    {
        DrumSetReader reader("Drumsets/default.set", soundCounter, drumCounter,
                             [&](const QString& file) { announced << file; });
        reader.read(kit);
        kit.updateHitpointPositions();
    }

    const Drum* drumOfType(int type) const
    {
        for (const Drum* drum : kit.allDrums)
            if (drum->type == type)
                return drum;
        return nullptr;
    }

    QVector3D room(int type, int hitpoint) const
    {
        const Drum* drum = drumOfType(type);
        if (!drum || int(drum->hitpoints.size()) <= hitpoint) {
            ADD_FAILURE() << "no hit point " << hitpoint << " on a drum of type " << type;
            return {};
        }
        const Hitpoint& h = *drum->hitpoints[hitpoint];
        return {h.worldX, h.worldY, h.worldZ};
    }

    DrumSet kit;
    QStringList announced;
    int soundCounter = 0;
    int drumCounter = 0;
};

// A seated figure on the chair at (0, 0, 1.2), facing -Z: shoulders and hips, with the reach of
// an arm with its stick and of a leg.
const QVector3D leftShoulder(-0.18f, 1.15f, 1.2f), rightShoulder(0.18f, 1.15f, 1.2f);
const QVector3D leftHip(-0.1f, 0.6f, 1.15f), rightHip(0.1f, 0.6f, 1.15f);
constexpr float armReach = 0.95f, legReach = 0.9f;

} // namespace

TEST_F(DefaultKit, LoadsWithEverySoundFound)
{
    constexpr int hitpoints = 13, layers = 5;
    EXPECT_EQ(announced.size(), hitpoints * layers);
    EXPECT_EQ(soundCounter, hitpoints * layers);
    for (const QString& file : announced) {
        EXPECT_TRUE(file.startsWith("Drumsets/default Sounds/")) << file.toStdString();
        QFile wav(file);
        ASSERT_TRUE(wav.open(QIODevice::ReadOnly)) << file.toStdString();
        const QByteArray head = wav.read(12);
        EXPECT_TRUE(head.startsWith("RIFF") && head.endsWith("WAVE")) << file.toStdString();
        EXPECT_GT(wav.size(), 10000) << file.toStdString();
    }
}

TEST_F(DefaultKit, HoldsTheWholeKitWithPresetHitpointsAndFiveRecordingsEach)
{
    std::map<int, int> types;
    for (const Drum* drum : kit.allDrums)
        ++types[drum->type];
    EXPECT_EQ(types, (std::map<int, int>{{0, 1},
                                         {19, 1},
                                         {3, 1},
                                         {4, 1},
                                         {17, 1},
                                         {1, 1},
                                         {21, 1},
                                         {14, 1},
                                         {20, 1},
                                         {7, 1},
                                         {22, 2},
                                         {23, 2},
                                         {24, 2},
                                         {9, 1},
                                         {12, 1}}));
    ASSERT_EQ(drumOfType(19)->children.size(), 2u);
    EXPECT_EQ(drumOfType(14), drumOfType(21)->children.at(0));

    for (const Drum* drum : kit.allDrums) {
        Drum presets;
        presets.type = drum->type;
        presets.addDefaultHitpoints();
        ASSERT_EQ(drum->hitpoints.size(), presets.hitpoints.size()) << drum->name.toStdString();
        for (size_t i = 0; i < drum->hitpoints.size(); ++i) {
            const Hitpoint& h = *drum->hitpoints[i];
            EXPECT_EQ(h.name, presets.hitpoints[i]->name);
            ASSERT_EQ(h.levels.size(), 5u) << h.name.toStdString();
            // Every velocity 1-127 in exactly one level, loudest first, none much wider than
            // another.
            int covered = 128;
            QSet<QString> files;
            for (const auto& level : h.levels) {
                EXPECT_EQ(level->maxVelo, covered - 1) << h.name.toStdString();
                EXPECT_NEAR(level->maxVelo - level->minVelo + 1, 127 / 5, 1)
                    << h.name.toStdString();
                EXPECT_GE(level->sndID, 0) << h.name.toStdString();
                covered = level->minVelo;
                files << level->file;
            }
            EXPECT_EQ(covered, 1) << h.name.toStdString();
            EXPECT_EQ(files.size(), 5) << h.name.toStdString() << ": five recordings";
        }
    }
}

TEST_F(DefaultKit, EveryHitpointIsWhereASeatedDrummerPlaysIt)
{
    EXPECT_NEAR(room(BodyTypes::Snare, 0).y(), 0.65f, 0.03f);
    EXPECT_NEAR(room(BodyTypes::HiHat, 1).y(), 0.9f, 0.05f);
    EXPECT_NEAR(room(3, 0).y(), 0.78f, 0.04f);
    EXPECT_NEAR(room(4, 0).y(), 0.78f, 0.04f);
    EXPECT_NEAR(room(BodyTypes::FloorTom, 0).y(), 0.75f, 0.05f);
    EXPECT_NEAR(room(9, 1).y(), 1.2f, 0.05f);
    EXPECT_NEAR(room(12, 0).y(), 1.05f, 0.05f);

    EXPECT_LT(room(BodyTypes::HiHat, 1).x(), room(BodyTypes::Snare, 0).x()) << "hi-hat on the left";
    EXPECT_GT(room(BodyTypes::FloorTom, 0).x(), room(4, 0).x()) << "floor tom on the right";
    EXPECT_LT(room(9, 1).x(), 0) << "crash on the left";
    EXPECT_GT(room(12, 0).x(), 0) << "ride on the right";

    for (const Drum* drum : kit.allDrums) {
        for (const auto& h : drum->hitpoints) {
            const QVector3D at(h->worldX, h->worldY, h->worldZ);
            const std::string name = h->name.toStdString();
            EXPECT_LT(at.z(), 1.0f) << name << " lies in front of the seat";
            if (h->hitType == Hitpoint::RightFoot) {
                EXPECT_LT(at.distanceToPoint(rightHip), legReach) << name;
                EXPECT_LT(at.y(), 0.1f) << name;
            } else if (h->hitType == Hitpoint::LeftFoot) {
                EXPECT_LT(at.distanceToPoint(leftHip), legReach) << name;
                EXPECT_LT(at.y(), 0.1f) << name;
            } else {
                const float nearer =
                    std::min(at.distanceToPoint(leftShoulder), at.distanceToPoint(rightShoulder));
                EXPECT_LT(nearer, armReach) << name;
                EXPECT_GT(nearer, 0.4f) << name << " is not in the drummer's lap";
            }
        }
    }
}
