#include "kit/drumsetfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <cfloat>
#include <climits>

namespace {

// Far beyond any real kit (a big one takes a few tens of kilobytes); a longer file reads as if it
// ended there, which bounds what a reader can be made to allocate.
constexpr qint64 maxFileSize = 4 * 1024 * 1024;
// Stands carry holders that carry cymbals: real kits nest five deep.
constexpr int maxDepth = 32;
// Drums, hit points and levels together: a big kit has a few hundred.
constexpr int maxRecords = 65536;

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

QString readFileText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.read(maxFileSize));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

// The file's text, taken the way kit files have always been read: numbers skip white space before
// them and take as much as forms a number; a line is the rest of the current line. An integer
// takes every digit that follows, and after a leading "0" an "x" or "b" as the prefix of a
// hexadecimal or binary number, so "0bass.wav" reads 0 and leaves "ass.wav".
class DrumSetText
{
public:
    explicit DrumSetText(QString content) : text(std::move(content))
    {
        lastContent = text.size() - 1;
        while (lastContent >= 0 && isSpace(text[lastContent]))
            --lastContent;
        linesLeft = text.count('\n') + (text.isEmpty() || text.endsWith('\n') ? 0 : 1);
    }

    QString readLine()
    {
        if (pos >= text.size())
            return QString();
        qsizetype end = text.indexOf('\n', pos);
        const qsizetype next = end < 0 ? text.size() : end + 1;
        if (end < 0)
            end = text.size();
        if (end > pos && text[end - 1] == '\r')
            --end;
        const QString line = text.mid(pos, end - pos);
        pos = next;
        --linesLeft;
        return line;
    }

    // Where nothing forms a number, 0 and the text stays where it was.
    int readInt()
    {
        skipSpace();
        qsizetype p = pos;
        const bool negative = p < text.size() && text[p] == '-';
        if (p < text.size() && (text[p] == '-' || text[p] == '+'))
            ++p;
        if (p >= text.size() || !isDecimal(text[p]))
            return 0;
        int base = 10;
        if (text[p] == '0' && p + 1 < text.size()) {
            const QChar prefix = text[p + 1].toLower();
            if (prefix == 'x' || prefix == 'b') {
                base = prefix == 'x' ? 16 : 2;
                p += 2;
            }
        }
        const qsizetype digits = p;
        while (p < text.size() && digitValue(text[p]) < (base == 10 ? 10 : base))
            ++p;
        if (base == 10 && text[digits] == '0' && allOctal(digits, p))
            base = 8;
        const qint64 magnitude = parseMagnitude(digits, p, base);
        pos = p;
        return negative ? int(-magnitude) : int(qMin<qint64>(magnitude, INT_MAX));
    }

    // Where nothing forms a number, the fallback and the text stays where it was.
    float readFloat(float fallback = 0)
    {
        skipSpace();
        qsizetype p = pos;
        if (p < text.size() && (text[p] == '-' || text[p] == '+'))
            ++p;
        const qsizetype mantissa = p;
        p = skipDigits(p);
        if (p < text.size() && text[p] == '.')
            p = skipDigits(p + 1);
        if (p - mantissa < 1 || (p - mantissa == 1 && text[mantissa] == '.'))
            return fallback;
        if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
            qsizetype e = p + 1;
            if (e < text.size() && (text[e] == '-' || text[e] == '+'))
                ++e;
            if (e < text.size() && isDecimal(text[e]))
                p = skipDigits(e);
        }
        const double value = QStringView(text).mid(pos, p - pos).toDouble();
        pos = p;
        return float(qBound(double(-FLT_MAX), value, double(FLT_MAX)));
    }

    // Every element takes at least a line, so a count above the lines left cannot be real.
    int readCount()
    {
        const int count = readInt();
        if (count < 0 || count > linesLeft) {
            end();
            return 0;
        }
        return count;
    }

    // Whether anything but white space is left.
    bool hasData() const { return pos <= lastContent; }

    void end()
    {
        pos = text.size();
        linesLeft = 0;
    }

private:
    void skipSpace()
    {
        while (pos < text.size() && isSpace(text[pos])) {
            if (text[pos] == '\n')
                --linesLeft;
            ++pos;
        }
    }

    qsizetype skipDigits(qsizetype p) const
    {
        while (p < text.size() && isDecimal(text[p]))
            ++p;
        return p;
    }

    bool allOctal(qsizetype from, qsizetype to) const
    {
        for (qsizetype i = from; i < to; ++i)
            if (digitValue(text[i]) > 7)
                return false;
        return true;
    }

    // Saturates just beyond the int range, so that huge numbers stay huge.
    qint64 parseMagnitude(qsizetype from, qsizetype to, int base) const
    {
        constexpr qint64 limit = qint64(INT_MAX) + 1;
        qint64 value = 0;
        for (qsizetype i = from; i < to; ++i)
            value = qMin(limit, value * base + digitValue(text[i]));
        return value;
    }

    QString text;
    qsizetype pos = 0;
    qsizetype lastContent = -1;
    qsizetype linesLeft = 0;
};

QString DrumSetFile::soundFolder(const QString& setPath)
{
    const qsizetype dot = setPath.lastIndexOf('.');
    return (dot < 0 ? setPath : setPath.left(dot)) + " Sounds";
}

QString DrumSetFile::withExtension(const QString& path)
{
    return path.endsWith(".set") ? path : path + ".set";
}

bool DrumSetFile::write(const DrumSet& kit, const QString& path)
{
    if (path.isEmpty())
        return false;
    const QString folder = soundFolder(path);
    if (!QFileInfo::exists(folder))
        QDir().mkdir(folder);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream stream(&file);
    stream << kit.name << "\n" << kit.info << "\n" << kit.version << "\n";
    for (int i = 0; i < 3; ++i)
        stream << kit.translation[i] << "\n" << kit.rotation[i] << "\n" << kit.scale[i] << "\n";
    stream << uint(kit.rootDrums.size()) << "\n";
    for (const auto& drum : kit.rootDrums)
        drum->save(stream, folder + "/");
    stream.flush();
    if (stream.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

DrumSetReader::DrumSetReader(const QString& path, int& soundCounter, int& drumCounter,
                             SoundAnnouncer addSound)
    : text(std::make_unique<DrumSetText>(readFileText(path))),
      soundFolderSlash(DrumSetFile::soundFolder(path) + "/"), soundCounter(soundCounter),
      drumCounter(drumCounter), addSound(std::move(addSound))
{
}

DrumSetReader::~DrumSetReader() = default;

void DrumSetReader::read(DrumSet& kit)
{
    kit.name = text->readLine();
    kit.info = text->readLine();
    kit.version = text->readLine();
    // A scale the file does not hold stays 1: a kit drawn at scale 0 would vanish for good.
    for (int i = 0; i < 3; ++i) {
        kit.translation[i] = text->readFloat();
        kit.rotation[i] = text->readFloat();
        kit.scale[i] = text->readFloat(1);
    }
    drumCounter = 0;
    const int count = text->readCount();
    for (int i = 0; i < count && startRecord(); ++i) {
        auto* drum = new Drum();
        kit.addRootDrum(drum);
        readDrum(kit, *drum, 1);
    }
}

// A record starts only where data is left, and only as long as the kit stays of a size that a
// drummer could play: more records end the data.
bool DrumSetReader::startRecord()
{
    if (!text->hasData())
        return false;
    if (++records > maxRecords) {
        text->end();
        return false;
    }
    return true;
}

void DrumSetReader::readDrum(DrumSet& kit, Drum& drum, int depth)
{
    drum.type = text->readInt();
    text->readInt();
    drum.id = drumCounter++;
    const int priority = text->readInt();
    drum.setupType();
    drum.priority = priority;
    drum.name = text->readLine();
    for (int i = 0; i < 3; ++i) {
        drum.translation[i] = text->readFloat();
        drum.rotation[i] = text->readFloat();
        drum.scale[i] = text->readFloat(1);
    }

    const int hitpointCount = text->readCount();
    for (int i = 0; i < hitpointCount && startRecord(); ++i)
        readHitpoint(drum);

    const int childCount = text->readCount();
    if (childCount > 0 && depth >= maxDepth) {
        text->end();
        return;
    }
    for (int i = 0; i < childCount && startRecord(); ++i) {
        auto* child = new Drum();
        kit.addDrum(child);
        drum.addChild(child);
        readDrum(kit, *child, depth + 1);
    }
}

void DrumSetReader::readHitpoint(Drum& drum)
{
    auto hitpoint = std::make_shared<Hitpoint>();
    drum.hitpoints.push_back(hitpoint);
    hitpoint->hitType = text->readInt();
    hitpoint->name = text->readLine();
    hitpoint->veloToVol = text->readInt();
    hitpoint->x = text->readFloat();
    hitpoint->y = text->readFloat();
    hitpoint->z = text->readFloat();

    // The hit point already holds its first level; the file fills it.
    const int count = text->readCount();
    for (int i = 0; i < count && startRecord(); ++i) {
        if (i > 0)
            hitpoint->levels.push_back(std::make_unique<DynaLevel>());
        readLevel(*hitpoint->levels.back());
    }
}

void DrumSetReader::readLevel(DynaLevel& level)
{
    level.maxVelo = text->readInt();
    level.minVelo = text->readInt();
    // Only a level with a sound has a file name after its identifier; the identifier itself is
    // the old engine's and is replaced by the one the sound gets now.
    if (text->readInt() < 0) {
        level.sndID = -1;
        return;
    }
    QString baseName = text->readLine();
    baseName.remove(0, baseName.lastIndexOf('/') + 1);
    level.file = soundFolderSlash + baseName;
    addSound(level.file);
    level.sndID = soundCounter++;
}
