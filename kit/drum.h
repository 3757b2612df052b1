#pragma once

#include "kit/hitpoint.h"
#include "scene/glmatrix.h"
#include "scene/node.h"

#include <QTextStream>
#include <memory>
#include <vector>

// A sound file and the name its copy takes in a kit's sound folder.
struct SoundCopy
{
    QString source;
    QString name;
};

// One piece of the kit: drum, cymbal, stand, holder or the chair. Its Node type is the body type,
// its id its index in the kit's list of all drums. Child drums are owned through the Node base;
// hit points are shared with copies of the drum.
class Drum : public Node
{
public:
    Drum();
    // Copies the settings and shares the hit points; the copy has no children.
    Drum(const Drum& other);
    Drum& operator=(const Drum&) = delete;
    ~Drum() override;

    // Resets the animation state and applies the settings of the body type.
    void setupType();
    void addDefaultHitpoints();
    void addHitpoint(const char* name, float x, float y, float z, int hitType, int veloToVol);

    // The drum's own frame: the parent's frame moved and turned by the drum's transform.
    GlMatrix frame(const GlMatrix& parentFrame) const;
    // Recomputes the room position of every hit point of this drum and its subtree; the matrix is
    // the parent's frame.
    void updateHitpointPositions(const GlMatrix& parentFrame);

    // Motion of a struck piece: hit starts it, animatePedal steps pedals and the hi-hat once per
    // beat-clock tick, animateSwing swings and counts down every 50 ms.
    void hit(int velocity, int hitType);
    void animatePedal();
    void animateSwing();

    // Draws the piece on the current matrix, which keeps the piece's transform, then its subtree.
    void drawWithLists(bool bbox, bool hits, bool relate, GLuint listBase) override;

    // Writes this drum's record and those of its subtree; each level's sound is named by its file
    // name alone, to be read from the kit's sound folder.
    void save(QTextStream& stream) const;
    // Adds the sound of every level of this drum and its subtree, under the file name save writes.
    void listSounds(std::vector<SoundCopy>& sounds) const;

    float translation[3] = {0, 0, 0};
    float rotation[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    bool trX = false, trY = false, trZ = false;
    bool roX = false, roY = false, roZ = false;
    std::vector<std::shared_ptr<Hitpoint>> hitpoints;
    bool selected = false;
    bool canHaveChildren = false;
    int maxChildren = 0;
    int priority = 0;

    // Animation state of a struck piece.
    float swing = 0;
    float opening = 0;
    int frames = 0;
    int strength = 0;
    int animKind = -1;

private:
    void applyMovingPart(GlMatrix& frame) const;
};

// Copies the sounds into the folder of a kit being saved, all or none: the copies are made beside
// the folder's files and take their names only once every one is complete, so a copy that fails
// leaves the folder as it was. A file is never copied onto itself nor onto a copy that already
// holds its bytes; a source that cannot be opened (gone since it was loaded) keeps whatever copy
// the folder already holds.
bool copySounds(const std::vector<SoundCopy>& sounds, const QString& folder);
