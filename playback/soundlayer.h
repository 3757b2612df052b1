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
// Order changes are found on the audio thread, stamped with their output frame and handed back;
// the order callbacks run on the GUI thread (from its event loop, or from dispatchTicks()).
// A sample played while a callback runs starts exactly latencyFrames() after the tick's frame.
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
    bool isDriven() const;

private:
    struct Voice
    {
        SampleHandle sample = nullptr;
        int64_t start = 0;
        int64_t end = 0;
    };
    struct Retired
    {
        std::unique_ptr<Sample> sample;
        std::unique_ptr<ClockModule> module;
        uint64_t afterCommand;
    };

    bool known(ModuleHandle module);
    bool send(const MixerCommand& command);
    int freeVoice() const;
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
    bool dispatching = false;
    std::vector<std::unique_ptr<Sample>> samples;
    std::vector<std::unique_ptr<Module>> modules;
    std::vector<Retired> retired;
    std::array<Voice, Mixer::maxVoices> voices{};
};
