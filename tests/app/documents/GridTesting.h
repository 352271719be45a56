#pragma once

// Building and reading grid rows in tests.

#include "app/documents/GridRows.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace gridtest {

// The item data of every row, in order.
inline std::vector<int> itemData(const GridRows &g)
{
    std::vector<int> out;
    for (const GridRow &r : g.all())
        out.push_back(r.itemData);
    return out;
}

// The text of every row, in order.
inline QStringList texts(const GridRows &g)
{
    QStringList out;
    for (const GridRow &r : g.all())
        out.append(r.text);
    return out;
}

// One row a line, text only.
inline GridRows rowsOf(const QStringList &lines)
{
    GridRows g;
    for (const QString &line : lines)
        g.row(g.AddRow()).text = line;
    return g;
}

} // namespace gridtest
