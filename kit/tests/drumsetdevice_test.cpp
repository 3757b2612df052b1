#include "kit/drumsetfile.h"
#include "kit/streamtext.h"
#include "testing/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A snare on a stand, its middle with a sound from elsewhere and a level without one.
DrumSet snareKit(const QString& soundFile)
{
    DrumSet kit;
    auto* stand = new Drum();
    stand->type = 17;
    stand->setupType();
    kit.addRootDrum(stand);
    auto* snare = new Drum();
    snare->type = 1;
    snare->id = 1;
    snare->setupType();
    snare->addDefaultHitpoints();
    snare->hitpoints[0]->levels[0]->file = soundFile;
    snare->hitpoints[0]->levels[0]->sndID = 0;
    snare->hitpoints[0]->addDynaLevel("", -1, 40, 1);
    kit.addDrum(snare);
    stand->addChild(snare);
    return kit;
}

} // namespace

TEST(DrumSetDevice, WritingToADeviceGivesTheFilesTextAndLeavesTheDiskAlone)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("snare.wav"), "sound");
    const DrumSet kit = snareKit(dir.filePath("snare.wav"));

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(DrumSetFile::write(kit, buffer));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"snare.wav"})
        << "no sound folder, no copy";

    ASSERT_TRUE(DrumSetFile::write(kit, dir.filePath("kit.set")));
    EXPECT_EQ(buffer.data(), readAll(dir.filePath("kit.set")));
    EXPECT_EQ(readAll(dir.filePath("kit Sounds/snare.wav")), QByteArray("sound"));

    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(DrumSetFile::write(kit, readOnly)) << "a device that takes nothing";
}

TEST(DrumSetDevice, ADeviceIsReadFromWhereItStandsWithTheSoundsBesideThePathGiven)
{
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    ASSERT_TRUE(DrumSetFile::write(snareKit("/elsewhere/snare.wav"), written));

    QBuffer buffer;
    buffer.setData("not the kit\n" + written.data());
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(12);
    DrumSet kit;
    int sounds = 4, drums = 0;
    QStringList announced;
    DrumSetReader reader(buffer, "/kits/rock.set", sounds, drums,
                         [&](const QString& file) { announced << file; });
    reader.read(kit);

    EXPECT_EQ(reader.soundDir(), "/kits/rock Sounds/");
    EXPECT_EQ(announced, QStringList{"/kits/rock Sounds/snare.wav"});
    EXPECT_EQ(sounds, 5);
    ASSERT_EQ(kit.allDrums.size(), 2u);
    const auto& levels = kit.allDrums[1]->hitpoints[0]->levels;
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0]->sndID, 4);
    EXPECT_EQ(levels[1]->sndID, -1);
    EXPECT_EQ(levels[1]->maxVelo, 40);
}

TEST(DrumSetDevice, TextIsTakenFromWhereTheDeviceStandsUpToTheLimit)
{
    QBuffer buffer;
    buffer.setData("skip\xEF\xBB\xBFKit\nrest");
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(4);
    EXPECT_EQ(StreamText::readDevice(buffer, 7), "Kit\n") << "the byte-order mark is dropped";
    EXPECT_EQ(StreamText::readDevice(buffer, 100), "rest");
    EXPECT_EQ(StreamText::readDevice(buffer, 100), "");
}
