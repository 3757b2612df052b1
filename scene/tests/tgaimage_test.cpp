#include "scene/tgaimage.h"
#include "testing/recordingdialogs.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

QByteArray header(int width, int height, int depth = 24, int idLength = 0)
{
    QByteArray h(18, '\0');
    h[0] = char(idLength);
    h[2] = 2;
    h[12] = char(width & 0xff);
    h[13] = char(width >> 8);
    h[14] = char(height & 0xff);
    h[15] = char(height >> 8);
    h[16] = char(depth);
    return h;
}

class TgaFile
{
public:
    QString write(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString("image%1.tga").arg(count++));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

private:
    QTemporaryDir dir;
    int count = 0;
};

std::vector<int> pixels(const TgaImage& image)
{
    return std::vector<int>(image.data, image.data + image.width * image.height * 3);
}

} // namespace

TEST(TgaImage, SwapsBlueAndRed)
{
    TgaFile files;
    TgaImage image(files.write(header(2, 1) + QByteArray("\x01\x02\x03\x04\x05\x06", 6)));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(pixels(image), (std::vector<int>{3, 2, 1, 6, 5, 4}));
}

TEST(TgaImage, FirstStoredRowBecomesTheLastBufferRow)
{
    TgaFile files;
    TgaImage image(files.write(header(1, 2) + QByteArray("\x0a\x0b\x0c\x14\x15\x16", 6)));
    EXPECT_EQ(pixels(image), (std::vector<int>{0x16, 0x15, 0x14, 0x0c, 0x0b, 0x0a}));
}

TEST(TgaImage, SizesAreUnsignedSixteenBitAndTheIdFieldIsIgnored)
{
    TgaFile files;
    QByteArray row(640 * 3, '\x7f');
    TgaImage wide(files.write(header(640, 1) + row));
    EXPECT_EQ(wide.width, 640);
    EXPECT_EQ(wide.height, 1);

    TgaImage withId(files.write(header(1, 1, 24, 5) + QByteArray("\x01\x02\x03", 3)));
    EXPECT_EQ(pixels(withId), (std::vector<int>{3, 2, 1}));
}

TEST(TgaImage, MissingFileShowsTheMessageAndStaysEmpty)
{
    RecordingDialogs dialogs;
    TgaImage image("no/such/file.tga");
    EXPECT_EQ(image.data, nullptr);
    EXPECT_EQ(image.width, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, DialogSeam::Kind::System);
    EXPECT_EQ(dialogs.messages[0].caption, "Error");
    EXPECT_EQ(dialogs.messages[0].text, "Nemuzu otevrit TGA soubor!");
    EXPECT_EQ(dialogs.messages[0].parent, nullptr);
}

TEST(TgaImage, ShortFileKeepsOnlyTheRowsItHolds)
{
    TgaFile files;
    // Claims 2 x 3 but holds one full row and half of the next.
    TgaImage image(
        files.write(header(2, 3) + QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9)));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 1);
    EXPECT_EQ(pixels(image), (std::vector<int>{3, 2, 1, 6, 5, 4}));
}

TEST(TgaImage, HugeOrUnsupportedImagesAreRefused)
{
    TgaFile files;
    EXPECT_EQ(TgaImage(files.write(header(65535, 65535))).data, nullptr);
    EXPECT_EQ(TgaImage(files.write(header(8193, 1) + QByteArray(8193 * 3, 'x'))).data, nullptr);
    EXPECT_EQ(TgaImage(files.write(header(1, 1, 32) + QByteArray(4, 'x'))).data, nullptr);
    EXPECT_EQ(TgaImage(files.write(header(1, 1).left(10))).data, nullptr);
    EXPECT_EQ(TgaImage(files.write(header(0, 5))).width, 0);
}

TEST(TgaImage, AnOpenDeviceIsReadFromWhereItStands)
{
    QBuffer buffer;
    buffer.setData("junk" + header(1, 3) + QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(4);
    const TgaImage image(buffer);
    EXPECT_EQ(image.height, 2) << "the rows the device holds in full";
    EXPECT_EQ(pixels(image), (std::vector<int>{6, 5, 4, 3, 2, 1}));
}
