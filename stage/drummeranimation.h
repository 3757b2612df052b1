#pragma once

#include "stage/drummerhand.h"

#include <memory>

class DrumSet;
class Hitpoint;
class Human;

// The drummer's motion, apart from his picture: strokes started by the note parser and stepped by
// the beat clock, the feet on the pedals, the torso turning toward the sticks and hands going back
// to rest. It poses the skeleton through the solver over it and neither draws nor needs a GL
// context; the view owns it, steps it from its timers and draws what it posed.
class DrummerAnimation
{
public:
    // kit: as for setKit.
    DrummerAnimation(Human& human, const DrumSet& kit);
    DrummerAnimation(const DrummerAnimation&) = delete;
    DrummerAnimation& operator=(const DrummerAnimation&) = delete;
    ~DrummerAnimation();

    // Adds the stick tips below the wrists, mirrors the skeleton into the solver turned to face the
    // kit, and looks up the joints that the motion moves. A missing joint is shown and ends the
    // program: nothing can move without it.
    void setUp();
    bool ready() const { return solver != nullptr; }

    // The kit whose hit points the limbs aim at, with its room positions up to date; the caller
    // keeps it. The feet play the last kick drum and the last hi-hat stand of its list.
    void setKit(const DrumSet& kit);

    // A note's stroke toward a hit point of the kit (indices as the note parser sends them). Pedals
    // are played by the feet. Any note means that a song plays: its beat ticks, not the upkeep,
    // then step a return to rest.
    void moveRHand(int drum, int hitpoint);
    void moveLHand(int drum, int hitpoint);
    // The song has stopped: both hands go back to rest, stepped by the upkeep.
    void stop();

    // One beat tick. The limbs move only while posing (the drummer shown and placed); the skeleton
    // takes the solver's angles in every tick. footIK: the feet are solved onto the pedals rather
    // than turned at the ankles.
    void beatTick(bool posing, bool footIK);
    // The first placement for a kit: each foot on its pedal and the sticks at rest; the pose
    // reached is the one that strokes and returns bring the arms back to.
    void place();
    // The 20 ms upkeep after the placement: the torso turns toward the sticks, and returns to
    // rest are stepped while no song plays.
    void upkeep();

    bool handsIdle() const { return returnsInUpkeep; }
    int kickIndex() const { return right.pedal; }
    int hihatIndex() const { return left.pedal; }
    const DrummerHand& rightHand() const { return rightArm; }
    const DrummerHand& leftHand() const { return leftArm; }
    ikNode* rightFoot() const { return right.toes; }
    ikNode* leftFoot() const { return left.toes; }
    ikJoint* hips() const { return baseHips; }
    ikJoint* torso() const { return effTorso; }

    // The figures by which each foot is set on its pedal.
    struct FootPlacement;
    struct FootOnPedal;

private:
    // A foot: its effector, its goal and the index in the kit of the pedal it plays (-1: none).
    struct Foot
    {
        ikNode* toes = nullptr;
        ikDestination goal;
        int pedal = -1;
    };
    void addStickTips();
    void lookUpJoints();
    void setUpSolver();
    void startStroke(DrummerHand& hand, int drum, int hitpoint);
    // Hit point 0 of the foot's pedal; null when the kit has no such pedal or it has none.
    const Hitpoint* pedalHitpoint(const Foot& foot) const;
    void rotateFeet();
    void followPedal(Foot& foot, const FootOnPedal& onPedal);
    void placeFoot(Foot& foot, const ikPoint& root, const FootPlacement& placement);
    void followSticks();
    void upkeepReturn(DrummerHand& hand);

    Human& human;
    const DrumSet* kit;
    std::unique_ptr<ikFrame> solver;
    DrummerHand rightArm;
    DrummerHand leftArm;
    Foot right;
    Foot left;
    ikJoint* baseHips = nullptr;
    ikJoint* effTorso = nullptr;
    bool returnsInUpkeep = true;
};
