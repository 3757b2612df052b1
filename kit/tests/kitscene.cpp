#include "kit/tests/kitscene.h"

#include "scene/scenelight.h"

#include <GL/glu.h>
#include <QByteArray>
#include <algorithm>
#include <vector>

namespace {

constexpr float eyeDistance = 10;
constexpr double nearPlane = 1, farPlane = 21;

} // namespace

std::unique_ptr<Drum> makeDrum(int type, float x, float y, float z)
{
    auto drum = std::make_unique<Drum>();
    drum->type = type;
    drum->setupType();
    drum->addDefaultHitpoints();
    drum->translation[0] = x;
    drum->translation[1] = y;
    drum->translation[2] = z;
    return drum;
}

void KitSceneTest::SetUp()
{
    GlTest::SetUp();
    resizeFramebuffer(512, 512);
    // The stage view's light and state; the light is given under the identity.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    setUpSceneLight();
    body.buildDisplayLists();
    lookFromFront(0, 0.5f, 2);
}

void KitSceneTest::lookAlong(const Eye& eye, float across, float up, float newSpan)
{
    span = newSpan;
    centre[0] = across;
    centre[1] = up;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-span / 2, span / 2, -span / 2, span / 2, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye.from[0], eye.from[1], eye.from[2], eye.at[0], eye.at[1], eye.at[2], eye.up[0],
              eye.up[1], eye.up[2]);
    glGetDoublev(GL_MODELVIEW_MATRIX, camera);
}

void KitSceneTest::lookFromSide(float y, float z, float newSpan)
{
    lookAlong({{eyeDistance, y, z}, {0, y, z}, {0, 1, 0}}, z, y, newSpan);
}

void KitSceneTest::lookFromAbove(float x, float z, float newSpan)
{
    lookAlong({{x, eyeDistance, z}, {x, 0, z}, {0, 0, -1}}, x, -z, newSpan);
}

void KitSceneTest::lookFromFront(float x, float y, float newSpan)
{
    lookAlong({{x, y, eyeDistance}, {x, y, 0}, {0, 1, 0}}, x, y, newSpan);
}

void KitSceneTest::lookFrom(float eyeX, float eyeY, float eyeZ, float atX, float atY, float atZ)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double(width) / height, 0.3, 30);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eyeX, eyeY, eyeZ, atX, atY, atZ, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, camera);
}

void KitSceneTest::drawDrum(Drum& drum, bool hits, bool relate)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadMatrixd(camera);
    glPushMatrix();
    drum.drawWithLists(false, hits, relate, body.listBase);
    glPopMatrix();
}

void KitSceneTest::drawKit(DrumSet& kit, bool hits, bool relate)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadMatrixd(camera);
    glPushMatrix();
    kit.draw(false, hits, relate, body.listBase);
    glPopMatrix();
}

bool KitSceneTest::covered(float x, float y, float z)
{
    glLoadMatrixd(camera);
    const QPointF at = project(x, y, z);
    return depthAt(int(at.x()), int(at.y())) < 1;
}

QVector3D KitSceneTest::seenAt(float x, float y, float z)
{
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx = 0, wy = 0, wz = 0;
    gluProject(x, y, z, camera, projection, viewport, &wx, &wy, &wz);
    GLdouble sx = 0, sy = 0, sz = 0;
    gluUnProject(wx, wy, depthAt(int(wx), int(wy)), camera, projection, viewport, &sx, &sy, &sz);
    return QVector3D(float(sx), float(sy), float(sz));
}

bool KitSceneTest::surfaceAt(float x, float y, float z, float tolerance)
{
    return covered(x, y, z) && seenAt(x, y, z).distanceToPoint(QVector3D(x, y, z)) <= tolerance;
}

Extent KitSceneTest::viewExtent()
{
    std::vector<float> depth(size_t(width) * size_t(height));
    glReadPixels(0, 0, width, height, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    int left = width, right = -1, bottom = height, top = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (depth[size_t(y) * size_t(width) + size_t(x)] < 1) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
        }
    }
    if (right < 0)
        return {0, 0, 0, 0};
    const float metresPerPixel = span / float(width);
    auto roomX = [&](int x) { return centre[0] - span / 2 + (float(x) + 0.5f) * metresPerPixel; };
    auto roomY = [&](int y) { return centre[1] - span / 2 + (float(y) + 0.5f) * metresPerPixel; };
    return {roomX(left), roomX(right), roomY(bottom), roomY(top)};
}

int KitSceneTest::greenPixels(const QRect& window)
{
    std::vector<unsigned char> rgba(size_t(window.width()) * size_t(window.height()) * 4);
    glReadPixels(window.x(), window.y(), window.width(), window.height(), GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    int count = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const int r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
        if (g > 150 && g > r + 60 && g > b + 60)
            ++count;
    }
    return count;
}

QColor KitSceneTest::colourAt(float x, float y, float z)
{
    glLoadMatrixd(camera);
    const QPointF at = project(x, y, z);
    unsigned char rgba[4] = {};
    glReadPixels(int(at.x()), int(at.y()), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return QColor(rgba[0], rgba[1], rgba[2]);
}
