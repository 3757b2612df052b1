#pragma once

#include "kinematics/iktree.h"

#include <vector>

// The joints that one sweep turns, from the one nearest the effector to the base (included).
class ikChain
{
public:
    ikChain() = default;
    ikChain(ikNode* effector, ikJoint* base, ikJoint* root);

    // Refills the chain; storage reserved beforehand is reused.
    void build(ikNode* effector, ikJoint* base, ikJoint* root);
    // Nodes from a up to b, both counted; -1 when b is not above a or the climb meets stop first.
    static int depth(const ikNode* a, const ikNode* b, const ikJoint* stop);

    std::vector<ikJoint*> joints;
    // Index of the lowest common ancestor of effector and base (0 when it is the effector's
    // parent): size + 1 when the base is above the effector, -1 when the effector is above the
    // base. Joints after it are reversed.
    int turn = 0;

private:
    void fillUpwards(ikJoint* from, int index, int count, int direction);
    void cutSharedPath();
};

// One solve: cyclic coordinate descent over the chain, turning each joint about Z, then X, then
// Y by the angle that is best for that axis alone.
//
// Within a sweep, frames are recomputed only where a step reads them; at the end of every sweep
// and after propagate() the whole tree is up to date, exactly as if each step had recomputed
// everything below it.
class ikIteration
{
public:
    // Recomputes the frames and positions of the whole tree from the root.
    ikIteration(ikJoint* root, ikNode* effector, ikJoint* base, const ikDestination& destination,
                const ikMatrix& world);

    void setUsePosition(bool use) { usePosition = use; }
    void setUseOrientation(bool use) { useOrientation = use; }
    void setWorld(const ikMatrix& m) { world = m; }
    ikMatrix getWorld() const { return world; }

    // One sweep; records the effector's errors for the goals the destination has.
    void iterate();
    // Recomputes the subtree of node from its parent's turned frame, or the whole tree from the
    // world when fromRoot is set or node has no parent.
    void propagate(ikJoint* node, bool fromRoot);

    bool usePosition = true;
    bool useOrientation = true;
    // Skip axes of zero stiffness and scale each step by the stiffness.
    bool useStiffness = true;
    // Clamp each angle to its limits after each step.
    bool useLimits = true;

private:
    friend class ikFrame;

    // A sweep leaves off-path frames stale; a solve brings the tree up to date once, at its end.
    void sweep();
    void bringUpToDate();

    enum class Axis
    {
        Z,
        X,
        Y
    };

    void updateJoint(const ikChain& chain, int index);
    double step(ikJoint* joint, bool reversed, Axis axis);
    ikMatrix axisFrame(const ikJoint* joint, Axis axis) const;
    double solveAxisAngle(const ikJoint* joint, const ikVector& axis) const;
    void turnWorld(const ikJoint* joint, Axis axis, double delta);
    void recordErrors();

    void propagateFrom(ikJoint* node, const ikMatrix& parentFrame);
    void place(ikJoint* node, const ikMatrix& parentFrame);
    const ikMatrix& hangingFrame(const ikJoint* node) const;
    void turn(ikJoint* node);
    void turnFrom(ikJoint* node, const double* frame);
    void recompute(ikJoint* node);
    void markMoved(ikJoint* node, bool fromRoot);
    void refresh(ikJoint* node);
    void recomputeDown(ikJoint* node, ikJoint* from);
    void refreshSubtree(ikJoint* node);
    ikJoint* topOf(ikJoint* node) const;

    // The frame of the root's parent; reversed joints turn it.
    ikMatrix world;
    ikJoint* root;
    ikNode* effector;
    ikJoint* base;
    // A copy: the goal cannot go away under the run.
    ikDestination destination;
    // The effector when it is a joint (sites are never recomputed).
    ikJoint* effectorJoint;
    // The goal orientation as a rotation, the identity without one.
    ikMatrix goal;
    ikChain chain;
};
