#include "humanoid/bodypartshape.h"

#include <GL/gl.h>

namespace {

void setMaterial(GLenum face, const BodyPartShape& shape)
{
    const float alpha = 1 - shape.transparency;
    const float* d = shape.diffuseColor;
    const float ambient[4] = {shape.ambientIntensity * d[0], shape.ambientIntensity * d[1],
                              shape.ambientIntensity * d[2], alpha};
    const float diffuse[4] = {d[0], d[1], d[2], alpha};
    const float specular[4] = {shape.specularColor[0], shape.specularColor[1],
                               shape.specularColor[2], alpha};
    const float emission[4] = {shape.emissiveColor[0], shape.emissiveColor[1],
                               shape.emissiveColor[2], alpha};
    glMaterialfv(face, GL_AMBIENT, ambient);
    glMaterialfv(face, GL_DIFFUSE, diffuse);
    glMaterialfv(face, GL_SPECULAR, specular);
    glMaterialfv(face, GL_EMISSION, emission);
    glMaterialf(face, GL_SHININESS, shape.shininess);
}

} // namespace

void BodyPartShape::draw() const
{
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_TEXTURE_2D);
    setMaterial(GL_FRONT, *this);
    setMaterial(GL_BACK, *this);

    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(translation[0], translation[1], translation[2]);
    glRotatef(rotation[3], rotation[0], rotation[1], rotation[2]);
    glScalef(scale[0], scale[1], scale[2]);
    glPolygonMode(GL_FRONT, GL_FILL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (const MeshPart& part : meshParts) {
        if (part.indices.empty())
            continue;
        glVertexPointer(3, GL_FLOAT, 0, part.vertices.data());
        glNormalPointer(GL_FLOAT, 0, part.normals.data());
        glDrawElements(GL_TRIANGLES, GLsizei(part.indices.size()), GL_UNSIGNED_INT,
                       part.indices.data());
    }
    glPopMatrix();
    glEnable(GL_TEXTURE_2D);
}
