// The kit Olmira starts with, written by the program's own kit writer so that its sound folder is
// filled the way a user's save fills it. The drummer sits at (0, 0, 1.2), faces -Z, and has his
// right hand on +X: kick in front of the seat, snare just in front of the left knee, hi-hat to the
// left, floor tom to the right, crash left-front high, ride right-front. Its sounds are the
// recorded kit "GMRockKit" of Debian's hydrogen-data package, five velocity layers a hit point.
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "playback/sample.h"
#include "tools/generator.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

struct Placement
{
    float tx = 0, ty = 0, tz = 0;
    float rx = 0, ry = 0, rz = 0;
};

class KitBuilder
{
public:
    explicit KitBuilder(DrumSet& kit) : kit(kit) {}

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

private:
    DrumSet& kit;
};

// The drums that sound when struck.
struct StruckDrums
{
    Drum *kick, *highTom, *midTom, *snare, *hihatStand, *hihat, *floorTom, *crash, *ride;
};

StruckDrums buildKit(KitBuilder& b)
{
    // The toms straddle the kick, the high tom over the snare's far edge and the mid tom clear of
    // the floor tom, which stands beside the right knee where the left hand reaches it too
    // without swinging the elbow in against the waist.
    Drum* kick = b.add(nullptr, BodyTypes::Kick, {0.1f, 0, -0.05f});
    Drum* holder = b.add(kick, BodyTypes::TomRampDouble, {0, 0.36f, 0.24f});
    Drum* highTom = b.add(holder, BodyTypes::Tom10, {-0.18f, 0.51f, 0, 10, 8});
    Drum* midTom = b.add(holder, BodyTypes::Tom12, {0.2f, 0.4f, 0, 12, -10});

    // The snare's shell reaches lower than the seated drummer's thighs, so it stands in front of
    // his knees.
    Drum* snareStand = b.add(nullptr, BodyTypes::SnareRamp, {-0.2f, 0, 0.545f});
    Drum* snare = b.add(snareStand, BodyTypes::Snare, {0, 0.51f, 0, 6});

    Drum* hihatStand = b.add(nullptr, BodyTypes::HiHatStand, {-0.44f, 0, 0.6f, 0, 25});
    Drum* hihat = b.add(hihatStand, BodyTypes::HiHat, {0, 0.85f, 0});

    Drum* legs = b.add(nullptr, BodyTypes::FloorTomRamp, {0.44f, 0, 0.78f});
    Drum* floorTom = b.add(legs, BodyTypes::FloorTom, {0, 0.41f, 0});

    // Cymbal stands: the boom tilts up toward the drummer, the holder levels the cymbal again.
    // Every hit point lies where either hand reaches it (the note parser sends a lone note to
    // the other hand when one is busy).
    Drum* crashStand = b.add(nullptr, BodyTypes::CrashRampBottom, {-0.38f, 0, 0.36f});
    Drum* crashBoom = b.add(crashStand, BodyTypes::CrashRampMiddle, {0, 0.87f, 0, -60, 29});
    Drum* crashHolder = b.add(crashBoom, BodyTypes::CrashRampTop, {0, 0, 0.3f, 70});
    Drum* crash = b.add(crashHolder, BodyTypes::Crash17, {0, 0.05f, 0});

    Drum* rideStand = b.add(nullptr, BodyTypes::CrashRampBottom, {0.67f, 0, 0.38f});
    Drum* rideBoom = b.add(rideStand, BodyTypes::CrashRampMiddle, {0, 0.87f, 0, -25, -43});
    Drum* rideHolder = b.add(rideBoom, BodyTypes::CrashRampTop, {0, 0, 0.3f, 33});
    Drum* ride = b.add(rideHolder, BodyTypes::Ride20, {0, 0.05f, 0});
    return {kick, highTom, midTom, snare, hihatStand, hihat, floorTom, crash, ride};
}

const char* const recordedKit = "/usr/share/hydrogen/data/drumkits/GMRockKit";

// The five strengths at which each instrument was recorded, as its file names give them.
const char* const strengths[] = {"Softest", "Soft", "Med", "Hard", "Hardest"};

// Velocities 1-127 in five nearly equal ranges, loudest first.
struct Range
{
    int maxVelo, minVelo;
};
const Range ranges[] = {{127, 102}, {101, 77}, {76, 51}, {50, 26}, {25, 1}};

constexpr int rate = 44100;

// A hit is heard for about a step before the next one covers it: its loudness is the RMS of its
// first 200 ms.
double loudness(const Sample& sample)
{
    const size_t values = std::min(sample.frames.size(), size_t(2 * rate / 5)); // stereo
    double sum = 0;
    for (size_t i = 0; i < values; ++i)
        sum += double(sample.frames[i]) * sample.frames[i];
    return values ? std::sqrt(sum / double(values)) : 0.0;
}

// The instrument's five recordings, loudest first. The strengths that the files are named by do
// not always rise in loudness (on the floor tom, the ride and its bell, the pedal and the closed
// hi-hat): the measured loudness decides. Empty, after saying why, when one cannot be read.
QStringList loudestFirst(const QString& instrument)
{
    std::vector<std::pair<double, QString>> takes;
    for (const char* strength : strengths) {
        const QString file = QString("%1/%2-%3.wav").arg(recordedKit, instrument, strength);
        const auto sample = decodeSampleFile(file, rate);
        if (!sample) {
            std::fprintf(stderr, "cannot read the recorded sample %s\n", qPrintable(file));
            return {};
        }
        takes.emplace_back(loudness(*sample), file);
    }
    std::stable_sort(takes.begin(), takes.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    QStringList files;
    for (const auto& take : takes)
        files << take.second;
    return files;
}

// The instrument a drummer expects under each hit point; the hi-hat's top is played closed and
// its edge open.
struct Voice
{
    Drum* drum;
    const char* hitpoint;
    const char* instrument;
    int hitType = -1; // -1: the preset's
};

bool giveLayers(const Voice& voice)
{
    const auto& hitpoints = voice.drum->hitpoints;
    const auto found = std::find_if(hitpoints.begin(), hitpoints.end(),
                                    [&](const auto& h) { return h->name == voice.hitpoint; });
    if (found == hitpoints.end()) {
        std::fprintf(stderr, "%s has no hit point \"%s\"\n", qPrintable(voice.drum->name),
                     voice.hitpoint);
        return false;
    }
    const QStringList files = loudestFirst(voice.instrument);
    if (files.isEmpty())
        return false;
    Hitpoint& h = **found;
    if (voice.hitType >= 0)
        h.hitType = voice.hitType;
    h.levels.clear();
    for (int i = 0; i < files.size(); ++i)
        h.addDynaLevel(files[i], 0, ranges[i].maxVelo, ranges[i].minVelo);
    return true;
}

// Sound identifiers follow the order of the file: drums in pre-order, their hit points, levels.
// False, after saying which, if a hit point was left without sounds.
bool numberSounds(DrumSet& kit)
{
    int next = 0;
    bool complete = true;
    for (const Drum* drum : kit.allDrums) {
        for (const auto& h : drum->hitpoints) {
            if (h->levels.size() != std::size(ranges)) {
                std::fprintf(stderr, "no recorded sounds for \"%s\"\n", qPrintable(h->name));
                complete = false;
            }
            for (const auto& level : h->levels)
                level->sndID = next++;
        }
    }
    return complete;
}

bool assignSounds(DrumSet& kit, const StruckDrums& d)
{
    if (!QFileInfo(recordedKit).isDir()) {
        std::fprintf(stderr,
                     "the recorded drum samples are missing: %s (Debian's hydrogen-data "
                     "package, installed by scripts/install-deps)\n",
                     recordedKit);
        return false;
    }
    const Voice voices[] = {
        {d.kick, "Kick right foot", "Kick"},
        {d.highTom, "Tom10 middle", "Tom1"},
        {d.midTom, "Tom12 middle", "Tom2"},
        {d.snare, "Snare middle", "Snare"},
        {d.snare, "Snare side", "SnareRimshot"},
        {d.hihatStand, "Hi-hat foot", "HatPedal"},
        {d.hihat, "Hi-hat side", "HatOpen", Hitpoint::HiHatOpen},
        {d.hihat, "Hi-hat top", "HatClosed", Hitpoint::HiHatClosed},
        {d.floorTom, "Tom16 middle", "TomFloor"},
        {d.crash, "Crash17 side", "Crash"},
        {d.crash, "Crash17 top", "Crash"},
        {d.ride, "Ride20 side", "Ride"},
        {d.ride, "Ride20 top", "Bell"},
    };
    for (const Voice& voice : voices)
        if (!giveLayers(voice))
            return false;
    return numberSounds(kit);
}

bool writeDefaultKit(const QString& runDir)
{
    DrumSet kit;
    kit.info = "Kick, snare, two toms, floor tom, hi-hat, crash and ride";
    KitBuilder builder(kit);
    if (!assignSounds(kit, buildKit(builder)))
        return false;
    const QString path = runDir + "/Drumsets/default.set";
    QDir(DrumSetFile::soundFolder(path)).removeRecursively(); // holds this kit's sounds alone
    if (!DrumSetFile::write(kit, path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

OLMIRA_GENERATOR(2, defaultKit, writeDefaultKit);
