#pragma once

#include "kinematics/iksolve.h"

#include <memory>

// A solver tree shaped like the drummer's mirror: legs under sacroiliac, a spine of six
// vertebrae up to vc4 and skullbase, arms from the sternoclavicular joints down to the sticks.
// It is set up the way the stage view sets up its own: the root turned by pi about Y, the world
// a copy of the root's frame, every frame computed from the root.
struct HumanoidTree
{
    HumanoidTree();

    ikJoint* joint(const char* name) const;
    // Every joint's angles back to zero except the root's, and all frames recomputed.
    void rest();

    std::unique_ptr<ikJoint> root;
    ikFrame frame;
};
