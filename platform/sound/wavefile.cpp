#include "wavefile.h"

#include <QtEndian>

namespace zorv {

namespace {
constexpr quint16 kPcm = 1, kFloat = 3, kALaw = 6, kULaw = 7, kExtensible = 0xFFFE;
constexpr int kMaxChannels = 32; // what the sound server takes
constexpr int kMaxRate = 384000;

// The part of the extensible format's sub-format GUID after its leading format tag.
constexpr char kGuidTail[] = "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71";

quint16 u16(const char *p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char *p) { return qFromLittleEndian<quint32>(p); }

std::optional<Wave::Sample> sampleOf(quint16 tag, int bytes)
{
    switch (tag) {
    case kPcm:
        switch (bytes) {
        case 1: return Wave::Sample::U8;
        case 2: return Wave::Sample::S16;
        case 3: return Wave::Sample::S24;
        case 4: return Wave::Sample::S32;
        }
        return std::nullopt;
    case kFloat:
        if (bytes == 4)
            return Wave::Sample::Float32;
        return std::nullopt;
    case kALaw:
        if (bytes == 1)
            return Wave::Sample::ALaw;
        return std::nullopt;
    case kULaw:
        if (bytes == 1)
            return Wave::Sample::ULaw;
        return std::nullopt;
    }
    return std::nullopt;
}
} // namespace

int Wave::bytesPerSample() const
{
    switch (sample) {
    case Sample::U8:
    case Sample::ALaw:
    case Sample::ULaw: return 1;
    case Sample::S16: return 2;
    case Sample::S24: return 3;
    case Sample::S32:
    case Sample::Float32: return 4;
    }
    return 1;
}

qint64 Wave::durationMs() const
{
    const qint64 frameBytes = qint64(bytesPerSample()) * channels;
    if (rate <= 0 || frameBytes <= 0)
        return 0;
    return frames.size() / frameBytes * 1000 / rate;
}

std::optional<Wave> readWave(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    const char *const base = bytes.constData();
    const qint64 end = bytes.size();

    std::optional<Wave> wave;
    int frameBytes = 0;
    qint64 at = 12;
    while (at + 8 <= end) {
        const QByteArray id = bytes.mid(at, 4);
        const qint64 size = u32(base + at + 4);
        const qint64 body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + size > end)
                return std::nullopt;
            const char *f = base + body;
            quint16 tag = u16(f);
            const int channels = u16(f + 2);
            const qint64 rate = u32(f + 4);
            const int align = u16(f + 12);
            const int bits = u16(f + 14);
            if (tag == kExtensible) {
                if (size < 40 || QByteArray(f + 26, 14) != QByteArray(kGuidTail, 14))
                    return std::nullopt;
                tag = u16(f + 24);
            }
            if (channels < 1 || channels > kMaxChannels || rate < 1 || rate > kMaxRate)
                return std::nullopt;
            // The block size says how wide each sample is stored; the bit count only
            // when a writer left the block size out.
            const int perSample = align > 0 && align % channels == 0 ? align / channels : (bits + 7) / 8;
            const std::optional<Wave::Sample> sample = sampleOf(tag, perSample);
            if (!sample)
                return std::nullopt;
            wave = Wave{*sample, int(rate), channels, {}};
            frameBytes = perSample * channels;
        } else if (id == "data") {
            if (!wave)
                return std::nullopt; // the format must come first
            const qint64 held = qMin(size, end - body);
            wave->frames = bytes.mid(body, held - held % frameBytes);
            break;
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    if (!wave || wave->frames.isEmpty())
        return std::nullopt;
    return wave;
}

} // namespace zorv
