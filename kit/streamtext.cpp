#include "kit/streamtext.h"

#include <QIODevice>
#include <cfloat>
#include <climits>

namespace {

bool isSpace(QChar c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return 99;
}

bool isDecimal(QChar c)
{
    return digitValue(c) < 10;
}

} // namespace

StreamText::StreamText(QString content)
    : text(std::move(content)), chars(text.constData()), length(text.size())
{
    lastContent = length - 1;
    while (lastContent >= 0 && isSpace(chars[lastContent]))
        --lastContent;
    linesLeft = text.count('\n') + (text.isEmpty() || text.endsWith('\n') ? 0 : 1);
}

QString StreamText::readDevice(QIODevice& device, qint64 maxBytes)
{
    // A file or buffer knows what it holds: the read then allocates that, not the whole limit.
    const qint64 wanted =
        device.isSequential() ? maxBytes : qMin(maxBytes, device.bytesAvailable());
    QString content = QString::fromUtf8(device.read(wanted));
    if (content.startsWith(QChar(0xFEFF)))
        content.remove(0, 1);
    return content;
}

QString StreamText::readLine()
{
    if (pos >= length)
        return QString();
    qsizetype end = text.indexOf('\n', pos);
    const qsizetype next = end < 0 ? length : end + 1;
    if (end < 0)
        end = length;
    if (end > pos && chars[end - 1] == '\r')
        --end;
    const QString line = text.mid(pos, end - pos);
    pos = next;
    --linesLeft;
    return line;
}

std::optional<int> StreamText::takeInt()
{
    skipSpace();
    qsizetype p = pos;
    const bool negative = p < length && chars[p] == '-';
    if (p < length && (chars[p] == '-' || chars[p] == '+'))
        ++p;
    if (p >= length || !isDecimal(chars[p]))
        return std::nullopt;
    int base = 10;
    if (chars[p] == '0' && p + 1 < length) {
        const QChar prefix = chars[p + 1].toLower();
        if (prefix == 'x' || prefix == 'b') {
            base = prefix == 'x' ? 16 : 2;
            p += 2;
        }
    }
    const qsizetype digits = p;
    while (p < length && digitValue(chars[p]) < (base == 10 ? 10 : base))
        ++p;
    if (base == 10 && chars[digits] == '0' && allOctal(digits, p))
        base = 8;
    const qint64 magnitude = parseMagnitude(digits, p, base);
    pos = p;
    return negative ? int(-magnitude) : int(qMin<qint64>(magnitude, INT_MAX));
}

std::optional<float> StreamText::takeFloat()
{
    skipSpace();
    qsizetype p = pos;
    if (p < length && (chars[p] == '-' || chars[p] == '+'))
        ++p;
    const qsizetype mantissa = p;
    p = skipDigits(p);
    if (p < length && chars[p] == '.')
        p = skipDigits(p + 1);
    if (p - mantissa < 1 || (p - mantissa == 1 && chars[mantissa] == '.'))
        return std::nullopt;
    if (p < length && (chars[p] == 'e' || chars[p] == 'E')) {
        qsizetype e = p + 1;
        if (e < length && (chars[e] == '-' || chars[e] == '+'))
            ++e;
        if (e < length && isDecimal(chars[e]))
            p = skipDigits(e);
    }
    const double value = QStringView(text).mid(pos, p - pos).toDouble();
    pos = p;
    return float(qBound(double(-FLT_MAX), value, double(FLT_MAX)));
}

std::optional<int> StreamText::takeCount()
{
    const std::optional<int> count = takeInt();
    if (count && (*count < 0 || *count > linesLeft)) {
        end();
        return std::nullopt;
    }
    return count;
}

void StreamText::end()
{
    pos = length;
    linesLeft = 0;
}

void StreamText::skipSpace()
{
    while (pos < length && isSpace(chars[pos])) {
        if (chars[pos] == '\n')
            --linesLeft;
        ++pos;
    }
}

qsizetype StreamText::skipDigits(qsizetype p) const
{
    while (p < length && isDecimal(chars[p]))
        ++p;
    return p;
}

bool StreamText::allOctal(qsizetype from, qsizetype to) const
{
    for (qsizetype i = from; i < to; ++i)
        if (digitValue(chars[i]) > 7)
            return false;
    return true;
}

// Saturates just beyond the int range, so that huge numbers stay huge.
qint64 StreamText::parseMagnitude(qsizetype from, qsizetype to, int base) const
{
    constexpr qint64 limit = qint64(INT_MAX) + 1;
    qint64 value = 0;
    for (qsizetype i = from; i < to; ++i)
        value = qMin(limit, value * base + digitValue(chars[i]));
    return value;
}
