#pragma once

#include <GL/gl.h>

// The room around the kit: a wooden floor and four walls, 6 metres square and 3 high.
namespace Room {

// textures[0] the walls, textures[1] the floor. Leaves 2D texturing enabled.
void draw(const GLuint textures[2]);

} // namespace Room
