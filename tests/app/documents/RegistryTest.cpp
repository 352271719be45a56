#include "app/documents/Registry.h"

#include <gtest/gtest.h>

namespace {

// The two fixed windows of a started program.
QVector<DocRecord> started()
{
    QVector<DocRecord> docs(2);
    docs[0].Deleted = docs[1].Deleted = false;
    return docs;
}

} // namespace

TEST(Registry, SlotsAreReusedLowestFirstAndStartClean)
{
    QVector<DocRecord> docs = started();
    EXPECT_EQ(FindFirstDocumentSlot(docs), 0);
    EXPECT_EQ(AllocDocumentSlot(docs), 2);
    EXPECT_EQ(AllocDocumentSlot(docs), 3);
    EXPECT_EQ(AllocDocumentSlot(docs), 4);
    EXPECT_EQ(UntitledName(2), QStringLiteral("Untitled1"));

    docs[3] = {true, true, QStringLiteral("/data/a.dic"), 7};
    docs[2].Deleted = true;
    EXPECT_EQ(FindFirstDocumentSlot(docs), 4);
    std::vector<int> cleaned;
    const auto clean = [&cleaned](int slot) { cleaned.push_back(slot); };
    EXPECT_EQ(AllocDocumentSlot(docs, clean), 2);
    EXPECT_EQ(AllocDocumentSlot(docs, clean), 3);
    EXPECT_EQ(AllocDocumentSlot(docs, clean), 5);
    EXPECT_EQ(cleaned, (std::vector<int>{2, 3, 5}));
    // The reused slot shows nothing of its last document.
    EXPECT_FALSE(docs[3].Deleted);
    EXPECT_FALSE(docs[3].Dirty);
    EXPECT_TRUE(docs[3].FileName.isEmpty());
    EXPECT_EQ(docs[3].Number, 0);
    EXPECT_EQ(docs.size(), 6);

    // Freed document slots do not count as open.
    for (int s = 2; s < docs.size(); ++s)
        docs[s].Deleted = true;
    EXPECT_EQ(FindFirstDocumentSlot(docs), 0);
    EXPECT_EQ(FindFirstDocumentSlot({}), 0);
}

TEST(Registry, NeverGrowsPastTheLastSlotNumber)
{
    QVector<DocRecord> docs(kMaxDocumentSlot + 1);
    for (DocRecord &d : docs)
        d.Deleted = false;
    EXPECT_EQ(AllocDocumentSlot(docs), 0);
    EXPECT_EQ(docs.size(), kMaxDocumentSlot + 1);
    docs[kMaxDocumentSlot].Deleted = true;
    EXPECT_EQ(AllocDocumentSlot(docs), kMaxDocumentSlot);
}

TEST(Registry, OpenFilesMatchIgnoringCaseButNotFreedSlots)
{
    QVector<DocRecord> docs = started();
    docs.append({false, false, QStringLiteral("/data/A.DIC"), 0});
    docs.append({true, false, QStringLiteral("/data/b.dic"), 0});
    EXPECT_EQ(FindOpenSlot(docs, QStringLiteral("/Data/a.dic")), 2);
    EXPECT_EQ(FindOpenSlot(docs, QStringLiteral("/data/b.dic")), 0);
    EXPECT_EQ(FindOpenSlot(docs, QStringLiteral("/data/a.di")), 0);
}

TEST(Registry, CaptionsAndTheOneModifiedMark)
{
    const struct
    {
        WindowKind kind;
        bool dirty;
        const char *caption;
    } cases[] = {
        {WindowKind::Text, false, "Text [Untitled3]"},
        {WindowKind::SoundLibrary, true, "Sound Library [Untitled3]*"},
        {WindowKind::Dictionary, false, "Dictionary [Untitled3]"},
        {WindowKind::MusicScore, true, "Music Score [Untitled3]*"},
        {WindowKind::Phonetic, false, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DocumentCaption(c.kind, UntitledName(4), c.dirty), QLatin1String(c.caption));

    DocRecord doc{false, false, QStringLiteral("Untitled1"), 0};
    EXPECT_TRUE(IsUntitled(doc.FileName));
    EXPECT_FALSE(IsUntitled(QStringLiteral("/home/u/Untitled1.txt")));
    EXPECT_TRUE(MarkDirty(doc));
    EXPECT_FALSE(MarkDirty(doc));
    EXPECT_TRUE(doc.Dirty);
}
