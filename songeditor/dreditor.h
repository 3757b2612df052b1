#pragma once

#include <QWidget>
#include <vector>

class BeatLine;
class ChanLine;
class QScrollArea;

// The beat grid: a row per track, its channel strip at the left and its line of 32 cells at the
// right, each side in a scroll view of its own that scrolls up and down with the other. It holds
// no song data: the song panel adds the rows and says what each cell shows; the grid reports
// presses and the strips' controls back.
class Dreditor : public QWidget
{
    Q_OBJECT

public:
    explicit Dreditor(QWidget* parent = nullptr, const QString& name = QString());
    ~Dreditor() override;

    QScrollArea* channelView;
    QScrollArea* beatView;
    QWidget* channelBox;
    QWidget* beatBox;
    std::vector<BeatLine*> beatLines;
    std::vector<ChanLine*> chanLines;
    int length = 0; // of the pattern shown last
    int beats = 4;

public slots:
    void pressed(int cell, int row);
    void addTrack(QString name);
    void clearTracks();
    void refresh(int cell, int row, int velocity, float offset);
    void setLenght(int length);
    void setBeats(int beats);
    void mute(int row);
    void solo(int row);
    void vol(int row, int volume);
    void setMuteSoloVol(int row, bool mute, bool solo, int volume);
    void scroll1y(int x, int y);
    void scroll2y(int x, int y);

signals:
    void pressedSignal(int cell, int row);
    void refreshSignal(int cell, int row, int velocity, float offset);
    void muteSignal(int row);
    void soloSignal(int row);
    void volSignal(int row, int volume);

private:
    void coupleScrolling();
    void decoupleScrolling();

    std::vector<QMetaObject::Connection> scrollCoupling;
};
