#include "app/documents/WordList.h"

#include "app/startup/SpeechPieces.h"
#include "platform/Cp1252.h"
#include "platform/TextFiles.h"

#include <map>
#include <set>

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

void WordList::addLine(QStringView line, const QString &shortcut)
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
            mAt.insert(w, size());
            mWords.push_back({w, 1});
        }
    } while (c.SpeakPos <= c.SpeakEnd);
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

WordListResult CreateWordListFromBytes(const QByteArray &bytes, const QString &shortcut,
                                       const WordListProgress &progress)
{
    WordListResult result;
    const qint64 total = bytes.size();
    // The progress shows after the first line and then every k + 1 lines.
    const qint64 k = total / 100000;
    qint64 lines = k;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        result.list.addLine(vx::fromCp1252(QByteArrayView(bytes).sliced(at, end - at)), shortcut);
        at = end;
        if (at < bytes.size() && bytes[at] == '\r')
            ++at;
        if (at < bytes.size() && bytes[at] == '\n')
            ++at; // LF alone, or the LF of CR LF
        if (++lines > k) {
            if (progress && progress(at, total, result.list.size())) {
                result.partial = true;
                break;
            }
            lines = 0;
        }
    }
    return result;
}

WordListResult CreateWordList(const QString &path, const QString &shortcut, const WordListProgress &progress)
{
    QByteArray bytes;
    WordListResult failed;
    if (!vx::readFileBytes(path, bytes, &failed.error)) {
        failed.ok = false;
        return failed;
    }
    return CreateWordListFromBytes(bytes, shortcut, progress);
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
