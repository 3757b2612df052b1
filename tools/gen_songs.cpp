// Demo songs for the default kit, naming it by its path: a rock groove that ends in a tom fill
// into the crash, a waltz, and a funk groove of ghost notes and accents. Velocities spread over
// the whole range so that every layer of a sample set is heard. A step is an eighth note; a step
// holds what the editor lets a drummer play at once: at most two notes for the hands (besides the
// kick and the hi-hat pedal), one per drum, one on the hi-hat.
#include "kit/drumsetfile.h"
#include "songeditor/songfile.h"
#include "tools/generator.h"

#include <QDir>
#include <cstdio>
#include <initializer_list>

namespace {

const char* const kitPath = "Drumsets/default.set";

// The default kit's tracks, one per hit point of its drums in order, found by name.
struct Tracks
{
    int kick, highTom, midTom, snare, rim, pedal, hatOpen, hatClosed, floorTom, crash, ride, bell;
};

bool findTracks(const QString& runDir, Tracks& found, int& count)
{
    DrumSet kit;
    int sounds = 0, drums = 0;
    DrumSetReader(runDir + "/" + kitPath, sounds, drums, [](const QString&) {}).read(kit);
    QStringList names;
    for (const Drum* drum : kit.allDrums)
        for (const auto& hitpoint : drum->hitpoints)
            names << hitpoint->name;
    count = int(names.size());
    bool complete = true;
    auto track = [&](const char* name) {
        const int index = int(names.indexOf(name));
        if (index < 0) {
            std::fprintf(stderr, "the default kit has no hit point \"%s\"\n", name);
            complete = false;
        }
        return index;
    };
    found = {track("Kick right foot"), track("Tom10 middle"), track("Tom12 middle"),
             track("Snare middle"),    track("Snare side"),   track("Hi-hat foot"),
             track("Hi-hat side"),     track("Hi-hat top"),   track("Tom16 middle"),
             track("Crash17 side"),    track("Ride20 side"),  track("Ride20 top")};
    return complete;
}

// A note of a pattern: which track, how many steps after the start of its bar, how strong and how
// far off the step.
struct Note
{
    int Tracks::*track;
    int step;
    int velocity;
    float offset = 0.0f;
};

using T = Tracks;

class Composer
{
public:
    Composer(const Tracks& tracks, int trackCount, int rhythm, float tempo) : tracks(tracks)
    {
        stored.mode = 1;
        stored.kitPath = kitPath;
        stored.song = Song(trackCount, 0, 0, rhythm);
        stored.song.tempo = tempo;
        stored.fitTracks(trackCount);
    }

    Pattern& pattern()
    {
        Song& song = stored.song;
        song.patterns.emplace_back(song.tracks, song.rhythm * 8);
        song.patternCount = int(song.patterns.size());
        return song.patterns.back();
    }

    void play(Pattern& p, int bar, std::initializer_list<Note> notes) const
    {
        for (const Note& note : notes)
            p.cells[tracks.*note.track][bar + note.step] = {note.velocity, note.offset};
    }

    // Empties the given tracks over steps from..to-1.
    void rest(Pattern& p, std::initializer_list<int Tracks::*> restTracks, int from, int to) const
    {
        for (int Tracks::*track : restTracks)
            for (int s = from; s < to; ++s)
                p.cells[tracks.*track][s] = Beat();
    }

    bool save(const QString& path) const
    {
        if (SongFile::write(stored, path))
            return true;
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }

private:
    const Tracks& tracks;
    StoredSong stored;
};

// Eighths on the closed hi-hat, kick on one and three (and the "and" of three in every second
// bar), snare on two and four.
void rockGroove(const Composer& c, Pattern& p)
{
    for (int b = 0; b < 32; b += 8) {
        for (int s = 0; s < 8; ++s)
            c.play(p, b, {{&T::hatClosed, s, s % 2 ? 62 : 104}});
        c.play(p, b,
               {{&T::kick, 0, 112}, {&T::kick, 4, 98}, {&T::snare, 2, 118}, {&T::snare, 6, 120}});
        if (b % 16)
            c.play(p, b, {{&T::kick, 5, 74}});
    }
}

bool writeRock(const Tracks& tracks, int trackCount, const QString& path)
{
    Composer c(tracks, trackCount, 4, 112);
    Pattern& intro = c.pattern();
    rockGroove(c, intro);
    c.rest(intro, {&T::hatClosed}, 0, 1);
    c.play(intro, 0, {{&T::crash, 0, 122}});

    Pattern& ghost = c.pattern();
    rockGroove(c, ghost);
    c.play(ghost, 16, {{&T::snare, 7, 34}, {&T::snare, 15, 42}});

    Pattern& open = c.pattern();
    rockGroove(c, open);
    c.rest(open, {&T::hatClosed}, 15, 16);
    c.rest(open, {&T::hatClosed}, 31, 32);
    c.play(open, 0, {{&T::hatOpen, 15, 88}, {&T::hatOpen, 31, 96}});

    // Three bars of groove, then the fill down the toms; the song starts over on the crash.
    Pattern& fill = c.pattern();
    rockGroove(c, fill);
    c.rest(fill, {&T::hatClosed, &T::snare, &T::kick}, 24, 32);
    c.play(fill, 24,
           {{&T::snare, 0, 84},
            {&T::snare, 1, 90},
            {&T::highTom, 2, 96},
            {&T::highTom, 3, 102},
            {&T::midTom, 4, 108},
            {&T::midTom, 5, 114},
            {&T::floorTom, 6, 120},
            {&T::floorTom, 7, 126},
            {&T::kick, 0, 104},
            {&T::kick, 4, 110},
            {&T::pedal, 2, 60},
            {&T::pedal, 6, 66}});
    return c.save(path);
}

// One, two, three on the ride with a soft "and" after two; kick on one, the hi-hat pedal on two
// and three, a cross-stick on three.
void waltzBars(const Composer& c, Pattern& p, int bars)
{
    for (int b = 0; b < bars * 6; b += 6)
        c.play(p, b,
               {{&T::ride, 0, 104},
                {&T::ride, 2, 72},
                {&T::ride, 3, 48},
                {&T::ride, 4, 82},
                {&T::kick, 0, 96},
                {&T::pedal, 2, 44},
                {&T::pedal, 4, 52},
                {&T::rim, 4, 38}});
}

bool writeWaltz(const Tracks& tracks, int trackCount, const QString& path)
{
    Composer c(tracks, trackCount, 3, 150);
    Pattern& first = c.pattern();
    waltzBars(c, first, 4);
    c.rest(first, {&T::ride}, 0, 1);
    c.play(first, 0, {{&T::crash, 0, 110}});

    Pattern& second = c.pattern();
    waltzBars(c, second, 4);
    c.rest(second, {&T::ride}, 12, 13);
    c.play(second, 12, {{&T::bell, 0, 90}});

    // The last bar swells on the snare into the crash that opens the song again.
    Pattern& swell = c.pattern();
    waltzBars(c, swell, 3);
    c.play(swell, 18,
           {{&T::snare, 0, 28},
            {&T::snare, 1, 44},
            {&T::snare, 2, 60},
            {&T::snare, 3, 76},
            {&T::snare, 4, 98},
            {&T::snare, 5, 124},
            {&T::kick, 0, 90},
            {&T::pedal, 2, 40},
            {&T::pedal, 4, 40}});
    return c.save(path);
}

// Accented and ghosted hi-hat eighths, backbeats at full strength, ghost notes on the snare
// marked a third of a step late and a pushed kick a third early.
void funkBars(const Composer& c, Pattern& p)
{
    const int hat[4] = {122, 24, 86, 46};
    for (int b = 0; b < 32; b += 8) {
        for (int s = 0; s < 8; ++s)
            c.play(p, b, {{&T::hatClosed, s, hat[s % 4]}});
        c.play(p, b,
               {{&T::kick, 0, 114},
                {&T::kick, 3, 68, -0.333f},
                {&T::kick, 5, 92},
                {&T::snare, 2, 126},
                {&T::snare, 6, 124},
                {&T::snare, 1, 22, 0.333f},
                {&T::snare, 5, 30, 0.333f},
                {&T::snare, 7, 18, 0.333f}});
    }
}

bool writeFunk(const Tracks& tracks, int trackCount, const QString& path)
{
    Composer c(tracks, trackCount, 4, 96);
    Pattern& groove = c.pattern();
    funkBars(c, groove);

    // Open hi-hats on the last "and" of every bar, then a turn over the snare and floor tom.
    Pattern& turn = c.pattern();
    funkBars(c, turn);
    for (int b = 0; b < 32; b += 8) {
        c.rest(turn, {&T::hatClosed, &T::snare}, b + 7, b + 8);
        c.play(turn, b, {{&T::hatOpen, 7, 94}});
    }
    c.rest(turn, {&T::hatClosed, &T::snare, &T::kick}, 27, 32);
    c.play(turn, 24,
           {{&T::floorTom, 3, 100},
            {&T::snare, 4, 56, 0.333f},
            {&T::floorTom, 5, 112},
            {&T::snare, 6, 118},
            {&T::floorTom, 7, 120},
            {&T::kick, 4, 100},
            {&T::pedal, 6, 70}});
    return c.save(path);
}

bool writeDemoSongs(const QString& runDir)
{
    Tracks tracks{};
    int trackCount = 0;
    if (!findTracks(runDir, tracks, trackCount))
        return false;
    const QString folder = runDir + "/Songs";
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
        return false;
    }
    return writeRock(tracks, trackCount, folder + "/rock.sng") &&
           writeWaltz(tracks, trackCount, folder + "/waltz.sng") &&
           writeFunk(tracks, trackCount, folder + "/funk.sng");
}

} // namespace

OLMIRA_GENERATOR(2, demoSongs, writeDemoSongs);
