#include "app/startup/ui/frmMDI.h"

#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/ChipLink.h"
#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "common/ui/Rollover.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmSplash.h"
#include "app/startup/ui/Speaking.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/documents/ui/DocumentWindow.h"
#include "common/Clock.h"
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
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>

// The main window's shutdown: the close request, the chip link's goodbye,
// the geometry and the objects.

void frmMDI::MDIForm_QueryUnload(bool &Cancel)
{
    if (Busy || UpdatingControls) {
        Cancel = true;
        return;
    }
    ClosingAll = true;
}

void frmMDI::MDIForm_Unload(bool &Cancel)
{
    if (!mLoaded)
        return;
    if (Busy) {
        Cancel = true;
        return;
    }

    // Close the chip link.
    if (Comm && Comm->PortOpen()) {
        try {
            Comm->setOutput(CmdChar + QStringLiteral("7h") + QChar(0));
        } catch (const LinkError &) {
            // The port is closed below either way.
        }
        Delay(0.25);
        try {
            Comm->setPortOpen(false);
        } catch (const LinkError &) {
        }
    }

    // Geometry, only of a window the user saw.
    if (isVisible()) {
        mainwin::MainGeometry g;
        const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
        const QRect r = normal ? QRect(pos(), size()) : normalGeometry();
        g.width = vx::pixelsToTwips(r.width());
        g.height = vx::pixelsToTwips(r.height());
        g.left = vx::pixelsToTwips(r.x());
        g.top = vx::pixelsToTwips(r.y());
        g.windowState = (windowState() & Qt::WindowMinimized) ? 1 : (windowState() & Qt::WindowMaximized) ? 2 : 0;
        mainwin::saveMainGeometry(g);
    }

    // The objects, in order.
    ReleaseObjects();

    // No hover highlight outlives the window.
    if (QWidget *hot = vx::rolloverHot())
        SetRolloverLook(hot, false);
    vx::resetRollover();

    // The temporary folder stays, empty; one that was never ours is left
    // alone.
    if (mTempFolderReady && QFileInfo(TempFolder).isDir())
        vx::emptyFolder(TempFolder);
    mTempFolderReady = false;

    MainToolbar = nullptr;
    mLoaded = false;
}

bool frmMDI::CloseDocumentWindows()
{
    // Every document is asked before any window closes: one Cancel leaves
    // them all, and the tool windows, as they were.
    QList<QMdiSubWindow *> subs = MDIClient->subWindowList();
    std::stable_partition(subs.begin(), subs.end(), [this](const QMdiSubWindow *sub) {
        return sub->widget() != mPanels && sub->widget() != mPhonetics;
    });
    QList<DocumentWindow *> answered;
    for (QMdiSubWindow *sub : std::as_const(subs)) {
        if (auto *doc = qobject_cast<DocumentWindow *>(sub->widget())) {
            bool cancel = false;
            doc->Form_QueryUnload(cancel);
            if (cancel)
                return false;
            answered.append(doc);
        }
    }
    // Saved, or given up with No: their closes ask nothing more.
    for (DocumentWindow *doc : std::as_const(answered))
        doc->record().Dirty = false;
    for (QMdiSubWindow *sub : std::as_const(subs)) {
        // A window that stays visible after its close request stopped the close;
        // one that only hid itself (the tool windows) let it go on.
        if (!sub->close() && sub->isVisible())
            return false;
    }
    return true;
}

void frmMDI::closeEvent(QCloseEvent *event)
{
    // The window shows before the start-up ends (the compatibility question
    // waits on it); closing it then would leave the program running hidden.
    if (mLoading) {
        event->ignore();
        return;
    }
    if (!mLoaded) {
        event->accept();
        return;
    }
    bool cancel = false;
    MDIForm_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    if (!CloseDocumentWindows()) {
        ClosingAll = false;
        event->ignore();
        return;
    }
    MDIForm_Unload(cancel);
    if (cancel) {
        ClosingAll = false;
        event->ignore();
        return;
    }
    event->accept();
}

bool frmMDI::readyToExit() const
{
    return mLoaded && !mLoading;
}

bool frmMDI::taskRunning() const
{
    const auto *panels = qobject_cast<const frmCpanels *>(mPanels.data());
    return (mLoaded || mOpeningCommandLine) &&
           (Busy || Playing || CompilingLibrary || (panels && panels->AdcRunning));
}

bool frmMDI::cancelTask()
{
    // Cut short, a chipset update could leave the chip without firmware:
    // the stop waits for its end.
    if (ChipsetUpdating())
        return false;
    if (auto *panels = qobject_cast<frmCpanels *>(mPanels.data()); panels && panels->AdcRunning)
        panels->cmdAdcStart->click(); // its Cancel while it runs
    else if (Busy || Playing)
        StopPlayback();
    return true;
}

bool frmMDI::exitProgram()
{
    mnuFileExit_Click();
    return !isVisible();
}
