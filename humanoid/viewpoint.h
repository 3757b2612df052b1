#pragma once

#include "scene/node.h"

#include <QString>

// A camera preset of the stage view, held in the humanoid's list of viewpoints.
class Viewpoint : public Node
{
public:
    Viewpoint();
    Viewpoint(const char* name, float x, float y, float z, float axisX, float axisY, float axisZ,
              float angle, float fieldOfView);

    float position[3] = {0, 1, 5}; // metres
    float axis[3] = {0, 1, 0};
    float angle = 0;               // degrees
    float fieldOfView = 0.785398f; // radians
    QString description;
};
