// The drum kit's samples, synthesised: membranes as pitch-swept sines with filtered noise,
// cymbals as clouds of inharmonic partials and metallic square-wave clusters.
#include "playback/wavfile.h"
#include "tools/generator.h"
#include "tools/synth.h"

#include <QDir>
#include <cstdio>
#include <functional>

using namespace Synth;

namespace {

struct KickVoice
{
    double from, tau, click, drive;
};

Buffer kick(const KickVoice& v)
{
    Buffer b = silence(0.7);
    Noise noise(1);
    addSweep(b, {v.from, 50.0, 0.035, 1.0, v.tau});
    addSweep(b, {v.from * 1.6, 90.0, 0.02, 0.25, v.tau * 0.4});
    addNoise(b, noise, {Biquad::bandpass(3200.0, 0.8)}, v.click, 0.0002, 0.004);
    addNoise(b, noise, {Biquad::lowpass(900.0, 0.7)}, v.click * 0.8, 0.0005, 0.012);
    saturate(b, v.drive);
    fadeOut(b, 0.15);
    return b;
}

struct SnareVoice
{
    double wires, wireTop, wireTau, body;
};

Buffer snare(const SnareVoice& v)
{
    Buffer b = silence(0.5);
    Noise noise(2);
    addSweep(b, {245.0, 185.0, 0.012, v.body, 0.085});
    addSweep(b, {420.0, 330.0, 0.010, v.body * 0.45, 0.05});
    addNoise(b, noise, {Biquad::highpass(1700.0, 0.7), Biquad::lowpass(v.wireTop, 0.7)}, v.wires,
             0.001, v.wireTau);
    addNoise(b, noise, {Biquad::bandpass(5000.0, 0.9)}, v.wires * 0.6, 0.0002, 0.005);
    fadeOut(b, 0.12);
    return b;
}

// A cross-stick: the stick's wooden knock on the rim, with the wires barely answering.
Buffer snareRim()
{
    Buffer b = silence(0.3);
    Noise noise(3);
    addModes(
        b,
        {{520.0, 0.7, 0.035}, {1280.0, 0.5, 0.022}, {1790.0, 0.35, 0.015}, {3150.0, 0.2, 0.008}});
    addNoise(b, noise, {Biquad::bandpass(2600.0, 1.2)}, 1.4, 0.0001, 0.003);
    addNoise(b, noise, {Biquad::highpass(2500.0, 0.7)}, 0.08, 0.002, 0.06);
    fadeOut(b, 0.08);
    return b;
}

Buffer tom(double pitch, double tau, double seconds, uint64_t seed)
{
    Buffer b = silence(seconds);
    Noise noise(seed);
    addSweep(b, {pitch * 1.3, pitch, 0.045, 1.0, tau});
    addSweep(b, {pitch * 1.59 * 1.2, pitch * 1.59, 0.03, 0.28, tau * 0.45});
    addSweep(b, {pitch * 2.14 * 1.1, pitch * 2.14, 0.02, 0.12, tau * 0.3});
    addNoise(b, noise, {Biquad::lowpass(2500.0, 0.7)}, 0.45, 0.0003, 0.008);
    saturate(b, 1.3);
    fadeOut(b, seconds * 0.25);
    return b;
}

// The classic analogue hi-hat: six detuned square waves, band-passed high up, plus some noise.
void addMetalCluster(Buffer& out, double scale, double amplitude, double attack, double tau)
{
    static const double ratios[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    Biquad band = Biquad::bandpass(9500.0, 0.9);
    Biquad high = Biquad::highpass(6500.0, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = timeAt(i);
        double x = 0.0;
        for (double r : ratios)
            x += std::sin(2.0 * pi * r * scale * t) >= 0.0 ? 1.0 : -1.0;
        out[i] += amplitude * hitEnvelope(t, attack, tau) * high.process(band.process(x / 6.0));
    }
}

struct HatVoice
{
    double seconds, tau, noiseTop, chick;
    uint64_t seed;
};

Buffer hihat(const HatVoice& v)
{
    Buffer b = silence(v.seconds);
    Noise noise(v.seed);
    addMetalCluster(b, 1.7, 1.0, 0.0005, v.tau);
    addNoise(b, noise, {Biquad::highpass(6000.0, 0.7), Biquad::lowpass(v.noiseTop, 0.7)}, 0.5,
             0.0005, v.tau * 0.8);
    addNoise(b, noise, {Biquad::bandpass(2800.0, 1.5)}, v.chick, 0.001, 0.012);
    fadeOut(b, v.seconds * 0.3);
    return b;
}

struct CymbalVoice
{
    double seconds, low, high, tau, wash, washTau, top;
    uint64_t seed;
};

Buffer cymbal(const CymbalVoice& v)
{
    Buffer b = silence(v.seconds);
    Noise noise(v.seed);
    addShimmer(b, noise, {140, v.low, v.high, 1.0, v.tau, 0.002});
    addNoise(b, noise, {Biquad::highpass(3000.0, 0.7), Biquad::lowpass(v.top, 0.7)}, v.wash, 0.001,
             v.washTau);
    addNoise(b, noise, {Biquad::bandpass(5000.0, 0.8)}, 0.6, 0.0002, 0.004);
    filter(b, Biquad::lowpass(v.top, 0.6));
    fadeOut(b, v.seconds * 0.3);
    return b;
}

Buffer ride()
{
    Buffer b = silence(2.5);
    Noise noise(7);
    addModes(b, {{523.0, 0.25, 0.9}, {1267.0, 0.2, 0.7}, {2711.0, 0.15, 0.5}, {4310.0, 0.1, 0.35}},
             0.001);
    addShimmer(b, noise, {90, 1800.0, 11000.0, 0.6, 1.6, 0.002});
    addNoise(b, noise, {Biquad::highpass(5000.0, 0.7)}, 0.12, 0.002, 1.0);
    addNoise(b, noise, {Biquad::bandpass(6500.0, 1.0)}, 0.9, 0.0001, 0.003);
    fadeOut(b, 0.6);
    return b;
}

// The ride's cup: strong, bell-like partials that ring over the wash.
Buffer rideBell()
{
    Buffer b = silence(2.5);
    Noise noise(8);
    addModes(b,
             {{742.0, 1.0, 1.1},
              {1490.0, 0.55, 0.9},
              {2045.0, 0.45, 0.7},
              {2790.0, 0.3, 0.55},
              {4010.0, 0.2, 0.4},
              {5050.0, 0.12, 0.3}},
             0.0005);
    addShimmer(b, noise, {60, 2000.0, 10000.0, 0.3, 1.2, 0.002});
    addNoise(b, noise, {Biquad::bandpass(4000.0, 1.0)}, 0.8, 0.0001, 0.003);
    fadeOut(b, 0.6);
    return b;
}

struct KitSample
{
    const char* name;
    std::function<Buffer()> make;
};

const std::vector<KitSample>& kitSamples()
{
    static const std::vector<KitSample> samples = {
        {"kick",
         [] {
             return kick({165.0, 0.2, 0.5, 2.0});
         }},
        {"kick_soft",
         [] {
             return kick({120.0, 0.16, 0.12, 1.1});
         }},
        {"snare",
         [] {
             return snare({1.0, 9500.0, 0.12, 0.8});
         }},
        {"snare_soft",
         [] {
             return snare({0.6, 5000.0, 0.11, 0.6});
         }},
        {"snare_rim", snareRim},
        {"tom_high", [] { return tom(196.0, 0.32, 0.9, 4); }},
        {"tom_mid", [] { return tom(147.0, 0.38, 1.0, 5); }},
        {"tom_floor", [] { return tom(98.0, 0.5, 1.3, 6); }},
        {"hihat_closed",
         [] {
             return hihat({0.25, 0.035, 12000.0, 0.15, 9});
         }},
        {"hihat_closed_soft",
         [] {
             return hihat({0.2, 0.025, 8000.0, 0.08, 10});
         }},
        {"hihat_open",
         [] {
             return hihat({1.4, 0.38, 12000.0, 0.1, 11});
         }},
        {"hihat_pedal",
         [] {
             return hihat({0.2, 0.018, 7000.0, 0.5, 12});
         }},
        {"crash",
         [] {
             return cymbal({3.0, 350.0, 14000.0, 1.1, 0.5, 0.9, 15000.0, 13});
         }},
        {"crash_soft",
         [] {
             return cymbal({2.5, 300.0, 9000.0, 0.9, 0.3, 0.7, 8000.0, 14});
         }},
        {"ride", ride},
        {"ride_bell", rideBell},
        {"splash",
         [] {
             return cymbal({1.4, 700.0, 16000.0, 0.45, 0.5, 0.35, 16000.0, 15});
         }},
    };
    return samples;
}

bool writeKitSamples(const QString& runDir)
{
    const QString folder = runDir + "/Sounds/kit";
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(folder));
        return false;
    }
    for (const KitSample& sample : kitSamples()) {
        const QString path = folder + "/" + sample.name + ".wav";
        if (!writeWav(path, normalised(sample.make()), 1, rate)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace

OLMIRA_GENERATOR(1, kitSamples, writeKitSamples);
