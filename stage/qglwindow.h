#pragma once

#include <GL/gl.h>
#include <QOpenGLWidget>
#include <memory>

class Drum;
class DrumBody;
class DrumSet;
class DrummerAnimation;
class Human;
class Viewpoint;

// The 3D view: a textured room, the drummer on his chair and the kit, seen from one of six
// viewpoints. It owns the drummer's skeleton and his motion, and steps the motion from the beat
// clock, the note parser and its own timers. In the drum-set editor, mouse drags are sent out as
// deltas for the selected drum and hit point.
//
// The main window sets the paint and "&IK" flags and the marked viewpoint directly.
class QGLWindow : public QOpenGLWidget
{
    Q_OBJECT
public:
    explicit QGLWindow(QWidget* parent = nullptr, const char* name = nullptr);
    ~QGLWindow() override;

    // The 20 ms upkeep timer's work: the first placement after a kit arrives, then the drummer's
    // upkeep; only while the drummer is shown.
    void upkeep();

    const DrummerAnimation& drummer() const { return *motion; }

    std::unique_ptr<Human> human;
    std::unique_ptr<DrumBody> drumBody;
    // Shares its drums with the panel that sent the kit.
    std::unique_ptr<DrumSet> drumSet;

    bool showBBox = false;
    bool showHits = true;
    bool showRelate = false;
    bool showAxis = false;
    bool showDrummer = false;

    Viewpoint* viewpoint = nullptr;
    int markedView = 0;
    // The mouse's turn (degrees) and pan (metres) of the camera, after the viewpoint's.
    float rotX = 0, rotY = 0;
    float panX = 0, panY = 0, panZ = 0;

    // The first placement has been made for the present kit; cleared to place the drummer anew.
    bool placed = false;
    // The "&IK" menu's choices: feet solved onto the pedals rather than turned at the ankles;
    // the right hand's orientation, which no stroke reads.
    bool useFootIK = false;
    bool useRHandOri = false;

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

    // The mouse position at the last press or move.
    int lastX = 0, lastY = 0;
    int redrawTimer = 0;
    int swingTimer = 0;
    int upkeepTimer = 0;

private:
    void initScene();
    void loadRoomTextures();
    void addDrumsticks();
    void placeCamera();
    bool dragCamera(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy);
    bool dragHitpoint(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy);
    bool dragDrum(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int dx, int dy);
    void swingDrums();

    std::unique_ptr<DrummerAnimation> motion;
    std::unique_ptr<Drum> chair;
    GLuint roomTextures[2] = {};
    // The viewport of resizeGL; QOpenGLWidget resets the viewport before every paintGL.
    int viewport[4] = {0, 0, 0, 0};
};
