#include "humanoid/skeleton.h"

#include "kinematics/iktree.h"
#include "scene/material.h"
#include "scene/tgaimage.h"

#include <GL/glu.h>

namespace {

// The grey of the joints and the drumsticks.
void setJointMaterial()
{
    applyMaterial(GL_FRONT, matteMaterial);
}

void drawChildren(const std::vector<Node*>& children, bool bbox, bool hits, bool relate)
{
    for (Node* child : children)
        child->draw(bbox, hits, relate);
}

// A pose is a joint's angles, frame and position.
void copyPose(const ikJoint& from, ikJoint& to)
{
    to.angles = from.angles;
    to.frame = from.frame;
    to.position = from.position;
}

// Passes a pose operation on to every child in order.
void forward(const std::vector<Node*>& children, void (Node::*operation)())
{
    for (Node* child : children)
        (child->*operation)();
}

} // namespace

Joint::Joint() : Node("", 0, 0), savedPose(std::make_unique<ikJoint>()) {}

Joint::~Joint() = default;

void Joint::buildIk(ikJoint* parent)
{
    auto joint = std::make_unique<ikJoint>();
    // Below the root a mirror sits at the joint's centre; the translation is not added.
    const ikPoint position(center[0], center[1], center[2]);
    setMirror(*joint, position, ikVector(parent->position, position));
    parent->addChild(std::move(joint));
    buildChildrenIk();
}

void Joint::setMirror(ikJoint& joint, const ikPoint& position, const ikVector& offset)
{
    mirror = &joint;
    joint.llimit = ikVector(llimit[0], llimit[1], llimit[2]);
    joint.ulimit = ikVector(ulimit[0], ulimit[1], ulimit[2]);
    joint.stiffness = ikVector(stiffness[0], stiffness[1], stiffness[2]);
    joint.position = position;
    joint.offset = offset;
    joint.name = name;
    makeLocalMatrix();
}

void Joint::buildChildrenIk()
{
    for (Node* child : children)
        if (child->type == 0)
            static_cast<Joint*>(child)->buildIk(mirror);
}

void Joint::makeLocalMatrix()
{
    mirror->frame = mirror->frame.withTranslation(mirror->position);
}

void Joint::draw(bool bbox, bool hits, bool relate)
{
    setJointMaterial();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(translation[0] + center[0], translation[1] + center[1],
                 translation[2] + center[2]);
    glRotatef(rotation[2], 0, 0, 1);
    glRotatef(rotation[0], 1, 0, 0);
    glRotatef(-rotation[1], 0, 1, 0);
    glTranslatef(-center[0], -center[1], -center[2]);
    drawChildren(children, bbox, hits, relate);
    glPopMatrix();
}

void Joint::takeIkAngles()
{
    if (mirror) {
        const double angles[3] = {mirror->angles.x, mirror->angles.y, mirror->angles.z};
        for (int i = 0; i < 3; ++i)
            rotation[i] = float(angles[i] * 180 / ikPiF);
    }
    forward(children, &Node::takeIkAngles);
}

void Joint::restorePose()
{
    if (mirror)
        copyPose(*savedPose, *mirror);
    forward(children, &Node::restorePose);
}

void Joint::storePose()
{
    if (mirror)
        copyPose(*mirror, *savedPose);
    forward(children, &Node::storePose);
}

Segment::Segment() : Node("", 1, 0) {}

Segment::Segment(int kind) : Segment()
{
    this->kind = kind;
    TgaImage image("Textures/Stick2.tga");
    image.upload(&textureId, 0);
}

Segment::~Segment() = default;

void Segment::draw(bool bbox, bool hits, bool relate)
{
    if (kind != BodyPart)
        drawStick();
    else if (shape)
        shape->draw();
    drawChildren(children, bbox, hits, relate);
}

void Segment::drawStick() const
{
    setJointMaterial();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureId);
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);

    glPushMatrix();
    // The sticks' grips in the humanoid's coordinates; the stick joints sit at their tips.
    if (kind == LeftStick)
        glTranslatef(0.208218f, 0.906723f, 0.020366f);
    else
        glTranslatef(-0.208424f, 0.906797f, 0.020381f);
    glRotatef(90, 1, 0, 0);
    gluCylinder(quadric, 0.007, 0.0045, 0.46, 10, 5);
    glTranslatef(0, 0, 0.46f);
    gluSphere(quadric, 0.007, 10, 5);
    glPopMatrix();
    gluDeleteQuadric(quadric);
}

void Segment::takeIkAngles()
{
    forward(children, &Node::takeIkAngles);
}

Site::Site() : Node("", 2, 0) {}

Site::~Site() = default;

void Site::draw(bool bbox, bool hits, bool relate)
{
    glPushMatrix();
    glTranslatef(translation[0], translation[1], translation[2]);
    glRotatef(rotation[3], rotation[0], rotation[1], rotation[2]);
    drawChildren(children, bbox, hits, relate);
    glPopMatrix();
}

void Site::takeIkAngles()
{
    forward(children, &Node::takeIkAngles);
}

void Site::restorePose()
{
    forward(children, &Node::restorePose);
}

void Site::storePose()
{
    forward(children, &Node::storePose);
}
