#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "playback/mixer.h"

class AudioOutput;
class ClockModule;
class QSocketNotifier;
struct Sample;

// The program's own sound library: samples played on 32 voices and a tracker module played as
// a clock whose order changes are reported. Every call is made on the GUI thread; the mixing
// runs on the audio thread, which is handed commands through a lock-free ring, so that no call
// here ever waits for it.
//
// Order changes are found on the audio thread, stamped with their output frame and numbered, and
// handed back; the order callbacks run on the GUI thread (from its event loop, or from
// dispatchTicks()). A sample played while a callback runs starts exactly latencyFrames() after
// the tick's frame, if the GUI got there in time. A sample put on a later tick beforehand starts
// there exactly however late the GUI is: the audio thread starts it when it finds the tick.
class SoundLayer
{
public:
    struct Module;
    using SampleHandle = const Sample*;
    using ModuleHandle = Module*;
    using OrderCallback = void (*)(ModuleHandle module, int order);

    static constexpr double minSpeed = 0.025;
    static constexpr double maxSpeed = 6.0;
    static constexpr int fullVolume = 256;

    SoundLayer();
    ~SoundLayer();
    SoundLayer(const SoundLayer&) = delete;
    SoundLayer& operator=(const SoundLayer&) = delete;

    // Starts the output (see AudioOutput for the choice) with up to 32 voices.
    bool initialise(int rate, int voices);
    // Stops the output and releases every sample and module.
    void shutDown();

    void setSampleMasterVolume(int volume); // 0..255

    SampleHandle loadSample(const QString& path); // null when the file cannot be read
    void releaseSample(SampleHandle sample);
    // Starts the sample on a free voice (the oldest one when all are busy) and returns the
    // voice, or -1 for a null sample.
    int playSample(SampleHandle sample);
    void setChannelVolume(int channel, int volume); // 0..255, fullVolume for full
    // Puts the sample at the given volume on tick number `tick` of the module: it starts
    // latencyFrames() after that tick's frame (at once if the tick is long gone). Returns the
    // voice, or -1.
    int playSampleOnTick(SampleHandle sample, int volume, ModuleHandle module, int64_t tick);
    // Takes back what playSampleOnTick put on that voice for that tick, silencing it if it
    // already sounds.
    void cancelSampleOnTick(ModuleHandle module, int64_t tick, int channel);

    ModuleHandle loadModule(const QString& path);          // null when the file cannot be read
    void setModuleSpeed(ModuleHandle module, float speed); // kept within minSpeed..maxSpeed
    bool setOrderCallback(ModuleHandle module, OrderCallback callback, int orderStep);
    bool playModule(ModuleHandle module);
    bool stopModule(ModuleHandle module);
    void releaseModule(ModuleHandle module);

    // Commands given while a Batch lives reach the audio thread together.
    class Batch
    {
    public:
        explicit Batch(SoundLayer& layer);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SoundLayer& layer;
    };

    // The audio thread's render function: interleaved stereo frames. With the driven output
    // (OLMIRA_AUDIO=driven) the caller renders, frame-exact, on its own thread.
    void render(float* out, int frames);
    // Runs the order callbacks of the ticks that have arrived.
    void dispatchTicks();

    int rate() const { return outputRate; }
    int latencyFrames() const { return latency; }
    // Frames the audio thread has rendered so far.
    int64_t renderedFrames() const;
    // The frame of the tick whose callback is running, or -1.
    int64_t tickFrame() const { return currentTick; }
    // The number of the tick whose callback is running (its module's ticks count from 0), or -1.
    int64_t tickNumber() const { return currentTickNumber; }
    bool isDriven() const;

private:
    struct Voice
    {
        SampleHandle sample = nullptr;
        int64_t start = 0;
        int64_t end = 0;
        int slot = -1; // the tick it waits for, until that tick is seen here
        int64_t tick = -1;
    };
    struct Retired
    {
        std::unique_ptr<Sample> sample;
        std::unique_ptr<ClockModule> module;
        uint64_t afterCommand;
    };

    bool known(ModuleHandle module);
    bool playable(SampleHandle sample);
    bool send(const MixerCommand& command);
    int freeVoice() const;
    void startedOnTick(const ClockTick& tick);
    void retire(Retired retired, bool sent);
    void collectRetired();
    void closeWakeup();
    static void wake(void* layer);

    std::unique_ptr<Mixer> mixer;
    std::unique_ptr<AudioOutput> output;
    std::unique_ptr<QSocketNotifier> notifier;
    int wakeFd = -1;
    int outputRate = 44100;
    int latency = 0;
    int batchDepth = 0;
    uint64_t commandsSent = 0;
    int64_t currentTick = -1;
    int64_t currentTickNumber = -1;
    bool dispatching = false;
    std::vector<std::unique_ptr<Sample>> samples;
    std::vector<std::unique_ptr<Module>> modules;
    std::vector<Retired> retired;
    std::array<Voice, Mixer::maxVoices> voices{};
};
