// The VRML loader on any humanoid file, or, built with FUZZ_BODY_PART, on any body-part file.
#include "fuzz/silentdialogs.h"
#include "humanoid/bodypartshape.h"
#include "humanoid/human.h"
#include "humanoid/vrmlparser.h"

#include <QApplication>
#include <QBuffer>
#include <cstdint>
#include <memory>

namespace {

// Draws nothing, but walks every mesh so that a count larger than its array is caught.
float touchMeshes(const BodyPartShape& shape)
{
    float sum = 0;
    for (const MeshPart& part : shape.meshParts)
        for (int index : part.indices)
            sum += part.vertices.at(3 * size_t(index) + 2) + part.normals.at(3 * size_t(index));
    return sum;
}

#ifndef FUZZ_BODY_PART
float touchMeshes(const Node& node)
{
    float sum = 0;
    if (node.type == 1)
        if (const BodyPartShape* shape = static_cast<const Segment&>(node).shape.get())
            sum += touchMeshes(*shape);
    for (const Node* child : node.children)
        sum += touchMeshes(*child);
    return sum;
}
#endif

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
    QBuffer input;
    input.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size)));
    input.open(QIODevice::ReadOnly);
    VrmlParser parser;
#ifdef FUZZ_BODY_PART
    // Read as the humanoid file's Inline node for a clockwise left body part would.
    const std::unique_ptr<BodyPartShape> shape(
        parser.parseBodyPart(input, "BParts/lod4/Mdl_left_leg.wrl"));
    if (shape)
        (void)touchMeshes(*shape);
#else
    Human human;
    parser.parse(input, &human);
    if (human.root)
        (void)touchMeshes(*human.root);
#endif
    return 0;
}
