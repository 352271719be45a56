#pragma once

// Program-wide state of the main program, shared by its windows and
// routines. One thread touches these: the event loop's. Every name is a
// reference into one ProgramGlobals object, so ResetGlobals() brings the whole
// state back to its start values at once (tests call it in every fixture).
// Window-private state stays in the windows.

#include "app/soundlib/SoundEntry.h"
#include "app/startup/Receive.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// The program's name: its settings file, temporary folder, help file and
// message titles are named after it.
inline constexpr char kAppName[] = "Voxmere";

class cTolvane;
class SerialComm;
class cSonvert;
class cLexmold;
class cCantorel;

// One record per window slot: slot 0 the control panels, slot 1 the phonetic
// output, documents from slot 2.
struct DocRecord
{
    bool Deleted = true;
    bool Dirty = false;
    QString FileName = QStringLiteral("Untitled");
    int Number = 0;
};

struct ProgramGlobals
{
    // --- Busy and abort ---------------------------------------------------------
    bool Busy = false;             // a long operation runs
    bool StopRequested = false;    // abort request for the running chip operation
    bool CompilingLibrary = false; // a sound library compile runs: busy routines stand still
    bool SuppressActivate = false; // inside EndBusy while the focus moves
    bool ProgressCancel = false;   // the progress dialog's Cancel (converter)
    bool ClosingAll = false;
    bool Playing = false;
    bool UpdatingControls = false; // the control panels re-read the chip
    bool InitializingLink = false;
    bool SaveCancelled = false;
    // --- Chip link --------------------------------------------------------------
    QString CmdChar = QStringLiteral("\x01"); // the chip's command character
    int Port = 0;                             // configured port number; 0 = demo mode
    int CommErrChoice = 0;
    QString SavedCommSettings;
    QString ModuleName = QStringLiteral("Evaluation Board");
    int ChipSampleRate = 0;
    QString ChipModel;
    bool IsOlderChip = false;
    QString DownloadTitle;
    bool DictionaryKnown = false;
    bool SV10Emulation = false;
    int RecMemSize = 0; // KB; -1 not available, -2 corrupt
    int RecMemFree = 0;
    // Receive state: the receive mode (CommMode), where the highlight scan
    // goes on, the user's selection while speaking and the last status byte.
    ChipReceiver Receiver;
    QByteArray ByteBuffer;
    QByteArray RecStatusQueue; // recording status bytes not yet acted on, in order
    int PanelTab = 0; // the control panel's tab: 0 tone generator ... 4 sound recorder
    // --- Folders ----------------------------------------------------------------
    QString TempFolder; // per-user temporary folder, with a trailing "/"
    QString HelpFile;
    // --- Document registry ------------------------------------------------------
    QVector<DocRecord> DocState;
    int ActiveDocIndex = 0;
    SoundLibTable SoundLibEntries; // the rows of every sound library window, by slot
    bool SuppressCheckEvents = false; // the properties panel sets the Comp and Boost boxes
    QStringList DroppedFiles{QString()}; // files on their way into a library; ends with one empty element
    // --- Context menus ------------------------------------------------------------
    bool PlayRequested = false;  // the text window's Play item: speak once the menu has closed
    bool ParmPromptOpen = false; // a Sounds Like command prompts or switches panels: the cell edit stays open
    // --- Chip link: the link library, its serial object and the typed command shortcut
    cTolvane *cTolv = nullptr;                // the link library object, kept for the program's life
    SerialComm *Comm = nullptr;               // handed out by the link library, kept for the program's life
    QString CommandChar = QStringLiteral("~"); // live value of the "CommandChar" preference; "" or NUL = off
    // --- Main window start-up ---------------------------------------------------
    bool For10 = false;        // developing for the older chip ("For10")
    bool PrevEmulation = true; // the emulation state the panels compare against
    bool PrevModuleCompat = false; // the module-compatibility state the panels compare against
    int LastNewKind = 0;       // kind of the last File > New: 0 text, 1 sound library, 2 dictionary, 3 music
    QStringList ChannelNames;  // "Mono", "Stereo"

    // --- Preferences: each has a live value, which the program reads, and a
    // saved copy (…Saved) that the preferences dialog takes when it is shown
    // and after Apply, and puts back on Cancel. Port and CommandChar are above.
    bool DfltPCMEnc = true;
    bool DfltPCMEncSaved = true;
    int AudioPlayer = 1; // 0 the chip, 1 the PC
    int AudioPlayerSaved = 1;
    int AudioView = 0; // 0 list, 1 table
    int AudioViewSaved = 0;
    int AudioDblClk = 0; // 0 preview, 1 edit
    int AudioDblClkSaved = 0;
    QString AudioEditor = QStringLiteral("/usr/bin/audacity");
    QString AudioEditorSaved = QStringLiteral("/usr/bin/audacity");
    bool GrtCtls = false;
    bool GrtCtlsSaved = false;
    bool Highlight = true;
    bool HighlightSaved = true;
    bool TblAltColor = true;
    bool TblAltColorSaved = true;
    int PortSaved = 0;
    int BaudRate = 8; // 1-based item of BaudRateItems(): 8 = 115200
    int BaudRateSaved = 8;
    int DictCharSet = 1; // 0 code page 437, 1 ISO 8859-1
    int DictCharSetSaved = 1;
    int DictSynCk = 0; // 0 automatic, 1 at compile time
    int DictSynCkSaved = 0;
    QString CommandCharSaved = QStringLiteral("~");
    bool DisplaySV10Warning = true; // notice flags: no saved copy
    bool DisplayCompatQuery = true;
    bool SV10DataFiles = false;
    bool SV10DataFilesSaved = false;
    QString FontName; // editor font, read by the preferences dialog
    QString FontNameSaved;
    QString FontSize;
    QString FontSizeSaved;

    // --- Components, created at start-up and kept for the program's life;
    // null before start-up and after shutdown.
    cSonvert *cSonv = nullptr;          // its TargetPath is the temporary folder
    cLexmold *DicCompiler = nullptr;
    cCantorel *MusicCompiler = nullptr;
};

inline ProgramGlobals G;

// The state of a program that has just started: every global back to its
// start value, and the layers below told the program's name. Objects the
// pointers held are not deleted: their owner (the main window) releases them.
void ResetGlobals();

// --- Busy and abort ---------------------------------------------------------
inline bool &Busy = G.Busy;
inline bool &StopRequested = G.StopRequested;
inline bool &CompilingLibrary = G.CompilingLibrary;
inline bool &SuppressActivate = G.SuppressActivate;
inline bool &ProgressCancel = G.ProgressCancel;
inline bool &ClosingAll = G.ClosingAll;
inline bool &Playing = G.Playing;
inline bool &UpdatingControls = G.UpdatingControls;
inline bool &InitializingLink = G.InitializingLink;
inline bool &SaveCancelled = G.SaveCancelled;
// --- Chip link --------------------------------------------------------------
inline QString &CmdChar = G.CmdChar;
inline int &Port = G.Port;
inline int &CommErrChoice = G.CommErrChoice;
inline QString &SavedCommSettings = G.SavedCommSettings;
inline QString &ModuleName = G.ModuleName;
inline int &ChipSampleRate = G.ChipSampleRate;
inline QString &ChipModel = G.ChipModel;
inline bool &IsOlderChip = G.IsOlderChip;
inline QString &DownloadTitle = G.DownloadTitle;
inline bool &DictionaryKnown = G.DictionaryKnown;
inline bool &SV10Emulation = G.SV10Emulation;
inline int &RecMemSize = G.RecMemSize;
inline int &RecMemFree = G.RecMemFree;
inline ChipReceiver &Receiver = G.Receiver;
// Each sender sets it before its request; the receive handler acts by it.
inline int &CommMode = G.Receiver.state().CommMode;
inline int &PanelTab = G.PanelTab;
inline QByteArray &ByteBuffer = G.ByteBuffer;
inline QByteArray &RecStatusQueue = G.RecStatusQueue;
// --- Folders ----------------------------------------------------------------
inline QString &TempFolder = G.TempFolder;
inline QString &HelpFile = G.HelpFile;
// --- Document registry ------------------------------------------------------
inline QVector<DocRecord> &DocState = G.DocState;
inline int &ActiveDocIndex = G.ActiveDocIndex;
inline SoundLibTable &SoundLibEntries = G.SoundLibEntries;
inline bool &SuppressCheckEvents = G.SuppressCheckEvents;
inline QStringList &DroppedFiles = G.DroppedFiles;
inline bool &PlayRequested = G.PlayRequested;
inline bool &ParmPromptOpen = G.ParmPromptOpen;
// --- Chip link: the link library, its serial object and the typed command shortcut
inline cTolvane *&cTolv = G.cTolv;
inline SerialComm *&Comm = G.Comm;
inline QString &CommandChar = G.CommandChar;
// --- Main window start-up ---------------------------------------------------
inline bool &For10 = G.For10;
inline bool &PrevEmulation = G.PrevEmulation;
inline bool &PrevModuleCompat = G.PrevModuleCompat;
inline int &LastNewKind = G.LastNewKind;
inline QStringList &ChannelNames = G.ChannelNames;

// --- Preferences
inline bool &DfltPCMEnc = G.DfltPCMEnc;
inline bool &DfltPCMEncSaved = G.DfltPCMEncSaved;
inline int &AudioPlayer = G.AudioPlayer;
inline int &AudioPlayerSaved = G.AudioPlayerSaved;
inline int &AudioView = G.AudioView;
inline int &AudioViewSaved = G.AudioViewSaved;
inline int &AudioDblClk = G.AudioDblClk;
inline int &AudioDblClkSaved = G.AudioDblClkSaved;
inline QString &AudioEditor = G.AudioEditor;
inline QString &AudioEditorSaved = G.AudioEditorSaved;
inline bool &GrtCtls = G.GrtCtls;
inline bool &GrtCtlsSaved = G.GrtCtlsSaved;
inline bool &Highlight = G.Highlight;
inline bool &HighlightSaved = G.HighlightSaved;
inline bool &TblAltColor = G.TblAltColor;
inline bool &TblAltColorSaved = G.TblAltColorSaved;
inline int &PortSaved = G.PortSaved;
inline int &BaudRate = G.BaudRate;
inline int &BaudRateSaved = G.BaudRateSaved;
inline int &DictCharSet = G.DictCharSet;
inline int &DictCharSetSaved = G.DictCharSetSaved;
inline int &DictSynCk = G.DictSynCk;
inline int &DictSynCkSaved = G.DictSynCkSaved;
inline QString &CommandCharSaved = G.CommandCharSaved;
inline bool &DisplaySV10Warning = G.DisplaySV10Warning;
inline bool &DisplayCompatQuery = G.DisplayCompatQuery;
inline bool &SV10DataFiles = G.SV10DataFiles;
inline bool &SV10DataFilesSaved = G.SV10DataFilesSaved;
inline QString &FontName = G.FontName;
inline QString &FontNameSaved = G.FontNameSaved;
inline QString &FontSize = G.FontSize;
inline QString &FontSizeSaved = G.FontSizeSaved;

// --- Components
inline cSonvert *&cSonv = G.cSonv;
inline cLexmold *&DicCompiler = G.DicCompiler;
inline cCantorel *&MusicCompiler = G.MusicCompiler;
