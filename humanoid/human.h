#pragma once

#include "humanoid/skeleton.h"
#include "humanoid/viewpoint.h"

#include <QString>
#include <memory>
#include <vector>

// The drummer: an H-Anim humanoid with its joint tree and the stage view's camera presets.
class Human
{
public:
    Human();
    Human(const Human&) = delete;
    Human& operator=(const Human&) = delete;
    ~Human();

    // Deletes the present joint tree; joint may be null.
    void setRoot(Joint* joint);
    // Takes ownership.
    void addViewpoint(Viewpoint* viewpoint);
    // Builds the solver's mirror of the joint tree: only joints reached through joints are
    // mirrored, each at its centre (the root at centre + translation), with zero angles.
    void buildIkSkeleton();

    void takeIkAngles();
    void storePose();
    void restorePose();
    void draw(bool bbox, bool hits, bool relate);

    QString name;
    std::vector<QString> info{QString()};
    QString version = "1.1";
    // The humanoid's own transform is neither read nor drawn; the joints place the body.
    float translation[3] = {0, 0, 0};
    float rotation[4] = {0, 0, 1, 0};
    float scale[3] = {1, 1, 1};
    float scaleOrientation[4] = {0, 0, 1, 0};
    float center[3] = {0, 0, 0};
    float bboxCenter[3] = {0, 0, 0};
    float bboxSize[3] = {-1, -1, -1};
    std::vector<Viewpoint*> viewpoints; // owned
    std::unique_ptr<Joint> root;        // the humanoidBody
    std::unique_ptr<ikJoint> ikRoot;    // the solver's tree
};
