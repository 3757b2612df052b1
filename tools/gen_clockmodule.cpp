// "olmtimer120.xm": the beat clock. A silent Extended Module whose every order is one
// one-row pattern; the player reports each order change, and those are the clock's ticks.
#include "tools/generator.h"

#include <QByteArray>
#include <QSaveFile>
#include <QtEndian>
#include <cstdio>

namespace {

// At 90 BPM and 3 ticks per row a tick is 1225 frames at 44.1 kHz, and an order (one row)
// lasts 1/12 s: the clock's master speed 3.0 (120 bpm). The player's tempo factor is then the
// master speed divided by 3, which keeps it within the player's limit of 4 up to speed 6.
constexpr int clockBpm = 90;
constexpr int ticksPerRow = 3;
constexpr int rowsPerPattern = 1;
constexpr int orders = 4;
constexpr int channels = 2;

void append16(QByteArray& out, int value)
{
    char bytes[2];
    qToLittleEndian(quint16(value), bytes);
    out.append(bytes, 2);
}

void append32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void appendText(QByteArray& out, const char* text, int width)
{
    QByteArray field(text);
    field.resize(width, '\0');
    out.append(field);
}

QByteArray clockModule()
{
    QByteArray xm;
    appendText(xm, "Extended Module: ", 17);
    appendText(xm, "olmtimer120", 20);
    xm.append('\x1a');
    appendText(xm, "olmgen", 20);
    append16(xm, 0x0104);
    append32(xm, 20 + 256); // header size, counted from this field
    append16(xm, orders);
    append16(xm, 0); // restart position
    append16(xm, channels);
    append16(xm, 1); // patterns
    append16(xm, 0); // instruments: the clock is silent
    append16(xm, 1); // linear frequency table
    append16(xm, ticksPerRow);
    append16(xm, clockBpm);
    QByteArray orderTable(256, '\0'); // every order plays pattern 0
    xm.append(orderTable);

    const QByteArray cells(rowsPerPattern * channels, '\x80'); // packed empty cells
    append32(xm, 9);                                           // pattern header length
    xm.append('\0');                                           // packing type
    append16(xm, rowsPerPattern);
    append16(xm, cells.size());
    xm.append(cells);
    return xm;
}

bool writeClockModule(const QString& runDir)
{
    const QString path = runDir + "/olmtimer120.xm";
    const QByteArray bytes = clockModule();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

OLMIRA_GENERATOR(1, clockModule, writeClockModule);
