// Plays a song through the song panel, the note parser and the sound engine on the real beat
// clock, in real time, into the silent output's recording; then finds the hits in the recording
// and prints how far they stray from the step grid and how long after the tick that requested
// them they sound, the step that fits them and how far the last step lies from its time. Runs in
// the run folder. Arguments, both optional: a song file ("*.sng", played once through on its kit;
// without one a built-in two-pattern song plays, for twenty seconds at 120 bpm unless --seconds S
// and --bpm N (1 to 240) say otherwise), then the WAV to write; --busy N (processes spinning
// meanwhile), --stall MS (the GUI thread blocked once a second).
#include "bench/machineload.h"
#include "bench/onsets.h"
#include "kit/bodytypes.h"
#include "kit/drumsetfile.h"
#include "songeditor/songfile.h"
#include "songeditor/tests/playbackwiring.h"
#include "songeditor/tests/testkit.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

enum Track
{
    KickTrack,
    SnareTrack,
    HiHatTrack,
    PedalTrack,
    TrackTotal
};

// Sound n of the kit is the sample of track n.
const char* const samples[TrackTotal] = {"Sounds/kit/kick.wav", "Sounds/kit/snare.wav",
                                         "Sounds/kit/hihat_closed.wav",
                                         "Sounds/kit/hihat_pedal.wav"};

// How the song plays: for a time, or once through its steps.
struct Playing
{
    int bpm = 120;
    double seconds = 20;
    int steps = 0;
};

// A rock beat and a fill: the hi-hat on the eighths, the kick on one and three, the snare on
// two and four; the second pattern closes with two snare strokes over the hi-hat pedal.
void composeSong(Song& song)
{
    song.patterns.emplace_back(TrackTotal, 32);
    song.patternCount = 2;
    for (Pattern& pattern : song.patterns) {
        pattern.length = 8;
        for (int step = 0; step < 6; ++step)
            pattern.cells[HiHatTrack][step] = {step % 2 ? 90 : 110, 0.0f};
        pattern.cells[KickTrack][0] = {100, 0.0f};
        pattern.cells[KickTrack][4] = {90, 0.0f};
        pattern.cells[SnareTrack][2] = {115, 0.0f};
    }
    Pattern& groove = song.patterns[0];
    groove.cells[HiHatTrack][6] = {110, 0.0f};
    groove.cells[HiHatTrack][7] = {90, 0.0f};
    groove.cells[SnareTrack][6] = {115, 0.0f};
    Pattern& fill = song.patterns[1];
    fill.cells[KickTrack][3] = {90, 0.0f};
    fill.cells[SnareTrack][6] = {100, 0.0f};
    fill.cells[SnareTrack][7] = {127, 0.0f};
    fill.cells[PedalTrack][6] = {80, 0.0f};
}

Playing playBuiltInSong(DreditWidget& panel, SoundEngine& engine, Playing playing)
{
    for (const char* sample : samples)
        engine.addSound(sample);
    panel.drumSet = testkit::makeKit({{BodyTypes::Kick, "Kick right foot", Hitpoint::RightFoot},
                                      {BodyTypes::Snare, "Snare middle", Hitpoint::ByEnd},
                                      {BodyTypes::HiHat, "Hi-hat top", Hitpoint::ByEdge},
                                      {BodyTypes::HiHatStand, "Hi-hat foot", Hitpoint::LeftFoot}});
    panel.refreshTracks();
    composeSong(panel.song);
    return playing;
}

// The song file on the kit it names, as the song editor loads it: every pattern once through.
Playing playSongFile(DreditWidget& panel, SoundEngine& engine, const QString& path)
{
    const std::optional<StoredSong> read = SongFile::read(path);
    if (!read) {
        std::fprintf(stderr, "Cannot load file! %s\n", qPrintable(path));
        std::exit(1);
    }
    StoredSong stored = *read;
    int sounds = 0, drums = 0;
    DrumSetReader(stored.kitPath, sounds, drums, [&](const QString& file) {
        engine.addSound(file);
    }).read(panel.drumSet);
    panel.drumSet.path = stored.kitPath;
    panel.refreshTracks();
    stored.fitTracks(panel.trackCount);
    panel.song = stored.song;
    panel.muted = stored.mute;
    panel.soloed = stored.solo;
    panel.volume = stored.volume;
    panel.soloCount = stored.soloCount;

    Playing playing{int(stored.song.tempo), 0, 0};
    for (const Pattern& pattern : stored.song.patterns)
        playing.steps += pattern.length;
    playing.seconds = playing.steps * 60.0 / (2 * playing.bpm);
    std::printf("%s on %s: %d patterns at %d bpm, %.2f s\n", qPrintable(path),
                qPrintable(stored.kitPath), stored.song.patternCount, playing.bpm, playing.seconds);
    return playing;
}
} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const MachineLoad::Options load = MachineLoad::take(arguments);
    Playing builtIn;
    const int bpm = MachineLoad::takeNumber(arguments, "--bpm");
    builtIn.bpm = bpm > 0 ? std::min(bpm, 240) : builtIn.bpm;
    const int seconds = MachineLoad::takeNumber(arguments, "--seconds");
    builtIn.seconds = seconds > 0 ? seconds : builtIn.seconds;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const bool fromFile = arguments.value(0).endsWith(".sng");
    const QString songPath = fromFile ? QDir::current().absoluteFilePath(arguments[0]) : QString();
    const QString recording =
        Onsets::recordSilentlyInto(arguments.value(fromFile ? 1 : 0, "song_bench.wav"));
    const MachineLoad::BusyProcesses busyProcesses(load.busyProcesses);
    QApplication app(argc, argv);
    QDir::setCurrent(OLMIRA_RUN_DIR);
    const MachineLoad::GuiStalls stalls(load.stallMs);

    std::vector<double> requestTicks; // the tick frame of every sound the parser asked for
    int rate = 0;
    int latency = 0;
    Playing playing;
    {
        SoundEngine engine;
        NoteParser parser;
        DreditWidget panel;
        wirePlayback(panel, engine, parser);
        SoundLayer& layer = engine.soundLayer();
        rate = layer.rate();
        latency = layer.latencyFrames();
        QObject::connect(&parser, &NoteParser::playSound,
                         [&] { requestTicks.push_back(double(layer.tickFrame())); });

        playing = fromFile ? playSongFile(panel, engine, songPath)
                           : playBuiltInSong(panel, engine, builtIn);
        emit panel.sendSet(&panel.drumSet);

        // The sounds of the last ticks are still due when the clock stops.
        auto stopAfter = [&](int milliseconds) {
            QTimer::singleShot(milliseconds, &panel, &DreditWidget::stopSlot);
            QTimer::singleShot(milliseconds + 500, &app, &QCoreApplication::quit);
        };
        // The note parser sounds a step two steps after it plays: once through, the clock stops
        // after the step that sounds the last one, before the first would sound again.
        int played = 0;
        QObject::connect(&panel, &DreditWidget::next, [&] {
            if (playing.steps > 0 && ++played == playing.steps + 2)
                stopAfter(0);
        });
        panel.bpmSlot(playing.bpm);
        panel.playSngSlot();
        if (playing.steps == 0)
            stopAfter(int(playing.seconds * 1000));
        app.exec();
    }

    const std::size_t onsets = Onsets::report(recording, rate, latency, requestTicks, playing.bpm,
                                              MachineLoad::describe(load));
    return onsets == 0 ? 1 : 0;
}
