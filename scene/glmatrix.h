#pragma once

// A float 4x4 column-major matrix with the arithmetic of the GL matrix stack's glTranslatef,
// glRotatef and glScalef, so that positions computed here match what the drawing places.
class GlMatrix
{
public:
    GlMatrix(); // identity

    void translate(float x, float y, float z);
    // Rotations about one coordinate axis, in degrees, right-handed like glRotatef.
    void rotateX(float degrees);
    void rotateY(float degrees);
    void rotateZ(float degrees);
    void scale(float x, float y, float z);

    float translationX() const { return m[12]; }
    float translationY() const { return m[13]; }
    float translationZ() const { return m[14]; }

    float m[16];

private:
    void multiply(const float* right);
    void rotateInPlane(int a, int b, float degrees);
};
