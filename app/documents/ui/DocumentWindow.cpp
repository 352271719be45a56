#include "app/documents/ui/DocumentWindow.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileCommands.h"
#include "common/TextUtil.h"
#include "platform/Prompter.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QTimer>

QString CaptionName(const QString &fileName)
{
    if (IsUntitled(fileName))
        return fileName;
    return ProperCase(QFileInfo(fileName).fileName());
}

DocRecord &DocumentWindow::record() const
{
    const int s = slot();
    Q_ASSERT_X(s >= 0 && s < DocState.size(), "DocumentWindow::record", "window has no slot");
    return DocState[s];
}

void DocumentWindow::RefreshCaption()
{
    const DocRecord &doc = record();
    setWindowTitle(DocumentCaption(kind(), CaptionName(doc.FileName), doc.Dirty));
}

void DocumentWindow::MarkModified()
{
    const int s = slot();
    if (s < 0 || s >= DocState.size() || !MarkDirty(DocState[s]))
        return;
    RefreshCaption();
    // The change may come from a click that moves no focus: Save must not
    // wait for the next event that happens to refresh the menus.
    UpdateToolbarState();
}

void DocumentWindow::Form_QueryUnload(bool &Cancel)
{
    if (BusyBlocksClose() && Busy) {
        Cancel = true;
        return;
    }
    const DocRecord &doc = record();
    if (!doc.Dirty)
        return;
    // The program's name: the main window's caption may name another window,
    // the one maximised in front.
    const vx::Answer a =
        vx::MsgBox(QStringLiteral("Do you want to save the changes you made to ") +
                       ProperCase(QFileInfo(doc.FileName).fileName()) + QLatin1Char('?'),
                   vx::Buttons::YesNoCancel, vx::Icon::Exclamation, vx::programTitle());
    if (a == vx::Answer::Yes) {
        SetFocus();
        ActiveDocIndex = slot();
        FileSaveAs();
        // A cancelled dialog and a failed write both leave SaveCancelled set.
        Cancel = SaveCancelled;
    } else if (a != vx::Answer::No) {
        Cancel = true;
    }
    if (Cancel)
        ClosingAll = false; // one refusal stops the program's close too
}

void DocumentWindow::Form_Unload()
{
    const int s = slot();
    if (s >= 0 && s < Documents.size() && Documents[s] == this)
        Documents[s] = nullptr;
    if (s >= 0 && s < DocState.size())
        DocState[s].Deleted = true;
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    MdiChild::closeEvent(event);
    if (!event->isAccepted())
        return;
    Form_Unload();
    // Once the window is gone, the menus follow the window now active.
    QTimer::singleShot(100, [] { UpdateToolbarState(); });
}
