#include "playback/mixer.h"

#include "playback/clockmodule.h"
#include "playback/sample.h"

#include <algorithm>
#include <cmath>

namespace {

// Overlapping hits may sum past full scale: above the knee the mix bends smoothly toward 1.
constexpr float knee = 0.8f;

float limited(float x)
{
    const float magnitude = std::abs(x);
    if (magnitude <= knee)
        return x;
    const float bent = knee + (1.0f - knee) * std::tanh((magnitude - knee) / (1.0f - knee));
    return std::copysign(bent, x);
}

} // namespace

Mixer::Mixer(int voices) : voiceLimit(std::clamp(voices, 1, maxVoices)) {}

void Mixer::render(float* out, int frames)
{
    const int64_t blockStart = renderedFrames.load(std::memory_order_relaxed);
    MixerCommand command;
    uint64_t taken = 0;
    while (commands.pop(command)) {
        apply(command, blockStart);
        ++taken;
    }
    if (taken)
        processedCommands.fetch_add(taken, std::memory_order_release);

    std::fill(out, out + frames * 2, 0.0f);
    runClocks(blockStart, frames);
    mixVoices(out, blockStart, frames);
    for (int i = 0; i < frames * 2; ++i)
        out[i] = limited(out[i] * masterGain);
    renderedFrames.store(blockStart + frames, std::memory_order_release);

    if (ticksAdded && !wakePending.exchange(true) && wake)
        wake(wakeContext);
    ticksAdded = false;
}

void Mixer::apply(const MixerCommand& c, int64_t blockStart)
{
    const bool validChannel = c.channel >= 0 && c.channel < voiceLimit;
    const bool validSlot = c.channel >= 0 && c.channel < maxModules;
    switch (c.type) {
    case MixerCommand::Type::Start:
        if (validChannel) {
            voices[c.channel] = {c.sample, std::max(c.frame, blockStart), 1.0f};
            pending[c.channel] = {};
        }
        break;
    case MixerCommand::Type::StartOnTick:
        if (validChannel && c.slot >= 0 && c.slot < maxModules && c.tick >= 0)
            startOnTick(c, blockStart);
        break;
    case MixerCommand::Type::CancelOnTick:
        if (validChannel)
            cancelOnTick(c);
        break;
    case MixerCommand::Type::Volume:
        if (validChannel)
            voices[c.channel].gain = float(c.value) / 256.0f;
        break;
    case MixerCommand::Type::MasterVolume:
        masterGain = float(c.value) / 255.0f;
        break;
    case MixerCommand::Type::ReleaseSample:
        for (Voice& voice : voices)
            if (voice.sample == c.sample)
                voice.sample = nullptr;
        for (OnTick& onTick : pending)
            if (onTick.voice.sample == c.sample)
                onTick = {};
        break;
    case MixerCommand::Type::Attach:
    case MixerCommand::Type::Detach:
        if (validSlot) {
            modules[c.channel] = {};
            modules[c.channel].module = c.module;
            forgetPending(c.channel);
        }
        break;
    case MixerCommand::Type::Play:
        if (validSlot && modules[c.channel].module) {
            ModuleState& state = modules[c.channel];
            state.module->restart();
            state.playing = true;
            state.generation = c.value;
            state.orders = 0;
            report(state, c.channel, blockStart);
        }
        break;
    case MixerCommand::Type::Stop:
        if (validSlot) {
            modules[c.channel].playing = false;
            forgetPending(c.channel); // their ticks will never come
        }
        break;
    case MixerCommand::Type::Speed:
        if (validSlot && modules[c.channel].module)
            modules[c.channel].module->setMasterSpeed(c.speed);
        break;
    case MixerCommand::Type::OrderStep:
        if (validSlot)
            modules[c.channel].step = std::max(1, c.value);
        break;
    }
}

void Mixer::startOnTick(const MixerCommand& c, int64_t blockStart)
{
    const ModuleState& state = modules[c.slot];
    const Voice voice{c.sample, 0, float(c.value) / 256.0f, c.slot, c.tick};
    pending[c.channel] = {};
    if (c.tick >= state.ticks) {
        pending[c.channel] = {voice, c.frame};
        return;
    }
    // Its tick has passed: as close to where it belongs as is still possible.
    const bool remembered = state.ticks - c.tick <= ModuleState::remembered;
    const int64_t due =
        remembered ? state.tickFrames[size_t(c.tick % ModuleState::remembered)] + c.frame : 0;
    voices[c.channel] = voice;
    voices[c.channel].start = std::max(due, blockStart);
}

void Mixer::cancelOnTick(const MixerCommand& c)
{
    const auto putThere = [&c](const Voice& voice) {
        return voice.sample && voice.slot == c.slot && voice.tick == c.tick;
    };
    if (putThere(pending[c.channel].voice))
        pending[c.channel] = {};
    if (putThere(voices[c.channel]))
        voices[c.channel].sample = nullptr;
}

void Mixer::forgetPending(int slot)
{
    for (OnTick& onTick : pending)
        if (onTick.voice.slot == slot)
            onTick = {};
}

void Mixer::runClocks(int64_t blockStart, int frames)
{
    for (int slot = 0; slot < maxModules; ++slot) {
        ModuleState& state = modules[slot];
        if (!state.module || !state.playing)
            continue;
        int at = 0;
        while ((at = state.module->nextOrderChange(frames)) >= 0) {
            ++state.orders;
            report(state, slot, blockStart + at);
        }
        state.module->pass(frames);
    }
}

void Mixer::report(ModuleState& state, int slot, int64_t frame)
{
    if (state.orders % state.step != 0)
        return;
    const int64_t number = state.ticks++;
    state.tickFrames[size_t(number % ModuleState::remembered)] = frame;
    for (int channel = 0; channel < voiceLimit; ++channel) {
        OnTick& onTick = pending[channel];
        if (!onTick.voice.sample || onTick.voice.slot != slot || onTick.voice.tick > number)
            continue;
        voices[channel] = onTick.voice;
        voices[channel].start = frame + onTick.offset;
        onTick = {};
    }
    // A full ring means the GUI has not looked for a long time; the tick is dropped.
    ticks.push({frame, number, slot, state.generation, state.module->currentOrder()});
    ticksAdded = true;
}

void Mixer::mixVoices(float* out, int64_t blockStart, int frames)
{
    const int64_t blockEnd = blockStart + frames;
    for (int channel = 0; channel < voiceLimit; ++channel) {
        Voice& voice = voices[channel];
        const Sample* sample = voice.sample;
        if (!sample)
            continue;
        const int64_t sampleEnd = voice.start + sample->frameCount();
        if (sampleEnd <= blockEnd)
            voice.sample = nullptr;
        const int64_t from = std::max(voice.start, blockStart);
        const int64_t to = std::min(sampleEnd, blockEnd);
        if (from >= to)
            continue;
        const float* source = sample->frames.data() + (from - voice.start) * 2;
        float* target = out + (from - blockStart) * 2;
        for (int64_t i = 0; i < (to - from) * 2; ++i)
            target[i] += source[i] * voice.gain;
    }
}
