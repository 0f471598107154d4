#pragma once

#include <QByteArray>

#include <optional>

namespace zorv {

// The sound held in a wave file, in a form the sound server plays as it is.
struct Wave {
    enum class Sample { U8, S16, S24, S32, Float32, ALaw, ULaw };
    Sample sample = Sample::S16;
    int rate = 0;
    int channels = 0;
    QByteArray frames; // whole frames only

    int bytesPerSample() const;
    qint64 durationMs() const;
};

// Reads a RIFF/WAVE file: integer PCM of 8 to 32 bits, 32-bit float, A-law or µ-law, in a
// plain or an extensible format chunk. Nothing when the bytes are not such a file, use a
// format that needs a decoder (ADPCM, MP3 ...), or hold no sound at all. A data chunk that
// claims more than the file holds is cut to what is there, as players do.
std::optional<Wave> readWave(const QByteArray &bytes);

} // namespace zorv
