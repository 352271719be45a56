#include "app/startup/Preferences.h"

#include "app/startup/MainWindowRules.h"
#include "platform/Settings.h"

#include <variant>

namespace {

const QString kSection = QStringLiteral("Settings");

// A preference's live value and its saved copy (null: it has none).
template <typename T>
struct Field
{
    T ProgramGlobals::*live;
    T ProgramGlobals::*saved;
};

enum Use : unsigned {
    Load = 1,  // LoadPreferences reads it
    Store = 2, // StorePreferences writes it
};

struct Preference
{
    const char *key;
    std::variant<Field<bool>, Field<int>, Field<QString>> field;
    unsigned use;
};

// Every preference once. Its default is its start value in ProgramGlobals.
// Port is stored by the chip link set-up once a port works; SV10DataFiles is
// read on its own (its default depends on the chip), the editor font by the
// preferences dialog; the notice flags have no saved copy.
const Preference kPreferences[] = {
    {"DfltPCMEnc", Field<bool>{&ProgramGlobals::DfltPCMEnc, &ProgramGlobals::DfltPCMEncSaved}, Load | Store},
    {"AudioPlayer", Field<int>{&ProgramGlobals::AudioPlayer, &ProgramGlobals::AudioPlayerSaved}, Load | Store},
    {"AudioView", Field<int>{&ProgramGlobals::AudioView, &ProgramGlobals::AudioViewSaved}, Load | Store},
    {"AudioDblClk", Field<int>{&ProgramGlobals::AudioDblClk, &ProgramGlobals::AudioDblClkSaved}, Load | Store},
    {"AudioEditor", Field<QString>{&ProgramGlobals::AudioEditor, &ProgramGlobals::AudioEditorSaved}, Load | Store},
    {"GrtCtls", Field<bool>{&ProgramGlobals::GrtCtls, &ProgramGlobals::GrtCtlsSaved}, Load | Store},
    {"Highlight", Field<bool>{&ProgramGlobals::Highlight, &ProgramGlobals::HighlightSaved}, Load | Store},
    {"TblAltColor", Field<bool>{&ProgramGlobals::TblAltColor, &ProgramGlobals::TblAltColorSaved}, Load | Store},
    {"Port", Field<int>{&ProgramGlobals::Port, &ProgramGlobals::PortSaved}, Load},
    {"BaudRate", Field<int>{&ProgramGlobals::BaudRate, &ProgramGlobals::BaudRateSaved}, Load | Store},
    {"DictCharSet", Field<int>{&ProgramGlobals::DictCharSet, &ProgramGlobals::DictCharSetSaved}, Load | Store},
    {"DictSynCk", Field<int>{&ProgramGlobals::DictSynCk, &ProgramGlobals::DictSynCkSaved}, Load | Store},
    {"CommandChar", Field<QString>{&ProgramGlobals::CommandChar, &ProgramGlobals::CommandCharSaved}, Load | Store},
    {"DisplaySV10Warning", Field<bool>{&ProgramGlobals::DisplaySV10Warning, nullptr}, Load},
    {"DisplayCompatQuery", Field<bool>{&ProgramGlobals::DisplayCompatQuery, nullptr}, Load},
    {"SV10DataFiles", Field<bool>{&ProgramGlobals::SV10DataFiles, &ProgramGlobals::SV10DataFilesSaved}, Store},
    {"FontName", Field<QString>{&ProgramGlobals::FontName, &ProgramGlobals::FontNameSaved}, Store},
    {"FontSize", Field<QString>{&ProgramGlobals::FontSize, &ProgramGlobals::FontSizeSaved}, Store},
};

bool read(const QString &key, bool def)
{
    return vx::readBool(mainwin::appName(), kSection, key, def);
}

int read(const QString &key, int def)
{
    return vx::readInt(mainwin::appName(), kSection, key, def);
}

QString read(const QString &key, const QString &def)
{
    return vx::readText(mainwin::appName(), kSection, key, def);
}

// The user chose these: a store that cannot keep them says so.
void write(const QString &key, bool value)
{
    vx::saveChosenBool(mainwin::appName(), kSection, key, value);
}

void write(const QString &key, int value)
{
    vx::saveChosenInt(mainwin::appName(), kSection, key, value);
}

void write(const QString &key, const QString &value)
{
    vx::saveChosenSetting(mainwin::appName(), kSection, key, value);
}

} // namespace

const QStringList &BaudRateItems()
{
    static const QStringList items = {QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                                      QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
                                      QStringLiteral("57600"), QStringLiteral("115200")};
    return items;
}

QString BaudRateText(int baudRate)
{
    const QStringList &items = BaudRateItems();
    if (baudRate < 1 || baudRate > items.size())
        return items.last();
    return items.at(baudRate - 1);
}

void LoadPreferences()
{
    static const ProgramGlobals defaults;
    for (const Preference &p : kPreferences) {
        if (!(p.use & Load))
            continue;
        std::visit([&](const auto &f) { G.*f.live = read(QLatin1String(p.key), defaults.*f.live); }, p.field);
    }
    // A port number outside the preferences' list (COM1 to COM32) could be
    // neither shown nor kept there, and one the serial object refuses would
    // leave it on the port it had before; treat it as none.
    if (Port < 0 || Port > kPortCount)
        Port = 0;
    // The speed text is looked up by this index, so it must name a list item.
    if (BaudRate < 1 || BaudRate > BaudRateItems().size())
        BaudRate = 8;
    // A NUL shortcut is the old way of saying "off".
    if (CommandChar == QString(QChar(0)))
        CommandChar.clear();
    ChipModel = QStringLiteral("SV3420");
}

void LoadSV10DataFiles()
{
    SV10DataFiles = read(QStringLiteral("SV10DataFiles"), IsOlderChip);
}

void SnapshotSettings()
{
    for (const Preference &p : kPreferences)
        std::visit([](const auto &f) { if (f.saved) G.*f.saved = G.*f.live; }, p.field);
}

void RestoreSettings()
{
    for (const Preference &p : kPreferences)
        std::visit([](const auto &f) { if (f.saved) G.*f.live = G.*f.saved; }, p.field);
}

void StorePreferences()
{
    for (const Preference &p : kPreferences) {
        if (p.use & Store)
            std::visit([&](const auto &f) { write(QLatin1String(p.key), G.*f.live); }, p.field);
    }
}
