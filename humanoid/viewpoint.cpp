#include "humanoid/viewpoint.h"

Viewpoint::Viewpoint() = default;

Viewpoint::Viewpoint(const char* name, float x, float y, float z, float axisX, float axisY,
                     float axisZ, float angle, float fieldOfView)
    : Node(name, 0, -1), position{x, y, z}, axis{axisX, axisY, axisZ}, angle(angle),
      fieldOfView(fieldOfView), description(QString::fromLocal8Bit(name))
{
}
