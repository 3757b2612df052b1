#pragma once

#include <QString>
#include <vector>

// Finding where hits start in a rendered sound and how far they stray from where they belong.
// Made for drum sounds: sharp attacks, possibly over the ringing tails of earlier hits.
namespace Onsets {

struct Stats
{
    double median = 0;
    double p99 = 0;
    double max = 0;
};

// The sides of a WAV file at the given rate averaged to one, however long it is; empty when it
// cannot be read or has another rate.
std::vector<float> readMono(const QString& path, int rate);

// Onset times in frames, in order.
std::vector<double> detect(const std::vector<float>& mono, int rate);

// Each onset's distance in frames from a grid of the given period; the grid's phase is the one
// that fits the onsets best (their median offset).
std::vector<double> fromGrid(const std::vector<double>& onsets, double period);

// Each expected time's distance in frames to the nearest onset (positive when late).
std::vector<double> fromExpected(const std::vector<double>& onsets,
                                 const std::vector<double>& expected);

// Median, 99th percentile and maximum of the absolute values.
Stats absoluteStats(std::vector<double> values);

// The step that fits a run of times best (least squares, each time taken as the nearest whole
// number of nominal steps after the first) and how far the last lies from the first plus that
// many nominal steps; in frames.
struct Tempo
{
    double step = 0;
    long long lastStep = 0;
    double drift = 0;
};
Tempo fitSteps(const std::vector<double>& times, double nominalStep);

// Makes the silent output keep what it renders in this file (relative to the working folder);
// call before the sound engine starts. Returns the file's absolute path.
QString recordSilentlyInto(const QString& file);

// Finds the hits in the recording of a song played at bpm on the beat clock and prints how far
// they stray from the step grid, how long after the tick that requested them (the tick frame of
// every sound asked for) they sound, the step that fits them and how far the last step lies from
// its time; the last line, a summary, starts with the label. Returns the number of hits found.
std::size_t report(const QString& recording, int rate, int latency,
                   std::vector<double> requestTicks, int bpm, const QString& label);

} // namespace Onsets
