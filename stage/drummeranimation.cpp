// The drummer's motion: strokes, returns to rest, feet on the pedals and the torso following the
// sticks, driven by the beat clock, the note parser and the view's upkeep timer.

#include "humanoid/human.h"
#include "kit/bodytypes.h"
#include "kit/drumset.h"
#include "stage/qglwindow.h"

#include <algorithm>

namespace {

constexpr int strokeSteps = 8;
constexpr int returnSteps = 18;
constexpr int resting = 25;
constexpr int idleLimit = 24;
constexpr int strokeDivisor = 6;
constexpr int returnDivisor = 16;
constexpr double handPositionTolerance = 0.05;
constexpr double handOrientationTolerance = 0.3;

ikPoint roomPosition(const Hitpoint& hitpoint, double lift)
{
    return {double(hitpoint.worldX), double(hitpoint.worldY) + lift, double(hitpoint.worldZ)};
}

} // namespace

QGLWindow::Hand QGLWindow::rightHand()
{
    return {rHandTarget, rHandFrom, rHandRest, rStep, rIdle, rShoulder, effRStick, baseRShoulder};
}

QGLWindow::Hand QGLWindow::leftHand()
{
    return {lHandTarget, lHandFrom, lHandRest, lStep, lIdle, lShoulder, effLStick, baseLShoulder};
}

void QGLWindow::moveRHand(int drum, int hitpoint)
{
    startStroke(rightHand(), drum, hitpoint);
}

void QGLWindow::moveLHand(int drum, int hitpoint)
{
    startStroke(leftHand(), drum, hitpoint);
}

// Pedals are played by the feet. A note the view's kit does not hold (the note parser may still
// hold an older kit) starts no stroke either.
void QGLWindow::startStroke(Hand hand, int drum, int hitpoint)
{
    handsIdle = false;
    if (drum < 0 || drum >= int(drumSet->allDrums.size()))
        return;
    const Drum& piece = *drumSet->allDrums[size_t(drum)];
    if (piece.type == BodyTypes::Kick || piece.type == BodyTypes::HiHatStand)
        return;
    if (hitpoint < 0 || hitpoint >= int(piece.hitpoints.size()))
        return;
    hand.from.position = hand.target.position;
    hand.target.position = roomPosition(*piece.hitpoints[size_t(hitpoint)], 0);
    hand.idle = 0;
    hand.step = strokeSteps;
}

void QGLWindow::stopSlot()
{
    handsIdle = true;
    startReturn(rightHand());
    startReturn(leftHand());
}

void QGLWindow::startReturn(Hand hand)
{
    hand.idle = resting;
    hand.from.position = hand.target.position;
    hand.target.position = hand.rest.position;
    hand.step = returnSteps;
}

void QGLWindow::recvSet(DrumSet* set)
{
    drumSet = set ? std::make_unique<DrumSet>(*set) : std::make_unique<DrumSet>();
    kickIndex = -1;
    hihatIndex = -1;
    const std::vector<Drum*>& drums = drumSet->allDrums;
    for (size_t i = 0; i < drums.size(); ++i)
        if (drums[i]->type == BodyTypes::Kick)
            kickIndex = int(i);
    for (size_t i = 0; i < drums.size(); ++i)
        if (drums[i]->type == BodyTypes::HiHatStand)
            hihatIndex = int(i);
    drumSet->updateHitpointPositions();
    placed = false;
}

void QGLWindow::swingDrums()
{
    for (Drum* drum : drumSet->allDrums)
        drum->animateSwing();
}

void QGLWindow::timerSlot()
{
    for (Drum* drum : drumSet->allDrums)
        drum->animatePedal();
    if (placed && showDrummer && ikReady) {
        if (!useFootIK)
            rotateFeet();
        beatStepHand(rightHand());
        beatStepHand(leftHand());
        if (useFootIK)
            solveFeet();
        countIdle(rightHand());
        countIdle(leftHand());
    }
    human->takeIkAngles();
}

void QGLWindow::solveHand(const Hand& hand, const ikDestination& goal)
{
    solver->solve(hand.effector, hand.base, goal, handPositionTolerance, handOrientationTolerance);
}

// One step toward Target: the goal lies (step - 3) divisor-ths of the way back toward From, so
// that step 3 reaches Target.
void QGLWindow::stepHand(Hand hand, int divisor)
{
    const ikPoint& target = *hand.target.position;
    const ikPoint& from = *hand.from.position;
    const double back = hand.step - 3;
    ikDestination goal;
    goal.position = ikPoint(target.x - (target.x - from.x) / divisor * back,
                            target.y - (target.y - from.y) / divisor * back,
                            target.z - (target.z - from.z) / divisor * back);
    solveHand(hand, goal);
    --hand.step;
}

void QGLWindow::beatStepHand(Hand hand)
{
    if (hand.step > 2 && hand.idle < resting) {
        stepHand(hand, strokeDivisor);
    } else if (hand.step > 2 && hand.idle == resting) {
        hand.shoulder->restorePose();
        stepHand(hand, returnDivisor);
    } else if (hand.step > 0 && hand.idle < resting) {
        // The lift: each step raises the goal and draws it back toward the drummer.
        hand.shoulder->restorePose();
        ikPoint& goal = *hand.target.position;
        goal.y += 0.1;
        goal.z -= 0.05;
        solveHand(hand, hand.target);
        --hand.step;
    }
}

void QGLWindow::countIdle(Hand hand)
{
    if (hand.idle == idleLimit)
        startReturn(hand);
    else if (hand.idle < idleLimit)
        ++hand.idle;
}

void QGLWindow::rotateFeet()
{
    for (const Drum* drum : drumSet->allDrums) {
        if (drum->type == BodyTypes::Kick)
            effRFoot->parent->angles.x = drum->opening / 100;
        else if (drum->type == BodyTypes::HiHatStand)
            effLFoot->parent->angles.x = (drum->opening * 5 + 6) / 100;
    }
}

void QGLWindow::solveFeet()
{
    if (const Hitpoint* pedal = pedalHitpoint(kickIndex)) {
        rFootTarget.position = roomPosition(*pedal, 0.07);
        rFootTarget.orientation = ikVector(0.1, 3.14159265, 0);
        solver->solve(effRFoot, baseHips, rFootTarget, 0.05, 0.3);
    }
    if (const Hitpoint* pedal = pedalHitpoint(hihatIndex)) {
        lFootTarget.position = roomPosition(*pedal, 0.08);
        lFootTarget.orientation = ikVector(0.1, 2.74159265, 0);
        solver->solve(effLFoot, baseHips, lFootTarget, 0.05, 0.3);
    }
}

Hitpoint* QGLWindow::pedalHitpoint(int index) const
{
    if (index < 0 || index >= int(drumSet->allDrums.size()))
        return nullptr;
    const Drum& drum = *drumSet->allDrums[size_t(index)];
    return drum.hitpoints.empty() ? nullptr : drum.hitpoints.front().get();
}

void QGLWindow::upkeep()
{
    if (!showDrummer || !ikReady)
        return;
    if (!placed)
        placeFeetAndSticks();
    followSticks();
    upkeepIdleHand(leftHand());
    upkeepIdleHand(rightHand());
}

void QGLWindow::solveRepeatedly(ikNode* effector, ikJoint* base, const ikDestination& goal,
                                int times, double positionTolerance, double orientationTolerance)
{
    for (int i = 0; i < times; ++i)
        solver->solve(effector, base, goal, positionTolerance, orientationTolerance);
}

// Each foot is first drawn up in front of the hips and then set down on its pedal, so that the
// solve does not start from a leg stretched through the floor. A pedal without a hit point
// leaves its foot where it is.
void QGLWindow::placeFeetAndSticks()
{
    const ikPoint root = human->ikRoot->position;
    if (const Hitpoint* pedal = pedalHitpoint(kickIndex)) {
        rFootTarget.position = ikPoint(root.x, root.y + 0.2, root.z);
        rFootTarget.orientation = ikVector(0.15, 3.14159265, 0);
        solveRepeatedly(effRFoot, baseHips, rFootTarget, 10, 0.05, 0.03);
        rFootTarget.position = roomPosition(*pedal, 0.1);
        solveRepeatedly(effRFoot, baseHips, rFootTarget, 10, 0.05, 0.03);
    }
    if (const Hitpoint* pedal = pedalHitpoint(hihatIndex)) {
        lFootTarget.position = ikPoint(root.x - 0.2, root.y + 0.2, root.z + 0.2);
        lFootTarget.orientation = ikVector(0.3, 2.84159265, 0);
        solveRepeatedly(effLFoot, baseHips, lFootTarget, 10, 0.005, 0.01);
        lFootTarget.position = roomPosition(*pedal, 0.05);
        solveRepeatedly(effLFoot, baseHips, lFootTarget, 11, 0.005, 0.01);
    }
    for (int i = 0; i < 10; ++i) {
        solver->solve(effRStick, baseHips, rHandRest, handPositionTolerance,
                      handOrientationTolerance);
        solver->solve(effLStick, baseHips, lHandRest, handPositionTolerance,
                      handOrientationTolerance);
    }
    human->storePose();
    human->takeIkAngles();
    placed = true;
}

// The head turns toward the midpoint of the sticks, a fifth of the way per tick.
void QGLWindow::followSticks()
{
    const ikPoint& r = effRStick->position;
    const ikPoint& l = effLStick->position;
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

void QGLWindow::upkeepIdleHand(Hand hand)
{
    if (handsIdle && hand.step > 2 && hand.idle == resting) {
        hand.shoulder->restorePose();
        stepHand(hand, returnDivisor);
        human->takeIkAngles();
    }
}
