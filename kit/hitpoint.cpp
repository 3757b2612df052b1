#include "kit/hitpoint.h"

Hitpoint::Hitpoint()
{
    addDynaLevel(" ", -1, 127, 1);
}

Hitpoint::Hitpoint(const char* name, float x, float y, float z, int hitType, int veloToVol)
    : Hitpoint(QString::fromLocal8Bit(name), x, y, z, hitType, veloToVol)
{
}

Hitpoint::Hitpoint(const QString& name, float x, float y, float z, int hitType, int veloToVol)
    : name(name), x(x), y(y), z(z), veloToVol(veloToVol), hitType(hitType)
{
    addDynaLevel(" ", -1, 127, 1);
}

Hitpoint::Hitpoint(const Hitpoint& other)
    : name(other.name), x(other.x), y(other.y), z(other.z), veloToVol(other.veloToVol),
      hitType(other.hitType), selected(other.selected), worldX(other.worldX), worldY(other.worldY),
      worldZ(other.worldZ)
{
    for (const auto& level : other.levels)
        levels.push_back(std::make_unique<DynaLevel>(*level));
}

void Hitpoint::addDynaLevel(const char* file, int sndID, int maxVelo, int minVelo)
{
    addDynaLevel(QString::fromLocal8Bit(file), sndID, maxVelo, minVelo);
}

void Hitpoint::addDynaLevel(const QString& file, int sndID, int maxVelo, int minVelo)
{
    levels.push_back(std::make_unique<DynaLevel>(file, sndID, maxVelo, minVelo));
}

void Hitpoint::updateWorldPosition(GlMatrix& matrix)
{
    matrix.translate(x, y, z);
    worldX = matrix.translationX();
    worldY = matrix.translationY();
    worldZ = matrix.translationZ();
}
