#include "kinematics/tests/humanoidtree.h"

namespace {

struct JointSpec
{
    const char* name;
    const char* parent;
    double x, y, z;
    double stiffness;
};

// Positions in metres of a figure standing with its arms down, facing +z.
const JointSpec joints[] = {
    {"sacroiliac", "HumanoidRoot", 0, 0.915, -0.007, 0.1},
    {"l_hip", "sacroiliac", 0.096, 0.912, -0.007, 0.5},
    {"l_knee", "l_hip", 0.104, 0.487, -0.009, 0.5},
    {"l_ankle", "l_knee", 0.101, 0.073, -0.033, 0.5},
    {"l_metatarsal", "l_ankle", 0.100, 0.016, 0.100, 0.5},
    {"r_hip", "sacroiliac", -0.096, 0.912, -0.007, 0.5},
    {"r_knee", "r_hip", -0.104, 0.487, -0.009, 0.5},
    {"r_ankle", "r_knee", -0.101, 0.073, -0.033, 0.5},
    {"r_metatarsal", "r_ankle", -0.100, 0.016, 0.100, 0.5},
    {"vl5", "HumanoidRoot", 0, 0.980, -0.030, 0.1},
    {"vl1", "vl5", 0, 1.060, -0.030, 0.1},
    {"vt10", "vl1", 0, 1.140, -0.030, 0.1},
    {"vt6", "vt10", 0, 1.220, -0.030, 0.1},
    {"vt1", "vt6", 0, 1.330, -0.030, 0.1},
    {"vc4", "vt1", 0, 1.420, -0.030, 0.1},
    {"skullbase", "vc4", 0, 1.520, 0, 0.1},
    {"l_sternoclavicular", "vc4", 0.082, 1.449, -0.035, 0.2},
    {"l_shoulder", "l_sternoclavicular", 0.183, 1.450, -0.022, 1},
    {"l_elbow", "l_shoulder", 0.196, 1.190, -0.039, 1},
    {"l_wrist", "l_elbow", 0.200, 0.931, -0.025, 0.5},
    {"l_stick", "l_wrist", 0.208218, 0.446723, 0.020366, 0.5},
    {"r_sternoclavicular", "vc4", -0.082, 1.449, -0.035, 0.2},
    {"r_shoulder", "r_sternoclavicular", -0.183, 1.450, -0.022, 1},
    {"r_elbow", "r_shoulder", -0.196, 1.190, -0.039, 1},
    {"r_wrist", "r_elbow", -0.200, 0.931, -0.025, 0.5},
    {"r_stick", "r_wrist", -0.208218, 0.446797, 0.020366, 0.5},
};

} // namespace

HumanoidTree::HumanoidTree() : root(std::make_unique<ikJoint>())
{
    root->name = "HumanoidRoot";
    root->position = ikPoint(0, 0.824, 0.028);
    root->frame = ikMatrix().withTranslation(root->position);
    for (const JointSpec& spec : joints) {
        auto joint = std::make_unique<ikJoint>();
        joint->name = spec.name;
        joint->position = ikPoint(spec.x, spec.y, spec.z);
        joint->ulimit = ikVector(1.570797, 1.570797, 1.570797);
        joint->llimit = ikVector(-1.570797, -1.570797, -1.570797);
        joint->stiffness = ikVector(spec.stiffness, spec.stiffness, spec.stiffness);
        ikJoint* parent = this->joint(spec.parent);
        joint->offset = ikVector(parent->position, joint->position);
        joint->frame = ikMatrix().withTranslation(joint->position);
        parent->addChild(std::move(joint));
    }
    root->frame = root->frame.rotateY(ikPi);
    root->angles.y = ikPi;
    frame.root = root.get();
    frame.world = root->frame;
    rest();
}

ikJoint* HumanoidTree::joint(const char* name) const
{
    return static_cast<ikJoint*>(root->findByName(name));
}

void HumanoidTree::rest()
{
    for (const JointSpec& spec : joints)
        joint(spec.name)->angles = ikVector();
    ikDestination here;
    ikIteration refresh(root.get(), root.get(), root.get(), here, frame.world);
}
