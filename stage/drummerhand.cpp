#include "stage/drummerhand.h"

#include "humanoid/skeleton.h"
#include "playback/beattiming.h"

namespace {

constexpr int strokeSteps = BeatTiming::strokeTicks;
// Below this step a stroke lifts the stick and a return has arrived.
constexpr int lastGoalStep = BeatTiming::strokeLiftTicks + 1;
constexpr int idleLimit = DrummerHand::resting - 1;
// A move toward a goal takes this many steps, the last of them lastGoalStep.
constexpr int strokeDivisor = BeatTiming::strokeApproachTicks;
constexpr int returnDivisor = 16;
constexpr int returnSteps = returnDivisor + lastGoalStep - 1;
constexpr double positionTolerance = 0.05;
constexpr double orientationTolerance = 0.3;

ikDestination goalAt(const ikPoint& position)
{
    ikDestination goal;
    goal.position = position;
    return goal;
}

} // namespace

DrummerHand::DrummerHand(const ikPoint& rest)
    : targetGoal(goalAt(rest)), fromGoal(goalAt(rest)), restGoal(goalAt(rest))
{
}

void DrummerHand::attach(Joint* armJoint, ikNode* stick, ikJoint* shoulder)
{
    arm = armJoint;
    stickTip = stick;
    shoulderBase = shoulder;
}

void DrummerHand::startStroke(const ikPoint& hitpoint)
{
    fromGoal.position = targetGoal.position;
    targetGoal.position = hitpoint;
    idleTicks = 0;
    steps = strokeSteps;
}

void DrummerHand::startReturn()
{
    idleTicks = resting;
    fromGoal.position = targetGoal.position;
    targetGoal.position = restGoal.position;
    steps = returnSteps;
}

void DrummerHand::beatStep(ikFrame& solver)
{
    if (steps >= lastGoalStep && idleTicks < resting) {
        stepToward(solver, strokeDivisor);
    } else if (returning()) {
        returnStep(solver);
    } else if (steps > 0 && idleTicks < resting) {
        // The lift: each step raises the goal and draws it back toward the drummer.
        arm->restorePose();
        ikPoint& goal = *targetGoal.position;
        goal.y += 0.1;
        goal.z -= 0.05;
        solve(solver, targetGoal);
        --steps;
    }
}

void DrummerHand::countIdle()
{
    if (idleTicks == idleLimit)
        startReturn();
    else if (idleTicks < idleLimit)
        ++idleTicks;
}

bool DrummerHand::returning() const
{
    return steps >= lastGoalStep && idleTicks == resting;
}

void DrummerHand::returnStep(ikFrame& solver)
{
    arm->restorePose();
    stepToward(solver, returnDivisor);
}

void DrummerHand::reachRest(ikFrame& solver, ikJoint* hips) const
{
    solver.solve(stickTip, hips, restGoal, positionTolerance, orientationTolerance);
}

// The goal lies (step - lastGoalStep) divisor-ths of the way back from Target toward From, so
// that step lastGoalStep reaches Target.
void DrummerHand::stepToward(ikFrame& solver, int divisor)
{
    const ikPoint& target = *targetGoal.position;
    const ikPoint& from = *fromGoal.position;
    const double back = steps - lastGoalStep;
    const ikDestination goal = goalAt({target.x - (target.x - from.x) / divisor * back,
                                       target.y - (target.y - from.y) / divisor * back,
                                       target.z - (target.z - from.z) / divisor * back});
    solve(solver, goal);
    --steps;
}

void DrummerHand::solve(ikFrame& solver, const ikDestination& goal) const
{
    solver.solve(stickTip, shoulderBase, goal, positionTolerance, orientationTolerance);
}
