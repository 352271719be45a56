#pragma once

// Program-wide state of the main program, shared by its windows and
// routines. One thread touches these: the event loop's.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// --- Busy and abort ---------------------------------------------------------
inline bool Busy = false;             // a long operation runs
inline bool StopRequested = false;    // abort request for the running chip operation
inline bool CompilingLibrary = false; // a sound library compile runs: busy routines stand still
inline bool SuppressActivate = false; // inside EndBusy while the focus moves
inline bool ProgressCancel = false;   // the progress dialog's Cancel (converter)
inline bool ClosingAll = false;
inline bool Playing = false;
inline bool UpdatingControls = false; // the control panels re-read the chip
inline bool InitializingLink = false;
inline bool SaveCancelled = false;

// --- Chip link --------------------------------------------------------------
inline QString CmdChar = QStringLiteral("\x01"); // the chip's command character
inline int Port = 0;                             // configured port number; 0 = demo mode
inline int CommErrChoice = 0;
inline QString SavedCommSettings;
inline QString ModuleName = QStringLiteral("Evaluation Board");
inline int ChipSampleRate = 0;
inline QString ChipModel;
inline bool IsOlderChip = false;
inline QString DownloadTitle;
inline bool DictionaryKnown = false;
inline bool SV10Emulation = false;
inline int RecMemSize = 0; // KB; -1 not available, -2 corrupt
inline int RecMemFree = 0;

// Receive state.
inline int CommMode = 0;
inline QByteArray ByteBuffer;

// --- Folders ----------------------------------------------------------------
inline QString TempFolder; // per-user temporary folder, with a trailing "/"
inline QString HelpFile;

// --- Document registry ------------------------------------------------------
// One record per window slot: slot 0 the control panels, slot 1 the phonetic
// output, documents from slot 2.
struct DocRecord
{
    bool Deleted = true;
    bool Dirty = false;
    QString FileName = QStringLiteral("Untitled");
    int Number = 0;
};
inline QVector<DocRecord> DocState;
inline int ActiveDocIndex = 0;

// --- Chip link: the link library, its serial object and the typed command shortcut
class cTolvane;
class SerialComm;
inline cTolvane *cTolv = nullptr;                // the link library object, kept for the program's life
inline SerialComm *Comm = nullptr;               // handed out by the link library, kept for the program's life
inline QString CommandChar = QStringLiteral("~"); // live value of the "CommandChar" preference; "" or NUL = off

// --- Main window start-up ---------------------------------------------------
inline bool For10 = false;        // developing for the older chip ("For10")
inline bool PrevEmulation = true; // the emulation state the panels compare against
inline int LastNewKind = 0;       // kind of the last File > New: 0 text, 1 sound library, 2 dictionary, 3 music
inline QStringList ChannelNames;  // "Mono", "Stereo"
