#pragma once

#include "playback/soundlayer.h"

#include <QObject>

// Relays the beat clock's order callback into the signal world.
class TimerEvent : public QObject
{
    Q_OBJECT

public:
    TimerEvent();

public slots:
    void sendEvent();

signals:
// The signal's name hides QObject's event handler on purpose: connections can name it plainly.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Woverloaded-virtual"
    void event();
#pragma GCC diagnostic pop
};

// The one TimerEvent of the program; made by the first SoundEngine, kept until the program ends.
extern TimerEvent* timerEventObject;

// The clock module's order callback (both arguments ignored): one tick of the beat clock.
void orderCallback(SoundLayer::ModuleHandle module, int order);
