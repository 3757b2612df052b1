#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "testing/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace {

QByteArray lines(const QStringList& values)
{
    return (values.join('\n') + '\n').toUtf8();
}

// The nine transform lines of a piece in place: tx, rx, sx, ty, ry, sy, tz, rz, sz.
const QStringList inPlace{"0", "0", "1", "0", "0", "1", "0", "0", "1"};

QStringList header(const QString& roots, const QString& name = "Kit", const QString& info = "info")
{
    return QStringList{name, info, "1.0"} + inPlace + QStringList{roots};
}

// A drum record up to its hit-point count.
QStringList drumStart(const QString& type, const QString& id, const QString& priorityAndName,
                      const QString& hitpoints)
{
    return QStringList{type, id, priorityAndName} + inPlace + QStringList{hitpoints};
}

// A hit point in the drum's origin with one level.
QStringList hitpoint(const QString& typeAndName, const QString& sound)
{
    return {typeAndName, "100", "0", "0", "0", "1", "127", "1", sound};
}

struct Loaded
{
    DrumSet kit;
    QStringList announced;
    int soundCounter = 0;
    int drumCounter = -7;
};

std::unique_ptr<Loaded> load(const QString& path)
{
    auto loaded = std::make_unique<Loaded>();
    DrumSetReader reader(path, loaded->soundCounter, loaded->drumCounter,
                         [&](const QString& file) { loaded->announced << file; });
    reader.read(loaded->kit);
    return loaded;
}

// A kit drum as the drum-set panel makes one.
Drum* newDrum(int type)
{
    auto* drum = new Drum();
    drum->type = type;
    drum->name = BodyTypes::name(type);
    drum->setupType();
    drum->addDefaultHitpoints();
    return drum;
}

Drum* addRoot(DrumSet& kit, int type)
{
    Drum* drum = newDrum(type);
    drum->id = int(kit.allDrums.size());
    kit.addRootDrum(drum);
    return drum;
}

Drum* addChild(DrumSet& kit, Drum* parent, int type)
{
    Drum* drum = newDrum(type);
    drum->id = int(kit.allDrums.size());
    kit.addDrum(drum);
    parent->addChild(drum);
    return drum;
}

void describeDrum(const Drum& drum, QStringList& out)
{
    out << QString("drum %1 type %2 '%3' prio %4 perms %5%6%7%8%9%10 children %11/%12")
               .arg(drum.id)
               .arg(drum.type)
               .arg(drum.name)
               .arg(drum.priority)
               .arg(drum.trX)
               .arg(drum.trY)
               .arg(drum.trZ)
               .arg(drum.roX)
               .arg(drum.roY)
               .arg(drum.roZ)
               .arg(drum.canHaveChildren)
               .arg(drum.maxChildren);
    for (int i = 0; i < 3; ++i)
        out << QString("  t %1 r %2 s %3")
                   .arg(drum.translation[i])
                   .arg(drum.rotation[i])
                   .arg(drum.scale[i]);
    for (const auto& h : drum.hitpoints) {
        out << QString("  hit '%1' type %2 vol %3 at %4 %5 %6")
                   .arg(h->name)
                   .arg(h->hitType)
                   .arg(h->veloToVol)
                   .arg(h->x)
                   .arg(h->y)
                   .arg(h->z);
        for (const auto& l : h->levels)
            out << QString("    level '%1' id %2 %3..%4")
                       .arg(l->file)
                       .arg(l->sndID)
                       .arg(l->minVelo)
                       .arg(l->maxVelo);
    }
    for (const Node* child : drum.children)
        describeDrum(static_cast<const Drum&>(*child), out);
}

// Everything a kit holds, with the drums in tree order.
QStringList describe(const DrumSet& kit)
{
    QStringList out{kit.name, kit.info, kit.version};
    for (int i = 0; i < 3; ++i)
        out << QString("t %1 r %2 s %3")
                   .arg(kit.translation[i])
                   .arg(kit.rotation[i])
                   .arg(kit.scale[i]);
    for (const auto& drum : kit.rootDrums)
        describeDrum(*drum, out);
    return out;
}

void setSound(Hitpoint& hitpoint, int level, const QString& file, int sndID)
{
    hitpoint.levels[level]->file = file;
    hitpoint.levels[level]->sndID = sndID;
}

// A kit like a user's: stands carrying holders carrying cymbals, a double tom holder, priorities
// changed from the type's (they must survive), odd placements, several velocity layers with and
// without sounds.
class KitFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(dir.path()).mkpath("samples");
        for (const char* name : {"kick.wav", "snare.wav", "snare_soft.wav", "tom.wav", "crash.wav"})
            writeFile(sample(name), QByteArray(name).repeated(700));

        kit.name = "Rock kit";
        kit.info = " info with a leading blank";
        kit.version = "2.0b";
        kit.translation[0] = 0.155f;
        kit.rotation[1] = -30;
        kit.scale[2] = 2;

        Drum* kick = addRoot(kit, BodyTypes::Kick);
        setSound(*kick->hitpoints[0], 0, sample("kick.wav"), 3);
        Drum* holder = addChild(kit, kick, BodyTypes::TomRampDouble);
        Drum* tom1 = addChild(kit, holder, BodyTypes::Tom8);
        tom1->translation[0] = -0.15f;
        tom1->rotation[0] = 12.5f;
        setSound(*tom1->hitpoints[0], 0, sample("tom.wav"), 0);
        Drum* tom2 = addChild(kit, holder, BodyTypes::Tom12);
        tom2->translation[0] = 0.15f;
        tom2->priority = 3;

        Drum* stand = addRoot(kit, BodyTypes::SnareRamp);
        Drum* snare = addChild(kit, stand, BodyTypes::Snare);
        snare->priority = -3;
        snare->translation[1] = 0.55f;
        Hitpoint& middle = *snare->hitpoints[0];
        setSound(middle, 0, sample("snare.wav"), 1);
        middle.levels[0]->minVelo = 64;
        middle.addDynaLevel(sample("snare_soft.wav"), 2, 63, 20);
        middle.addDynaLevel("", -1, 19, 1);
        snare->hitpoints[1]->veloToVol = 37;
        snare->hitpoints[1]->name = " rim";

        Drum* bottom = addRoot(kit, BodyTypes::CrashRampBottom);
        bottom->translation[2] = 1e-5f;
        Drum* middleStand = addChild(kit, bottom, BodyTypes::CrashRampMiddle);
        Drum* top = addChild(kit, middleStand, BodyTypes::CrashRampTop);
        Drum* crash = addChild(kit, top, BodyTypes::Crash17);
        setSound(*crash->hitpoints[1], 0, sample("crash.wav"), 4);
    }

    QString sample(const QString& name) const { return dir.filePath("samples/" + name); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    DrumSet kit;
};

} // namespace

TEST(DrumSetFileNames, SoundFolderAndExtension)
{
    EXPECT_EQ(DrumSetFile::soundFolder("C:/kits/rock.set"), "C:/kits/rock Sounds");
    EXPECT_EQ(DrumSetFile::soundFolder("kit.SET.set"), "kit.SET Sounds");
    EXPECT_EQ(DrumSetFile::soundFolder("a.b/kit"), "a Sounds") << "the last dot of the whole path";
    EXPECT_EQ(DrumSetFile::soundFolder("kits/kit"), "kits/kit Sounds");
    EXPECT_EQ(DrumSetFile::withExtension("kit"), "kit.set");
    EXPECT_EQ(DrumSetFile::withExtension("kit.set"), "kit.set");
    EXPECT_EQ(DrumSetFile::withExtension("kit.SET"), "kit.SET.set");
}

TEST(DrumSetFile, ANewKitWithOneKickIsExactlyTheKnownThirtySixLines)
{
    QTemporaryDir dir;
    DrumSet kit;
    addRoot(kit, BodyTypes::Kick);
    const QString file = dir.filePath("new.set");
    ASSERT_TRUE(DrumSetFile::write(kit, file));

    const QByteArray expected = lines(
        header("1", "Default", "Default drumset") + drumStart("0", "0", "0Kick drum 22", "1") +
        QStringList{"2Kick right foot", "100", "0", "0.04", "0.64", "1", "127", "1", "-1", "0"});
    EXPECT_EQ(expected.count('\n'), 36);
    EXPECT_EQ(readAll(file), expected);
    EXPECT_TRUE(QFileInfo(dir.filePath("new Sounds")).isDir());

    auto loaded = load(file);
    EXPECT_EQ(describe(loaded->kit), describe(kit));
    EXPECT_TRUE(loaded->announced.isEmpty());
}

TEST(DrumSetFile, AnEmptyKitIsTheHeaderAndARootCountOfZero)
{
    QTemporaryDir dir;
    DrumSet kit;
    kit.name = "";
    const QString file = dir.filePath("empty.set");
    ASSERT_TRUE(DrumSetFile::write(kit, file));
    EXPECT_EQ(readAll(file), lines(header("0", "", "Default drumset")));
    auto loaded = load(file);
    EXPECT_EQ(describe(loaded->kit), describe(kit));
    EXPECT_TRUE(loaded->kit.allDrums.empty());
    EXPECT_EQ(loaded->drumCounter, 0);
}

TEST_F(KitFiles, WriteReadWriteGivesTheSameTextAndTheSameKit)
{
    const QString first = path("first.set"), second = path("second.set");
    ASSERT_TRUE(DrumSetFile::write(kit, first));
    ASSERT_TRUE(DrumSetFile::write(kit, path("copy.set")));
    EXPECT_EQ(readAll(path("copy.set")), readAll(first));
    EXPECT_EQ(readAll(first).split('\n').at(12), "3") << "the root drums, not all ten";
    EXPECT_EQ(QDir(path("copy Sounds")).entryList(QDir::Files).size(), 5);
    auto loaded = load(first);

    // The loaded kit is the saved one, its sounds now read from the folder beside the file and
    // numbered 0, 1, 2... in file order.
    const QString folder = path("first Sounds/");
    const QStringList expectedSounds{folder + "kick.wav", folder + "tom.wav", folder + "snare.wav",
                                     folder + "snare_soft.wav", folder + "crash.wav"};
    EXPECT_EQ(loaded->announced, expectedSounds);
    EXPECT_EQ(loaded->soundCounter, 5);
    EXPECT_EQ(loaded->drumCounter, 10);
    for (Drum* drum : kit.allDrums)
        for (const auto& hitpoint : drum->hitpoints)
            for (const auto& level : hitpoint->levels)
                if (level->sndID >= 0) {
                    level->file = folder + QFileInfo(level->file).fileName();
                    level->sndID = int(expectedSounds.indexOf(level->file));
                }
    EXPECT_EQ(describe(loaded->kit), describe(kit));
    for (const QString& sound : expectedSounds)
        EXPECT_EQ(readAll(sound), readAll(sample(QFileInfo(sound).fileName())));

    // Saving what was loaded, elsewhere, gives the same text but for the new sound identifiers,
    // a second complete folder, and then a fixed point.
    ASSERT_TRUE(DrumSetFile::write(loaded->kit, second));
    const QList<QByteArray> before = readAll(first).split('\n'),
                            after = readAll(second).split('\n');
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        if (before[i] != after[i]) {
            EXPECT_TRUE(after[i].endsWith(".wav")) << after[i].toStdString();
        }
    EXPECT_EQ(QDir(path("second Sounds")).entryList(QDir::Files),
              QDir(path("first Sounds")).entryList(QDir::Files));
    EXPECT_EQ(readAll(path("second Sounds/snare.wav")), readAll(sample("snare.wav")));
    ASSERT_TRUE(DrumSetFile::write(load(second)->kit, first));
    EXPECT_EQ(QString(readAll(first)), QString(readAll(second)));
}

TEST_F(KitFiles, SavingOntoTheFileItWasLoadedFromKeepsEverySound)
{
    const QString file = path("kit.set");
    ASSERT_TRUE(DrumSetFile::write(kit, file));
    ASSERT_TRUE(DrumSetFile::write(load(file)->kit, file));
    const QByteArray text = readAll(file);
    ASSERT_TRUE(DrumSetFile::write(load(file)->kit, file));
    EXPECT_EQ(QString(readAll(file)), QString(text));
    const QStringList sounds = QDir(path("kit Sounds")).entryList(QDir::Files);
    EXPECT_EQ(sounds.size(), 5);
    for (const QString& name : sounds)
        EXPECT_EQ(readAll(path("kit Sounds/" + name)), readAll(sample(name))) << name.toStdString();
}

TEST_F(KitFiles, ASaveThatCannotFinishLeavesTheOldFile)
{
    const QString file = path("kit.set");
    DrumSet small;
    ASSERT_TRUE(DrumSetFile::write(small, file));
    const QByteArray old = readAll(file);

    const bool written = underFileSizeLimit(200, [&] { return DrumSetFile::write(kit, file); });

    EXPECT_FALSE(written);
    EXPECT_EQ(readAll(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kit.set"});

    EXPECT_FALSE(underFileSizeLimit(200, [&] { return DrumSetFile::write(kit, path("new.set")); }));
    EXPECT_FALSE(QFileInfo::exists(path("new Sounds"))) << "the sound folder it made is gone";
    EXPECT_FALSE(DrumSetFile::write(kit, path("no such folder/kit.set")));
    EXPECT_FALSE(DrumSetFile::write(kit, ""));
    EXPECT_FALSE(QFileInfo::exists(" Sounds"));
}

TEST_F(KitFiles, ASaveThatCannotFinishLeavesTheOldSoundsBesideTheOldKit)
{
    const QString file = path("kit.set");
    ASSERT_TRUE(DrumSetFile::write(kit, file));
    const QByteArray oldKit = readAll(file);
    const QStringList names = QDir(path("kit Sounds")).entryList(QDir::Files);
    ASSERT_EQ(names.size(), 5);
    // New recordings under the old names; the largest copy cannot finish.
    for (const QString& name : names)
        writeFile(sample(name), name.toUpper().toUtf8().repeated(700));
    kit.name = "Changed";

    EXPECT_FALSE(underFileSizeLimit(8000, [&] { return DrumSetFile::write(kit, file); }));

    EXPECT_EQ(readAll(file), oldKit);
    EXPECT_EQ(
        QDir(path("kit Sounds")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        names)
        << "no copy and no staging folder left behind";
    for (const QString& name : names)
        EXPECT_EQ(readAll(path("kit Sounds/" + name)), name.toUtf8().repeated(700))
            << name.toStdString();

    ASSERT_TRUE(DrumSetFile::write(kit, file));
    for (const QString& name : names)
        EXPECT_EQ(readAll(path("kit Sounds/" + name)), readAll(sample(name))) << name.toStdString();
}

// A sound missing when the kit is saved keeps its record; one missing when it is loaded, too.
TEST_F(KitFiles, MissingSoundFilesStillTakeTheirIdentifiers)
{
    QFile::remove(sample("tom.wav"));
    ASSERT_TRUE(DrumSetFile::write(kit, path("kit.set")));
    EXPECT_EQ(QDir(path("kit Sounds")).entryList(QDir::Files).size(), 4);
    QFile::remove(path("kit Sounds/snare.wav"));
    auto loaded = load(path("kit.set"));
    EXPECT_EQ(loaded->announced.size(), 5);
    EXPECT_EQ(loaded->soundCounter, 5);
    const auto& snareLevels = loaded->kit.allDrums[5]->hitpoints[0]->levels;
    EXPECT_EQ(snareLevels[0]->file, path("kit Sounds/snare.wav"));
    EXPECT_EQ(snareLevels[0]->sndID, 2);
    EXPECT_EQ(snareLevels[1]->sndID, 3);
    EXPECT_EQ(snareLevels[2]->file, "") << "a further level without sound keeps its empty file";
    EXPECT_EQ(snareLevels[2]->sndID, -1);
    EXPECT_EQ(loaded->kit.allDrums[5]->hitpoints[1]->levels[0]->file, " ");
}

TEST(DrumSetFileReading, TextsThatBeginLikeANumberLoseThatPartToTheInteger)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("names.set");
    // A snare drum whose name starts with a blank, and hit points and sounds named like numbers.
    writeFile(file, lines(header("1") + drumStart("1", "0", "-1 Snare", "5") +
                          hitpoint("03", "412.wav") + hitpoint("0bass", "0bass.wav") +
                          hitpoint("1other", "0xface.wav") + hitpoint("0 blank", "-2") +
                          hitpoint("-0x2hex", "0010.wav") + QStringList{"0"}));
    auto loaded = load(file);
    ASSERT_EQ(loaded->kit.allDrums.size(), 1u);
    const Drum& snare = *loaded->kit.allDrums[0];
    EXPECT_EQ(snare.name, " Snare");
    EXPECT_EQ(snare.priority, -1);
    ASSERT_EQ(snare.hitpoints.size(), 5u);
    EXPECT_EQ(snare.hitpoints[0]->hitType, 3);
    EXPECT_EQ(snare.hitpoints[0]->name, "");
    EXPECT_EQ(snare.hitpoints[1]->hitType, 0);
    EXPECT_EQ(snare.hitpoints[1]->name, "ass");
    EXPECT_EQ(snare.hitpoints[2]->name, "other");
    EXPECT_EQ(snare.hitpoints[3]->name, " blank");
    EXPECT_EQ(snare.hitpoints[4]->hitType, -2);
    EXPECT_EQ(snare.hitpoints[4]->name, "hex");
    const QString folder = dir.filePath("names Sounds/");
    EXPECT_EQ(loaded->announced,
              (QStringList{folder + ".wav", folder + "ass.wav", folder + ".wav", folder + ".wav"}));
    EXPECT_EQ(snare.hitpoints[3]->levels[0]->sndID, -1) << "any negative identifier: no sound";
    EXPECT_EQ(snare.hitpoints[3]->levels[0]->file, " ");
}

TEST(DrumSetFileReading, IdsInTheFileAreIgnoredAndEmptyLevelListsKeepTheDefaultLevel)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ids.set");
    const QStringList text = header("2") + drumStart("7", "7", "0Tom", "1") +
                             QStringList{"0Tom middle", "80", "0", "0.1", "0.2", "0", "1"} +
                             drumStart("2", "3", "0", "0") + QStringList{"0"} +
                             drumStart("21", "9", "0", "0") + QStringList{"0"};
    writeFile(file, lines(text));
    auto loaded = load(file);
    const DrumSet& kit = loaded->kit;
    ASSERT_EQ(kit.allDrums.size(), 3u);
    EXPECT_EQ(kit.rootDrums.size(), 2u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(kit.allDrums[i]->id, i);
    EXPECT_EQ(kit.allDrums[1]->type, 2);
    EXPECT_EQ(kit.allDrums[0]->children[0], kit.allDrums[1]);
    const Hitpoint& hit = *kit.allDrums[0]->hitpoints[0];
    EXPECT_EQ(hit.veloToVol, 80);
    EXPECT_EQ(kit.allDrums[0]->type, 7);
    EXPECT_FLOAT_EQ(hit.y, 0.1f);
    ASSERT_EQ(hit.levels.size(), 1u);
    EXPECT_EQ(hit.levels[0]->file, " ");
    EXPECT_EQ(hit.levels[0]->sndID, -1);
    EXPECT_EQ(hit.levels[0]->maxVelo, 127);
    EXPECT_EQ(kit.allDrums[2]->type, 21);
}

TEST(DrumSetFileReading, WindowsLineEndsAndSoundNamesWithFoldersStayInTheSoundFolder)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("win.set");
    writeFile(file, "Kit\r\ninfo\r\n1.0\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n1\r\n"
                    "14\r\n0\r\n2Hi-Hat 14\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n0\r\n0\r\n1\r\n"
                    "1\r\n0Hi-hat top\r\n100\r\n0\r\n0.04\r\n0.11\r\n"
                    "1\r\n127\r\n1\r\n0../../secret/hihat.wav\r\n0\r\n");
    auto loaded = load(file);
    ASSERT_EQ(loaded->kit.allDrums.size(), 1u);
    EXPECT_EQ(loaded->kit.name, "Kit");
    EXPECT_EQ(loaded->kit.allDrums[0]->name, "Hi-Hat 14");
    EXPECT_EQ(loaded->kit.allDrums[0]->hitpoints[0]->name, "Hi-hat top");
    EXPECT_EQ(loaded->announced, QStringList{dir.filePath("win Sounds/hihat.wav")});
}

TEST_F(KitFiles, ATruncatedFileGivesWhatWasReadAndNoMore)
{
    ASSERT_TRUE(DrumSetFile::write(kit, path("kit.set")));
    const QByteArray whole = readAll(path("kit.set"));
    const QString cut = path("cut.set");

    for (int size = 0; size <= whole.size(); ++size) {
        writeFile(cut, whole.left(size));
        auto loaded = load(cut);
        const DrumSet& got = loaded->kit;
        ASSERT_LE(got.allDrums.size(), kit.allDrums.size());
        // Only the last drum may be cut short, even in its type number.
        for (size_t i = 0; i < got.allDrums.size(); ++i) {
            ASSERT_EQ(got.allDrums[i]->id, int(i));
            if (i + 1 < got.allDrums.size()) {
                ASSERT_EQ(got.allDrums[i]->type, kit.allDrums[i]->type) << "at " << size;
            }
        }
        ASSERT_LE(loaded->soundCounter, 5);
    }

    // Cut right after the first root drum's subtree: the second and third root drums are not
    // made up, though the count promised them.
    const qsizetype stand = whole.indexOf("\n17\n");
    writeFile(cut, whole.left(stand + 1));
    auto partial = load(cut);
    EXPECT_EQ(partial->kit.rootDrums.size(), 1u);
    EXPECT_EQ(partial->kit.allDrums.size(), 4u);

    // Cut inside the header: texts empty, numbers 0, but never a scale of 0.
    writeFile(cut, "Rock\ninfo\n");
    auto header = load(cut);
    EXPECT_EQ(header->kit.name, "Rock");
    EXPECT_EQ(header->kit.version, "");
    EXPECT_EQ(header->kit.scale[0], 1);
    EXPECT_EQ(header->kit.translation[2], 0);
}

// Every record takes at least a line, so a count may equal the lines left from its own on: such a
// file was cut inside the first record that the count announces, which keeps what it holds. One
// more than that cannot be real and ends the data.
TEST(DrumSetFileReading, ARecordCutShortKeepsWhatWasRead)
{
    struct Case
    {
        const char* roots;
        QStringList records;
        std::string kept;
    };
    const Case cases[] = {
        {"2", {"14"}, "14 '' []"},
        {"1", drumStart("1", "0", "0Snare", "2") + QStringList{"0Snare middle"},
         "1 'Snare' [Snare middle 0 {127..1}]"},
        {"1",
         drumStart("1", "0", "0Snare", "1") +
             QStringList{"0Snare middle", "80", "0", "0.1", "0", "3", "127", "64"},
         "1 'Snare' [Snare middle 80 {127..64}]"},
        {"1", drumStart("19", "0", "0Holder", "0") + QStringList{"2", "2"},
         "19 'Holder' [] 2 '' []"},
        {"1", drumStart("1", "0", "0Snare", "3") + QStringList{"0Snare middle"}, "1 'Snare' []"},
    };
    QTemporaryDir dir;
    const QString file = dir.filePath("cut.set");
    for (const Case& c : cases) {
        writeFile(file, lines(header(c.roots) + c.records));
        auto loaded = load(file);
        QStringList kept;
        for (const Drum* drum : loaded->kit.allDrums) {
            QStringList hits;
            for (const auto& h : drum->hitpoints) {
                QStringList levels;
                for (const auto& l : h->levels)
                    levels << QString("%1..%2").arg(l->maxVelo).arg(l->minVelo);
                hits << QString("%1 %2 {%3}").arg(h->name).arg(h->veloToVol).arg(levels.join(", "));
            }
            kept << QString("%1 '%2' [%3]").arg(drum->type).arg(drum->name, hits.join(", "));
        }
        EXPECT_EQ(kept.join(' ').toStdString(), c.kept) << c.records.join('|').toStdString();
    }
}

TEST(DrumSetFileReading, AFileThatCannotBeReadGivesAnEmptyKit)
{
    QTemporaryDir dir;
    for (const QString& file : {dir.filePath("missing.set"), dir.path()}) {
        auto loaded = load(file);
        EXPECT_EQ(loaded->kit.name, "");
        EXPECT_TRUE(loaded->kit.allDrums.empty());
        EXPECT_EQ(loaded->kit.scale[1], 1);
        EXPECT_EQ(loaded->drumCounter, 0);
        EXPECT_EQ(loaded->soundCounter, 0);
    }
}

TEST(DrumSetFileReading, ImpossibleCountsEndTheData)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("counts.set");

    // Counts are written unsigned: 4294967295 is what a count of -1 would look like.
    for (const QString count : {"4294967295", "-1", "2147483647", "99999999999999999999"}) {
        writeFile(file,
                  lines(header(count) + drumStart("1", "0", "0Snare", "0") + QStringList{"0"}));
        auto loaded = load(file);
        EXPECT_TRUE(loaded->kit.allDrums.empty()) << count.toStdString();
    }

    writeFile(file, lines(header("1") + drumStart("1", "0", "0Snare", "1000000") +
                          hitpoint("0hit", "-1") + QStringList{"0"}));
    auto hits = load(file);
    ASSERT_EQ(hits->kit.allDrums.size(), 1u);
    EXPECT_TRUE(hits->kit.allDrums[0]->hitpoints.empty());

    QStringList negativeLevels = header("1") + drumStart("1", "0", "0Snare", "1") +
                                 hitpoint("0hit", "-1") + QStringList{"0"};
    negativeLevels[negativeLevels.indexOf("0hit") + 5] = "-3";
    writeFile(file, lines(negativeLevels));
    auto levels = load(file);
    ASSERT_EQ(levels->kit.allDrums.size(), 1u);
    ASSERT_EQ(levels->kit.allDrums[0]->hitpoints.size(), 1u);
    EXPECT_EQ(levels->kit.allDrums[0]->hitpoints[0]->levels.size(), 1u);
}

TEST(DrumSetFileReading, NoFileMakesAKitLargerThanAnyDrummerPlays)
{
    // Every hit point here takes a single line, so the file is small for what it asks for.
    QTemporaryDir dir;
    const QString file = dir.filePath("many.set");
    QByteArray text = lines(header("1") + drumStart("1", "0", "0Snare", "200000"));
    text += QByteArray("a\n").repeated(200000);
    writeFile(file, text);
    auto loaded = load(file);
    ASSERT_EQ(loaded->kit.allDrums.size(), 1u);
    EXPECT_GT(loaded->kit.allDrums[0]->hitpoints.size(), 1000u);
    EXPECT_LT(loaded->kit.allDrums[0]->hitpoints.size(), 100000u);
}

TEST(DrumSetFileReading, DeepNestingEndsTheDataInsteadOfTheStack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("deep.set");
    QStringList text = header("1");
    const QStringList drum = drumStart("22", "0", "0Stand", "0") + QStringList{"1"};
    for (int i = 0; i < 100000; ++i)
        text << drum;
    writeFile(file, lines(text));
    auto loaded = load(file);
    EXPECT_GE(loaded->kit.allDrums.size(), 8u) << "real kits nest a few levels deep";
    EXPECT_LT(loaded->kit.allDrums.size(), 1000u);
}
