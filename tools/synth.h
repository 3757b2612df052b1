#pragma once

#include "kinematics/ikmath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Small building blocks for the sounds that the data generator synthesises: deterministic
// noise, biquad filters and pitch sweeps, all at 44.1 kHz in double precision.
namespace Synth {

constexpr int rate = 44100;

using Buffer = std::vector<double>;

inline Buffer silence(double seconds)
{
    return Buffer(size_t(seconds * rate), 0.0);
}

inline double timeAt(size_t i)
{
    return double(i) / rate;
}

// xorshift64*: the same noise on every machine, unlike the standard distributions.
class Noise
{
public:
    explicit Noise(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t nextBits()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }
    // Uniform in [0, 1).
    double uniform() { return double(nextBits() >> 11) * (1.0 / 9007199254740992.0); }
    double white() { return uniform() * 2.0 - 1.0; }

private:
    uint64_t state;
};

// Filters from the well-known audio-EQ cookbook formulas.
class Biquad
{
public:
    static Biquad lowpass(double frequency, double q) { return make(frequency, q, Kind::Low); }
    static Biquad highpass(double frequency, double q) { return make(frequency, q, Kind::High); }
    static Biquad bandpass(double frequency, double q) { return make(frequency, q, Kind::Band); }

    double process(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

private:
    enum class Kind
    {
        Low,
        High,
        Band
    };

    static Biquad make(double frequency, double q, Kind kind)
    {
        const double w = 2.0 * ikPi * std::min(frequency, rate * 0.45) / rate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        const double a0 = 1.0 + alpha;
        Biquad f;
        switch (kind) {
        case Kind::Low:
            f.b0 = f.b2 = (1.0 - c) / 2.0 / a0;
            f.b1 = (1.0 - c) / a0;
            break;
        case Kind::High:
            f.b0 = f.b2 = (1.0 + c) / 2.0 / a0;
            f.b1 = -(1.0 + c) / a0;
            break;
        case Kind::Band:
            f.b0 = alpha / a0;
            f.b1 = 0.0;
            f.b2 = -alpha / a0;
            break;
        }
        f.a1 = -2.0 * c / a0;
        f.a2 = (1.0 - alpha) / a0;
        return f;
    }

    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// A hit's envelope: a short linear rise, then an exponential decay with time constant tau.
inline double hitEnvelope(double t, double attack, double tau)
{
    const double rise = attack > 0.0 ? std::min(1.0, t / attack) : 1.0;
    return rise * std::exp(-t / tau);
}

// A sine whose pitch falls from `from` toward `to` with time constant sweepTau, as a struck
// membrane's does while its tension settles.
struct Sweep
{
    double from;
    double to;
    double sweepTau;
    double amplitude;
    double tau;
    double attack = 0.0005;
};

inline void addSweep(Buffer& out, const Sweep& s)
{
    double phase = 0.0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = timeAt(i);
        const double frequency = s.to + (s.from - s.to) * std::exp(-t / s.sweepTau);
        out[i] += s.amplitude * hitEnvelope(t, s.attack, s.tau) * std::sin(phase);
        phase += 2.0 * ikPi * frequency / rate;
    }
}

// Filtered noise with a hit envelope; the filters run in the given order.
inline void addNoise(Buffer& out, Noise& noise, std::vector<Biquad> filters, double amplitude,
                     double attack, double tau)
{
    for (size_t i = 0; i < out.size(); ++i) {
        double x = noise.white();
        for (Biquad& f : filters)
            x = f.process(x);
        out[i] += amplitude * hitEnvelope(timeAt(i), attack, tau) * x;
    }
}

inline void saturate(Buffer& out, double drive)
{
    for (double& x : out)
        x = std::tanh(drive * x) / std::tanh(drive);
}

inline void filter(Buffer& out, Biquad f)
{
    for (double& x : out)
        x = f.process(x);
}

// Raised-cosine fade over the last `seconds`, so that no sample ends with a click.
inline void fadeOut(Buffer& out, double seconds)
{
    const size_t length = std::min(out.size(), size_t(seconds * rate));
    const size_t start = out.size() - length;
    for (size_t i = 0; i < length; ++i)
        out[start + i] *= 0.5 * (1.0 + std::cos(ikPi * double(i) / double(length)));
}

// Scales to the given peak (below full scale) and converts to float.
inline std::vector<float> normalised(const Buffer& in, double peakDb = -1.0)
{
    double peak = 0.0;
    for (double x : in)
        peak = std::max(peak, std::abs(x));
    const double gain = peak > 0.0 ? std::pow(10.0, peakDb / 20.0) / peak : 0.0;
    std::vector<float> out(in.size());
    std::transform(in.begin(), in.end(), out.begin(), [gain](double x) { return float(x * gain); });
    return out;
}

} // namespace Synth
