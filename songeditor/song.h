#pragma once

#include <array>
#include <vector>

// One cell of a pattern. A cell is empty exactly when its velocity is 0.
struct Beat
{
    int velocity = 0;
    float offset = 0.0f; // a fraction of a step
};

// One pattern: a row of cells per track. Every row keeps all its cells whatever the length, so
// that shortening a pattern and lengthening it again gives the notes back.
class Pattern
{
public:
    static constexpr int maxLength = 32;
    using Track = std::array<Beat, maxLength>;

    Pattern(int tracks, int length);

    // Never lengthens the pattern; surplus tracks are dropped, missing ones appended empty.
    void resize(int tracks, int length);

    std::vector<Track> cells;
    int length;
};

class Song
{
public:
    Song() = default;
    // Note the order: track count, pattern count, tempo, rhythm.
    Song(int tracks, int patternCount, int bpm, int rhythm);

    // Cuts every pattern to rhythm x 8 steps and brings it to the given track count.
    void setTracks(int tracks, int rhythm);

    std::vector<Pattern> patterns;
    int tracks = 0;
    int rhythm = 4;
    int patternCount = 0;
    float tempo = 120.0f;
};

// Which hit point of which drum of the kit a track plays.
struct TrackRef
{
    TrackRef(int drum, int hitpoint) : drum(drum), hitpoint(hitpoint) {}

    int drum;
    int hitpoint;
};
