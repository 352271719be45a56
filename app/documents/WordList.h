#pragma once

// The distinct words of a text file with the number of times each occurs,
// as the dictionary window lists them. The words are split the way speaking
// splits them (never in phoneme mode), without touching any speaking state.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <functional>
#include <limits>
#include <vector>

// The piece trimmed to a word: lower case; non-letters (outside "a" to "z")
// dropped from the end, and from the start unless it is the command shortcut;
// "" when nothing is left.
[[nodiscard]] QString TrimWordToLetters(const QString &piece, const QString &shortcut);

struct WordCount
{
    QString word;
    qint32 count = 0;
    friend bool operator==(const WordCount &, const WordCount &) = default;
};

// The sort list: its item texts and their flags (bit 0 descending, bit 1 by frequency).
struct SortMethod
{
    const char *text;
    int flags;
};
inline constexpr SortMethod kSortMethods[] = {
    {" Alphabetical A-Z", 0}, {" Alphabetical Z-A", 1}, {" Increasing Freq", 2}, {" Decreasing Freq", 3}};
inline constexpr int kDefaultSortMethod = 3;

// A word list reads no further: a text window holds 400,000 characters, so
// no text it can hold comes near either bound, and a file of any size keeps
// the list's memory bounded.
inline constexpr qint64 kWordListMaxBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kWordListMaxWords = 200000;

// The bytes of a file of that size that a word list reads: what its
// progress is measured against.
[[nodiscard]] constexpr qint64 WordListBytesToRead(qint64 fileBytes)
{
    return fileBytes < kWordListMaxBytes ? fileBytes : kWordListMaxBytes;
}

class WordList
{
public:
    // Counts the words of one line (no line break in it). Returns false, with
    // the words before it counted, at a new word beyond maxWords distinct ones.
    bool addLine(QStringView line, const QString &shortcut,
                 qsizetype maxWords = std::numeric_limits<qsizetype>::max());

    // Orders the words as a selection sort that takes only strictly better
    // elements does, so equal counts land where that sort puts them.
    void sort(bool descending, bool byFrequency);

    [[nodiscard]] const std::vector<WordCount> &words() const { return mWords; }
    [[nodiscard]] qsizetype size() const { return static_cast<qsizetype>(mWords.size()); }

private:
    std::vector<WordCount> mWords;             // in order of first appearance until sorted
    QHash<QString, qsizetype> mAt;          // word -> index in mWords
};

// Called at each progress update with the bytes read so far and the number
// of distinct words; returning true stops reading (the list is then partial).
using WordListProgress = std::function<bool(qint64 bytesRead, qint64 bytesToRead, qsizetype uniqueWords)>;

// Where a list stopped short of the end of its file without a cancel.
enum class WordListLimit { None, Bytes, Words };

struct WordListResult
{
    WordList list;
    bool partial = false; // cancelled, or stopped at a bound (see limit)
    WordListLimit limit = WordListLimit::None;
    bool ok = true;       // false: the file could not be read (see error)
    QString error;
};

// Reads a Windows-1252 text file line by line (CR LF, LF or CR) as it goes
// and counts its words. Progress is reported after the first line and then
// every (bytes to read / 100000 + 1) lines, with WordListBytesToRead of the
// file's size as its whole. Stops, with the list partial, at
// kWordListMaxBytes read (the line cut there counts up to its last whole
// word) or kWordListMaxWords distinct words.
[[nodiscard]] WordListResult CreateWordList(const QString &path, const QString &shortcut,
                                            const WordListProgress &progress = {});
// The same over text already in memory (lines split on any line break),
// reading at most maxBytes of it.
[[nodiscard]] WordListResult CreateWordListFromBytes(const QByteArray &bytes, const QString &shortcut,
                                                     const WordListProgress &progress = {},
                                                     qint64 maxBytes = kWordListMaxBytes);

// Texts of the list and its captions; `name` is the file name to show.
[[nodiscard]] QString WordListItemText(const WordCount &w);
[[nodiscard]] QString WordFromItemText(const QString &itemText);
[[nodiscard]] QString WordListCaption(const QString &name, qsizetype uniqueWords, bool partial);
[[nodiscard]] QString WordListProgressMessage(const QString &name, qsizetype uniqueWords);
// What the user is told when the list stopped at a bound.
[[nodiscard]] QString WordListLimitMessage(const QString &name, WordListLimit limit);
