#include "humanoid/vrmlparser.h"

#include "common/dialogs.h"
#include "humanoid/bodypartshape.h"
#include "humanoid/human.h"
#include "kinematics/ikmath.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace {

using Keyword = VrmlWord::Keyword;

// The left body parts are stored with clockwise faces.
constexpr const char* clockwiseFiles[] = {
    "BParts/lod4/Mdl_left_lower_arm.wrl", "BParts/lod4/Mdl_left_upper_arm.wrl",
    "BParts/lod4/Mdl_left_leg.wrl", "BParts/lod4/Mdl_left_thigh.wrl",
    "BParts/lod4/Mdl_left_foot.wrl"};

bool isClockwiseFile(const char* url)
{
    for (const char* name : clockwiseFiles)
        if (std::strcmp(url, name) == 0)
            return true;
    return false;
}

bool isNumberChar(int c)
{
    return c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

bool isIdentifierChar(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

float toDegrees(float radians)
{
    return radians / float(ikPiF) * 180;
}

void message(const QString& caption, const QString& text)
{
    Dialogs::about(nullptr, caption, text);
}

// Only regular files are read: a device or a pipe could block or never end.
bool openForReading(QFile& file)
{
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

// Values that no int holds become -2, which the check of the indices rejects.
int toIndex(float value)
{
    if (!(value > -2147483648.0f && value < 2147483648.0f))
        return -2;
    return int(value);
}

void appendFan(const std::vector<int>& face, std::vector<int>& triangles)
{
    for (size_t i = 2; i < face.size(); ++i)
        triangles.insert(triangles.end(), {face[0], face[i - 1], face[i]});
}

// Sums the area-weighted face normals at each vertex and normalises them. False when an index
// names no vertex.
bool computeNormals(MeshPart& part)
{
    const auto vertexCount = qint64(part.vertices.size());
    for (size_t t = 0; t + 2 < part.indices.size(); t += 3) {
        const int* triangle = &part.indices[t];
        for (int k = 0; k < 3; ++k)
            if (triangle[k] < 0 || 3 * qint64(triangle[k]) + 2 >= vertexCount)
                return false;
        const float* p0 = &part.vertices[3 * size_t(triangle[0])];
        const float* p1 = &part.vertices[3 * size_t(triangle[1])];
        const float* p2 = &part.vertices[3 * size_t(triangle[2])];
        const float a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
        const float b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
        const float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                            a[0] * b[1] - a[1] * b[0]};
        for (int k = 0; k < 3; ++k) {
            float* normal = &part.normals[3 * size_t(triangle[k])];
            normal[0] += n[0];
            normal[1] += n[1];
            normal[2] += n[2];
        }
    }
    // A vertex that no triangle uses keeps its zero normal.
    for (size_t v = 0; v + 2 < part.normals.size(); v += 3) {
        float* normal = &part.normals[v];
        const float length =
            std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
        if (length > 0) {
            normal[0] /= length;
            normal[1] /= length;
            normal[2] /= length;
        }
    }
    return true;
}

} // namespace

VrmlParser::VrmlParser(QWidget* parent, const char* name, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    setObjectName(QString::fromLatin1(name));
}

VrmlParser::~VrmlParser() = default;

int VrmlParser::parseFile(const char* fileName, Human* human)
{
    if (!fileName || !*fileName) {
        message("VRML Parser Error", "No humanoid file assigned!");
        return 0;
    }
    QFile humanoid(QString::fromLocal8Bit(fileName));
    if (!openForReading(humanoid)) {
        message("VRML Parser Error", "Can't open humanoid file!");
        return 0;
    }
    return parse(humanoid, human);
}

int VrmlParser::parse(QIODevice& humanoid, Human* human)
{
    input = &humanoid;
    depth = 0;
    nodeCount = 0;
    word.clear();
    bool bodyListEnded = false;
    while (!bodyListEnded && readChar() != EOF) {
        if (word.holds(VrmlWord::Proto)) {
            word.clear();
            skipBraces(0);
        }
        if (word.holds(VrmlWord::Humanoid)) {
            word.clear();
            skipTo('{');
            bodyListEnded = readHumanoidBody(*human);
        }
    }
    input = nullptr;
    if (!bodyListEnded)
        message("VRML Parser", "File parsed successfully");
    return 1;
}

int VrmlParser::rawRead()
{
    char c = 0;
    return input->getChar(&c) ? static_cast<unsigned char>(c) : EOF;
}

// The next character after any comments, which run from '#' to the end of the line.
int VrmlParser::readUncommented()
{
    int c = rawRead();
    while (c == '#') {
        skipTo('\n');
        c = rawRead();
    }
    return c;
}

int VrmlParser::readChar()
{
    const int c = readUncommented();
    if (c != EOF)
        word.append(char(c));
    return c;
}

int VrmlParser::readLineChar()
{
    const int c = readUncommented();
    if (c == '\n')
        word.clear();
    if (c != EOF)
        word.append(char(c));
    return c;
}

void VrmlParser::skipTo(char target)
{
    for (int c = rawRead(); c != EOF && c != target; c = rawRead()) {
    }
}

// Raw reads until a closing brace brings the count of open braces back to 0.
void VrmlParser::skipBraces(int open)
{
    for (int c = rawRead(); c != EOF; c = rawRead()) {
        if (c == '{')
            ++open;
        else if (c == '}' && --open == 0)
            return;
    }
}

// Gathers the number that starts with first up to the next character that cannot continue it,
// which is read and lost and returned. value is 0 when the text does not convert.
int VrmlParser::gatherNumber(int first, float* value, bool* converted)
{
    QByteArray text;
    int c = first;
    for (; c != EOF && (isNumberChar(c) || c == 'e' || c == 'E'); c = rawRead())
        text.append(char(c));
    const float number = QString::fromLatin1(text).toFloat(converted);
    *value = *converted ? number : 0;
    return c;
}

bool VrmlParser::readFloat(float* value)
{
    int c = rawRead();
    while (c != EOF && !isNumberChar(c))
        c = rawRead();
    *value = 0;
    bool converted = false;
    if (c != EOF)
        gatherNumber(c, value, &converted);
    return converted;
}

bool VrmlParser::readFloats(float* values, int count)
{
    for (int i = 0; i < count; ++i)
        if (!readFloat(&values[i]))
            return false;
    return true;
}

int VrmlParser::readFloats(float* value)
{
    int c = rawRead();
    while (c != EOF && !isNumberChar(c)) {
        if (c == ']')
            return End;
        c = rawRead();
    }
    if (c == EOF)
        return Bad;
    bool converted = false;
    const int after = gatherNumber(c, value, &converted);
    if (!converted)
        return Bad;
    return after == ']' ? Last : More;
}

// "scale" is taken only as a whole field name, not as the start of "scaleOrientation".
bool VrmlParser::takesScale()
{
    if (!word.holds(VrmlWord::Scale))
        return false;
    if (word.endsWith(VrmlWord::Scale)) {
        char next = 0;
        if (input->peek(&next, 1) != 1 || !isIdentifierChar(static_cast<unsigned char>(next)))
            return true;
    }
    word.forget(VrmlWord::Scale);
    return false;
}

// Raw reads up to the closing double quote, which is not kept.
QString VrmlParser::readQuoted()
{
    QByteArray text;
    for (int c = rawRead(); c != EOF && c != '"'; c = rawRead())
        text.append(char(c));
    return QString::fromLatin1(text);
}

void VrmlParser::readName(Node& node)
{
    skipTo('"');
    int c = readChar();
    while (c != EOF && c != '"')
        c = readChar();
    QByteArray text = word.characters();
    if (c == '"')
        text.chop(1);
    node.name = QString::fromLatin1(text);
    // A name is no field name, whatever it contains.
    word.clear();
}

// Returns true when the humanoidBody list has ended, which ends the parse.
bool VrmlParser::readHumanoidBody(Human& human)
{
    for (int c = readChar(); c != EOF; c = readChar()) {
        if (c == '}')
            return false;
        if (c == '"') {
            if (word.holds(VrmlWord::Version)) {
                word.clear();
                human.version = readQuoted();
            }
            if (word.holds(VrmlWord::Name)) {
                word.clear();
                human.name = readQuoted();
            }
        } else if (c == '[') {
            if (word.holds(VrmlWord::Info)) {
                word.clear();
                for (int d = readChar(); d != EOF && d != ']'; d = readChar()) {
                    if (d == '"') {
                        word.clear();
                        human.info.push_back(readQuoted());
                    }
                }
            }
            if (word.holds(VrmlWord::HumanoidBody)) {
                word.clear();
                for (int d = readChar(); d != EOF; d = readChar()) {
                    if (d == ']')
                        return true;
                    if (d == '{' && word.holds(VrmlWord::JointNode)) {
                        word.clear();
                        human.setRoot(static_cast<Joint*>(parseNode(NodeKind::Joint)));
                    }
                }
            }
        }
    }
    return false;
}

Node* VrmlParser::parseNode(NodeKind kind)
{
    if (depth >= maxDepth || nodeCount >= maxNodes) {
        skipBraces(1);
        return nullptr;
    }
    ++depth;
    ++nodeCount;
    Node* node = nullptr;
    if (kind == NodeKind::Joint)
        node = parseJoint();
    else if (kind == NodeKind::Segment)
        node = parseSegment();
    else
        node = parseSite();
    --depth;
    return node;
}

bool VrmlParser::readFields(Node& node, std::initializer_list<NumberField> fields,
                            std::initializer_list<NodeKind> childOrder, Segment* segment)
{
    for (int c = readChar(); c != EOF && c != '}'; c = readChar()) {
        if (word.holds(VrmlWord::Name)) {
            word.clear();
            readName(node);
        } else if (const NumberField* field = heldField(fields)) {
            word.clear();
            if (!readField(*field)) {
                message("Syntax Error", field->error);
                return false;
            }
        } else if (word.holds(VrmlWord::Children)) {
            word.clear();
            readChildren(node, childOrder, segment);
        }
    }
    return true;
}

const VrmlParser::NumberField* VrmlParser::heldField(std::initializer_list<NumberField> fields)
{
    for (const NumberField& field : fields) {
        const bool held =
            field.keyword == VrmlWord::Scale ? takesScale() : word.holds(field.keyword);
        if (held)
            return &field;
    }
    return nullptr;
}

bool VrmlParser::readField(const NumberField& field)
{
    if (!readFloats(field.values, field.count))
        return false;
    if (field.toDegrees)
        field.values[3] = toDegrees(field.values[3]);
    return true;
}

// The children of a node; a segment's list ends at its Inline, whose shape the segment gets.
void VrmlParser::readChildren(Node& parent, std::initializer_list<NodeKind> order, Segment* segment)
{
    static const Keyword keywords[] = {VrmlWord::JointNode, VrmlWord::SegmentNode,
                                       VrmlWord::SiteNode};
    word.clear();
    for (int c = readChar(); c != EOF; c = readChar()) {
        if (c == ']') {
            word.clear();
            return;
        }
        if (c != '{')
            continue;
        bool taken = false;
        for (NodeKind kind : order) {
            if (!word.holds(keywords[int(kind)]))
                continue;
            word.clear();
            if (Node* child = parseNode(kind))
                parent.addChild(child);
            taken = true;
            break;
        }
        if (!taken && segment && word.holds(VrmlWord::InlineNode)) {
            word.clear();
            segment->shape.reset(parseInline());
            return;
        }
    }
}

Joint* VrmlParser::parseJoint()
{
    auto joint = std::make_unique<Joint>();
    Joint& j = *joint;
    const bool ok = readFields(
        j,
        {{VrmlWord::Translation, j.translation, 3, false, "Bad translation parameters number"},
         {VrmlWord::Rotation, j.rotation, 4, true, "Bad rotation parameters number"},
         {VrmlWord::Scale, j.scale, 3, false, "Bad scale parameters number"},
         {VrmlWord::ScaleOrientation, j.scaleOrientation, 4, true,
          "Bad scaleOrientation parameters number"},
         {VrmlWord::Center, j.center, 3, false, "Bad center parameters number"},
         {VrmlWord::LimitOrientation, j.limitOrientation, 4, true,
          "Bad limitOrientation parameters number"},
         {VrmlWord::Ulimit, j.ulimit, 3, false, "Bad ulimit parameters number"},
         {VrmlWord::Llimit, j.llimit, 3, false, "Bad llimit parameters number"},
         {VrmlWord::Stiffness, j.stiffness, 3, false, "Bad stiffness parameters number"}},
        {NodeKind::Segment, NodeKind::Joint, NodeKind::Site});
    return ok ? joint.release() : nullptr;
}

Segment* VrmlParser::parseSegment()
{
    auto segment = std::make_unique<Segment>();
    Segment& s = *segment;
    const bool ok = readFields(
        s,
        {{VrmlWord::Mass, &s.mass, 1, false, "Bad mass parameters number"},
         {VrmlWord::CenterOfMass, s.centerOfMass, 3, false, "Bad centerOfMass parameters number"},
         {VrmlWord::BboxCenter, s.bboxCenter, 3, false, "Bad bboxCenter parameters number"},
         {VrmlWord::BboxSize, s.bboxSize, 3, false, "Bad bboxSize parameters number"}},
        {NodeKind::Joint, NodeKind::Segment, NodeKind::Site}, &s);
    return ok ? segment.release() : nullptr;
}

Site* VrmlParser::parseSite()
{
    auto site = std::make_unique<Site>();
    Site& s = *site;
    const bool ok = readFields(
        s,
        {{VrmlWord::Translation, s.translation, 3, false, "Bad translation parameters number"},
         {VrmlWord::Rotation, s.rotation, 4, true, "Bad rotation parameters number"}},
        {NodeKind::Segment, NodeKind::Joint, NodeKind::Site});
    return ok ? site.release() : nullptr;
}

// Reads the body-part file that the Inline node names. Whatever happens, reading goes on after the
// end of the Inline node, so that a missing or broken body part leaves the tree's nesting intact.
BodyPartShape* VrmlParser::parseInline()
{
    std::array<char, maxUrlLength + 1> url{};
    readUrl(url);
    std::unique_ptr<BodyPartShape> shape;
    QFile part(QString::fromLocal8Bit(url.data()));
    if (url[0] != 0 && openForReading(part)) {
        shape.reset(parseBodyPart(part, url.data()));
    } else {
        // Without its file the segment still gets a shape, one that draws nothing.
        if (url[0] != 0)
            message("VRML Parser Error", part.fileName());
        shape = std::make_unique<BodyPartShape>();
    }
    skipTo('}');
    word.clear();
    return shape.release();
}

BodyPartShape* VrmlParser::parseBodyPart(QIODevice& device, const char* url)
{
    auto shape = std::make_unique<BodyPartShape>();
    QIODevice* const humanoid = std::exchange(input, &device);
    word.clear();
    const bool read = readBodyPart(*shape, QString::fromLocal8Bit(url), isClockwiseFile(url));
    input = humanoid;
    word.clear();
    if (!read)
        return nullptr;
    for (MeshPart& part : shape->meshParts)
        if (!computeNormals(part))
            return nullptr;
    return shape.release();
}

void VrmlParser::readUrl(std::array<char, maxUrlLength + 1>& url)
{
    skipTo('"');
    int length = 0;
    for (int c = rawRead(); c != EOF && c != '"'; c = rawRead())
        if (length < maxUrlLength)
            url[size_t(length++)] = char(c);
    url[size_t(length)] = 0;
}

// The fields of a body-part file, found by keywords within one line. False when one was bad: its
// message, captioned with the url, has been shown.
bool VrmlParser::readBodyPart(BodyPartShape& shape, const QString& caption, bool flipAll)
{
    const std::initializer_list<NumberField> fields = {
        {VrmlWord::AmbientIntensity, &shape.ambientIntensity, 1, false,
         "Bad ambientIntensity parameters number"},
        {VrmlWord::Shininess, &shape.shininess, 1, false, "Bad shininess parameters number"},
        {VrmlWord::Transparency, &shape.transparency, 1, false,
         "Bad transparency parameters number"},
        {VrmlWord::Rotation, shape.rotation, 4, true, "Bad rotation parameters number"},
        {VrmlWord::Translation, shape.translation, 3, false, "Bad translation parameters number"},
        {VrmlWord::Scale, shape.scale, 3, false, "Bad scale parameters number"},
        {VrmlWord::DiffuseColor, shape.diffuseColor, 3, false,
         "Bad diffuseColor parameters number"},
        {VrmlWord::SpecularColor, shape.specularColor, 3, false,
         "Bad specularColor parameters number"},
        {VrmlWord::EmissiveColor, shape.emissiveColor, 3, false,
         "Bad emissiveColor parameters number"}};
    // Only the first scale is the shape's: later ones belong to texture transforms.
    bool scaleRead = false;
    while (readLineChar() != EOF) {
        if (const NumberField* field = heldField(fields)) {
            word.clear();
            if (field->keyword == VrmlWord::Scale && std::exchange(scaleRead, true))
                continue;
            if (!readField(*field)) {
                message(caption, field->error);
                return false;
            }
        } else if (word.holds(VrmlWord::TextureTransform) ||
                   word.holds(VrmlWord::TextureCoordinate)) {
            word.clear();
            skipTo('}');
            word.clear();
        } else if (word.holds(VrmlWord::TexCoordIndex)) {
            word.clear();
            skipTo(']');
            word.clear();
        } else if (word.holds(VrmlWord::ShapeNode)) {
            word.clear();
            shape.meshParts.emplace_back();
        } else if (word.holds(VrmlWord::Coordinate) || word.holds(VrmlWord::CoordIndex)) {
            const bool vertices = word.holds(VrmlWord::Coordinate);
            word.clear();
            if (shape.meshParts.empty()) {
                message(caption, "No shape is created!");
                continue;
            }
            MeshPart& part = shape.meshParts.back();
            if (vertices && part.vertices.empty() && !readVertices(part, caption))
                return false;
            if (!vertices && part.indices.empty() && !readFaces(part, caption, flipAll))
                return false;
        } else if (word.holds(VrmlWord::Ccw)) {
            word.clear();
            readWinding(shape);
        }
    }
    return true;
}

// A bracketed list of numbers, each handed to take. False, after a message that counts what has
// been gathered, when a number is bad.
bool VrmlParser::readList(const QString& caption, const char* badList,
                          const std::function<void(float)>& take,
                          const std::function<size_t()>& gathered)
{
    skipTo('[');
    for (;;) {
        float value = 0;
        const int status = readFloats(&value);
        if (status == Bad) {
            message(caption, QString::number(gathered()) + badList);
            return false;
        }
        if (status != End)
            take(value);
        if (status != More)
            return true;
    }
}

bool VrmlParser::readVertices(MeshPart& part, const QString& caption)
{
    std::vector<float> numbers;
    if (!readList(
            caption, " vertices read. \nBad Coordinate parameters!",
            [&](float value) { numbers.push_back(value); }, [&] { return numbers.size(); }))
        return false;
    part.normals.assign(numbers.size(), 0.0f);
    part.vertices = std::move(numbers);
    return true;
}

// The index list: faces end at -1 or at the end of the list and are split into fans.
bool VrmlParser::readFaces(MeshPart& part, const QString& caption, bool flipAll)
{
    std::vector<int> face;
    std::vector<int> triangles;
    const auto take = [&](float value) {
        if (value == -1.0f) {
            appendFan(face, triangles);
            face.clear();
        } else {
            face.push_back(toIndex(value));
        }
    };
    if (!readList(caption, " vertices read. \nBad coordIndex parameters!", take,
                  [&] { return triangles.size(); }))
        return false;
    appendFan(face, triangles);
    if (flipAll || !part.ccw)
        for (size_t t = 0; t + 2 < triangles.size(); t += 3)
            std::swap(triangles[t], triangles[t + 2]);
    part.indices = std::move(triangles);
    return true;
}

// The winding flag: the rest of the line says TRUE or FALSE.
void VrmlParser::readWinding(BodyPartShape& shape)
{
    int c = readChar();
    while (c != EOF && c != '\n')
        c = readChar();
    if (!shape.meshParts.empty()) {
        if (word.holds(VrmlWord::False))
            shape.meshParts.back().ccw = false;
        if (word.holds(VrmlWord::True))
            shape.meshParts.back().ccw = true;
    }
    word.clear();
}
