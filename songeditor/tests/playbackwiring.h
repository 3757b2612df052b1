#pragma once

#include "playback/noteparser.h"
#include "playback/soundengine.h"
#include "songeditor/dreditwidget.h"

// The song editor's connections that carry playback, in the order in which the main window
// makes them when it enters the song editor.
inline void wirePlayback(DreditWidget& panel, SoundEngine& engine, NoteParser& parser)
{
    QObject::connect(&panel, &DreditWidget::startSignal, &engine, &SoundEngine::start);
    QObject::connect(&panel, &DreditWidget::stopSignal, &engine, &SoundEngine::stop);
    QObject::connect(&panel, &DreditWidget::bpmSignal, &engine, &SoundEngine::setTempo);
    QObject::connect(&engine, &SoundEngine::timerEvent, &panel, &DreditWidget::nextBeat);
    QObject::connect(&panel, &DreditWidget::sendSet, &parser, &NoteParser::recvSet);
    QObject::connect(&parser, &NoteParser::playSound, &engine, &SoundEngine::play);
    QObject::connect(&parser, &NoteParser::playSoundAhead, &engine, &SoundEngine::playAhead);
    QObject::connect(&parser, &NoteParser::cancelSoundsAhead, &engine, &SoundEngine::cancelAhead);
    QObject::connect(&panel, &DreditWidget::next, &parser, &NoteParser::next);
    QObject::connect(&panel, &DreditWidget::stopSignal, &parser, &NoteParser::reset);
}
