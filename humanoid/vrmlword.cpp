#include "humanoid/vrmlword.h"

#include <array>
#include <vector>

namespace {

constexpr const char* keywordTexts[VrmlWord::KeywordCount] = {"PROTO",
                                                              "Humanoid",
                                                              "version",
                                                              "name",
                                                              "info",
                                                              "humanoidBody",
                                                              "Joint",
                                                              "Segment",
                                                              "Site",
                                                              "Inline",
                                                              "translation",
                                                              "rotation",
                                                              "scale",
                                                              "scaleOrientation",
                                                              "center",
                                                              "limitOrientation",
                                                              "ulimit",
                                                              "llimit",
                                                              "stiffness",
                                                              "children",
                                                              "mass",
                                                              "centerOfMass",
                                                              "bboxCenter",
                                                              "bboxSize",
                                                              "ambientIntensity",
                                                              "shininess",
                                                              "transparency",
                                                              "diffuseColor",
                                                              "specularColor",
                                                              "emissiveColor",
                                                              "TextureTransform",
                                                              "TextureCoordinate",
                                                              "texCoordIndex",
                                                              "Shape",
                                                              "Coordinate",
                                                              "ccw",
                                                              "coordIndex",
                                                              "FALSE",
                                                              "TRUE"};

// The keywords by their last character: only those can be completed by a new character.
const std::array<std::vector<VrmlWord::Keyword>, 256>& keywordsEndingIn()
{
    static const auto table = [] {
        std::array<std::vector<VrmlWord::Keyword>, 256> byLast;
        for (int k = 0; k < VrmlWord::KeywordCount; ++k) {
            const QByteArray keyword(keywordTexts[k]);
            byLast[uchar(keyword.back())].push_back(VrmlWord::Keyword(k));
        }
        return byLast;
    }();
    return table;
}

} // namespace

const char* VrmlWord::text(Keyword keyword)
{
    return keywordTexts[keyword];
}

void VrmlWord::append(char c)
{
    chars.append(c);
    for (Keyword keyword : keywordsEndingIn()[uchar(c)])
        if (endsWith(keyword))
            held |= bit(keyword);
}

void VrmlWord::clear()
{
    chars.clear();
    held = 0;
}
