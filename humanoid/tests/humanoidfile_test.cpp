#include "humanoid/human.h"
#include "humanoid/vrmlparser.h"
#include "testing/gltest.h"
#include "testing/recordingdialogs.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QDir>
#include <functional>

namespace {

// The joints that the stage view looks up in the skeleton and in its solver mirror.
const char* const viewJoints[] = {"HumanoidRoot", "sacroiliac",   "l_hip",   "l_knee",
                                  "l_ankle",      "l_metatarsal", "r_hip",   "r_knee",
                                  "r_ankle",      "r_metatarsal", "vl5",     "vc4",
                                  "skullbase",    "l_shoulder",   "l_elbow", "l_wrist",
                                  "r_shoulder",   "r_elbow",      "r_wrist"};

void forEachSegment(Node& node, const std::function<void(Segment&)>& visit)
{
    if (node.type == 1)
        visit(static_cast<Segment&>(node));
    for (Node* child : node.children)
        forEachSegment(*child, visit);
}

struct Box
{
    float low[3] = {1e9f, 1e9f, 1e9f};
    float high[3] = {-1e9f, -1e9f, -1e9f};
    bool contains(float x, float y, float z) const
    {
        return x > low[0] && x < high[0] && y > low[1] && y < high[1] && z > low[2] && z < high[2];
    }
};

Box boundsOf(const BodyPartShape& shape)
{
    Box box;
    for (const MeshPart& part : shape.meshParts)
        for (size_t i = 0; i < part.vertices.size(); ++i) {
            box.low[i % 3] = std::min(box.low[i % 3], part.vertices[i]);
            box.high[i % 3] = std::max(box.high[i % 3], part.vertices[i]);
        }
    return box;
}

// Six times the volume enclosed by the triangles, seen from the mesh's mean vertex: positive when
// the faces turn outward.
double signedVolume(const MeshPart& part)
{
    double mean[3] = {0, 0, 0};
    const size_t vertices = part.vertices.size() / 3;
    for (size_t i = 0; i < part.vertices.size(); ++i)
        mean[i % 3] += part.vertices[i] / double(vertices);
    double volume = 0;
    for (size_t t = 0; t < part.indices.size(); t += 3) {
        double p[3][3];
        for (int k = 0; k < 3; ++k)
            for (int a = 0; a < 3; ++a)
                p[k][a] = part.vertices[3 * size_t(part.indices[t + k]) + a] - mean[a];
        volume += p[0][0] * (p[1][1] * p[2][2] - p[1][2] * p[2][1]) -
                  p[0][1] * (p[1][0] * p[2][2] - p[1][2] * p[2][0]) +
                  p[0][2] * (p[1][0] * p[2][1] - p[1][1] * p[2][0]);
    }
    return volume;
}

class HumanoidFileTest : public GlTest
{
protected:
    void SetUp() override
    {
        width = 300;
        height = 400;
        GlTest::SetUp();
        ASSERT_EQ(VrmlParser(nullptr, "vrmlparser").parseFile("Human-lod4-0012.wrl", &human), 1);
        ASSERT_TRUE(human.root);
    }

    // Draws the figure as the stage view lights it, looking at its middle from eye.
    QImage drawFrom(double eyeX, double eyeZ)
    {
        glClearColor(0.5f, 0.5f, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(30, double(width) / height, 0.5, 30);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float light[4] = {0, 2, 2, 0};
        const float white[4] = {1, 1, 1, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        glLightfv(GL_LIGHT0, GL_AMBIENT, white);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glEnable(GL_NORMALIZE);
        glShadeModel(GL_SMOOTH);
        // The file seats the figure at the chair, 0.29 m lower and 1.2 m back.
        gluLookAt(eyeX, 0.6, 1.2 + eyeZ, 0, 0.6, 1.2, 0, 1, 0);
        human.draw(false, false, false);
        // The framebuffer's rows come bottom first.
        return grab().mirrored(false, true);
    }

    void snapshot(const QImage& image, const char* name)
    {
        const QString dir = qEnvironmentVariable("OLMIRA_SNAPSHOTS");
        if (!dir.isEmpty())
            image.save(QDir(dir).filePath(name));
    }

    RecordingDialogs dialogs;
    Human human;
};

int rowsDrawn(const QImage& image, int* top, int* bottom)
{
    const QRgb background = image.pixel(0, 0);
    *top = image.height();
    *bottom = -1;
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background) {
                *top = std::min(*top, y);
                *bottom = std::max(*bottom, y);
                ++drawn;
            }
    return drawn;
}

} // namespace

TEST_F(HumanoidFileTest, CarriesEveryJointTheViewNeedsAndEveryBodyPart)
{
    EXPECT_TRUE(dialogs.messages.empty()) << "the file ends with its body list";
    EXPECT_EQ(human.version, "1.1");
    for (const char* name : viewJoints) {
        Node* node = human.root->find(name);
        ASSERT_TRUE(node) << name;
        EXPECT_EQ(node->type, 0) << name;
    }
    int segments = 0;
    forEachSegment(*human.root, [&](Segment& segment) {
        ++segments;
        ASSERT_TRUE(segment.shape) << qPrintable(segment.name);
        ASSERT_FALSE(segment.shape->meshParts.empty()) << qPrintable(segment.name);
        for (const MeshPart& part : segment.shape->meshParts) {
            EXPECT_GE(part.indices.size(), 3u * 60) << qPrintable(segment.name);
            EXPECT_GT(signedVolume(part), 0) << qPrintable(segment.name) << " faces inward";
        }
    });
    EXPECT_GE(segments, 15);
}

TEST_F(HumanoidFileTest, FistsCloseRoundTheSticksGrips)
{
    for (const auto& [name, x] : {std::pair{"l_hand", 0.208f}, std::pair{"r_hand", -0.208f}}) {
        auto* hand = static_cast<Segment*>(human.root->find(name));
        ASSERT_TRUE(hand && hand->shape) << name;
        const Box box = boundsOf(*hand->shape);
        EXPECT_TRUE(box.contains(x, 0.86f, 0.0204f)) << name;
        EXPECT_GT(box.low[1], 0.4467f + 0.3f) << "most of the stick shows below the fist";
    }
}

TEST_F(HumanoidFileTest, DrawsAFigureAboutOneSeventySixTall)
{
    const QImage front = drawFrom(0, 4.5);
    snapshot(front, "humanoid_front.png");
    int top = 0, bottom = 0;
    EXPECT_GT(rowsDrawn(front, &top, &bottom), 5000);
    // Project the crown and the toes' soles, as placed by the root's translation.
    const QPointF crown = project(0, 1.77 - 0.29, 1.2);
    const QPointF toes = project(0, -0.29, 1.2 + 0.24);
    EXPECT_NEAR(height - 1 - top, crown.y(), 4);
    EXPECT_NEAR(height - 1 - bottom, toes.y(), 4);

    const QImage side = drawFrom(4.5, 0);
    snapshot(side, "humanoid_side.png");
    EXPECT_GT(rowsDrawn(side, &top, &bottom), 2000);
}
