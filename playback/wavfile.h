#pragma once

#include <QSaveFile>
#include <QString>
#include <cstdint>
#include <vector>

// 16-bit PCM WAV files. Both writers go through a temporary file, so that a write that cannot
// finish leaves any old file in place.

// Writes interleaved samples in -1..1 (clamped) as one file.
bool writeWav(const QString& path, const std::vector<float>& interleaved, int channels, int rate);

// Streams interleaved blocks into a WAV file; the header's sizes are filled in by finish().
class WavRecorder
{
public:
    WavRecorder(const QString& path, int channels, int rate);

    bool isOpen() const { return file.isOpen(); }
    void append(const float* interleaved, int frames);
    // Completes the header and puts the file in place; false if anything failed.
    bool finish();

private:
    QSaveFile file;
    int channels;
    int rate;
    int64_t dataBytes = 0;
    bool failed = false;
};
