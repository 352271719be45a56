#pragma once

// The chip commands the "Sounds Like" menu inserts into a text: "\01" stands
// for the command character, which the send path expands.

#include <QString>

#include <functional>
#include <optional>

namespace vx {

// One command that takes a value: the name the prompt shows, the command
// letter, and the largest value.
struct SoundsLikeParm
{
    int code;
    const char *name;
    const char *letter;
    int largest;
};

// Voice attributes are 0 to 6, controls 100 to 103, a recording 200 and a
// tone 300; null for any other code.
[[nodiscard]] const SoundsLikeParm *FindSoundsLikeParm(int code);

// The phoneme modifier of item 0 to 5 ("\5C", the escape of a backslash,
// then "/", "-", "+", "<", ">").
[[nodiscard]] QString PhonemeModifierText(int item);
// The voice command of item 0 to 10: "\01" item "o".
[[nodiscard]] QString VoiceCommandText(int item);

// Asks for the value of command code through getParm (name, largest value;
// empty for a cancel) until an answer is taken: a whole number from 0 to the
// largest value; any other answer is refused with a message and asked again.
// The tone prompt's answer is a whole command and is taken as it is. Returns
// the text to insert, nullopt when the user cancelled.
using GetParmFn = std::function<QString(const QString &name, int largest)>;
[[nodiscard]] std::optional<QString> AskParamCommand(int code, const GetParmFn &getParm);

} // namespace vx
