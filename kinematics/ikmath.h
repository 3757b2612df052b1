#pragma once

#include <array>
#include <cstdint>
#include <cstring>

// The solver's double-precision geometry, all value types. Angles are radians. An Euler vector
// (x, y, z) stands for Rz(z)·Rx(x)·Ry(y), and the rotation about Y turns in the opposite sense to
// the right-handed one; the skeleton's drawing matches that by turning about -Y.

// Pi in double precision, and single-precision pi widened to double: the angle wrapping and the
// conversions to degrees have always used the latter. Doubling is exact, so 2pi stays the float's.
constexpr double ikPi = 3.141592653589793;
constexpr double ikPiF = 3.1415927410125732;
constexpr double ikTwoPiF = 2 * ikPiF;

class ikPoint
{
public:
    ikPoint() = default;
    ikPoint(double x, double y, double z) : x(x), y(y), z(z) {}

    double distance(const ikPoint& p) const;

    double x = 0;
    double y = 0;
    double z = 0;
};

class ikVector
{
public:
    ikVector() = default;
    ikVector(double x, double y, double z) : x(x), y(y), z(z) {}
    // b - a
    ikVector(const ikPoint& a, const ikPoint& b) : x(b.x - a.x), y(b.y - a.y), z(b.z - a.z) {}
    explicit ikVector(const ikPoint& p) : x(p.x), y(p.y), z(p.z) {}

    double length() const;
    ikVector add(const ikVector& v) const { return {x + v.x, y + v.y, z + v.z}; }
    ikVector sub(const ikVector& v) const { return {x - v.x, y - v.y, z - v.z}; }
    ikVector mul(const ikVector& v) const { return {x * v.x, y * v.y, z * v.z}; }
    ikVector scale(double s) const { return {s * x, s * y, s * z}; }
    ikVector negate() const { return {-x, -y, -z}; }
    double dot(const ikVector& v) const { return x * v.x + y * v.y + z * v.z; }
    double dot(double s) const { return s * x + s * y + s * z; }
    ikVector cross(const ikVector& v) const;
    // In [0, pi]; -1 when either vector has zero length.
    double angle(const ikVector& v) const;
    // Sum with every component wrapped into [-pi_f, pi_f].
    ikVector addAngles(const ikVector& v) const;
    // Difference with every component corrected by 2pi_f at most once.
    ikVector subAngles(const ikVector& v) const;
    ikVector wrapAngles() const;
    ikVector flushSmall() const;
    ikPoint toPoint() const { return {x, y, z}; }
    bool operator==(const ikVector& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const ikVector& v) const { return !(*this == v); }

    double x = 0;
    double y = 0;
    double z = 0;
};

// A 4x4 homogeneous matrix, column-major: the element of row r and column c is m[4c + r].
class ikMatrix
{
public:
    ikMatrix(); // identity
    // Sixteen values given row by row.
    ikMatrix(double m00, double m01, double m02, double m03, double m10, double m11, double m12,
             double m13, double m20, double m21, double m22, double m23, double m30, double m31,
             double m32, double m33);

    // Elementary rotations from a cosine and a sine, zero translation.
    static ikMatrix rotationX(double c, double s);
    static ikMatrix rotationY(double c, double s);
    static ikMatrix rotationZ(double c, double s);
    // Rz·Rx·Ry in one step.
    static ikMatrix eulerRotation(double cx, double sx, double cy, double sy, double cz, double sz);

    ikPoint getTranslation() const { return {m[12], m[13], m[14]}; }
    ikMatrix withTranslation(const ikPoint& p) const;
    // The affine product: the bottom rows are not read.
    ikMatrix operator*(const ikMatrix& b) const;
    // this·T(x, y, z): the rotation stays, the translation becomes this·(x, y, z, 1).
    ikMatrix transform(double x, double y, double z) const;
    ikMatrix transform(const ikVector& v) const { return transform(v.x, v.y, v.z); }
    // this·R with the rotation part of r; the translation stays.
    ikMatrix rotate(const ikMatrix& r) const;
    ikMatrix rotateX(double a) const;
    ikMatrix rotateY(double a) const;
    ikMatrix rotateZ(double a) const;
    ikMatrix rotateEuler(const ikVector& e) const;
    // Axis (r[0], r[1], r[2]), taken as given, and angle r[3].
    ikMatrix rotateAxis(std::array<float, 4> r) const;
    ikVector getEulerAngles() const;
    // The affine inverse; only rotation frames are ever inverted, so a zero determinant is not
    // looked for.
    ikMatrix inverse() const;

    double m[16];
};

// A rotation held as a unit quaternion (vector part x, y, z; scalar part w).
class ikAxisRotation
{
public:
    ikAxisRotation(double x, double y, double z, double angle);
    // The rotation of ikMatrix::rotateEuler(e).
    explicit ikAxisRotation(const ikVector& e);

    // The normalised Hamilton product b ⊗ this.
    ikAxisRotation operator*(const ikAxisRotation& b) const;
    // Unit axis and angle; (0, 0, 1, 0) for a rotation too small to have an axis.
    std::array<float, 4> toAxisAngle() const;

    double x;
    double y;
    double z;
    double w;

private:
    ikAxisRotation() = default;
};

// The rotation of an Euler vector with the sines and cosines kept, so that a joint whose angles
// did not change costs no trigonometry. Angles compare by their bits: a sign of zero matters.
class ikEulerTrig
{
public:
    const ikMatrix& rotation(const ikVector& e)
    {
        if (bitsOf(e.x) != xBits || bitsOf(e.y) != yBits || bitsOf(e.z) != zBits)
            recompute(e);
        return matrix;
    }

    double cx = 1, sx = 0, cy = 1, sy = 0, cz = 1, sz = 0;

private:
    static std::uint64_t bitsOf(double a)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &a, sizeof bits);
        return bits;
    }
    void recompute(const ikVector& e);

    std::uint64_t xBits = 0, yBits = 0, zBits = 0;
    ikMatrix matrix = ikMatrix::eulerRotation(1, 0, 1, 0, 1, 0);
};
