#include "kit/bodytypes.h"
#include "kit/tests/kitscene.h"
#include "scene/tgaimage.h"

#include <QDir>

namespace {

Drum* attach(DrumSet& kit, Drum* parent, int type, float x, float y, float z, float turnX = 0,
             float turnY = 0)
{
    Drum* drum = makeDrum(type, x, y, z).release();
    drum->rotation[0] = turnX;
    drum->rotation[1] = turnY;
    if (parent) {
        parent->addChild(drum);
        kit.addDrum(drum);
    } else {
        kit.addRootDrum(drum);
    }
    drum->id = int(kit.allDrums.size()) - 1;
    return drum;
}

// A cymbal on a stand with a boom, which rises at `lift` degrees and turns by `turn` about Y.
void cymbalOnStand(DrumSet& kit, int cymbalType, float x, float z, float lift, float turn)
{
    Drum* base = attach(kit, nullptr, BodyTypes::CrashRampBottom, x, 0, z);
    Drum* boom = attach(kit, base, BodyTypes::CrashRampMiddle, 0, 0.88f, 0, -lift, turn);
    Drum* holder = attach(kit, boom, BodyTypes::CrashRampTop, 0, 0, 0.3f, lift);
    attach(kit, holder, cymbalType, 0, 0.1f, 0, 10);
}

// The drummer sits at z 1.2 facing -Z: the hi-hat and crash on the left (-X), the floor tom and
// ride on the right.
void buildKit(DrumSet& kit)
{
    Drum* kick = attach(kit, nullptr, BodyTypes::Kick, 0.1f, 0, 0.1f);
    Drum* holder = attach(kit, kick, BodyTypes::TomRampDouble, 0, 0.45f, 0.25f);
    attach(kit, holder, BodyTypes::Tom10, -0.15f, 0.35f, 0, 12, -8);
    attach(kit, holder, BodyTypes::Tom12, 0.15f, 0.35f, 0, 12, 8);
    Drum* snareStand = attach(kit, nullptr, BodyTypes::SnareRamp, -0.2f, 0, 0.75f);
    attach(kit, snareStand, BodyTypes::Snare, 0, 0.6f, 0, 5);
    Drum* hiHatStand = attach(kit, nullptr, BodyTypes::HiHatStand, -0.6f, 0, 0.6f, 0, 25);
    attach(kit, hiHatStand, BodyTypes::HiHat, 0, 0.9f, 0);
    Drum* legs = attach(kit, nullptr, BodyTypes::FloorTomRamp, 0.55f, 0, 0.75f);
    attach(kit, legs, BodyTypes::FloorTom, 0, 0.25f, 0);
    cymbalOnStand(kit, BodyTypes::Crash17, -0.55f, 0, 35, 30);
    cymbalOnStand(kit, BodyTypes::Ride20, 0.85f, 0.15f, 30, -40);
}

// The room's oak floor, as the stage view lays it.
void drawFloor(GLuint texture)
{
    KitMaterial::matte();
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glNormal3f(0, 1, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-3, 0, 3);
    glTexCoord2f(0, 1);
    glVertex3f(3, 0, 3);
    glTexCoord2f(1, 1);
    glVertex3f(3, 0, -3);
    glTexCoord2f(1, 0);
    glVertex3f(-3, 0, -3);
    glEnd();
}

} // namespace

class KitPicture : public KitSceneTest
{
protected:
    void SetUp() override
    {
        KitSceneTest::SetUp();
        resizeFramebuffer(800, 600);
        buildKit(kit);
        chair = makeDrum(BodyTypes::Chair, 0, 0, 1.2f);
        chair->rotation[1] = 60;
        TgaImage oak("Textures/Oakply1.tga");
        oak.upload(&floorTexture, 0);
    }

    void drawScene(bool withChair)
    {
        drawKit(kit);
        drawFloor(floorTexture);
        if (withChair) {
            glPushMatrix();
            chair->drawWithLists(false, false, false, body.listBase);
            glPopMatrix();
        }
    }

    // Eye distance of what is seen at the pixel of a room point minus the point's own.
    float seenMinusExpected(float x, float y, float z)
    {
        const QVector3D eye(eyeAt[0], eyeAt[1], eyeAt[2]);
        return seenAt(x, y, z).distanceToPoint(eye) - QVector3D(x, y, z).distanceToPoint(eye);
    }

    void save(const QString& name)
    {
        const QString folder = qEnvironmentVariable("OLMIRA_PICTURES");
        if (!folder.isEmpty())
            grab().convertToFormat(QImage::Format_RGB32).save(QDir(folder).filePath(name));
    }

    DrumSet kit;
    std::unique_ptr<Drum> chair;
    GLuint floorTexture = 0;
    float eyeAt[3] = {0, 1.75f, 2.3f};
};

// Seen from behind the drummer's seat, every playing surface lies where its hit points' room
// positions say (edge points hover a few centimetres above the edge), so the sticks aimed at them
// land on what is drawn.
TEST_F(KitPicture, HitPointsLieOnTheDrawnSurfaces)
{
    lookFrom(eyeAt[0], eyeAt[1], eyeAt[2], 0, 0.7f, 0.3f);
    kit.updateHitpointPositions();
    drawScene(false);
    save("kit-drummer.png");
    int checked = 0;
    for (Drum* drum : kit.allDrums) {
        for (const auto& hitpoint : drum->hitpoints) {
            const double offset =
                seenMinusExpected(hitpoint->worldX, hitpoint->worldY, hitpoint->worldZ);
            EXPECT_NEAR(offset, 0, 0.05) << qPrintable(hitpoint->name);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 13);
}

// From the audience the kick's back head faces the camera.
TEST_F(KitPicture, WholeKitFromTheFront)
{
    eyeAt[0] = 0.4f;
    eyeAt[1] = 1.5f;
    eyeAt[2] = -2.6f;
    lookFrom(eyeAt[0], eyeAt[1], eyeAt[2], 0, 0.6f, 0.4f);
    drawScene(true);
    save("kit-front.png");
    EXPECT_NEAR(seenMinusExpected(0.1f, 0.28f, 0.1f), 0, 0.01);
    EXPECT_NEAR(seenMinusExpected(0.1f, 0.45f, 0.1f), 0, 0.01);
}
