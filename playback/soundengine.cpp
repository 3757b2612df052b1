#include "playback/soundengine.h"

#include "common/dialogs.h"
#include "playback/timerevent.h"

#include <algorithm>

namespace {

bool inList(const std::vector<SoundLayer::SampleHandle>& list, int id)
{
    return id >= 0 && id < int(list.size());
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
    // Twice the velocity; only values beyond the layer's range are cut, without overflowing.
    const long long volume = 2LL * velocity;
    return playOn(kitSounds[id], int(std::clamp(volume, 0LL, 1LL << 16)));
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
    layer->releaseSample(kitSounds[id]);
    kitSounds.erase(kitSounds.begin() + id);
}

void SoundEngine::reloadSound(int id, QString file)
{
    if (!inList(kitSounds, id))
        return;
    layer->releaseSample(kitSounds[id]);
    kitSounds[id] = layer->loadSample(file);
}

void SoundEngine::soundClear()
{
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
}
