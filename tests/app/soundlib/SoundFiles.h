#pragma once

// Small sound files for the sound library tests, written into a temporary folder.

#include "tests/support/Bytes.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>

namespace soundtest {

using vxtest::bytes;

inline QByteArray le(quint32 v, int width)
{
    QByteArray b;
    for (int i = 0; i < width; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
}

// A canonical 44-byte-header wave file with `dataBytes` of samples.
inline QByteArray wave(int channels, int rate, int bits, quint32 dataBytes, int format = 1)
{
    const int align = channels * bits / 8;
    QByteArray w = "RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(format, 2) + le(channels, 2)
        + le(rate, 4) + le(rate * align, 4) + le(align, 2) + le(bits, 2) + "data" + le(dataBytes, 4);
    w.append(QByteArray(static_cast<qsizetype>(dataBytes), '\x80'));
    return w;
}

// A 24-bit mono wave as most programs write one: the extensible format
// (40-byte "fmt " chunk, integer PCM subformat), which the chip cannot take.
inline QByteArray extensibleWave(quint32 dataBytes)
{
    const QByteArray pcmSubformat = bytes({1, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
    return "RIFF" + le(60 + dataBytes, 4) + "WAVEfmt " + le(40, 4) + le(0xFFFE, 2) + le(1, 2) + le(22050, 4)
        + le(22050 * 3, 4) + le(3, 2) + le(24, 2) + le(22, 2) + le(24, 2) + le(4, 4) + pcmSubformat + "data"
        + le(dataBytes, 4) + QByteArray(static_cast<qsizetype>(dataBytes), '\x10');
}

// A wave one sample longer than a chip PCM file holds (8-bit mono at 8000
// Hz: a byte a sample), written sparse.
inline QString writeTooLongWave(const QString &path)
{
    constexpr quint32 kSamples = 0x1000000;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(wave(1, 8000, 8, 0).replace(4, 4, le(36 + kSamples, 4)).replace(40, 4, le(kSamples, 4)));
        f.resize(44 + kSamples);
    }
    return path;
}

// A plain-form chip PCM file.
inline QByteArray plainPcm(int code, const QByteArray &data)
{
    return le(static_cast<quint32>(data.size()), 3) + bytes({code}) + data;
}

// A marked-form chip PCM file; `data` includes the end mark.
inline QByteArray markedPcm(int code, int tag, const QByteArray &data)
{
    return bytes({0x0D, 0x0D, 0x1E, 0x01, '9', '9', '#', 0x00, 0xC0, 0xDB}) + le(static_cast<quint32>(data.size()), 3)
        + bytes({code}) + le(static_cast<quint32>(tag), 2) + data;
}

inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace soundtest
