// The commands of a sound library window that bring sound files in and keep
// the library in step with the disk: Add, Refresh with the search for moved
// files, and Edit in the user's waveform editor.

#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "app/documents/ui/Documents.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/soundlib/SoundRefresh.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "platform/Launcher.h"
#include "platform/Prompter.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QStackedWidget>
#include <QStandardPaths>

namespace {

frmSoundLib *activeSoundLib()
{
    return qobject_cast<frmSoundLib *>(ActiveChild());
}

} // namespace

void frmSoundLib::AddSoundFiles()
{
    // Upper-case patterns too: a desktop's own dialog may match case exactly.
    const QStringList files = vx::OpenFilesDialog(
        QStringLiteral("Add Sound Files"),
        QStringLiteral("Sound Files (*.wav,*.mp3,*.pcm)|*.wav;*.mp3;*.pcm;*.WAV;*.MP3;*.PCM|All Files (*.*)|*"));
    if (files.isEmpty())
        return;
    DroppedFiles = files;
    DroppedFiles << QString();
    AddFilesToSoundLibrary(DroppedFiles);
    DroppedFiles = QStringList{QString()};
}

void frmSoundLib::CheckMissingSoundFiles()
{
    for (;;) {
        const SoundRefreshResult found = RefreshSoundRows(rows());
        if (found.renamed)
            markModified();
        cellsChanged();
        UpdateSoundLibTotals();
        if (found.missing == 0)
            break;
        const vx::Answer a = vx::MsgBox(
            QStringLiteral("It appears that some of the sound files in this library have been moved  \n"
                           "or deleted. If they were moved to another drive or directory, the library  \n"
                           "should be updated. Would you like to update the files in your library  \n"
                           "at this time? "),
            vx::Buttons::YesNo, vx::Icon::Question, QStringLiteral("Missing Sound Files"));
        if (a != vx::Answer::Yes)
            break;
        const int n = RelocateSoundFiles();
        vx::MsgBox(QString::number(n) + QStringLiteral(" files were updated in the library.  "), vx::Buttons::Ok,
                   vx::Icon::Information);
        UpdateToolbarState();
        if (n == 0)
            break;
    }
    lvwFileList->currentWidget()->setFocus();
}

int frmSoundLib::RelocateSoundFiles()
{
    const QString folder = vx::BrowseFolderDialog(
        QStringLiteral("Select the location where the sound ") +
        QStringLiteral("files were relocated. If more than one folder has been moved, you ") +
        QStringLiteral("may repeat this process as many times as needed."));
    if (folder.isEmpty())
        return 0;
    const int n = RelocateSoundRows(rows(), folder);
    if (n > 0) {
        markModified();
        cellsChanged();
    }
    return n;
}

void frmSoundLib::JudgePcmRowsByHeader(int row)
{
    bool changed = false;
    for (int i = 0; i < rows().size(); ++i) {
        if (row < 0 || i == row)
            changed = JudgePcmRowByHeader(rows()[i]) || changed;
    }
    if (!changed)
        return;
    cellsChanged();
    UpdateSoundLibTotals();
}

void frmSoundLib::EditSoundFileExternally()
{
    // A bare program name is looked up on the search path.
    const QString program =
        AudioEditor.contains(QLatin1Char('/')) ? AudioEditor : QStandardPaths::findExecutable(AudioEditor);
    const QFileInfo editor(program);
    QString why;
    if (!program.isEmpty() && editor.isFile() && editor.isExecutable()) {
        const int cur = currentRow();
        if (cur < 0)
            return;
        // No shell between us and the editor: the path is one argument, blanks and all.
        if (vx::startProgram(program, {rows()[cur].entry.path()}, &why))
            return;
    }
    vx::MsgBox(QStringLiteral("The waveform editor specified in Sound Library Preferences could not be found. ") +
                   (why.isEmpty() ? QString() : QStringLiteral("\n") + why),
               vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Error"), 1,
               vx::help::kSoundLibrarySettings);
}

bool frmSoundLib::EditCommand(EditAction action)
{
    switch (action) {
    case EditAction::Edit:
        EditSoundFileExternally();
        return true;
    case EditAction::InsertAdd:
        AddSoundFiles();
        return true;
    default:
        return RowsEditCommand(action);
    }
}

void frmSoundLib::cellsChanged()
{
    const int n = static_cast<int>(rows().size());
    if (n > 0)
        emit model->dataChanged(model->index(0, 0), model->index(n - 1, kSoundColumnCount - 1));
}

void frmSoundLib::markModified()
{
    MarkModified();
}

void AddSoundFiles()
{
    if (frmSoundLib *w = activeSoundLib())
        w->AddSoundFiles();
}

void CheckMissingSoundFiles()
{
    if (frmSoundLib *w = activeSoundLib())
        w->CheckMissingSoundFiles();
}

void EditSoundFileExternally()
{
    if (frmSoundLib *w = activeSoundLib())
        w->EditSoundFileExternally();
}
