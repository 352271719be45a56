// The Edit commands on a sound library's rows, its printed listing and the
// context menu's Open Folder.

#include "app/Globals.h"
#include "app/shell/ui/ListingPrinter.h"
#include "app/soundlib/SoundClipboard.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "platform/FileManager.h"
#include "platform/Prompter.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLineEdit>

namespace {

DuplicateChoice askDuplicateTag(const SoundEntry &record, const SoundEntry &holder)
{
    const vx::Answer a = vx::MsgBox(DuplicateTagMessage(record.FileName, holder.FileName), vx::Buttons::OkCancel,
                                    vx::Icon::Exclamation, QStringLiteral("Duplicate Tag"));
    return a == vx::Answer::Cancel ? DuplicateChoice::Stop : DuplicateChoice::Skip;
}

vx::ListingSound listingSound(const SoundEntry &e)
{
    vx::ListingSound s;
    s.tag = e.Tag;
    s.kind = e.Kind;
    s.compress = e.Compress;
    s.boost = e.Boost;
    s.noiseGate = e.NoiseGate;
    s.channels = e.Channels;
    s.sampleRate = e.SampleRate;
    s.bitsPerSample = e.BitsPerSample;
    s.dataBytes = e.DataBytes;
    s.memUsed = e.MemUsed;
    s.fileName = e.FileName;
    s.location = e.Location;
    return s;
}

} // namespace

bool frmSoundLib::RowsEditCommand(EditAction action)
{
    // The tag and gate boxes take the text commands themselves; with the list
    // or any other control active the commands act on the rows, so a Cut
    // never deletes rows it did not copy.
    if (qobject_cast<QLineEdit *>(focusWidget()))
        return false;
    switch (action) {
    case EditAction::Copy: {
        const QList<SoundEntry> copied = CopySoundEntries(rows(), selectedRows());
        if (!copied.isEmpty())
            ClipSoundEntries() = copied;
        return true;
    }
    case EditAction::Cut:
        RowsEditCommand(EditAction::Copy);
        return RowsEditCommand(EditAction::Delete);
    case EditAction::Delete: {
        const std::vector<bool> selected = selectedRows();
        if (std::find(selected.begin(), selected.end(), true) == selected.end())
            return true;
        const int select = DeleteSoundRows(rows(), selected);
        markModified();
        model->reload();
        selectOnly(select);
        UpdateSoundLibTotals();
        activeView()->setFocus();
        return true;
    }
    case EditAction::Paste: {
        if (ClipSoundEntries().isEmpty())
            return true;
        const int after = rows().isEmpty() ? -1 : currentRow();
        const SoundPasteResult pasted = PasteSoundEntries(rows(), after, ClipSoundEntries(), askDuplicateTag);
        if (pasted.inserted > 0) {
            markModified();
            model->reload();
            selectOnly(pasted.lastInserted);
        }
        if (pasted.full)
            vx::MsgBox(QStringLiteral("The sound library is full (%1 sounds).").arg(SoundLibTable::kMaxRows),
                       vx::Buttons::Ok, vx::Icon::Exclamation);
        UpdateSoundLibTotals();
        activeView()->setFocus();
        return true;
    }
    case EditAction::SelectAll:
        activeView()->selectAll();
        SuppressCheckEvents = true;
        SyncCompressCheck();
        SyncBoostCheck();
        SuppressCheckEvents = false;
        return true;
    default:
        return false;
    }
}

vx::Listing frmSoundLib::Listing(int linesPerPage) const
{
    vx::ListingHeader header;
    header.linesPerPage = linesPerPage;
    header.fileName = CaptionName(record().FileName);
    header.printedOn = ListingPrintedOn();
    std::vector<vx::ListingSound> sounds;
    for (const SoundRow &r : rows())
        sounds.push_back(listingSound(r.entry));
    return vx::SoundLibraryListing(header, sounds, lngTotalSamples);
}

void frmSoundLib::PrintListing()
{
    PrintListingPages([this](int lines) { return Listing(lines); });
}

void frmSoundLib::OpenSoundFileFolder()
{
    const int cur = currentRow();
    if (cur < 0)
        return;
    const SoundEntry &e = rows()[cur].entry;
    const QFileInfo file(e.path());
    if (!file.isFile()) {
        vx::MsgBox(QStringLiteral("The file has been moved or deleted. Perform a ") +
                       QStringLiteral("refresh of the library.  "),
                   vx::Buttons::Ok, vx::Icon::Exclamation);
        return;
    }
    vx::revealFile(file.absoluteFilePath());
}
