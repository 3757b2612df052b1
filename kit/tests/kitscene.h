#pragma once

#include "kit/drumbody.h"
#include "kit/drumset.h"
#include "testing/gltest.h"

#include <QColor>
#include <QRect>
#include <QVector3D>
#include <memory>

// A drum of a type, placed, through setupType, with its preset hit points.
std::unique_ptr<Drum> makeDrum(int type, float x = 0, float y = 0, float z = 0);

struct Extent
{
    float left, right, bottom, top;
};

// A GL test with the drum lists built and lit as the stage view lights them. The cameras are
// orthographic views of a square `span` metres across, or a perspective view.
class KitSceneTest : public GlTest
{
protected:
    void SetUp() override;

    // From +X toward -X, centred on (y, z); from above, centred on (x, z); from +Z, on (x, y).
    void lookFromSide(float y, float z, float span);
    void lookFromAbove(float x, float z, float span);
    void lookFromFront(float x, float y, float span);
    void lookFrom(float eyeX, float eyeY, float eyeZ, float atX, float atY, float atZ);

    // Clears, draws as the stage view does (in a pushed matrix) and leaves the camera on.
    void drawDrum(Drum& drum, bool hits = false, bool relate = false);
    void drawKit(DrumSet& kit, bool hits = false, bool relate = false);

    // Whether anything was drawn at the pixel of a room point.
    bool covered(float x, float y, float z);
    // The room point of the surface seen at the pixel of a room point (the far plane if none).
    QVector3D seenAt(float x, float y, float z);
    // Whether that surface lies within `tolerance` metres of the point.
    bool surfaceAt(float x, float y, float z, float tolerance = 0.01f);
    // The extent of everything drawn across the orthographic view: room x and y from the front,
    // room x and -z from above.
    Extent viewExtent();
    // The colour drawn at the pixel of a room point.
    QColor colourAt(float x, float y, float z);
    // Pixels that are plainly green (the hit-point crosses) within a window rectangle.
    int greenPixels(const QRect& window);

    struct Eye
    {
        float from[3], at[3], up[3];
    };
    // An orthographic camera; `across` and `up` are the view's centre in its own axes.
    void lookAlong(const Eye& eye, float across, float up, float newSpan);

    DrumBody body;
    float span = 2;
    float centre[2] = {0, 0};
    double camera[16] = {};
};
