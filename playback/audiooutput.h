#pragma once

#include <QString>
#include <memory>

class Mixer;

// Where the mix goes. The environment variable OLMIRA_AUDIO chooses:
//   unset or empty   the sound device (SDL), or the silent output when none can be opened;
//   "silent"         the silent output: a thread that renders at exact real time;
//   "silent:<file>"  the same, writing what it renders to that WAV file;
//   "driven"         no output at all: the owner calls Mixer::render itself (tests).
class AudioOutput
{
public:
    enum class Kind
    {
        Device,
        Silent,
        Driven
    };

    static constexpr int preferredBlock = 512;

    static std::unique_ptr<AudioOutput> start(Mixer& mixer, int rate);
    virtual ~AudioOutput() = default;

    virtual Kind kind() const = 0;
    // Frames per rendered block.
    virtual int blockFrames() const = 0;
};
