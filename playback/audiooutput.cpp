#include "playback/audiooutput.h"

#include "playback/mixer.h"
#include "playback/wavfile.h"

#include <SDL.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace {

class DeviceOutput : public AudioOutput
{
public:
    static std::unique_ptr<AudioOutput> open(Mixer& mixer, int rate)
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return nullptr;
        // SDL's stand-in drivers keep time too loosely for a clock.
        const char* driver = SDL_GetCurrentAudioDriver();
        if (!driver || !std::strcmp(driver, "dummy") || !std::strcmp(driver, "disk")) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        std::unique_ptr<DeviceOutput> output(new DeviceOutput);
        SDL_AudioSpec want{};
        want.freq = rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = preferredBlock;
        want.callback = &DeviceOutput::callback;
        want.userdata = &mixer;
        SDL_AudioSpec have{};
        output->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (output->device == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        output->block = have.samples;
        SDL_PauseAudioDevice(output->device, 0);
        return output;
    }

    ~DeviceOutput() override
    {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    Kind kind() const override { return Kind::Device; }
    int blockFrames() const override { return block; }

private:
    DeviceOutput() = default;

    static void callback(void* mixer, Uint8* stream, int bytes)
    {
        static_cast<Mixer*>(mixer)->render(reinterpret_cast<float*>(stream),
                                           bytes / int(2 * sizeof(float)));
    }

    SDL_AudioDeviceID device = 0;
    int block = preferredBlock;
};

// Renders a block, then sleeps until the next block's absolute deadline: no drift, whatever the
// time a block takes.
class SilentOutput : public AudioOutput
{
public:
    SilentOutput(Mixer& mixer, int rate, const QString& recordTo) : mixer(mixer), rate(rate)
    {
        if (!recordTo.isEmpty())
            recorder = std::make_unique<WavRecorder>(recordTo, 2, rate);
        thread = std::thread([this] { run(); });
    }

    ~SilentOutput() override
    {
        stopping = true;
        thread.join();
        if (recorder)
            recorder->finish();
    }

    Kind kind() const override { return Kind::Silent; }
    int blockFrames() const override { return preferredBlock; }

private:
    void run()
    {
        using Clock = std::chrono::steady_clock;
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(preferredBlock) / rate));
        std::vector<float> block(preferredBlock * 2);
        auto deadline = Clock::now();
        while (!stopping) {
            mixer.render(block.data(), preferredBlock);
            if (recorder)
                recorder->append(block.data(), preferredBlock);
            deadline += period;
            // After a stall (a suspended machine) the clock goes on from now instead of racing.
            if (Clock::now() - deadline > std::chrono::seconds(1))
                deadline = Clock::now();
            std::this_thread::sleep_until(deadline);
        }
    }

    Mixer& mixer;
    int rate;
    std::unique_ptr<WavRecorder> recorder;
    std::atomic<bool> stopping{false};
    std::thread thread;
};

class DrivenOutput : public AudioOutput
{
public:
    Kind kind() const override { return Kind::Driven; }
    int blockFrames() const override { return preferredBlock; }
};

} // namespace

std::unique_ptr<AudioOutput> AudioOutput::start(Mixer& mixer, int rate)
{
    const QString choice = qEnvironmentVariable("OLMIRA_AUDIO");
    if (choice == "driven")
        return std::make_unique<DrivenOutput>();
    if (choice == "silent" || choice.startsWith("silent:"))
        return std::make_unique<SilentOutput>(mixer, rate, choice.mid(7));
    if (auto device = DeviceOutput::open(mixer, rate))
        return device;
    return std::make_unique<SilentOutput>(mixer, rate, QString());
}
