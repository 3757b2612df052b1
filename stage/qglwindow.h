#pragma once

#include "kinematics/iktree.h"

#include <GL/gl.h>
#include <QOpenGLWidget>
#include <memory>

class Drum;
class DrumBody;
class DrumSet;
class Hitpoint;
class Human;
class Joint;
class Viewpoint;

// The 3D view: a textured room, the drummer on his chair and the kit, seen from one of six
// viewpoints. It owns the drummer's skeleton and the solver over it, and animates the figure:
// strokes started by the note parser and stepped by the beat clock, the feet on the pedals, the
// torso following the sticks and idle hands returning to rest. In the drum-set editor, mouse drags
// are sent out as deltas for the selected drum and hit point.
//
// The state below is public because the main window sets the paint and "&IK" flags and the marked
// viewpoint directly.
class QGLWindow : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit QGLWindow(QWidget* parent = nullptr, const char* name = nullptr);
    ~QGLWindow() override;

    void initScene();

    // The three timers' work; timerEvent tells them apart.
    void redraw();
    void swingDrums();
    void upkeep();

    std::unique_ptr<Human> human;
    std::unique_ptr<DrumBody> drumBody;
    std::unique_ptr<Drum> chair;
    // Shares its drums with the panel that sent the kit.
    std::unique_ptr<DrumSet> drumSet;

    bool showBBox = false;
    bool showHits = true;
    bool showRelate = false;
    bool showAxis = false;
    bool showDrummer = false;

    Viewpoint* viewpoint = nullptr;
    int markedView = 0;
    float rotX = 0, rotY = 0;
    float panX = 0, panY = 0, panZ = 0;
    int lastX = 0, lastY = 0;
    GLuint roomTextures[2] = {};
    int redrawTimer = 0;
    int swingTimer = 0;
    int upkeepTimer = 0;

    // The solver handle and the nodes of the solver tree that the animation moves.
    std::unique_ptr<ikFrame> solver;
    ikNode* effRStick = nullptr;
    ikNode* effLStick = nullptr;
    ikNode* effRFoot = nullptr;
    ikNode* effLFoot = nullptr;
    ikJoint* baseHips = nullptr;
    ikJoint* effTorso = nullptr;
    ikJoint* baseLShoulder = nullptr;
    ikJoint* baseRShoulder = nullptr;
    Joint* lShoulder = nullptr;
    Joint* rShoulder = nullptr;

    // Position-only goals of the hands; the rest goals never change.
    ikDestination rHandTarget, rHandFrom, rHandRest;
    ikDestination lHandTarget, lHandFrom, lHandRest;
    ikDestination rFootTarget, lFootTarget;

    // A stroke counts 8..1 (8..3 approach, 2..1 lift), a return to rest 18..3.
    int rStep = 0, lStep = 0;
    // Beat ticks since the hand's last stroke; 25: returning to or resting at the rest goal.
    int rIdle = 25, lIdle = 25;
    int kickIndex = -1, hihatIndex = -1;
    bool placed = false;
    bool ikReady = false;
    bool useFootIK = false;
    bool useRHandOri = false;
    bool handsIdle = true;

public slots:
    void setView(int index);
    void paintBBox();
    void paintHits();
    void paintRelate();
    void paintAxis();
    void paintDrummer();
    void recvSet(DrumSet* set);
    void timerSlot();
    void moveRHand(int drum, int hitpoint);
    void moveLHand(int drum, int hitpoint);
    void stopSlot();

signals:
    void posSignalX(float delta);
    void posSignalY(float delta);
    void posSignalZ(float delta);
    void rotSignalX(float delta);
    void rotSignalY(float delta);
    void rotSignalZ(float delta);
    void hitSignalX(float delta);
    void hitSignalY(float delta);
    void hitSignalZ(float delta);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // The goals, counters and solver nodes of one hand.
    struct Hand
    {
        ikDestination& target;
        ikDestination& from;
        const ikDestination& rest;
        int& step;
        int& idle;
        Joint* shoulder;
        ikNode* effector;
        ikJoint* base;
    };
    Hand rightHand();
    Hand leftHand();

    void loadRoomTextures();
    void addDrumsticks();
    void setUpSolver();
    void lookUpSolverNodes();
    void placeCamera();
    bool dragCamera(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy);
    bool dragHitpoint(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy);
    bool dragDrum(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy);

    void startStroke(Hand hand, int drum, int hitpoint);
    void startReturn(Hand hand);
    void solveHand(const Hand& hand, const ikDestination& goal);
    void stepHand(Hand hand, int divisor);
    void beatStepHand(Hand hand);
    void countIdle(Hand hand);
    void upkeepIdleHand(Hand hand);
    void rotateFeet();
    void solveFeet();
    void placeFeetAndSticks();
    void followSticks();
    void solveRepeatedly(ikNode* effector, ikJoint* base, const ikDestination& goal, int times,
                         double positionTolerance, double orientationTolerance);
    // Hit point 0 of the kit's drum at index, or null when there is no such drum or it has none.
    Hitpoint* pedalHitpoint(int index) const;

    // The viewport of resizeGL; QOpenGLWidget resets the viewport before every paintGL.
    int viewport[4] = {0, 0, 0, 0};
};
