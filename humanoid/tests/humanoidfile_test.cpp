#include "humanoid/human.h"
#include "humanoid/vrmlparser.h"
#include "kinematics/iksolve.h"
#include "scene/scenelight.h"
#include "testing/gltest.h"
#include "testing/recordingdialogs.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <QDir>
#include <functional>
#include <optional>

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

// Records the model-view matrix that the joints above it have set up.
struct MatrixProbe : Node
{
    void draw(bool, bool, bool) override { glGetDoublev(GL_MODELVIEW_MATRIX, matrix); }
    ikPoint place(const float* p) const
    {
        const double* m = matrix;
        return {m[0] * p[0] + m[4] * p[1] + m[8] * p[2] + m[12],
                m[1] * p[0] + m[5] * p[1] + m[9] * p[2] + m[13],
                m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14]};
    }
    double matrix[16] = {};
};

// The stage view's set-up of the solver over the drummer: stick joints at the wrists, the mirror
// turned to face -Z, and every frame computed once.
struct Rig
{
    explicit Rig(Human& human) : human(human)
    {
        addStick("l_wrist", "l_stick", 0.208218f, 0.446723f);
        addStick("r_wrist", "r_stick", -0.208218f, 0.446797f);
        human.buildIkSkeleton();
        ikJoint& root = *human.ikRoot;
        root.frame = root.frame.rotateY(3.141592653589793);
        root.angles.y = 3.141592653589793;
        human.takeIkAngles();
        solver.root = &root;
        solver.world = root.frame;
        ikIteration(&root, &root, &root, ikDestination{}, solver.world);
    }
    void addStick(const char* wrist, const char* name, float x, float y)
    {
        auto* stick = new Joint;
        stick->name = name;
        stick->center[0] = x;
        stick->center[1] = y;
        stick->center[2] = 0.020366f;
        human.root->find(wrist)->addChild(stick);
    }
    ikJoint* find(const char* name)
    {
        return static_cast<ikJoint*>(human.ikRoot->findByName(name));
    }
    void solve(const char* effector, const char* base, ikPoint goal,
               std::optional<ikVector> orientation, double posTol, double oriTol)
    {
        ikDestination destination;
        destination.position = goal;
        destination.orientation = orientation;
        solver.solve(find(effector), find(base), destination, posTol, oriTol);
    }
    // The first placement of feet and sticks, as the view makes it for a kit.
    void place(ikPoint kick, ikPoint hihatPedal)
    {
        const ikPoint root = human.ikRoot->position;
        const ikVector right(0.15, 3.14159265, 0), left(0.3, 2.84159265, 0);
        for (int i = 0; i < 10; ++i)
            solve("r_metatarsal", "sacroiliac", {root.x, root.y + 0.2, root.z}, right, 0.05, 0.03);
        for (int i = 0; i < 10; ++i)
            solve("r_metatarsal", "sacroiliac", {kick.x, kick.y + 0.1, kick.z}, right, 0.05, 0.03);
        for (int i = 0; i < 10; ++i)
            solve("l_metatarsal", "sacroiliac", {root.x - 0.2, root.y + 0.2, root.z + 0.2}, left,
                  0.005, 0.01);
        for (int i = 0; i < 11; ++i)
            solve("l_metatarsal", "sacroiliac", {hihatPedal.x, hihatPedal.y + 0.05, hihatPedal.z},
                  left, 0.005, 0.01);
        for (int i = 0; i < 10; ++i) {
            solve("r_stick", "sacroiliac", rightRest, {}, 0.05, 0.3);
            solve("l_stick", "sacroiliac", leftRest, {}, 0.05, 0.3);
        }
        human.storePose();
        human.takeIkAngles();
    }
    // A stroke's approach: six steps from the rest goal to the hit point; returns the miss.
    double stroke(bool rightHand, ikPoint target)
    {
        const ikPoint from = rightHand ? rightRest : leftRest;
        human.root->find(rightHand ? "r_shoulder" : "l_shoulder")->restorePose();
        for (int step = 8; step >= 3; --step) {
            const double part = (step - 3) / 6.0;
            const ikPoint goal(target.x - (target.x - from.x) * part,
                               target.y - (target.y - from.y) * part,
                               target.z - (target.z - from.z) * part);
            solve(rightHand ? "r_stick" : "l_stick", rightHand ? "r_shoulder" : "l_shoulder", goal,
                  {}, 0.05, 0.3);
        }
        return find(rightHand ? "r_stick" : "l_stick")->position.distance(target);
    }

    Human& human;
    ikFrame solver;
    const ikPoint rightRest{0.2, 1.0, 0.7};
    const ikPoint leftRest{-0.2, 1.0, 0.7};
};

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
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(30, double(width) / height, 0.5, 30);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        setUpSceneLight();
        glClearColor(0.5f, 0.5f, 0.5f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The file seats the figure at the chair, 0.29 m lower and 1.2 m back.
        gluLookAt(eyeX, 0.6, 1.2 + eyeZ, 0, 0.6, 1.2, 0, 1, 0);
        human.draw(false, false, false);
        return grab();
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

TEST_F(HumanoidFileTest, JointsAreDrawnWhereTheirMirrorsAre)
{
    Rig rig(human);
    rig.place({0.1, 0.04, 0.59}, {-0.325, 0.06, 0.738});
    rig.stroke(true, {0.48, 0.72, 0.85});
    rig.solve("vc4", "vt10", {0.3, 1.0, 0.7}, {}, 0.01, 0.3);
    human.takeIkAngles();

    const char* const names[] = {"r_stick", "l_stick",   "r_metatarsal", "l_metatarsal",
                                 "vc4",     "skullbase", "r_elbow"};
    std::vector<MatrixProbe*> probes;
    for (const char* name : names) {
        probes.push_back(new MatrixProbe);
        human.root->find(name)->addChild(probes.back());
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    human.draw(false, false, false);
    for (size_t i = 0; i < probes.size(); ++i) {
        const ikPoint drawn =
            probes[i]->place(static_cast<Joint*>(human.root->find(names[i]))->center);
        EXPECT_LT(drawn.distance(rig.find(names[i])->position), 1e-4) << names[i];
    }
}

TEST_F(HumanoidFileTest, SeatedDrummerReachesAKitAroundHim)
{
    Rig rig(human);
    // A kick and a hi-hat pedal in front of the seat at (0, 0.52, 1.2), which faces -Z.
    rig.place({0.1, 0.04, 0.59}, {-0.325, 0.06, 0.738});
    EXPECT_LT(rig.find("r_metatarsal")->position.distance({0.1, 0.14, 0.59}), 0.05);
    EXPECT_LT(rig.find("l_metatarsal")->position.distance({-0.325, 0.11, 0.738}), 0.02);
    EXPECT_LT(rig.find("r_stick")->position.distance(rig.rightRest), 0.05);
    EXPECT_LT(rig.find("l_stick")->position.distance(rig.leftRest), 0.05);
    EXPECT_NEAR(rig.find("r_hip")->position.y, 0.61, 0.02) << "the hips rest on the seat";

    struct Target
    {
        const char* piece;
        bool rightHand;
        ikPoint point;
    };
    const Target targets[] = {
        {"snare", true, {-0.12, 0.65, 0.82}},    {"snare", false, {-0.12, 0.65, 0.82}},
        {"hi-hat", false, {-0.33, 0.94, 0.72}},  {"hi-hat crossed", true, {-0.33, 0.94, 0.72}},
        {"high tom", true, {-0.03, 0.78, 0.5}},  {"middle tom", true, {0.19, 0.79, 0.52}},
        {"floor tom", true, {0.48, 0.72, 0.85}}, {"crash", false, {-0.34, 1.16, 0.6}},
        {"ride", true, {0.44, 1.04, 0.75}}};
    for (const Target& target : targets)
        EXPECT_LT(rig.stroke(target.rightHand, target.point), 0.065) << target.piece;
}
