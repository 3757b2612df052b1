#pragma once

#include "songeditor/dreditor.h"
#include "songeditor/dreditwidget.h"

// The song editor's connections between the panel and the beat grid, in the order in which the
// main window makes them when it enters the song editor.
inline void wireGrid(DreditWidget& panel, Dreditor& grid)
{
    QObject::connect(&panel, &DreditWidget::addTrack, &grid, &Dreditor::addTrack);
    QObject::connect(&panel, &DreditWidget::clearTracks, &grid, &Dreditor::clearTracks);
    QObject::connect(&panel, &DreditWidget::refresh, &grid, &Dreditor::refresh);
    QObject::connect(&grid, &Dreditor::pressedSignal, &panel, &DreditWidget::pressed);
    QObject::connect(&panel, &DreditWidget::setBeats, &grid, &Dreditor::setBeats);
    QObject::connect(&panel, &DreditWidget::setLenght, &grid, &Dreditor::setLenght);
    QObject::connect(&grid, &Dreditor::muteSignal, &panel, &DreditWidget::mute);
    QObject::connect(&grid, &Dreditor::soloSignal, &panel, &DreditWidget::solo);
    QObject::connect(&grid, &Dreditor::volSignal, &panel, &DreditWidget::vol);
    QObject::connect(&panel, &DreditWidget::setMuteSoloVol, &grid, &Dreditor::setMuteSoloVol);
}
