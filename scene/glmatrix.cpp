#include "scene/glmatrix.h"

#include "kinematics/ikmath.h"

#include <cmath>
#include <cstring>

namespace {

const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Element (row, column) of a column-major matrix.
float& at(float* m, int row, int column)
{
    return m[column * 4 + row];
}

float sinDegrees(float degrees)
{
    return std::sin(float(degrees * ikPi / 180.0));
}

float cosDegrees(float degrees)
{
    return std::cos(float(degrees * ikPi / 180.0));
}

} // namespace

GlMatrix::GlMatrix()
{
    std::memcpy(m, identity, sizeof m);
}

void GlMatrix::translate(float x, float y, float z)
{
    m[12] = m[0] * x + m[4] * y + m[8] * z + m[12];
    m[13] = m[1] * x + m[5] * y + m[9] * z + m[13];
    m[14] = m[2] * x + m[6] * y + m[10] * z + m[14];
    m[15] = m[3] * x + m[7] * y + m[11] * z + m[15];
}

// A turn in the plane of axes a and b, from a toward b, about the third axis.
void GlMatrix::rotateInPlane(int a, int b, float degrees)
{
    float r[16];
    std::memcpy(r, identity, sizeof r);
    const float s = sinDegrees(degrees), c = cosDegrees(degrees);
    at(r, a, a) = c;
    at(r, b, b) = c;
    at(r, a, b) = -s;
    at(r, b, a) = s;
    multiply(r);
}

void GlMatrix::rotateX(float degrees)
{
    rotateInPlane(1, 2, degrees);
}

void GlMatrix::rotateY(float degrees)
{
    rotateInPlane(2, 0, degrees);
}

void GlMatrix::rotateZ(float degrees)
{
    rotateInPlane(0, 1, degrees);
}

void GlMatrix::scale(float x, float y, float z)
{
    for (int row = 0; row < 4; ++row) {
        m[row] *= x;
        m[4 + row] *= y;
        m[8 + row] *= z;
    }
}

void GlMatrix::multiply(const float* right)
{
    float product[16];
    for (int row = 0; row < 4; ++row) {
        const float a0 = m[row], a1 = m[4 + row], a2 = m[8 + row], a3 = m[12 + row];
        for (int column = 0; column < 4; ++column) {
            const float* b = right + column * 4;
            product[column * 4 + row] = a0 * b[0] + a1 * b[1] + a2 * b[2] + a3 * b[3];
        }
    }
    std::memcpy(m, product, sizeof m);
}
