#pragma once

// Every file name the main program asks the user for. Each returns the path
// chosen, or "" when the user cancelled or the dialog failed; a caller does
// nothing further on "". Save dialogs offer initial as the name and ask
// before replacing a file; open dialogs take only existing files. The folder
// shown carries over from the last dialog.

#include <QString>

QString GetSaveTextFileName(const QString &initial);
QString GetSaveSoundLibFileName(const QString &initial);
QString GetSaveGreetingFileName(const QString &initial);
QString GetSaveDictionaryFileName(const QString &initial);
QString GetSaveMusicFileName(const QString &initial);
QString GetSavePcmFileName(const QString &initial);
QString GetSaveWaveFileName(const QString &initial);
QString GetOpenDocFileName();
QString GetPlayFileName();
QString GetWordListFileName();
QString GetConvertFileName();
QString GetDownloadFileName();
QString GetSaveDixFileName(const QString &initial);
QString GetSaveTgxFileName(const QString &initial);
QString GetSaveSfxFileName(const QString &initial);

// Forgets the folder of the last dialog (tests).
void ResetFileDialogFolder();
