#include "humanoid/human.h"
#include "humanoid/vrmlparser.h"
#include "testing/qstringprinter.h"
#include "testing/recordingdialogs.h"

#include "humanoid/bodypartshape.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Triangles = std::vector<int>;

// Parses humanoid files in a temporary working directory, where their body-part urls resolve.
class VrmlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QDir().mkpath("BParts/lod4");
    }
    void TearDown() override { QDir::setCurrent(previous); }

    static void write(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    int parse(const QByteArray& text)
    {
        write("human.wrl", text);
        VrmlParser parser;
        return parser.parseFile("human.wrl", &human);
    }

    static QByteArray body(const QByteArray& rootJoint)
    {
        return "Humanoid { humanoidBody [ " + rootJoint + " ] }\n";
    }

    // Reads one body-part file through a segment of the root joint and returns its shape.
    const BodyPartShape* shapeOf(const QByteArray& part,
                                 const QByteArray& url = "BParts/lod4/part.wrl")
    {
        write(QString::fromLatin1(url), part);
        parse(
            body("Joint { children [ Segment { children [ Inline { url \"" + url + "\" } ] } ] }"));
        const auto* segment = static_cast<const Segment*>(human.root->children.at(0));
        return segment->shape.get();
    }

    static QByteArray faceSet(const QByteArray& indices, const QByteArray& extra = "")
    {
        return "Shape {\n geometry IndexedFaceSet {\n" + extra +
               "  coord Coordinate { point [ 0 0 0, 1 0 0, 1 1 0, 0 1 0 ] }\n  coordIndex " +
               indices + "\n }\n}\n";
    }

    Triangles trianglesOf(const QByteArray& part, const QByteArray& url = "BParts/lod4/part.wrl")
    {
        const BodyPartShape* shape = shapeOf(part, url);
        if (!shape || shape->meshParts.empty())
            return {};
        return shape->meshParts.back().indices;
    }

    std::vector<QString> texts() const
    {
        std::vector<QString> result;
        for (const auto& shown : dialogs.messages)
            result.push_back(shown.caption + ": " + shown.text);
        return result;
    }

    QTemporaryDir dir;
    QString previous;
    RecordingDialogs dialogs;
    Human human;
};

Joint* joint(Node* node)
{
    return node && node->type == 0 ? static_cast<Joint*>(node) : nullptr;
}

} // namespace

TEST_F(VrmlTest, MissingFileNameOrFileIsReportedAndGivesZero)
{
    VrmlParser parser;
    EXPECT_EQ(parser.parseFile("", &human), 0);
    EXPECT_EQ(parser.parseFile(nullptr, &human), 0);
    EXPECT_EQ(parser.parseFile("absent.wrl", &human), 0);
    EXPECT_EQ(parser.parseFile(".", &human), 0) << "a folder is no humanoid file";
    EXPECT_EQ(texts(), (std::vector<QString>{"VRML Parser Error: No humanoid file assigned!",
                                             "VRML Parser Error: No humanoid file assigned!",
                                             "VRML Parser Error: Can't open humanoid file!",
                                             "VRML Parser Error: Can't open humanoid file!"}));
    EXPECT_EQ(dialogs.messages[0].kind, DialogSeam::Kind::About);
    EXPECT_EQ(dialogs.messages[0].parent, nullptr);
}

TEST_F(VrmlTest, EndOfTheBodyListEndsTheParseWithoutMessage)
{
    EXPECT_EQ(parse(body("Joint { name \"HumanoidRoot\" }") + "Humanoid { garbage"), 1);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(human.root);
    EXPECT_EQ(human.root->name, "HumanoidRoot");
}

TEST_F(VrmlTest, EndOfFileAtTopLevelIsSuccess)
{
    EXPECT_EQ(parse("#VRML V2.0 utf8\nTransform { children [ ] }\n"), 1);
    EXPECT_EQ(texts(), (std::vector<QString>{"VRML Parser: File parsed successfully"}));
    EXPECT_FALSE(human.root);
}

TEST_F(VrmlTest, ReadsTheHumanoidsQuotedFieldsAndInfo)
{
    parse("Humanoid {\n name \"Olmira\" version \"1.1\"\n"
          " info [ \"author=us\" \"copyright=ours\" ]\n humanoidBody [ ] }");
    EXPECT_EQ(human.name, "Olmira");
    EXPECT_EQ(human.version, "1.1");
    EXPECT_EQ(human.info, (std::vector<QString>{"", "author=us", "copyright=ours"}));
}

TEST_F(VrmlTest, PrototypesAreSkippedWholeAndDefStartsANode)
{
    parse("PROTO Humanoid [ field SFString name \"\" ] { Group { children [ ] } }\n"
          "PROTO Joint [ ] { Transform { } }\n"
          "DEF hanim_Humanoid Humanoid { humanoidBody [\n"
          " DEF hanim_HumanoidRoot Joint { name \"HumanoidRoot\"\n"
          "  children [ DEF hanim_l_hip Joint { name \"l_hip\" } USE hanim_l_hip ] } ] }");
    ASSERT_TRUE(human.root);
    EXPECT_EQ(human.root->name, "HumanoidRoot");
    ASSERT_EQ(human.root->children.size(), 1u);
    EXPECT_EQ(human.root->children[0]->name, "l_hip");
}

TEST_F(VrmlTest, JointFieldsAndAngles)
{
    parse(body("Joint { name \"l_knee\" translation 1 2 3 rotation 0 1 0 3.1415927\n"
               " scaleOrientation 0 0 1 1.5707964 center 0.1 0.5 -0.2\n"
               " limitOrientation 1 0 0 3.1415927 ulimit 1 2 3 llimit -1 -2 -3\n"
               " stiffness 0.5 0.25 0 }"));
    Joint* j = human.root.get();
    ASSERT_TRUE(j);
    EXPECT_EQ(j->name, "l_knee");
    EXPECT_EQ(std::vector<float>(j->translation, j->translation + 3),
              (std::vector<float>{1, 2, 3}));
    EXPECT_FLOAT_EQ(j->rotation[3], 180);
    EXPECT_EQ(std::vector<float>(j->scale, j->scale + 3), (std::vector<float>{1, 1, 1}))
        << "scaleOrientation is not scale";
    EXPECT_FLOAT_EQ(j->scaleOrientation[2], 1);
    EXPECT_NEAR(j->scaleOrientation[3], 90, 1e-4);
    EXPECT_FLOAT_EQ(j->center[2], -0.2f);
    EXPECT_FLOAT_EQ(j->limitOrientation[3], 180);
    EXPECT_FLOAT_EQ(j->ulimit[2], 3);
    EXPECT_FLOAT_EQ(j->llimit[1], -2);
    EXPECT_FLOAT_EQ(j->stiffness[1], 0.25f);

    Human other;
    write("scaled.wrl", body("Joint { scale 2 2 2 scaleOrientation 0 1 0 1 }"));
    VrmlParser().parseFile("scaled.wrl", &other);
    EXPECT_FLOAT_EQ(other.root->scale[1], 2);
    EXPECT_FLOAT_EQ(other.root->scaleOrientation[1], 1);
}

TEST_F(VrmlTest, NameIsTakenWholeEvenWhenItSpellsAField)
{
    parse(body("Joint { name \"center_children\" translation 1 2 3 }"));
    EXPECT_EQ(human.root->name, "center_children");
    EXPECT_FLOAT_EQ(human.root->translation[0], 1);
    EXPECT_FLOAT_EQ(human.root->center[0], 0);
}

TEST_F(VrmlTest, SiteSegmentAndNestedJoints)
{
    parse(body("Joint { name \"root\" children [\n"
               " Segment { name \"pelvis\" mass 3 centerOfMass 1 2 3 bboxCenter 4 5 6\n"
               "  bboxSize 7 8 9 children [ Site { name \"tip\" translation 1 0 0\n"
               "   rotation 0 1 0 3.1415927 } ] }\n"
               " Joint { name \"vl5\" } Site { name \"s\" } ] }"));
    Joint* root = human.root.get();
    ASSERT_EQ(root->children.size(), 3u);
    auto* segment = static_cast<Segment*>(root->children[0]);
    EXPECT_EQ(segment->type, 1);
    EXPECT_EQ(segment->name, "pelvis");
    EXPECT_FLOAT_EQ(segment->mass, 3);
    EXPECT_FLOAT_EQ(segment->centerOfMass[2], 3);
    EXPECT_FLOAT_EQ(segment->bboxCenter[0], 4);
    EXPECT_FLOAT_EQ(segment->bboxSize[1], 8);
    ASSERT_EQ(segment->children.size(), 1u);
    auto* site = static_cast<Site*>(segment->children[0]);
    EXPECT_EQ(site->type, 2);
    EXPECT_FLOAT_EQ(site->translation[0], 1);
    EXPECT_FLOAT_EQ(site->rotation[3], 180);
    EXPECT_EQ(root->children[1]->name, "vl5");
    EXPECT_EQ(root->children[1]->type, 0);
    EXPECT_EQ(root->children[2]->type, 2);
}

TEST_F(VrmlTest, BadNumberDiscardsTheNodeAndKeepsEarlierSiblings)
{
    parse(body("Joint { name \"root\" children [ Joint { name \"a\" }\n"
               " Joint { name \"b\" center 1 2 . } ] }"));
    EXPECT_EQ(texts(), (std::vector<QString>{"Syntax Error: Bad center parameters number"}));
    ASSERT_TRUE(human.root);
    ASSERT_EQ(human.root->children.size(), 1u);
    EXPECT_EQ(human.root->children[0]->name, "a");
}

TEST_F(VrmlTest, EveryNumberFieldNamesItselfWhenBad)
{
    const char* jointFields[] = {"translation",      "rotation", "scale",
                                 "scaleOrientation", "center",   "limitOrientation",
                                 "ulimit",           "llimit",   "stiffness"};
    for (const char* field : jointFields) {
        dialogs.messages.clear();
        parse(body(QByteArray("Joint { ") + field + " - }"));
        ASSERT_FALSE(dialogs.messages.empty()) << field;
        EXPECT_EQ(dialogs.messages[0].caption, "Syntax Error");
        EXPECT_EQ(dialogs.messages[0].text, QString("Bad %1 parameters number").arg(field));
        EXPECT_FALSE(human.root) << "a failed root leaves no root";
    }
    for (const char* field : {"mass", "centerOfMass", "bboxCenter", "bboxSize"}) {
        dialogs.messages.clear();
        parse(body(QByteArray("Joint { children [ Segment { ") + field + " + } ] }"));
        EXPECT_EQ(dialogs.messages.at(0).text, QString("Bad %1 parameters number").arg(field));
        EXPECT_TRUE(human.root->children.empty());
    }
}

TEST_F(VrmlTest, NumberSyntax)
{
    const BodyPartShape* shape = shapeOf("Shape {\ncoord Coordinate { point [ 0.5,-1e-2, 3 "
                                         "-.5 +2E1 .25 ] }\n}\n");
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->meshParts.at(0).vertices,
              (std::vector<float>{0.5f, -0.01f, 3, -0.5f, 20, 0.25f}));
    EXPECT_EQ(shape->meshParts[0].normals, std::vector<float>(6, 0.0f));
}

TEST_F(VrmlTest, FacesAreFannedAndFlippedOnce)
{
    EXPECT_EQ(trianglesOf(faceSet("[ 0 1 2 3 -1 ]")), (Triangles{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(trianglesOf(faceSet("[ 0 1 2 3 -1 ]"), "BParts/lod4/Mdl_left_leg.wrl"),
              (Triangles{2, 1, 0, 3, 2, 0}));
    EXPECT_EQ(trianglesOf(faceSet("[ 0 1 2 3 -1 ]", "  ccw FALSE\n")),
              (Triangles{2, 1, 0, 3, 2, 0}));
    EXPECT_EQ(
        trianglesOf(faceSet("[ 0 1 2 3 -1 ]", "  ccw FALSE\n"), "BParts/lod4/Mdl_left_foot.wrl"),
        (Triangles{2, 1, 0, 3, 2, 0}));
    EXPECT_EQ(trianglesOf(faceSet("[ 0 1 2 3 -1 ]"), "BParts/lod4/Mdl_left_hand.wrl"),
              (Triangles{0, 1, 2, 0, 2, 3}));
}

TEST_F(VrmlTest, ListsEndWithOrWithoutTheClosingMinusOne)
{
    for (const char* list : {"[0 1 2 -1]", "[0 1 2 -1 ]", "[0 1 2]", "[0 1 2 ]"})
        EXPECT_EQ(trianglesOf(faceSet(list)), (Triangles{0, 1, 2})) << list;
    EXPECT_EQ(trianglesOf(faceSet("[ 0 1 -1 2 3 1 -1 ]")), (Triangles{2, 3, 1}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(VrmlTest, NormalsAreAreaWeightedAndUnitLength)
{
    const BodyPartShape* shape =
        shapeOf("Shape {\ncoord Coordinate { point [ 0 0 0, 2 0 0, 0 2 0, 0 0 1 ] }\n"
                "coordIndex [ 0 1 2 -1 0 3 1 -1 ]\n}\n");
    ASSERT_TRUE(shape);
    const std::vector<float>& n = shape->meshParts.at(0).normals;
    // Vertex 0 and 1 share the big triangle facing +Z (area 2) and the small one facing +Y
    // (area 1): the sum (0, 2, 4) normalised.
    EXPECT_NEAR(n[0], 0, 1e-6);
    EXPECT_NEAR(n[1], 2 / std::sqrt(20.0), 1e-6);
    EXPECT_NEAR(n[2], 4 / std::sqrt(20.0), 1e-6);
    EXPECT_NEAR(n[8], 1, 1e-6) << "vertex 2 only in the +Z triangle";
    EXPECT_NEAR(n[10], 1, 1e-6) << "vertex 3 only in the +Y triangle";
}

TEST_F(VrmlTest, MaterialTransformAndTheSecondScale)
{
    const BodyPartShape* shape = shapeOf(
        "Transform {\n translation 1 2 3\n rotation 0 0 1 3.1415927\n scale 2 3 4\n"
        " children [ Shape {\n  appearance Appearance {\n"
        "   material Material { ambientIntensity 0.5\n shininess 0.7\n transparency 0.25\n"
        "    diffuseColor 0.1 0.2 0.3\n specularColor 0.4 0.5 0.6\n emissiveColor 0.7 0.8 0.9 }\n"
        "   textureTransform TextureTransform { scale 9 9 }\n   texture Image { }\n  }\n"
        "  geometry IndexedFaceSet {\n   coord Coordinate { point [ 0 0 0 1 0 0 0 1 0 ] }\n"
        "   texCoord TextureCoordinate { point [ 5 5, 6 6 ] }\n"
        "   texCoordIndex [ 0 1 -1 ]\n   coordIndex [ 0 1 2 ]\n  }\n }\n"
        " scale 8 8 8\n ] }\n");
    ASSERT_TRUE(shape);
    EXPECT_FLOAT_EQ(shape->translation[2], 3);
    EXPECT_FLOAT_EQ(shape->rotation[3], 180);
    EXPECT_EQ(std::vector<float>(shape->scale, shape->scale + 3), (std::vector<float>{2, 3, 4}));
    EXPECT_FLOAT_EQ(shape->ambientIntensity, 0.5f);
    EXPECT_FLOAT_EQ(shape->shininess, 0.7f);
    EXPECT_FLOAT_EQ(shape->transparency, 0.25f);
    EXPECT_FLOAT_EQ(shape->diffuseColor[2], 0.3f);
    EXPECT_FLOAT_EQ(shape->specularColor[0], 0.4f);
    EXPECT_FLOAT_EQ(shape->emissiveColor[1], 0.8f);
    ASSERT_EQ(shape->meshParts.size(), 1u);
    EXPECT_EQ(shape->meshParts[0].vertices, (std::vector<float>{0, 0, 0, 1, 0, 0, 0, 1, 0}))
        << "texture coordinates are not vertices";
    EXPECT_EQ(shape->meshParts[0].indices, (Triangles{0, 1, 2}));
}

TEST_F(VrmlTest, BadBodyPartListsAreReportedWithTheirCounts)
{
    const BodyPartShape* shape = shapeOf("Shape {\ncoord Coordinate { point [ 1 2 3 4 . ] }\n}");
    EXPECT_FALSE(shape);
    EXPECT_EQ(dialogs.messages.at(0).caption, "BParts/lod4/part.wrl");
    EXPECT_EQ(dialogs.messages.at(0).text, "4 vertices read. \nBad Coordinate parameters!");

    dialogs.messages.clear();
    EXPECT_FALSE(shapeOf(faceSet("[ 0 1 2 3 -1 2 - ]")));
    EXPECT_EQ(dialogs.messages.at(0).text, "6 vertices read. \nBad coordIndex parameters!");

    dialogs.messages.clear();
    EXPECT_FALSE(shapeOf("Material { diffuseColor 1 1\n"));
    EXPECT_EQ(dialogs.messages.at(0).text, "Bad diffuseColor parameters number")
        << "a field cut off by the end of the file is bad";
}

TEST_F(VrmlTest, ListsBeforeAnyShapeAreReportedAndReadingGoesOn)
{
    const BodyPartShape* shape =
        shapeOf("coord Coordinate { point [ 1 2 3 ] }\n" + faceSet("[ 0 1 2 ]"));
    ASSERT_TRUE(shape);
    EXPECT_EQ(dialogs.messages.at(0).text, "No shape is created!");
    EXPECT_EQ(shape->meshParts.at(0).indices, (Triangles{0, 1, 2}));
}

TEST_F(VrmlTest, IndexOutsideTheVerticesRejectsThePartSilently)
{
    for (const char* list : {"[ 0 1 4 ]", "[ 0 -2 1 ]", "[ 0 1 3e9 ]", "[ 0 1 -3e9 ]"}) {
        dialogs.messages.clear();
        EXPECT_FALSE(shapeOf(faceSet(list))) << list;
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(VrmlTest, OpenDevicesReadAsTheirFilesWould)
{
    write("BParts/lod4/part.wrl", faceSet("[ 0 1 2 3 -1 ]"));
    QBuffer humanoid;
    humanoid.setData(body("Joint { name \"root\" children [ Segment { children [\n"
                          " Inline { url \"BParts/lod4/part.wrl\" } ] } ] }"));
    humanoid.open(QIODevice::ReadOnly);
    VrmlParser parser;
    EXPECT_EQ(parser.parse(humanoid, &human), 1);
    ASSERT_TRUE(human.root);
    const auto* segment = static_cast<const Segment*>(human.root->children.at(0));
    ASSERT_TRUE(segment->shape) << "Inline urls still name files";
    EXPECT_EQ(segment->shape->meshParts.at(0).indices, (Triangles{0, 1, 2, 0, 2, 3}));

    // A body part alone is wound and reported as through an Inline node naming the url.
    for (const QByteArray& part : {faceSet("[ 0 1 2 3 -1 ]"), faceSet("[ 0 1 - ]")}) {
        dialogs.messages.clear();
        const Triangles expected = trianglesOf(part, "BParts/lod4/Mdl_left_leg.wrl");
        const std::vector<QString> shown = texts();
        dialogs.messages.clear();
        QBuffer device;
        device.setData(part);
        device.open(QIODevice::ReadOnly);
        const std::unique_ptr<BodyPartShape> shape(
            parser.parseBodyPart(device, "BParts/lod4/Mdl_left_leg.wrl"));
        EXPECT_EQ(shape ? shape->meshParts.at(0).indices : Triangles{}, expected);
        EXPECT_EQ(texts(), shown);
    }
}

TEST_F(VrmlTest, SegmentWithSiteThenMissingInline)
{
    parse(body("Joint { children [ Segment { children [ Site { name \"s\" }\n"
               " Inline { url \"BParts/lod4/absent.wrl\" } ] } Joint { name \"next\" } ] }"));
    ASSERT_EQ(human.root->children.size(), 2u);
    auto* segment = static_cast<Segment*>(human.root->children[0]);
    ASSERT_EQ(segment->children.size(), 1u);
    EXPECT_EQ(segment->children[0]->name, "s");
    ASSERT_TRUE(segment->shape);
    EXPECT_TRUE(segment->shape->meshParts.empty());
    EXPECT_EQ(dialogs.messages.at(0).caption, "VRML Parser Error");
    EXPECT_EQ(dialogs.messages.at(0).text, "BParts/lod4/absent.wrl");
    EXPECT_EQ(human.root->children[1]->name, "next");
}

TEST_F(VrmlTest, BrokenOrEmptyBodyPartsLeaveTheNestingIntact)
{
    write("BParts/lod4/bad.wrl", "Shape {\ncoord Coordinate { point [ x. ] }\n}\n");
    for (const QByteArray& url : {QByteArray("BParts/lod4/bad.wrl"), QByteArray("")}) {
        parse(body("Joint { name \"root\" children [ Joint { name \"hip\" children [\n"
                   " Segment { children [ Inline { url \"" +
                   url +
                   "\" } ] }\n"
                   " Joint { name \"knee\" } ] } Joint { name \"spine\" } ] }"));
        ASSERT_EQ(human.root->children.size(), 2u) << url.constData();
        Joint* hip = joint(human.root->children[0]);
        ASSERT_TRUE(hip);
        ASSERT_EQ(hip->children.size(), 2u);
        EXPECT_EQ(hip->children[1]->name, "knee");
        EXPECT_EQ(human.root->children[1]->name, "spine");
    }
}

TEST_F(VrmlTest, LongUrlIsCut)
{
    const QByteArray longUrl(5000, 'u');
    parse(body("Joint { children [ Segment { children [ Inline { url \"" + longUrl +
               "\" } ] } Joint { name \"after\" } ] }"));
    EXPECT_EQ(dialogs.messages.at(0).text, QString(VrmlParser::maxUrlLength, 'u'));
    ASSERT_EQ(human.root->children.size(), 2u);
    EXPECT_EQ(human.root->children[1]->name, "after");
}

TEST_F(VrmlTest, EndOfFileInsideANameOrCommentIsSuccess)
{
    EXPECT_EQ(parse("Humanoid { humanoidBody [ Joint { name \"l_kn"), 1);
    EXPECT_EQ(human.root->name, "l_kn");
    EXPECT_EQ(parse("Humanoid { humanoidBody [ Joint { name \"x\" } # a comment"), 1);
    EXPECT_EQ(texts(), std::vector<QString>(2, "VRML Parser: File parsed successfully"));
}

TEST_F(VrmlTest, CommentsAreSkippedAnywhere)
{
    parse(body("Joint { # center 9 9 9\n name \"l_#x\nknee\" center 1 2 3 }"));
    EXPECT_EQ(human.root->name, "l_knee");
    EXPECT_FLOAT_EQ(human.root->center[0], 1);
}

TEST_F(VrmlTest, DeepNestingIsCutAndNodesAreBounded)
{
    QByteArray deep = "Joint { name \"j\" children [ ";
    QByteArray text;
    for (int i = 0; i < 5000; ++i)
        text += deep;
    EXPECT_EQ(parse(body(text)), 1);
    int depth = 0;
    for (Node* node = human.root.get(); node;
         node = node->children.empty() ? nullptr : node->children[0])
        ++depth;
    EXPECT_EQ(depth, VrmlParser::maxDepth);

    QByteArray wide = "Joint { children [ ";
    for (int i = 0; i < VrmlParser::maxNodes + 10; ++i)
        wide += "Site { } ";
    parse(body(wide + "] }"));
    EXPECT_EQ(human.root->children.size(), size_t(VrmlParser::maxNodes - 1));
}

TEST_F(VrmlTest, EveryTruncationOfAFileParses)
{
    write("BParts/lod4/p.wrl",
          "Transform { scale 1 1 1 children [ Shape {\n"
          "appearance Appearance { material Material { diffuseColor 1 0 0 } }\n"
          "geometry IndexedFaceSet { ccw TRUE\n"
          "coord Coordinate { point [ 0 0 0, 1 0 0, 0 1 0, 1 1 0 ] }\n"
          "coordIndex [ 0 1 2 -1 1 3 2 -1 ] } } ] }\n");
    const QByteArray full =
        "#VRML V2.0 utf8\nPROTO Joint [ ] { }\nDEF h Humanoid { name \"n\" version \"1.1\" "
        "info [ \"i\" ] humanoidBody [ DEF r Joint { name \"HumanoidRoot\" center 0 1 0 "
        "rotation 0 1 0 1 children [ Segment { name \"s\" mass 1 children [ Site { } Inline { "
        "url \"BParts/lod4/p.wrl\" } ] } Joint { name \"vl5\" ulimit 1 1 1 } ] } ] }\n";
    for (int length = 0; length <= full.size(); ++length) {
        Human h;
        write("cut.wrl", full.left(length));
        EXPECT_EQ(VrmlParser().parseFile("cut.wrl", &h), 1);
    }
}
