#pragma once

#include <GL/gl.h>

// A lighting material of the fixed-function pipeline, alpha 1 throughout.
struct Material
{
    GLfloat ambient[4];
    GLfloat diffuse[4];
    GLfloat specular[4];
    GLfloat shininess;
};

// The dull grey of the room, the joints, the drumsticks and the drums' rough parts.
extern const Material matteMaterial;

void applyMaterial(GLenum face, const Material& material);
