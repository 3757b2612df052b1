#pragma once

#include <QByteArray>
#include <cstdint>

// The VRML reader's current word: the characters gathered since it was last cleared. Which
// keywords it holds is updated as each character arrives, so that testing a long word costs no
// more than testing a short one.
class VrmlWord
{
public:
    enum Keyword
    {
        Proto,
        Humanoid,
        Version,
        Name,
        Info,
        HumanoidBody,
        JointNode,
        SegmentNode,
        SiteNode,
        InlineNode,
        Translation,
        Rotation,
        Scale,
        ScaleOrientation,
        Center,
        LimitOrientation,
        Ulimit,
        Llimit,
        Stiffness,
        Children,
        Mass,
        CenterOfMass,
        BboxCenter,
        BboxSize,
        AmbientIntensity,
        Shininess,
        Transparency,
        DiffuseColor,
        SpecularColor,
        EmissiveColor,
        TextureTransform,
        TextureCoordinate,
        TexCoordIndex,
        ShapeNode,
        Coordinate,
        Ccw,
        CoordIndex,
        False,
        True,
        KeywordCount
    };

    static const char* text(Keyword keyword);

    void append(char c);
    void clear();
    // Whether the keyword occurs in the word (case-sensitive).
    bool holds(Keyword keyword) const { return held & bit(keyword); }
    // Whether the word's last characters are the keyword.
    bool endsWith(Keyword keyword) const { return chars.endsWith(text(keyword)); }
    // Treats the keyword as not held until it occurs again.
    void forget(Keyword keyword) { held &= ~bit(keyword); }
    const QByteArray& characters() const { return chars; }

private:
    static_assert(KeywordCount <= 64, "one bit per keyword");
    static uint64_t bit(Keyword keyword) { return uint64_t(1) << keyword; }

    QByteArray chars;
    uint64_t held = 0;
};
