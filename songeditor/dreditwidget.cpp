#include "songeditor/dreditwidget.h"

#include "kit/bodytypes.h"

#include <QLCDNumber>
#include <algorithm>
#include <cmath>

namespace {

// Lengths outside 1..32 (a damaged song file) must not let the step leave a track's cells.
int playedLength(const Pattern& pattern)
{
    return std::clamp(pattern.length, 1, Pattern::maxLength);
}

// Only offsets that fit an int are truncated; anything else (NaN, huge values from a damaged
// file) counts as none.
int truncatedOffset(float offset)
{
    if (!(std::fabs(offset) < 2147483648.0f))
        return 0;
    return int(offset);
}

} // namespace

DreditWidget::DreditWidget(QWidget* parent) : QWidget(parent)
{
    song.patterns.emplace_back(trackCount, rhythm * 8);
    song.patternCount = 1;
    currentPattern = 0;
}

void DreditWidget::updateAll()
{
    if (currentPattern > -1)
        showPlayPosition();
}

void DreditWidget::refreshTracks()
{
    emit clearTracks();
    tracks.clear();
    trackCount = 0;
    for (std::size_t d = 0; d < drumSet.allDrums.size(); ++d) {
        const auto& hitpoints = drumSet.allDrums[d]->hitpoints;
        for (std::size_t h = 0; h < hitpoints.size(); ++h) {
            emit addTrack(hitpoints[h]->name);
            tracks.emplace_back(int(d), int(h));
            ++trackCount;
        }
    }
    muted.resize(trackCount, false);
    soloed.resize(trackCount, false);
    volume.resize(trackCount, 100);
    for (int t = std::max(song.tracks, 0); t < trackCount; ++t) {
        muted[t] = false;
        soloed[t] = false;
        volume[t] = 100;
    }
    // A soloed track that was dropped or reset must not keep every other track silent.
    soloCount = int(std::count(soloed.begin(), soloed.end(), true));
    song.setTracks(trackCount, rhythm);
    refreshPat();
}

void DreditWidget::refreshPat()
{
    emit setBeats(rhythm);
    if (currentPattern < 0 || currentPattern >= int(song.patterns.size()))
        return;
    const Pattern& pattern = song.patterns[currentPattern];
    const int rows = std::min(song.tracks, int(pattern.cells.size()));
    for (int t = 0; t < rows; ++t) {
        for (int c = 0; c < Pattern::maxLength; ++c) {
            if (c < pattern.length)
                emit refresh(c, t, pattern.cells[t][c].velocity, pattern.cells[t][c].offset);
            else
                emit refresh(c, t, -1, 0.0f);
        }
    }
}

void DreditWidget::bpmSlot(int value)
{
    bpm = value;
    song.tempo = float(value);
    emit bpmSignal(value);
}

void DreditWidget::playSngSlot()
{
    startPlaying(true);
}

void DreditWidget::playPatSlot()
{
    startPlaying(false);
}

void DreditWidget::startPlaying(bool wholeSong)
{
    songMode = wholeSong;
    playing = true;
    subTick = 2; // the first tick plays a step at once
    emit startSignal();
}

void DreditWidget::stopSlot()
{
    currentBeat = 0;
    updateAll();
    emit stopSignal();
    playing = false;
}

void DreditWidget::nextBeat()
{
    if (++subTick != 3)
        return;
    subTick = 0;
    playStep();
}

void DreditWidget::playStep()
{
    const int patternTotal = int(song.patterns.size());
    if (patternTotal == 0)
        return;
    if (currentPattern < 0 || currentPattern >= patternTotal)
        currentPattern = 0;
    const Pattern& pattern = song.patterns[currentPattern];
    const int length = playedLength(pattern);
    // The length may have been lowered, or a shorter pattern selected, since the last step.
    if (currentBeat < 0 || currentBeat >= length)
        currentBeat = 0;
    showPlayPosition();

    Event e1, e2, e3, e4;
    collectNotes(pattern, e1, e2, e3, e4);
    emit next(e1, e2, e3, e4);

    if (++currentBeat != length)
        return;
    currentBeat = 0;
    if (songMode) {
        currentPattern = (currentPattern + 1) % patternTotal;
        refreshPat();
    }
}

void DreditWidget::collectNotes(const Pattern& pattern, Event& e1, Event& e2, Event& e3,
                                Event& e4) const
{
    // A track that the song, the pattern or the kit lacks stays silent.
    const std::size_t count =
        std::min({tracks.size(), muted.size(), soloed.size(), pattern.cells.size()});
    for (std::size_t t = 0; t < count; ++t) {
        if (muted[t] || (soloCount != 0 && !soloed[t]))
            continue;
        const Beat& cell = pattern.cells[t][currentBeat];
        if (cell.velocity <= 0)
            continue;
        const TrackRef& track = tracks[t];
        if (track.drum < 0 || track.drum >= int(drumSet.allDrums.size()))
            continue;
        const Drum& drum = *drumSet.allDrums[track.drum];
        if (track.hitpoint < 0 || track.hitpoint >= int(drum.hitpoints.size()))
            continue;

        const Event note{track.drum, track.hitpoint, cell.velocity, truncatedOffset(cell.offset),
                         drum.priority};
        if (drum.type == BodyTypes::HiHatStand)
            e3 = note;
        else if (drum.type == BodyTypes::Kick)
            e4 = note;
        else if (e2.drumIndex == -1)
            e2 = note;
        else
            e1 = note;
    }
}

void DreditWidget::showPlayPosition()
{
    if (patNumLCD)
        patNumLCD->display(currentPattern);
    if (beatNumLCD)
        beatNumLCD->display(currentBeat);
}

void DreditWidget::mute(int track)
{
    if (track < 0 || track >= int(muted.size()))
        return;
    muted[track] = !muted[track];
}

void DreditWidget::solo(int track)
{
    if (track < 0 || track >= int(soloed.size()))
        return;
    soloCount += soloed[track] ? -1 : 1;
    soloed[track] = !soloed[track];
}

void DreditWidget::vol(int track, int value)
{
    if (track < 0 || track >= int(volume.size()))
        return;
    volume[track] = value;
}
