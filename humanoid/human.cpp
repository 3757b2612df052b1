#include "humanoid/human.h"

#include "kinematics/iktree.h"

namespace {

// A rebuilt mirror must leave no joint pointing into the tree it replaces.
void forgetMirrors(Node& node)
{
    if (node.type == 0)
        static_cast<Joint&>(node).mirror = nullptr;
    for (Node* child : node.children)
        forgetMirrors(*child);
}

} // namespace

Human::Human() = default;

Human::~Human()
{
    for (Viewpoint* viewpoint : viewpoints)
        delete viewpoint;
    viewpoints.clear();
}

void Human::setRoot(Joint* joint)
{
    root.reset(joint);
}

void Human::addViewpoint(Viewpoint* viewpoint)
{
    viewpoints.push_back(viewpoint);
}

void Human::buildIkSkeleton()
{
    if (!root)
        return;
    forgetMirrors(*root);
    ikRoot = std::make_unique<ikJoint>();
    const float* c = root->center;
    const float* t = root->translation;
    root->setMirror(*ikRoot, ikPoint(c[0] + t[0], c[1] + t[1], c[2] + t[2]),
                    ikVector(t[0], t[1], t[2]));
    root->buildChildrenIk();
}

void Human::takeIkAngles()
{
    if (root)
        root->takeIkAngles();
}

void Human::storePose()
{
    if (root)
        root->storePose();
}

void Human::restorePose()
{
    if (root)
        root->restorePose();
}

void Human::draw(bool bbox, bool hits, bool relate)
{
    if (!root)
        return;
    glPushMatrix();
    root->draw(bbox, hits, relate);
    glPopMatrix();
}
