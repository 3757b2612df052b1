#include "kinematics/iksolve.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Both paths climb to the root; what they share above the lowest common ancestor goes. The
// effector's side holds one node fewer, the effector itself: when its parent is the common
// ancestor, that side runs out where the paths part, at the effector, which the base's path never
// holds. Stopping there instead would leave the chain running up to the root and back.
void ikChain::cutSharedPath()
{
    const int size = int(joints.size());
    for (int m = 1; turn + m != size; ++m) {
        if (turn - m < 0 || joints[turn - m] != joints[turn + m]) {
            joints.erase(joints.begin() + (turn - m + 2), joints.begin() + (turn + m));
            turn = turn - m + 1;
            return;
        }
    }
}

ikIteration::ikIteration(ikJoint* root, ikNode* effector, ikJoint* base,
                         const ikDestination& destination, const ikMatrix& world)
    : world(world), root(root), effector(effector), base(base), destination(destination),
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
    sweep();
    bringUpToDate();
}

void ikIteration::sweep()
{
    chain.build(effector, base, root);
    const int size = int(chain.joints.size());
    for (int i = 0; i < size; ++i) {
        // A joint between two of its own children is where the path turns: it stays.
        if (i == 0 || i == size - 1 || chain.joints[i - 1]->parent != chain.joints[i + 1]->parent)
            updateJoint(chain, i);
    }
    recordErrors();
}

void ikIteration::bringUpToDate()
{
    if (base)
        refreshSubtree(topOf(base));
}

void ikIteration::recordErrors()
{
    if (effectorJoint)
        refresh(effectorJoint);
    if (destination.position && usePosition)
        effector->recordPositionError(effector->position.distance(*destination.position));
    if (destination.orientation && useOrientation) {
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
    double ikVector::*const component = axis == Axis::Z   ? &ikVector::z
                                        : axis == Axis::X ? &ikVector::x
                                                          : &ikVector::y;
    double& angle = joint->angles.*component;
    const double stiffness = joint->stiffness.*component;
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
        if (angle > joint->ulimit.*component)
            angle = joint->ulimit.*component;
        if (angle < joint->llimit.*component)
            angle = joint->llimit.*component;
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
    if (destination.position) {
        vt = ikVector(joint->position, *destination.position);
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
    if (!destination.orientation || !useOrientation)
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
        turn(node->parent);
        propagateFrom(node, node->parent->turned);
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

// Recomputes the node's frame and position, and the frame its children hang from, with the
// arithmetic of ikMatrix::transform and ikMatrix::rotate. Each element is written once, and never
// through a copy of a matrix just written element by element: on this path, which every step
// walks, such copies stall the processor's store forwarding and cost a third of the solve.
void ikIteration::place(ikJoint* node, const ikMatrix& parentFrame)
{
    const double* p = parentFrame.m;
    double* f = node->frame.m;
    const double ox = node->offset.x, oy = node->offset.y, oz = node->offset.z;
    const double t0 = ((p[0] * ox + p[4] * oy) + p[8] * oz) + p[12];
    const double t1 = ((p[1] * ox + p[5] * oy) + p[9] * oz) + p[13];
    const double t2 = ((p[2] * ox + p[6] * oy) + p[10] * oz) + p[14];
    for (int i = 0; i < 12; ++i)
        f[i] = p[i];
    f[12] = t0;
    f[13] = t1;
    f[14] = t2;
    f[15] = p[15];
    node->position = ikPoint(t0, t1, t2);
    turn(node);
    node->stale = false;
}

void ikIteration::turnFrom(ikJoint* node, const double* f)
{
    const double* r = node->trig.rotation(node->angles).m;
    double* g = node->turned.m;
    for (int c = 0; c < 3; ++c) {
        const double r0 = r[4 * c], r1 = r[4 * c + 1], r2 = r[4 * c + 2];
        const double g0 = (f[0] * r0 + f[4] * r1) + f[8] * r2;
        const double g1 = (f[1] * r0 + f[5] * r1) + f[9] * r2;
        const double g2 = (f[2] * r0 + f[6] * r1) + f[10] * r2;
        g[4 * c] = g0;
        g[4 * c + 1] = g1;
        g[4 * c + 2] = g2;
        g[4 * c + 3] = 0;
    }
    g[12] = f[12];
    g[13] = f[13];
    g[14] = f[14];
    g[15] = 1;
}

// The frame that the children hang from; a joint without children never needs it. The root's
// own angles are not applied (the world frame places the tree), and its children hang from its
// frame whichever way the recomputation reaches them.
void ikIteration::turn(ikJoint* node)
{
    if (node == root)
        node->turned = node->frame;
    else if (!node->children.empty())
        turnFrom(node, node->frame.m);
}

const ikMatrix& ikIteration::hangingFrame(const ikJoint* node) const
{
    return node == root || !node->parent ? world : node->parent->turned;
}

void ikIteration::recompute(ikJoint* node)
{
    place(node, hangingFrame(node));
    for (const auto& child : node->children)
        child->stale = true;
}

// The node's angles (or the world, from the root) changed. A joint that was just stepped is up
// to date, so its own frame stands and only what hangs from it must follow.
void ikIteration::markMoved(ikJoint* node, bool fromRoot)
{
    if (fromRoot || node == root || !node->parent) {
        topOf(node)->stale = true;
        return;
    }
    turn(node);
    for (const auto& child : node->children)
        child->stale = true;
}

// A stale node stands for its whole subtree: node is recomputed, with everything on the way
// down to it, when it or an ancestor is stale.
void ikIteration::refresh(ikJoint* node)
{
    ikJoint* highestStale = nullptr;
    for (ikJoint* n = node;; n = n->parent) {
        if (n->stale)
            highestStale = n;
        if (n == root || !n->parent)
            break;
    }
    if (highestStale)
        recomputeDown(node, highestStale);
}

void ikIteration::recomputeDown(ikJoint* node, ikJoint* from)
{
    if (node != from)
        recomputeDown(node->parent, from);
    recompute(node);
}

void ikIteration::refreshSubtree(ikJoint* node)
{
    if (node->stale)
        recompute(node);
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
        run.sweep();
        const bool positionReached = !destination.position || effector->posErrors[k] <= posTol;
        const bool orientationReached =
            !destination.orientation || effector->oriErrors[k] <= oriTol;
        if (positionReached && orientationReached)
            break;
    }
    run.bringUpToDate();
    world = run.getWorld();
}
