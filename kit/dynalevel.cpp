#include "kit/dynalevel.h"

DynaLevel::DynaLevel(const char* file, int sndID, int maxVelo, int minVelo)
    : DynaLevel(QString::fromLocal8Bit(file), sndID, maxVelo, minVelo)
{
}

DynaLevel::DynaLevel(const QString& file, int sndID, int maxVelo, int minVelo)
    : file(file), sndID(sndID), minVelo(minVelo), maxVelo(maxVelo)
{
}
