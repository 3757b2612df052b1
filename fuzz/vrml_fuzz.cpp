// The VRML loader on any humanoid file, or, built with FUZZ_BODY_PART, on any body-part file
// inlined by a fixed humanoid file.
#include "fuzz/silentdialogs.h"
#include "humanoid/human.h"
#include "humanoid/vrmlparser.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Draws nothing, but walks every mesh so that a count larger than its array is caught.
float touchMeshes(const Node& node)
{
    float sum = 0;
    if (node.type == 1)
        if (const BodyPartShape* shape = static_cast<const Segment&>(node).shape.get())
            for (const MeshPart& part : shape->meshParts)
                for (int index : part.indices)
                    sum += part.vertices.at(3 * size_t(index) + 2) +
                           part.normals.at(3 * size_t(index));
    for (const Node* child : node.children)
        sum += touchMeshes(*child);
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static SilentDialogs silent;
    static QTemporaryDir dir;
    const QByteArray input(reinterpret_cast<const char*>(bytes), qsizetype(size));
#ifdef FUZZ_BODY_PART
    const QString part = dir.filePath("part.wrl");
    const QString path = dir.filePath("human.wrl");
    if (!writeFile(part, input) ||
        !writeFile(path, "Humanoid { humanoidBody [ Joint { children [ Segment { children [ "
                         "Inline { url \"" +
                             QFile::encodeName(part) + "\" } ] } ] } ] }"))
        return 0;
#else
    const QString path = dir.filePath("human.wrl");
    if (!writeFile(path, input))
        return 0;
#endif
    Human human;
    VrmlParser parser;
    parser.parseFile(QFile::encodeName(path).constData(), &human);
    if (human.root)
        (void)touchMeshes(*human.root);
    return 0;
}
