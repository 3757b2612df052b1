// Small synthesised drum samples for the benchmarks that play a kit of their own: a kick and a
// snare as pitch-swept sines with filtered noise, a closed and a pedal hi-hat as metallic
// square-wave clusters. The default kit plays recorded samples.
#include "playback/wavfile.h"
#include "tools/generator.h"
#include "tools/synth.h"

#include <QDir>
#include <cstdio>
#include <functional>

using namespace Synth;

namespace {

Buffer kick()
{
    Buffer b = silence(0.7);
    Noise noise(1);
    addSweep(b, {165.0, 50.0, 0.035, 1.0, 0.2});
    addSweep(b, {264.0, 90.0, 0.02, 0.25, 0.08});
    addNoise(b, noise, {Biquad::bandpass(3200.0, 0.8)}, 0.5, 0.0002, 0.004);
    addNoise(b, noise, {Biquad::lowpass(900.0, 0.7)}, 0.4, 0.0005, 0.012);
    saturate(b, 2.0);
    fadeOut(b, 0.15);
    return b;
}

Buffer snare()
{
    Buffer b = silence(0.5);
    Noise noise(2);
    addSweep(b, {245.0, 185.0, 0.012, 0.8, 0.085});
    addSweep(b, {420.0, 330.0, 0.010, 0.36, 0.05});
    addNoise(b, noise, {Biquad::highpass(1700.0, 0.7), Biquad::lowpass(9500.0, 0.7)}, 1.0, 0.001,
             0.12);
    addNoise(b, noise, {Biquad::bandpass(5000.0, 0.9)}, 0.6, 0.0002, 0.005);
    fadeOut(b, 0.12);
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
            x += std::sin(2.0 * ikPi * r * scale * t) >= 0.0 ? 1.0 : -1.0;
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

struct KitSample
{
    const char* name;
    std::function<Buffer()> make;
};

const std::vector<KitSample>& kitSamples()
{
    static const std::vector<KitSample> samples = {
        {"kick", kick},
        {"snare", snare},
        {"hihat_closed",
         [] {
             return hihat({0.25, 0.035, 12000.0, 0.15, 9});
         }},
        {"hihat_pedal",
         [] {
             return hihat({0.2, 0.018, 7000.0, 0.5, 12});
         }},
    };
    return samples;
}

bool writeKitSamples(const QString& runDir)
{
    const QString folder = runDir + "/Sounds/kit";
    QDir(folder).removeRecursively(); // holds these samples alone
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
