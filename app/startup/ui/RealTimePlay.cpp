#include "app/startup/ui/RealTimePlay.h"

#include "app/Globals.h"
#include "app/startup/Busy.h"
#include "app/startup/ChipLink.h"
#include "app/startup/RealTimePlay.h"
#include "app/startup/SendPath.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/Clock.h"
#include "common/Delay.h"
#include "common/TextUtil.h"
#include "link/LinkError.h"
#include "link/SerialComm.h"
#include "platform/Cp1252.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

// The older chip's wait does not yield, so Stop cannot reach it: a chip that
// keeps CTS off this long is taken as gone and the play ends as a stop would.
constexpr double kCtsGiveUpSeconds = 5.0;

void yieldOnce()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool ctsOn()
{
    return Comm && Comm->CTSHolding();
}

// Waits for CTS; false when a stop was asked for or, without yields, the
// chip stayed silent too long.
bool waitForCts(bool yield)
{
    const double start = vx::Clock::seconds();
    while (!ctsOn()) {
        if (StopRequested || !Comm || !Comm->PortOpen())
            return false;
        if (!yield && vx::Clock::seconds() - start > kCtsGiveUpSeconds) {
            StopRequested = true;
            return false;
        }
        if (yield)
            yieldOnce();
        QThread::msleep(1);
    }
    return true;
}

void writeDirect(const QByteArray &bytes)
{
    if (Comm && Comm->PortOpen())
        Comm->setOutput(bytes);
}

void statusText(const QString &text)
{
    frmMDI *main = frmMDI::instance();
    if (!main || !main->sbStatusBar)
        return;
    if (text.isEmpty()) {
        main->sbStatusBar->SetPanelText(1, QStringLiteral("For Help, press F1"));
        main->sbStatusBar->SetPanelPicture(images::statusImage(4));
    } else {
        main->sbStatusBar->SetPanelPicture(QPixmap());
        main->sbStatusBar->SetPanelText(1, text);
    }
}

QString shownName(const QString &path)
{
    return ProperCase(QFileInfo(path).fileName());
}

QString text(const QByteArray &bytes)
{
    return vx::fromCp1252(bytes);
}

// Opens a file to play on the chip; false, after saying why, when it cannot.
bool openToPlay(QFile &file, const QString &path)
{
    if (Port == 0 || !Comm)
        return false;
    if (!vx::openForReading(file, path)) {
        vx::MsgBox(QStringLiteral("Can't open file: ") + path, vx::Buttons::Ok, vx::Icon::Exclamation);
        return false;
    }
    return true;
}

} // namespace

void PlayMusicOnChip(QString &FileName)
{
    QFile file;
    if (!openToPlay(file, FileName))
        return;
    // A compiled score is sent whole, so one larger than the compiler writes
    // is refused before it is read: it would only exhaust the memory.
    if (IsCompiledScore(file.peek(2))) {
        if (const QString tooLarge = CompiledScoreSizeError(file.size()); !tooLarge.isEmpty()) {
            vx::MsgBox(QStringLiteral("Can't open file: ") + FileName + QStringLiteral("\n") + tooLarge,
                       vx::Buttons::Ok, vx::Icon::Exclamation);
            return;
        }
    }
    QByteArray bytes = file.read(kMusicBufferSize);
    if (IsCompiledScore(bytes))
        bytes += file.readAll();
    file.close();
    ByteBuffer = bytes;
    if (ByteBuffer.size() < kMusicBufferSize)
        ByteBuffer.append(QByteArray(kMusicBufferSize - ByteBuffer.size(), '\0'));

    StopRequested = false;
    Playing = true;
    SetPlayButtonsBusy();
    BeginBusy();
    try {
        SendToChip(QStringLiteral("\r"));
        Delay(0.25);
        SendToChip(QChar(0x18) + CmdChar + QStringLiteral("j"));
        QApplication::setOverrideCursor(Qt::BusyCursor);
        statusText(QStringLiteral("Playing '") + shownName(FileName) + QStringLiteral("'..."));

        bool closing = true;
        if (IsCompiledScore(bytes)) {
            if (const auto body = CompiledScoreBody(bytes))
                SendToChip(text(*body));
        } else {
            closing = SendPartTable(
                ByteBuffer, [](const QByteArray &piece) { SendToChip(text(piece)); }, [] { return StopRequested; });
        }
        if (closing) {
            Delay(0.25);
            waitForCts(true);
        }
        statusText(QString());
        QApplication::restoreOverrideCursor();
        Delay(0.25);
        writeDirect(QByteArray(8, '\0'));
        writeDirect(QByteArray("\x00\x00\x00\x18", 4));
        Delay(0.25);
    } catch (const LinkError &e) {
        statusText(QString());
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
        vx::MsgBox(e.description(), vx::Buttons::Ok, vx::Icon::Exclamation);
    }
    Playing = false;
    SetPlayButtonsIdle();
    EndBusy();
}

void PlayPcmOnChip(QString &FileName)
{
    QFile file;
    if (!openToPlay(file, FileName))
        return;
    const QByteArray head = file.peek(16);
    const PcmStream s = ReadPcmHeader(head, file.size());
    // A header that disagrees with the file would stream bytes past its end.
    if (!s.valid) {
        vx::MsgBox(QStringLiteral("'") + shownName(FileName) + QStringLiteral("' is an invalid or corrupt sound file."),
                   vx::Buttons::Ok, vx::Icon::Exclamation);
        return;
    }
    if (StopRequested)
        return;

    Playing = true;
    if (!IsOlderChip)
        SetPlayButtonsBusy();
    // Only the picture goes: the caller's text ("Playing '...'") stays up.
    if (frmMDI *main = frmMDI::instance(); main && main->sbStatusBar)
        main->sbStatusBar->SetPanelPicture(QPixmap());
    bool switched = false;
    try {
        SendToChip(QStringLiteral("\r"));
        Delay(0.25);
        if (s.marked && s.compressed && IsOlderChip) {
            vx::MsgBox(PcmUnsupportedMessage(shownName(FileName)), vx::Buttons::Ok, vx::Icon::Exclamation,
                       QStringLiteral("Unsupported Format"));
        } else {
            SendToChip(QChar(0x18) + CmdChar + PcmPlayCommand(s));
            SavedCommSettings = Comm->Settings();
            SetCommFastBaud();
            switched = true;
            yieldOnce();
            file.seek(s.start);
            const std::vector<QByteArray> blocks = PcmBlocks(file.read(s.count));
            // The older chip is paced tightest: its wait does not yield.
            const bool yield = !IsOlderChip;
            for (const QByteArray &block : blocks) {
                if (StopRequested || !waitForCts(yield))
                    break;
                writeDirect(block);
                if (yield)
                    yieldOnce();
            }
            const bool wasStopped = StopRequested;
            StopRequested = false; // the end mark goes out even after a stop
            waitForCts(true);
            writeDirect(QByteArray("\x80\x80", 2));
            waitForCts(true);
            StopRequested = wasStopped;
        }
    } catch (const LinkError &e) {
        vx::MsgBox(e.description(), vx::Buttons::Ok, vx::Icon::Exclamation);
    }
    file.close();
    if (switched) {
        try {
            RestoreCommBaud();
        } catch (const LinkError &) {
        }
    }
    Busy = false;
    Playing = false;
    if (!IsOlderChip)
        SetPlayButtonsIdle();
}
