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

} // namespace vxtest
