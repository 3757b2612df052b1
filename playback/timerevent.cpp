#include "playback/timerevent.h"

TimerEvent* timerEventObject = nullptr;

TimerEvent::TimerEvent() : QObject(nullptr) {}

void TimerEvent::sendEvent()
{
    emit event();
}

void orderCallback(SoundLayer::ModuleHandle, int)
{
    if (timerEventObject)
        timerEventObject->sendEvent();
}
