#pragma once

#include "kinematics/iktree.h"

class Joint;

// One of the drummer's hands: its goals, its two counters and the joints that move it. A stroke
// counts its step down from BeatTiming::strokeTicks to 1, the approach first and then the lift; a
// return to rest counts 18..3. The idle count is the beat ticks since the hand's last stroke,
// 0..24; at resting the hand is returning to or resting at its rest goal. Every goal is a
// position only.
class DrummerHand
{
public:
    static constexpr int resting = 25;

    // Target, from and rest goals all at rest, no stroke under way.
    explicit DrummerHand(const ikPoint& rest);

    // The arm's skeleton joint, whose stored pose the arm goes back to before a return or a lift
    // step, and the stick's tip and the shoulder in the solver's tree.
    void attach(Joint* armJoint, ikNode* stick, ikJoint* shoulder);

    // The approach starts from the present goal, not from where the stick has got to.
    void startStroke(const ikPoint& hitpoint);
    void startReturn();
    // The step of one beat tick: one approach, return or lift step, or nothing.
    void beatStep(ikFrame& solver);
    // One more beat tick since the stroke; the 25th starts the return to rest.
    void countIdle();
    // A return to rest that is under way, stepped by the beat clock or the upkeep timer.
    bool returning() const;
    void returnStep(ikFrame& solver);
    // Solves the stick toward the rest goal over the whole body from the hips up.
    void reachRest(ikFrame& solver, ikJoint* hips) const;

    int step() const { return steps; }
    int idle() const { return idleTicks; }
    const ikPoint& target() const { return *targetGoal.position; }
    const ikPoint& from() const { return *fromGoal.position; }
    const ikPoint& rest() const { return *restGoal.position; }
    ikNode* stick() const { return stickTip; }
    ikJoint* shoulder() const { return shoulderBase; }

private:
    void stepToward(ikFrame& solver, int divisor);
    void solve(ikFrame& solver, const ikDestination& goal) const;

    ikDestination targetGoal, fromGoal, restGoal;
    int steps = 0;
    int idleTicks = resting;
    Joint* arm = nullptr;
    ikNode* stickTip = nullptr;
    ikJoint* shoulderBase = nullptr;
};
