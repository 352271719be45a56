#pragma once

// Find, without the dialog: the forward search with one wrap to the
// beginning over a text, or over the lines of a grid or a list.

#include <QString>
#include <QStringList>

#include <optional>

struct FindFlags
{
    bool wholeWord = false;
    bool matchCase = false;
};

// The option value the latest search is kept as: 2 whole word, 4 match case.
[[nodiscard]] int FindOptionsValue(FindFlags f);

// Whether a grid or list line holds the text. With whole word only the first
// occurrence is tested, and only letters "A" to "Z" (in either case) may not
// stand beside it; digits and other characters are word boundaries.
[[nodiscard]] bool LineMatches(const QString &line, const QString &text, FindFlags f);

// A search hit; `wrapped` tells that the second pass from the start found it.
struct FindHit
{
    qsizetype at = 0; // the line's row (1-based), or the match's offset in a text
    bool wrapped = false;
};

// Searches rows selectedRow + 1 to the last, then from row 1 again. Rows are
// 1-based (lines[0] is row 1); selectedRow 0 means none.
[[nodiscard]] std::optional<FindHit> FindNextLine(const QStringList &lines, qsizetype selectedRow,
                                                  const QString &text, FindFlags f);

// Searches a text from the selection on (passing over a match that is
// selected), then from the beginning. Whole word here is the text box's own:
// letters, digits and "_" are word characters.
[[nodiscard]] std::optional<FindHit> FindNextInText(const QString &content, qsizetype selStart,
                                                    qsizetype selLength, const QString &text, FindFlags f);

// Adds a searched text to the history: a new text goes on top, one already
// there (in any case) keeps its place.
void AddFindHistory(QStringList &history, const QString &text);

// The row of the group header above a hidden row: the nearest row at or
// above it whose marker value is above 0; 0 when there is none, so a broken
// group never walks past row 1. `markerOf` gives a row's marker value.
template <class MarkerOf>
[[nodiscard]] qsizetype GroupHeaderRow(qsizetype row, MarkerOf markerOf)
{
    for (qsizetype r = row; r >= 1; --r) {
        if (markerOf(r) > 0)
            return r;
    }
    return 0;
}

// The message after both passes found nothing.
[[nodiscard]] QString NotFoundMessage(const QString &text);
