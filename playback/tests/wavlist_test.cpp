#include "playback/sample.h"
#include "playback/wavlist.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

template <typename T> QByteArray field(T value, bool bigEndian)
{
    QByteArray bytes(sizeof(T), '\0');
    if (bigEndian)
        qToBigEndian(value, bytes.data());
    else
        qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray sizeField(quint32 size, bool bigEndian)
{
    return field(size, bigEndian);
}

// A 16-bit mono WAV of four frames with a LIST chunk of the given entries before its data.
QByteArray wavWithList(const QByteArray& entries, bool bigEndian = false)
{
    const QByteArray format = "fmt " + sizeField(16, bigEndian) + field<quint16>(1, bigEndian) +
                              field<quint16>(1, bigEndian) + field<quint32>(44100, bigEndian) +
                              field<quint32>(88200, bigEndian) + field<quint16>(2, bigEndian) +
                              field<quint16>(16, bigEndian);
    const QByteArray body = "WAVE" + format + "LIST" + sizeField(entries.size(), bigEndian) +
                            entries + "data" + sizeField(8, bigEndian) +
                            QByteArray("\x10\x00\x20\x00\x30\x00\x40\x00", 8);
    return (bigEndian ? "RIFX" : "RIFF") + sizeField(body.size(), bigEndian) + body;
}

// An entry's name and size, little-endian.
QByteArray entry(const char* name, quint32 size)
{
    return name + sizeField(size, false);
}

bool refused(const QByteArray& file)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return hasNegativeListEntry(buffer);
}

} // namespace

// Entries that made libsndfile read the same entry for ever: an unknown name after INFO or adtl,
// or in place of the list type, sized -8; after an odd-sized entry, with or without its pad byte.
TEST(WavList, EntriesOfNegativeSizeAreRefusedBeforeTheDecoderSeesThem)
{
    const QByteArray back = entry("QQQQ", 0xfffffff8u) + "abcdabcd";
    for (const QByteArray& entries :
         {"INFO" + back, "adtl" + back, back, "INFO" + entry("ICMT", 3) + "abc" + back,
          "INFO" + entry("ICMT", 3) + "abc" + QByteArray(1, '\0') + back}) {
        const QByteArray file = wavWithList(entries);
        EXPECT_TRUE(refused(file)) << entries.toHex().toStdString();
        EXPECT_EQ(decodeSampleBytes(file, 44100), nullptr);
    }
    EXPECT_TRUE(refused(wavWithList("INFOQQQQ" + sizeField(0xfffffff8u, true), true)));

    QTemporaryDir dir;
    const QString path = dir.filePath("looping.wav");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(wavWithList("INFO" + back));
    out.close();
    EXPECT_EQ(decodeSampleFile(path, 44100), nullptr);
}

TEST(WavList, SoundFilesWithSaneListsStillPlay)
{
    for (bool bigEndian : {false, true}) {
        const QByteArray comment = "INFOICMT" + sizeField(3, bigEndian) + QByteArray("abc", 4) +
                                   "INAM" + sizeField(2, bigEndian) + "ab";
        const QByteArray file = wavWithList(comment, bigEndian);
        EXPECT_FALSE(refused(file));
        const auto sample = decodeSampleBytes(file, 44100);
        ASSERT_NE(sample, nullptr) << bigEndian;
        EXPECT_EQ(sample->frameCount(), 4);
    }
    EXPECT_FALSE(refused("RIFF")) << "too short to be a WAV";
    EXPECT_FALSE(refused(QByteArray(64, '\xff')));
}
