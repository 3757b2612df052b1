#include "playback/sample.h"
#include "testing/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <thread>

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

// A little-endian format chunk's body: tag, channels, rate, byte rate, block align, bits.
QByteArray format(quint16 tag, quint16 channels, quint32 rate, quint32 byteRate, quint16 blockAlign,
                  quint16 bits)
{
    return field(tag, false, 2) + field(channels, false, 2) + field(rate, false) +
           field(byteRate, false) + field(blockAlign, false, 2) + field(bits, false, 2);
}

// The extensible form of a layout: its sub-format's tag in the standard GUID.
QByteArray extensible(quint16 channels, quint32 rate, quint16 bytes, quint16 subFormat)
{
    const quint16 blockAlign = channels * bytes;
    return format(0xfffe, channels, rate, rate * blockAlign, blockAlign, bytes * 8) +
           field(22, false, 2) + field(bytes * 8, false, 2) + field(3, false) +
           field(subFormat, false) + QByteArray("\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 12);
}

QByteArray riffWave(const QByteArray& formatBody, const QByteArray& data)
{
    const QByteArray body = "WAVEfmt " + field(quint32(formatBody.size()), false) + formatBody +
                            "data" + field(quint32(data.size()), false) + data;
    return "RIFF" + field(quint32(body.size()), false) + body;
}

// Decodes on a thread of its own, so that a decoder that never returns fails the test rather
// than stalling it (the thread is then left behind). Empty when it did not return in time.
std::optional<std::unique_ptr<Sample>> decodeGuarded(const QByteArray& bytes)
{
    auto task = std::make_shared<std::packaged_task<std::unique_ptr<Sample>()>>(
        [bytes] { return decodeSampleBytes(bytes, 44100); });
    auto result = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready)
        return std::nullopt;
    return result.get();
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

// Where libsndfile cannot skip an odd data chunk, it reads on into the samples as chunks, and
// fuzzing found files that loop it so; it is shown only format chunks that make sense (byte rate
// and block align recomputed), and only WAV, FLAC, Ogg and MP3 files (an ID3 tag no longer hides
// a WAV).
TEST(WavView, NoSoundFileKeepsTheDecoderFromReturning)
{
    // Frames decoded; plays: any number of them; refused: no sample.
    constexpr int64_t refused = -1, plays = 0;
    const QString corpus = OLMIRA_SAMPLE_CORPUS;
    // The sample data of the files that fuzzing found: a LIST chunk for a decoder that reads on.
    const QByteArray listInData =
        QByteArray::fromHex("4c4953546766fffffffffffff7ffffffffffffffffffff2dffff4c");
    const QByteArray id3Tag = QByteArray("ID3\x03\0\0\0\0\0\x10", 10) + QByteArray(16, '\0');
    struct Case
    {
        QString what;
        QByteArray file;
        int64_t frames;
    };
    std::vector<Case> cases = {
        {"odd data that holds a LIST", riffWave(format(1, 1, 44100, 88200, 2, 16), listInData), 13},
        {"8-bit, odd data", riffWave(format(1, 1, 44100, 44100, 1, 8), "abcde"), 5},
        {"extensible 24-bit", riffWave(extensible(2, 48000, 3, 1), QByteArray(12, '\1')), 2},
        {"ID3 tag before an MP3", id3Tag + readAll(corpus + "/drum.mp3"), 1200},
        {"byte rate off", riffWave(format(1, 2, 44100, 176401, 4, 16), "abcdefgh"), 2},
        {"block align 0", riffWave(format(1, 2, 44100, 0, 0, 16), "abcdefgh"), 2},
        {"block align of 24 bits", riffWave(format(1, 2, 44100, 264600, 6, 16), "abcdefgh"), 2},
        {"24 bits in 4-byte slots", riffWave(format(1, 1, 44100, 176400, 4, 24), "abcdefghijkl"),
         3},
        {"float, block align 0", riffWave(format(3, 1, 44100, 0, 0, 32), QByteArray(8, '\0')), 2},
        {"260 channels in 12 bytes", riffWave(extensible(260, 96000, 3, 1), listInData), refused},
        {"no channels", riffWave(format(1, 0, 44100, 88200, 2, 16), "abcd"), refused},
        {"40 bits", riffWave(format(1, 1, 44100, 220500, 5, 40), "abcde"), refused},
        {"16-bit float", riffWave(format(3, 1, 44100, 88200, 2, 16), "abcd"), refused},
        {"ADPCM of 0 Hz", riffWave(format(0x11, 1, 0, 0, 256, 4), QByteArray(256, 'a')), refused},
        {"ADPCM without its coefficients",
         riffWave(format(2, 1, 44100, 22050, 256, 4), QByteArray(256, 'a')), refused},
        {"unknown sub-format", riffWave(extensible(1, 44100, 2, 0x55), "abcd"), refused},
        {"extensible cut short", riffWave(extensible(1, 44100, 2, 1).left(24), "ab"), refused},
        {"ID3 tag before a WAV", id3Tag + readAll(corpus + "/looping-list.wav"), refused},
        {"AIFF", readAll(corpus + "/drum.aiff"), refused},
        {"2000 chunks before the data", wav(QByteArray("junk\0\0\0\0", 8).repeated(2000)), refused},
    };
    for (const char* found :
         {"057a4c9e9fd17f43460c229276b49390f76fba34", "ac480a24809f697ea2b7a11afff98f60c5e03494",
          "d96fe0b0bff6d80f8c1c667d34a4e1246c25c1dd", "eb906936fe507ef171786a9f1fedcde9a350f99c",
          "f7ebd27e818a7da8151530709b5e62316b5468cf", "5e7b8d40d6894e5221718d0527343436376373e8"})
        cases.push_back({found, readAll(corpus + "/" + found), refused});
    for (const char* played : {"drum.flac", "drum.ogg", "drum.mp3", "stereo16.wav", "quad24.wav"})
        cases.push_back({played, readAll(corpus + "/" + played), plays});

    for (const Case& c : cases) {
        const auto decoded = decodeGuarded(c.file);
        ASSERT_TRUE(decoded.has_value()) << qPrintable(c.what) << " never returned";
        const Sample* sample = decoded->get();
        if (c.frames == refused)
            EXPECT_EQ(sample, nullptr) << qPrintable(c.what);
        else
            ASSERT_NE(sample, nullptr) << qPrintable(c.what);
        if (sample && c.frames != plays)
            EXPECT_EQ(sample->frameCount(), c.frames) << qPrintable(c.what);
    }
}

// The compressed encodings play through the file's own format chunk.
TEST(WavView, EveryEncodingTheDecoderReadsPlays)
{
    const std::pair<const char*, int64_t> seeds[] = {{"ima-adpcm.wav", 505}, {"ms-adpcm.wav", 500},
                                                     {"gsm610.wav", 640},    {"g721.wav", 480},
                                                     {"nms-adpcm.wav", 480}, {"mpeg.wav", 1728}};
    for (const auto& [name, frames] : seeds) {
        const auto sample =
            decodeSampleBytes(readAll(OLMIRA_SAMPLE_CORPUS "/" + QString(name)), 8000);
        ASSERT_NE(sample, nullptr) << name;
        EXPECT_EQ(sample->frameCount(), frames) << name;
        const auto [low, high] = std::minmax_element(sample->frames.begin(), sample->frames.end());
        EXPECT_NEAR(std::max(-*low, *high), 0.5f, 0.05f) << name;
    }
}
