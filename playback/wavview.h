#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// The sample layouts the decoder plays.
namespace SampleLimits {
constexpr int maxChannels = 16;
constexpr int minRate = 1000;
constexpr int maxRate = 384000;
} // namespace SampleLimits

// A WAV file (RIFF, RIFX or RF64) as the decoder is shown it: a header of our own that holds only
// a format chunk and the data chunk's head, followed by the file's sample data. The format chunk
// is rebuilt from the file's checked fields for PCM, float, A-law and µ-law, and is the file's own
// for the compressed encodings. libsndfile (1.2.0) parses every chunk it finds, and damaged
// metadata chunks (LIST, PEAK, fact …) make it loop for ever; it never sees them this way. None of
// its decoders needs more: they leave the frame count of a "fact" chunk unused.
struct WavView
{
    enum Kind
    {
        NotWav,  // some other format
        Damaged, // a WAV without a usable format or data chunk, or whose layout makes no sense
        Wav,
    };

    Kind kind = NotWav;
    QByteArray header;     // "RIFF"/"RIFX" … "data" and its size
    qint64 dataOffset = 0; // where the sample data lies in the file
    qint64 dataSize = 0;   // as much as the file holds of it
    // Zero bytes to show after the data: libsndfile skips an odd data chunk with its pad byte, and
    // where that skip fails it reads on into the sample data as if it were chunks.
    qint64 padding = 0;

    static WavView of(QIODevice& device);
};
