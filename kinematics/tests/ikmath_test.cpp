#include "kinematics/ikmath.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace {

ikPoint image(const ikMatrix& m, double x, double y, double z)
{
    return m.transform(x, y, z).getTranslation();
}

void expectNear(const ikPoint& p, double x, double y, double z, double tolerance = 1e-12)
{
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

void expectSameMatrix(const ikMatrix& a, const ikMatrix& b, double tolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

} // namespace

TEST(IkMatrix, RowByRowConstructorStoresColumnMajor)
{
    const ikMatrix m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m.m[0], 1);
    EXPECT_EQ(m.m[1], 5);
    EXPECT_EQ(m.m[2], 9);
    EXPECT_EQ(m.m[3], 13);
    EXPECT_EQ(m.m[12], 4);
    EXPECT_EQ(m.m[13], 8);
    EXPECT_EQ(m.m[14], 12);
    EXPECT_EQ(m.m[15], 16);
}

TEST(IkMatrix, ElementaryRotationsTurnTheWayTheSolverAndDrawingExpect)
{
    const double quarter = ikPi / 2;
    // About Y the turn is reversed: x goes to +z.
    expectNear(image(ikMatrix().rotateY(quarter), 1, 0, 0), 0, 0, 1);
    expectNear(image(ikMatrix().rotateZ(quarter), 1, 0, 0), 0, 1, 0);
    expectNear(image(ikMatrix().rotateX(quarter), 0, 1, 0), 0, 0, 1);
}

TEST(IkMatrix, EulerRotationIsZThenXThenYAndKeepsTheTranslation)
{
    const ikMatrix start = ikMatrix().rotateX(0.4).withTranslation(ikPoint(1, 2, 3));
    const ikVector e(0.3, -0.2, 0.5);
    const ikMatrix stepwise = start.rotateZ(e.z).rotateX(e.x).rotateY(e.y);
    const ikMatrix atOnce = start.rotateEuler(e);
    expectSameMatrix(atOnce, stepwise, 1e-15);
    EXPECT_EQ(atOnce.m[12], 1);
    EXPECT_EQ(atOnce.m[13], 2);
    EXPECT_EQ(atOnce.m[14], 3);
}

TEST(IkMatrix, EulerAnglesRoundTrip)
{
    const ikVector e = ikMatrix().rotateEuler(ikVector(0.3, -0.2, 0.5)).getEulerAngles();
    EXPECT_NEAR(e.x, 0.3, 1e-12);
    EXPECT_NEAR(e.y, -0.2, 1e-12);
    EXPECT_NEAR(e.z, 0.5, 1e-12);

    // Any rotation, whatever quadrant its angles fall in, comes back as the same rotation.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> angle(-3.1, 3.1);
    for (int i = 0; i < 500; ++i) {
        const ikMatrix m =
            ikMatrix().rotateEuler(ikVector(angle(random), angle(random), angle(random)));
        expectSameMatrix(ikMatrix().rotateEuler(m.getEulerAngles()), m, 1e-5);
    }
}

TEST(IkMatrix, EulerAnglesAtALockedXAreNumbers)
{
    for (double x : {ikPi / 2, -ikPi / 2}) {
        const ikMatrix m = ikMatrix().rotateEuler(ikVector(x, 0.3, 0.7));
        const ikVector e = m.getEulerAngles();
        ASSERT_FALSE(std::isnan(e.x) || std::isnan(e.y) || std::isnan(e.z));
        expectSameMatrix(ikMatrix().rotateEuler(e), m, 1e-9);
    }
}

TEST(IkMatrix, TransformMovesAlongTheRotatedAxesAndInverseUndoes)
{
    const ikMatrix turned = ikMatrix().rotateEuler(ikVector(0.1, 0.7, -1.2));
    const ikPoint firstColumn = image(turned, 1, 0, 0);
    EXPECT_EQ(firstColumn.x, turned.m[0]);
    EXPECT_EQ(firstColumn.y, turned.m[1]);
    EXPECT_EQ(firstColumn.z, turned.m[2]);

    const ikMatrix m = turned.withTranslation(ikPoint(0.5, -2, 3));
    expectSameMatrix(m * m.inverse(), ikMatrix(), 1e-14);
    expectSameMatrix(m.inverse() * m, ikMatrix(), 1e-14);
}

TEST(IkVector, AngleBetweenVectors)
{
    EXPECT_EQ(ikVector().angle(ikVector(1, 2, 3)), -1.0);
    EXPECT_EQ(ikVector(1, 2, 3).angle(ikVector()), -1.0);
    // The cosine of these comes out just above 1 before it is clamped.
    const ikVector v(0.1, 0.1, 0.3);
    EXPECT_EQ(v.angle(v), 0.0);
    EXPECT_NEAR(ikVector(1, 0, 0).angle(ikVector(-2, 0, 0)), ikPi, 1e-15);
    EXPECT_NEAR(ikVector(1, 0, 0).angle(ikVector(0, 0, 3)), ikPi / 2, 1e-15);
}

TEST(IkVector, AngleWrapping)
{
    EXPECT_DOUBLE_EQ(ikVector(4, 0, 0).wrapAngles().x, 4 - ikTwoPiF);
    EXPECT_EQ(ikVector(-ikPiF, ikPiF, 0).wrapAngles(), ikVector(-ikPiF, ikPiF, 0));
    EXPECT_DOUBLE_EQ(ikVector(-10, 0, 0).wrapAngles().x, -10 + 2 * ikTwoPiF);
    EXPECT_DOUBLE_EQ(ikVector(3, 0, 0).addAngles(ikVector(3, 0, 0)).x, 6 - ikTwoPiF);
    EXPECT_DOUBLE_EQ(ikVector(-3, 0, 0).addAngles(ikVector(-10, 0, 0)).x, -13 + 2 * ikTwoPiF);
    // A difference is corrected once only, even when it stays out of range.
    const double once = ikVector(13, 0, 0).subAngles(ikVector()).x;
    EXPECT_DOUBLE_EQ(once, 13 - ikTwoPiF);
    EXPECT_GT(once, ikPiF);
    EXPECT_DOUBLE_EQ(ikVector(-4, 0, 0).subAngles(ikVector()).x, -4 + ikTwoPiF);
}

TEST(IkVector, WrappingAbsurdAnglesEnds)
{
    const ikVector wrapped = ikVector(1e300, INFINITY, NAN).wrapAngles();
    EXPECT_LE(std::fabs(wrapped.x), ikPiF);
    EXPECT_TRUE(std::isinf(wrapped.y));
    EXPECT_TRUE(std::isnan(wrapped.z));
    const ikVector sum = ikVector(1e17, -1e17, 0).addAngles(ikVector(0, -INFINITY, 0));
    EXPECT_LE(std::fabs(sum.x), ikPiF);
    EXPECT_TRUE(std::isinf(sum.y));
}

TEST(IkAxisRotation, EulerQuaternionMatchesTheEulerMatrix)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> angle(-3, 3);
    for (int i = 0; i < 200; ++i) {
        const ikVector e(angle(random), angle(random), angle(random));
        const ikMatrix fromAxis = ikMatrix().rotateAxis(ikAxisRotation(e).toAxisAngle());
        expectSameMatrix(fromAxis, ikMatrix().rotateEuler(e), 1e-5);
    }
}

TEST(IkAxisRotation, NoTurnHasTheDefaultAxis)
{
    const std::array<float, 4> none{0, 0, 1, 0};
    EXPECT_EQ(ikAxisRotation(1, 0, 0, 0).toAxisAngle(), none);
    EXPECT_EQ(ikAxisRotation(0, 0.6f, 0.8f, 0).toAxisAngle(), none);
    const auto quarter = ikAxisRotation(0, 1, 0, ikPi / 2).toAxisAngle();
    EXPECT_FLOAT_EQ(quarter[1], 1);
    EXPECT_FLOAT_EQ(quarter[3], float(ikPi / 2));
}
