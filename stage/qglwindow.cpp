#include "stage/qglwindow.h"

#include "common/dialogs.h"
#include "common/scenelight.h"
#include "humanoid/human.h"
#include "humanoid/tgaimage.h"
#include "humanoid/vrmlparser.h"
#include "kinematics/iksolve.h"
#include "kit/bodytypes.h"
#include "kit/drumbody.h"
#include "kit/drumset.h"
#include "stage/room.h"

#include <GL/glu.h>
#include <QMouseEvent>
#include <QTimerEvent>
#include <cstdlib>

namespace {

constexpr double pi = 3.141592653589793;

struct Preset
{
    const char* name;
    float position[3];
    float axis[3];
    float angle;
};

// Index = the "&Viewpoints" menu identifier.
constexpr Preset presets[] = {
    {"Default", {0, 1, 5}, {0, 1, 0}, 0},      {"Front", {0, 1, 5}, {0, 1, 0}, 0},
    {"Back", {0, 1, -5}, {0, 1, 0}, 180},      {"From top", {0, 5, 0}, {1, 0, 0}, 90},
    {"From left", {-5, 1, 0}, {0, 1, 0}, -90}, {"From right", {5, 1, 0}, {0, 1, 0}, 90},
};

// A joint the animation needs is missing from the humanoid: the view cannot work without it.
[[noreturn]] void missingJoint(const char* name, const char* text)
{
    Dialogs::about(nullptr, name, text);
    std::exit(EXIT_FAILURE);
}

ikNode* findEffector(ikJoint* root, const char* name)
{
    ikNode* node = root ? root->findByName(name) : nullptr;
    if (!node)
        missingJoint(name, "Efector not found!");
    return node;
}

ikJoint* findJoint(ikJoint* root, const char* name, const char* text)
{
    auto* joint = dynamic_cast<ikJoint*>(root ? root->findByName(name) : nullptr);
    if (!joint)
        missingJoint(name, text);
    return joint;
}

ikDestination goalAt(double x, double y, double z)
{
    ikDestination goal;
    goal.position = ikPoint(x, y, z);
    return goal;
}

} // namespace

QGLWindow::QGLWindow(QWidget* parent, const char* name) : QOpenGLWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setFixedWidth(600);
    setFixedHeight(400);
    setCursor(Qt::CrossCursor);
    drumBody = std::make_unique<DrumBody>();
    drumSet = std::make_unique<DrumSet>();
    initScene();
    showBBox = false;
    showHits = true;
    showRelate = false;
    showAxis = false;
    showDrummer = false;
    // The sticks rest raised before the chest: from the arms' pose there, every hit point of the
    // kit is in reach without an arm passing through the body.
    rHandTarget = rHandFrom = rHandRest = goalAt(0.12, 1.16, 0.65);
    lHandTarget = lHandFrom = lHandRest = goalAt(-0.12, 1.16, 0.65);
    for (ikDestination* foot : {&rFootTarget, &lFootTarget}) {
        foot->position = ikPoint();
        foot->orientation = ikVector();
    }
    lIdle = 25;
    rIdle = 25;
    redrawTimer = startTimer(25);
    swingTimer = startTimer(50);
    upkeepTimer = startTimer(20);
}

QGLWindow::~QGLWindow()
{
    for (int timer : {redrawTimer, swingTimer, upkeepTimer})
        killTimer(timer);
}

void QGLWindow::initScene()
{
    human = std::make_unique<Human>();
    auto* parser = new VrmlParser(this, "vrmlparser");
    parser->parseFile("Human-lod4-0012.wrl", human.get());
    delete parser;
    for (const Preset& p : presets)
        human->addViewpoint(new Viewpoint(p.name, p.position[0], p.position[1], p.position[2],
                                          p.axis[0], p.axis[1], p.axis[2], p.angle, 0.785398f));
    markedView = 0;
    setView(0);
}

void QGLWindow::setView(int index)
{
    if (index < 0 || index >= int(human->viewpoints.size()))
        return;
    viewpoint = human->viewpoints[size_t(index)];
    rotX = rotY = 0;
    panX = panY = panZ = 0;
}

void QGLWindow::paintBBox()
{
    showBBox = !showBBox;
}

void QGLWindow::paintHits()
{
    showHits = !showHits;
}

void QGLWindow::paintRelate()
{
    showRelate = !showRelate;
}

void QGLWindow::paintAxis()
{
    showAxis = !showAxis;
}

void QGLWindow::paintDrummer()
{
    showDrummer = !showDrummer;
}

void QGLWindow::initializeGL()
{
    setUpSceneLight();
    loadRoomTextures();
    chair = std::make_unique<Drum>();
    chair->type = BodyTypes::Chair;
    chair->translation[2] = 1.2f;
    chair->rotation[1] = 60;
    addDrumsticks();
    lShoulder = static_cast<Joint*>(human->root ? human->root->find("l_shoulder") : nullptr);
    rShoulder = static_cast<Joint*>(human->root ? human->root->find("r_shoulder") : nullptr);
    setUpSolver();
    drumBody->buildDisplayLists();
    ikReady = true;
}

void QGLWindow::loadRoomTextures()
{
    const char* const files[2] = {"Textures/Basswd.tga", "Textures/Oakply1.tga"};
    for (int slot = 0; slot < 2; ++slot) {
        TgaImage image(files[slot]);
        image.upload(roomTextures, slot);
    }
}

// The stick joints sit at the tips of the drawn sticks; in the solver they are the effectors.
void QGLWindow::addDrumsticks()
{
    struct Stick
    {
        const char* wrist;
        const char* joint;
        float center[3];
        int kind;
    };
    const Stick sticks[2] = {
        {"l_wrist", "l_stick", {0.208218f, 0.446723f, 0.020366f}, Segment::LeftStick},
        {"r_wrist", "r_stick", {-0.208218f, 0.446797f, 0.020366f}, Segment::RightStick},
    };
    for (const Stick& stick : sticks) {
        Node* wrist = human->root ? human->root->find(stick.wrist) : nullptr;
        // Without the wrist the stick effector is missing, which the look-up reports.
        if (!wrist)
            continue;
        auto* joint = new Joint;
        joint->name = stick.joint;
        for (int i = 0; i < 3; ++i)
            joint->center[i] = stick.center[i];
        wrist->addChild(joint);
        wrist->addChild(new Segment(stick.kind));
    }
}

void QGLWindow::setUpSolver()
{
    human->buildIkSkeleton();
    ikJoint* root = human->ikRoot.get();
    if (root) {
        root->frame = root->frame.rotateY(pi);
        root->angles.y = pi;
    }
    lookUpSolverNodes();
    human->takeIkAngles();

    solver = std::make_unique<ikFrame>();
    solver->root = root;
    solver->world = root->frame;

    ikDestination here;
    here.position = root->position;
    ikIteration refresh(root, root, root, here, root->frame);
    refresh.propagate(root, true);
}

void QGLWindow::lookUpSolverNodes()
{
    ikJoint* root = human->ikRoot.get();
    const char* const base = "Base not found!";
    effRStick = findEffector(root, "r_stick");
    effLStick = findEffector(root, "l_stick");
    effRFoot = findEffector(root, "r_metatarsal");
    effLFoot = findEffector(root, "l_metatarsal");
    baseHips = findJoint(root, "sacroiliac", base);
    effTorso = findJoint(root, "vc4", "Efector not found!");
    baseLShoulder = findJoint(root, "l_shoulder", base);
    baseRShoulder = findJoint(root, "r_shoulder", base);
    // The feet turn by rotating the joints above the effectors.
    if (!effRFoot->parent)
        missingJoint("r_metatarsal", "Efector not found!");
    if (!effLFoot->parent)
        missingJoint("l_metatarsal", "Efector not found!");
}

// The viewport is in device pixels, the aspect in the widget's own.
void QGLWindow::resizeGL(int w, int h)
{
    const qreal ratio = devicePixelRatio();
    const int pixelsW = int(w * ratio);
    const int pixelsH = int(h * ratio);
    viewport[0] = -(pixelsW / 2);
    viewport[1] = -(pixelsH / 2);
    viewport[2] = 2 * pixelsW;
    viewport[3] = 2 * pixelsH;
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, GLfloat(w) / GLfloat(h), 0.5, 30);
}

void QGLWindow::paintGL()
{
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drumSet->updateHitpointPositions();
    placeCamera();
    Room::draw(roomTextures);
    if (showDrummer) {
        glPushMatrix();
        chair->drawWithLists(showBBox, showHits, showRelate, drumBody->listBase);
        glPopMatrix();
        glPushMatrix();
        human->draw(showBBox, showHits, showRelate);
        glPopMatrix();
    }
    drumSet->draw(showBBox, showHits, showRelate, drumBody->listBase);
}

void QGLWindow::placeCamera()
{
    glRotatef(viewpoint->angle, viewpoint->axis[0], viewpoint->axis[1], viewpoint->axis[2]);
    glTranslatef(viewpoint->position[0], -viewpoint->position[1], -viewpoint->position[2]);
    glTranslatef(panX, panY, panZ);
    glRotatef(rotX, 1, 0, 0);
    glRotatef(rotY, 0, 1, 0);
}

void QGLWindow::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    lastX = at.x();
    lastY = at.y();
}

void QGLWindow::mouseReleaseEvent(QMouseEvent*)
{
    setCursor(Qt::CrossCursor);
}

void QGLWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const int dx = at.x() - lastX;
    const int dy = at.y() - lastY;
    const Qt::MouseButtons buttons = event->buttons();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    bool dragged = false;
    if (modifiers & Qt::ControlModifier) {
        dragged = dragCamera(buttons, modifiers, dx, dy);
    } else if (modifiers & Qt::AltModifier) {
        dragged = dragHitpoint(buttons, modifiers, dx, dy);
    } else {
        dragged = dragDrum(buttons, modifiers, dx, dy);
    }
    if (dragged)
        setCursor(Qt::BlankCursor);
    lastX = at.x();
    lastY = at.y();
}

// With Ctrl held the right button turns the camera and then pans it as the left button does.
bool QGLWindow::dragCamera(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx,
                           int dy)
{
    const bool right = buttons & Qt::RightButton;
    if (right) {
        rotX += float(dy);
        rotY += float(dx);
    }
    if (!right && !(buttons & Qt::LeftButton))
        return false;
    panX += float(dx) / 100;
    if (modifiers & Qt::ShiftModifier)
        panY -= float(dy) / 100;
    else
        panZ += float(dy) / 100;
    return true;
}

bool QGLWindow::dragHitpoint(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx,
                             int dy)
{
    if (!(buttons & Qt::LeftButton))
        return false;
    emit hitSignalX(float(dx) / 200);
    if (modifiers & Qt::ShiftModifier)
        emit hitSignalY(-float(dy) / 200);
    else
        emit hitSignalZ(float(dy) / 200);
    return true;
}

bool QGLWindow::dragDrum(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    bool dragged = false;
    if (buttons & Qt::LeftButton) {
        emit posSignalX(float(dx) / 200);
        if (shift)
            emit posSignalY(-float(dy) / 200);
        else
            emit posSignalZ(float(dy) / 200);
        dragged = true;
    }
    if (buttons & Qt::RightButton) {
        emit rotSignalY(float(dx) / 5);
        if (shift)
            emit rotSignalZ(float(dy) / 5);
        else
            emit rotSignalX(float(dy) / 5);
        dragged = true;
    }
    return dragged;
}

void QGLWindow::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == redrawTimer)
        redraw();
    if (event->timerId() == swingTimer)
        swingDrums();
    if (event->timerId() == upkeepTimer)
        upkeep();
}

void QGLWindow::redraw()
{
    update();
}
