#pragma once

#include <GL/gl.h>
#include <QStringList>

// The geometry library of the kit: the body-type names, the textures and the display lists from
// which every piece is drawn. List n is listBase + n; the lists and textures live as long as the
// GL context.
class DrumBody
{
public:
    static constexpr int listCount = 30;
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
