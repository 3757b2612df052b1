#pragma once

#include "playback/soundlayer.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

// Kit sounds and interface sounds by identifier (the index in their list), played at a volume
// from the stroke velocity, and the beat clock: the module "olmtimer120.xm" whose every order is
// one tick, at a master speed set from the tempo.
//
// Ticks are delivered on the GUI thread; a kit sound that play() starts while a tick is being
// delivered sounds exactly the layer's latency after the tick, if the GUI got there in time. A
// sound announced some ticks ahead with playAhead() is handed to the audio thread at once and
// starts on its tick however late the GUI is; the play() that asks for it on that tick then
// finds it playing.
class SoundEngine : public QObject
{
    Q_OBJECT

public:
    SoundEngine();
    ~SoundEngine() override;

    SoundLayer& soundLayer() { return *layer; }

    std::vector<SoundLayer::SampleHandle> kitSounds; // null where a file failed to load
    std::vector<SoundLayer::SampleHandle> uiSounds;
    SoundLayer::ModuleHandle module = nullptr;
    float speed = 3.0f;

public slots:
    int play(int id, int velocity);
    int playUI(int id);
    int addSound(QString file);
    int addUISound(QString file);
    void removeSound(int id);
    void reloadSound(int id, QString file);
    void soundClear();
    void start();
    void stop();
    void setTempo(int bpm);
    void timerSlot();
    // The kit sound that play() will be asked for `ticks` ticks after the one being delivered.
    // Ignored outside a tick.
    void playAhead(int id, int velocity, int ticks);
    // Takes back every sound announced that play() has not asked for yet.
    void cancelAhead();

signals:
    void sendID(int id);
// The signal's name hides QObject's timer handler on purpose: connections can name it plainly.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
    void timerEvent();
#pragma GCC diagnostic pop

private:
    struct Ahead
    {
        int64_t tick;
        int id;
        int velocity;
        int channel;
    };

    int playOn(SoundLayer::SampleHandle sample, int volume);
    int claimAhead(int id, int velocity);
    void cancelUnclaimed();

    std::unique_ptr<SoundLayer> layer;
    std::vector<Ahead> ahead;
};
