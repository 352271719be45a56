#include "app/soundlib/ui/SoundConvert.h"

#include "app/Globals.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/shell/ui/frmSLCProgress.h"
#include "app/soundlib/SoundConvert.h"
#include "app/soundlib/ui/frmPcmOptions.h"
#include "app/startup/Busy.h"
#include "app/startup/ui/frmMDI.h"
#include "components/sonvert/cSonvert.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <new>

namespace {

// The main window's converter; without the main window (a test) an equal
// one of our own, writing into the temporary folder.
cSonvert &converter()
{
    if (cSonv)
        return *cSonv;
    if (TempFolder.isEmpty() || !QFileInfo(TempFolder).isDir()) {
        TempFolder = vx::tempFolderPath();
        vx::createTempFolder(TempFolder);
    }
    static cSonvert own;
    own.setTargetPath(QFile::encodeName(TempFolder).toStdString());
    own.setPercentDone(&frmMDI::cSonv_PercentDone);
    own.setYield([] { QCoreApplication::processEvents(); });
    return own;
}

// The general progress dialog, prepared for one conversion, and its bar.
void showProgress(const QString &caption, const QString &source)
{
    frmProgress *p = frmProgress::instance();
    ProgressBar = p->vbalProgress;
    p->ProgressSetup(1, true, caption, ConvertingMessage(source), QString());
    QCoreApplication::processEvents();
}

// The compile window's file bar, while a library compiles.
void useCompileBar()
{
    ProgressBar = frmSLCProgress::instance()->vbalProgressFile;
    ProgressBar->setText(QStringLiteral("0%"));
}

void startBar()
{
    ProgressBar->setValue(0);
    ProgressBar->setMaximum(100);
}

// The bar full and reading 100%; then no bar until the next conversion.
// The text first, so the drawing the new value asks for shows both.
void finishBar()
{
    if (ProgressBar) {
        ProgressBar->setText(QStringLiteral("100%"));
        ProgressBar->setValue(ProgressBar->maximum());
    }
    ProgressBar = nullptr;
}

// The shape both commands share: the work between BeginBusy and the ending,
// which reports any failure but a cancel, naming the source when it is the
// file at fault, and empties the temporary folder.
void runConversionCommand(const QString &source, const std::function<void()> &work)
{
    BeginBusy();
    QString failure;
    try {
        work();
    } catch (const vx::ComponentError &e) {
        if (!IsCancel(e))
            failure = SoundFailureText(e, source);
    } catch (const std::bad_alloc &) {
        failure = QStringLiteral("Error 7: Out of memory");
    }
    frmProgress::Unload();
    if (!failure.isEmpty())
        vx::MsgBox(failure, vx::Buttons::Ok, vx::Icon::Exclamation);
    if (!TempFolder.isEmpty())
        vx::emptyFolder(TempFolder);
    EndBusy();
    if (frmMDI *main = frmMDI::instance())
        main->unsetCursor();
}

} // namespace

QString ConvertSoundToPcm(const QString &Source, qint32 Tag, qint16 NoiseGate, bool Boost, bool Compress)
{
    if (CompilingLibrary)
        useCompileBar();
    else
        showProgress(ConvertingCaption(Source), Source);
    startBar();
    // The newer chip's form, with its tag, unless data files are for the older chip.
    const QString out = SonvertToPcm(converter(), Source, Tag, NoiseGate, Boost, !SV10DataFiles, Compress);
    finishBar();
    return out;
}

QString ConvertPcmToWaveWithProgress(const QString &Source)
{
    showProgress(QStringLiteral("Convert PCM File"), Source);
    startBar();
    const QString out = SonvertToWav(converter(), Source);
    finishBar();
    return out;
}

QString CompressPcmWithProgress(const QString &Source)
{
    if (CompilingLibrary) {
        useCompileBar();
    } else {
        // Right after a conversion the dialog is up already and keeps its texts.
        const frmProgress *shown = frmProgress::loaded();
        if (shown && shown->isVisible())
            ProgressBar = frmProgress::instance()->vbalProgress;
        else
            showProgress(QStringLiteral("Compressing PCM File"), Source);
    }
    startBar();
    const QString out = SonvertCompress(converter(), Source, !SV10DataFiles);
    finishBar();
    return out;
}

void ConvertSoundFileToPcm(const QString &Source)
{
    const QString output = GetSavePcmFileName(DefaultConvertOutput(Source, QStringLiteral(".pcm")));
    if (output.isEmpty())
        return;
    runConversionCommand(Source, [&] {
        qint32 tag = 0;
        qint16 gate = 0;
        bool boost = false;
        bool compress = false;
        if (!frmPcmOptions::instance()->GetOptions(tag, gate, boost, compress))
            return;
        const QString path = ConvertSoundToPcm(Source, tag, gate, boost, compress);
        frmProgress::Unload();
        if (path.isEmpty())
            return;
        CopyConvertedFile(path, output);
        vx::MsgBox(ConvertedPcmMessage(QFileInfo(output).fileName()), vx::Buttons::Ok, vx::Icon::None,
                   ConvertTitle(Source));
    });
}

void ConvertPcmFileToWave(const QString &Source)
{
    const QString output = GetSaveWaveFileName(DefaultConvertOutput(Source, QStringLiteral(".wav")));
    if (output.isEmpty())
        return;
    runConversionCommand(Source, [&] {
        const QString path = ConvertPcmToWaveWithProgress(Source);
        frmProgress::Unload();
        if (path.isEmpty())
            return;
        CopyConvertedFile(path, output);
        vx::MsgBox(ConvertedWaveMessage(QFileInfo(output).fileName()), vx::Buttons::Ok, vx::Icon::None,
                   QStringLiteral("Convert PCM File"));
    });
}
