#pragma once

// The link library: hands out the serial object and does the chip's file
// transfers, recording-memory operations and status queries over it. Both
// programs create one object (the main window holds it as `cTolv`).
//
// Connect to PercentDone and ConfirmUpdate with Qt::DirectConnection (the
// default for objects of one thread): their Cancel flag is passed by
// reference and read back right after the signal returns.
//
// Members 4 to 10 need an open port and throw LinkError otherwise; every
// failure is a LinkError whose description the caller shows after "ERROR: ".
// While a member runs, CommEvent is held: the chip's replies to the member
// never reach the program, and bytes that waited for the program before the
// member began are given back afterwards. The wire protocol is written down
// in link/PROTOCOL.md.

#include "link/DownloadCheck.h"
#include "link/LinkError.h"
#include "link/LinkRecords.h"
#include "link/SerialComm.h"

#include <QObject>
#include <QString>

#include <optional>

// How a member that the user can cancel ended. A failure is a LinkError.
enum class LinkResult { Done, Cancelled };

class cTolvane : public QObject
{
    Q_OBJECT

public:
    explicit cTolvane(QObject *parent = nullptr);
    ~cTolvane() override;

    // 1. The serial object, owned by the library and kept for its life.
    [[nodiscard]] SerialComm *GetCommObject();
    // 2. The library's current view of the chip's state. Never fails: before
    // any chip answered (or with no port open) it is LinkStatus::empty(), and
    // after the port closed it is the last state read.
    [[nodiscard]] LinkStatus GetStatus() const;
    // 3. The library's current view of who the chip is (all zero before a
    // chip answered). Never fails.
    [[nodiscard]] ChipInfo GetChipInfo() const;
    // 4. Sends a compiled dictionary, sound library, greeting, chip PCM file or
    // firmware image (".bin") to the chip unchanged. Its kind is Stream when
    // given (a file the caller wrote, whatever its name), else what its name
    // shows or, where the name shows none, its first bytes. Raises
    // ChipStatus(6) as the transfer begins, ConfirmUpdate before a firmware
    // image is written, and PercentDone up to 99 as the blocks go out, 100
    // once the chip says it stored the file. Returns Cancelled when either Cancel was
    // set (nothing more is written; the chip drops what it got of the file).
    // Throws on a missing file or one that is no regular file, a chip that
    // stops taking data or reports a failure; and, before any byte is sent,
    // on a file of no kind the chip takes, one that is empty, larger than
    // the chip takes or without the header its kind always has, and a chip
    // PCM file the chip would not store (link/DownloadCheck.h; the chip's
    // model is known once RefreshStatus ran). The file is read as its blocks
    // go out.
    LinkResult DownloadToChip(const QString &FileName, std::optional<vx::DownloadStream> Stream = std::nullopt);
    // 5. Writes one recording-memory file (by index, or by tag when ByTag) to
    // a chip PCM file. Returns Cancelled when PercentDone's Cancel was set,
    // on the last block too; a cancelled or failed upload writes nothing, so
    // a file of that name stays as it was.
    LinkResult UploadRecMemFile(const QString &FileName, qint32 Number, bool ByTag);
    // 6. Deletes one recording-memory file; the memory is compacted.
    void DeleteRecMemFile(qint32 Number, bool ByTag);
    // 7. Plays one recording-memory file and returns when playing ended;
    // PercentDone is raised meanwhile and its Cancel stops the playing.
    LinkResult PlayRecMemFile(qint32 Number, bool ByTag);
    // 8. Erases the recording memory.
    void InitRecMem();
    // 9. Repairs a corrupt recording memory.
    void RepairRecMem();
    // 10. Reads the chip's state and identity anew; afterwards the getters
    // show them, including the effect of commands just written to the port.
    void RefreshStatus();

    // --- Ours: waits in program seconds (vx::Clock), for tests and slow lines.
    void setReplyTimeout(double seconds) { mReplyTimeout = seconds; }
    [[nodiscard]] double replyTimeout() const { return mReplyTimeout; }
    void setCtsTimeout(double seconds) { mCtsTimeout = seconds; }
    [[nodiscard]] double ctsTimeout() const { return mCtsTimeout; }

signals:
    // Progress of a transfer; a handler that sets Cancel stops it.
    void PercentDone(int Percent, bool &Cancel);
    // 6 = a transfer begins.
    void ChipStatus(int Message);
    // Before a firmware image overwrites the chip's system; Cancel abandons.
    void ConfirmUpdate(bool &Cancel);
    // The serial object received data (see SerialComm::CommEvent).
    void CommEvent();

private:
    [[nodiscard]] qint64 recMemBound() const;
    class Session;
    friend class Session;

    SerialComm *mComm = nullptr;
    LinkStatus mStatus = LinkStatus::empty();
    ChipInfo mInfo;
    bool mIdentified = false; // mInfo is a chip's answer
    double mReplyTimeout = 2.0;
    double mCtsTimeout = 5.0;
    bool mRunning = false;
};
