#include "testing/gltest.h"

#include "common/glformat.h"

#include <GL/gl.h>
#include <GL/glu.h>

void GlTest::SetUp()
{
    context = std::make_unique<QOpenGLContext>();
    ASSERT_TRUE(context->create()) << "no GL context: run the tests under xvfb-run";
    surface = std::make_unique<QOffscreenSurface>();
    surface->setFormat(context->format());
    surface->create();
    ASSERT_TRUE(context->makeCurrent(surface.get()));
    keepGlDriverLoaded();
    resizeFramebuffer(width, height);
}

void GlTest::TearDown()
{
    if (context && context->makeCurrent(surface.get()))
        framebuffer.reset();
    if (context)
        context->doneCurrent();
    context.reset();
    surface.reset();
}

void GlTest::resizeFramebuffer(int newWidth, int newHeight)
{
    width = newWidth;
    height = newHeight;
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::Depth);
    framebuffer = std::make_unique<QOpenGLFramebufferObject>(width, height, format);
    ASSERT_TRUE(framebuffer->isValid());
    framebuffer->bind();
    glViewport(0, 0, width, height);
}

QImage GlTest::grab()
{
    glFinish();
    return framebuffer->toImage();
}

float GlTest::depthAt(int x, int y)
{
    float depth = 1.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

QPointF GlTest::project(double x, double y, double z)
{
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(x, y, z, modelview, projection, viewport, &wx, &wy, &wz);
    return QPointF(wx, wy);
}
