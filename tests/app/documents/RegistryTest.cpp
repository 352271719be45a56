#include "app/documents/Registry.h"

#include <gtest/gtest.h>

TEST(Registry, SlotsAreReusedLowestFirstAndStartClean)
{
    QVector<DocRecord> docs(2); // the control panels and the phonetic output
    docs[0].Deleted = docs[1].Deleted = false;
    EXPECT_EQ(FindFirstDocumentSlot(docs), 0);
    for (int slot : {2, 3, 4})
        EXPECT_EQ(AllocDocumentSlot(docs), slot);

    docs[3] = {true, true, QStringLiteral("/data/a.dic"), 7};
    docs[2].Deleted = true;
    EXPECT_EQ(FindFirstDocumentSlot(docs), 4);
    std::vector<int> cleaned;
    for (int slot : {2, 3, 5})
        EXPECT_EQ(AllocDocumentSlot(docs, [&cleaned](int s) { cleaned.push_back(s); }), slot);
    EXPECT_EQ(cleaned, (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(std::tuple(docs[3].Deleted, docs[3].Dirty, docs[3].FileName, docs[3].Number),
              std::tuple(false, false, QString(), 0));

    for (int s = 2; s < docs.size(); ++s)
        docs[s].Deleted = true;
    EXPECT_EQ(FindFirstDocumentSlot(docs), 0);

    // Slot numbers stay 16-bit.
    docs = QVector<DocRecord>(kMaxDocumentSlot + 1, DocRecord{false, false, {}, 0});
    EXPECT_EQ(AllocDocumentSlot(docs), 0);
    docs[kMaxDocumentSlot].Deleted = true;
    EXPECT_EQ(AllocDocumentSlot(docs), kMaxDocumentSlot);
}

TEST(Registry, NamesCaptionsAndOpenFiles)
{
    using vx::WindowKind;
    EXPECT_EQ(DocumentCaption(WindowKind::Text, UntitledName(2), false), QStringLiteral("Text [Untitled1]"));
    EXPECT_EQ(DocumentCaption(WindowKind::SoundLib, QStringLiteral("A.sfl"), true),
              QStringLiteral("Sound Library [A.sfl]*"));
    EXPECT_EQ(DocumentCaption(WindowKind::Dictionary, UntitledName(4), false), QStringLiteral("Dictionary [Untitled3]"));
    EXPECT_EQ(DocumentCaption(WindowKind::Music, QStringLiteral("S.tgn"), true), QStringLiteral("Music Score [S.tgn]*"));
    EXPECT_EQ(DocumentCaption(WindowKind::Phonetic, QStringLiteral("x"), true), QString());
    EXPECT_TRUE(IsUntitled(UntitledName(9)));
    EXPECT_FALSE(IsUntitled(QStringLiteral("/home/u/Untitled1.txt")));

    DocRecord doc{false, false, QStringLiteral("/data/A.DIC"), 0};
    EXPECT_TRUE(MarkDirty(doc));
    EXPECT_FALSE(MarkDirty(doc)); // one "*" at most

    QVector<DocRecord> docs(2);
    docs.append(doc);
    docs.append({true, false, QStringLiteral("/data/b.dic"), 0});
    EXPECT_EQ(FindOpenSlot(docs, QStringLiteral("/Data/a.dic")), 2);
    EXPECT_EQ(FindOpenSlot(docs, QStringLiteral("/data/b.dic")), 0); // freed
    EXPECT_EQ(FindOpenSlot(docs, QStringLiteral("/data/a.di")), 0);
}
