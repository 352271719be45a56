#include "chipsim/Chip.h"
#include "common/PhonemeCodes.h"

#include <QByteArrayView>

#include <algorithm>
#include <iterator>

namespace chipsim {

namespace {

char code(const char *name)
{
    return *vx::phonemeCodeFor(name);
}

bool isVowel(char c)
{
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y';
}

// Letter groups the chip reads as one phoneme.
struct Group
{
    const char *letters;
    const char *phoneme;
};
const Group Groups[] = {
    {"th", "TH"}, {"sh", "SH"}, {"ch", "CH"}, {"ng", "NG"}, {"wh", "WH"}, {"ee", "IY"}, {"ea", "IY"},
    {"oo", "UW"}, {"ou", "AW"}, {"ow", "OW"}, {"ai", "EY"}, {"ay", "EY"}, {"oa", "OW"}, {"oi", "OY"},
    {"oy", "OY"}, {"er", "ER"}, {"au", "AO"}, {"aw", "AO"},
};

// Letters that always stand for one phoneme.
struct Single
{
    char letter;
    const char *phoneme;
};
const Single Singles[] = {{'a', "AE"}, {'i', "IH"}, {'o', "AA"}, {'u', "AH"}, {'j', "JH"}};

// One word in the chip's codes: vowels and the sounds the table names as
// their codes, other consonants as upper-case letters, digits and the
// kept signs as they are.
QByteArray transcribeWord(const QByteArray &raw)
{
    const QByteArray w = raw.toLower();
    if (w == "the")
        return QByteArray() + code("DH") + code("AX");
    QByteArray out;
    for (qsizetype i = 0; i < w.size(); ++i) {
        const char c = w[i];
        if ((c >= '0' && c <= '9') || QByteArrayView(".,'/\\+-").contains(c)) {
            out.append(c);
            continue;
        }
        if (c < 'a' || c > 'z')
            continue; // nothing the chip says
        bool grouped = false;
        for (const Group &g : Groups) {
            if (w.mid(i, 2) == g.letters) {
                out.append(code(g.phoneme));
                ++i;
                grouped = true;
                break;
            }
        }
        if (grouped)
            continue;
        if (i > 0 && w[i - 1] == c && !isVowel(c))
            continue; // a doubled consonant is one sound
        const auto single = std::find_if(std::begin(Singles), std::end(Singles),
                                         [c](const Single &s) { return s.letter == c; });
        if (single != std::end(Singles)) {
            out.append(code(single->phoneme));
            continue;
        }
        switch (c) {
        case 'e':
            // A final e after a consonant is silent.
            if (!(i == w.size() - 1 && i >= 2 && !isVowel(w[i - 1])))
                out.append(code("EH"));
            break;
        case 'y':
            out.append(i == 0 ? code("YY") : code("IY"));
            break;
        case 'c':
            out.append(i + 1 < w.size() && (w[i + 1] == 'e' || w[i + 1] == 'i' || w[i + 1] == 'y') ? 'S' : 'K');
            break;
        case 'q':
            out.append('K');
            break;
        case 'x':
            out.append("KS");
            break;
        default:
            out.append(char(c - 'a' + 'A'));
        }
    }
    return out;
}

} // namespace

QByteArray phoneticTranscription(const QByteArray &text)
{
    QByteArray out;
    for (const QByteArray &word : text.simplified().split(' ')) {
        const QByteArray coded = transcribeWord(word);
        if (!coded.isEmpty())
            out.append(coded + ' ');
    }
    return out;
}

} // namespace chipsim
