#pragma once

#include "humanoid/vrmlword.h"

#include <QWidget>
#include <array>
#include <functional>
#include <initializer_list>

class BodyPartShape;
class Human;
class Joint;
struct MeshPart;
class Node;
class QIODevice;
class Segment;
class Site;

// Reads a VRML97 humanoid file with the H-Anim conventions, and the body-part files that its
// Inline nodes name, into a Human. A character-level reader: it gathers characters into a word and
// recognises a keyword when the word contains it; what it does not know it passes over.
class VrmlParser : public QWidget
{
public:
    explicit VrmlParser(QWidget* parent = nullptr, const char* name = nullptr,
                        Qt::WindowFlags flags = {});
    ~VrmlParser() override;

    // 1 when the file was read (the humanoid holds what was read), 0 when there was no file name or
    // the file could not be opened.
    int parseFile(const char* fileName, Human* human);
    // The humanoid file that the rest of an open device holds; its Inline urls still name files.
    // Returns 1.
    int parse(QIODevice& humanoid, Human* human);
    // The body part that the rest of an open device holds, read as an Inline node naming url would
    // read it: the url chooses the winding and captions the messages. Null when the part is bad.
    BodyPartShape* parseBodyPart(QIODevice& device, const char* url);

    // An Inline url keeps at most this many characters.
    static constexpr int maxUrlLength = 1023;
    // Nodes nested deeper, or beyond this many in one file, are skipped whole.
    static constexpr int maxDepth = 256;
    static constexpr int maxNodes = 10000;

private:
    enum ListStatus
    {
        More = 0,
        Last = 1,
        End = 2,
        Bad = 3
    };
    enum class NodeKind
    {
        Joint,
        Segment,
        Site
    };
    // A field of a fixed count of numbers; with toDegrees the fourth is an angle in radians.
    struct NumberField
    {
        VrmlWord::Keyword keyword;
        float* values;
        int count;
        bool toDegrees;
        const char* error;
    };

    int rawRead();
    int readUncommented();
    int readChar();
    int readLineChar();
    void skipTo(char target);
    void skipBraces(int open);
    int gatherNumber(int first, float* value, bool* converted);
    bool readFloat(float* value);
    bool readFloats(float* values, int count);
    int readFloats(float* value);
    bool takesScale();
    const NumberField* heldField(std::initializer_list<NumberField> fields);
    bool readField(const NumberField& field);
    QString readQuoted();
    void readName(Node& node);

    bool readHumanoidBody(Human& human);
    Node* parseNode(NodeKind kind);
    Joint* parseJoint();
    Segment* parseSegment();
    Site* parseSite();
    bool readFields(Node& node, std::initializer_list<NumberField> fields,
                    std::initializer_list<NodeKind> childOrder, Segment* segment = nullptr);
    void readChildren(Node& parent, std::initializer_list<NodeKind> order, Segment* segment);

    BodyPartShape* parseInline();
    void readUrl(std::array<char, maxUrlLength + 1>& url);
    bool readBodyPart(BodyPartShape& shape, const QString& caption, bool flipAll);
    bool readList(const QString& caption, const char* badList,
                  const std::function<void(float)>& take, const std::function<size_t()>& gathered);
    bool readVertices(MeshPart& part, const QString& caption);
    bool readFaces(MeshPart& part, const QString& caption, bool flipAll);
    void readWinding(BodyPartShape& shape);

    QIODevice* input = nullptr; // the file being read: the humanoid file or a body-part file
    VrmlWord word;
    int depth = 0;
    int nodeCount = 0;
};
