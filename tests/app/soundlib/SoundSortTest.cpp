// Sorting rows by a column, and the tag, gate, compression and boost edits of a selection.
#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/SoundSort.h"

#include <gtest/gtest.h>

namespace {

SoundRow makeRow(const QString &name, qint32 tag, bool compress = false, qint16 kind = sfkWave)
{
    SoundRow r;
    r.entry.FileName = name + QStringLiteral(".wav");
    r.entry.Location = QStringLiteral("/") + name.toLower() + QLatin1Char('/');
    r.entry.Tag = tag;
    r.entry.Compress = compress;
    r.entry.Kind = kind;
    r.entry.Channels = 1;
    r.entry.SampleRate = 11025;
    r.entry.BitsPerSample = 8;
    r.entry.DataBytes = 11025;
    r.entry.MemUsed = EstimateMemoryKB(r.entry);
    r.item = MakeListItem(r.entry, QLocale::c());
    return r;
}

std::string order(const SoundRows &rows)
{
    QStringList names;
    for (const SoundRow &r : rows)
        names << r.item.cells[colFile] + QLatin1Char(':') + r.item.cells[colTag];
    return names.join(QLatin1Char(' ')).toStdString();
}

std::string tags(const SoundRows &rows)
{
    QStringList list;
    for (const SoundRow &r : rows)
        list << QString::number(r.entry.Tag);
    return list.join(QLatin1Char(' ')).toStdString();
}

TEST(SoundSort, ColumnsAndDirections)
{
    SoundRows rows = {makeRow(QStringLiteral("alpha"), 3, true), makeRow(QStringLiteral("Zeta"), 1),
                      makeRow(QStringLiteral("beta"), 2, true)};
    rows[0].item.cells[colFile] = QStringLiteral("alpha"); // texts as a window may show them
    rows[2].item.cells[colFile] = QStringLiteral("beta");
    rows[1].item.missing = true;

    SortFileList(rows, colFile, false);
    EXPECT_EQ(order(rows), "Zeta:1 alpha:3 beta:2");
    SortByColumnClick(rows, colTag, true);
    EXPECT_EQ(order(rows), "alpha:3 beta:2 Zeta:1");
    EXPECT_TRUE(rows[2].item.missing); // colour and records move with the row
    EXPECT_EQ(rows[2].entry.FileName, QStringLiteral("Zeta.wav"));
    SortByColumnClick(rows, colComp, false);
    EXPECT_EQ(order(rows), "Zeta:1 alpha:3 beta:2");
    SortByColumnClick(rows, colLocation, true);
    EXPECT_EQ(order(rows), "Zeta:1 beta:2 alpha:3");

    SoundRows none;
    SortFileList(none, colTag, true);
    EXPECT_TRUE(none.isEmpty());
}

TEST(SoundSort, EqualKeysFollowTheSelectionSort)
{
    // Descending by Comp after the name pass: the exchange carries "A" past "C".
    SoundRows rows = {makeRow(QStringLiteral("a"), 0, false), makeRow(QStringLiteral("b"), 0, false),
                      makeRow(QStringLiteral("c"), 0, true)};
    SortByColumnClick(rows, colComp, true);
    EXPECT_EQ(order(rows), "C:0 B:0 A:0");
}

TEST(TagEdits, OneRow)
{
    SoundRows rows = {makeRow(QStringLiteral("a"), 3), makeRow(QStringLiteral("b"), 9)};
    const struct
    {
        const char *box;
        bool changed;
        const char *message;
        const char *tags;
        const char *cell;
    } steps[] = {
        {"65535", false, "Tag value out of range. Valid range is 0-65534.  ", "3 9", "3"},
        {"99999999999999999999", false, "Tag value out of range. Valid range is 0-65534.  ", "3 9", "3"},
        {"9", false, "Duplicate tag in library (b.wav).  ", "3 9", "3"},
        {"007", true, "", "7 9", "007"},
        {"7", false, "", "7 9", "007"},
        {"", true, "", "0 9", "0"},
    };
    for (const auto &s : steps) {
        const SettingsEdit edit = ApplyTagToRow(rows, 1, QString::fromLatin1(s.box));
        EXPECT_EQ(edit.changed, s.changed) << s.box;
        EXPECT_EQ(edit.message.toStdString(), s.message) << s.box;
        EXPECT_EQ(tags(rows), s.tags) << s.box;
        EXPECT_EQ(rows[0].item.cells[colTag].toStdString(), s.cell) << s.box;
    }
}

TEST(TagEdits, NumberingASelection)
{
    const struct
    {
        std::vector<qint32> tags;
        RowSelection selected;
        const char *box;
        const char *after;
        const char *message;
    } cases[] = {
        {{0, 0, 0, 0}, {true, true, true, false}, "65533", "65533 65534 0 0",
         "Numbering halted; tag value out of range. Valid range is 0-65534.  "},
        {{0, 0, 0, 0}, {true, true, false, false}, "65533", "65533 65534 0 0", ""},
        {{0, 0, 0, 6}, {true, true, true, false}, "5", "5 0 0 6", "Numbering halted; duplicate tag in library (r3.wav).  "},
        {{4, 5, 8, 0}, {true, true, true, false}, "0", "0 0 0 0", ""},
        {{5, 4, 0, 0}, {true, true, false, false}, "4", "4 5 0 0", ""}, // selected holders are renumbered
        // A holder that the stop leaves unnumbered is a conflict: no two rows share 65534.
        {{0, 0, 65534, 0}, {true, true, true, false}, "65533", "65533 0 65534 0",
         "Numbering halted; duplicate tag in library (r2.wav).  "},
        {{0, 0, 5, 6}, {true, true, true, false}, "4", "4 0 5 6", "Numbering halted; duplicate tag in library (r2.wav).  "},
    };
    for (const auto &c : cases) {
        SoundRows rows;
        for (std::size_t i = 0; i < c.tags.size(); ++i)
            rows << makeRow(QStringLiteral("r%1").arg(i), c.tags[i]);
        const SettingsEdit edit = NumberSelectedTags(rows, c.selected, QString::fromLatin1(c.box));
        EXPECT_EQ(tags(rows), c.after) << c.box;
        EXPECT_EQ(edit.message.toStdString(), c.message) << c.box;
        for (const SoundRow &r : rows)
            EXPECT_EQ(r.item.cells[colTag], QString::number(r.entry.Tag));
    }
}

TEST(SettingsEdits, CompressBoostGateAndTriState)
{
    SoundRows rows = {makeRow(QStringLiteral("w"), 0), makeRow(QStringLiteral("p"), 0, false, sfkCompressedPcm),
                      makeRow(QStringLiteral("c"), 0, false, sfkPcm), makeRow(QStringLiteral("x"), 0)};
    rows[1].entry.MemUsed = 5000;
    rows[3].entry.Boost = true;
    const RowSelection firstThree = {true, true, true, false};
    EXPECT_EQ(SyncCompressCheck(rows, firstThree), chkUnchecked);
    EXPECT_EQ(SyncBoostCheck(rows, {true, false, false, true}), chkGrey);
    EXPECT_EQ(SyncBoostCheck(rows, {}), chkUnchecked);

    ASSERT_TRUE(ApplyCompressBoost(rows, firstThree, chkChecked, chkChecked, QLocale::c()).changed);
    EXPECT_TRUE(rows[0].entry.Compress);
    EXPECT_EQ(rows[0].entry.MemUsed, 5512); // 11025 / 2, halves to even
    EXPECT_EQ(rows[0].item.cells[colComp], QStringLiteral("\u2022"));
    EXPECT_EQ(rows[0].item.cells[colBoost], QStringLiteral("\u2022"));
    EXPECT_FALSE(rows[1].entry.Compress); // compressed chip PCM is left as it is
    EXPECT_EQ(rows[1].entry.MemUsed, 5000);
    EXPECT_TRUE(rows[2].entry.Compress);
    EXPECT_FALSE(rows[2].entry.Boost); // chip PCM takes no boost
    EXPECT_EQ(SyncCompressCheck(rows, {true, false, true, false}), chkChecked);

    ASSERT_TRUE(ApplyCompressBoost(rows, {true, false, false, true}, chkGrey, chkUnchecked, QLocale::c()).changed);
    EXPECT_TRUE(rows[0].entry.Compress); // grey keeps each row's own value
    EXPECT_FALSE(rows[3].entry.Compress);
    EXPECT_FALSE(rows[3].entry.Boost);

    EXPECT_TRUE(ApplyGateToSelected(rows, {false, true}, QStringLiteral("32767")).changed);
    EXPECT_EQ(rows[1].entry.NoiseGate, 32767);
    EXPECT_FALSE(ApplyGateToSelected(rows, {false, true}, QStringLiteral("32768")).changed);
    EXPECT_EQ(rows[1].entry.NoiseGate, 32767);
    EXPECT_TRUE(ApplyGateToSelected(rows, {false, true}, QString()).changed);
    EXPECT_EQ(rows[1].entry.NoiseGate, 0);
}

} // namespace
