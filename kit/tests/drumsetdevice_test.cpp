#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "kit/streamtext.h"
#include "testing/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A snare with a sound from elsewhere and a second level without one.
DrumSet snareKit(const QString& soundFile)
{
    DrumSet kit;
    auto* snare = new Drum();
    snare->type = BodyTypes::Snare;
    snare->setupType();
    snare->addDefaultHitpoints();
    snare->hitpoints[0]->levels[0]->file = soundFile;
    snare->hitpoints[0]->levels[0]->sndID = 0;
    snare->hitpoints[0]->addDynaLevel("", -1, 40, 1);
    kit.addRootDrum(snare);
    return kit;
}

} // namespace

TEST(DrumSetDevice, ADeviceTakesTheFilesTextAndTheDiskIsLeftAlone)
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
    EXPECT_FALSE(DrumSetFile::write(kit, readOnly));
}

TEST(DrumSetDevice, ADeviceIsReadFromWhereItStandsWithTheSoundsBesideThePathGiven)
{
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    ASSERT_TRUE(DrumSetFile::write(snareKit("/elsewhere/snare.wav"), written));
    QBuffer buffer;
    buffer.setData("skip" + written.data());
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(4);
    DrumSet kit;
    int sounds = 4, drums = 0;
    QStringList announced;
    DrumSetReader(buffer, "/kits/rock.set", sounds, drums, [&](const QString& file) {
        announced << file;
    }).read(kit);
    EXPECT_EQ(announced, QStringList{"/kits/rock Sounds/snare.wav"});
    ASSERT_EQ(kit.allDrums.size(), 1u);
    const auto& levels = kit.allDrums[0]->hitpoints[0]->levels;
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels[0]->sndID, 4);
    EXPECT_EQ(levels[1]->maxVelo, 40);

    // At most the limit is taken, from where the device stands, without a byte-order mark.
    QBuffer text;
    text.setData("skip\xEF\xBB\xBFKit\nrest");
    text.open(QIODevice::ReadOnly);
    text.seek(4);
    EXPECT_EQ(StreamText::readDevice(text, 7), "Kit\n");
    EXPECT_EQ(StreamText::readDevice(text, 100), "rest");
}
