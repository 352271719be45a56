// The word list: splitting and trimming, the four sort orders with the tie
// order of the selection sort, progress cadence and cancel, the bounds.
#include "app/documents/WordList.h"
#include "tests/support/Files.h"

#include <QTemporaryDir>
#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <random>

namespace {

QStringList itemTexts(const WordList &list)
{
    QStringList out;
    for (const WordCount &w : list.words())
        out << WordListItemText(w);
    return out;
}

WordList listOf(std::initializer_list<WordCount> entries)
{
    WordList list;
    for (const WordCount &e : entries) {
        for (int k = 0; k < e.count; ++k)
            list.addLine(e.word, QStringLiteral("~"));
    }
    return list;
}

// The sort as the list has always done it, to check the fast one against.
void literalSelectionSort(std::vector<WordCount> &v, bool descending, bool byFrequency)
{
    const auto better = [&](const WordCount &a, const WordCount &b) {
        if (byFrequency)
            return descending ? a.count > b.count : a.count < b.count;
        return descending ? a.word > b.word : a.word < b.word;
    };
    for (std::size_t i = 0; i < v.size(); ++i) {
        std::size_t b = i;
        for (std::size_t j = i + 1; j < v.size(); ++j)
            if (better(v[j], v[b]))
                b = j;
        std::swap(v[i], v[b]);
    }
}

TEST(WordList, WordsAndCounts)
{
    // A hyphen splits only when a blank follows on the line.
    const QByteArray text("Hello, hello HELLO!\r\n(don't) 1999 -- ~5s\r\nf(x) well-known\n\xe9t\xe9");
    WordListResult r = CreateWordListFromBytes(text, QStringLiteral("~"));
    EXPECT_EQ(itemTexts(r.list), (QStringList{"hello (3)", "don't (1)", "f(x (1)", "well-known (1)", "t (1)"}));

    // With the shortcut off no word is taken for a command; the digits and
    // the tilde are trimmed away.
    r = CreateWordListFromBytes(text, QString());
    EXPECT_TRUE(itemTexts(r.list).contains(QStringLiteral("s (1)")));
    EXPECT_TRUE(itemTexts(r.list).contains(QStringLiteral("hello (3)")));

    EXPECT_EQ(TrimWordToLetters(QStringLiteral(u"Éclair"), {}), QStringLiteral("clair"));
    EXPECT_EQ(WordFromItemText(QStringLiteral("f(x (12)")), QStringLiteral("f(x"));
}

TEST(WordList, SortOrders)
{
    struct Case
    {
        int method;
        QStringList items;
    };
    const Case cases[] = {
        {0, {"a (2)", "b (2)", "c (1)"}},
        {1, {"c (1)", "b (2)", "a (2)"}},
        {2, {"c (1)", "a (2)", "b (2)"}},
        {3, {"b (2)", "a (2)", "c (1)"}},
    };
    for (const Case &c : cases) {
        WordList list = listOf({{"b", 2}, {"a", 2}, {"c", 1}});
        const int flags = kSortMethods[c.method].flags;
        list.sort(flags & 1, flags & 2);
        EXPECT_EQ(itemTexts(list), c.items) << kSortMethods[c.method].text;
    }
}

TEST(WordList, TieOrderMatchesTheSelectionSort)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        WordList list;
        const int n = 1 + round * 5;
        for (int k = 0; k < n; ++k) {
            const QString w = QStringLiteral("w%1").arg(rng() % 1000);
            for (unsigned c = rng() % 4; c < 4; ++c)
                list.addLine(w, {});
        }
        std::vector<WordCount> expected = list.words();
        // Sorts follow each other, as when the user picks one after another.
        for (int flags : {3, 0, 2, 1, 3}) {
            literalSelectionSort(expected, flags & 1, flags & 2);
            list.sort(flags & 1, flags & 2);
            ASSERT_EQ(list.words(), expected) << "round " << round << " flags " << flags;
        }
    }
}

TEST(WordList, ProgressCadenceAndCancel)
{
    // 250,000 bytes: progress after the first line, then every third line.
    QByteArray big;
    while (big.size() < 250000)
        big += QByteArray(99, 'a') + '\n';
    std::vector<qint64> at;
    (void)CreateWordListFromBytes(big, {}, [&](qint64 read, qint64, qsizetype) {
        at.push_back(read / 100);
        return false;
    });
    ASSERT_GE(at.size(), 3u);
    EXPECT_EQ((std::vector<qint64>(at.begin(), at.begin() + 3)), (std::vector<qint64>{1, 4, 7}));

    // A short file reports every line; a cancel stops reading there.
    const WordListResult r = CreateWordListFromBytes("one\r\ntwo\r\nthree\r\n", {}, [](qint64, qint64, qsizetype n) {
        return n == 2;
    });
    EXPECT_TRUE(r.partial);
    EXPECT_EQ(r.list.size(), 2);

    QTemporaryDir dir;
    const WordListResult missing = CreateWordList(dir.filePath(QStringLiteral("none.txt")), {});
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.error.isEmpty());
}

// A file is counted as it is read, so a cancel stops the reading too; past
// a bound on the bytes read or the distinct words the list stops, partial.
TEST(WordList, AFileIsReadAsItGoesUpToItsBounds)
{
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray line = QByteArray(1022, 'a') + "\r\n";
        for (qint64 written = 0; written <= kWordListMaxBytes + (1 << 20); written += line.size())
            ASSERT_EQ(f.write(line), line.size());
    }
    qint64 before = vxtest::bytesReadByProcess();
    WordListResult r = CreateWordList(big, {}, [](qint64, qint64, qsizetype) { return true; });
    EXPECT_LT(vxtest::bytesReadByProcess() - before, 1 << 20) << "a cancel at the first report";
    EXPECT_TRUE(r.partial);
    EXPECT_EQ(r.limit, WordListLimit::None);

    before = vxtest::bytesReadByProcess();
    r = CreateWordList(big, {});
    EXPECT_LE(vxtest::bytesReadByProcess() - before, kWordListMaxBytes + (1 << 16));
    EXPECT_TRUE(r.partial);
    EXPECT_EQ(r.limit, WordListLimit::Bytes);
    EXPECT_EQ(r.list.size(), 1);
    EXPECT_EQ(WordListLimitMessage(QStringLiteral("Big.txt"), r.limit),
              QStringLiteral("The word list of 'Big.txt' stops after the first 16 MB of the file: a word list reads "
                             "no more. The words found there are listed."));

    // Distinct words: as many as the bound, then one more.
    QByteArray text;
    for (int i = 0; i < kWordListMaxWords; ++i) {
        for (int v = i, k = 0; k < 4; ++k, v /= 26)
            text += static_cast<char>('a' + v % 26);
        text += (i % 10 == 9) ? "\r\n" : " ";
    }
    r = CreateWordListFromBytes(text, {});
    EXPECT_FALSE(r.partial);
    EXPECT_EQ(r.list.size(), kWordListMaxWords);
    r = CreateWordListFromBytes(text + "abcde", {});
    EXPECT_TRUE(r.partial);
    EXPECT_EQ(r.limit, WordListLimit::Words);
    EXPECT_EQ(r.list.size(), kWordListMaxWords);
    EXPECT_EQ(WordListLimitMessage(QStringLiteral("Big.txt"), r.limit),
              QStringLiteral("The word list of 'Big.txt' stops at 200000 unique words: a word list holds no more. "
                             "The words found up to there are listed."));
}

// The line cut at the bound counts up to its last whole word, also when it
// is all the text read: the byte past the bound tells where the word ends.
TEST(WordList, TheLineCutAtTheBoundCountsItsWholeWords)
{
    const struct
    {
        const char *text;
        qint64 bound;
        QStringList words;
    } rows[] = {
        {"alpha beta gamma", 13, {"alpha (1)", "beta (1)"}},
        {"alpha beta gamma", 10, {"alpha (1)", "beta (1)"}},
        {"alpha beta-gamma delta", 16, {"alpha (1)", "beta (1)", "gamma (1)"}},
        {"one two\r\nthree", 7, {"one (1)", "two (1)"}},
        {"one\r\ntwo three", 9, {"one (1)", "two (1)"}},
        {"alphabet", 5, {}},
    };
    for (const auto &row : rows) {
        const WordListResult r = CreateWordListFromBytes(row.text, {}, {}, row.bound);
        EXPECT_EQ(itemTexts(r.list), row.words) << row.text << " cut at " << row.bound;
        EXPECT_TRUE(r.partial);
        EXPECT_EQ(r.limit, WordListLimit::Bytes);
    }
}

} // namespace
