#include "bench/onsets.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <sndfile.h>

namespace Onsets {

namespace {

constexpr int hop = 32;
constexpr int backgroundHops = 16;
constexpr double jump = 10.0;       // energy rise over the recent past that makes a hit
constexpr double floorLevel = 2e-3; // slope below which nothing counts, well above dither
constexpr double refractory = 0.05; // seconds: one hit is not found twice
constexpr double refineShare = 0.2; // the onset is where the slope first reaches this share

constexpr int ticksPerStep = 3;

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::vector<double> inMs(std::vector<double> frames, int rate)
{
    for (double& f : frames)
        f = f * 1000.0 / rate;
    return frames;
}

// The step as the clock played it, from the first to the last tick that asked for a sound: the
// grid the hits are measured against is the clock's own, whatever tempo it keeps.
double clockStep(const std::vector<double>& ticks, double nominal)
{
    if (ticks.size() < 2)
        return nominal;
    const double span = ticks.back() - ticks.front();
    return span / std::max(1.0, std::round(span / nominal));
}

} // namespace

std::vector<float> readMono(const QString& path, int rate)
{
    std::vector<float> mono;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return mono;
    if (info.samplerate == rate && info.channels > 0) {
        constexpr sf_count_t blockFrames = 4096;
        std::vector<float> block(size_t(blockFrames * info.channels));
        for (sf_count_t got; (got = sf_readf_float(file, block.data(), blockFrames)) > 0;)
            for (sf_count_t frame = 0; frame < got; ++frame) {
                const float* first = block.data() + frame * info.channels;
                mono.push_back(std::accumulate(first, first + info.channels, 0.0f) /
                               float(info.channels));
            }
    }
    sf_close(file);
    return mono;
}

// Works on the slope (first difference), which lifts a new attack far above a decaying tail.
std::vector<double> detect(const std::vector<float>& mono, int rate)
{
    std::vector<double> slope(mono.size(), 0.0);
    for (size_t i = 1; i < mono.size(); ++i)
        slope[i] = double(mono[i]) - double(mono[i - 1]);
    std::vector<double> energy(slope.size() / hop, 0.0);
    for (size_t h = 0; h < energy.size(); ++h)
        for (int i = 0; i < hop; ++i)
            energy[h] += slope[h * hop + i] * slope[h * hop + i];

    const double floorEnergy = floorLevel * floorLevel * hop;
    std::vector<double> onsets;
    double last = -1e18;
    for (size_t h = 1; h < energy.size(); ++h) {
        const size_t from = h > backgroundHops ? h - backgroundHops : 0;
        const double background = *std::max_element(energy.begin() + from, energy.begin() + h);
        if (energy[h] < floorEnergy || energy[h] < jump * background)
            continue;
        const size_t begin = (h - 1) * hop;
        const size_t end = (h + 1) * hop;
        double peak = 0;
        for (size_t i = begin; i < end; ++i)
            peak = std::max(peak, std::abs(slope[i]));
        size_t at = begin;
        while (std::abs(slope[at]) < refineShare * peak)
            ++at;
        if (double(at) - last < refractory * rate)
            continue;
        onsets.push_back(double(at));
        last = double(at);
    }
    return onsets;
}

std::vector<double> fromGrid(const std::vector<double>& onsets, double period)
{
    std::vector<double> phases;
    for (double t : onsets)
        phases.push_back(t - std::round((t - onsets.front()) / period) * period);
    const double phase = median(phases);
    std::vector<double> deviations;
    for (double t : onsets)
        deviations.push_back(t - phase - std::round((t - phase) / period) * period);
    return deviations;
}

std::vector<double> fromExpected(const std::vector<double>& onsets,
                                 const std::vector<double>& expected)
{
    std::vector<double> deviations;
    if (onsets.empty())
        return deviations;
    for (double e : expected) {
        const auto after = std::lower_bound(onsets.begin(), onsets.end(), e);
        double best = after == onsets.end() ? onsets.back() : *after;
        if (after != onsets.begin() && std::abs(*(after - 1) - e) < std::abs(best - e))
            best = *(after - 1);
        deviations.push_back(best - e);
    }
    return deviations;
}

Stats absoluteStats(std::vector<double> values)
{
    Stats stats;
    if (values.empty())
        return stats;
    for (double& v : values)
        v = std::abs(v);
    std::sort(values.begin(), values.end());
    const auto at = [&values](double share) {
        return values[std::min(values.size() - 1, size_t(share * double(values.size())))];
    };
    stats.median = at(0.5);
    stats.p99 = at(0.99);
    stats.max = values.back();
    return stats;
}

Tempo fitSteps(const std::vector<double>& times, double nominalStep)
{
    Tempo tempo{nominalStep};
    if (times.size() < 2)
        return tempo;
    double sumX = 0, sumY = 0, sumXX = 0, sumXY = 0;
    for (double t : times) {
        const double x = std::round((t - times.front()) / nominalStep);
        const double y = t - times.front();
        sumX += x;
        sumY += y;
        sumXX += x * x;
        sumXY += x * y;
    }
    const double n = double(times.size());
    const double spread = n * sumXX - sumX * sumX;
    if (spread > 0)
        tempo.step = (n * sumXY - sumX * sumY) / spread;
    tempo.lastStep = std::llround((times.back() - times.front()) / nominalStep);
    tempo.drift = times.back() - times.front() - double(tempo.lastStep) * nominalStep;
    return tempo;
}

QString recordSilentlyInto(const QString& file)
{
    const QString path = QDir::current().absoluteFilePath(file);
    qputenv("OLMIRA_AUDIO", ("silent:" + path).toLocal8Bit());
    return path;
}

std::size_t report(const QString& recording, int rate, int latency,
                   std::vector<double> requestTicks, int bpm, const QString& label)
{
    const std::vector<float> mono = readMono(recording, rate);
    const std::vector<double> onsets = detect(mono, rate);
    const double nominalStep = 0.25 / (bpm * 3.0 / 120.0) * ticksPerStep * rate;
    requestTicks.erase(std::unique(requestTicks.begin(), requestTicks.end()), requestTicks.end());
    const double step = clockStep(requestTicks, nominalStep);
    const Stats grid = absoluteStats(inMs(fromGrid(onsets, step), rate));
    // Each onset against the nearest tick that requested a sound (they lie a step apart, the
    // latency is a tenth of that), so that a hit the detector misses does not count as late.
    const Stats fromTick = absoluteStats(inMs(fromExpected(requestTicks, onsets), rate));
    const Tempo heard = fitSteps(onsets, nominalStep);
    const Tempo ticked = fitSteps(requestTicks, nominalStep);
    const double stepError = (heard.step / nominalStep - 1) * 100;
    const double ms = 1000.0 / rate;

    std::printf("recording %s: %.2f s, %zu steps sounding, %zu onsets found\n",
                qPrintable(recording), double(mono.size()) / rate, requestTicks.size(),
                onsets.size());
    std::printf("clock step: %.3f ms (tempo's %.3f ms, %+.3f%%)\n", step * ms, nominalStep * ms,
                (step / nominalStep - 1) * 100);
    std::printf("fitted to the onsets: step %.4f ms (%+.5f%%), %.4f bpm\n", heard.step * ms,
                stepError, bpm * nominalStep / heard.step);
    std::printf("last step, %lld after the first: %+.3f ms from its time by its tick; last onset, "
                "%lld after the first: %+.3f ms\n",
                ticked.lastStep, ticked.drift * ms, heard.lastStep, heard.drift * ms);
    std::printf("onsets off the step grid: median %.3f ms, max %.3f ms\n", grid.median, grid.max);
    std::printf("tick to sound: median %.3f ms, max %.3f ms (scheduled %.3f ms)\n", fromTick.median,
                fromTick.max, latency * ms);
    std::printf("%s onset_p99_ms=%.3f latency_ms=%.3f step_pct=%+.5f drift_ms=%+.3f\n",
                qPrintable(label), grid.p99, fromTick.max, stepError, ticked.drift * ms);
    return onsets.size();
}

} // namespace Onsets
