#pragma once

#include "playback/beattiming.h"
#include "playback/event.h"

#include <QObject>

class Drum;
class DrumSet;
class Hitpoint;

// Turns each song step's four notes into hand moves now, drum reactions one or two steps later
// and sounds two steps later, when the stick arrives. Runs on the GUI thread only.
//
// Each sound is also announced when its note arrives, so that the sound engine can hand it to the
// audio thread long before it is requested, and have it start on its tick even when the GUI
// thread is late.
class NoteParser : public QObject
{
    Q_OBJECT
public:
    explicit NoteParser(QObject* parent = nullptr);

public slots:
    // e1 left hand, e2 right hand, e3 hi-hat pedal, e4 kick.
    void next(Event e1, Event e2, Event e3, Event e4);
    void reset();
    void recvSet(DrumSet* set);

signals:
    void moveRightHand(int drumIndex, int hitpointIndex);
    void moveLeftHand(int drumIndex, int hitpointIndex);
    void playSound(int soundId, int velocity);
    // playSound(soundId, velocity) is due `ticks` beat-clock ticks from now.
    void playSoundAhead(int soundId, int velocity, int ticks);
    // Sounds announced are no longer due (a reset, another kit).
    void cancelSoundsAhead();

private:
    enum Channel
    {
        LeftHand,
        RightHand,
        HiHatPedal,
        Kick,
        channelCount
    };
    // The newest step's notes and those of the steps until they sound.
    static constexpr int ageCount = BeatTiming::stepsToSound + 1;

    void age(const Event (&newest)[channelCount]);
    void playArrivedNotes();
    void reactToLastStep();
    void assignHands();
    void emitMoves();
    void announceSounds();

    Drum* drumOf(const Event& event) const;
    Hitpoint* hitpointOf(const Event& event) const;
    void hit(const Event& event);
    void hitEveryDrumOfType(int type, const Event& event);
    bool isBusy(Channel hand) const;
    bool isType(const Event& event, int type) const;
    void exchangeHands();

    Event history[channelCount][ageCount];
    int hihatToggle = 0;
    DrumSet* drumSet = nullptr;
};
