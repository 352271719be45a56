#pragma once

// Greeting message files (".grt"): the text the chip speaks by itself after
// a reset, checked and turned into the file's bytes. The window reads the
// text and the control panel values, shows the messages and writes the
// bytes through the safe writer.

#include "app/HelpTopics.h"

#include <QByteArray>
#include <QString>

#include <array>

// The control panel values written in front of the message.
struct GreetingControls
{
    int voice = 0;                  // voice preset list index
    int modeIndex = 0;              // 0 text, 1 phonemes, 2 character
    std::array<int, 9> sliders{};   // volume ... reverb, then the delay (8)
    int acr = 0, por = 0, pfr = 0;  // register values
    bool useDict = false;           // the dictionary box is not unchecked
};

// The slider letters, slider 0 to 7.
inline constexpr char kGreetingSliderLetters[] = "vspxafer";

// The message as it goes into the file: hex escapes, then the shortcut.
[[nodiscard]] QString GreetingMessageText(const QString &text, const QString &shortcut);

// The control settings, each the command character, a number and a letter.
[[nodiscard]] QString GreetingControlSettings(const GreetingControls &c);

// By how many bytes message and control settings together pass the 235
// bytes a greeting holds behind its header; 0 or less when they fit. The
// control settings count as long as they really are.
[[nodiscard]] qsizetype GreetingExcess(const QString &controls, const QString &message);

// The letter of the first group of commands a greeting may not hold ('L',
// 'W' or '?'), or 0 when the message holds none.
[[nodiscard]] char GreetingRefusedGroup(const QString &message);

// The whole file: header, control settings (may be empty), message, NUL.
[[nodiscard]] QByteArray BuildGreetingFile(const QString &controls, const QString &message);

// Messages.
[[nodiscard]] QString GreetingTooLongMessage(qsizetype excess, bool withControls);
[[nodiscard]] QString GreetingRefusedMessage(char group);
[[nodiscard]] QString GreetingCreatedQuestion(const QString &name, const QString &moduleName);
[[nodiscard]] QString GreetingCreatedMessage(const QString &name);
inline constexpr int kGreetingHelpTopic = vx::help::kGeneralSettings;
