#pragma once

#include <QString>
#include <optional>

class QIODevice;

// A text file taken the way kit and song files have always been read: numbers skip white space
// before them and take as much as forms a number; a line is the rest of the current line. An
// integer takes every digit that follows, and after a leading "0" an "x" or "b" as the prefix of
// a hexadecimal or binary number, so "0bass.wav" reads 0 and leaves "ass.wav". Where the data has
// ended, numbers read as 0 and texts as empty.
class StreamText
{
public:
    explicit StreamText(QString content);
    StreamText(const StreamText&) = delete;
    StreamText& operator=(const StreamText&) = delete;

    // At most maxBytes of the device, as UTF-8 without a byte-order mark: a longer file reads as
    // if it ended there, which bounds what a reader can be made to allocate.
    static QString readDevice(QIODevice& device, qint64 maxBytes);

    QString readLine();
    // Where nothing forms a number, 0 and the text stays where it was.
    int readInt() { return takeInt().value_or(0); }
    // Where nothing forms a number, the fallback and the text stays where it was.
    float readFloat(float fallback = 0) { return takeFloat().value_or(fallback); }
    // Every element takes at least a line, so a count above the lines left cannot be real: such a
    // count, or a negative one, ends the data and reads as 0.
    int readCount() { return takeCount().value_or(0); }

    // The same, telling apart where nothing forms a number (or an impossible count stands): a
    // reader checks with these that a file opens as it should before it takes anything from it.
    std::optional<int> takeInt();
    std::optional<float> takeFloat();
    std::optional<int> takeCount();

    // Whether anything but white space is left.
    bool hasData() const { return pos <= lastContent; }
    void end();

private:
    void skipSpace();
    qsizetype skipDigits(qsizetype p) const;
    bool allOctal(qsizetype from, qsizetype to) const;
    qint64 parseMagnitude(qsizetype from, qsizetype to, int base) const;

    QString text;
    // The text never changes: reading through its characters directly spares a check per
    // character, which the readers of large files and the fuzzers feel.
    const QChar* chars;
    qsizetype length;
    qsizetype pos = 0;
    qsizetype lastContent = -1;
    qsizetype linesLeft = 0;
};
