#include "app/startup/Preferences.h"

#include "app/startup/Globals.h"
#include "platform/Settings.h"

namespace {

const QString kApp = QStringLiteral("Voxmere");
const QString kSection = QStringLiteral("Settings");

bool readB(const char *key, bool def)
{
    return vx::readBool(kApp, kSection, QLatin1String(key), def);
}

int readI(const char *key, int def)
{
    return vx::readInt(kApp, kSection, QLatin1String(key), def);
}

QString readS(const char *key, const QString &def)
{
    return vx::readText(kApp, kSection, QLatin1String(key), def);
}

void writeS(const char *key, const QString &value)
{
    SaveSetting(kApp, kSection, QLatin1String(key), value);
}

void writeB(const char *key, bool value)
{
    vx::writeBool(kApp, kSection, QLatin1String(key), value);
}

void writeI(const char *key, int value)
{
    vx::writeInt(kApp, kSection, QLatin1String(key), value);
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
    DfltPCMEnc = readB("DfltPCMEnc", true);
    AudioPlayer = readI("AudioPlayer", 1);
    AudioView = readI("AudioView", 0);
    AudioDblClk = readI("AudioDblClk", 0);
    AudioEditor = readS("AudioEditor", QStringLiteral("/usr/bin/audacity"));
    GrtCtls = readB("GrtCtls", false);
    Highlight = readB("Highlight", true);
    TblAltColor = readB("TblAltColor", true);
    Port = readI("Port", 0);
    // A port number outside the preferences' list (COM1 to COM32) could be
    // neither shown nor kept there, and one the serial object refuses would
    // leave it on the port it had before; treat it as none.
    if (Port < 0 || Port > kPortCount)
        Port = 0;
    BaudRate = readI("BaudRate", 8);
    // The speed text is looked up by this index, so it must name a list item.
    if (BaudRate < 1 || BaudRate > BaudRateItems().size())
        BaudRate = 8;
    DictCharSet = readI("DictCharSet", 1);
    DictSynCk = readI("DictSynCk", 0);
    CommandChar = readS("CommandChar", QStringLiteral("~"));
    // A NUL shortcut is the old way of saying "off".
    if (CommandChar == QString(QChar(0)))
        CommandChar.clear();
    DisplaySV10Warning = readB("DisplaySV10Warning", true);
    DisplayCompatQuery = readB("DisplayCompatQuery", true);
    ChipModel = QStringLiteral("SV3420");
}

void LoadSV10DataFiles()
{
    SV10DataFiles = readB("SV10DataFiles", IsOlderChip);
}

namespace {
// Every preference with its saved copy, in one list for both directions.
template <typename F>
void forEachPreference(F f)
{
    f(DfltPCMEnc, DfltPCMEncSaved);
    f(AudioPlayer, AudioPlayerSaved);
    f(AudioView, AudioViewSaved);
    f(AudioDblClk, AudioDblClkSaved);
    f(AudioEditor, AudioEditorSaved);
    f(GrtCtls, GrtCtlsSaved);
    f(Highlight, HighlightSaved);
    f(TblAltColor, TblAltColorSaved);
    f(Port, PortSaved);
    f(BaudRate, BaudRateSaved);
    f(DictCharSet, DictCharSetSaved);
    f(DictSynCk, DictSynCkSaved);
    f(CommandChar, CommandCharSaved);
    f(SV10DataFiles, SV10DataFilesSaved);
    f(FontName, FontNameSaved);
    f(FontSize, FontSizeSaved);
}
} // namespace

void SnapshotSettings()
{
    forEachPreference([](auto &live, auto &saved) { saved = live; });
}

void RestoreSettings()
{
    forEachPreference([](auto &live, auto &saved) { live = saved; });
}

void StorePreferences()
{
    writeB("DfltPCMEnc", DfltPCMEnc);
    writeI("AudioPlayer", AudioPlayer);
    writeI("AudioView", AudioView);
    writeI("AudioDblClk", AudioDblClk);
    writeS("AudioEditor", AudioEditor);
    writeB("GrtCtls", GrtCtls);
    writeB("Highlight", Highlight);
    writeB("TblAltColor", TblAltColor);
    writeI("DictCharSet", DictCharSet);
    writeI("DictSynCk", DictSynCk);
    writeB("SV10DataFiles", SV10DataFiles);
    writeI("BaudRate", BaudRate);
    writeS("FontName", FontName);
    writeS("FontSize", FontSize);
    writeS("CommandChar", CommandChar);
}
