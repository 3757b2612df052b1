#pragma once

#include "kinematics/ikmath.h"

#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class ikJoint;

// A node of the solver's own tree: its name, place, global frame and position, and the errors
// that the solve records while the node is an effector.
class ikNode
{
public:
    static constexpr int historySize = 400;

    ikNode() = default;
    virtual ~ikNode() = default;

    void resetErrors();
    void recordPositionError(double e);
    void recordOrientationError(double e);

    QString name;
    // The translation of the frame turned by the node's own angles.
    ikPoint position;
    // Global frame at the node, before the node's own rotation.
    ikMatrix frame;
    ikJoint* parent = nullptr;
    // Position relative to the parent, in the parent's turned frame.
    ikVector offset;
    // Counted since the last reset; they keep counting past the ring's size.
    int posErrCount = 0;
    int oriErrCount = 0;
    std::array<double, historySize> posErrors{};
    std::array<double, historySize> oriErrors{};

protected:
    ikNode(const ikNode&) = default;
    ikNode& operator=(const ikNode&) = default;
};

// An end point without angles. Nothing turns or recomputes a site; it can be found and copied.
class ikSite : public ikNode
{
public:
    ikSite() = default;

    // A copy with the same name and parent pointer.
    std::unique_ptr<ikSite> clone() const;
};

class ikJoint : public ikNode
{
public:
    ikJoint() = default;
    ikJoint(const ikJoint&) = delete;
    ikJoint& operator=(const ikJoint&) = delete;

    // Appends child (its parent becomes this joint) and returns it.
    ikJoint* addChild(std::unique_ptr<ikJoint> child);
    ikSite* addSite(std::unique_ptr<ikSite> site);
    // A deep copy of this subtree, its root hanging at parent.
    std::unique_ptr<ikJoint> cloneUnder(ikJoint* parent) const;
    // Pre-order: this joint, then its own sites, then each child's subtree. Case-sensitive.
    ikNode* findByName(const QString& name);

    // Euler angles in radians.
    ikVector angles;
    ikVector ulimit{ikPi, ikPi, ikPi};
    ikVector llimit{-ikPi, -ikPi, -ikPi};
    // Factor of each axis's step; 0 blocks the axis.
    ikVector stiffness{1, 1, 1};
    std::vector<std::unique_ptr<ikJoint>> children;
    std::vector<std::unique_ptr<ikSite>> sites;

private:
    friend class ikIteration;

    // What the solve keeps between steps: the frame turned by the angles (the frame the children
    // hang from), the trigonometry of the angles, and whether the frame must be recomputed from
    // the parent's (which then holds for the whole subtree).
    ikMatrix turned;
    ikEulerTrig trig;
    bool stale = false;
};

// A goal for an effector: a position, an orientation (Euler angles), both or neither.
class ikDestination
{
public:
    std::optional<ikPoint> position;
    std::optional<ikVector> orientation;
};

// The handle through which the program solves: the solver tree and its placement in the world.
class ikFrame
{
public:
    ikFrame() = default;

    // An independent copy of the whole tree, which the copy owns, and of the world.
    ikFrame clone() const;
    // Poses the joints from base to effector so that the effector reaches the destination within
    // the tolerances (metres; 0..4 for the orientation), in at most 12 sweeps.
    void solve(ikNode* effector, ikJoint* base, const ikDestination& destination, double posTol,
               double oriTol);

    // Not owned, unless this frame is a clone.
    ikJoint* root = nullptr;
    // The frame of the root's parent.
    ikMatrix world;

private:
    std::unique_ptr<ikJoint> ownedTree;
};
