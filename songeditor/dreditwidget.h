#pragma once

#include "kit/drumset.h"
#include "playback/event.h"
#include "songeditor/song.h"

#include <QWidget>
#include <vector>

class QLCDNumber;

// The song editor's panel: owns the song editor's kit and the current song, derives the tracks
// from the kit and plays the song on the beat clock, one step every third tick.
class DreditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DreditWidget(QWidget* parent = nullptr);

    // Held by value: whoever received &drumSet sees the kit that the panel holds now.
    DrumSet drumSet;
    Song song;
    std::vector<TrackRef> tracks;
    int trackCount = 0;

    int currentPattern = -1;
    int currentBeat = 0; // the step that plays next
    int subTick = 0;     // clock ticks since the last step, 0..2
    bool songMode = false;
    bool playing = false;
    int bpm = 120;
    int rhythm = 4; // beats per bar

    // Per track; named apart from the mute and solo slots that toggle them.
    std::vector<bool> muted;
    std::vector<bool> soloed;
    std::vector<int> volume; // 0..100, scales only the audition of an entered cell
    int soloCount = 0;

    QLCDNumber* patNumLCD = nullptr;
    QLCDNumber* beatNumLCD = nullptr;

public slots:
    void updateAll();
    void refreshTracks();
    void refreshPat();
    void bpmSlot(int value);
    void playSngSlot();
    void playPatSlot();
    void stopSlot();
    void nextBeat();
    void mute(int track);
    void solo(int track);
    void vol(int track, int value);

signals:
    void sendSet(DrumSet* set);
    void addTrack(QString name);
    void clearTracks();
    void refresh(int cell, int track, int velocity, float offset);
    void setBeats(int beats);
    void startSignal();
    void stopSignal();
    void bpmSignal(int bpm);
    // e1 the step's later hand note, e2 its first, e3 the hi-hat pedal, e4 the kick.
    void next(Event e1, Event e2, Event e3, Event e4);

private:
    void playStep();
    void collectNotes(const Pattern& pattern, Event& e1, Event& e2, Event& e3, Event& e4) const;
    void showPlayPosition();
    void startPlaying(bool wholeSong);
};
