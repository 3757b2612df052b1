// "Sounds/no.wav": the sound of a refused click, a short falling two-note buzz.
#include "playback/wavfile.h"
#include "tools/generator.h"
#include "tools/synth.h"

#include <cstdio>

using namespace Synth;

namespace {

// A soft-edged tone of odd harmonics, the reedy timbre of an error buzzer.
void addBuzz(Buffer& out, double start, double seconds, double frequency)
{
    const size_t first = size_t(start * rate);
    const size_t length = size_t(seconds * rate);
    const double edge = 0.008;
    for (size_t i = 0; i < length && first + i < out.size(); ++i) {
        const double t = timeAt(i);
        const double gate = std::min({1.0, t / edge, (seconds - t) / edge});
        double x = 0.0;
        for (int h = 1; h <= 9; h += 2)
            x += std::sin(2.0 * ikPi * frequency * h * t) / h;
        out[first + i] += gate * x;
    }
}

bool writeUiSounds(const QString& runDir)
{
    Buffer b = silence(0.3);
    addBuzz(b, 0.0, 0.1, 392.0);
    addBuzz(b, 0.12, 0.17, 262.0);
    filter(b, Biquad::lowpass(3000.0, 0.7));
    const QString path = runDir + "/Sounds/no.wav";
    if (!writeWav(path, normalised(b, -3.0), 1, rate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

OLMIRA_GENERATOR(1, uiSounds, writeUiSounds);
