#include "playback/sample.h"
#include "playback/wavlist.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray field(quint32 value, bool bigEndian, int bytes = 4)
{
    QByteArray out(4, '\0');
    if (bigEndian)
        qToBigEndian(value << (32 - 8 * bytes), out.data());
    else
        qToLittleEndian(value, out.data());
    return out.left(bytes);
}

// A 16-bit mono WAV of four frames with a LIST chunk of the given entries before its data.
QByteArray wavWithList(const QByteArray& entries, bool bigEndian = false)
{
    const auto f = [bigEndian](quint32 value, int bytes = 4) {
        return field(value, bigEndian, bytes);
    };
    const QByteArray body = "WAVEfmt " + f(16) + f(1, 2) + f(1, 2) + f(44100) + f(88200) + f(2, 2) +
                            f(16, 2) + "LIST" + f(quint32(entries.size())) + entries + "data" +
                            f(8) + QByteArray(8, '\x10');
    return (bigEndian ? "RIFX" : "RIFF") + f(quint32(body.size())) + body;
}

bool refused(const QByteArray& file)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    return hasNegativeListEntry(buffer);
}

} // namespace

// Entries that made libsndfile read the same entry for ever: an unknown name sized -8 after
// INFO or adtl, in place of the list type, or after an odd-sized entry with its pad byte.
TEST(WavList, EntriesOfNegativeSizeAreRefusedBeforeTheDecoderSeesThem)
{
    const QByteArray back = "QQQQ" + field(0xfffffff8u, false) + "abcdabcd";
    const QByteArray odd = "ICMT" + field(3, false) + QByteArray("abc", 4);
    for (const QByteArray& entries : {"INFO" + back, "adtl" + back, back, "INFO" + odd + back}) {
        EXPECT_TRUE(refused(wavWithList(entries))) << entries.toHex().toStdString();
        EXPECT_EQ(decodeSampleBytes(wavWithList(entries), 44100), nullptr);
    }
    EXPECT_TRUE(refused(wavWithList("INFOQQQQ" + field(0xfffffff8u, true), true)));

    QTemporaryDir dir;
    QFile file(dir.filePath("looping.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wavWithList("INFO" + back));
    file.close();
    EXPECT_EQ(decodeSampleFile(file.fileName(), 44100), nullptr);

    // Sane lists, in either byte order, still play; what is no WAV is left to the decoder.
    for (bool bigEndian : {false, true}) {
        const QByteArray comment = "INFOICMT" + field(3, bigEndian) + QByteArray("abc", 4) +
                                   "INAM" + field(2, bigEndian) + "ab";
        const auto sample = decodeSampleBytes(wavWithList(comment, bigEndian), 44100);
        ASSERT_NE(sample, nullptr) << bigEndian;
        EXPECT_EQ(sample->frameCount(), 4);
    }
    EXPECT_FALSE(refused("RIFF"));
    EXPECT_FALSE(refused(QByteArray(64, '\xff')));
}
