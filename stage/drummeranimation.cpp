#include "stage/drummeranimation.h"

#include "common/dialogs.h"
#include "humanoid/human.h"
#include "kinematics/iksolve.h"
#include "kit/bodytypes.h"
#include "kit/drumset.h"

#include <algorithm>
#include <cstdlib>

// The first placement of a foot: drawn up in front of the hips, so that the solve does not start
// from a leg stretched through the floor, and then set down above the pedal's hit point.
struct DrummerAnimation::FootPlacement
{
    ikVector drawnUp; // from the solver root
    ikVector orientation;
    int drawnUpSolves;
    double pedalLift;
    int pedalSolves;
    double positionTolerance;
    double orientationTolerance;
};

// Where a foot is solved to in each beat tick while the feet are placed by inverse kinematics.
struct DrummerAnimation::FootOnPedal
{
    double lift;
    ikVector orientation;
};

namespace {

// The feet point back along the drummer's facing: half a turn about Y, written to eight places.
// The left foot is turned out by 0.4 on its pedal and by 0.3 while it is drawn up. Each turn is
// written out, as footTurn - 0.4 would miss 2.74159265 by one unit in the last place.
constexpr double footTurn = 3.14159265;
constexpr double leftFootTurnOnPedal = 2.74159265;
constexpr double leftFootTurnDrawnUp = 2.84159265;

// The sticks rest raised before the chest: from the arms' pose there, every hit point of the kit
// is in reach without an arm passing through the body.
const ikPoint rightHandRest(0.12, 1.16, 0.65);
const ikPoint leftHandRest(-0.12, 1.16, 0.65);

const DrummerAnimation::FootPlacement rightFootPlacement = {
    {0, 0.2, 0}, {0.15, footTurn, 0}, 10, 0.1, 10, 0.05, 0.03};
const DrummerAnimation::FootPlacement leftFootPlacement = {
    {-0.2, 0.2, 0.2}, {0.3, leftFootTurnDrawnUp, 0}, 10, 0.05, 11, 0.005, 0.01};
const DrummerAnimation::FootOnPedal rightFootOnPedal = {0.07, {0.1, footTurn, 0}};
const DrummerAnimation::FootOnPedal leftFootOnPedal = {0.08, {0.1, leftFootTurnOnPedal, 0}};
constexpr double footPositionTolerance = 0.05;
constexpr double footOrientationTolerance = 0.3;
// The sticks are set at rest this many times in turn, from the hips up.
constexpr int restSolves = 10;

// The stick joints sit at the tips of the drawn sticks; in the solver they are the effectors.
struct StickTip
{
    const char* wrist;
    const char* joint;
    float center[3];
};
const StickTip stickTips[2] = {
    {"l_wrist", "l_stick", {0.208218f, 0.446723f, 0.020366f}},
    {"r_wrist", "r_stick", {-0.208218f, 0.446797f, 0.020366f}},
};

// A joint the motion needs is missing from the humanoid: nothing can move without it.
[[noreturn]] void missingJoint(const char* name, const char* text)
{
    Dialogs::about(nullptr, name, text);
    std::exit(EXIT_FAILURE);
}

const char* const missingEffector = "Efector not found!";
const char* const missingBase = "Base not found!";

ikNode* findEffector(ikJoint* root, const char* name)
{
    ikNode* node = root ? root->findByName(name) : nullptr;
    if (!node)
        missingJoint(name, missingEffector);
    return node;
}

ikJoint* findJoint(ikJoint* root, const char* name, const char* text)
{
    auto* joint = dynamic_cast<ikJoint*>(root ? root->findByName(name) : nullptr);
    if (!joint)
        missingJoint(name, text);
    return joint;
}

ikPoint roomPosition(const Hitpoint& hitpoint, double lift)
{
    return {double(hitpoint.worldX), double(hitpoint.worldY) + lift, double(hitpoint.worldZ)};
}

} // namespace

DrummerAnimation::DrummerAnimation(Human& human, const DrumSet& kit)
    : human(human), rightArm(rightHandRest), leftArm(leftHandRest)
{
    right.goal.position = ikPoint();
    right.goal.orientation = ikVector();
    left.goal = right.goal;
    setKit(kit);
}

DrummerAnimation::~DrummerAnimation() = default;

void DrummerAnimation::setUp()
{
    addStickTips();
    human.buildIkSkeleton();
    setUpSolver();
}

void DrummerAnimation::addStickTips()
{
    for (const StickTip& tip : stickTips) {
        Node* wrist = human.root ? human.root->find(tip.wrist) : nullptr;
        // Without the wrist the stick effector is missing, which the look-up reports.
        if (!wrist)
            continue;
        auto* joint = new Joint;
        joint->name = tip.joint;
        for (int i = 0; i < 3; ++i)
            joint->center[i] = tip.center[i];
        wrist->addChild(joint);
    }
}

// The solver's tree is turned by half a turn about Y, so that the drummer faces the kit along -Z.
void DrummerAnimation::setUpSolver()
{
    ikJoint* root = human.ikRoot.get();
    if (root) {
        root->frame = root->frame.rotateY(ikPi);
        root->angles.y = ikPi;
    }
    lookUpJoints();
    human.takeIkAngles();

    solver = std::make_unique<ikFrame>();
    solver->root = root;
    solver->world = root->frame;

    // Brings every frame and position of the tree up to date once.
    ikDestination here;
    here.position = root->position;
    ikIteration refresh(root, root, root, here, root->frame);
    refresh.propagate(root, true);
}

void DrummerAnimation::lookUpJoints()
{
    ikJoint* root = human.ikRoot.get();
    ikNode* rightStick = findEffector(root, "r_stick");
    ikNode* leftStick = findEffector(root, "l_stick");
    right.toes = findEffector(root, "r_metatarsal");
    left.toes = findEffector(root, "l_metatarsal");
    baseHips = findJoint(root, "sacroiliac", missingBase);
    effTorso = findJoint(root, "vc4", missingEffector);
    ikJoint* leftShoulder = findJoint(root, "l_shoulder", missingBase);
    ikJoint* rightShoulder = findJoint(root, "r_shoulder", missingBase);
    // The feet turn by rotating the joints above the effectors.
    if (!right.toes->parent)
        missingJoint("r_metatarsal", missingEffector);
    if (!left.toes->parent)
        missingJoint("l_metatarsal", missingEffector);
    auto arm = [this](const char* name) { return static_cast<Joint*>(human.root->find(name)); };
    rightArm.attach(arm("r_shoulder"), rightStick, rightShoulder);
    leftArm.attach(arm("l_shoulder"), leftStick, leftShoulder);
}

void DrummerAnimation::setKit(const DrumSet& drums)
{
    kit = &drums;
    right.pedal = -1;
    left.pedal = -1;
    const std::vector<Drum*>& all = kit->allDrums;
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i]->type == BodyTypes::Kick)
            right.pedal = int(i);
    for (size_t i = 0; i < all.size(); ++i)
        if (all[i]->type == BodyTypes::HiHatStand)
            left.pedal = int(i);
}

void DrummerAnimation::moveRHand(int drum, int hitpoint)
{
    startStroke(rightArm, drum, hitpoint);
}

void DrummerAnimation::moveLHand(int drum, int hitpoint)
{
    startStroke(leftArm, drum, hitpoint);
}

// A note that the kit does not hold (the note parser may still hold an older kit) starts no
// stroke either.
void DrummerAnimation::startStroke(DrummerHand& hand, int drum, int hitpoint)
{
    returnsInUpkeep = false;
    if (drum < 0 || drum >= int(kit->allDrums.size()))
        return;
    const Drum& piece = *kit->allDrums[size_t(drum)];
    if (piece.type == BodyTypes::Kick || piece.type == BodyTypes::HiHatStand)
        return;
    if (hitpoint < 0 || hitpoint >= int(piece.hitpoints.size()))
        return;
    hand.startStroke(roomPosition(*piece.hitpoints[size_t(hitpoint)], 0));
}

void DrummerAnimation::stop()
{
    returnsInUpkeep = true;
    rightArm.startReturn();
    leftArm.startReturn();
}

void DrummerAnimation::beatTick(bool posing, bool footIK)
{
    if (posing && ready()) {
        if (!footIK)
            rotateFeet();
        rightArm.beatStep(*solver);
        leftArm.beatStep(*solver);
        if (footIK) {
            followPedal(right, rightFootOnPedal);
            followPedal(left, leftFootOnPedal);
        }
        rightArm.countIdle();
        leftArm.countIdle();
    }
    human.takeIkAngles();
}

// The ankles follow the pedals' openings: in the kit's order, so the last pedal of a kind wins.
void DrummerAnimation::rotateFeet()
{
    for (const Drum* drum : kit->allDrums) {
        if (drum->type == BodyTypes::Kick)
            right.toes->parent->angles.x = drum->opening / 100;
        else if (drum->type == BodyTypes::HiHatStand)
            left.toes->parent->angles.x = (drum->opening * 5 + 6) / 100;
    }
}

// A pedal without a hit point leaves its foot where it is.
void DrummerAnimation::followPedal(Foot& foot, const FootOnPedal& onPedal)
{
    if (const Hitpoint* pedal = pedalHitpoint(foot)) {
        foot.goal.position = roomPosition(*pedal, onPedal.lift);
        foot.goal.orientation = onPedal.orientation;
        solver->solve(foot.toes, baseHips, foot.goal, footPositionTolerance,
                      footOrientationTolerance);
    }
}

const Hitpoint* DrummerAnimation::pedalHitpoint(const Foot& foot) const
{
    if (foot.pedal < 0 || foot.pedal >= int(kit->allDrums.size()))
        return nullptr;
    const Drum& drum = *kit->allDrums[size_t(foot.pedal)];
    return drum.hitpoints.empty() ? nullptr : drum.hitpoints.front().get();
}

void DrummerAnimation::place()
{
    const ikPoint root = human.ikRoot->position;
    placeFoot(right, root, rightFootPlacement);
    placeFoot(left, root, leftFootPlacement);
    for (int i = 0; i < restSolves; ++i) {
        rightArm.reachRest(*solver, baseHips);
        leftArm.reachRest(*solver, baseHips);
    }
    human.storePose();
    human.takeIkAngles();
}

void DrummerAnimation::placeFoot(Foot& foot, const ikPoint& root, const FootPlacement& placement)
{
    const Hitpoint* pedal = pedalHitpoint(foot);
    if (!pedal)
        return;
    const ikVector& up = placement.drawnUp;
    auto solveRepeatedly = [&](int times) {
        for (int i = 0; i < times; ++i)
            solver->solve(foot.toes, baseHips, foot.goal, placement.positionTolerance,
                          placement.orientationTolerance);
    };
    foot.goal.position = ikPoint(root.x + up.x, root.y + up.y, root.z + up.z);
    foot.goal.orientation = placement.orientation;
    solveRepeatedly(placement.drawnUpSolves);
    foot.goal.position = roomPosition(*pedal, placement.pedalLift);
    solveRepeatedly(placement.pedalSolves);
}

void DrummerAnimation::upkeep()
{
    followSticks();
    upkeepReturn(leftArm);
    upkeepReturn(rightArm);
}

// The head turns toward the midpoint of the sticks, a fifth of the way per tick.
void DrummerAnimation::followSticks()
{
    const ikPoint& r = rightArm.stick()->position;
    const ikPoint& l = leftArm.stick()->position;
    const ikPoint m((r.x + l.x) / 2, (r.y + l.y) / 2, (r.z + l.z) / 2);
    const ikPoint& t = effTorso->position;
    const ikVector forward(0, 0, -1);
    const ikVector across(m.x - t.x, 0, m.z - t.z);
    const ikVector down(0, m.y - t.y, m.z - t.z);
    ikVector& angles = effTorso->angles;

    const double a = forward.angle(across);
    if (m.x > t.x)
        angles.y = std::min(angles.y + a / 5, a);
    else
        angles.y = std::max(angles.y - a / 5, -a);

    const double b = forward.angle(down) / 2;
    if (m.y > t.y)
        angles.x = std::max(angles.x - b / 5, -b);
    else
        angles.x = std::min(angles.x + b / 5, b);
}

void DrummerAnimation::upkeepReturn(DrummerHand& hand)
{
    if (returnsInUpkeep && hand.returning()) {
        hand.returnStep(*solver);
        human.takeIkAngles();
    }
}
