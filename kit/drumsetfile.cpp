#include "kit/drumsetfile.h"
#include "kit/streamtext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {

// Far beyond any real kit (a big one takes a few tens of kilobytes).
constexpr qint64 maxFileSize = 4 * 1024 * 1024;
// Stands carry holders that carry cymbals: real kits nest five deep.
constexpr int maxDepth = 32;
// Drums, hit points and levels together: a big kit has a few hundred.
constexpr int maxRecords = 65536;

QString readFileText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return StreamText::readDevice(file, maxFileSize);
}

} // namespace

QString DrumSetFile::soundFolder(const QString& setPath)
{
    const qsizetype dot = setPath.lastIndexOf('.');
    return (dot < 0 ? setPath : setPath.left(dot)) + " Sounds";
}

QString DrumSetFile::withExtension(const QString& path)
{
    return path.endsWith(".set") ? path : path + ".set";
}

bool DrumSetFile::opensAsKit(const QString& text)
{
    StreamText opening(text);
    for (int line = 0; line < 3; ++line)
        opening.readLine();
    for (int value = 0; value < 9; ++value)
        if (!opening.takeFloat())
            return false;
    return opening.takeInt().has_value();
}

bool DrumSetFile::write(const DrumSet& kit, const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString folder = soundFolder(path);
    const bool madeFolder = !QFileInfo::exists(folder) && QDir().mkdir(folder);
    std::vector<SoundCopy> sounds;
    for (const auto& drum : kit.rootDrums)
        drum->listSounds(sounds);

    // The sounds take their place only once the records are written, and the kit file only once
    // the sounds are in place: a save that fails leaves the old kit and its sounds together.
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly) && write(kit, file) &&
                       copySounds(sounds, folder) && file.commit();
    if (!saved && madeFolder)
        QDir().rmdir(folder);
    return saved;
}

bool DrumSetFile::write(const DrumSet& kit, QIODevice& device)
{
    QTextStream stream(&device);
    stream << kit.name << "\n" << kit.info << "\n" << kit.version << "\n";
    for (int i = 0; i < 3; ++i)
        stream << kit.translation[i] << "\n" << kit.rotation[i] << "\n" << kit.scale[i] << "\n";
    stream << uint(kit.rootDrums.size()) << "\n";
    for (const auto& drum : kit.rootDrums)
        drum->save(stream);
    stream.flush();
    return stream.status() == QTextStream::Ok;
}

DrumSetReader::DrumSetReader(const QString& path, int& soundCounter, int& drumCounter,
                             SoundAnnouncer addSound)
    : DrumSetReader(readFileText(path), path, soundCounter, drumCounter, std::move(addSound))
{
}

DrumSetReader::DrumSetReader(QIODevice& device, const QString& path, int& soundCounter,
                             int& drumCounter, SoundAnnouncer addSound)
    : DrumSetReader(StreamText::readDevice(device, maxFileSize), path, soundCounter, drumCounter,
                    std::move(addSound))
{
}

DrumSetReader::DrumSetReader(QString content, const QString& path, int& soundCounter,
                             int& drumCounter, SoundAnnouncer addSound)
    : kitHeader(DrumSetFile::opensAsKit(content)),
      text(std::make_unique<StreamText>(std::move(content))),
      soundFolderSlash(DrumSetFile::soundFolder(path) + "/"), soundCounter(soundCounter),
      drumCounter(drumCounter), addSound(std::move(addSound))
{
}

DrumSetReader::~DrumSetReader() = default;

void DrumSetReader::read(DrumSet& kit)
{
    kit.name = text->readLine();
    kit.info = text->readLine();
    kit.version = text->readLine();
    // A scale the file does not hold stays 1: a kit drawn at scale 0 would vanish for good.
    for (int i = 0; i < 3; ++i) {
        kit.translation[i] = text->readFloat();
        kit.rotation[i] = text->readFloat();
        kit.scale[i] = text->readFloat(1);
    }
    drumCounter = 0;
    const int count = text->readCount();
    for (int i = 0; i < count && startRecord(); ++i) {
        auto* drum = new Drum();
        kit.addRootDrum(drum);
        readDrum(kit, *drum, 1);
    }
}

// A record starts only where data is left, and only as long as the kit stays of a size that a
// drummer could play: more records end the data.
bool DrumSetReader::startRecord()
{
    if (!text->hasData())
        return false;
    if (++records > maxRecords) {
        text->end();
        return false;
    }
    return true;
}

void DrumSetReader::readDrum(DrumSet& kit, Drum& drum, int depth)
{
    drum.type = text->readInt();
    text->readInt();
    drum.id = drumCounter++;
    const int priority = text->readInt();
    drum.setupType();
    drum.priority = priority;
    drum.name = text->readLine();
    for (int i = 0; i < 3; ++i) {
        drum.translation[i] = text->readFloat();
        drum.rotation[i] = text->readFloat();
        drum.scale[i] = text->readFloat(1);
    }

    const int hitpointCount = text->readCount();
    for (int i = 0; i < hitpointCount && startRecord(); ++i)
        readHitpoint(drum);

    const int childCount = text->readCount();
    if (childCount > 0 && depth >= maxDepth) {
        text->end();
        return;
    }
    for (int i = 0; i < childCount && startRecord(); ++i) {
        auto* child = new Drum();
        kit.addDrum(child);
        drum.addChild(child);
        readDrum(kit, *child, depth + 1);
    }
}

void DrumSetReader::readHitpoint(Drum& drum)
{
    auto hitpoint = std::make_shared<Hitpoint>();
    drum.hitpoints.push_back(hitpoint);
    hitpoint->hitType = text->readInt();
    hitpoint->name = text->readLine();
    hitpoint->veloToVol = text->readInt();
    hitpoint->x = text->readFloat();
    hitpoint->y = text->readFloat();
    hitpoint->z = text->readFloat();

    // The hit point already holds its first level; the file fills it.
    const int count = text->readCount();
    for (int i = 0; i < count && startRecord(); ++i) {
        if (i > 0)
            hitpoint->levels.push_back(std::make_unique<DynaLevel>());
        readLevel(*hitpoint->levels.back());
    }
}

void DrumSetReader::readLevel(DynaLevel& level)
{
    level.maxVelo = text->readInt();
    level.minVelo = text->readInt();
    // Only a level with a sound has a file name after its identifier; the identifier itself is
    // the old engine's and is replaced by the one the sound gets now.
    if (text->readInt() < 0) {
        level.sndID = -1;
        return;
    }
    QString baseName = text->readLine();
    baseName.remove(0, baseName.lastIndexOf('/') + 1);
    level.file = soundFolderSlash + baseName;
    addSound(level.file);
    level.sndID = soundCounter++;
}
