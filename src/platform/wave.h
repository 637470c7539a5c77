#pragma once

#include <QByteArrayView>
#include <optional>

// The PCM samples of a RIFF/WAVE file and how to play them.
struct WaveData
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0; // 8 (unsigned) or 16 (signed, little-endian)
    QByteArrayView pcm;    // whole frames only; points into the parsed bytes
};

// Reads the header of WAVE bytes. Only uncompressed 8- and 16-bit PCM is
// accepted; anything else, a damaged header or no whole frame of samples
// gives nothing. A data chunk cut short is played as far as it goes.
std::optional<WaveData> parseWave(QByteArrayView bytes);
