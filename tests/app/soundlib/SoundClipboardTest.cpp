#include "app/soundlib/SoundClipboard.h"
#include "app/soundlib/SoundFormat.h"

#include <gtest/gtest.h>

namespace {

SoundRows library(const std::vector<std::pair<const char *, int>> &rows)
{
    SoundRows out;
    for (const auto &[name, tag] : rows) {
        SoundEntry e;
        e.FileName = QString::fromLatin1(name);
        e.Tag = tag;
        out.append(SoundRow{e, MakeListItem(e)});
    }
    return out;
}

QStringList names(const SoundRows &rows)
{
    QStringList out;
    for (const SoundRow &r : rows)
        out << r.entry.FileName;
    return out;
}

} // namespace

TEST(SoundClipboard, PasteAsksAboutEachDuplicateTagAndTag0NeverIs)
{
    const SoundRows start = library({{"a.wav", 12}, {"b.wav", 0}, {"c.wav", 7}});
    const QList<SoundEntry> copied = CopySoundEntries(start, {true, true, false});
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied[0].FileName, QStringLiteral("a.wav"));
    const struct
    {
        const char *what;
        int after;
        QList<SoundEntry> records;
        DuplicateChoice answer;
        QStringList rows;
        QStringList asked; // "record~holder"
        int lastInserted;
    } cases[] = {
        {"same library, OK skips", 0, copied, DuplicateChoice::Skip, {"a.wav", "b.wav", "b.wav", "c.wav"},
         {"a.wav~a.wav"}, 1},
        {"Cancel stops the paste", 0, copied, DuplicateChoice::Stop, {"a.wav", "b.wav", "c.wav"},
         {"a.wav~a.wav"}, -1},
        {"at the top", -1, {copied[1]}, DuplicateChoice::Skip, {"b.wav", "a.wav", "b.wav", "c.wav"}, {}, 0},
        {"below the last row", 2, {copied[1], copied[1]}, DuplicateChoice::Skip,
         {"a.wav", "b.wav", "c.wav", "b.wav", "b.wav"}, {}, 4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SoundRows rows = start;
        QStringList asked;
        const SoundPasteResult r =
            PasteSoundEntries(rows, c.after, c.records, [&](const SoundEntry &e, const SoundEntry &holder) {
                asked << e.FileName + QLatin1Char('~') + holder.FileName;
                return c.answer;
            });
        EXPECT_EQ(names(rows), c.rows);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(r.lastInserted, c.lastInserted);
        EXPECT_FALSE(r.full);
    }
    // A tag taken by a row pasted earlier in the same paste is a duplicate too.
    SoundRows rows;
    int questions = 0;
    PasteSoundEntries(rows, -1, {copied[0], copied[0]}, [&](const SoundEntry &, const SoundEntry &) {
        ++questions;
        return DuplicateChoice::Skip;
    });
    EXPECT_EQ(rows.size(), 1);
    EXPECT_EQ(questions, 1);
}

TEST(SoundClipboard, AFullLibraryTakesNoMoreRows)
{
    SoundRows rows;
    SoundRow row{SoundEntry{}, SoundListItem{}};
    for (int i = 0; i < SoundLibTable::kMaxRows - 1; ++i)
        rows.append(row);
    const SoundEntry e;
    const SoundPasteResult r = PasteSoundEntries(rows, 0, {e, e, e}, nullptr);
    EXPECT_EQ(r.inserted, 1);
    EXPECT_TRUE(r.full);
    EXPECT_EQ(rows.size(), SoundLibTable::kMaxRows);
}

TEST(SoundClipboard, DeleteSelectsTheRowNowAtTheLastRemoval)
{
    const struct
    {
        std::vector<bool> selected;
        QStringList rows;
        int select;
    } cases[] = {
        {{false, true, false, true}, {"a", "c"}, 1},  // past the end: the last row
        {{true, false, false, false}, {"b", "c", "d"}, 0},
        {{false, true, true, false}, {"a", "d"}, 1},
        {{true, true, true, true}, {}, -1},           // nothing left to select
        {{false, false, false, false}, {"a", "b", "c", "d"}, -1},
    };
    for (const auto &c : cases) {
        SoundRows rows = library({{"a", 0}, {"b", 0}, {"c", 0}, {"d", 0}});
        EXPECT_EQ(DeleteSoundRows(rows, c.selected), c.select);
        EXPECT_EQ(names(rows), c.rows);
    }
}
