#pragma once

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

// A WAV file (RIFF, RIFX or RF64) as the decoder is shown it: a header of our own that holds only
// the format chunk and the data chunk's head, followed by the file's sample data. libsndfile
// (1.2.0) parses every chunk it finds, and damaged metadata chunks (LIST, PEAK, fact …) make it
// loop for ever; it never sees them this way.
struct WavView
{
    enum Kind
    {
        NotWav,  // some other format: the decoder reads the file as it is
        Damaged, // a WAV without a usable format or data chunk
        Wav,
    };

    Kind kind = NotWav;
    QByteArray header;     // "RIFF"/"RIFX" … "data" and its size
    qint64 dataOffset = 0; // where the sample data lies in the file
    qint64 dataSize = 0;   // as much as the file holds of it

    static WavView of(QIODevice& device);
};
