#pragma once

#include "wavefile.h"

#include <QByteArray>
#include <QtEndian>

#include <cmath>

namespace zorv::test {

// The fields of a wave file's format chunk, to write files the way other tools do.
struct WaveFormat {
    quint16 tag = 1; // 1 PCM, 3 float, 6 A-law, 7 µ-law, 0xFFFE extensible
    quint16 channels = 1;
    quint32 rate = 8000;
    quint16 bits = 16;
    quint16 blockAlign = 2;
    quint16 subTag = 1; // the extensible format's real tag
};

inline QByteArray chunk(const QByteArray &id, const QByteArray &body, quint32 claimedSize = 0)
{
    QByteArray out = id;
    out.resize(8);
    qToLittleEndian<quint32>(claimedSize ? claimedSize : quint32(body.size()), out.data() + 4);
    out += body;
    if (body.size() % 2)
        out += '\0';
    return out;
}

inline QByteArray fmtChunk(const WaveFormat &f)
{
    const bool ext = f.tag == 0xFFFE;
    QByteArray b(ext ? 40 : 16, '\0');
    qToLittleEndian<quint16>(f.tag, b.data());
    qToLittleEndian<quint16>(f.channels, b.data() + 2);
    qToLittleEndian<quint32>(f.rate, b.data() + 4);
    qToLittleEndian<quint32>(f.rate * f.blockAlign, b.data() + 8);
    qToLittleEndian<quint16>(f.blockAlign, b.data() + 12);
    qToLittleEndian<quint16>(f.bits, b.data() + 14);
    if (ext) {
        qToLittleEndian<quint16>(22, b.data() + 16);
        qToLittleEndian<quint16>(f.bits, b.data() + 18);
        qToLittleEndian<quint16>(f.subTag, b.data() + 24);
        b.replace(26, 14, QByteArray("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
    }
    return chunk("fmt ", b);
}

inline QByteArray riff(const QByteArray &chunks)
{
    QByteArray out("RIFF....WAVE");
    qToLittleEndian<quint32>(quint32(4 + chunks.size()), out.data() + 4);
    return out + chunks;
}

inline QByteArray waveFile(const WaveFormat &f, const QByteArray &data)
{
    return riff(fmtChunk(f) + chunk("data", data));
}

// A sine tone at half of full scale, `ms` long, in the given sample format.
inline QByteArray toneFile(Wave::Sample sample, quint32 rate, quint16 channels, int ms, bool extensible = false)
{
    int width = 2;
    quint16 tag = 1;
    switch (sample) {
    case Wave::Sample::U8: width = 1; break;
    case Wave::Sample::S16: width = 2; break;
    case Wave::Sample::S24: width = 3; break;
    case Wave::Sample::S32: width = 4; break;
    case Wave::Sample::Float32: width = 4; tag = 3; break;
    case Wave::Sample::ALaw:
    case Wave::Sample::ULaw: return {}; // no encoder here
    }
    const qint64 frames = qint64(rate) * ms / 1000;
    QByteArray data(int(frames * width * channels), '\0');
    char *p = data.data();
    for (qint64 i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * M_PI * 440.0 * double(i) / rate);
        for (int c = 0; c < channels; ++c, p += width) {
            switch (sample) {
            case Wave::Sample::U8: *p = char(quint8(128 + std::lround(v * 127))); break;
            case Wave::Sample::S16: qToLittleEndian<qint16>(qint16(std::lround(v * 32767)), p); break;
            case Wave::Sample::S24: {
                const qint32 s = qint32(std::lround(v * 8388607));
                p[0] = char(s & 0xff);
                p[1] = char((s >> 8) & 0xff);
                p[2] = char((s >> 16) & 0xff);
                break;
            }
            case Wave::Sample::S32: qToLittleEndian<qint32>(qint32(std::lround(v * 2147483647.0)), p); break;
            case Wave::Sample::Float32: qToLittleEndian<float>(float(v), p); break;
            default: break;
            }
        }
    }
    WaveFormat f{tag, channels, rate, quint16(width * 8), quint16(width * channels), tag};
    if (extensible)
        f.tag = 0xFFFE;
    return waveFile(f, data);
}

} // namespace zorv::test
