// Drawing of the kit from the display lists of DrumBody.

#include "kit/bodytypes.h"
#include "kit/drumbody.h"
#include "kit/drumset.h"

namespace {

void placeAndTurn(const float* translation, const float* rotation)
{
    glTranslatef(translation[0], translation[1], translation[2]);
    glRotatef(rotation[1], 0, 1, 0);
    glRotatef(rotation[0], 1, 0, 0);
    glRotatef(rotation[2], 0, 0, 1);
}

void callList(GLuint listBase, int list)
{
    glCallList(listBase + GLuint(list));
}

// Shell, beater and footboard move; the last turn stays on the matrix for the kick's crosses and
// children.
void drawKick(const Drum& drum, GLuint listBase)
{
    glPushMatrix();
    glRotatef(-drum.swing, 1, 0, 0);
    callList(listBase, DrumList::KickShell);
    glRotatef(drum.swing, 1, 0, 0);
    glTranslatef(0, 0, 0.5f);
    glScalef(0.75f, 0.75f, 0.75f);
    callList(listBase, DrumList::KickPedal);
    glPushMatrix();
    glTranslatef(0, 0.15f, 0.07f);
    glRotatef(30 - drum.opening * 2.5f, 1, 0, 0);
    callList(listBase, DrumList::KickBeater);
    glPopMatrix();
    glTranslatef(0, 0, 0.3f);
    glRotatef(15 - drum.opening, 1, 0, 0);
    callList(listBase, DrumList::KickFootboard);
    glPopMatrix();
    glRotatef(-drum.swing, 1, 0, 0);
}

// The upper cymbal stays on the matrix, so the crosses ride on it.
void drawHiHat(const Drum& drum, GLuint listBase)
{
    callList(listBase, DrumList::LowerCymbal);
    glRotatef(drum.swing, 0, 0, 1);
    glRotatef(-drum.swing, 1, 0, 0);
    glTranslatef(0, 0.05f - drum.opening / 100, 0);
    callList(listBase, DrumList::UpperHiHat);
}

void drawHiHatStand(const Drum& drum, GLuint listBase)
{
    glPushMatrix();
    callList(listBase, DrumList::HiHatStand);
    glPushMatrix();
    glTranslatef(0, 0.05f - drum.opening / 100, 0);
    callList(listBase, DrumList::HiHatPullRod);
    glPopMatrix();
    glTranslatef(0, 0, 0.3f);
    glRotatef(15 - drum.opening * 2.5f, 1, 0, 0);
    callList(listBase, DrumList::HiHatFootboard);
    glPopMatrix();
}

void drawSwinging(const Drum& drum, GLuint listBase, int list, bool turnsAboutZ)
{
    glPushMatrix();
    glRotatef(drum.swing, 1, 0, 0);
    if (turnsAboutZ)
        glRotatef(drum.opening, 0, 0, 1);
    callList(listBase, list);
    glPopMatrix();
}

void drawBody(const Drum& drum, GLuint listBase)
{
    switch (drum.type) {
    case BodyTypes::Kick:
        return drawKick(drum, listBase);
    case BodyTypes::Snare:
    case BodyTypes::FloorTom:
    case BodyTypes::Crash16:
    case BodyTypes::Crash17:
    case BodyTypes::Crash18:
    case BodyTypes::Crash19:
    case BodyTypes::Ride20:
    case BodyTypes::Ride21:
        return drawSwinging(drum, listBase, drum.type, true);
    case BodyTypes::Tom8:
    case BodyTypes::Tom10:
    case BodyTypes::Tom12:
    case BodyTypes::Tom13:
    case BodyTypes::Tom14:
        return drawSwinging(drum, listBase, drum.type, false);
    case BodyTypes::HiHat:
        return drawHiHat(drum, listBase);
    case BodyTypes::Splash8:
    case BodyTypes::Splash10:
        return drawSwinging(drum, listBase, DrumList::LowerCymbal, true);
    case BodyTypes::HiHatStand:
        return drawHiHatStand(drum, listBase);
    // Stands, holders and the chair have no moving part.
    case BodyTypes::SnareRamp:
        return callList(listBase, DrumList::SnareStand);
    case BodyTypes::TomRampMono:
        return callList(listBase, DrumList::TomHolder);
    case BodyTypes::TomRampDouble:
        return callList(listBase, DrumList::DoubleTomHolder);
    case BodyTypes::FloorTomRamp:
        return callList(listBase, DrumList::FloorTomLegs);
    case BodyTypes::CrashRampBottom:
    case BodyTypes::CrashRampMiddle:
    case BodyTypes::CrashRampTop:
        return callList(listBase, drum.type);
    case BodyTypes::Chair:
        return callList(listBase, DrumList::Chair);
    default: // no body of its own
        return;
    }
}

void drawRelationLine(const float* to)
{
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT);
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0x8A50);
    glBegin(GL_LINES);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex3f(0, 0, 0);
    glVertex3f(to[0], to[1], to[2]);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    glDisable(GL_COLOR_MATERIAL);
}

} // namespace

void Drum::drawWithLists(bool bbox, bool hits, bool relate, GLuint listBase)
{
    KitMaterial::matte();
    placeAndTurn(translation, rotation);
    drawBody(*this, listBase);
    if (hits && selected) {
        for (const auto& hitpoint : hitpoints) {
            glPushMatrix();
            hitpoint->drawMarker();
            glPopMatrix();
        }
    }
    for (Node* child : children) {
        glPushMatrix();
        if (relate)
            drawRelationLine(static_cast<Drum*>(child)->translation);
        child->drawWithLists(bbox, hits, relate, listBase);
        glPopMatrix();
    }
}

void DrumSet::draw(bool bbox, bool hits, bool relate, GLuint listBase)
{
    placeAndTurn(translation, rotation);
    glScalef(scale[0], scale[1], scale[2]);
    for (const auto& drum : rootDrums) {
        glPushMatrix();
        drum->drawWithLists(bbox, hits, relate, listBase);
        glPopMatrix();
    }
}

void Hitpoint::drawMarker()
{
    glTranslatef(x, y, z);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT);
    glBegin(GL_LINES);
    glColor3f(0, 1, 0);
    glVertex3f(-0.1f, 0, 0);
    glVertex3f(0.1f, 0, 0);
    glVertex3f(0, -0.1f, 0);
    glVertex3f(0, 0.1f, 0);
    glVertex3f(0, 0, -0.1f);
    glVertex3f(0, 0, 0.1f);
    glEnd();
    glDisable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);
}
