// The kit Olmira starts with, written by the program's own kit writer so that its sound folder is
// filled the way a user's save fills it. The drummer sits at (0, 0, 1.2), faces -Z, and has his
// right hand on +X: kick in front of the seat, snare just in front of the left knee, hi-hat to the
// left, floor tom to the right, crash left-front high, ride right-front.
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "tools/generator.h"

#include <QFileInfo>
#include <cstdio>
#include <initializer_list>

namespace {

struct Placement
{
    float tx = 0, ty = 0, tz = 0;
    float rx = 0, ry = 0, rz = 0;
};

// A velocity layer: the sample that sounds from minVelo to maxVelo.
struct Layer
{
    const char* sample;
    int maxVelo;
    int minVelo;
};

class KitBuilder
{
public:
    KitBuilder(DrumSet& kit, const QString& sampleFolder) : kit(kit), sampleFolder(sampleFolder) {}

    // A drum as the drum-set panel adds one, entered in pre-order so that its id is its index.
    Drum* add(Drum* parent, int type, const Placement& p)
    {
        auto* drum = new Drum();
        drum->type = type;
        drum->name = BodyTypes::name(type);
        drum->id = int(kit.allDrums.size());
        if (parent) {
            kit.addDrum(drum);
            parent->addChild(drum);
        } else {
            kit.addRootDrum(drum);
        }
        drum->setupType();
        drum->addDefaultHitpoints();
        const float t[3] = {p.tx, p.ty, p.tz}, r[3] = {p.rx, p.ry, p.rz};
        for (int i = 0; i < 3; ++i) {
            drum->translation[i] = t[i];
            drum->rotation[i] = r[i];
        }
        return drum;
    }

    // Gives a hit point its layers, loudest first; identifiers follow the order of the file.
    void sound(Drum* drum, int hitpoint, std::initializer_list<Layer> layers, int hitType = -1)
    {
        Hitpoint& h = *drum->hitpoints.at(hitpoint);
        if (hitType >= 0)
            h.hitType = hitType;
        bool first = true;
        for (const Layer& layer : layers) {
            const QString file = sampleFolder + "/" + layer.sample;
            if (!QFileInfo::exists(file)) {
                std::fprintf(stderr, "missing sample %s\n", qPrintable(file));
                complete = false;
            }
            if (first) {
                *h.levels[0] = DynaLevel(file, nextSound++, layer.maxVelo, layer.minVelo);
                first = false;
            } else {
                h.addDynaLevel(file, nextSound++, layer.maxVelo, layer.minVelo);
            }
        }
    }

    bool complete = true;

private:
    DrumSet& kit;
    QString sampleFolder;
    int nextSound = 0;
};

void buildKit(KitBuilder& b)
{
    Drum* kick = b.add(nullptr, BodyTypes::Kick, {0.1f, 0, -0.05f});
    b.sound(kick, 0, {{"kick.wav", 127, 64}, {"kick_soft.wav", 63, 1}});
    Drum* holder = b.add(kick, 19, {0, 0.36f, 0.32f});
    Drum* highTom = b.add(holder, 3, {-0.02f, 0.38f, 0, 12, 5});
    b.sound(highTom, 0, {{"tom_high.wav", 127, 1}});
    Drum* midTom = b.add(holder, 4, {0.34f, 0.37f, 0.1f, 12, -12});
    b.sound(midTom, 0, {{"tom_mid.wav", 127, 1}});

    // The snare's shell reaches lower than the seated drummer's thighs, so it stands in front of
    // his knees, and the high tom keeps clear of its far edge.
    Drum* snareStand = b.add(nullptr, 17, {-0.2f, 0, 0.545f});
    Drum* snare = b.add(snareStand, BodyTypes::Snare, {0, 0.51f, 0, 6});
    b.sound(snare, 0, {{"snare.wav", 127, 80}, {"snare_soft.wav", 79, 1}});
    b.sound(snare, 1, {{"snare_rim.wav", 127, 1}});

    // The hi-hat's top is played closed and its edge open.
    Drum* hihatStand = b.add(nullptr, BodyTypes::HiHatStand, {-0.44f, 0, 0.6f, 0, 25});
    b.sound(hihatStand, 0, {{"hihat_pedal.wav", 127, 1}});
    Drum* hihat = b.add(hihatStand, BodyTypes::HiHat, {0, 0.85f, 0});
    b.sound(hihat, 0, {{"hihat_open.wav", 127, 1}}, Hitpoint::HiHatOpen);
    b.sound(hihat, 1, {{"hihat_closed.wav", 127, 70}, {"hihat_closed_soft.wav", 69, 1}},
            Hitpoint::HiHatClosed);

    Drum* legs = b.add(nullptr, 20, {0.51f, 0, 0.96f});
    Drum* floorTom = b.add(legs, BodyTypes::FloorTom, {0, 0.34f, 0});
    b.sound(floorTom, 0, {{"tom_floor.wav", 127, 1}});

    // Cymbal stands: the boom tilts up toward the drummer, the holder levels the cymbal again.
    // Every hit point lies where either hand reaches it (the note parser sends a lone note to
    // the other hand when one is busy).
    Drum* crashStand = b.add(nullptr, 22, {-0.38f, 0, 0.36f});
    Drum* crashBoom = b.add(crashStand, 23, {0, 0.87f, 0, -60, 29});
    Drum* crashHolder = b.add(crashBoom, 24, {0, 0, 0.3f, 70});
    Drum* crash = b.add(crashHolder, 9, {0, 0.05f, 0});
    b.sound(crash, 0, {{"crash.wav", 127, 64}, {"crash_soft.wav", 63, 1}});
    b.sound(crash, 1, {{"crash_soft.wav", 127, 1}});

    Drum* rideStand = b.add(nullptr, 22, {0.67f, 0, 0.38f});
    Drum* rideBoom = b.add(rideStand, 23, {0, 0.87f, 0, -25, -43});
    Drum* rideHolder = b.add(rideBoom, 24, {0, 0, 0.3f, 33});
    Drum* ride = b.add(rideHolder, 12, {0, 0.05f, 0});
    b.sound(ride, 0, {{"ride.wav", 127, 1}});
    b.sound(ride, 1, {{"ride_bell.wav", 127, 1}});
}

bool writeDefaultKit(const QString& runDir)
{
    DrumSet kit;
    kit.info = "Kick, snare, two toms, floor tom, hi-hat, crash and ride";
    KitBuilder builder(kit, runDir + "/Sounds/kit");
    buildKit(builder);
    if (!builder.complete)
        return false;
    const QString path = runDir + "/Drumsets/default.set";
    if (!DrumSetFile::write(kit, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

OLMIRA_GENERATOR(2, defaultKit, writeDefaultKit);
