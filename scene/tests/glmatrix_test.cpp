#include "scene/glmatrix.h"
#include "testing/gltest.h"

#include <GL/gl.h>

// The kit computes room positions without a GL context; they must match what GL places.
class GlMatrixTest : public GlTest
{
};

TEST_F(GlMatrixTest, MatchesTheGlMatrixStack)
{
    GlMatrix ours;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    ours.translate(0.3f, -1.2f, 2.5f);
    glTranslatef(0.3f, -1.2f, 2.5f);
    ours.rotateY(33.5f);
    glRotatef(33.5f, 0, 1, 0);
    ours.rotateX(-71);
    glRotatef(-71, 1, 0, 0);
    ours.rotateZ(190);
    glRotatef(190, 0, 0, 1);
    ours.scale(0.75f, 0.75f, 0.75f);
    glScalef(0.75f, 0.75f, 0.75f);
    ours.translate(0, 0.05f, 0.64f);
    glTranslatef(0, 0.05f, 0.64f);

    float gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(ours.m[i], gl[i], 1e-5) << "element " << i;
}

TEST(GlMatrix, RotationsTurnAxesRightHanded)
{
    GlMatrix y;
    y.rotateY(90);
    y.translate(0, 0, 1);
    EXPECT_NEAR(y.translationX(), 1, 1e-6);
    EXPECT_NEAR(y.translationZ(), 0, 1e-6);

    GlMatrix x;
    x.rotateX(90);
    x.translate(0, 1, 0);
    EXPECT_NEAR(x.translationZ(), 1, 1e-6);

    GlMatrix z;
    z.rotateZ(90);
    z.translate(1, 0, 0);
    EXPECT_NEAR(z.translationY(), 1, 1e-6);
}
