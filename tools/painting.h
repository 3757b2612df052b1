#pragma once

#include "kinematics/ikmath.h"

// Painting helpers shared by the generators of textures and panel images: colours, a per-pixel
// painter, tiling value noise, and our own mark (crossed sticks over the word OLMIRA).

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace Painting {

struct Rgb
{
    double r, g, b;
};

inline Rgb operator*(const Rgb& c, double f)
{
    return {c.r * f, c.g * f, c.b * f};
}

inline Rgb mix(const Rgb& a, const Rgb& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline int channel(double value)
{
    return std::clamp(int(std::lround(value)), 0, 255);
}

inline QImage paint(int width, int height, const std::function<Rgb(int x, int y)>& colourAt)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const Rgb c = colourAt(x, y);
            line[x * 3] = uchar(channel(c.r));
            line[x * 3 + 1] = uchar(channel(c.g));
            line[x * 3 + 2] = uchar(channel(c.b));
        }
    }
    return image;
}

// A deterministic value in [0, 1) for a lattice point.
inline double lattice(int x, int y, int seed)
{
    uint32_t h =
        uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ uint32_t(seed) * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h & 0xffffff) / double(0x1000000);
}

inline int wrap(int value, int period)
{
    return ((value % period) + period) % period;
}

// Smooth value noise over a lattice that repeats every periodX by periodY cells.
inline double noise(double x, double y, int periodX, int periodY, int seed)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int dx, int dy) {
        return lattice(wrap(x0 + dx, periodX), wrap(y0 + dy, periodY), seed);
    };
    const double top = at(0, 0) + (at(1, 0) - at(0, 0)) * sx;
    const double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * sx;
    return top + (bottom - top) * sy;
}

// Noise over the unit square (u, v in [0, 1)) that tiles, starting at cellsX by cellsY cells and
// doubling them per octave; about 0..1.
inline double fractal(double u, double v, int cellsX, int cellsY, int octaves, int seed)
{
    double sum = 0, weight = 0, amplitude = 1;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * noise(u * cellsX, v * cellsY, cellsX, cellsY, seed + octave);
        weight += amplitude;
        amplitude *= 0.5;
        cellsX *= 2;
        cellsY *= 2;
    }
    return sum / weight;
}

// Brushed metal of the given size: fine streaks along the rows; tiles seamlessly.
inline QImage brushed(int width, int height, const Rgb& base, int seed)
{
    return paint(width, height, [&](int x, int y) {
        const double u = double(x) / width, v = double(y) / height;
        const double streaks = fractal(u, v, 2, 128, 3, seed);
        const double sheen = fractal(u, v, 4, 4, 2, seed + 10);
        return base * (0.72 + 0.38 * streaks + 0.12 * (sheen - 0.5));
    });
}

// Two crossed drumsticks with their tips, in a box of about 96 x 74 at the painter's origin.
inline void drawCrossedSticks(QPainter& painter, const QColor& ink)
{
    painter.setPen(QPen(ink, 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(8, 68), QPointF(88, 8));
    painter.drawLine(QPointF(88, 68), QPointF(8, 8));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(90, 6), 6, 5);
    painter.drawEllipse(QPointF(6, 6), 6, 5);
}

// The word OLMIRA, one polyline per stroke in letter boxes 20 wide and 30 high, 30 apart, with
// an underline at y 46: a box of about 175 x 48 at the painter's origin.
inline void drawOlmiraWord(QPainter& painter, const QColor& ink, const QColor& underline)
{
    struct Stroke
    {
        int letter;
        std::vector<QPointF> points;
    };
    const std::vector<Stroke> strokes = {
        {1, {{0, 0}, {0, 30}, {17, 30}}},
        {2, {{0, 30}, {0, 0}, {10, 18}, {20, 0}, {20, 30}}},
        {3, {{8, 0}, {8, 30}}},
        {4, {{0, 30}, {0, 0}, {12, 0}, {18, 4}, {18, 12}, {12, 16}, {0, 16}}},
        {4, {{9, 16}, {19, 30}}},
        {5, {{0, 30}, {10, 0}, {20, 30}}},
        {5, {{4, 19}, {16, 19}}},
    };
    const double advance = 30;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawEllipse(QRectF(0, 0, 20, 30));
    for (const Stroke& stroke : strokes) {
        QPainterPath path;
        const QPointF origin(stroke.letter * advance, 0);
        path.moveTo(origin + stroke.points.front());
        for (size_t i = 1; i < stroke.points.size(); ++i)
            path.lineTo(origin + stroke.points[i]);
        painter.drawPath(path);
    }
    painter.setPen(QPen(underline, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 46), QPointF(5 * advance + 20, 46));
}

} // namespace Painting
