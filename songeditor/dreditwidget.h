#pragma once

#include "kit/drumset.h"
#include "playback/event.h"
#include "songeditor/song.h"
#include "songeditor/songfile.h"

#include <QWidget>
#include <optional>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLCDNumber;
class QLineEdit;
class QPushButton;
class QSpinBox;

// The song editor's panel: owns the song editor's kit and the current song, derives the tracks
// from the kit, decides what a click on a grid cell does, drives the grid through its signals and
// plays the song on the beat clock, one step every third tick.
class DreditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DreditWidget(QWidget* parent = nullptr);

    // Held by value: whoever received &drumSet sees the kit that the panel holds now.
    DrumSet drumSet;
    int soundCounter = 0; // sounds announced while a kit is read
    int drumCounter = 0;  // drums numbered while a kit is read
    Song song;
    std::optional<Pattern> clipboard;
    std::vector<TrackRef> tracks;
    int trackCount = 0;

    int currentPattern = -1;
    int currentBeat = 0; // the step that plays next
    int subTick = 0;     // clock ticks since the last step, below BeatTiming::ticksPerStep
    bool songMode = false;
    bool playing = false;
    int bpm = 120;
    int rhythmIndex = 0; // 0 "4/4", 1 "3/4"
    int rhythm = 4;      // beats per bar
    int velocity = 100;  // of newly entered cells
    int offsetIndex = 0; // the entry last chosen in the offset selector
    bool insertMode = true;
    int uiSound = 0; // the refusal sound

    // Per track; named apart from the mute and solo slots that toggle them.
    std::vector<bool> muted;
    std::vector<bool> soloed;
    std::vector<int> volume; // 0..100, scales only the audition of an entered cell
    int soloCount = 0;

    // The controls of the form, named as their objects.
    QFrame* dreditWidget;
    QLabel* drsetLabel;
    QPushButton* drsetLoadButton;
    QLineEdit* drsetNameLineEdit;
    QLineEdit* drsetInfoLineEdit;
    QLineEdit* drsetVersionLineEdit;
    QPushButton* songNewButton;
    QPushButton* songLoadButton;
    QPushButton* songSaveButton;
    QComboBox* patCombo;
    QSpinBox* patLenSpin;
    QPushButton* patRemButton;
    QPushButton* patCopyButton;
    QPushButton* patAddButton;
    QPushButton* patPasteButton;
    QSpinBox* tempoSpin;
    QComboBox* rytCombo;
    QSpinBox* veloSpin;
    QComboBox* offsetCombo;
    QPushButton* insertButton;
    QPushButton* eraseButton;
    QLCDNumber* patNumLCD;
    QLCDNumber* beatNumLCD;
    QPushButton* playSongButton;
    QPushButton* playPatButton;
    QPushButton* stopButton;

public slots:
    void drsetLoad();
    // 0 when the kit at path was read, -1 (changing nothing) when there is no such file or it does
    // not open as a kit.
    int drsetLoad(const QString& path);
    // Whether the kit was written completely; a save that cannot finish keeps the old file.
    bool drsetSave(const QString& path);
    void updateAll();
    void refreshTracks();
    void pressed(int cell, int track);
    void refreshPat();
    void songLoad();
    void songSave();
    void songNew();
    void veloSlot(int value);
    void bpmSlot(int value);
    void offsetSlot(int index);
    void rythmSlot(int index);
    void patSelSlot(int index);
    void patLenSlot(int length);
    void patAddSlot();
    void patRemSlot();
    void patCopySlot();
    void patPasteSlot();
    void insertSlot();
    void eraseSlot();
    void playSngSlot();
    void playPatSlot();
    void stopSlot();
    void nextBeat();
    void mute(int track);
    void solo(int track);
    void vol(int track, int value);

signals:
    void sendSet(DrumSet* set);
    void soundClear();
    void addSound(QString file);
    void addTrack(QString name);
    void clearTracks();
    void refresh(int cell, int track, int velocity, float offset);
    void playSound(int sound, int velocity);
    void playUISound(int sound);
    void setLenght(int length);
    void setBeats(int beats);
    void setMuteSoloVol(int track, bool mute, bool solo, int volume);
    void startSignal();
    void stopSignal();
    void bpmSignal(int bpm);
    // e1 the step's later hand note, e2 its first, e3 the hi-hat pedal, e4 the kick.
    void next(Event e1, Event e2, Event e3, Event e4);

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildForm();
    bool readKit(const QString& path);
    void takeSong(StoredSong stored);
    void connectForm();
    void applyFrameFont();
    Pattern* shownPattern();
    const Drum* drumOf(int track) const;
    const Hitpoint* hitpointOf(int track) const;
    bool refused(const Pattern& pattern, int cell, int track) const;
    void enterNote(Pattern& pattern, int cell, int track);
    void tellStrips();
    void playStep();
    void collectNotes(const Pattern& pattern, Event& e1, Event& e2, Event& e3, Event& e4) const;
    void showPlayPosition();
    void startPlaying(bool wholeSong);
};
