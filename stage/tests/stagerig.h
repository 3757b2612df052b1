#pragma once

#include "kit/drumset.h"
#include "stage/drummeranimation.h"
#include "stage/qglwindow.h"

#include <QImage>

// The view with its GL hooks and mouse handlers open to tests and tools.
class OpenView : public QGLWindow
{
public:
    using QGLWindow::initializeGL;
    using QGLWindow::lastX;
    using QGLWindow::lastY;
    using QGLWindow::mouseMoveEvent;
    using QGLWindow::mousePressEvent;
    using QGLWindow::mouseReleaseEvent;
    using QGLWindow::paintGL;
    using QGLWindow::QGLWindow;
    using QGLWindow::resizeGL;
    using QGLWindow::swingTimer;
    using QGLWindow::timerEvent;
    using QGLWindow::upkeepTimer;
};

// The stage view of the song editor, run from the run folder: the real humanoid, the default kit
// as the song panel sends it, the drummer shown. Nothing runs the event loop, so the view's timers
// never fire by themselves: callers step them.
class StageRig
{
public:
    StageRig();

    // Sets up GL as a first showing does (initializeGL, then resizeGL).
    void open();
    // Draws one picture of the view.
    QImage shot();
    // The first placement of feet and sticks: one upkeep tick.
    void place();

    // Index of the kit's first drum of a type; -1 if none.
    int drumOfType(int type) const;
    ikPoint hitpointAt(int drum, int hitpoint) const;
    ikNode* node(const char* name) const;

    // The song panel's kit, whose drums the view shares.
    DrumSet kit;
    OpenView view;
};
