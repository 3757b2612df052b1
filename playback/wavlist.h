#pragma once

class QIODevice;

// Whether a WAV file (RIFF, RIFX or RF64) holds a LIST chunk with an entry of negative size.
// libsndfile (1.2.0) jumps back by such a size and can read the same entry for ever; a file like
// that is damaged, and is not handed to it. The device is left anywhere.
bool hasNegativeListEntry(QIODevice& device);
