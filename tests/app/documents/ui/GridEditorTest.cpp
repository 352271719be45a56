#include "app/documents/ui/GridEditor.h"

#include "app/documents/GridFile.h"

#include "app/shell/ui/EditorFont.h"
#include "tests/support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

// A bare window around a grid, as the dictionary window is to it.
class Host : public QWidget, public GridHost
{
public:
    Host()
    {
        grid = new GridEditor(this);
        grid->setHost(this);
        grid->setRuleCheck([](const QString &rule, bool) { return !rule.startsWith(QLatin1String("bad")); });
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(grid);
        resize(400, 300);
    }
    void EvalTxtHeight(int Row) override { grid->FitRowHeight(Row); }
    void UpdateFields() override { ++fields; }
    void MarkDocumentModified() override { ++modified; }
    void Form_Resize() override { grid->FitRowHeights(); }

    GridEditor *grid;
    int fields = 0;
    int modified = 0;
};

QColor colourAt(const GridEditor *g, int row, int col, int role)
{
    return g->model()->index(row - 1, col - 1).data(role).value<QColor>();
}

} // namespace

TEST(GridEditor, EditsGroupsAndSavesThroughTheView)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("grideditor"));
    const QString path = dir + QStringLiteral("/rules.dic");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("A\r\n;#H3\r\nB\r\nC\r\nD\r\nbad\r\n");
    }
    Host host;
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    GridEditor *grid = host.findChild<GridEditor *>(QStringLiteral("vbalGrid1"));
    ASSERT_EQ(grid, host.grid);
    GridCellEditor *txtEdit = host.findChild<GridCellEditor *>(QStringLiteral("txtEdit"));
    ASSERT_TRUE(txtEdit);
    EXPECT_EQ(grid->font(), EditorFont());

    // Loaded: the group closed, row 1 selected, the failing rule red.
    ASSERT_TRUE(grid->LoadGridFile(path));
    EXPECT_EQ(grid->model()->rowCount(), 5);
    EXPECT_TRUE(grid->isRowHidden(2));
    EXPECT_TRUE(grid->isRowHidden(3));
    EXPECT_FALSE(grid->isRowHidden(4));
    EXPECT_EQ(grid->SelectedRow(), 1);
    EXPECT_EQ(host.fields, 1);
    EXPECT_EQ(colourAt(grid, 5, 3, Qt::ForegroundRole), QColor(0xFF, 0x40, 0x40));
    EXPECT_EQ(colourAt(grid, 1, 1, Qt::BackgroundRole), QColor(0xE8, 0xE8, 0xE8));
    EXPECT_EQ(colourAt(grid, 2, 3, Qt::BackgroundRole), QColor(0xF2, 0xF2, 0xF2));
    EXPECT_FALSE(grid->model()->index(1, 1).data(Qt::DecorationRole).isNull());
    EXPECT_EQ(grid->model()->index(3, 0).data().toString(), QStringLiteral("4"));

    // Keys that start no edit, then a typed character that replaces the text.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape})
        QTest::keyClick(grid, key);
    for (Qt::Key key : {Qt::Key_F, Qt::Key_C})
        QTest::keyClick(grid, key, Qt::ControlModifier);
    QTest::keyClick(grid, 'f', Qt::AltModifier);
    EXPECT_FALSE(grid->isEditing());
    QTest::keyClick(grid, 'x');
    ASSERT_TRUE(grid->isEditing());
    EXPECT_TRUE(txtEdit->isVisible());
    EXPECT_EQ(txtEdit->toPlainText(), QStringLiteral("x"));
    // Pasted lines arrive as one, a no-break space stays as typed; Enter
    // keeps the text and marks the document.
    QApplication::clipboard()->setText(QStringLiteral("p\r\nq") + QChar(0x2028) + QStringLiteral("r\u00A0s"));
    txtEdit->paste();
    QTest::keyClick(txtEdit, Qt::Key_Return);
    EXPECT_FALSE(grid->isEditing());
    EXPECT_EQ(grid->rows().row(1).text, QStringLiteral("xp q r\u00A0s"));
    EXPECT_EQ(host.modified, 1);
    // Esc drops an edit.
    QTest::keyClick(grid, Qt::Key_F2);
    ASSERT_TRUE(grid->isEditing());
    txtEdit->setPlainText(QStringLiteral("dropped"));
    QTest::keyClick(txtEdit, Qt::Key_Escape);
    EXPECT_EQ(grid->rows().row(1).text, QStringLiteral("xp q r\u00A0s"));

    // Insert with the collapsed header selected: the new row follows its group.
    grid->setCellSelected(1, 3, false);
    grid->setCellSelected(2, 3, true);
    grid->InsertGridRow();
    ASSERT_TRUE(grid->isEditing());
    EXPECT_EQ(grid->lRowS, 5);
    QTest::keyClicks(txtEdit, QStringLiteral(";new"));
    QTest::keyClick(txtEdit, Qt::Key_Return);
    EXPECT_EQ(grid->rows().row(5).text, QStringLiteral(";new"));
    EXPECT_EQ(colourAt(grid, 5, 3, Qt::ForegroundRole), QColor(0x00, 0x80, 0x80));
    EXPECT_FALSE(grid->isRowHidden(4));

    // Expand the group, then fold rows 5 and 6 into a new one.
    grid->setFocus();
    grid->setCellSelected(5, 3, false);
    grid->setCellSelected(2, 3, true);
    grid->ExpandGridGroup();
    EXPECT_FALSE(grid->isRowHidden(2));
    grid->clearSelection();
    grid->setCellSelected(5, 3, true);
    grid->setCellSelected(6, 3, true);
    grid->CollapseGridRows();
    EXPECT_TRUE(grid->isRowHidden(5));
    EXPECT_EQ(host.modified, 4);

    ASSERT_TRUE(grid->SaveGridFile(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("xp q r\xA0s\r\n;#h3\r\nB\r\nC\r\nD\r\n;#H2\r\n;new\r\nbad\r\n"));
}

// Every grid command gives drawing back, also when it ran while the window
// around the grid had drawing off (the document area does so while it
// switches maximised windows): the grid must paint again afterwards.
TEST(GridEditor, DrawingComesBackAfterEveryCommand)
{
    Host host;
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    GridEditor *grid = host.grid;
    const std::pair<const char *, std::function<void()>> commands[] = {
        {"setRows", [grid] { grid->setRows(ParseGridFile("a\r\n;#H3\r\nb\r\nc\r\nd\r\n;x\r\n")); }},
        {"FitRowHeights", [grid] { grid->FitRowHeights(); }},
        {"InsertGridRow", [grid] { grid->InsertGridRow(); grid->CancelEdit(); }},
        {"CommentGridRows", [grid] { grid->setFocus(); grid->CommentGridRows(); }},
        {"UncommentGridRows", [grid] { grid->UncommentGridRows(); }},
        {"ExpandGridGroup", [grid] { grid->setCellSelected(grid->SelectedRow(), 3, false); grid->setCellSelected(2, 3, true); grid->ExpandGridGroup(); }},
        {"CollapseGridRows", [grid] { grid->CollapseGridRows(); }},
        {"DissolveGridGroup", [grid] { grid->DissolveGridGroup(); }},
        {"Copy", [grid] { grid->EditCommand(EditAction::Copy); }},
        {"Paste", [grid] { grid->EditCommand(EditAction::Paste); }},
        {"Delete", [grid] { grid->EditCommand(EditAction::Delete); }},
        {"SelectAll", [grid] { grid->EditCommand(EditAction::SelectAll); }},
        {"font", [grid] { QFont f = grid->font(); f.setPointSize(f.pointSize() + 1); grid->setFont(f); }},
    };
    for (const auto &[name, command] : commands) {
        host.setUpdatesEnabled(false);
        command();
        host.setUpdatesEnabled(true);
        EXPECT_TRUE(grid->updatesEnabled()) << name;
        command();
        EXPECT_TRUE(grid->updatesEnabled()) << name;
    }
}
