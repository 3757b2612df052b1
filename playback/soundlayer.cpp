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
    MixerCommand command;
    command.type = MixerCommand::Type::MasterVolume;
    command.value = std::clamp(volume, 0, 255);
    send(command);
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
    const auto found = std::find_if(samples.begin(), samples.end(),
                                    [sample](const auto& owned) { return owned.get() == sample; });
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

int SoundLayer::playSample(SampleHandle sample)
{
    const bool known = std::any_of(samples.begin(), samples.end(),
                                   [sample](const auto& owned) { return owned.get() == sample; });
    if (!mixer || !sample || !known)
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

void SoundLayer::setChannelVolume(int channel, int volume)
{
    if (!mixer || channel < 0 || channel >= mixer->voiceCount())
        return;
    MixerCommand command;
    command.type = MixerCommand::Type::Volume;
    command.channel = channel;
    command.value = std::clamp(volume, 0, fullVolume);
    send(command);
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

SoundLayer::Module* SoundLayer::known(ModuleHandle module) const
{
    const auto found = std::find_if(modules.begin(), modules.end(),
                                    [module](const auto& owned) { return owned.get() == module; });
    return found == modules.end() ? nullptr : found->get();
}

void SoundLayer::setModuleSpeed(ModuleHandle module, float speed)
{
    if (!known(module) || std::isnan(speed))
        return;
    MixerCommand command;
    command.type = MixerCommand::Type::Speed;
    command.channel = module->slot;
    command.speed = std::clamp(double(speed), minSpeed, maxSpeed);
    send(command);
}

bool SoundLayer::setOrderCallback(ModuleHandle module, OrderCallback callback, int orderStep)
{
    if (!known(module) || !callback || orderStep < 1)
        return false;
    module->callback = callback;
    MixerCommand command;
    command.type = MixerCommand::Type::OrderStep;
    command.channel = module->slot;
    command.value = orderStep;
    return send(command);
}

bool SoundLayer::playModule(ModuleHandle module)
{
    if (!known(module))
        return false;
    MixerCommand command;
    command.type = MixerCommand::Type::Play;
    command.channel = module->slot;
    command.value = ++module->generation;
    module->playing = send(command);
    return module->playing;
}

bool SoundLayer::stopModule(ModuleHandle module)
{
    if (!known(module))
        return false;
    module->playing = false;
    MixerCommand command;
    command.type = MixerCommand::Type::Stop;
    command.channel = module->slot;
    return send(command);
}

void SoundLayer::releaseModule(ModuleHandle module)
{
    collectRetired();
    const auto found = std::find_if(modules.begin(), modules.end(),
                                    [module](const auto& owned) { return owned.get() == module; });
    if (found == modules.end())
        return;
    MixerCommand command;
    command.type = MixerCommand::Type::Detach;
    command.channel = module->slot;
    const bool sent = send(command);
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
        Module* module = nullptr;
        for (const auto& owned : modules)
            if (owned->slot == tick.slot)
                module = owned.get();
        if (!module || !module->playing || !module->callback ||
            tick.generation != module->generation)
            continue;
        currentTick = tick.frame;
        module->callback(module, tick.order);
        currentTick = -1;
    }
    dispatching = false;
}
