#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// A decoded sound, ready for the mixer: interleaved stereo float frames at the output rate.
struct Sample
{
    std::vector<float> frames;

    int64_t frameCount() const { return int64_t(frames.size() / 2); }
};

// Decodes a WAV, MP3, FLAC or Ogg file and converts it to `rate`; mono is put on both sides. Long
// sounds are cut after two minutes (sooner above 48 kHz). Null when nothing can be read, and for
// files of other formats or with a WAV format chunk that makes no sense.
std::unique_ptr<Sample> decodeSampleFile(const QString& path, int rate);
// The same from bytes in memory.
std::unique_ptr<Sample> decodeSampleBytes(const QByteArray& bytes, int rate);
