#pragma once

#include <GL/gl.h>
#include <QStringList>
#include <optional>

// The display lists of the kit's pieces, list n at DrumBody::listBase + n. The drums, toms and
// hanging cymbals (body types 1 to 13) and the cymbal stand's parts (22 to 24) are drawn by the
// list that carries their own type's number.
namespace DrumList {

enum Number
{
    KickShell = 0,
    Snare = 1,
    FirstTom = 2, // the five toms of types 2 to 6
    LastTom = 6,
    FloorTom = 7,
    FirstCrash = 8, // the four crashes of types 8 to 11
    LastCrash = 11,
    FirstRide = 12, // the two rides of types 12 and 13
    LastRide = 13,
    UpperHiHat = 14,
    LowerCymbal = 15, // the hi-hat's lower cymbal, and the splashes
    SnareStand = 16,
    KickPedal = 17,
    KickFootboard = 18,
    KickBeater = 19,
    TomHolder = 20,
    DoubleTomHolder = 21,
    CymbalStandBase = 22,
    CymbalStandBoom = 23,
    CymbalHolder = 24,
    HiHatStand = 25,
    HiHatFootboard = 26,
    HiHatPullRod = 27,
    FloorTomLegs = 28,
    Chair = 29,
    Count = 30,
};

} // namespace DrumList

// The shell of a drum: a cylinder from the centre of its bottom head, in the drum's own frame,
// up the shell either along local +Y or (the kick's) along local +Z.
struct DrumShell
{
    float bottom[3];
    bool alongZ;
    float radius, depth;

    // The shell that the lists draw for a kick, snare, tom or floor tom; none for other types.
    static std::optional<DrumShell> of(int type);
};

// The geometry library of the kit: the body-type names, the textures and the display lists from
// which every piece is drawn. The lists and textures live as long as the GL context.
class DrumBody
{
public:
    static constexpr int listCount = DrumList::Count;
    static constexpr int textureCount = 9;

    // Makes no GL calls: the view creates it before it has a context.
    DrumBody();

    void loadTextures();
    // Needs a current GL context; loads the textures first.
    void buildDisplayLists();

    QStringList typeNames;
    GLuint listBase = 0;
    GLuint textures[textureCount] = {};
};

// The kit's surface materials, set for front and back faces.
namespace KitMaterial {

void chrome();
void matte();
void bronze();

} // namespace KitMaterial
