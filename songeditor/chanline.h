#pragma once

#include <QWidget>

class QCheckBox;
class QDial;
class QFrame;
class QLabel;

// One channel strip of the beat grid: the track's name, a mute box, a solo box and a volume
// dial. It reports clicks and turns with its row; the song panel keeps the states.
class ChanLine : public QWidget
{
    Q_OBJECT

public:
    ChanLine(QWidget* parent, const QString& name, int index);

    int index;
    QFrame* frame;
    QLabel* nameLabel;
    QCheckBox* muteBox;
    QCheckBox* soloBox;
    QDial* volumeDial;

public slots:
    void mute();
    void solo();
    void vol(int value);

signals:
    void muteSignal(int index);
    void soloSignal(int index);
    void volSignal(int index, int value);

protected:
    void changeEvent(QEvent* event) override;
};

// The grid's rows draw their frames in this family, whatever the application's font.
void applyRowFont(QWidget* frame);
