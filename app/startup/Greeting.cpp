#include "app/startup/Greeting.h"

#include "app/startup/Globals.h"
#include "app/startup/SendPath.h"
#include "platform/Cp1252.h"

namespace {

constexpr qsizetype kGreetingLimit = 235;
const QString kCrLf = QStringLiteral("\r\n");

QString command(int value, char letter)
{
    return CmdChar + QString::number(value) + QLatin1Char(letter);
}

} // namespace

QString GreetingMessageText(const QString &text, const QString &shortcut)
{
    if (text.isEmpty())
        return {};
    QString expanded = text;
    ExpandHexEscapes(expanded);
    return ApplyCommandCharacter(expanded, shortcut);
}

QString GreetingControlSettings(const GreetingControls &c)
{
    QString out = command(c.voice, 'o');
    if (c.modeIndex == 0)
        out += command(c.sliders[8], 't');
    else if (c.modeIndex == 1)
        out += CmdChar + QLatin1Char('d');
    else
        out += command(c.sliders[8], 'c');
    for (int k = 0; k < 8; ++k)
        out += command(c.sliders[k], kGreetingSliderLetters[k]);
    out += command(c.acr, 'n') + command(c.por, 'g') + command(c.pfr, 'b');
    if (c.useDict)
        out += CmdChar + QLatin1Char('u');
    return out;
}

qsizetype GreetingExcess(const QString &controls, const QString &message)
{
    return vx::toCp1252(controls).size() + vx::toCp1252(message).size() - kGreetingLimit;
}

char GreetingRefusedGroup(const QString &message)
{
    const QString upper = message.toUpper();
    struct Group
    {
        char letter;
        std::initializer_list<const char *> tails;
    };
    const Group groups[] = {
        {'L', {"245L", "234L", "L"}},
        {'W', {"255W", "247W", "236W", "223W", "214W", "W"}},
        {'?', {"12?", "6?"}},
    };
    for (const Group &g : groups) {
        for (const char *tail : g.tails) {
            if (upper.contains(CmdChar + QLatin1String(tail)))
                return g.letter;
        }
    }
    return 0;
}

QByteArray BuildGreetingFile(const QString &controls, const QString &message)
{
    QByteArray out("\r\r\x18\x1e");
    out += vx::toCp1252(CmdChar + QStringLiteral("255w"));
    out += vx::toCp1252(controls);
    out += vx::toCp1252(message);
    out += '\0';
    return out;
}

QString GreetingTooLongMessage(qsizetype excess, bool withControls)
{
    const QString head = QStringLiteral("You have exceeded the maximum Greeting Message length of 235 bytes by ") +
                         QString::number(excess);
    if (!withControls)
        return head + QStringLiteral(" bytes.  ") + kCrLf + QLatin1Char('\n') +
               QStringLiteral("Shorten the message in the text input box; removing line breaks (CR/LF) from the") +
               kCrLf + QStringLiteral("message will also reduce the message size.");
    return head + QStringLiteral(" bytes  ") + kCrLf +
           QStringLiteral("(this includes a 50 byte voice control initialization string that was automatically added).  ") +
           kCrLf + QLatin1Char('\n') +
           QStringLiteral("Shorten the message in the text box; removing line breaks (CR/LF) from the") + kCrLf +
           QStringLiteral("message will also reduce the message size. Disabling the initialization string in") + kCrLf +
           QStringLiteral("Preferences and adding only the desired commands in the text box will also") + kCrLf +
           QStringLiteral("reduce the message size.");
}

QString GreetingRefusedMessage(char group)
{
    return QStringLiteral("'") + QLatin1Char(group) +
           QStringLiteral("' command not allowed in Greeting messages. Process terminated. ");
}

QString GreetingCreatedMessage(const QString &name)
{
    return QStringLiteral("The Greeting Message file '") + name + QStringLiteral("' was successfully created. ");
}

QString GreetingCreatedQuestion(const QString &name, const QString &moduleName)
{
    return GreetingCreatedMessage(name) + kCrLf + QStringLiteral("Would you like to make this the ") + moduleName +
           QStringLiteral("'s new greeting message? ");
}
