#pragma once

#include "playback/spscring.h"

#include <array>
#include <atomic>
#include <cstdint>

class ClockModule;
struct Sample;

// What the GUI thread asks of the audio thread.
struct MixerCommand
{
    enum class Type
    {
        Start,         // sample on channel at frame (0: as soon as possible)
        StartOnTick,   // sample on channel, frame frames after tick number `tick` of slot,
                       // at volume value
        CancelOnTick,  // what StartOnTick put on channel for tick of slot, pending or sounding
        Volume,        // channel, value 0..256
        MasterVolume,  // value 0..255
        ReleaseSample, // silences every voice of sample; the audio thread forgets it
        Attach,        // module into slot
        Detach,        // slot
        Play,          // slot from its first order; value: generation of this run
        Stop,          // slot
        Speed,         // slot, speed
        OrderStep,     // slot, value: report every value-th order
    };
    Type type = Type::Volume;
    int channel = 0; // or the module's slot
    int value = 0;
    double speed = 0.0;
    int64_t frame = 0;
    int slot = 0;     // of a tick
    int64_t tick = 0; // a tick's number: its module's ticks are counted from 0 since it attached
    const Sample* sample = nullptr;
    ClockModule* module = nullptr;
};

// One reported order of a playing module, stamped with the output frame at which it began.
struct ClockTick
{
    int64_t frame = 0;
    int64_t number = 0;
    int slot = 0;
    int generation = 0;
    int order = 0;
};

// The audio thread's side of the sound layer: voices, modules and the mix. render() never
// allocates and never waits; the two rings and the counters are its only contact with the GUI.
class Mixer
{
public:
    static constexpr int maxVoices = 32;
    static constexpr int maxModules = 4;

    explicit Mixer(int voices);

    // Renders interleaved stereo frames; the audio thread's only entry point.
    void render(float* out, int frames);

    int voiceCount() const { return voiceLimit; }

    SpscRing<MixerCommand, 4096> commands;
    SpscRing<ClockTick, 1024> ticks;
    // Frames rendered so far: the frame at which the next block starts.
    std::atomic<int64_t> renderedFrames{0};
    // Commands taken from the ring so far.
    std::atomic<uint64_t> processedCommands{0};
    // Called after ticks were added, at most once until the GUI clears wakePending.
    std::atomic<bool> wakePending{false};
    void (*wake)(void* context) = nullptr;
    void* wakeContext = nullptr;

private:
    struct Voice
    {
        const Sample* sample = nullptr;
        int64_t start = 0;
        float gain = 1.0f;
        int slot = -1; // the tick it was put on, if any
        int64_t tick = -1;
    };
    // A voice that starts when its tick is found.
    struct OnTick
    {
        Voice voice;
        int64_t offset = 0; // frames after the tick's frame
    };
    struct ModuleState
    {
        static constexpr int remembered = 16;

        ClockModule* module = nullptr;
        bool playing = false;
        int generation = 0;
        int step = 1;
        int64_t orders = 0;
        int64_t ticks = 0; // reported since attached
        std::array<int64_t, remembered> tickFrames{};
    };

    void apply(const MixerCommand& command, int64_t blockStart);
    void startOnTick(const MixerCommand& command, int64_t blockStart);
    void cancelOnTick(const MixerCommand& command);
    void forgetPending(int slot);
    void runClocks(int64_t blockStart, int frames);
    void report(ModuleState& state, int slot, int64_t frame);
    void mixVoices(float* out, int64_t blockStart, int frames);

    std::array<Voice, maxVoices> voices{};
    std::array<OnTick, maxVoices> pending{}; // by channel; no sample: none
    std::array<ModuleState, maxModules> modules{};
    int voiceLimit;
    float masterGain = 1.0f;
    bool ticksAdded = false;
};
