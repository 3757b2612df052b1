#include "kit/drumbody.h"

#include "kit/bodytypes.h"
#include "scene/material.h"
#include "scene/tgaimage.h"

#include <GL/glu.h>
#include <cmath>

namespace {

const char* const textureFiles[DrumBody::textureCount] = {
    "Textures/brushgd22.tga", "Textures/kick12.tga",     "Textures/tom2.tga",
    "Textures/snare1.tga",    "Textures/styrofoa22.tga", "Textures/brushgd32.tga",
    "Textures/tom2.tga",      "Textures/ride12.tga",     "Textures/vinylwev.tga",
};

// The texture slots that the lists bind (5 and 6 are loaded but unused).
enum Texture
{
    ShellTexture = 0,
    KickHeadTexture = 1,
    HeadTexture = 2,
    SnareHeadTexture = 3,
    HardwareTexture = 4,
    CymbalTexture = 7,
    VinylTexture = 8,
};

using namespace DrumList;

// The chair first, the rides before the crashes.
const int compileOrder[DrumBody::listCount] = {
    Chair,           KickShell,      Snare,      FirstTom,       FirstTom + 1,    FirstTom + 2,
    FirstTom + 3,    LastTom,        FloorTom,   FirstRide,      LastRide,        FirstCrash,
    FirstCrash + 1,  FirstCrash + 2, LastCrash,  UpperHiHat,     LowerCymbal,     SnareStand,
    KickPedal,       KickFootboard,  KickBeater, TomHolder,      DoubleTomHolder, CymbalStandBase,
    CymbalStandBoom, CymbalHolder,   HiHatStand, HiHatFootboard, HiHatPullRod,    FloorTomLegs};

constexpr int fineSlices = 25; // kick, snare and floor tom shells and heads; cymbals
constexpr int tomSlices = 20;
constexpr int beaterHeadSlices = 15;
constexpr int coarseSlices = 10; // rods, legs, spheres, the chair
constexpr int stacks = 5;
constexpr int loops = 5;

const Material chromeMaterial = {
    {0.25f, 0.25f, 0.25f, 1}, {0.4f, 0.4f, 0.4f, 1}, {0.7746f, 0.7746f, 0.7746f, 1}, 76.8f};
const Material bronzeMaterial = {{0.2294f, 0.2235f, 0.2275f, 1},
                                 {0.5804f, 0.5686f, 0.5537f, 1},
                                 {0.9721f, 0.9412f, 0.9778f, 1},
                                 120.89f};

void apply(const Material& material)
{
    applyMaterial(GL_FRONT_AND_BACK, material);
}

// Quadrics run along local +Z; these point it up, down or back along itself.
void turnUp()
{
    glRotatef(-90, 1, 0, 0);
}

void turnDown()
{
    glRotatef(90, 1, 0, 0);
}

void faceBack()
{
    glRotatef(180, 1, 0, 0);
}

struct Corner
{
    GLfloat x, y, z;
};

void faceNormal(const Corner& a, const Corner& b, const Corner& c, const Corner& d)
{
    // The cross product of the diagonals is normal to a flat quad and follows its winding.
    const GLfloat u[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
    const GLfloat v[3] = {d.x - b.x, d.y - b.y, d.z - b.z};
    GLfloat n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                    u[0] * v[1] - u[1] * v[0]};
    const GLfloat length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    glNormal3f(n[0] / length, n[1] / length, n[2] / length);
}

// A six-faced solid: corners 0-3 are the lower face and 4-7 the upper one, each in the order
// (low x, low z), (high x, low z), (high x, high z), (low x, high z). Faces wind outward, and
// every face carries texture coordinates 0..1 over its corners.
void hexahedron(const Corner (&corner)[8])
{
    static const int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                    {3, 2, 6, 7}, {0, 3, 7, 4}, {1, 5, 6, 2}};
    static const GLfloat texCoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    glBegin(GL_QUADS);
    for (const auto& face : faces) {
        faceNormal(corner[face[0]], corner[face[1]], corner[face[2]], corner[face[3]]);
        for (int k = 0; k < 4; ++k) {
            const Corner& c = corner[face[k]];
            glTexCoord2fv(texCoords[k]);
            glVertex3f(c.x, c.y, c.z);
        }
    }
    glEnd();
}

void box(GLfloat x0, GLfloat x1, GLfloat y0, GLfloat y1, GLfloat z0, GLfloat z1)
{
    hexahedron({{x0, y0, z0},
                {x1, y0, z0},
                {x1, y0, z1},
                {x0, y0, z1},
                {x0, y1, z0},
                {x1, y1, z0},
                {x1, y1, z1},
                {x0, y1, z1}});
}

// A side post of the kick pedal: its foot spans z 0..0.1, its top z 0.05..0.1 at height 0.2.
void pedalPost(GLfloat x0, GLfloat x1)
{
    hexahedron({{x0, 0, 0},
                {x1, 0, 0},
                {x1, 0, 0.1f},
                {x0, 0, 0.1f},
                {x0, 0.2f, 0.05f},
                {x1, 0.2f, 0.05f},
                {x1, 0.2f, 0.1f},
                {x0, 0.2f, 0.1f}});
}

struct Leg
{
    double startRadius, endRadius, length;
};

struct Cymbal
{
    double radius, height, bellRadius, bellHeight;
};

const DrumShell kickShell = {{0, 0.28f, 0}, true, 0.28f, 0.5f};
const DrumShell snareShell = {{0, 0, 0}, false, 0.1778f, 0.1651f};
// A tom hangs below and in front of its mount.
const DrumShell tomShells[5] = {{{0, -0.09f, 0.2016f}, false, 0.1016f, 0.18f},
                                {{0, -0.105f, 0.227f}, false, 0.127f, 0.21f},
                                {{0, -0.127f, 0.2524f}, false, 0.1524f, 0.254f},
                                {{0, -0.14f, 0.2651f}, false, 0.1651f, 0.2794f},
                                {{0, -0.152f, 0.2778f}, false, 0.1778f, 0.3048f}};
const DrumShell floorTomShell = {{0, 0, 0}, false, 0.2032f, 0.4064f};

const Cymbal crashes[4] = {{0.2032, 0.02, 0.05, 0.03},
                           {0.2159, 0.02, 0.05, 0.03},
                           {0.2286, 0.02, 0.05, 0.03},
                           {0.2413, 0.02, 0.05, 0.03}};
const Cymbal rides[2] = {{0.254, 0.03, 0.07, 0.04}, {0.2667, 0.03, 0.07, 0.04}};
const Cymbal hiHatCymbal = {0.1778, 0.02, 0.1, 0.02};

// Compiles the drawing of each list with one shared quadric.
class ListBuilder
{
public:
    explicit ListBuilder(const GLuint* textures) : textures(textures), quadric(gluNewQuadric())
    {
        gluQuadricDrawStyle(quadric, GLU_FILL);
        gluQuadricNormals(quadric, GLU_SMOOTH);
        gluQuadricTexture(quadric, GL_TRUE);
    }
    ListBuilder(const ListBuilder&) = delete;
    ListBuilder& operator=(const ListBuilder&) = delete;
    ~ListBuilder() { gluDeleteQuadric(quadric); }

    // Every list leaves the matrix as it found it; its material and texture stay set.
    void compile(GLuint list, int number)
    {
        glNewList(list, GL_COMPILE);
        glPushMatrix();
        draw(number);
        glPopMatrix();
        glEndList();
    }

private:
    void draw(int number)
    {
        if (number >= FirstTom && number <= LastTom)
            return tom(tomShells[number - FirstTom]);
        if (number >= FirstCrash && number <= LastCrash)
            return hangingCymbal(crashes[number - FirstCrash]);
        if (number >= FirstRide && number <= LastRide)
            return hangingCymbal(rides[number - FirstRide]);
        switch (number) {
        case KickShell:
            return kickDrum();
        case Snare:
            return snareDrum();
        case FloorTom:
            return floorTom();
        case UpperHiHat:
            return upperHiHat();
        case LowerCymbal:
            return lowerHiHat();
        case SnareStand:
            return snareStand();
        case KickPedal:
            return kickPedalBase();
        case KickFootboard:
        case HiHatFootboard:
            return footboard();
        case KickBeater:
            return beater();
        case TomHolder:
            return tomHolder();
        case DoubleTomHolder:
            return doubleTomHolder();
        case CymbalStandBase:
            return cymbalStandBase();
        case CymbalStandBoom:
            return cymbalStandBoom();
        case CymbalHolder:
            return cymbalHolder();
        case HiHatStand:
            return hiHatStand();
        case HiHatPullRod:
            return pullRod();
        case FloorTomLegs:
            return floorTomLegs();
        case Chair:
            return chair();
        }
    }

    void bind(Texture texture) { glBindTexture(GL_TEXTURE_2D, textures[texture]); }

    void cylinder(double startRadius, double endRadius, double length, int slices)
    {
        gluCylinder(quadric, startRadius, endRadius, length, slices, stacks);
    }

    void rod(double radius, double length) { cylinder(radius, radius, length, coarseSlices); }

    void disk(double radius, int slices) { gluDisk(quadric, 0, radius, slices, loops); }

    void diskFacingBack(double radius, int slices)
    {
        glPushMatrix();
        faceBack();
        disk(radius, slices);
        glPopMatrix();
    }

    void diskAt(GLfloat z, double radius, int slices)
    {
        glPushMatrix();
        glTranslatef(0, 0, z);
        disk(radius, slices);
        glPopMatrix();
    }

    void sphere(double radius) { gluSphere(quadric, radius, coarseSlices, stacks); }

    // Three legs around the local Z axis, each tilted away from it.
    void tripodLegs(GLfloat tilt, const Leg (&legs)[3])
    {
        static const GLfloat turns[3] = {0, 120, -120};
        for (int i = 0; i < 3; ++i) {
            glPushMatrix();
            glRotatef(turns[i], 0, 0, 1);
            glRotatef(tilt, 1, 0, 0);
            cylinder(legs[i].startRadius, legs[i].endRadius, legs[i].length, coarseSlices);
            glPopMatrix();
        }
    }

    // The snare stand and the chair: a column down from the top, a joint, three legs.
    void stand(GLfloat height, double columnLength, GLfloat jointAt)
    {
        static const Leg legs[3] = {{0.005, 0.008, 0.3}, {0.005, 0.008, 0.3}, {0.01, 0.008, 0.3}};
        glTranslatef(0, height, 0);
        turnDown();
        cylinder(0.005, 0.008, columnLength, coarseSlices);
        glTranslatef(0, 0, jointAt);
        sphere(0.017);
        tripodLegs(40, legs);
    }

    // The legs of the cymbal stand and the hi-hat stand, on a turned-down frame.
    void longLegs()
    {
        static const Leg legs[3] = {{0.005, 0.005, 0.4}, {0.005, 0.005, 0.4}, {0.005, 0.005, 0.4}};
        tripodLegs(45, legs);
    }

    void kickDrum()
    {
        KitMaterial::chrome();
        bind(ShellTexture);
        glPushMatrix();
        toBottom(kickShell);
        cylinder(kickShell.radius, kickShell.radius, kickShell.depth, fineSlices);
        KitMaterial::matte();
        bind(HeadTexture);
        diskFacingBack(kickShell.radius, fineSlices);
        bind(KickHeadTexture);
        diskAt(kickShell.depth, kickShell.radius, fineSlices);
        glPopMatrix();
        bind(HardwareTexture);
        kickSpur(0.3f, -45);
        kickSpur(-0.3f, 45);
    }

    // A spur stands on its point on the floor and leans into the shell.
    void kickSpur(GLfloat x, GLfloat turn)
    {
        glPushMatrix();
        glTranslatef(x, 0, 0);
        glRotatef(-45, 1, 0, 0);
        glRotatef(turn, 0, 1, 0);
        glRotatef(-45, 0, 0, 1);
        cylinder(0, 0.005, 0.3, coarseSlices);
        glPopMatrix();
    }

    void snareDrum()
    {
        KitMaterial::chrome();
        bind(ShellTexture);
        toBottom(snareShell);
        cylinder(snareShell.radius, snareShell.radius, snareShell.depth, fineSlices);
        KitMaterial::matte();
        bind(SnareHeadTexture);
        diskAt(snareShell.depth, snareShell.radius, fineSlices);
        bind(HeadTexture);
        diskFacingBack(snareShell.radius, fineSlices);
    }

    // Moves to the centre of the shell's bottom head and turns local +Z up the shell.
    static void toBottom(const DrumShell& shell)
    {
        glTranslatef(shell.bottom[0], shell.bottom[1], shell.bottom[2]);
        if (!shell.alongZ)
            turnUp();
    }

    // Shell, bottom head, then top head.
    void shellWithHeads(const DrumShell& shell, int slices)
    {
        bind(ShellTexture);
        toBottom(shell);
        cylinder(shell.radius, shell.radius, shell.depth, slices);
        KitMaterial::matte();
        bind(HeadTexture);
        diskFacingBack(shell.radius, slices);
        diskAt(shell.depth, shell.radius, slices);
    }

    void tom(const DrumShell& shell)
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        rod(0.01, 0.25);
        shellWithHeads(shell, tomSlices);
    }

    void floorTom()
    {
        KitMaterial::chrome();
        shellWithHeads(floorTomShell, fineSlices);
    }

    // Body, underside and bell of a cymbal on the current frame, opening toward local -Z.
    void cymbalParts(const Cymbal& cymbal, bool matteUnderside)
    {
        cylinder(cymbal.radius, cymbal.bellRadius, cymbal.height, fineSlices);
        if (matteUnderside)
            KitMaterial::matte();
        diskFacingBack(cymbal.radius, fineSlices);
        if (matteUnderside)
            KitMaterial::bronze();
        glPushMatrix();
        glTranslatef(0, 0, GLfloat(cymbal.height));
        cylinder(cymbal.bellRadius, 0, cymbal.bellHeight, fineSlices);
        glPopMatrix();
    }

    void hangingCymbal(const Cymbal& cymbal)
    {
        KitMaterial::bronze();
        bind(CymbalTexture);
        turnUp();
        cymbalParts(cymbal, false);
    }

    void upperHiHat()
    {
        turnUp();
        bind(CymbalTexture);
        KitMaterial::bronze();
        cymbalParts(hiHatCymbal, true);
    }

    void lowerHiHat()
    {
        KitMaterial::bronze();
        bind(CymbalTexture);
        turnDown();
        cymbalParts(hiHatCymbal, true);
    }

    void snareStand()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        stand(0.6f, 0.4, 0.37f);
    }

    void kickPedalBase()
    {
        KitMaterial::matte();
        bind(HardwareTexture);
        box(-0.05f, 0.05f, 0, 0.01f, 0, 0.4f);
        pedalPost(-0.06f, -0.05f);
        pedalPost(0.05f, 0.06f);
        glTranslatef(-0.05f, 0.15f, 0.07f);
        glRotatef(90, 0, 1, 0);
        rod(0.01, 0.1);
    }

    // Turned to reach from its hinge toward -Z.
    void footboard()
    {
        KitMaterial::matte();
        bind(VinylTexture);
        glRotatef(180, 0, 1, 0);
        box(-0.05f, 0.05f, 0, 0.01f, 0, 0.3f);
    }

    void beater()
    {
        KitMaterial::matte();
        bind(HardwareTexture);
        turnUp();
        rod(0.005, 0.2);
        glTranslatef(0, 0, 0.2f);
        bind(VinylTexture);
        rod(0.03, 0.04);
        diskFacingBack(0.03, beaterHeadSlices);
        diskAt(0.04f, 0.03, beaterHeadSlices);
    }

    void tomHolder()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        turnUp();
        rod(0.01, 0.3);
        glTranslatef(0, 0, 0.3f);
        sphere(0.015);
    }

    void doubleTomHolder()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        turnUp();
        rod(0.01, 0.15);
        glTranslatef(0, 0, 0.15f);
        glPushMatrix();
        glTranslatef(-0.15f, 0, 0);
        glRotatef(90, 0, 1, 0);
        rod(0.01, 0.3);
        glPopMatrix();
        for (GLfloat x : {-0.15f, 0.15f}) {
            glPushMatrix();
            glTranslatef(x, 0, 0);
            sphere(0.015);
            rod(0.01, 0.2);
            glTranslatef(0, 0, 0.2f);
            sphere(0.015);
            glPopMatrix();
        }
    }

    void cymbalStandBase()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        glTranslatef(0, 0.88f, 0);
        turnDown();
        cylinder(0.005, 0.005, 0.6, coarseSlices);
        glTranslatef(0, 0, 0.6f);
        sphere(0.015);
        longLegs();
    }

    void cymbalStandBoom()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        glPushMatrix();
        glTranslatef(0, 0, -0.35f);
        rod(0.01, 0.1);
        disk(0.005, coarseSlices);
        glPopMatrix();
        glTranslatef(0, 0, -0.3f);
        disk(0.005, coarseSlices);
        rod(0.005, 0.6);
    }

    void cymbalHolder()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        sphere(0.015);
        turnUp();
        rod(0.005, 0.1);
    }

    void hiHatStand()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        glPushMatrix();
        turnUp();
        rod(0.007, 0.8);
        glPopMatrix();
        glPushMatrix();
        glTranslatef(0, 0.27f, 0);
        turnDown();
        longLegs();
        glPopMatrix();
        KitMaterial::matte();
        bind(HardwareTexture);
        box(-0.05f, 0.05f, 0, 0.01f, 0, 0.3f);
    }

    void pullRod()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        turnUp();
        rod(0.005, 0.9);
    }

    void floorTomLegs()
    {
        static const GLfloat turns[3] = {0, 120, -120};
        static const double lengths[3] = {0.47, 0.47, 0.5};
        KitMaterial::chrome();
        bind(HardwareTexture);
        glTranslatef(0, 0.4f, 0);
        for (int i = 0; i < 3; ++i) {
            glPushMatrix();
            glRotatef(turns[i], 0, 1, 0);
            glRotatef(70, 1, 0, 0);
            glTranslatef(0, 0.1f, 0);
            cylinder(0.01, 0.005, lengths[i], coarseSlices);
            glPopMatrix();
        }
    }

    void chair()
    {
        KitMaterial::chrome();
        bind(HardwareTexture);
        glPushMatrix();
        stand(0.5f, 0.3, 0.27f);
        glPopMatrix();
        bind(VinylTexture);
        glTranslatef(0, 0.47f, 0);
        turnUp();
        cylinder(0.15, 0.15, 0.05, coarseSlices);
        diskAt(0.05f, 0.15, coarseSlices);
        diskFacingBack(0.15, coarseSlices);
    }

    const GLuint* textures;
    GLUquadric* quadric;
};

} // namespace

DrumBody::DrumBody()
{
    for (int type = 0; type < BodyTypes::count; ++type)
        typeNames << QString::fromLatin1(BodyTypes::name(type));
}

std::optional<DrumShell> DrumShell::of(int type)
{
    if (BodyTypes::isTom(type))
        return tomShells[type - BodyTypes::Tom8];
    switch (type) {
    case BodyTypes::Kick:
        return kickShell;
    case BodyTypes::Snare:
        return snareShell;
    case BodyTypes::FloorTom:
        return floorTomShell;
    default:
        return std::nullopt;
    }
}

void DrumBody::loadTextures()
{
    for (int i = 0; i < textureCount; ++i) {
        TgaImage image(textureFiles[i]);
        image.upload(textures, i);
    }
}

void DrumBody::buildDisplayLists()
{
    loadTextures();
    listBase = glGenLists(listCount);
    ListBuilder builder(textures);
    for (int list : compileOrder)
        builder.compile(listBase + list, list);
}

namespace KitMaterial {

void chrome()
{
    apply(chromeMaterial);
}

void matte()
{
    apply(matteMaterial);
}

void bronze()
{
    apply(bronzeMaterial);
}

} // namespace KitMaterial
