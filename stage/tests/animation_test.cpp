#include "humanoid/human.h"
#include "kit/bodytypes.h"
#include "kit/drumbody.h"
#include "playback/beattiming.h"
#include "stage/tests/drummerrig.h"
#include "stage/tests/stagerig.h"
#include "testing/gltest.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr double near = 0.05;

ikPoint lifted(ikPoint p, double dy, double dz = 0)
{
    return {p.x, p.y + dy, p.z + dz};
}

double distance(const ikNode* node, const ikPoint& p)
{
    return node->position.distance(p);
}

// The drummer placed at the default kit, without a view.
class Animation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        rig.place();
        snare = rig.drumOfType(BodyTypes::Snare);
        hihat = rig.drumOfType(BodyTypes::HiHat);
        floorTom = rig.drumOfType(BodyTypes::FloorTom);
        kick = rig.drumOfType(BodyTypes::Kick);
        hihatStand = rig.drumOfType(BodyTypes::HiHatStand);
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            rig.tick();
    }
    void upkeeps(int count)
    {
        for (int i = 0; i < count; ++i)
            drummer.upkeep();
    }

    // A stroke of one hand toward a hit point that is not a pedal. The measured strokes are the
    // table's: from rest, or after a stroke of the same hand.
    struct Stroke
    {
        bool right;
        int drum, hitpoint;
        bool measured, fromRest;
    };
    // A hand may be sent to any hit point that is not a pedal: a lone note goes to the other hand
    // when one is busy. Plays each such stroke with each hand, from rest and from wherever the
    // hand's last stroke left it. A hand gets at most one note a step, so its last stroke began
    // whole steps ago: it is on its way (1), at its hit point (2), done (3 and on, until the hand
    // starts back), or the hand is on its way back to rest (9 to 13), where the stroke solves from
    // the arm's present pose. visit(stroke, tick, last) follows each tick of every stroke played:
    // the approach of a measured one.
    template <typename Visit> void playEveryStroke(Visit visit)
    {
        std::vector<Stroke> targets;
        const std::vector<Drum*>& drums = rig.kit.allDrums;
        for (const bool rightHand : {true, false})
            for (size_t d = 0; d < drums.size(); ++d)
                if (drums[d]->type != BodyTypes::Kick && drums[d]->type != BodyTypes::HiHatStand)
                    for (size_t h = 0; h < drums[d]->hitpoints.size(); ++h)
                        targets.push_back({rightHand, int(d), int(h), false, false});
        ASSERT_EQ(targets.size(), 22u);
        auto play = [&](const Stroke& s, int tickCount) {
            if (s.right)
                drummer.moveRHand(s.drum, s.hitpoint);
            else
                drummer.moveLHand(s.drum, s.hitpoint);
            for (int tick = 1; tick <= tickCount; ++tick) {
                rig.tick();
                visit(s, tick, tick == tickCount);
            }
        };
        for (const Stroke& target : targets) {
            drummer.stop();
            upkeeps(16);
            play({target.right, target.drum, target.hitpoint, true, true},
                 BeatTiming::strokeApproachTicks);
            for (const Stroke& last : targets)
                if (last.right == target.right)
                    for (const int stepsSince : {1, 2, 3, 9, 10, 11, 12, 13}) {
                        ticks(BeatTiming::strokeLiftTicks);
                        play(last, stepsSince * BeatTiming::ticksPerStep);
                        play({target.right, target.drum, target.hitpoint, true, false},
                             BeatTiming::strokeApproachTicks);
                    }
        }
    }
    QString nameOf(const Stroke& s) const
    {
        return QString(s.right ? "right hand, " : "left hand, ") +
               rig.kit.allDrums[size_t(s.drum)]->hitpoints[size_t(s.hitpoint)]->name;
    }

    DrummerRig rig;
    DrummerAnimation& drummer = rig.drummer;
    const DrummerHand& right = drummer.rightHand();
    const DrummerHand& left = drummer.leftHand();
    int snare = -1, hihat = -1, floorTom = -1, kick = -1, hihatStand = -1;
};

// The song editor's view with the drummer placed at the default kit: the view's timers and its
// flags decide what the drummer does.
class AnimatedView : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        rig.open();
        rig.place();
        ASSERT_TRUE(view.placed);
        snare = rig.drumOfType(BodyTypes::Snare);
        kick = rig.drumOfType(BodyTypes::Kick);
        hihatStand = rig.drumOfType(BodyTypes::HiHatStand);
    }

    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            view.timerSlot();
    }
    void timerEvent(int timer)
    {
        QTimerEvent event(timer);
        QCoreApplication::sendEvent(&view, &event);
    }

    StageRig rig;
    OpenView& view = rig.view;
    const DrummerAnimation& drummer = view.drummer();
    int snare = -1, kick = -1, hihatStand = -1;
};

} // namespace

TEST_F(Animation, FirstPlacementPutsFeetOnPedalsAndSticksAtRest)
{
    EXPECT_LT(distance(drummer.rightFoot(), lifted(rig.hitpointAt(kick, 0), 0.1)), near);
    EXPECT_LT(distance(drummer.leftFoot(), lifted(rig.hitpointAt(hihatStand, 0), 0.05)), near);
    EXPECT_LT(distance(right.stick(), right.rest()), near);
    EXPECT_LT(distance(left.stick(), left.rest()), near);
    EXPECT_LT(drummer.hips()->position.y, 0.7) << "seated";
    EXPECT_GT(drummer.hips()->position.y, 0.45);
}

// The approach, then the lift; 24 ticks after the stroke the hand starts back and is at rest 16
// ticks later. Each hand plays what its drum's priority gives it: the right crosses over to the
// hi-hat, the left plays the snare.
TEST_F(Animation, StrokeReachesTheHitPointAtItsSixthTickLiftsAndReturns)
{
    const ikPoint hihatTop = rig.hitpointAt(hihat, 1);
    const ikPoint snareHead = rig.hitpointAt(snare, 0);
    drummer.moveRHand(hihat, 1);
    drummer.moveLHand(snare, 0);
    EXPECT_FALSE(drummer.handsIdle());
    ticks(BeatTiming::strokeApproachTicks - 1);
    EXPECT_GT(distance(right.stick(), hihatTop), near);
    ticks(1);
    EXPECT_EQ(right.step(), BeatTiming::strokeLiftTicks);
    EXPECT_LE(distance(right.stick(), hihatTop), near);
    EXPECT_LE(distance(left.stick(), snareHead), near);

    ticks(BeatTiming::strokeLiftTicks);
    EXPECT_EQ(right.step(), 0);
    const ikPoint liftedGoal = lifted(hihatTop, 0.2, -0.1);
    EXPECT_LT(right.target().distance(liftedGoal), 1e-6);
    // The goal lies beyond the crossed-over arm's reach; the stick rises toward it.
    EXPECT_GT(right.stick()->position.y - hihatTop.y, 0.15);
    EXPECT_GT(left.stick()->position.y - snareHead.y, 0.15);

    ticks(16);
    EXPECT_EQ(right.idle(), 24);
    EXPECT_EQ(right.step(), 0) << "holding";
    ticks(1);
    EXPECT_EQ(right.idle(), 25);
    EXPECT_EQ(right.step(), 18);
    EXPECT_LT(right.from().distance(liftedGoal), 1e-6);
    ticks(15);
    EXPECT_GT(distance(right.stick(), right.rest()), 1e-3);
    ticks(1);
    EXPECT_EQ(right.step(), 2);
    EXPECT_LE(distance(right.stick(), right.rest()), near);
    EXPECT_LE(distance(left.stick(), left.rest()), near);
    ticks(5);
    EXPECT_EQ(right.step(), 2) << "resting";
    EXPECT_EQ(right.idle(), 25);
}

TEST_F(Animation, NextStrokeStartsFromTheCurrentGoal)
{
    drummer.moveRHand(snare, 0);
    ticks(1);
    drummer.moveRHand(floorTom, 0);
    EXPECT_LT(right.from().distance(rig.hitpointAt(snare, 0)), 1e-6);
    EXPECT_EQ(right.step(), BeatTiming::strokeTicks);
    EXPECT_EQ(right.idle(), 0);
    ticks(BeatTiming::strokeApproachTicks);
    EXPECT_LT(distance(right.stick(), rig.hitpointAt(floorTom, 0)), near);
}

TEST_F(Animation, PedalNotesAndNotesOutsideTheKitStartNoStroke)
{
    const ikPoint resting = right.target();
    for (auto [drum, hitpoint] :
         {std::pair{kick, 0}, {hihatStand, 0}, {99, 0}, {-1, 0}, {snare, 7}, {snare, -1}}) {
        drummer.moveRHand(drum, hitpoint);
        EXPECT_EQ(right.step(), 0) << drum << " " << hitpoint;
        EXPECT_EQ(right.idle(), 25);
        EXPECT_LT(right.target().distance(resting), 1e-9);
    }
    EXPECT_FALSE(drummer.handsIdle()) << "any note means playback";
}

TEST_F(Animation, StoppedHandsReturnInSixteenUpkeepTicks)
{
    drummer.moveRHand(floorTom, 0);
    drummer.moveLHand(hihat, 1);
    ticks(4);
    drummer.stop();
    EXPECT_TRUE(drummer.handsIdle());
    EXPECT_EQ(right.step(), 18);
    EXPECT_EQ(left.step(), 18);
    upkeeps(16);
    EXPECT_EQ(right.step(), 2);
    EXPECT_EQ(left.step(), 2);
    EXPECT_LT(distance(right.stick(), right.rest()), near);
    EXPECT_LT(distance(left.stick(), left.rest()), near);
}

// A kick note clears handsIdle: the beat clock, not the upkeep timer, steps the return then.
TEST_F(Animation, PedalNoteHandsAReturnToTheBeatClock)
{
    drummer.moveLHand(hihat, 1);
    ticks(3);
    drummer.stop();
    upkeeps(2);
    EXPECT_EQ(left.step(), 16);
    drummer.moveRHand(kick, 0);
    upkeeps(3);
    EXPECT_EQ(left.step(), 16);
    ticks(1);
    EXPECT_EQ(left.step(), 15);
}

// Stopped, and the song started again: until a note clears handsIdle, a hand still on its way
// back is stepped twice, by the beat tick and by the upkeep.
TEST_F(Animation, ReturnBeforeTheFirstNoteIsSteppedByBothClocks)
{
    drummer.moveRHand(snare, 0);
    ticks(2);
    drummer.stop();
    ticks(1);
    EXPECT_EQ(right.step(), 17);
    upkeeps(1);
    EXPECT_EQ(right.step(), 16);
    EXPECT_EQ(left.step(), 16) << "the resting hand returns to where it is";
    EXPECT_EQ(right.idle(), 25) << "a returning hand counts no idle ticks";
}

TEST_F(AnimatedView, HiddenDrummerOnlySwingsAndStepsPedals)
{
    Drum& crash = *view.drumSet->allDrums[size_t(rig.drumOfType(BodyTypes::Crash17))];
    Drum& kickDrum = *view.drumSet->allDrums[size_t(kick)];
    crash.hit(100, Hitpoint::ByEnd);
    kickDrum.hit(100, Hitpoint::RightFoot);
    view.showDrummer = false;
    view.moveRHand(snare, 0);
    const ikVector ankle = drummer.rightFoot()->parent->angles;
    const int framesBefore = crash.frames;
    timerEvent(view.swingTimer);
    EXPECT_EQ(crash.frames, framesBefore - 1) << "the swing timer swings the kit";
    ticks(1);
    EXPECT_GT(kickDrum.opening, 0) << "the pedal moves";
    EXPECT_EQ(drummer.rightHand().step(), BeatTiming::strokeTicks) << "the hand does not";
    EXPECT_EQ(drummer.rightFoot()->parent->angles, ankle);

    DrumSet sameKit(rig.kit);
    view.recvSet(&sameKit);
    timerEvent(view.upkeepTimer);
    EXPECT_FALSE(view.placed) << "no placement while the drummer is hidden";
    view.showDrummer = true;
    timerEvent(view.upkeepTimer);
    EXPECT_TRUE(view.placed);
}

TEST_F(AnimatedView, FeetFollowTheLastPedalsOfTheKit)
{
    // A second kick and hi-hat stand behind the first ones in the kit's list.
    DrumSet kit(rig.kit);
    auto* secondKick = new Drum(*kit.allDrums[size_t(kick)]);
    auto* secondStand = new Drum(*kit.allDrums[size_t(hihatStand)]);
    secondKick->setupType();
    secondStand->setupType();
    secondKick->translation[0] += 0.3f;
    kit.addRootDrum(secondKick);
    kit.addRootDrum(secondStand);
    view.recvSet(&kit);
    EXPECT_EQ(drummer.kickIndex(), int(kit.allDrums.size()) - 2);
    EXPECT_EQ(drummer.hihatIndex(), int(kit.allDrums.size()) - 1);
    EXPECT_FALSE(view.placed);
    EXPECT_NE(view.drumSet.get(), &kit) << "the view keeps a copy";
    EXPECT_EQ(view.drumSet->allDrums, kit.allDrums) << "that shares the drums";

    // Simple rotation: the ankles follow the last kick and the last stand.
    view.upkeep();
    kit.allDrums[size_t(kick)]->hit(100, Hitpoint::RightFoot);
    ticks(1);
    EXPECT_FLOAT_EQ(float(drummer.rightFoot()->parent->angles.x), 0.0f);
    EXPECT_FLOAT_EQ(float(drummer.leftFoot()->parent->angles.x), 0.06f);
    secondKick->hit(100, Hitpoint::RightFoot);
    ticks(1);
    EXPECT_FLOAT_EQ(float(drummer.rightFoot()->parent->angles.x), secondKick->opening / 100);

    // By inverse kinematics: onto the last kick's pedal.
    view.useFootIK = true;
    ticks(1);
    EXPECT_LT(distance(drummer.rightFoot(), lifted(rig.hitpointAt(drummer.kickIndex(), 0), 0.07)),
              near);

    DrumSet none;
    view.recvSet(&none);
    EXPECT_EQ(drummer.kickIndex(), -1);
    EXPECT_EQ(drummer.hihatIndex(), -1);
}

TEST_F(AnimatedView, PedalWithoutHitPointLeavesItsFootWhereItIs)
{
    Drum& kickDrum = *rig.kit.allDrums[size_t(kick)];
    const auto hitpoints = kickDrum.hitpoints;
    kickDrum.hitpoints.clear();
    view.recvSet(&rig.kit);
    const ikPoint foot = drummer.rightFoot()->position;
    view.upkeep();
    EXPECT_TRUE(view.placed);
    EXPECT_LT(distance(drummer.rightFoot(), foot), 1e-9);
    view.useFootIK = true;
    ticks(3);
    EXPECT_LT(distance(drummer.rightFoot(), foot), 1e-9);
    EXPECT_LT(distance(drummer.leftFoot(), lifted(rig.hitpointAt(hihatStand, 0), 0.08)), near);
    kickDrum.hitpoints = hitpoints;
}

TEST_F(Animation, HeadTurnsTowardTheSticks)
{
    drummer.moveRHand(floorTom, 0);
    drummer.moveLHand(floorTom, 0);
    ticks(BeatTiming::strokeApproachTicks);
    upkeeps(20);
    EXPECT_GT(drummer.torso()->angles.y, 0.05) << "toward the drummer's right";
    const double turned = drummer.torso()->angles.y;

    drummer.moveRHand(hihat, 1);
    drummer.moveLHand(hihat, 1);
    ticks(BeatTiming::strokeApproachTicks);
    upkeeps(1);
    EXPECT_LT(drummer.torso()->angles.y, turned) << "a fifth of the way per tick";
    upkeeps(30);
    EXPECT_LT(drummer.torso()->angles.y, -0.05) << "toward the hi-hat on his left";
    EXPECT_GT(drummer.torso()->angles.x, 0) << "looking down at the drums";
}

// The snare stands in front of the seated drummer's knees: no thigh passes through its shell.
TEST_F(Animation, ThighsStayClearOfTheSnare)
{
    const DrumShell shell = *DrumShell::of(BodyTypes::Snare);
    const double shellRadius = shell.radius, shellDepth = shell.depth, thighRadius = 0.085;
    const double tilt = double(rig.kit.allDrums[size_t(snare)]->rotation[0]) * ikPi / 180;
    const ikVector axis(0, std::cos(tilt), std::sin(tilt));
    const ikPoint head = rig.hitpointAt(snare, 0);
    for (const char* side : {"l_", "r_"}) {
        const ikPoint hip = rig.node((std::string(side) + "hip").c_str())->position;
        const ikPoint knee = rig.node((std::string(side) + "knee").c_str())->position;
        for (int i = 0; i <= 20; ++i) {
            const ikVector along(hip, knee);
            const ikPoint p = ikVector(hip).add(along.scale(i / 20.0)).toPoint();
            const ikVector fromHead(head, p);
            const double height = fromHead.dot(axis);
            const double radial = fromHead.sub(axis.scale(height)).length();
            const bool beside = radial > shellRadius + thighRadius;
            const bool below = height < -shellDepth - thighRadius;
            EXPECT_TRUE(beside || below)
                << side << "thigh at " << i << "/20: " << radial << " " << height;
        }
    }
}

// In every measured stroke of the table the hand's stick is at its hit point at the sixth tick.
TEST_F(Animation, EitherHandReachesEveryHitPointAtTheSixthTick)
{
    std::map<QString, double> worst;
    playEveryStroke([&](const Stroke& s, int tick, bool) {
        if (s.measured && tick == BeatTiming::strokeApproachTicks) {
            double& miss = worst[nameOf(s)];
            const ikNode* stick = (s.right ? right : left).stick();
            miss = std::max(miss, distance(stick, rig.hitpointAt(s.drum, s.hitpoint)));
        }
    });
    auto largest = worst.begin();
    QString misses;
    for (auto at = worst.begin(); at != worst.end(); ++at) {
        misses += QString("\n%1: %2 mm").arg(at->first).arg(at->second * 1000, 0, 'f', 2);
        if (at->second > largest->second)
            largest = at;
    }
    std::printf("largest stroke miss %.2f mm (%s)\n", largest->second * 1000,
                qPrintable(largest->first));
    EXPECT_LE(largest->second, near)
        << "largest miss per hand and hit point:" << misses.toStdString();
}

namespace {

// How far an arm reaches into the torso. The torso below the armpits is an elliptic cylinder
// along the spine, from the pelvis through the chest joint, with the abdomen's section; an arm is
// its bones from shoulder to elbow to wrist or, thick, capsules round them as thick as its body
// parts. The depth is measured along the section's radius; below zero the arm is clear.
class TorsoProbe
{
public:
    explicit TorsoProbe(const DrummerRig& rig) : rig(rig)
    {
        const Segment& abdomen = segment("abdomen");
        halfWidth = abdomen.bboxSize[0] / 2;
        halfDepth = abdomen.bboxSize[2] / 2;
        const auto& lumbar = dynamic_cast<const Joint&>(*rig.human.root->find("vl5"));
        forward = abdomen.bboxCenter[2] - lumbar.center[2];
        upperArmRadius = segment("l_upperarm").bboxSize[0] / 2;
        forearmRadius = segment("l_forearm").bboxSize[0] / 2;
    }

    double depth(bool rightArm, bool thick) const
    {
        const std::string side = rightArm ? "r_" : "l_";
        const ikPoint shoulder = at(side + "shoulder"), elbow = at(side + "elbow");
        const ikPoint wrist = at(side + "wrist");
        const ikPoint pelvis = at("sacroiliac"), chest = at("vt10");
        const ikPoint armpits = between(chest, at("vc4"), 0.5);
        const ikVector across(at("r_shoulder"), at("l_shoulder"));
        double deepest = -1;
        for (int i = 0; i <= samples; ++i) {
            const double t = double(i) / samples;
            for (const auto& [p, radius] : {std::pair{between(shoulder, elbow, t), upperArmRadius},
                                            {between(elbow, wrist, t), forearmRadius}})
                for (const auto& [low, high] : {std::pair{pelvis, chest}, {chest, armpits}})
                    deepest = std::max(deepest, depthIn(low, high, across, p, thick ? radius : 0));
        }
        return deepest;
    }

private:
    static constexpr int samples = 12;

    static ikPoint between(const ikPoint& a, const ikPoint& b, double t)
    {
        return ikVector(a).add(ikVector(a, b).scale(t)).toPoint();
    }
    ikPoint at(const std::string& name) const { return rig.node(name.c_str())->position; }
    const Segment& segment(const char* name) const
    {
        return dynamic_cast<const Segment&>(*rig.human.root->find(name));
    }

    // How far a ball at p reaches into the torso between two spine joints; -1 above or below.
    double depthIn(const ikPoint& low, const ikPoint& high, const ikVector& across,
                   const ikPoint& p, double radius) const
    {
        const ikVector spine(low, high);
        const double length = spine.length();
        const ikVector up = spine.scale(1 / length);
        const ikVector r(low, p);
        const double height = r.dot(up);
        if (height < 0 || height > length)
            return -1;
        const ikVector side = across.sub(up.scale(across.dot(up)));
        const ikVector lateral = side.scale(1 / side.length());
        const double u = r.dot(lateral);
        const double v = r.dot(lateral.cross(up)) - forward;
        const double a = halfWidth + radius, b = halfDepth + radius;
        const double reach = std::hypot(u, v);
        const double scaled = std::hypot(u / a, v / b);
        return scaled > 0 ? reach / scaled - reach : b;
    }

    const DrummerRig& rig;
    double halfWidth, halfDepth, forward, upperArmRadius, forearmRadius;
};

} // namespace

// No arm passes through the torso: no stroke from rest takes an arm's bones into it. The figures
// over every stroke and tick of the table are reported, for the arms' surface as well (an elbow
// drawn in against the waist touches it).
TEST_F(Animation, ArmsStayOutOfTheBody)
{
    constexpr double touch = 0.01, deep = 0.02;
    const TorsoProbe torso(rig);
    struct Figures
    {
        double stroke = 0, deepest = 0;
        int deepStrokes = 0, fromRestTouching = 0;
        QString deepestAt;
    } bones, surface;
    int strokes = 0;
    playEveryStroke([&](const Stroke& s, int tick, bool last) {
        for (Figures* f : {&bones, &surface}) {
            const double depth = torso.depth(s.right, f == &surface);
            f->stroke = std::max(tick == 1 ? 0 : f->stroke, depth);
            if (!last)
                continue;
            f->deepStrokes += f->stroke > deep;
            f->fromRestTouching += s.fromRest && f->stroke > touch;
            if (f->stroke > f->deepest) {
                f->deepest = f->stroke;
                f->deepestAt = nameOf(s) + (s.fromRest ? " from rest" : "");
            }
            if (f == &bones && s.fromRest)
                EXPECT_LE(f->stroke, touch) << qPrintable(nameOf(s)) << " from rest";
        }
        strokes += last;
    });
    EXPECT_EQ(strokes, 22 * 177);
    for (const auto& [name, f] : {std::pair{"bones", bones}, {"surface", surface}})
        std::printf(
            "arms' %s: %d of %d strokes over %.0f mm into the body, %d of 22 from rest over "
            "%.0f mm, deepest %.1f mm (%s)\n",
            name, f.deepStrokes, strokes, deep * 1000, f.fromRestTouching, touch * 1000,
            f.deepest * 1000, qPrintable(f.deepestAt));
}
