#include "humanoid/human.h"

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
