#include "playback/soundlayer.h"

#include "playback/audiooutput.h"
#include "playback/clockmodule.h"
#include "playback/sample.h"

#include <QSocketNotifier>
#include <algorithm>
#include <cmath>
#include <limits>
#include <sys/eventfd.h>
#include <unistd.h>

struct SoundLayer::Module
{
    std::unique_ptr<ClockModule> player;
    int slot = 0;
    OrderCallback callback = nullptr;
    int generation = 0;
    bool playing = false;
};

namespace {

// The start of a voice that waits for its tick.
constexpr int64_t onItsTick = std::numeric_limits<int64_t>::max();

template <typename Owned, typename Pointer>
auto findOwned(std::vector<std::unique_ptr<Owned>>& list, Pointer pointer)
{
    return std::find_if(list.begin(), list.end(),
                        [pointer](const auto& owned) { return owned.get() == pointer; });
}

} // namespace

SoundLayer::SoundLayer() = default;

SoundLayer::~SoundLayer()
{
    shutDown();
}

bool SoundLayer::initialise(int rate, int voiceCount)
{
    if (mixer)
        return true;
    outputRate = std::clamp(rate, 8000, 192000);
    mixer = std::make_unique<Mixer>(voiceCount);
    // The audio thread may not post events (that allocates and locks); it only bumps this
    // counter, and the GUI's event loop notices.
    wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd >= 0) {
        notifier = std::make_unique<QSocketNotifier>(wakeFd, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                         [this] { dispatchTicks(); });
        mixer->wake = &SoundLayer::wake;
        mixer->wakeContext = this;
    }
    output = AudioOutput::start(*mixer, outputRate);
    // A tick found while one block renders is heard two blocks later: the GUI has that long to
    // answer it before the sound is due.
    latency = 2 * output->blockFrames();
    return true;
}

void SoundLayer::shutDown()
{
    output.reset();
    closeWakeup();
    modules.clear();
    samples.clear();
    retired.clear();
    mixer.reset();
    voices = {};
    batchDepth = 0;
    commandsSent = 0;
}

void SoundLayer::closeWakeup()
{
    notifier.reset();
    if (wakeFd >= 0)
        ::close(wakeFd);
    wakeFd = -1;
}

void SoundLayer::wake(void* layer)
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written =
        ::write(static_cast<SoundLayer*>(layer)->wakeFd, &one, sizeof one);
}

bool SoundLayer::isDriven() const
{
    return output && output->kind() == AudioOutput::Kind::Driven;
}

void SoundLayer::render(float* out, int frames)
{
    if (isDriven())
        mixer->render(out, frames);
}

bool SoundLayer::send(const MixerCommand& command)
{
    if (!mixer || !mixer->commands.stage(command))
        return false;
    ++commandsSent;
    if (batchDepth == 0)
        mixer->commands.publish();
    return true;
}

SoundLayer::Batch::Batch(SoundLayer& layer) : layer(layer)
{
    ++layer.batchDepth;
}

SoundLayer::Batch::~Batch()
{
    if (--layer.batchDepth == 0 && layer.mixer)
        layer.mixer->commands.publish();
}

int64_t SoundLayer::renderedFrames() const
{
    return mixer ? mixer->renderedFrames.load(std::memory_order_acquire) : 0;
}

void SoundLayer::setSampleMasterVolume(int volume)
{
    send({MixerCommand::Type::MasterVolume, 0, std::clamp(volume, 0, 255)});
}

SoundLayer::SampleHandle SoundLayer::loadSample(const QString& path)
{
    collectRetired();
    if (!mixer)
        return nullptr;
    std::unique_ptr<Sample> sample = decodeSampleFile(path, outputRate);
    if (!sample)
        return nullptr;
    samples.push_back(std::move(sample));
    return samples.back().get();
}

void SoundLayer::releaseSample(SampleHandle sample)
{
    collectRetired();
    const auto found = findOwned(samples, sample);
    if (found == samples.end())
        return;
    for (Voice& voice : voices)
        if (voice.sample == sample)
            voice = {};
    MixerCommand command;
    command.type = MixerCommand::Type::ReleaseSample;
    command.sample = sample;
    const bool sent = send(command);
    retire({std::move(*found), nullptr, commandsSent}, sent);
    samples.erase(found);
}

int SoundLayer::freeVoice() const
{
    const int count = mixer->voiceCount();
    const int64_t now = renderedFrames();
    for (int channel = 0; channel < count; ++channel)
        if (!voices[channel].sample || voices[channel].end <= now)
            return channel;
    const auto oldest =
        std::min_element(voices.begin(), voices.begin() + count,
                         [](const Voice& a, const Voice& b) { return a.start < b.start; });
    return int(oldest - voices.begin());
}

bool SoundLayer::playable(SampleHandle sample)
{
    return mixer && sample && findOwned(samples, sample) != samples.end();
}

int SoundLayer::playSample(SampleHandle sample)
{
    if (!playable(sample))
        return -1;
    const int channel = freeVoice();
    MixerCommand command;
    command.type = MixerCommand::Type::Start;
    command.channel = channel;
    command.sample = sample;
    command.frame = currentTick >= 0 ? currentTick + latency : 0;
    if (!send(command))
        return -1;
    const int64_t start = std::max(command.frame, renderedFrames());
    voices[channel] = {sample, start, start + sample->frameCount()};
    return channel;
}

int SoundLayer::playSampleOnTick(SampleHandle sample, int volume, ModuleHandle module, int64_t tick)
{
    if (!playable(sample) || !known(module) || tick < 0)
        return -1;
    const int channel = freeVoice();
    MixerCommand command;
    command.type = MixerCommand::Type::StartOnTick;
    command.channel = channel;
    command.value = std::clamp(volume, 0, fullVolume);
    command.frame = latency;
    command.sample = sample;
    command.slot = module->slot;
    command.tick = tick;
    if (!send(command))
        return -1;
    // Busy, and never the oldest, until its tick shows when it starts.
    voices[channel] = {sample, onItsTick, onItsTick, module->slot, tick};
    return channel;
}

void SoundLayer::cancelSampleOnTick(ModuleHandle module, int64_t tick, int channel)
{
    if (!known(module) || channel < 0 || channel >= mixer->voiceCount())
        return;
    MixerCommand command;
    command.type = MixerCommand::Type::CancelOnTick;
    command.channel = channel;
    command.slot = module->slot;
    command.tick = tick;
    send(command);
    Voice& voice = voices[channel];
    if (voice.slot == module->slot && voice.tick == tick)
        voice = {};
}

void SoundLayer::startedOnTick(const ClockTick& tick)
{
    for (Voice& voice : voices)
        if (voice.sample && voice.slot == tick.slot && voice.tick <= tick.number &&
            voice.start == onItsTick) {
            voice.start = tick.frame + latency;
            voice.end = voice.start + voice.sample->frameCount();
        }
}

void SoundLayer::setChannelVolume(int channel, int volume)
{
    if (!mixer || channel < 0 || channel >= mixer->voiceCount())
        return;
    send({MixerCommand::Type::Volume, channel, std::clamp(volume, 0, fullVolume)});
}

SoundLayer::ModuleHandle SoundLayer::loadModule(const QString& path)
{
    collectRetired();
    if (!mixer)
        return nullptr;
    int slot = 0;
    while (slot < Mixer::maxModules &&
           std::any_of(modules.begin(), modules.end(),
                       [slot](const auto& module) { return module->slot == slot; }))
        ++slot;
    if (slot == Mixer::maxModules)
        return nullptr;
    auto module = std::make_unique<Module>();
    module->player = ClockModule::load(path, outputRate);
    module->slot = slot;
    MixerCommand command;
    command.type = MixerCommand::Type::Attach;
    command.channel = slot;
    command.module = module->player.get();
    if (!module->player || !send(command))
        return nullptr;
    modules.push_back(std::move(module));
    return modules.back().get();
}

bool SoundLayer::known(ModuleHandle module)
{
    return module && findOwned(modules, module) != modules.end();
}

void SoundLayer::setModuleSpeed(ModuleHandle module, float speed)
{
    if (!known(module) || std::isnan(speed))
        return;
    send({MixerCommand::Type::Speed, module->slot, 0,
          std::clamp(double(speed), minSpeed, maxSpeed)});
}

bool SoundLayer::setOrderCallback(ModuleHandle module, OrderCallback callback, int orderStep)
{
    if (!known(module) || !callback || orderStep < 1)
        return false;
    module->callback = callback;
    return send({MixerCommand::Type::OrderStep, module->slot, orderStep});
}

bool SoundLayer::playModule(ModuleHandle module)
{
    if (!known(module))
        return false;
    module->playing = send({MixerCommand::Type::Play, module->slot, ++module->generation});
    return module->playing;
}

bool SoundLayer::stopModule(ModuleHandle module)
{
    if (!known(module))
        return false;
    module->playing = false;
    for (Voice& voice : voices)
        if (voice.slot == module->slot && voice.start == onItsTick)
            voice = {}; // its tick will not come
    return send({MixerCommand::Type::Stop, module->slot});
}

void SoundLayer::releaseModule(ModuleHandle module)
{
    collectRetired();
    const auto found = findOwned(modules, module);
    if (found == modules.end())
        return;
    const bool sent = send({MixerCommand::Type::Detach, module->slot});
    retire({nullptr, std::move(module->player), commandsSent}, sent);
    modules.erase(found);
}

// What the audio thread may still hold is destroyed only once it has taken the command that
// makes it let go; if that command could not be sent, only at shut-down.
void SoundLayer::retire(Retired item, bool sent)
{
    if (!sent)
        item.afterCommand = std::numeric_limits<uint64_t>::max();
    retired.push_back(std::move(item));
}

void SoundLayer::collectRetired()
{
    if (!mixer)
        return;
    const uint64_t processed = mixer->processedCommands.load(std::memory_order_acquire);
    retired.erase(
        std::remove_if(retired.begin(), retired.end(),
                       [processed](const Retired& item) { return item.afterCommand <= processed; }),
        retired.end());
}

void SoundLayer::dispatchTicks()
{
    if (!mixer)
        return;
    if (wakeFd >= 0) {
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t got = ::read(wakeFd, &count, sizeof count);
    }
    mixer->wakePending.store(false);
    // A callback that opens a modal dialog runs a nested event loop; its ticks wait for this one.
    if (dispatching)
        return;
    dispatching = true;
    ClockTick tick;
    while (mixer && mixer->ticks.pop(tick)) {
        startedOnTick(tick);
        Module* module = nullptr;
        for (const auto& owned : modules)
            if (owned->slot == tick.slot)
                module = owned.get();
        if (!module || !module->playing || !module->callback ||
            tick.generation != module->generation)
            continue;
        currentTick = tick.frame;
        currentTickNumber = tick.number;
        module->callback(module, tick.order);
        currentTick = -1;
        currentTickNumber = -1;
    }
    dispatching = false;
}
