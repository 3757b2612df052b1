#include "playback/sample.h"

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

// A 16-bit mono WAV of four frames (0.5 of full scale) with the given chunks before its data.
QByteArray wav(const QByteArray& chunks, bool bigEndian = false, const char* riff = nullptr,
               quint32 dataSize = 8)
{
    const auto f = [bigEndian](quint32 value, int bytes = 4) {
        return field(value, bigEndian, bytes);
    };
    const QByteArray frames =
        bigEndian ? QByteArray("\x40\x00\x40\x00", 4) : QByteArray("\x00\x40\x00\x40", 4);
    const QByteArray body = "WAVEfmt " + f(16) + f(1, 2) + f(1, 2) + f(44100) + f(88200) + f(2, 2) +
                            f(16, 2) + chunks + "data" + f(dataSize) + frames + frames;
    return (riff ? QByteArray(riff) : bigEndian ? "RIFX" : "RIFF") + f(quint32(body.size())) + body;
}

QByteArray list(const QByteArray& entries, bool bigEndian = false)
{
    return "LIST" + field(quint32(entries.size()), bigEndian) + entries;
}

} // namespace

// libsndfile loops for ever on some damaged metadata chunks (a LIST entry sized -8, a "fact"
// chunk of size 0 before a PEAK chunk); it is shown only the format and the data, so such files
// play their samples, and no chunk layout makes the decoder hang.
TEST(WavView, DamagedMetadataNeverReachesTheDecoder)
{
    const QByteArray back = "QQQQ" + field(0xfffffff8u, false) + "abcdabcd";
    const QByteArray odd = "ICMT" + field(3, false) + QByteArray("abc", 4);
    const QByteArray ds64 = "ds64" + field(28, false) + field(0, false) + field(0, false) +
                            field(8, false) + field(0, false) + QByteArray(12, '\0');
    // Frames decoded; refused: no sample; returns: whatever it gives, as long as it returns.
    constexpr int64_t refused = -1, returns = -2;
    struct Case
    {
        const char* what;
        QByteArray file;
        int64_t frames;
    };
    const Case cases[] = {
        {"list entry sized -8", wav(list("INFO" + back)), 4},
        {"after an odd entry", wav(list("INFO" + odd + back)), 4},
        {"big-endian list", wav(list("INFOQQQQ" + field(0xfffffff8u, true), true), true), 4},
        {"odd chunk and its pad", wav("junk" + field(3, false) + QByteArray("abc", 4)), 4},
        {"RF64 with ds64", wav(ds64, false, "RF64", 0xffffffffu), 4},
        {"data cut short", wav({}, false, nullptr, 1000), 4},
        {"no format chunk", "RIFF" + field(12, false) + "WAVEdata" + field(0, false), refused},
        {"found by fuzzing",
         QByteArray::fromBase64(
             "UklGRugAAABXQVZFZm10IBAAAAADAAEAgLsACADuAgAEACAAZmFjdAAAAAAoAAAAUEVBSxAAAAABAAAACpAY"
             "a4qg/z4aAAAATElTVGRhdP//////////////////////////////////////////////AHb4////////////"
             "//////////////9hoAAAAAAAAADEiT6JiT7DiQ=="),
         returns},
    };
    for (const Case& c : cases) {
        const auto sample = decodeSampleBytes(c.file, 44100);
        if (c.frames == refused) {
            EXPECT_EQ(sample, nullptr) << c.what;
        } else if (c.frames != returns) {
            ASSERT_NE(sample, nullptr) << c.what;
            EXPECT_EQ(sample->frameCount(), c.frames) << c.what;
            EXPECT_FLOAT_EQ(sample->frames[0], 0.5f) << c.what;
        }
    }

    // From a file as from memory; what is no WAV goes to the decoder as it is.
    QTemporaryDir dir;
    QFile file(dir.filePath("listed.wav"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(wav(list("INFO" + back)));
    file.close();
    const auto fromFile = decodeSampleFile(file.fileName(), 44100);
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->frameCount(), 4);
    EXPECT_EQ(decodeSampleBytes(QByteArray(64, '\xff'), 44100), nullptr);
    EXPECT_EQ(decodeSampleFile("/dev/zero", 44100), nullptr);
}
