#include "app/documents/Registry.h"

#include <QDir>
#include <QFileInfo>

int AllocDocumentSlot(QVector<DocRecord> &docs, const std::function<void(int slot)> &startClean)
{
    if (docs.size() < kFirstDocumentSlot)
        docs.resize(kFirstDocumentSlot);
    int slot = 0;
    for (int s = kFirstDocumentSlot; s < docs.size(); ++s) {
        if (docs[s].Deleted) {
            slot = s;
            break;
        }
    }
    if (slot == 0) {
        if (docs.size() > kMaxDocumentSlot)
            return 0;
        slot = static_cast<int>(docs.size());
        docs.append(DocRecord{});
    }
    // A reused slot must not show what its last document left behind.
    docs[slot] = DocRecord{};
    docs[slot].Deleted = false;
    docs[slot].Dirty = false;
    docs[slot].FileName.clear();
    if (startClean)
        startClean(slot);
    return slot;
}

int FindFirstDocumentSlot(const QVector<DocRecord> &docs)
{
    for (int s = kFirstDocumentSlot; s < docs.size(); ++s) {
        if (!docs[s].Deleted)
            return s;
    }
    return 0;
}

namespace {

// The file a path names: links and "." or ".." resolved while it exists,
// else the path made absolute and clean. Case counts, as it does on disk.
QString fileIdentity(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

int FindOpenSlot(const QVector<DocRecord> &docs, const QString &path)
{
    const QString wanted = fileIdentity(path);
    for (int s = 1; s < docs.size(); ++s) {
        const DocRecord &doc = docs[s];
        // A document never saved has a name but no file.
        if (doc.Deleted || doc.FileName.isEmpty() || doc.FileName == UntitledName(s))
            continue;
        if (fileIdentity(doc.FileName) == wanted)
            return s;
    }
    return 0;
}

QString UntitledName(int slot)
{
    return QStringLiteral("Untitled") + QString::number(slot - 1);
}

bool IsUntitled(const QString &fileName)
{
    return fileName.startsWith(QLatin1String("Untitled"));
}

QString DocumentCaption(vx::WindowKind kind, const QString &name, bool dirty)
{
    QString word;
    switch (kind) {
    case vx::WindowKind::Text:
        word = QStringLiteral("Text");
        break;
    case vx::WindowKind::SoundLib:
        word = QStringLiteral("Sound Library");
        break;
    case vx::WindowKind::Dictionary:
        word = QStringLiteral("Dictionary");
        break;
    case vx::WindowKind::Music:
        word = QStringLiteral("Music Score");
        break;
    case vx::WindowKind::None:
    case vx::WindowKind::ControlPanels:
    case vx::WindowKind::Phonetic:
        return {};
    }
    QString caption = word + QStringLiteral(" [") + name + QLatin1Char(']');
    if (dirty)
        caption += QLatin1Char('*');
    return caption;
}

bool MarkDirty(DocRecord &doc)
{
    if (doc.Dirty)
        return false;
    doc.Dirty = true;
    return true;
}
