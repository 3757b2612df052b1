// The BMP images of every panel, the beat grid and the start-up logo, in one visual language:
// brushed bronze panels, brushed steel buttons, dark slate grid cells with an LED meter whose
// height and colour both grow with the level, amber bar marks, and our ivory-on-charcoal mark.

#include "tools/generator.h"
#include "tools/painting.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdio>

namespace {

using namespace Painting;

const Rgb bronze{200, 154, 92};
const Rgb steel{172, 174, 180};
const Rgb slate{40, 44, 52};
const Rgb barSlate{60, 64, 76};
const Rgb charcoal{34, 34, 38};
const Rgb amber{240, 172, 48};
const Rgb ivory{236, 226, 200};
const Rgb brandRed{196, 36, 40};
const Rgb white{255, 255, 255};
const Rgb ink{28, 30, 36};

// The six levels of the meter, cool to hot: blue, teal, green, yellow, orange, red.
const std::array<Rgb, 6> levelColours = {
    Rgb{70, 140, 230}, Rgb{40, 190, 190}, Rgb{90, 205, 70},
    Rgb{235, 215, 50}, Rgb{245, 140, 30}, Rgb{225, 40, 40},
};

QColor colour(const Rgb& c)
{
    return QColor(channel(c.r), channel(c.g), channel(c.b));
}

Rgb rgbAt(const QImage& image, int x, int y)
{
    const QRgb c = image.pixel(x, y);
    return {double(qRed(c)), double(qGreen(c)), double(qBlue(c))};
}

// A raised edge: light along the top and left, dark along the bottom and right.
void bevel(QImage& image)
{
    const int w = image.width(), h = image.height();
    QPainter painter(&image);
    painter.setPen(QColor(255, 255, 255, 110));
    painter.drawLine(0, 0, w - 1, 0);
    painter.drawLine(0, 0, 0, h - 1);
    painter.setPen(QColor(0, 0, 0, 140));
    painter.drawLine(0, h - 1, w - 1, h - 1);
    painter.drawLine(w - 1, 0, w - 1, h - 1);
}

// A face lit from above: lighter at the top, darker at the bottom, with a brushed grain.
QImage face(int width, int height, const Rgb& base, int seed)
{
    const QImage grain = brushed(width, height, base, seed);
    QImage image = paint(width, height, [&](int x, int y) {
        return rgbAt(grain, x, y) * (1.12 - 0.24 * double(y) / (height - 1));
    });
    bevel(image);
    return image;
}

void label(QImage& image, const QString& text, const Rgb& colourOfText, int left)
{
    QPainter painter(&image);
    QFont font("Liberation Sans");
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(colour(colourOfText));
    painter.drawText(QRect(left, 0, image.width() - left, image.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text);
}

// Cells of the beat grid ---------------------------------------------------------------------

enum class Offset
{
    None,
    Early,
    Late
};

// Six segments of 3 rows with a row between them, the lowest ending at row 26: a level of k
// lights the k lowest, so both the height and the colour tell the level.
void meter(QPainter& painter, int left, int level)
{
    constexpr int width = 10;
    const QColor unlit = colour(slate * 1.45);
    for (int segment = 0; segment < 6; ++segment) {
        const int top = 24 - 4 * segment;
        if (segment < level) {
            const Rgb lit = levelColours[size_t(level - 1)];
            painter.fillRect(left, top, width, 3, colour(lit));
            painter.fillRect(left, top, width, 1, colour(mix(lit, white, 0.45)));
        } else {
            painter.fillRect(left, top, width, 3, unlit);
        }
    }
}

// An arrow pointing the way the note is moved: left for early, right for late.
void offsetArrow(QPainter& painter, Offset offset)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour(ivory));
    const QPointF early[3] = {{18.5, 14.5}, {25.5, 9.5}, {25.5, 19.5}};
    const QPointF late[3] = {{12.5, 14.5}, {5.5, 9.5}, {5.5, 19.5}};
    painter.drawPolygon(offset == Offset::Early ? early : late, 3);
}

QImage cell(int level, bool barMark, Offset offset)
{
    const Rgb base = barMark ? barSlate : slate;
    QImage image = paint(30, 30, [&](int, int y) { return base * (1.1 - 0.2 * y / 29.0); });
    {
        QPainter painter(&image);
        if (barMark)
            painter.fillRect(2, 2, 3, 26, colour(amber));
        const int left = offset == Offset::Early ? 6 : offset == Offset::Late ? 14 : 10;
        meter(painter, left, level);
        if (offset != Offset::None)
            offsetArrow(painter, offset);
    }
    bevel(image);
    return image;
}

QString cellName(int level, bool barMark, Offset offset)
{
    const char* suffix = offset == Offset::Early ? "l" : offset == Offset::Late ? "p" : "";
    return QString("beat%1%2%3.bmp").arg(level).arg(barMark ? "b" : "").arg(suffix);
}

// Panel bronze: the brushed grain held low, so that text on it stays easy to read.
QImage panelBronze(int width, int height, int seed)
{
    const QImage grain = brushed(width, height, bronze, seed);
    return paint(width, height,
                 [&](int x, int y) { return mix(bronze, rgbAt(grain, x, y), 0.45); });
}

// Dividers, the padlock and the logos ------------------------------------------------------

// An engraved groove across a strip of panel bronze, with a rivet at each end.
QImage groove(int width, int height)
{
    const bool across = width >= height;
    QImage image = panelBronze(width, height, 7);
    QPainter painter(&image);
    const int middle = (across ? height : width) / 2 - 1;
    const int length = across ? width : height;
    const auto line = [&](int at, const Rgb& c) {
        if (across)
            painter.fillRect(8, at, length - 16, 1, colour(c));
        else
            painter.fillRect(at, 4, 1, length - 8, colour(c));
    };
    line(middle, bronze * 0.42);
    line(middle + 1, mix(bronze, white, 0.55));
    if (across) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(colour(bronze * 0.45), 1));
        painter.setBrush(colour(mix(steel, white, 0.2)));
        painter.drawEllipse(QPointF(4, middle + 0.5), 2.5, 2.5);
        painter.drawEllipse(QPointF(width - 5, middle + 0.5), 2.5, 2.5);
    }
    return image;
}

// A 10 x 10 padlock, pixel by pixel on panel bronze: s shackle, o outline, g gold body, k keyhole.
QImage padlock()
{
    const char* rows[10] = {"...ssss...", "..s....s..", "..s....s..", "..s....s..", ".oooooooo.",
                            ".oggggggo.", ".oggkkggo.", ".oggkkggo.", ".oggggggo.", ".oooooooo."};
    const QImage background = panelBronze(10, 10, 7);
    return paint(10, 10, [&](int x, int y) {
        switch (rows[y][x]) {
        case 's':
            return Rgb{218, 220, 228};
        case 'o':
            return Rgb{70, 44, 14};
        case 'g':
            return Rgb{248, 204, 92};
        case 'k':
            return ink;
        default:
            return rgbAt(background, x, y);
        }
    });
}

// A charcoal plate with a bronze inner frame.
QImage plate(int width, int height)
{
    QImage image = paint(width, height, [&](int x, int y) {
        const double dx = (x + 0.5) / width - 0.5, dy = (y + 0.5) / height - 0.5;
        return charcoal * (1.15 - 0.6 * (dx * dx + dy * dy));
    });
    QPainter painter(&image);
    painter.setPen(colour(bronze * 0.8));
    painter.drawRect(2, 2, width - 5, height - 5);
    painter.end();
    bevel(image);
    return image;
}

// Our mark on a charcoal plate: the sticks and the word, each placed and scaled.
QImage markOnPlate(int width, int height, QPointF sticks, double sticksScale, QPointF word,
                   double wordScale)
{
    QImage image = plate(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(sticks);
    painter.scale(sticksScale, sticksScale);
    drawCrossedSticks(painter, colour(ivory));
    painter.resetTransform();
    painter.translate(word);
    painter.scale(wordScale, wordScale);
    drawOlmiraWord(painter, colour(ivory), colour(brandRed));
    return image;
}

// Button faces -------------------------------------------------------------------------------

QImage pencilFace()
{
    QImage image = face(80, 21, steel, 3);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour(amber * 0.9), 4, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(9, 13), QPointF(17, 5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour(ink));
    const QPointF tip[3] = {{5.5, 16.5}, {7.5, 11.0}, {11.0, 14.5}};
    painter.drawPolygon(tip, 3);
    painter.end();
    label(image, "Insert", ink, 24);
    return image;
}

QImage eraserFace()
{
    QImage image = face(80, 21, steel, 4);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(12, 11);
    painter.rotate(-35);
    painter.setPen(QPen(colour(ink), 1));
    painter.setBrush(colour(Rgb{232, 110, 120}));
    painter.drawRect(QRectF(-7, -3.5, 14, 7));
    painter.setBrush(colour(ivory));
    painter.drawRect(QRectF(-7, -3.5, 5, 7));
    painter.end();
    label(image, "Erase", ink, 24);
    return image;
}

enum class Transport
{
    PlaySong,
    PlayPattern,
    Stop
};

QImage transportFace(Transport kind)
{
    QImage image = face(66, 23, charcoal * 1.3, 5);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (kind == Transport::Stop) {
        painter.setBrush(colour(Rgb{226, 56, 48}));
        painter.drawRoundedRect(QRectF(6, 6.5, 10, 10), 1.5, 1.5);
    } else {
        painter.setBrush(colour(Rgb{96, 214, 96}));
        const QPointF play[3] = {{6, 5.5}, {6, 17.5}, {16, 11.5}};
        painter.drawPolygon(play, 3);
    }
    painter.end();
    const char* text = kind == Transport::PlaySong      ? "Song"
                       : kind == Transport::PlayPattern ? "Pattern"
                                                        : "Stop";
    label(image, text, ivory, 20);
    return image;
}

bool save(const QString& runDir, const QString& name, const QImage& image)
{
    const QString path = runDir + "/Textures/" + name;
    if (image.convertToFormat(QImage::Format_RGB32).save(path, "BMP"))
        return true;
    std::fprintf(stderr, "panel images: cannot write %s\n", qPrintable(path));
    return false;
}

bool writeCells(const QString& runDir)
{
    bool ok = true;
    for (bool barMark : {false, true}) {
        ok = ok && save(runDir, cellName(0, barMark, Offset::None), cell(0, barMark, Offset::None));
        for (int level = 1; level <= 6; ++level)
            for (Offset offset : {Offset::None, Offset::Early, Offset::Late})
                ok = ok &&
                     save(runDir, cellName(level, barMark, offset), cell(level, barMark, offset));
    }
    return ok;
}

bool writePanelImages(const QString& runDir)
{
    // The steel tiles without seams: it is the face of buttons and the grid beyond a pattern.
    return writeCells(runDir) && save(runDir, "button111.bmp", brushed(30, 30, steel, 2)) &&
           save(runDir, "bronze4.bmp", panelBronze(128, 128, 1)) &&
           save(runDir, "hline111.bmp", groove(181, 20)) &&
           save(runDir, "vline111.bmp", groove(6, 180)) && save(runDir, "lock111.bmp", padlock()) &&
           save(runDir, "logo111.bmp", markOnPlate(120, 60, {8, 15}, 0.4, {50, 20}, 0.36)) &&
           save(runDir, "initlogo1.bmp", markOnPlate(120, 80, {41, 8}, 0.4, {17, 42}, 0.49)) &&
           save(runDir, "insert1.bmp", pencilFace()) && save(runDir, "erase1.bmp", eraserFace()) &&
           save(runDir, "plsng2.bmp", transportFace(Transport::PlaySong)) &&
           save(runDir, "plpat2.bmp", transportFace(Transport::PlayPattern)) &&
           save(runDir, "stop2.bmp", transportFace(Transport::Stop));
}

} // namespace

OLMIRA_GENERATOR(1, panelimages, writePanelImages);
