#include "app/shell/CommandInsertion.h"

#include "app/panels/RecorderStatus.h"
#include "platform/Prompter.h"

#include <iterator>

namespace vx {

namespace {

const SoundsLikeParm kParms[] = {
    {0, "Articulation", "a", 9},    {1, "Expression", "e", 9},     {2, "Formant Freq", "f", 99},
    {3, "Pitch", "p", 99},          {4, "Reverb", "r", 9},         {5, "Speed", "s", 13},
    {6, "Tone", "x", 2},            {100, "Index Marker", "i", 255}, {101, "Punc Filter", "b", 15},
    {102, "TS Pin", "k", 3},        {103, "Volume", "v", 9},       {200, "DO_REC", "&", 65534},
    {300, "DO_TGN", "", 0},
};

const QString kCommandChar = QStringLiteral("\\01");

} // namespace

const SoundsLikeParm *FindSoundsLikeParm(int code)
{
    for (const SoundsLikeParm &p : kParms) {
        if (p.code == code)
            return &p;
    }
    return nullptr;
}

QString PhonemeModifierText(int item)
{
    // A bare backslash would join the two characters typed after it into a
    // hex escape ("\ae" is one byte): its own escape stays a backslash.
    static const char *const kMods[] = {"\\5C", "/", "-", "+", "<", ">"};
    if (item < 0 || item >= int(std::size(kMods)))
        return {};
    return QString::fromLatin1(kMods[item]);
}

QString VoiceCommandText(int item)
{
    return kCommandChar + QString::number(item) + QLatin1Char('o');
}

std::optional<QString> AskParamCommand(int code, const GetParmFn &getParm)
{
    const SoundsLikeParm *p = FindSoundsLikeParm(code);
    if (!p || !getParm)
        return std::nullopt;
    const QString name = QString::fromLatin1(p->name);
    for (;;) {
        const QString answer = getParm(name, p->largest);
        if (answer.isEmpty())
            return std::nullopt;
        if (code == 300)
            return answer;
        const ParmAnswer checked = CheckParmAnswer(answer, p->largest);
        if (checked.verdict == ParmVerdict::Accepted)
            return kCommandChar + checked.value + QString::fromLatin1(p->letter);
        MsgBox(ParmRangeMessage(), Buttons::Ok, Icon::Exclamation);
    }
}

} // namespace vx
