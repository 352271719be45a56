#include "app/documents/WordList.h"

#include "app/startup/SpeechPieces.h"
#include "platform/Cp1252.h"
#include "platform/TextFiles.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace {

bool isAsciiLetter(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z');
}

bool shortcutIsOff(const QString &shortcut)
{
    return shortcut.isEmpty() || shortcut == QString(QChar(0));
}

// Repeats a selection sort that swaps the first strictly best element of
// the rest into place, without its quadratic cost: the positions holding
// each key are kept in order, and each step moves one element.
template <class Key, class KeyOf, class Better>
void selectionSortOrder(std::vector<WordCount> &items, KeyOf keyOf, Better better)
{
    std::map<Key, std::set<std::size_t>, Better> at(better);
    for (std::size_t k = 0; k < items.size(); ++k)
        at[keyOf(items[k])].insert(k);
    for (std::size_t i = 0; i < items.size(); ++i) {
        auto best = at.begin();
        const std::size_t b = *best->second.begin();
        best->second.erase(best->second.begin());
        if (b != i) {
            auto mine = at.find(keyOf(items[i]));
            mine->second.erase(i);
            mine->second.insert(b);
            std::swap(items[i], items[b]);
        }
        if (best->second.empty())
            at.erase(best);
    }
}

} // namespace

QString TrimWordToLetters(const QString &piece, const QString &shortcut)
{
    QString w = piece.toLower();
    while (!w.isEmpty() && !isAsciiLetter(w.back()))
        w.chop(1);
    const bool keepShortcut = !shortcutIsOff(shortcut) && shortcut.size() == 1;
    while (!w.isEmpty() && !isAsciiLetter(w.front()) && !(keepShortcut && w.front() == shortcut.front()))
        w.remove(0, 1);
    return w;
}

bool WordList::addLine(QStringView line, const QString &shortcut, qsizetype maxWords)
{
    SpeechCursor c;
    c.SpeakBuffer = line.toString();
    c.SpeakEnd = c.SpeakBuffer.size();
    const bool shortcutOn = !shortcutIsOff(shortcut);
    do {
        const QString w = TrimWordToLetters(GetNextSpeechChunk(c, false), shortcut);
        // Typed chip commands are not words.
        if (w.isEmpty() || (shortcutOn && w.startsWith(shortcut)))
            continue;
        const auto found = mAt.constFind(w);
        if (found != mAt.constEnd()) {
            ++mWords[static_cast<std::size_t>(*found)].count;
        } else {
            if (size() >= maxWords)
                return false;
            mAt.insert(w, size());
            mWords.push_back({w, 1});
        }
    } while (c.SpeakPos <= c.SpeakEnd);
    return true;
}

void WordList::sort(bool descending, bool byFrequency)
{
    if (byFrequency) {
        const auto keyOf = [](const WordCount &w) { return w.count; };
        if (descending)
            selectionSortOrder<qint32>(mWords, keyOf, std::greater<qint32>());
        else
            selectionSortOrder<qint32>(mWords, keyOf, std::less<qint32>());
    } else {
        const auto keyOf = [](const WordCount &w) { return w.word; };
        if (descending)
            selectionSortOrder<QString>(mWords, keyOf, std::greater<QString>());
        else
            selectionSortOrder<QString>(mWords, keyOf, std::less<QString>());
    }
    mAt.clear();
    for (qsizetype k = 0; k < size(); ++k)
        mAt.insert(mWords[static_cast<std::size_t>(k)].word, k);
}

namespace {

// The start of a line cut at the bound, up to its last whole word. The byte
// past the bound tells whether the cut fell at the end of a word; a blank
// kept behind the words lets their hyphens split as they do in the file.
QByteArray wholeWords(const QByteArray &cut, char next)
{
    if (next == '\r' || next == '\n')
        return cut;
    if (next == ' ')
        return cut + ' ';
    return cut.left(cut.lastIndexOf(' ') + 1);
}

// Counts the words line by line as the bytes arrive, so no more than one
// line and one block are held besides the list.
WordListResult countWords(QIODevice &in, const QString &shortcut, const WordListProgress &progress, qint64 maxBytes)
{
    WordListResult result;
    const qint64 total = std::min(in.size(), maxBytes);
    const auto read = [&in](char *buffer, qint64 n) { return in.read(buffer, n); };
    // The progress shows after the first line and then every k + 1 lines.
    const qint64 k = total / 100000;
    qint64 lines = k;
    qint64 position = 0;  // in the text, behind the last line counted
    qint64 readSoFar = 0;
    QByteArray pending;   // the start of a line whose break has not arrived yet
    bool crLast = false;  // a line ended with the block's last byte, a CR: an LF next belongs to it
    // False once the list stops (a cancel or a bound).
    const auto take = [&](QByteArrayView line, qint64 next) {
        position = next;
        if (!result.list.addLine(vx::fromCp1252(line), shortcut, kWordListMaxWords)) {
            result.limit = WordListLimit::Words;
            return false;
        }
        if (++lines > k) {
            if (progress && progress(position, total, result.list.size()))
                return false;
            lines = 0;
        }
        return true;
    };
    constexpr qint64 kBlock = 64 * 1024;
    std::vector<char> block(kBlock);
    bool going = true;
    while (going) {
        const qint64 n = read(block.data(), std::min(kBlock, maxBytes - readSoFar));
        if (n == 0 && readSoFar == maxBytes && read(block.data(), 1) != 0) {
            // A text without line breaks is all one cut line.
            if (const QByteArray whole = wholeWords(pending, block[0]); !whole.isEmpty())
                take(whole, position + pending.size());
            if (result.limit == WordListLimit::None)
                result.limit = WordListLimit::Bytes;
            going = false;
            break;
        }
        if (n < 0) {
            result.ok = false;
            return result;
        }
        if (n == 0) {
            if (!pending.isEmpty())
                going = take(pending, position + pending.size());
            break;
        }
        readSoFar += n;
        const char *b = block.data();
        qsizetype i = 0;
        if (std::exchange(crLast, false) && b[0] == '\n') {
            i = 1;
            ++position;
        }
        while (going && i < n) {
            qsizetype end = i;
            while (end < n && b[end] != '\r' && b[end] != '\n')
                ++end;
            if (end == n) {
                pending.append(b + i, n - i);
                break;
            }
            qsizetype next = end + 1;
            if (b[end] == '\r' && next < n && b[next] == '\n')
                ++next; // the LF of CR LF
            else if (b[end] == '\r' && next == n)
                crLast = true;
            const qint64 at = position + pending.size() + (next - i);
            if (pending.isEmpty()) {
                going = take(QByteArrayView(b + i, end - i), at);
            } else {
                pending.append(b + i, end - i);
                going = take(pending, at);
                pending.clear();
            }
            i = next;
        }
    }
    result.partial = !going;
    return result;
}

} // namespace

WordListResult CreateWordListFromBytes(const QByteArray &bytes, const QString &shortcut,
                                       const WordListProgress &progress, qint64 maxBytes)
{
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    return countWords(in, shortcut, progress, maxBytes);
}

WordListResult CreateWordList(const QString &path, const QString &shortcut, const WordListProgress &progress)
{
    QFile file;
    WordListResult failed;
    if (!vx::openForReading(file, path, &failed.error)) {
        failed.ok = false;
        return failed;
    }
    WordListResult result = countWords(file, shortcut, progress, kWordListMaxBytes);
    if (!result.ok)
        result.error = file.errorString();
    return result;
}

QString WordListItemText(const WordCount &w)
{
    return w.word + QStringLiteral(" (") + QString::number(w.count) + QLatin1Char(')');
}

QString WordFromItemText(const QString &itemText)
{
    // The count is behind the last " ("; a word may hold "(" itself.
    const qsizetype cut = itemText.lastIndexOf(QStringLiteral(" ("));
    return cut < 0 ? itemText : itemText.left(cut);
}

QString WordListCaption(const QString &name, qsizetype uniqueWords, bool partial)
{
    QString caption = name + QStringLiteral(": ") + QString::number(uniqueWords) + QStringLiteral(" unique words");
    if (partial)
        caption += QStringLiteral(" (partial)");
    return caption;
}

QString WordListProgressMessage(const QString &name, qsizetype uniqueWords)
{
    return QStringLiteral("File: ") + name + QStringLiteral("      Unique words: ") + QString::number(uniqueWords);
}

QString WordListLimitMessage(const QString &name, WordListLimit limit)
{
    if (limit == WordListLimit::Bytes)
        return QStringLiteral("The word list of '") + name + QStringLiteral("' stops after the first ") +
               QString::number(kWordListMaxBytes / (1024 * 1024)) +
               QStringLiteral(" MB of the file: a word list reads no more. The words found there are listed.");
    return QStringLiteral("The word list of '") + name + QStringLiteral("' stops at ") +
           QString::number(kWordListMaxWords) +
           QStringLiteral(" unique words: a word list holds no more. The words found up to there are listed.");
}
