#include "songeditor/song.h"

#include <algorithm>

Pattern::Pattern(int tracks, int length) : cells(std::max(tracks, 0)), length(length) {}

void Pattern::resize(int tracks, int newLength)
{
    length = std::min(length, newLength);
    cells.resize(std::max(tracks, 0));
}

Song::Song(int tracks, int patternCount, int bpm, int rhythm)
    : tracks(tracks), rhythm(rhythm), patternCount(patternCount), tempo(float(bpm))
{
    for (int i = 0; i < patternCount; ++i)
        patterns.emplace_back(tracks, rhythm * 8);
}

void Song::setTracks(int newTracks, int newRhythm)
{
    tracks = newTracks;
    rhythm = newRhythm;
    for (Pattern& pattern : patterns)
        pattern.resize(tracks, rhythm * 8);
}
