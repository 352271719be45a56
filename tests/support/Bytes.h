#pragma once

#include <QByteArray>

#include <initializer_list>

namespace vxtest {

// Byte values written out as numbers, for golden streams.
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

// Heads the link looks for before it sends a file of their kind. A compiled
// dictionary: the chip commands that announce it and the signature.
inline const QByteArray kDictionaryHead("\r\r\x18\x1e\x01l\x00\x01" "247w\0\0\0\0\xCA\xB9", 18);
// A compiled sound library (newer flavour) up to its entries; length and
// check sum are left at zero, so a chip that gets it whole refuses it.
inline const QByteArray kSoundLibraryHead = QByteArray("\r\r\x18\x1e\x01" "223w", 9) + QByteArray(20, '\0') +
                                            QByteArray("\xEC\xDB\xFF\xFF", 4);

// A chip PCM file in its plain form (8000 Hz) holding data.
inline QByteArray plainPcm(const QByteArray &data)
{
    const auto n = quint32(data.size());
    return bytes({int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF), 78}) + data;
}

} // namespace vxtest
