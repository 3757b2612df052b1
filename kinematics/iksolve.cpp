#include "kinematics/iksolve.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr int maxSweeps = 12;

// The chain cannot be built: the callers looked effector and base up in the tree, so this is a
// fault of the program, and it ends.
[[noreturn]] void internalError()
{
    std::fputs("Internal error", stdout);
    std::fflush(stdout);
    std::exit(1);
}

int pathLength(const ikNode* node)
{
    int length = 0;
    for (; node; node = node->parent)
        ++length;
    return length;
}

ikVector column(const ikMatrix& m, int c)
{
    return {m.m[4 * c], m.m[4 * c + 1], m.m[4 * c + 2]};
}

// The image of a unit point under the frame, relative to the frame's origin.
ikVector frameAxis(const ikMatrix& frame, const ikPoint& origin, double x, double y, double z)
{
    return ikVector(origin, frame.transform(x, y, z).getTranslation());
}

} // namespace

ikChain::ikChain(ikNode* effector, ikJoint* base, ikJoint* root)
{
    build(effector, base, root);
}

int ikChain::depth(const ikNode* a, const ikNode* b, const ikJoint* stop)
{
    if (!b || !stop)
        return -1;
    int count = 1;
    for (const ikNode* n = a; n; n = n->parent, ++count) {
        if (n == b)
            return count;
        if (n == stop)
            return -1;
    }
    return -1;
}

void ikChain::build(ikNode* effector, ikJoint* base, ikJoint* root)
{
    const int d1 = depth(effector, base, root);
    const int d2 = depth(base, effector, root);
    try {
        if (d2 > -1) {
            // The effector is the base or above it.
            joints.resize(d2 - 1);
            fillUpwards(base, d2 - 2, d2 - 1, -1);
            turn = -1;
        } else if (d1 < 0) {
            // Side by side: up from the effector to the root, then down to the base.
            const int de = depth(effector, root, root);
            const int db = depth(base, root, root);
            if (de < 0 || db < 0)
                internalError();
            joints.resize(de + db - 2);
            const int size = int(joints.size());
            fillUpwards(base, size - 1, db, -1);
            fillUpwards(effector->parent, 0, de - 2, 1);
            turn = de - 2;
            cutSharedPath();
        } else {
            // The base is above the effector.
            joints.resize(d1 - 1);
            fillUpwards(effector->parent, 0, d1 - 1, 1);
            turn = d1;
        }
    } catch (const std::bad_alloc&) {
        internalError();
    }
}

// Stores from and count - 1 of its ancestors, from index on in the given direction.
void ikChain::fillUpwards(ikJoint* from, int index, int count, int direction)
{
    for (; count > 0; --count, index += direction, from = from->parent)
        joints[index] = from;
}

// Both paths climb to the root; what they share above the lowest common ancestor goes.
void ikChain::cutSharedPath()
{
    const int size = int(joints.size());
    for (int m = 1; turn - m >= 0 && turn + m != size; ++m) {
        if (joints[turn - m] != joints[turn + m]) {
            joints.erase(joints.begin() + (turn - m + 2), joints.begin() + (turn + m));
            turn = turn - m + 1;
            return;
        }
    }
}

ikIteration::ikIteration(ikJoint* root, ikNode* effector, ikJoint* base,
                         const ikDestination& destination, const ikMatrix& world)
    : world(world), root(root), effector(effector), base(base), destination(&destination),
      effectorJoint(dynamic_cast<ikJoint*>(effector))
{
    if (destination.orientation)
        goal = ikMatrix().rotateEuler(*destination.orientation);
    // Every sweep rebuilds the chain; with this room it never allocates.
    try {
        chain.joints.reserve(pathLength(effector) + pathLength(base));
    } catch (const std::bad_alloc&) {
        internalError();
    }
    propagate(root, true);
}

void ikIteration::iterate()
{
    chain.build(effector, base, root);
    const int size = int(chain.joints.size());
    for (int i = 0; i < size; ++i) {
        // A joint between two of its own children is where the path turns: it stays.
        if (i == 0 || i == size - 1 || chain.joints[i - 1]->parent != chain.joints[i + 1]->parent)
            updateJoint(chain, i);
    }
    if (base)
        refreshSubtree(topOf(base));
    recordErrors();
}

void ikIteration::recordErrors()
{
    if (effectorJoint)
        refresh(effectorJoint);
    if (destination->position && usePosition)
        effector->recordPositionError(effector->position.distance(*destination->position));
    if (destination->orientation && useOrientation) {
        const ikMatrix& e = effector->frame;
        const double agreement =
            (column(e, 0).dot(column(goal, 0)) + column(e, 1).dot(column(goal, 1))) +
            column(e, 2).dot(column(goal, 2));
        effector->recordOrientationError(3 - agreement);
    }
}

void ikIteration::updateJoint(const ikChain& chain, int index)
{
    ikJoint* joint = chain.joints[index];
    const bool reversed = index > chain.turn;
    if (joint->stiffness == ikVector(0, 0, 0))
        return;
    for (Axis axis : {Axis::Z, Axis::X, Axis::Y}) {
        const double delta = step(joint, reversed, axis);
        if (reversed)
            turnWorld(joint, axis, delta);
        markMoved(joint, reversed);
    }
}

double ikIteration::step(ikJoint* joint, bool reversed, Axis axis)
{
    refresh(joint);
    if (effectorJoint)
        refresh(effectorJoint);
    double& angle = axis == Axis::Z   ? joint->angles.z
                    : axis == Axis::X ? joint->angles.x
                                      : joint->angles.y;
    const double stiffness = axis == Axis::Z   ? joint->stiffness.z
                             : axis == Axis::X ? joint->stiffness.x
                                               : joint->stiffness.y;
    const double upper = axis == Axis::Z   ? joint->ulimit.z
                         : axis == Axis::X ? joint->ulimit.x
                                           : joint->ulimit.y;
    const double lower = axis == Axis::Z   ? joint->llimit.z
                         : axis == Axis::X ? joint->llimit.x
                                           : joint->llimit.y;
    const double old = angle;
    if (useStiffness && stiffness == 0)
        return 0;
    const ikMatrix frame = axisFrame(joint, axis);
    const ikVector direction = axis == Axis::Z   ? frameAxis(frame, joint->position, 0, 0, -1)
                               : axis == Axis::X ? frameAxis(frame, joint->position, -1, 0, 0)
                                                 : frameAxis(frame, joint->position, 0, 1, 0);
    double phi = solveAxisAngle(joint, direction);
    if (reversed)
        phi = -phi;
    angle -= useStiffness ? phi * stiffness : phi;
    if (useLimits) {
        if (angle > upper)
            angle = upper;
        if (angle < lower)
            angle = lower;
    }
    return angle - old;
}

// The joint's frame turned by the angles that come before this axis: none for Z, Z for X, Z and
// X for Y. The trigonometry kept at the last refresh is that of the current Z and X.
ikMatrix ikIteration::axisFrame(const ikJoint* joint, Axis axis) const
{
    if (axis == Axis::Z)
        return joint->frame;
    const ikMatrix turnedZ =
        joint->frame.rotate(ikMatrix::rotationZ(joint->trig.cz, joint->trig.sz));
    if (axis == Axis::X)
        return turnedZ;
    return turnedZ.rotate(ikMatrix::rotationX(joint->trig.cx, joint->trig.sx));
}

// A reversed joint does not carry the effector: turning it moves the rest of the tree, the root
// included, the other way about the same axis.
void ikIteration::turnWorld(const ikJoint* joint, Axis axis, double delta)
{
    const ikMatrix frame = axisFrame(joint, axis);
    const ikMatrix undone = axis == Axis::Z   ? frame.rotateZ(-delta)
                            : axis == Axis::X ? frame.rotateX(-delta)
                                              : frame.rotateY(-delta);
    setWorld((undone * frame.inverse()) * world);
}

double ikIteration::solveAxisAngle(const ikJoint* joint, const ikVector& a) const
{
    const ikVector ve(joint->position, effector->position);
    const double le = ve.length();
    ikVector vt;
    double wp = 0;
    if (destination->position) {
        vt = ikVector(joint->position, *destination->position);
        const double lt = vt.length();
        const double shorter = lt < le ? lt : le;
        const double longer = lt > le ? lt : le;
        const double ratio = shorter / longer;
        if (ratio == 0 || std::isnan(ratio))
            return 0;
        wp = (1 + ratio) * 4.25;
    }
    double wo = 1.0;
    if (!usePosition)
        wp = 0;
    if (!destination->orientation || !useOrientation)
        wo = 0;
    if (wp == 0 && wo == 0)
        return 0;
    const ikVector tx = column(goal, 0), ty = column(goal, 1), tz = column(goal, 2);
    const ikMatrix& frame = effector->frame;
    const ikVector ex = frameAxis(frame, effector->position, 1, 0, 0);
    const ikVector ey = frameAxis(frame, effector->position, 0, 1, 0);
    const ikVector ez = frameAxis(frame, effector->position, 0, 0, 1);
    const double k1 =
        ((ex.dot(a) * tx.dot(a) + ey.dot(a) * ty.dot(a)) + ez.dot(a) * tz.dot(a)) * wo +
        ve.dot(a) * (vt.dot(a) * wp);
    const double k2 = ((tx.dot(ex) + ty.dot(ey)) + tz.dot(ez)) * wo + vt.dot(ve) * wp;
    const double k3 = a.dot(
        ve.cross(vt).scale(wp).add(ex.cross(tx).add(ey.cross(ty).add(ez.cross(tz))).scale(wo)));
    // Maximises k1·(1 - cos φ) + k2·cos φ + k3·sin φ.
    return std::atan2(k3, k2 - k1);
}

void ikIteration::propagate(ikJoint* node, bool fromRoot)
{
    if (!fromRoot && node && node != root && node->parent) {
        ikJoint* parent = node->parent;
        parent->turned = parent == root
                             ? parent->frame
                             : parent->frame.rotate(parent->trig.rotation(parent->angles));
        propagateFrom(node, parent->turned);
    } else {
        propagateFrom(root, world);
    }
}

void ikIteration::propagateFrom(ikJoint* node, const ikMatrix& parentFrame)
{
    if (!node)
        return;
    place(node, parentFrame);
    for (const auto& child : node->children)
        propagateFrom(child.get(), node->turned);
}

// The root's own angles are not applied: the world frame places the tree. Its children hang
// from its frame, whichever way the recomputation reaches them.
void ikIteration::place(ikJoint* node, const ikMatrix& parentFrame)
{
    node->frame = parentFrame.transform(node->offset);
    node->turned =
        node == root ? node->frame : node->frame.rotate(node->trig.rotation(node->angles));
    node->position = node->turned.getTranslation();
    node->stale = false;
}

const ikMatrix& ikIteration::hangingFrame(const ikJoint* node) const
{
    return node == root || !node->parent ? world : node->parent->turned;
}

// The node's angles (or the world, from the root) changed: its subtree must be recomputed before
// anything in it is read.
void ikIteration::markMoved(ikJoint* node, bool fromRoot)
{
    if (fromRoot || node == root || !node->parent)
        topOf(node)->stale = true;
    else
        node->stale = true;
}

// Brings node up to date: a stale node or ancestor is recomputed, and so is everything on the
// way down from it; the children it leaves behind are marked.
void ikIteration::refresh(ikJoint* node)
{
    if (node != root && node->parent)
        refresh(node->parent);
    if (node->stale) {
        place(node, hangingFrame(node));
        for (const auto& child : node->children)
            child->stale = true;
    }
}

void ikIteration::refreshSubtree(ikJoint* node)
{
    if (node->stale) {
        place(node, hangingFrame(node));
        for (const auto& child : node->children)
            child->stale = true;
    }
    for (const auto& child : node->children)
        refreshSubtree(child.get());
}

ikJoint* ikIteration::topOf(ikJoint* node) const
{
    while (node != root && node->parent)
        node = node->parent;
    return node;
}

void ikFrame::solve(ikNode* effector, ikJoint* base, const ikDestination& destination,
                    double posTol, double oriTol)
{
    ikIteration run(root, effector, base, destination, world);
    run.setUsePosition(true);
    run.setUseOrientation(true);
    if (effector)
        effector->resetErrors();
    for (int k = 0; k < maxSweeps; ++k) {
        run.iterate();
        const bool positionReached = !destination.position || effector->posErrors[k] <= posTol;
        const bool orientationReached =
            !destination.orientation || effector->oriErrors[k] <= oriTol;
        if (positionReached && orientationReached)
            break;
    }
    world = run.getWorld();
}
