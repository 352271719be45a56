#include "app/documents/Registry.h"

#include "tests/support/TestEnv.h"

#include <QFile>

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

    // Names that differ in case are two files; a path through "./" or a link
    // reaches the same one.
    const QString dir = QString::fromStdString(vxtest::freshDir("registry"));
    QFile(dir + QStringLiteral("/Words.txt")).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(dir + QStringLiteral("/Words.txt"), dir + QStringLiteral("/link.txt")));
    QVector<DocRecord> docs(2);
    docs.append(doc);
    docs.append({true, false, QStringLiteral("/data/b.dic"), 0});
    docs.append({false, false, dir + QStringLiteral("/Words.txt"), 0});
    docs.append({false, false, UntitledName(5), 0});
    const struct
    {
        QString path;
        int slot;
    } rows[] = {
        {QStringLiteral("/data/A.DIC"), 2},
        {QStringLiteral("/Data/a.dic"), 0},
        {QStringLiteral("/data/x/../A.DIC"), 2},
        {QStringLiteral("/data/b.dic"), 0}, // freed
        {QStringLiteral("/data/a.di"), 0},
        {dir + QStringLiteral("/./Words.txt"), 4},
        {dir + QStringLiteral("/link.txt"), 4},
        {dir + QStringLiteral("/words.txt"), 0},
        {UntitledName(5), 0}, // never saved: no file to find
    };
    for (const auto &r : rows)
        EXPECT_EQ(FindOpenSlot(docs, r.path), r.slot) << r.path.toStdString();
}
