#include "app/startup/ui/ChipDownloads.h"

#include "app/Globals.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/Busy.h"
#include "app/startup/Downloads.h"
#include "app/startup/SendPath.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/Delay.h"
#include "common/TextUtil.h"
#include "link/LinkError.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMetaObject>
#include <QWidget>

namespace {

const QChar kCR(13);

QString shownName(const QString &path)
{
    return ProperCase(QFileInfo(path).fileName());
}

StatusBar *statusBar()
{
    frmMDI *main = frmMDI::instance();
    return main ? main->sbStatusBar : nullptr;
}

// The control panels, when they exist; they are reached by their controls'
// names, as the other windows reach them.
QWidget *controlPanels()
{
    frmMDI *main = frmMDI::instance();
    return main ? main->panelsWindow() : nullptr;
}

void clearPanelMessage()
{
    if (QWidget *panels = controlPanels()) {
        if (auto *label = panels->findChild<QLabel *>(QStringLiteral("lblProgressMsg")))
            label->clear();
    }
}

// The control panels re-read the chip after its memory changed.
void updateControls()
{
    if (auto *panels = qobject_cast<frmCpanels *>(controlPanels()))
        panels->UpdateControls();
}

void enableUseDict()
{
    if (QWidget *panels = controlPanels()) {
        if (auto *box = panels->findChild<QWidget *>(QStringLiteral("chkUseDict")))
            box->setEnabled(DictionaryKnown);
    }
}

void showTransfer(const QString &text)
{
    if (StatusBar *bar = statusBar()) {
        bar->SetPanelPicture(QPixmap());
        bar->SetPanelText(1, text);
    }
}

void showIdle()
{
    if (StatusBar *bar = statusBar()) {
        bar->SetPanelText(1, QStringLiteral("For Help, press F1"));
        bar->SetPanelPicture(images::statusImage(1));
    }
}

std::optional<vx::DownloadStream> streamOf(DownloadKind kind)
{
    switch (kind) {
    case DownloadKind::SoundLibrary: return vx::DownloadStream::SoundLibrary;
    case DownloadKind::Greeting: return vx::DownloadStream::Greeting;
    case DownloadKind::Dictionary: return vx::DownloadStream::Dictionary;
    case DownloadKind::Pcm: return vx::DownloadStream::ChipPcm;
    case DownloadKind::Firmware: return vx::DownloadStream::Firmware;
    case DownloadKind::None: break;
    }
    return std::nullopt;
}

void report(DownloadKind kind, const QString &path, const QString &error)
{
    if (error.isEmpty())
        vx::MsgBox(DownloadSuccessMessage(kind, shownName(path)), vx::Buttons::Ok, vx::Icon::Information,
                   DownloadTitle);
    else
        vx::MsgBox(DownloadErrorMessage(error), vx::Buttons::Ok, vx::Icon::Exclamation, DownloadTitle);
}

} // namespace

QString LinkTransferFile(const QString &path, DownloadKind kind)
{
    StopRequested = false;
    clearPanelMessage();
    if (const auto refusal = DownloadRefusalFor(kind, IsOlderChip))
        return refusal->description;

    BeginBusy();
    const QString name = shownName(path);
    const DownloadProgressTexts texts = DownloadProgressTextsFor(kind, name, ChipModel, DownloadTitle, ModuleName);
    showTransfer(texts.statusBar);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    frmProgress *progress = frmProgress::instance();
    // A download takes minutes at a slow speed: its Cancel (and Esc) stops
    // it through StopRequested, which the link hears at its next block. A
    // chipset update must not be interrupted and has none.
    progress->ProgressSetup(3, kind != DownloadKind::Firmware, texts.caption, texts.message, texts.status);
    ProgressBar = progress->vbalProgress;
    QCoreApplication::processEvents();

    QString error;
    try {
        if (!cTolv)
            throw LinkError(0, QStringLiteral("The chip link is not available."));
        // A cancelled transfer left the chip without the file: never a success.
        if (cTolv->DownloadToChip(path, streamOf(kind)) != LinkResult::Done)
            error = QStringLiteral("The transfer of '") + name +
                    QStringLiteral("' was cancelled before it was complete.");
    } catch (const LinkError &e) {
        error = e.description().isEmpty() ? QStringLiteral("The transfer of '") + name +
                                                QStringLiteral("' failed.")
                                          : e.description();
    }

    ProgressBar = nullptr;
    frmProgress::Unload();
    QApplication::restoreOverrideCursor();
    showIdle();
    QCoreApplication::processEvents();
    return error;
}

void DownloadSoundLibrary(const QString &path)
{
    const QString error = LinkTransferFile(path, DownloadKind::SoundLibrary);
    Delay(0.25);
    SendToChip(QString(kCR));
    UpdateToolbarState();
    report(DownloadKind::SoundLibrary, path, error);
    EndBusy();
    updateControls();
}

void DownloadFile(const QString &path)
{
    const QString error = LinkTransferFile(path, DownloadKindOf(path));
    UpdateToolbarState();
    report(DownloadKind::Pcm, path, error);
    EndBusy();
    updateControls();
}

void DownloadGreeting(const QString &path)
{
    const QString error = LinkTransferFile(path, DownloadKind::Greeting);
    UpdateToolbarState();
    report(DownloadKind::Greeting, path, error);
    EndBusy();
    SendToChip(QString(kCR));
}

void DownloadDictionary(const QString &path)
{
    const QString error = LinkTransferFile(path, DownloadKind::Dictionary);
    if (error.isEmpty()) {
        DictionaryKnown = true;
        if (StatusBar *bar = statusBar())
            bar->SetPanelText(5, DictionaryPanelText(shownName(path)));
    }
    report(DownloadKind::Dictionary, path, error);
    enableUseDict();
    EndBusy();
}
