#pragma once

#include "kit/drumset.h"

#include <QString>
#include <functional>
#include <memory>

class QIODevice;

// A kit file ("*.set") and the folder of sound copies beside it. Both editor panels load and save
// kits through these; they add only their dialogs and refreshes.
namespace DrumSetFile {

// The folder beside a set file: the path up to its last "." (the whole path when it has none),
// then " Sounds". "C:/kits/rock.set" gives "C:/kits/rock Sounds".
QString soundFolder(const QString& setPath);

// Appends ".set" unless the path already ends in exactly that.
QString withExtension(const QString& path);

// Writes the kit to path, creating its sound folder when nothing of that name exists and copying
// every sound into it. The file is replaced only by a complete one: returns false, leaving any
// old file as it was, when it cannot be written. An empty path writes nothing.
bool write(const DrumSet& kit, const QString& path);

// Writes the kit's records alone to an open device: no folder is made and no sound copied.
// Returns false when the device did not take them all.
bool write(const DrumSet& kit, QIODevice& device);

// Whether the text opens as a kit: after the three text lines of its name, info and version, the
// nine numbers of the kit's transform and the number of root drums. A kit cut short after these
// still opens as one.
bool opensAsKit(const QString& text);

} // namespace DrumSetFile

class StreamText;

// Reads one kit file into a new kit. Sounds are announced in file order and numbered from the
// caller's sound counter, which therefore follows the sound engine's identifiers; drums get the
// ids 0, 1, 2... in file order from the caller's drum counter. A file that cannot be opened, ends
// early or holds garbage reads as far as it goes: from where the data ends numbers read as 0 and
// texts as empty, no new record starts, and a negative or impossible count, nesting deeper than
// any stand or more records than any kit holds end the data.
class DrumSetReader
{
public:
    using SoundAnnouncer = std::function<void(const QString& file)>;

    DrumSetReader(const QString& path, int& soundCounter, int& drumCounter,
                  SoundAnnouncer addSound);
    // Reads the rest of an open device that holds the file at path: the sounds are still read
    // from the folder beside path.
    DrumSetReader(QIODevice& device, const QString& path, int& soundCounter, int& drumCounter,
                  SoundAnnouncer addSound);
    ~DrumSetReader();

    // Whether what the reader holds opens as a kit; a file that cannot be opened does not.
    bool opensAsKit() const { return kitHeader; }

    // The header and every root drum with its subtree into kit, which holds no drums yet.
    void read(DrumSet& kit);

    // The sound folder followed by "/": every sound of the kit is read from there.
    const QString& soundDir() const { return soundFolderSlash; }

private:
    DrumSetReader(QString content, const QString& path, int& soundCounter, int& drumCounter,
                  SoundAnnouncer addSound);
    bool startRecord();
    void readDrum(DrumSet& kit, Drum& drum, int depth);
    void readHitpoint(Drum& drum);
    void readLevel(DynaLevel& level);

    bool kitHeader;
    std::unique_ptr<StreamText> text;
    QString soundFolderSlash;
    int& soundCounter;
    int& drumCounter;
    SoundAnnouncer addSound;
    int records = 0;
};
