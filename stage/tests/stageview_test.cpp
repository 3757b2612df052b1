#include "common/dialogs.h"
#include "humanoid/human.h"
#include "stage/tests/stagerig.h"
#include "testing/gltest.h"

#include <GL/gl.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

// The GL fixture keeps the GL driver loaded for the leak checker; the view draws with its own
// context.
class StageView : public GlTest
{
};

struct Camera
{
    ikPoint eye;
    ikVector looking;
};

// Where the model-view matrix of the view puts the eye, and the direction it looks in.
Camera cameraOf(const GLdouble* m)
{
    // Columns 0..2 hold the rotation R; the eye is -R^T t and looks along -(third row of R).
    const double t[3] = {m[12], m[13], m[14]};
    ikPoint eye;
    double* e[3] = {&eye.x, &eye.y, &eye.z};
    for (int c = 0; c < 3; ++c)
        *e[c] = -(m[4 * c] * t[0] + m[4 * c + 1] * t[1] + m[4 * c + 2] * t[2]);
    return {eye, ikVector(-m[2], -m[6], -m[10])};
}

int pixelsDiffering(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

int pixelsOfColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

} // namespace

TEST_F(StageView, ChoosingAViewpointDiscardsTheMousesPanAndTurn)
{
    OpenView view;
    ASSERT_EQ(view.human->viewpoints.size(), 6u);
    EXPECT_EQ(view.viewpoint->description, "Default");
    view.panZ = 2;
    view.rotY = 30;
    view.setView(4);
    EXPECT_EQ(view.viewpoint->description, "From left");
    EXPECT_EQ(view.panZ, 0);
    EXPECT_EQ(view.rotY, 0);
    view.setView(6);
    EXPECT_EQ(view.viewpoint->description, "From left") << "an unknown index changes nothing";
}

TEST_F(StageView, SetUpFindsEveryJointAndAddsTheSticksAtTheWrists)
{
    StageRig rig;
    rig.open();
    const DrummerAnimation& drummer = rig.view.drummer();
    const DrummerHand& right = drummer.rightHand();
    const DrummerHand& left = drummer.leftHand();
    ASSERT_TRUE(drummer.ready());
    const std::pair<const ikNode*, const char*> nodes[] = {{right.stick(), "r_stick"},
                                                           {left.stick(), "l_stick"},
                                                           {drummer.rightFoot(), "r_metatarsal"},
                                                           {drummer.leftFoot(), "l_metatarsal"},
                                                           {drummer.hips(), "sacroiliac"},
                                                           {drummer.torso(), "vc4"},
                                                           {left.shoulder(), "l_shoulder"},
                                                           {right.shoulder(), "r_shoulder"}};
    for (const auto& [node, name] : nodes)
        EXPECT_EQ(node, rig.node(name)) << name;
    EXPECT_EQ(left.stick()->parent, rig.node("l_wrist"));
    EXPECT_EQ(right.stick()->parent, rig.node("r_wrist"));

    // Turned to face -Z: his right stick is on +X, both in front of the hips.
    EXPECT_GT(right.stick()->position.x, left.stick()->position.x);
    EXPECT_LT(right.stick()->position.z, drummer.hips()->position.z);
}

TEST_F(StageView, PictureIsDrawnOnTheDoubledViewport)
{
    StageRig rig;
    rig.open();
    rig.view.makeCurrent();
    rig.view.paintGL();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], -300);
    EXPECT_EQ(viewport[1], -200);
    EXPECT_EQ(viewport[2], 1200);
    EXPECT_EQ(viewport[3], 800);
}

// The eye of each viewpoint; "From left" keeps the sign of its x, the other coordinates change it.
TEST_F(StageView, ViewpointsPlaceTheEye)
{
    StageRig rig;
    DrumSet empty;
    rig.view.recvSet(&empty); // the kit leaves its own transform on the matrix
    rig.open();
    struct Expected
    {
        ikPoint eye;
        ikVector looking;
    };
    const Expected expected[] = {
        {{0, 1, 5}, {0, 0, -1}}, {{0, 1, 5}, {0, 0, -1}}, {{0, 1, -5}, {0, 0, 1}},
        {{0, 5, 0}, {0, -1, 0}}, {{5, 1, 0}, {-1, 0, 0}}, {{-5, 1, 0}, {1, 0, 0}},
    };
    rig.view.makeCurrent();
    for (int i = 0; i < 6; ++i) {
        rig.view.setView(i);
        rig.view.paintGL();
        GLdouble modelview[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        const Camera camera = cameraOf(modelview);
        EXPECT_LT(camera.eye.distance(expected[i].eye), 1e-5) << "viewpoint " << i;
        EXPECT_LT(camera.looking.sub(expected[i].looking).length(), 1e-5) << "viewpoint " << i;
    }

    // The mouse's pan moves the camera in room axes, after the viewpoint's turn.
    rig.view.setView(4);
    rig.view.panZ = 0.5f;
    rig.view.paintGL();
    GLdouble modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_LT(cameraOf(modelview).eye.distance({5, 1, -0.5}), 1e-5);
}

// Every viewpoint shows the room, the kit and the seated drummer; the chair and the drummer only
// while he is shown. The pictures are kept in the build's screenshots folder.
TEST_F(StageView, EveryViewpointShowsTheDrummerAtTheKit)
{
    StageRig rig;
    rig.open();
    rig.place();
    QGLWindow& view = rig.view;
    QDir().mkpath("../screenshots");
    DrumSet empty;
    for (int i = 0; i < 6; ++i) {
        view.setView(i);
        const QImage picture = view.grabFramebuffer();
        picture.save(QString("../screenshots/test_view%1.png").arg(i));
        ASSERT_EQ(picture.size(), QSize(600, 400));
        const int all = picture.width() * picture.height();
        EXPECT_LT(pixelsOfColour(picture, qRgb(0, 0, 0)), all / 4) << "viewpoint " << i;

        view.showDrummer = false;
        const QImage withoutDrummer = view.grabFramebuffer();
        view.showDrummer = true;
        EXPECT_GT(pixelsDiffering(picture, withoutDrummer), all / 100) << "viewpoint " << i;

        view.recvSet(&empty);
        const QImage withoutKit = view.grabFramebuffer();
        view.recvSet(&rig.kit);
        view.upkeep();
        EXPECT_GT(pixelsDiffering(picture, withoutKit), all / 100) << "viewpoint " << i;
    }
}

// Prints what the dialog seam is asked to show, so that the dying process's output carries it.
class PrintingDialogs : public DialogSeam
{
public:
    void message(Kind, QWidget* parent, const QString& caption, const QString& text) override
    {
        std::fprintf(stderr, "[%s|%s|%s]\n", parent ? "parent" : "no parent", qPrintable(caption),
                     qPrintable(text));
    }
    int question(QWidget*, const QString&, const QString&, const QStringList&, int,
                 int escapeButton) override
    {
        return escapeButton;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

// A humanoid with sticks' wrists and feet but no pelvis joint.
const char* const humanoidWithoutHips = R"(#VRML V2.0 utf8
DEF hanim_Humanoid Humanoid {
  name "no_hips"
  humanoidBody [
    DEF hanim_HumanoidRoot Joint {
      name "HumanoidRoot"
      center 0 0.9 0
      children [
        DEF hanim_l_wrist Joint { name "l_wrist" center 0.2 0.9 0 }
        DEF hanim_r_wrist Joint { name "r_wrist" center -0.2 0.9 0 }
        DEF hanim_l_ankle Joint { name "l_ankle" center 0.1 0.1 0
          children [ DEF hanim_l_metatarsal Joint { name "l_metatarsal" center 0.1 0 0.1 } ] }
        DEF hanim_r_ankle Joint { name "r_ankle" center -0.1 0.1 0
          children [ DEF hanim_r_metatarsal Joint { name "r_metatarsal" center -0.1 0 0.1 } ] }
      ]
    }
  ]
}
)";

void openViewIn(const QString& folder)
{
    QDir::setCurrent(folder);
    PrintingDialogs dialogs;
    Dialogs::setSeam(&dialogs);
    StageRig rig;
    rig.open();
}

using StageViewDeathTest = StageView;

// A joint the animation needs is missing: the user is told which, and the program ends with a
// failure status.
TEST_F(StageViewDeathTest, MissingJointEndsTheProgramAfterItsMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir noHumanoid;
    ASSERT_TRUE(noHumanoid.isValid());
    EXPECT_EXIT(openViewIn(noHumanoid.path()), testing::ExitedWithCode(EXIT_FAILURE),
                "\\[no parent\\|r_stick\\|Efector not found!\\]");

    QTemporaryDir noHips;
    ASSERT_TRUE(noHips.isValid());
    QFile file(noHips.filePath("Human-lod4-0012.wrl"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(humanoidWithoutHips);
    file.close();
    EXPECT_EXIT(openViewIn(noHips.path()), testing::ExitedWithCode(EXIT_FAILURE),
                "\\[no parent\\|sacroiliac\\|Base not found!\\]");
}
