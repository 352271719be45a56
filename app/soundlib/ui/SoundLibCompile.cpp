#include "app/soundlib/ui/SoundLibCompile.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmSLCProgress.h"
#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/SoundLibCompiler.h"
#include "app/soundlib/ui/SoundConvert.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/Busy.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/Delay.h"
#include "common/TextUtil.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>

namespace {

const QString kTitle = QStringLiteral("Compile Sound Library");

// The compile's conversions are the program's own: while CompilingLibrary is
// set they report on the compile window's file bar, and Cancel there stops
// them at their next report. Both read the PCM form from SV10DataFiles, as
// the compile's flavour does.
class CompileConversion final : public SoundConversion
{
public:
    // The converter reports through ProgressBar; the compile reads Cancel at its own steps.
    void setPercentDone(PercentDone) override {}
    QString ConvertSoundToPcm(const QString &source, qint32 tag, qint16 noiseGate, bool boost, bool,
                              bool compress) override
    {
        return ::ConvertSoundToPcm(source, tag, noiseGate, boost, compress);
    }
    QString CompressPcm(const QString &source, bool) override { return CompressPcmWithProgress(source); }
};

void setBold(QLabel *label, bool bold)
{
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
}

QString fileSizeText(qint64 bytes)
{
    return QStringLiteral("Library file size: ") + FormatGrouped(bytes, true) + QStringLiteral(" bytes");
}

QString rowText(int row, int count)
{
    return QStringLiteral("Processing file %1 of %2").arg(row).arg(count);
}

void showStatus(const QString &text, const QPixmap &picture)
{
    if (frmMDI *main = frmMDI::instance(); main && main->sbStatusBar) {
        main->sbStatusBar->SetPanelText(1, text);
        main->sbStatusBar->SetPanelPicture(picture);
    }
}

// The compile window through one run: its stages, its labels and bars, and
// the wait for Cancel after a missing file.
class CompileWindow
{
public:
    explicit CompileWindow(const SoundRows &rows)
        : mRows(rows)
    {
        frmSLCProgress::Unload();
        mForm = frmSLCProgress::instance(); // loading clears ProgressCancel
        for (QLabel *mark : mForm->imgCheckmark)
            mark->hide();
    }

    void show()
    {
        mForm->vbalProgressLib->setRange(0, static_cast<int>(mRows.size()));
        mForm->vbalProgressLib->setValue(0);
        mForm->lblStatus1->setText(QStringLiteral("Processing Sound Library"));
        mForm->vbalProgressFile->setValue(0);
        setBold(mForm->lblCheck, true);
        mForm->lblProcessingFile->setText(QStringLiteral("Verifying sound files"));
        mForm->show();
        mForm->raise();
    }

    // One step of the compile; answers whether the user asked to stop.
    void step(const CompileProgress &p, bool &cancel)
    {
        if (!mForm) {
            cancel = true;
            return;
        }
        switch (p.stage) {
        case CompileStage::Verifying:
            mForm->lblStatus->setText(rowText(p.row, p.rowCount));
            break;
        case CompileStage::Converting:
            if (!mConverting) {
                mConverting = true;
                mForm->imgCheckmark[0]->show();
                setBold(mForm->lblCheck, false);
                setBold(mForm->lblConverting, true);
            }
            mForm->lblProcessingFile->setText(QStringLiteral("Processing '") + mRows[p.row - 1].item.cells[colFile] +
                                              QLatin1Char('\''));
            mForm->lblStatus->setText(rowText(p.row, p.rowCount));
            mForm->vbalProgressLib->setValue(p.row);
            mForm->vbalProgressLib->setText(
                QString::number(vx::roundHalfEven(100.0 * p.row / std::max(1, p.rowCount))) + QLatin1Char('%'));
            mForm->lblFileSize->setText(fileSizeText(p.librarySize));
            break;
        case CompileStage::Writing:
            mForm->imgCheckmark[1]->show();
            setBold(mForm->lblConverting, false);
            setBold(mForm->lblWriting, true);
            return; // every sound is in: a late Cancel no longer undoes the library
        }
        QCoreApplication::processEvents();
        cancel = ProgressCancel || !mForm;
    }

    void succeeded(qint64 fileSize)
    {
        if (!mForm)
            return;
        mForm->imgCheckmark[2]->show();
        setBold(mForm->lblWriting, false);
        mForm->lblStatus1->setText(QStringLiteral("File Creation Successful"));
        mForm->cmdCancel->setEnabled(false);
        mForm->lblFileSize->setText(fileSizeText(fileSize));
        mForm->lblProcessingFile->clear();
    }

    // Says which file is gone and waits until the user cancels or closes the window.
    void terminated(const QString &why)
    {
        if (!mForm)
            return;
        QPalette red = mForm->lblStatus1->palette();
        red.setColor(QPalette::WindowText, QColor(255, 0, 0));
        mForm->lblStatus1->setPalette(red);
        mForm->lblStatus1->setText(QStringLiteral("Process Terminated"));
        mForm->lblStatus2->setText(why);
        while (mForm && mForm->isVisible() && !ProgressCancel)
            Delay(0.05);
    }

private:
    const SoundRows &mRows;
    QPointer<frmSLCProgress> mForm;
    bool mConverting = false;
};

void offerDownload(const QString &path)
{
    const QString name = ProperCase(QFileInfo(path).fileName());
    const QString created = QLatin1Char('\'') + name + QStringLiteral("' was successfully created. ");
    if (Port == 0) {
        vx::MsgBox(created, vx::Buttons::Ok, vx::Icon::Information, kTitle);
        return;
    }
    const vx::Answer a = vx::MsgBox(created + QStringLiteral("Would you \r\nlike to download it to the ") + ModuleName +
                                        QStringLiteral(" at this time? "),
                                    vx::Buttons::YesNo, vx::Icon::Question, kTitle, 2);
    if (a == vx::Answer::Yes)
        DownloadSoundLibrary(path);
}

} // namespace

void frmSoundLib::Compile()
{
    CompileSoundLibrary();
}

void CompileSoundLibrary()
{
    QPointer<frmSoundLib> w = qobject_cast<frmSoundLib *>(ActiveDocument());
    if (!w || w->rows().isEmpty() || Busy || CompilingLibrary)
        return;
    const QString path = GetSaveSfxFileName(DefaultSfxPath(w->record().FileName));
    if (path.isEmpty()) {
        w->lvwFileList->currentWidget()->setFocus();
        return;
    }
    w->JudgePcmRowsByHeader();
    // The window is disabled while the compile runs: its rows stand still.
    const SoundRows rows = w->rows();

    BeginBusy();
    CompilingLibrary = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    bool pointerBusy = true;
    showStatus(QStringLiteral("Compiling '") + ProperCase(QFileInfo(path).fileName()) + QStringLiteral("'..."),
               QPixmap());
    w->setEnabled(false);

    CompileWindow window(rows);
    window.show();
    SoundLibCompile job;
    for (const SoundRow &r : rows)
        job.entries << r.entry;
    job.outputPath = path;
    job.olderFlavour = SV10DataFiles;
    job.cmdChar = CmdChar.isEmpty() ? '\x01' : static_cast<char>(CmdChar.at(0).toLatin1());
    CompileConversion conversion;
    const CompileResult result = CompileSoundLibraryFile(
        job, conversion, [&window](const CompileProgress &p, bool &cancel) { window.step(p, cancel); });

    switch (result.outcome) {
    case CompileOutcome::Succeeded:
        window.succeeded(result.fileSize);
        offerDownload(path);
        break;
    case CompileOutcome::MissingFile:
        // The partial output is already gone; the pointer is free while the user reads.
        QApplication::restoreOverrideCursor();
        pointerBusy = false;
        window.terminated(result.message);
        break;
    case CompileOutcome::Unsupported:
        vx::MsgBox(result.message, vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Unsupported Format"), 1,
                   289);
        break;
    case CompileOutcome::DuplicateTag:
        vx::MsgBox(result.message, vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Duplicate Tag"));
        break;
    case CompileOutcome::Failed:
        vx::MsgBox(result.message, vx::Buttons::Ok, vx::Icon::Exclamation);
        break;
    case CompileOutcome::Cancelled:
        break;
    }

    frmSLCProgress::Unload();
    if (w) {
        w->setEnabled(true);
        w->lvwFileList->currentWidget()->setFocus();
    }
    showStatus(QStringLiteral("For Help, press F1"), images::statusImage(1));
    if (pointerBusy)
        QApplication::restoreOverrideCursor();
    CompilingLibrary = false;
    EndBusy();
}
