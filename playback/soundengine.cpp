#include "playback/soundengine.h"

#include "common/dialogs.h"
#include "playback/timerevent.h"

#include <algorithm>

namespace {

bool inList(const std::vector<SoundLayer::SampleHandle>& list, int id)
{
    return id >= 0 && id < int(list.size());
}

// Twice the velocity; only values beyond the layer's range are cut, without overflowing.
int volumeOf(int velocity)
{
    return int(std::clamp(2LL * velocity, 0LL, 1LL << 16));
}

} // namespace

SoundEngine::SoundEngine() : QObject(nullptr), layer(std::make_unique<SoundLayer>())
{
    layer->initialise(44100, 32);
    layer->setSampleMasterVolume(255);
    module = layer->loadModule("olmtimer120.xm");
    speed = 3.0f;
    setTempo(120);
    if (!timerEventObject)
        timerEventObject = new TimerEvent;
    if (!layer->setOrderCallback(module, orderCallback, 1))
        Dialogs::information(nullptr, "Sound engine", "TimerEvent callback not set!");
    connect(timerEventObject, &TimerEvent::event, this, &SoundEngine::timerSlot);
    addUISound("Sounds/no.wav");
}

SoundEngine::~SoundEngine()
{
    kitSounds.clear();
    uiSounds.clear();
    layer->releaseModule(module);
    layer->shutDown();
}

int SoundEngine::playOn(SoundLayer::SampleHandle sample, int volume)
{
    SoundLayer::Batch together(*layer); // the volume must be set before the voice is heard
    const int channel = layer->playSample(sample);
    layer->setChannelVolume(channel, volume);
    return channel;
}

int SoundEngine::play(int id, int velocity)
{
    if (!inList(kitSounds, id))
        return -1;
    const int announced = claimAhead(id, velocity);
    if (announced >= 0)
        return announced;
    return playOn(kitSounds[id], volumeOf(velocity));
}

void SoundEngine::playAhead(int id, int velocity, int ticks)
{
    const int64_t now = layer->tickNumber();
    if (now < 0 || ticks < 1 || !inList(kitSounds, id))
        return;
    const int channel =
        layer->playSampleOnTick(kitSounds[id], volumeOf(velocity), module, now + ticks);
    if (channel >= 0)
        ahead.push_back({now + ticks, id, velocity, channel});
}

int SoundEngine::claimAhead(int id, int velocity)
{
    const int64_t now = layer->tickNumber();
    const auto found = std::find_if(ahead.begin(), ahead.end(), [&](const Ahead& sound) {
        return sound.tick == now && sound.id == id && sound.velocity == velocity;
    });
    if (found == ahead.end())
        return -1;
    const int channel = found->channel;
    ahead.erase(found);
    return channel;
}

void SoundEngine::cancelAhead()
{
    for (const Ahead& sound : ahead)
        layer->cancelSampleOnTick(module, sound.tick, sound.channel);
    ahead.clear();
}

// What was announced for a tick and not asked for on it does not sound.
void SoundEngine::cancelUnclaimed()
{
    const auto due = [now = layer->tickNumber()](const Ahead& sound) { return sound.tick <= now; };
    for (const Ahead& sound : ahead)
        if (due(sound))
            layer->cancelSampleOnTick(module, sound.tick, sound.channel);
    ahead.erase(std::remove_if(ahead.begin(), ahead.end(), due), ahead.end());
}

int SoundEngine::playUI(int id)
{
    if (!inList(uiSounds, id))
        return -1;
    return playOn(uiSounds[id], SoundLayer::fullVolume);
}

int SoundEngine::addSound(QString file)
{
    kitSounds.push_back(layer->loadSample(file));
    const int id = int(kitSounds.size()) - 1;
    emit sendID(id);
    return id;
}

int SoundEngine::addUISound(QString file)
{
    uiSounds.push_back(layer->loadSample(file));
    const int id = int(uiSounds.size()) - 1;
    emit sendID(id);
    return id;
}

void SoundEngine::removeSound(int id)
{
    if (!inList(kitSounds, id))
        return;
    cancelAhead(); // identifiers shift
    layer->releaseSample(kitSounds[id]);
    kitSounds.erase(kitSounds.begin() + id);
}

void SoundEngine::reloadSound(int id, QString file)
{
    if (!inList(kitSounds, id))
        return;
    cancelAhead();
    layer->releaseSample(kitSounds[id]);
    kitSounds[id] = layer->loadSample(file);
}

void SoundEngine::soundClear()
{
    cancelAhead();
    for (SoundLayer::SampleHandle sample : kitSounds)
        layer->releaseSample(sample);
    kitSounds.clear();
}

void SoundEngine::start()
{
    layer->playModule(module);
}

void SoundEngine::stop()
{
    cancelAhead();
    layer->stopModule(module);
}

void SoundEngine::setTempo(int bpm)
{
    speed = float(double(bpm) * 3 / 120);
    layer->setModuleSpeed(module, speed);
}

void SoundEngine::timerSlot()
{
    emit timerEvent();
    if (layer->tickNumber() >= 0)
        cancelUnclaimed();
}
