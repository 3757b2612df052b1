#include "bench/onsets.h"

#include "playback/sample.h"

#include <algorithm>
#include <cmath>

namespace Onsets {

namespace {

constexpr int hop = 32;
constexpr int backgroundHops = 16;
constexpr double jump = 10.0;       // energy rise over the recent past that makes a hit
constexpr double floorLevel = 2e-3; // slope below which nothing counts, well above dither
constexpr double refractory = 0.05; // seconds: one hit is not found twice
constexpr double refineShare = 0.2; // the onset is where the slope first reaches this share

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

std::vector<float> readMono(const QString& path, int rate)
{
    const auto sample = decodeSampleFile(path, rate);
    std::vector<float> mono;
    if (!sample)
        return mono;
    mono.resize(size_t(sample->frameCount()));
    for (size_t i = 0; i < mono.size(); ++i)
        mono[i] = 0.5f * (sample->frames[2 * i] + sample->frames[2 * i + 1]);
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

} // namespace Onsets
