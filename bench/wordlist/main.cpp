// The word list of the largest text a text window holds: 400,000 characters
// with 20,000 distinct words, counted and sorted by decreasing frequency
// (the list's default) and then alphabetically. Goal: under 0.3 s.
#include "app/documents/WordList.h"

#include <QByteArray>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

QByteArray word(int index)
{
    // Four letters in base 26, then zero to three more, so lengths vary and
    // every index gives its own word.
    QByteArray w;
    int v = index;
    for (int k = 0; k < 4; ++k) {
        w.prepend(static_cast<char>('a' + v % 26));
        v /= 26;
    }
    return w + QByteArray(index % 4, 'x');
}

QByteArray buildText()
{
    constexpr int kDistinct = 20000;
    constexpr int kChars = 400000;
    std::mt19937 rng(1);
    QByteArray text;
    int line = 0;
    auto put = [&](const QByteArray &w) {
        text += w;
        line += static_cast<int>(w.size()) + 1;
        if (line > 72) {
            text += "\r\n";
            line = 0;
        } else {
            text += (rng() % 9 == 0) ? ", " : " ";
        }
    };
    for (int k = 0; k < kDistinct; ++k)
        put(word(k));
    // The rest repeats words, the frequent ones much more often.
    while (text.size() < kChars) {
        const double u = std::uniform_real_distribution<double>(0.0, 1.0)(rng);
        put(word(static_cast<int>(kDistinct * u * u * u)));
    }
    text.truncate(kChars);
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QByteArray text = buildText();
    std::vector<double> seconds;
    qsizetype unique = 0;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        WordListResult result = CreateWordListFromBytes(text, QStringLiteral("~"));
        result.list.sort(true, true);
        result.list.sort(false, false);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        unique = result.list.size();
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("word list: %lld characters, %lld unique words: median %.3f s over %d runs (goal < 0.3 s)\n",
                static_cast<long long>(text.size()), static_cast<long long>(unique), seconds[seconds.size() / 2], runs);
    return 0;
}
