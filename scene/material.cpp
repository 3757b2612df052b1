#include "scene/material.h"

const Material matteMaterial = {
    {0.4f, 0.4f, 0.4f, 1}, {0.4275f, 0.4275f, 0.4275f, 1}, {0.3333f, 0.3333f, 0.333f, 1}, 9.85f};

void applyMaterial(GLenum face, const Material& material)
{
    glMaterialfv(face, GL_AMBIENT, material.ambient);
    glMaterialfv(face, GL_DIFFUSE, material.diffuse);
    glMaterialfv(face, GL_SPECULAR, material.specular);
    glMaterialf(face, GL_SHININESS, material.shininess);
}
