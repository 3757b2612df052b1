#include "kinematics/ikmath.h"

#include <cmath>

namespace {

// Above this magnitude an angle is first reduced exactly, so that wrapping it by whole turns
// stays a handful of steps instead of running (nearly) forever.
constexpr double hugeAngle = 1e6;

double tamed(double a)
{
    return std::fabs(a) > hugeAngle ? std::fmod(a, ikTwoPiF) : a;
}

// While below -pi_f add 2pi_f, then while above pi_f subtract it.
double wrapFromBelow(double a)
{
    if (!std::isfinite(a))
        return a;
    a = tamed(a);
    while (a < -ikPiF)
        a += ikTwoPiF;
    while (a > ikPiF)
        a -= ikTwoPiF;
    return a;
}

// While above pi_f subtract 2pi_f, then while below -pi_f add it.
double wrapFromAbove(double a)
{
    if (!std::isfinite(a))
        return a;
    a = tamed(a);
    while (a > ikPiF)
        a -= ikTwoPiF;
    while (a < -ikPiF)
        a += ikTwoPiF;
    return a;
}

double correctedOnce(double a)
{
    if (a < -ikPiF)
        a += ikTwoPiF;
    if (a > ikPiF)
        a -= ikTwoPiF;
    return a;
}

double flushed(double a, double limit)
{
    return std::fabs(a) < limit ? 0.0 : a;
}

} // namespace

double ikPoint::distance(const ikPoint& p) const
{
    return std::sqrt((x - p.x) * (x - p.x) + (y - p.y) * (y - p.y) + (z - p.z) * (z - p.z));
}

double ikVector::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

ikVector ikVector::cross(const ikVector& v) const
{
    return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
}

double ikVector::angle(const ikVector& v) const
{
    const double lengths = length() * v.length();
    if (lengths == 0)
        return -1.0;
    double c = dot(v) / lengths;
    if (c > 1.0)
        c = 1.0;
    if (c < -1.0)
        c = -1.0;
    return std::acos(c);
}

ikVector ikVector::addAngles(const ikVector& v) const
{
    return {wrapFromBelow(x + v.x), wrapFromBelow(y + v.y), wrapFromBelow(z + v.z)};
}

ikVector ikVector::subAngles(const ikVector& v) const
{
    return {correctedOnce(x - v.x), correctedOnce(y - v.y), correctedOnce(z - v.z)};
}

ikVector ikVector::wrapAngles() const
{
    return {wrapFromAbove(x), wrapFromAbove(y), wrapFromAbove(z)};
}

ikVector ikVector::flushSmall() const
{
    return {flushed(x, 1e-7), flushed(y, 1e-7), flushed(z, 1e-7)};
}

ikMatrix::ikMatrix() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

ikMatrix::ikMatrix(double m00, double m01, double m02, double m03, double m10, double m11,
                   double m12, double m13, double m20, double m21, double m22, double m23,
                   double m30, double m31, double m32, double m33)
    : m{m00, m10, m20, m30, m01, m11, m21, m31, m02, m12, m22, m32, m03, m13, m23, m33}
{
}

ikMatrix ikMatrix::rotationX(double c, double s)
{
    return {1, 0, 0, 0, 0, c, -s, 0, 0, s, c, 0, 0, 0, 0, 1};
}

ikMatrix ikMatrix::rotationY(double c, double s)
{
    return {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1};
}

ikMatrix ikMatrix::rotationZ(double c, double s)
{
    return {c, -s, 0, 0, s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

ikMatrix ikMatrix::eulerRotation(double cx, double sx, double cy, double sy, double cz, double sz)
{
    ikMatrix r;
    r.m[0] = cz * cy + sz * sx * sy;
    r.m[1] = sz * cy - cz * sx * sy;
    r.m[2] = cx * sy;
    r.m[4] = -sz * cx;
    r.m[5] = cz * cx;
    r.m[6] = sx;
    r.m[8] = sz * sx * cy - cz * sy;
    r.m[9] = -sz * sy - cz * sx * cy;
    r.m[10] = cx * cy;
    return r;
}

ikMatrix ikMatrix::withTranslation(const ikPoint& p) const
{
    ikMatrix r = *this;
    r.m[12] = p.x;
    r.m[13] = p.y;
    r.m[14] = p.z;
    return r;
}

ikMatrix ikMatrix::operator*(const ikMatrix& b) const
{
    ikMatrix r;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            r.m[4 * c + row] =
                (m[row] * b.m[4 * c] + m[4 + row] * b.m[4 * c + 1]) + m[8 + row] * b.m[4 * c + 2];
    for (int row = 0; row < 3; ++row)
        r.m[12 + row] =
            ((m[row] * b.m[12] + m[4 + row] * b.m[13]) + m[8 + row] * b.m[14]) + m[12 + row];
    return r;
}

ikMatrix ikMatrix::transform(double x, double y, double z) const
{
    ikMatrix r = *this;
    for (int row = 0; row < 3; ++row)
        r.m[12 + row] = ((m[row] * x + m[4 + row] * y) + m[8 + row] * z) + m[12 + row];
    return r;
}

ikMatrix ikMatrix::rotate(const ikMatrix& b) const
{
    ikMatrix r = *this;
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < 3; ++row)
            r.m[4 * c + row] =
                (m[row] * b.m[4 * c] + m[4 + row] * b.m[4 * c + 1]) + m[8 + row] * b.m[4 * c + 2];
    r.m[3] = r.m[7] = r.m[11] = 0;
    r.m[15] = 1;
    return r;
}

ikMatrix ikMatrix::rotateX(double a) const
{
    return rotate(rotationX(std::cos(a), std::sin(a)));
}

ikMatrix ikMatrix::rotateY(double a) const
{
    return rotate(rotationY(std::cos(a), std::sin(a)));
}

ikMatrix ikMatrix::rotateZ(double a) const
{
    return rotate(rotationZ(std::cos(a), std::sin(a)));
}

ikMatrix ikMatrix::rotateEuler(const ikVector& e) const
{
    return rotate(eulerRotation(std::cos(e.x), std::sin(e.x), std::cos(e.y), std::sin(e.y),
                                std::cos(e.z), std::sin(e.z)));
}

ikMatrix ikMatrix::rotateAxis(std::array<float, 4> r) const
{
    const double x = r[0], y = r[1], z = r[2];
    const double c = std::cos(double(r[3])), s = std::sin(double(r[3])), t = 1 - c;
    ikMatrix a;
    a.m[0] = (1 - x * x) * c + x * x;
    a.m[1] = x * y * t + s * z;
    a.m[2] = x * z * t - s * y;
    a.m[4] = x * y * t - s * z;
    a.m[5] = (1 - y * y) * c + y * y;
    a.m[6] = y * z * t + s * x;
    a.m[8] = x * z * t + s * y;
    a.m[9] = y * z * t - s * x;
    a.m[10] = (1 - z * z) * c + z * z;
    return rotate(a);
}

ikVector ikMatrix::getEulerAngles() const
{
    const double m2 = flushed(m[2], 1e-6), m10 = flushed(m[10], 1e-6);
    const double m4 = flushed(m[4], 1e-6), m5 = flushed(m[5], 1e-6);
    const double m6 = flushed(m[6], 1e-6);
    // asin of a sine that rounding pushed past 1 would be NaN.
    const double x = std::asin(m6 > 1 ? 1 : m6 < -1 ? -1 : m6);
    if (m4 == 0 && m5 == 0) {
        // X at ±pi/2 locks Z and Y together (and both quotients would be 0/0): put it all on Z.
        return {x, 0, std::atan2(m[1], m[0])};
    }
    ikVector e(x, std::atan(m2 / m10), std::atan(-m4 / m5));
    if (m5 >= 0 && m10 >= 0)
        return e;
    if (m10 >= 0)
        e.z += m4 >= 0 ? -ikPi : ikPi;
    else if (m5 >= 0)
        e.y += m2 >= 0 ? ikPi : -ikPi;
    else
        e.x = m6 >= 0 ? ikPi - e.x : -ikPi - e.x;
    return e;
}

ikMatrix ikMatrix::inverse() const
{
    const double a00 = m[0], a01 = m[4], a02 = m[8];
    const double a10 = m[1], a11 = m[5], a12 = m[9];
    const double a20 = m[2], a21 = m[6], a22 = m[10];
    // The adjugate, row by row: the transposed cofactors.
    const double b00 = a11 * a22 - a12 * a21, b01 = a02 * a21 - a01 * a22,
                 b02 = a01 * a12 - a02 * a11;
    const double b10 = a12 * a20 - a10 * a22, b11 = a00 * a22 - a02 * a20,
                 b12 = a02 * a10 - a00 * a12;
    const double b20 = a10 * a21 - a11 * a20, b21 = a01 * a20 - a00 * a21,
                 b22 = a00 * a11 - a01 * a10;
    const double det = (a00 * b00 + a01 * b10) + a02 * b20;
    const double tx = m[12], ty = m[13], tz = m[14];
    return {b00 / det, b01 / det, b02 / det, -((b00 * tx + b01 * ty) + b02 * tz) / det,
            b10 / det, b11 / det, b12 / det, -((b10 * tx + b11 * ty) + b12 * tz) / det,
            b20 / det, b21 / det, b22 / det, -((b20 * tx + b21 * ty) + b22 * tz) / det,
            0,         0,         0,         1};
}

ikAxisRotation::ikAxisRotation(double x, double y, double z, double angle)
{
    const double s = std::sin(angle / 2);
    this->x = x * s;
    this->y = y * s;
    this->z = z * s;
    w = std::cos(angle / 2);
}

ikAxisRotation::ikAxisRotation(const ikVector& e)
{
    const ikAxisRotation qx(1, 0, 0, e.x);
    const ikAxisRotation qy(0, -1, 0, e.y);
    const ikAxisRotation qz(0, 0, 1, e.z);
    *this = qy * (qx * qz);
}

ikAxisRotation ikAxisRotation::operator*(const ikAxisRotation& b) const
{
    const ikAxisRotation& a = *this;
    ikAxisRotation r;
    r.x = b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y;
    r.y = b.w * a.y + b.y * a.w + b.z * a.x - b.x * a.z;
    r.z = b.w * a.z + b.z * a.w + b.x * a.y - b.y * a.x;
    r.w = b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z;
    const double n = std::sqrt(r.x * r.x + r.y * r.y + r.z * r.z + r.w * r.w);
    r.x /= n;
    r.y /= n;
    r.z /= n;
    r.w /= n;
    return r;
}

std::array<float, 4> ikAxisRotation::toAxisAngle() const
{
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length <= 1e-5)
        return {0, 0, 1, 0};
    return {float(x / length), float(y / length), float(z / length), float(2 * std::acos(w))};
}

void ikEulerTrig::recompute(const ikVector& e)
{
    const double angles[3] = {e.x, e.y, e.z};
    std::uint64_t* bits[3] = {&xBits, &yBits, &zBits};
    double* cosines[3] = {&cx, &cy, &cz};
    double* sines[3] = {&sx, &sy, &sz};
    for (int i = 0; i < 3; ++i) {
        if (bitsOf(angles[i]) == *bits[i])
            continue;
        *bits[i] = bitsOf(angles[i]);
        *cosines[i] = std::cos(angles[i]);
        *sines[i] = std::sin(angles[i]);
    }
    matrix = ikMatrix::eulerRotation(cx, sx, cy, sy, cz, sz);
}
