#include "kit/drum.h"

#include "kit/bodytypes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <optional>

Drum::Drum() : Node("", 0, 0) {}

Drum::Drum(const Drum& other)
    : Node(other.name, other.type, other.id), trX(other.trX), trY(other.trY), trZ(other.trZ),
      roX(other.roX), roY(other.roY), roZ(other.roZ), hitpoints(other.hitpoints),
      canHaveChildren(other.canHaveChildren), maxChildren(other.maxChildren),
      priority(other.priority)
{
    for (int i = 0; i < 3; ++i) {
        translation[i] = other.translation[i];
        rotation[i] = other.rotation[i];
        scale[i] = other.scale[i];
    }
}

Drum::~Drum()
{
    hitpoints.clear();
}

void Drum::setupType()
{
    swing = 0;
    opening = 0;
    frames = 0;
    strength = 0;
    if (type < 0 || type >= BodyTypes::count)
        return;
    const BodyTypes::Setup& s = BodyTypes::setup(type);
    trX = s.trX;
    trY = s.trY;
    trZ = s.trZ;
    roX = s.roX;
    roY = s.roY;
    roZ = s.roZ;
    canHaveChildren = s.canHaveChildren;
    priority = s.priority;
    if (s.maxChildren)
        maxChildren = *s.maxChildren;
    if (s.animKind)
        animKind = *s.animKind;
}

void Drum::addDefaultHitpoints()
{
    int count = 0;
    const BodyTypes::PresetHitpoint* presets = BodyTypes::presets(&count);
    for (int i = 0; i < count; ++i) {
        const BodyTypes::PresetHitpoint& p = presets[i];
        if (p.type == type)
            addHitpoint(p.name, p.x, p.y, p.z, p.hitType, 100);
    }
}

void Drum::addHitpoint(const char* hitName, float x, float y, float z, int hitType, int veloToVol)
{
    hitpoints.push_back(std::make_shared<Hitpoint>(hitName, x, y, z, hitType, veloToVol));
}

GlMatrix Drum::frame(const GlMatrix& parentFrame) const
{
    GlMatrix own = parentFrame;
    own.translate(translation[0], translation[1], translation[2]);
    own.rotateY(rotation[1]);
    own.rotateX(rotation[0]);
    own.rotateZ(rotation[2]);
    return own;
}

void Drum::updateHitpointPositions(const GlMatrix& parentFrame)
{
    const GlMatrix own = frame(parentFrame);
    GlMatrix moved = own;
    applyMovingPart(moved);
    for (const auto& hitpoint : hitpoints) {
        GlMatrix atPoint = moved;
        hitpoint->updateWorldPosition(atPoint);
    }

    for (Node* child : children)
        static_cast<Drum*>(child)->updateHitpointPositions(own);
}

// The part of the piece that moves when it is struck carries the hit points with it.
void Drum::applyMovingPart(GlMatrix& frame) const
{
    switch (type) {
    case BodyTypes::Kick:
        frame.translate(0, 0, 0.5f);
        frame.scale(0.75f, 0.75f, 0.75f);
        frame.translate(0, 0, 0.3f);
        frame.rotateX(float(-opening * 1.5));
        frame.translate(0, 0, -0.3f);
        frame.scale(1.3333334f, 1.3333334f, 1.3333334f);
        frame.translate(0, 0, -0.5f);
        break;
    case BodyTypes::Crash16:
    case BodyTypes::Crash17:
    case BodyTypes::Crash18:
    case BodyTypes::Crash19:
    case BodyTypes::Ride20:
    case BodyTypes::Ride21:
    case BodyTypes::Splash8:
    case BodyTypes::Splash10:
        frame.rotateX(swing);
        frame.rotateZ(opening);
        break;
    case BodyTypes::HiHat:
        frame.rotateZ(swing);
        frame.rotateX(-swing);
        frame.translate(0, float(0.05 - opening / 100), 0);
        break;
    case BodyTypes::HiHatStand:
        frame.translate(0, 0, 0.3f);
        frame.rotateX(float(-opening * 4.5));
        frame.translate(0, 0, -0.3f);
        break;
    default:
        break;
    }
}

namespace {

QString baseName(const DynaLevel& level)
{
    return level.file.mid(level.file.lastIndexOf('/') + 1);
}

} // namespace

void Drum::save(QTextStream& stream) const
{
    stream << type << "\n" << id << "\n" << priority << name << "\n";
    for (int i = 0; i < 3; ++i)
        stream << translation[i] << "\n" << rotation[i] << "\n" << scale[i] << "\n";
    stream << uint(hitpoints.size()) << "\n";
    for (const auto& hitpoint : hitpoints) {
        stream << hitpoint->hitType << hitpoint->name << "\n"
               << hitpoint->veloToVol << "\n"
               << hitpoint->x << "\n"
               << hitpoint->y << "\n"
               << hitpoint->z << "\n"
               << uint(hitpoint->levels.size()) << "\n";
        for (const auto& level : hitpoint->levels) {
            stream << level->maxVelo << "\n" << level->minVelo << "\n" << level->sndID;
            if (level->sndID >= 0)
                stream << baseName(*level);
            stream << "\n";
        }
    }
    stream << uint(children.size()) << "\n";
    for (const Node* child : children)
        static_cast<const Drum*>(child)->save(stream);
}

void Drum::listSounds(std::vector<SoundCopy>& sounds) const
{
    for (const auto& hitpoint : hitpoints)
        for (const auto& level : hitpoint->levels)
            if (level->sndID >= 0)
                sounds.push_back({level->file, baseName(*level)});
    for (const Node* child : children)
        static_cast<const Drum*>(child)->listSounds(sounds);
}

namespace {

bool isSameFile(const QFileInfo& a, const QFileInfo& b)
{
    return a.canonicalFilePath() == b.canonicalFilePath();
}

bool haveSameBytes(const QString& a, const QString& b)
{
    QFile aFile(a), bFile(b);
    if (!aFile.open(QIODevice::ReadOnly) || !bFile.open(QIODevice::ReadOnly))
        return false;
    while (!aFile.atEnd())
        if (aFile.read(64 * 1024) != bFile.read(64 * 1024))
            return false;
    return bFile.atEnd();
}

// Saving a kit again leaves the copies it already made alone.
bool alreadyHolds(const QString& target, const QString& source)
{
    const QFileInfo targetInfo(target), sourceInfo(source);
    if (!targetInfo.exists() || !sourceInfo.exists())
        return false;
    return isSameFile(targetInfo, sourceInfo) ||
           (targetInfo.size() == sourceInfo.size() && haveSameBytes(target, source));
}

bool copyFile(QFile& in, const QString& target)
{
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    std::vector<char> block(64 * 1024);
    qint64 got = 0;
    while ((got = in.read(block.data(), qint64(block.size()))) > 0)
        if (out.write(block.data(), got) != got)
            return false;
    return got == 0 && out.flush();
}

} // namespace

bool copySounds(const std::vector<SoundCopy>& sounds, const QString& folder)
{
    const QDir target(folder);
    std::optional<QTemporaryDir> staging;
    QStringList staged;
    for (const SoundCopy& sound : sounds) {
        if (alreadyHolds(target.filePath(sound.name), sound.source))
            continue;
        QFile in(sound.source);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        if (!staging)
            staging.emplace(target.filePath(".saving-XXXXXX"));
        if (!staging->isValid() || !copyFile(in, staging->filePath(sound.name)))
            return false;
        if (!staged.contains(sound.name))
            staged << sound.name;
    }
    for (const QString& name : staged) {
        const QByteArray from = QFile::encodeName(staging->filePath(name));
        const QByteArray to = QFile::encodeName(target.filePath(name));
        // rename replaces the old copy in one step; QFile::rename would not replace it.
        if (std::rename(from.constData(), to.constData()) != 0)
            return false;
    }
    return true;
}
