#include "kit/bodytypes.h"
#include "kit/drumset.h"
#include "testing/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString saveToText(Drum& drum, const QString& soundDir)
{
    QString text;
    QTextStream stream(&text);
    drum.save(stream);
    std::vector<SoundCopy> sounds;
    drum.listSounds(sounds);
    copySounds(sounds, soundDir);
    stream.flush();
    return text;
}

QByteArray sampleBytes(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char((i * 7 + 3) % 256);
    return data;
}

} // namespace

TEST(DrumSave, RecordOfAKickWithItsPresetHitpoint)
{
    Drum kick;
    kick.type = BodyTypes::Kick;
    kick.setupType();
    kick.addDefaultHitpoints();
    kick.name = "Kick drum 22";
    EXPECT_EQ(saveToText(kick, "x/"), "0\n0\n0Kick drum 22\n"
                                      "0\n0\n1\n0\n0\n1\n0\n0\n1\n"
                                      "1\n2Kick right foot\n100\n0\n0.04\n0.64\n"
                                      "1\n127\n1\n-1\n"
                                      "0\n");
}

TEST(DrumSave, SubtreeInPreOrderWithNamesAndSignedPriorities)
{
    Drum root;
    root.type = BodyTypes::TomRampDouble;
    root.setupType();
    root.name = "Holder";
    root.id = 7;
    root.translation[0] = 0.125f;
    root.rotation[1] = -30;
    root.scale[2] = 2;
    auto* left = new Drum();
    left->type = BodyTypes::Tom10;
    left->setupType();
    left->name = "Tom 10";
    left->priority = -3;
    left->id = 8;
    auto* right = new Drum();
    right->type = BodyTypes::SnareRamp;
    right->setupType();
    right->name = "Ramp";
    right->id = 9;
    root.addChild(left);
    root.addChild(right);

    const QStringList lines = saveToText(root, "s/").split('\n');
    EXPECT_EQ(lines.mid(0, 12), (QStringList{"19", "7", "0Holder", "0.125", "0", "1", "0", "-30",
                                             "1", "0", "0", "2"}));
    EXPECT_EQ(lines[12], "0");
    EXPECT_EQ(lines[13], "2") << "child count";
    EXPECT_EQ(lines.mid(14, 3), (QStringList{"3", "8", "-3Tom 10"}));
    const int rampAt = lines.indexOf("0Ramp");
    EXPECT_EQ(lines[rampAt - 2], "17");
    EXPECT_GT(rampAt, lines.indexOf("-3Tom 10"));
}

TEST(DrumSave, CopiesSoundsUnderTheirBaseNameAndKeepsTheLevelsPath)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("samples/deep");
    QDir(dir.path()).mkpath("kit Sounds");
    const QString source = dir.filePath("samples/deep/snare.wav");
    const QByteArray bytes = sampleBytes(3000); // not a multiple of the copy block
    writeFile(source, bytes);

    Drum snare;
    snare.type = BodyTypes::Snare;
    snare.setupType();
    snare.addDefaultHitpoints();
    snare.hitpoints[0]->levels[0]->file = source;
    snare.hitpoints[0]->levels[0]->sndID = 0;
    snare.hitpoints[1]->addDynaLevel("", -1, 60, 1);

    const QString soundDir = dir.filePath("kit Sounds") + "/";
    const QString text = saveToText(snare, soundDir);
    EXPECT_TRUE(text.contains("\n0snare.wav\n"));
    EXPECT_FALSE(text.contains("deep"));
    EXPECT_TRUE(text.contains("\n127\n1\n-1\n60\n1\n-1\n0\n"))
        << "levels without sound: number only";
    EXPECT_EQ(readAll(soundDir + "snare.wav"), bytes);
    EXPECT_EQ(snare.hitpoints[0]->levels[0]->file, source);
    EXPECT_EQ(QDir(soundDir).entryList(QDir::Files), QStringList{"snare.wav"});

    // A second save copies from the same place again.
    writeFile(source, "changed");
    saveToText(snare, soundDir);
    EXPECT_EQ(readAll(soundDir + "snare.wav"), QByteArray("changed"));
}

TEST(DrumSave, SavingIntoTheFolderASoundLiesInKeepsItIntact)
{
    QTemporaryDir dir;
    const QString soundDir = dir.path() + "/";
    const QByteArray bytes = sampleBytes(5000);
    writeFile(soundDir + "kick.wav", bytes);

    Drum kick;
    kick.type = BodyTypes::Kick;
    kick.setupType();
    kick.addDefaultHitpoints();
    kick.hitpoints[0]->levels[0]->file = soundDir + "kick.wav";
    kick.hitpoints[0]->levels[0]->sndID = 2;
    saveToText(kick, soundDir);
    EXPECT_EQ(readAll(soundDir + "kick.wav"), bytes);

    // The same file named through another spelling of its folder.
    kick.hitpoints[0]->levels[0]->file = dir.path() + "/./kick.wav";
    saveToText(kick, soundDir);
    EXPECT_EQ(readAll(soundDir + "kick.wav"), bytes);
}

TEST(DrumSave, AMissingSoundWritesTheRecordAndLeavesAnOldCopyAlone)
{
    QTemporaryDir dir;
    const QString soundDir = dir.path() + "/";
    writeFile(soundDir + "gone.wav", "old copy");

    Drum tom;
    tom.type = BodyTypes::Tom8;
    tom.setupType();
    tom.addDefaultHitpoints();
    tom.hitpoints[0]->levels[0]->file = dir.filePath("elsewhere/gone.wav");
    tom.hitpoints[0]->levels[0]->sndID = 5;
    EXPECT_TRUE(saveToText(tom, soundDir).contains("\n5gone.wav\n"));
    EXPECT_EQ(readAll(soundDir + "gone.wav"), QByteArray("old copy"));
}
