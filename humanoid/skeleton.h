#pragma once

#include "humanoid/bodypartshape.h"
#include "scene/node.h"

#include <GL/gl.h>
#include <memory>

class ikJoint;
class ikPoint;
class ikVector;

// An H-Anim joint. After loading, rotation holds the file's axis and angle (degrees); once the
// solver's angles have been taken, its first three values are the Euler angles about X, Y and Z in
// degrees, which is what draw uses.
class Joint : public Node
{
public:
    Joint();
    ~Joint() override;

    // Mirrors this joint and the joints below it along paths of joints into the solver's tree.
    void buildIk(ikJoint* parent);
    // Makes joint this joint's mirror, with this joint's limits and step factors.
    void setMirror(ikJoint& joint, const ikPoint& position, const ikVector& offset);
    void buildChildrenIk();
    // The mirror's frame: no rotation, at the mirror's position.
    void makeLocalMatrix();

    void draw(bool bbox, bool hits, bool relate) override;
    void takeIkAngles() override;
    void restorePose() override;
    void storePose() override;

    float translation[3] = {0, 0, 0};
    float rotation[4] = {0, 0, 0, 0};
    float scale[3] = {1, 1, 1};
    float scaleOrientation[4] = {0, 0, 1, 0};
    float center[3] = {0, 0, 0}; // centre of rotation in the humanoid's coordinates
    float ulimit[3] = {1.570797f, 1.570797f, 1.570797f}; // radians
    float llimit[3] = {-1.570797f, -1.570797f, -1.570797f};
    float limitOrientation[4] = {0, 0, 1, 0};
    float stiffness[3] = {0.1f, 0.1f, 0.1f};
    ikJoint* mirror = nullptr; // owned by the solver's tree
    // Holds the stored angles, frame and position of the mirror.
    std::unique_ptr<ikJoint> savedPose;
};

// A body part (kind 0) with the mesh of its Inline file, or a drumstick (kind 1 left, 2 right).
class Segment : public Node
{
public:
    enum Kind
    {
        BodyPart = 0,
        LeftStick = 1,
        RightStick = 2
    };

    Segment();
    // A drumstick; loads and uploads its texture, so it needs a current GL context.
    explicit Segment(int kind);
    ~Segment() override;

    void draw(bool bbox, bool hits, bool relate) override;
    void takeIkAngles() override;

    int kind = BodyPart;
    GLuint textureId = 0;
    float mass = 0;
    float centerOfMass[3] = {0, 0, 0};
    float bboxCenter[3] = {0, 0, 0};
    float bboxSize[3] = {0.04f, 0.04f, 0.4f};
    std::unique_ptr<BodyPartShape> shape;

private:
    void drawStick() const;
};

// A named point of the skeleton with its own transform.
class Site : public Node
{
public:
    Site();
    ~Site() override;

    void draw(bool bbox, bool hits, bool relate) override;
    void takeIkAngles() override;
    void restorePose() override;
    void storePose() override;

    float translation[3] = {0, 0, 0};
    float rotation[4] = {0, 0, 1, 0}; // axis and angle in degrees
};
