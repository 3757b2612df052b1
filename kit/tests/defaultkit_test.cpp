#include "kit/bodytypes.h"
#include "kit/drumbody.h"
#include "kit/drumsetfile.h"

#include <QFile>
#include <QSet>
#include <QVector3D>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
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
    using namespace BodyTypes;
    std::map<int, int> types;
    for (const Drum* drum : kit.allDrums)
        ++types[drum->type];
    EXPECT_EQ(types, (std::map<int, int>{{Kick, 1},
                                         {TomRampDouble, 1},
                                         {Tom10, 1},
                                         {Tom12, 1},
                                         {SnareRamp, 1},
                                         {Snare, 1},
                                         {HiHatStand, 1},
                                         {HiHat, 1},
                                         {FloorTomRamp, 1},
                                         {FloorTom, 1},
                                         {CrashRampBottom, 2},
                                         {CrashRampMiddle, 2},
                                         {CrashRampTop, 2},
                                         {Crash17, 1},
                                         {Ride20, 1}}));
    ASSERT_EQ(drumOfType(TomRampDouble)->children.size(), 2u);
    EXPECT_EQ(drumOfType(HiHat), drumOfType(HiHatStand)->children.at(0));

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
    EXPECT_NEAR(room(BodyTypes::Tom10, 0).y(), 0.94f, 0.04f);
    EXPECT_NEAR(room(BodyTypes::Tom12, 0).y(), 0.85f, 0.04f);
    EXPECT_NEAR(room(BodyTypes::FloorTom, 0).y(), 0.83f, 0.05f);
    EXPECT_NEAR(room(BodyTypes::Crash17, 1).y(), 1.2f, 0.05f);
    EXPECT_NEAR(room(BodyTypes::Ride20, 0).y(), 1.05f, 0.05f);

    EXPECT_LT(room(BodyTypes::HiHat, 1).x(), room(BodyTypes::Snare, 0).x()) << "hi-hat on the left";
    EXPECT_GT(room(BodyTypes::FloorTom, 0).x(), room(BodyTypes::Tom12, 0).x())
        << "floor tom on the right";
    EXPECT_LT(room(BodyTypes::Crash17, 1).x(), 0) << "crash on the left";
    EXPECT_GT(room(BodyTypes::Ride20, 0).x(), 0) << "ride on the right";

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

namespace {

// A drum's shell placed in the room: the centre of its bottom head and the unit axis up the shell.
struct RoomShell
{
    QString name;
    QVector3D bottom, up;
    float radius, depth;
};

QVector3D toRoom(const GlMatrix& frame, const float* p, float w)
{
    const float* m = frame.m;
    return {m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12] * w,
            m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13] * w,
            m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14] * w};
}

void placeShells(const Drum& drum, const GlMatrix& parentFrame, std::vector<RoomShell>& shells)
{
    const GlMatrix frame = drum.frame(parentFrame);
    if (const auto shell = DrumShell::of(drum.type)) {
        const float up[3] = {0, shell->alongZ ? 0.f : 1.f, shell->alongZ ? 1.f : 0.f};
        shells.push_back({drum.name, toRoom(frame, shell->bottom, 1), toRoom(frame, up, 0),
                          shell->radius, shell->depth});
    }
    for (const Node* child : drum.children)
        placeShells(*static_cast<const Drum*>(child), frame, shells);
}

// Below zero inside the shell.
float signedDistance(const RoomShell& shell, const QVector3D& p)
{
    const QVector3D r = p - shell.bottom;
    const float height = QVector3D::dotProduct(r, shell.up);
    const float radial = (r - shell.up * height).length() - shell.radius;
    const float axial = std::max(-height, height - shell.depth);
    return std::hypot(std::max(radial, 0.f), std::max(axial, 0.f)) +
           std::min(std::max(radial, axial), 0.f);
}

// Points every few centimetres over the side and both heads (no shell of the kit lies along X).
std::vector<QVector3D> surface(const RoomShell& shell)
{
    const QVector3D across = QVector3D::crossProduct(shell.up, {1, 0, 0}).normalized();
    const QVector3D third = QVector3D::crossProduct(shell.up, across);
    std::vector<QVector3D> points;
    constexpr int turns = 72, steps = 12;
    for (int k = 0; k < turns; ++k) {
        const float angle = 2 * float(M_PI) * k / turns;
        const QVector3D out = across * std::cos(angle) + third * std::sin(angle);
        for (int i = 0; i <= steps; ++i) {
            points.push_back(shell.bottom + shell.up * (shell.depth * i / steps) +
                             out * shell.radius);
            for (float head : {0.f, shell.depth})
                points.push_back(shell.bottom + shell.up * head + out * (shell.radius * i / steps));
        }
    }
    return points;
}

float clearance(const RoomShell& a, const RoomShell& b)
{
    float nearest = std::numeric_limits<float>::max();
    for (const auto& [from, to] : {std::pair{&a, &b}, {&b, &a}})
        for (const QVector3D& p : surface(*from))
            nearest = std::min(nearest, signedDistance(*to, p));
    return nearest;
}

} // namespace

// The shells, as the lists draw them, keep clear of one another.
TEST_F(DefaultKit, NoTwoDrumShellsMeet)
{
    std::vector<RoomShell> shells;
    for (const auto& drum : kit.rootDrums)
        placeShells(*drum, GlMatrix(), shells);
    ASSERT_EQ(shells.size(), 5u) << "kick, two toms, snare and floor tom";
    float closest = std::numeric_limits<float>::max();
    for (size_t i = 0; i < shells.size(); ++i) {
        for (size_t j = i + 1; j < shells.size(); ++j) {
            const float gap = clearance(shells[i], shells[j]);
            EXPECT_GT(gap, 0) << qPrintable(shells[i].name) << " and "
                              << qPrintable(shells[j].name);
            closest = std::min(closest, gap);
        }
    }
    std::printf("closest drum shells %.1f mm apart\n", closest * 1000);
}
