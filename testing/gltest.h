#pragma once

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <gtest/gtest.h>
#include <memory>

// A fixture with a current fixed-function GL context drawing into an off-screen framebuffer with
// a depth buffer. It needs a display: the tests run under xvfb-run.
class GlTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes a new framebuffer of this size, binds it and sets the viewport to cover it.
    void resizeFramebuffer(int width, int height);
    // What has been drawn so far, top row first.
    QImage grab();
    // Depth buffer value (0 near .. 1 far) at window coordinates, origin bottom left.
    float depthAt(int x, int y);
    // Projects an object-space point with the current matrices to window coordinates.
    QPointF project(double x, double y, double z);

    int width = 256;
    int height = 256;
    std::unique_ptr<QOffscreenSurface> surface;
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOpenGLFramebufferObject> framebuffer;
};
