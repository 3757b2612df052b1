// The TGA textures of the kit, the drumsticks and the room, painted procedurally. Every pattern
// repeats seamlessly, since the quadrics and the room wrap their texture coordinates.

#include "tools/generator.h"
#include "tools/painting.h"
#include "tools/tga.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

namespace {

using namespace Painting;

// Distance from the image centre in units of the half side: where a GLU disk's texture lies.
double radiusAt(int x, int y, int size)
{
    const double dx = (x + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
    return std::sqrt(dx * dx + dy * dy);
}

// A coated drum head with the hoop at its edge and, for the snare, a dark centre dot.
QImage drumHead(const Rgb& coating, bool centreDot, int seed)
{
    constexpr int size = 256;
    const Rgb hoop{150, 150, 155}, dot{28, 28, 30};
    return paint(size, size, [&](int x, int y) {
        const double r = radiusAt(x, y, size);
        const double mottle = fractal(double(x) / size, double(y) / size, 16, 16, 3, seed);
        Rgb c = coating * (0.9 + 0.14 * mottle);
        if (centreDot && r < 0.14)
            c = dot * (0.9 + 0.2 * mottle);
        if (r > 0.9 && r < 0.94) // the collar where the head bends over the shell
            c = c * 0.82;
        if (r >= 0.94)
            c = hoop * (0.85 + 0.3 * mottle);
        return c;
    });
}

// The kick drum's batter head, the one the drummer and the beater face: a coated head like the
// toms', with a round impact patch where the beater strikes, the middle of the head.
QImage kickBatterHead()
{
    constexpr int size = 256;
    const Rgb patch{196, 192, 182}, patchEdge{150, 146, 138};
    const QImage head = drumHead({238, 235, 224}, false, 31);
    return paint(size, size, [&](int x, int y) {
        const double r = radiusAt(x, y, size);
        const QRgb base = head.pixel(x, y);
        const Rgb c{double(qRed(base)), double(qGreen(base)), double(qBlue(base))};
        if (r < 0.2)
            return mix(c, patch, 0.8);
        if (r < 0.215)
            return mix(c, patchEdge, 0.8);
        return c;
    });
}

// Styrofoam: pressed beads, each a cell of a jittered grid with darker seams.
QImage styrofoam()
{
    constexpr int size = 256, cells = 24;
    return paint(size, size, [&](int x, int y) {
        const double u = double(x) / size * cells, v = double(y) / size * cells;
        const int cx = int(std::floor(u)), cy = int(std::floor(v));
        double nearest = 9, second = 9, shade = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int gx = wrap(cx + dx, cells), gy = wrap(cy + dy, cells);
                const double px = cx + dx + lattice(gx, gy, 51), py = cy + dy + lattice(gx, gy, 52);
                const double d = std::hypot(u - px, v - py);
                if (d < nearest) {
                    second = nearest;
                    nearest = d;
                    shade = lattice(gx, gy, 53);
                } else if (d < second) {
                    second = d;
                }
            }
        }
        const double seam = std::clamp((second - nearest) * 6, 0.0, 1.0);
        const double bead = 0.9 + 0.08 * shade - 0.06 * nearest;
        return Rgb{248, 248, 244} * (bead * (0.86 + 0.14 * seam));
    });
}

// Cymbal bronze turned on a lathe: fine grooves along the rows, which run around a cymbal's cone,
// bright and dull bands where the tool pressed harder, and a little hammering.
QImage cymbalBronze()
{
    constexpr int size = 256;
    const Rgb dull{150, 104, 44}, bright{236, 190, 108};
    return paint(size, size, [&](int x, int y) {
        const double u = double(x) / size, v = double(y) / size;
        const double phase = 2 * ikPi * v * 96 + 2.5 * fractal(u, v, 2, 8, 2, 71);
        const double groove = std::pow(0.5 + 0.5 * std::sin(phase), 8);
        const double bands = fractal(0, v, 1, 32, 3, 72);
        const double hammer = fractal(u, v, 12, 12, 2, 73);
        const double sheen = 0.5 + 0.5 * std::sin(2 * ikPi * u * 2);
        Rgb c = mix(dull, bright,
                    std::clamp(0.2 + 0.6 * bands + 0.25 * sheen - 0.15 * hammer, 0.0, 1.0));
        return c * (1 - 0.35 * groove);
    });
}

// Vinyl weave: a basket of dark strands, alternately over and under.
QImage vinylWeave()
{
    constexpr int size = 256, cell = 16;
    const Rgb vinyl{62, 60, 58};
    return paint(size, size, [&](int x, int y) {
        const int cx = x / cell, cy = y / cell;
        const bool alongX = (cx + cy) % 2 == 0;
        const double across = double(alongX ? y % cell : x % cell) / cell;
        const double along = double(alongX ? x % cell : y % cell) / cell;
        const double strand = std::sin(ikPi * across);           // rounded across the strand
        const double dip = 0.85 + 0.15 * std::sin(ikPi * along); // dips where it passes under
        const double fibre = fractal(double(x) / size, double(y) / size, 64, 64, 1, 81);
        return vinyl * (0.45 + 0.75 * strand * dip + 0.12 * (fibre - 0.5));
    });
}

// Wood with its grain along the columns (along a stick's length) and a gentle waviness.
QImage stickWood()
{
    constexpr int size = 128;
    const Rgb light{228, 196, 146}, dark{176, 134, 84};
    return paint(size, size, [&](int x, int y) {
        const double u = double(x) / size, v = double(y) / size;
        const double wave = 0.06 * (fractal(u, v, 2, 4, 2, 91) - 0.5);
        const double grain = 0.5 + 0.5 * std::sin(2 * ikPi * (u + wave) * 24);
        const double figure = fractal(u, v, 8, 2, 2, 92);
        return mix(light, dark, 0.25 * grain + 0.35 * figure);
    });
}

// Boards of a room: each a band of rows with its own tint, the grain along the rows and a dark
// seam between boards. Boards are staggered in length when boardLength is below the width.
QImage boards(int width, int height, int boardWidth, int boardLength, const Rgb& light,
              const Rgb& dark, int seed)
{
    return paint(width, height, [&](int x, int y) {
        const int row = y / boardWidth;
        const int shift = int(lattice(row, 0, seed) * boardLength);
        const int column = (x + shift) / boardLength;
        const int board = row * 64 + column;
        const double u = double(x) / width, v = double(y) / height;
        const double wave = 0.03 * (fractal(u, v, 4, 8, 2, seed + 1) - 0.5);
        const double grain =
            std::pow(0.5 + 0.5 * std::sin(2 * ikPi * ((v + wave) * height / 5.0)), 3);
        const double figure = fractal(u, v, 16, height / 16, 3, seed + 2);
        const double tint = lattice(board, 1, seed + 3);
        Rgb c = mix(light, dark, 0.3 * grain + 0.4 * figure + 0.3 * tint);
        const bool seamAcross = y % boardWidth == 0;
        const bool seamAlong = boardLength < width && (x + shift) % boardLength == 0;
        if (seamAcross || seamAlong)
            c = c * 0.45;
        return c;
    });
}

bool save(const QString& runDir, const char* name, const QImage& image)
{
    const QString path = runDir + "/Textures/" + name;
    if (writeTga(path, image))
        return true;
    std::fprintf(stderr, "textures: cannot write %s\n", qPrintable(path));
    return false;
}

bool writeTextures(const QString& runDir)
{
    // Brushed streaks run along the rows, which wrap around a shell. The room's walls map the
    // width up the wall five times over 3 m and the height along 6 m; the floor maps the whole
    // 6 m square once.
    return save(runDir, "brushgd22.tga", brushed(256, 256, {200, 162, 92}, 11)) &&
           save(runDir, "brushgd32.tga", brushed(256, 256, {214, 196, 150}, 21)) &&
           save(runDir, "kick12.tga", kickBatterHead()) &&
           save(runDir, "tom2.tga", drumHead({238, 235, 224}, false, 41)) &&
           save(runDir, "snare1.tga", drumHead({242, 240, 232}, true, 42)) &&
           save(runDir, "styrofoa22.tga", styrofoam()) &&
           save(runDir, "ride12.tga", cymbalBronze()) &&
           save(runDir, "vinylwev.tga", vinylWeave()) && save(runDir, "Stick2.tga", stickWood()) &&
           save(runDir, "Basswd.tga",
                boards(256, 512, 16, 256, {232, 212, 170}, {190, 160, 112}, 101)) &&
           save(runDir, "Oakply1.tga",
                boards(512, 512, 16, 160, {190, 138, 80}, {120, 78, 40}, 111));
}

} // namespace

OLMIRA_GENERATOR(1, textures, writeTextures);
