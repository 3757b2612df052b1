#include "stage/room.h"

#include "scene/material.h"

namespace {

struct Corner
{
    float x, y, z;
    float s, t;
};

void setRoomMaterial()
{
    applyMaterial(GL_FRONT, matteMaterial);
}

void quad(float nx, float ny, float nz, const Corner (&corners)[4])
{
    glNormal3f(nx, ny, nz);
    for (const Corner& c : corners) {
        glTexCoord2f(c.s, c.t);
        glVertex3f(c.x, c.y, c.z);
    }
}

} // namespace

namespace Room {

void draw(const GLuint textures[2])
{
    setRoomMaterial();
    glEnable(GL_TEXTURE_2D);

    glBindTexture(GL_TEXTURE_2D, textures[1]);
    glBegin(GL_QUADS);
    quad(0, 1, 0, {{-3, 0, 3, 0, 0}, {3, 0, 3, 0, 1}, {3, 0, -3, 1, 1}, {-3, 0, -3, 1, 0}});
    glEnd();

    // The texture's s runs up the walls five times, t once along each.
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    glBegin(GL_QUADS);
    quad(0, 0, -1, {{-3, 0, 3, 0, 0}, {-3, 3, 3, 5, 0}, {3, 3, 3, 5, 1}, {3, 0, 3, 0, 1}});
    quad(0, 0, 1, {{-3, 0, -3, 0, 0}, {3, 0, -3, 0, 1}, {3, 3, -3, 5, 1}, {-3, 3, -3, 5, 0}});
    quad(1, 0, 0, {{-3, 0, -3, 0, 0}, {-3, 3, -3, 5, 0}, {-3, 3, 3, 5, 1}, {-3, 0, 3, 0, 1}});
    quad(-1, 0, 0, {{3, 0, -3, 0, 0}, {3, 0, 3, 0, 1}, {3, 3, 3, 5, 1}, {3, 3, -3, 5, 0}});
    glEnd();
}

} // namespace Room
