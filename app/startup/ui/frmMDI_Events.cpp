#include "app/startup/ui/frmMDI.h"

#include "app/shell/ui/frmPopupMenus.h"

#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/startup/ChipLink.h"
#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "app/documents/ui/FileCommands.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Recording.h"
#include "app/startup/ui/Speaking.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmSplash.h"
#include "common/Clock.h"
#include "common/ui/Rollover.h"
#include "link/SerialComm.h"
#include "common/Delay.h"
#include "platform/Cp1252.h"
#include "platform/Folders.h"
#include "platform/Help.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"
#include "platform/ui/Modal.h"

#include "link/cTolvane.h"
#include "components/sonvert/cSonvert.h"
#include "components/lexmold/cLexmold.h"
#include "components/cantorel/cCantorel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

// What reaches the main window from outside: the mouse on its empty area,
// file drops, the components' and the link's events, the hover timer and
// the toolbar.

void frmMDI::MDIForm_MouseUp(Qt::MouseButton Button)
{
    if (Button != Qt::RightButton || Busy)
        return;
    ShowContextMenu(this, QStringLiteral("mnuMDIForm"));
}

bool frmMDI::MDIForm_OLEDragOver(const QMimeData *Data) const
{
    if (Busy || !Data)
        return false;
    return Data->hasText() || Data->hasUrls();
}

void frmMDI::MDIForm_OLEDragDrop(const QMimeData *Data)
{
    activateWindow();
    setFocus();
    QCoreApplication::processEvents();
    if (!Data || !Data->hasUrls())
        return;
    for (const QUrl &url : Data->urls()) {
        // A command that the event processing let in (or that a download
        // of an earlier file let in) holds the chip: the rest of the drop
        // is not started in its middle.
        if (Busy)
            return;
        if (!url.isLocalFile())
            continue;
        OpenFileByType(url.toLocalFile().trimmed());
    }
}

void frmMDI::dragEnterEvent(QDragEnterEvent *event)
{
    if (MDIForm_OLEDragOver(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMDI::dragMoveEvent(QDragMoveEvent *event)
{
    if (MDIForm_OLEDragOver(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMDI::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    MDIForm_OLEDragDrop(event->mimeData());
}

bool frmMDI::eventFilter(QObject *watched, QEvent *event)
{
    if (MenuHelpKey(watched, event))
        return true;
    if (watched == MDIClient->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // A click that a document window let pass on reaches the area too;
        // only one on the empty area is the frame's.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!MDIClient->viewport()->childAt(mouse->position().toPoint()))
            MDIForm_MouseUp(mouse->button());
    }
    return QMainWindow::eventFilter(watched, event);
}

namespace {
// Both components report through the bar of whichever window asked for the work.
void moveProgressBar(int Percent)
{
    if (ProgressBar) {
        ProgressBar->setValue(Percent);
        ProgressBar->setText(QString::number(Percent) + QLatin1Char('%'));
    }
}
} // namespace

void frmMDI::cSonv_PercentDone(int Percent, bool &Cancel)
{
    moveProgressBar(Percent);
    Cancel = ProgressCancel;
}

void frmMDI::cTolv_PercentDone(int Percent, bool &Cancel)
{
    moveProgressBar(Percent);
    Cancel = StopRequested;
}

void frmMDI::cTolv_ChipStatus(int Message)
{
    if (Message == 6) {
        frmProgress *p = frmProgress::loaded();
        if (p && p->isVisible() && !p->lblProgressMsg1->text().isEmpty())
            p->lblProgressMsg1->setText(QStringLiteral("Downloading..."));
    } else if (Message == 4 || Message == 10) {
        if (mPanels) {
            if (auto *label = mPanels->findChild<QWidget *>(QStringLiteral("lblProgressMsg")))
                label->setVisible(label->isHidden());
        }
    }
}

void frmMDI::cTolv_CommEvent()
{
    if (!Comm)
        return;
    // Bytes lost to an overrun may have cut a chip command in two: the
    // phoneme converter does not read what follows as its arguments; a
    // recording with a gap in its sound is no recording.
    if (Comm->takeOverrun()) {
        Receiver.state().converter = {};
        RecordedAudioLost();
    }
    // Each read acts by the receive mode; only speech tracking needs the text.
    do {
        const QByteArray bytes = Comm->Input();
        ApplyReceiveEffects(Receiver.take(bytes, CommMode == kTrackSpeech ? SpokenTextOfActive() : SpokenText()));
    } while (Comm && Comm->InBufferCount() > 0);
}

void frmMDI::Timer1_Timer()
{
    SetRollover(nullptr);
}
