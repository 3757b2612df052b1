#pragma once

#include "kit/dynalevel.h"
#include "scene/glmatrix.h"

#include <QString>
#include <memory>
#include <vector>

// A strike point of a drum, in the drum's frame, with its velocity layers.
class Hitpoint
{
public:
    // Hit types, as offered by the hit-point panel.
    enum HitType
    {
        ByEnd = 0,
        ByEdge = 1,
        RightFoot = 2,
        LeftFoot = 3,
        HiHatClosed = 4,
        HiHatOpen = 5
    };

    Hitpoint();
    Hitpoint(const char* name, float x, float y, float z, int hitType, int veloToVol);
    Hitpoint(const QString& name, float x, float y, float z, int hitType, int veloToVol);
    // A copy owns new copies of exactly the source's levels.
    Hitpoint(const Hitpoint& other);
    Hitpoint& operator=(const Hitpoint&) = delete;

    void addDynaLevel(const char* file, int sndID, int maxVelo, int minVelo);
    void addDynaLevel(const QString& file, int sndID, int maxVelo, int minVelo);
    // Translates the matrix (the drum's frame) to this point and stores the result's translation
    // as the point's room position; the matrix keeps the translation.
    void updateWorldPosition(GlMatrix& matrix);
    // The green cross that marks the point while its drum is selected.
    void drawMarker();

    QString name;
    float x = 0, y = 0, z = 0;
    int veloToVol = 50;
    int hitType = ByEnd;
    bool selected = false;
    std::vector<std::unique_ptr<DynaLevel>> levels;
    float worldX = 0, worldY = 0, worldZ = 0;
};
