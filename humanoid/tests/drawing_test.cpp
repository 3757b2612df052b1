#include "humanoid/human.h"
#include "testing/gltest.h"
#include "testing/recordingdialogs.h"

#include <GL/gl.h>
#include <QMatrix4x4>
#include <vector>

namespace {

// Records the model-view matrix that the tree has set up when it is drawn.
struct MatrixProbe : Node
{
    void draw(bool bbox, bool hits, bool relate) override
    {
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        flags = {bbox, hits, relate};
    }
    QMatrix4x4 seen() const { return QMatrix4x4(matrix).transposed(); }
    float matrix[16] = {};
    std::vector<bool> flags;
};

std::vector<float> material(GLenum face, GLenum name)
{
    float value[4] = {};
    glGetMaterialfv(face, name, value);
    return std::vector<float>(value, value + (name == GL_SHININESS ? 1 : 4));
}

bool nearlyEqual(const QMatrix4x4& a, const QMatrix4x4& b)
{
    for (int i = 0; i < 16; ++i)
        if (std::abs(a.constData()[i] - b.constData()[i]) > 1e-5f)
            return false;
    return true;
}

class DrawingTest : public GlTest
{
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 1, -1, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
    }

    int litPixels()
    {
        const QImage image = grab();
        int lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                lit += (image.pixel(x, y) & 0xffffff) != 0;
        return lit;
    }

    static MeshPart triangle()
    {
        MeshPart part;
        part.vertices = {-0.5f, -0.5f, 0, 0.5f, -0.5f, 0, 0, 0.5f, 0};
        part.normals = {0, 0, 1, 0, 0, 1, 0, 0, 1};
        part.indices = {0, 1, 2};
        return part;
    }
};

} // namespace

TEST_F(DrawingTest, ShapeSetsItsMaterialOnBothFaces)
{
    BodyPartShape shape;
    shape.draw();
    for (GLenum face : {GL_FRONT, GL_BACK}) {
        EXPECT_EQ(material(face, GL_AMBIENT), (std::vector<float>{0.2f, 0.2f, 0.2f, 1}));
        EXPECT_EQ(material(face, GL_DIFFUSE), (std::vector<float>{1, 1, 1, 1}));
        EXPECT_EQ(material(face, GL_SPECULAR), (std::vector<float>{0.33f, 0.33f, 0.33f, 1}));
        EXPECT_EQ(material(face, GL_EMISSION), (std::vector<float>{0, 0, 0, 1}));
        EXPECT_EQ(material(face, GL_SHININESS), std::vector<float>{0.3f});
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(litPixels(), 0) << "no mesh part, nothing drawn";

    shape.transparency = 0.25f;
    shape.ambientIntensity = 0.5f;
    shape.diffuseColor[0] = 0.5f;
    shape.draw();
    EXPECT_EQ(material(GL_BACK, GL_AMBIENT), (std::vector<float>{0.25f, 0.5f, 0.5f, 0.75f}));
    EXPECT_EQ(material(GL_FRONT, GL_EMISSION)[3], 0.75f);
}

TEST_F(DrawingTest, ShapeDrawsItsTrianglesInItsOwnTransform)
{
    BodyPartShape shape;
    shape.emissiveColor[0] = 1; // visible without lights
    shape.meshParts.push_back(triangle());
    shape.meshParts.back().indices.clear();
    shape.draw();
    EXPECT_EQ(litPixels(), 0) << "vertices without indices draw nothing";

    shape.meshParts.push_back(triangle());
    shape.translation[0] = 0.5f;
    shape.scale[0] = shape.scale[1] = 0.5f;
    shape.rotation[3] = 180; // about Y: the triangle's back faces the camera, and is drawn
    shape.draw();
    EXPECT_GT(litPixels(), 0);
    EXPECT_LT(depthAt(width * 3 / 4, height / 2), 1) << "centre moved to x = 0.5";
    EXPECT_EQ(depthAt(width / 4, height / 2), 1);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(DrawingTest, JointTurnsAboutItsCentreZThenXThenMinusY)
{
    Joint joint;
    auto* probe = new MatrixProbe;
    joint.addChild(probe);
    joint.translation[0] = 0.5f;
    joint.center[1] = 1;
    joint.rotation[0] = 30;
    joint.rotation[1] = 40;
    joint.rotation[2] = 50;
    joint.draw(true, false, true);

    QMatrix4x4 expected;
    expected.translate(0.5f, 1, 0);
    expected.rotate(50, 0, 0, 1);
    expected.rotate(30, 1, 0, 0);
    expected.rotate(-40, 0, 1, 0);
    expected.translate(0, -1, 0);
    EXPECT_TRUE(nearlyEqual(probe->seen(), expected));
    EXPECT_EQ(probe->flags, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(material(GL_FRONT, GL_DIFFUSE), (std::vector<float>{0.4275f, 0.4275f, 0.4275f, 1}));
    EXPECT_EQ(material(GL_FRONT, GL_SHININESS), std::vector<float>{9.85f});
}

TEST_F(DrawingTest, SiteTurnsAboutItsAxisAfterItsTranslation)
{
    Site site;
    auto* probe = new MatrixProbe;
    site.addChild(probe);
    site.translation[2] = -0.25f;
    site.rotation[0] = 1;
    site.rotation[2] = 0;
    site.rotation[3] = 90;
    site.draw(false, true, false);
    QMatrix4x4 expected;
    expected.translate(0, 0, -0.25f);
    expected.rotate(90, 1, 0, 0);
    EXPECT_TRUE(nearlyEqual(probe->seen(), expected));
}

TEST_F(DrawingTest, SticksHangFromTheirGripsAndNeedTheirTexture)
{
    RecordingDialogs dialogs; // the test runs where there is no stick texture
    Segment left(Segment::LeftStick);
    Segment right(Segment::RightStick);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "Nemuzu otevrit TGA soubor!");
    EXPECT_NE(left.textureId, 0u);
    EXPECT_EQ(left.type, 1);

    // Look at the humanoid's sticks from the front, 1 m across.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.5, 0.5, 0.2, 1.2, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    for (Segment* stick : {&left, &right}) {
        glClear(GL_DEPTH_BUFFER_BIT);
        stick->draw(false, false, false);
        const float x = stick == &left ? 0.208f : -0.208f;
        const QPointF grip = project(x, 0.88, 0.02);
        const QPointF tip = project(x, 0.45, 0.02);
        const QPointF beside = project(-x, 0.7, 0.02);
        EXPECT_LT(depthAt(int(grip.x()), int(grip.y())), 1);
        EXPECT_LT(depthAt(int(tip.x()), int(tip.y())), 1);
        EXPECT_EQ(depthAt(int(beside.x()), int(beside.y())), 1);
        EXPECT_EQ(depthAt(int(grip.x()), int(project(x, 1.0, 0).y())), 1) << "nothing above";
    }
}
