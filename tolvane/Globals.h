#pragma once

// Program-wide state of the download utility. One thread touches it: the
// event loop's.

#include <QString>

class SerialComm;

struct TolvaneGlobals
{
    SerialComm *Comm = nullptr;  // the link library's serial object, kept for the program's life
    int Port = 0;                // configured port, 1 to 32; 0 = none chosen
    int BaudRate = 10;           // 1-based position in the speed list
    bool Busy = false;           // a task holds the port
    bool FileDropMode = false;   // the file-drop queue runs
    QString WindowTitle;         // the main window's normal caption
    QString TaskFileName;        // the file being downloaded or uploaded
    bool CancelRequested = false;
    int ConfirmKind = 0;         // 1 firmware overwrite, 2 erase
    bool DisplayDnldConfirm = true;
    bool DisplayErasConfirm = true;
    int QueueRow = 0;            // the file-drop row being sent, from 1
};

inline TolvaneGlobals G;

// Back to the start-up state (tests).
inline void ResetGlobals() { G = TolvaneGlobals{}; }
