// The right-click menus of the document windows: each one's items and
// states, a command run from it, and the sound rows' clipboard and listing.

#include "app/Globals.h"
#include "app/documents/GridFile.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmMusic.h"
#include "app/documents/ui/frmPhonetic.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/panels/ui/frmParmEntry.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ListingPrinter.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/ui/SoundLibModel.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/Prompter.h"
#include "platform/ui/Modal.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

// Lists of captions read as text in a failure.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

QString s(const char *t)
{
    return QString::fromLatin1(t);
}

// A menu as the user saw it: captions ("-" for a separator), "!" in front
// of a disabled item.
struct SeenMenu
{
    QString name;
    QStringList items;
};

class ContextMenus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        QLocale::setDefault(QLocale::c());
        ResetGlobals();
        main = std::make_unique<frmMDI>();
        MainToolbar = main->tbStdLarge;
        DocState.resize(2);
        main->resize(900, 700);
        main->show();
        main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        // Records each menu and chooses the item of the path picked next
        // ("Voice Attributes/Speed..."), as the user would.
        setPopupMenuDriver([this](QWidget *, QMenu *menu) {
            SeenMenu m{menu->objectName(), {}};
            for (QAction *a : menu->actions())
                m.items << (a->isSeparator() ? s("-") : (a->isEnabled() ? QString() : s("!")) + a->text());
            seen.push_back(m);
            if (picks.isEmpty())
                return;
            QMenu *in = menu;
            const QStringList path = picks.takeFirst().split(QLatin1Char('/'));
            for (const QString &step : path) {
                QAction *found = nullptr;
                for (QAction *a : in->actions()) {
                    if (a->text() == step)
                        found = a;
                }
                ASSERT_NE(found, nullptr) << qPrintable(step);
                ASSERT_TRUE(found->isEnabled()) << qPrintable(step);
                if (found->menu())
                    in = found->menu();
                else
                    found->trigger();
            }
        });
    }
    void TearDown() override
    {
        setPopupMenuDriver(nullptr);
        ResetDocuments();
        main.reset();
        ResetGlobals();
    }

    template <class W> W *newWindow(const char *command)
    {
        main->RunCommand(s(command));
        auto *w = qobject_cast<W *>(ActiveDocument());
        EXPECT_NE(w, nullptr);
        w->parentWidget()->resize(700, 450); // wide enough to show the grids
        return w;
    }
    // A new sound library in report view holding one.wav and two.wav of dir.
    frmSoundLib *soundLibWith(const QString &dir, const QByteArray &one, const QByteArray &two)
    {
        soundtest::writeFile(dir + s("one.wav"), one);
        soundtest::writeFile(dir + s("two.wav"), two);
        auto *w = newWindow<frmSoundLib>("mnuFileNewSoundLib");
        w->setReportView(true);
        w->AddFilesToSoundLibrary({dir + s("one.wav"), dir + s("two.wav"), QString()});
        return w;
    }
    static void rightClickBox(QAbstractScrollArea *box)
    {
        box->setFocus();
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(4, 4), QPoint(4, 4));
        QApplication::sendEvent(box->viewport(), &e);
    }
    static void rightRelease(QWidget *w, QPointF at = QPointF(4, 4))
    {
        QMouseEvent e(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::RightButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }

    std::unique_ptr<frmMDI> main;
    vx::ScriptedPrompter prompts;
    std::vector<SeenMenu> seen;
    QStringList picks;
};

} // namespace

TEST_F(ContextMenus, TextWindowMenuMirrorsTheEditStateAndPlaysAfterClosing)
{
    auto *w = newWindow<frmTextBox>("mnuFileNewText");
    w->txtInputBox->setPlainText(s("hello there"));
    QApplication::clipboard()->setText(s("kept"));
    UpdateToolbarState();
    rightClickBox(w->txtInputBox);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, s("mnuTextWindow"));
    const auto tb = [](const char *key, const char *caption) {
        return (ToolbarButton(s(key))->isEnabled() ? QString() : s("!")) + s(caption);
    };
    EXPECT_EQ(seen[0].items, (QStringList{tb("Play", "Pla&y"), tb("Record", "&Record..."), s("-"), s("!Cu&t"), s("!&Copy"), s("&Paste"),
                                          s("!&Delete"), s("Select &All"), s("-"), s("&Find..."), s("Find &Next"),
                                          s("-"), s("P&references")}));
    // Select All from the menu, then Cut from the next one.
    picks = QStringList{s("Select &All"), s("Cu&t")};
    rightClickBox(w->txtInputBox);
    rightClickBox(w->txtInputBox);
    EXPECT_FALSE(seen[2].items.contains(s("!Cu&t")));
    EXPECT_TRUE(w->txtInputBox->toPlainText().isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), s("hello there"));

    // Play only asks; the window acts once the menu has closed and clears the request.
    PlayRequested = true;
    rightClickBox(w->txtInputBox);
    EXPECT_FALSE(PlayRequested);
    Busy = true;
    rightClickBox(w->txtInputBox);
    EXPECT_EQ(seen.back().name, s("mnuTextWindowPlaying"));
    EXPECT_EQ(seen.back().items, (QStringList{s("Stop"), s("Pause")}));
    Busy = false;
}

TEST_F(ContextMenus, DictionaryGridMenuCommentsHidesAndInsertsChipCommands)
{
    auto *w = newWindow<frmDictionary>("mnuFileNewDictionary");
    w->vbalGrid1->setRows(ParseGridFile("alpha=al fa\r\nbeta=bay ta\r\ngamma=gam ma\r\n"));
    w->vbalGrid1->setFocus();
    w->vbalGrid1->selectionModel()->clearSelection();
    w->vbalGrid1->setCellSelected(2, 3, true);
    UpdateToolbarState();

    picks = QStringList{s("Comment")};
    const QModelIndex row2 = w->vbalGrid1->model()->index(1, 2);
    rightRelease(w->vbalGrid1->viewport(), w->vbalGrid1->visualRect(row2).center());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, s("mnuDictionary"));
    ASSERT_EQ(seen[0].items.size(), 15);
    // A plain row: the item is enabled as the main menu's is, and does nothing.
    const QString hideShow = (main->Item(s("mnuViewHide"))->isEnabled() ? QString() : s("!")) + s("&Hide/Show");
    EXPECT_EQ(seen[0].items.mid(7), (QStringList{s("-"), s("C&ompile..."), s("-"), hideShow, s("Comment"),
                                                 s("!Uncomment"), s("-"), s("P&references")}));
    EXPECT_TRUE(w->vbalGrid1->rows().row(2).text.startsWith(QLatin1Char(';')));

    // Hide/Show on two rows collapses them; on the collapsed head it shows them again.
    w->vbalGrid1->setCellSelected(3, 3, true);
    main->RunCommand(s("mnuViewHide"));
    EXPECT_EQ(w->vbalGrid1->rows().row(2).icon, kIconCollapsed);
    w->vbalGrid1->selectionModel()->clearSelection();
    w->vbalGrid1->setCellSelected(2, 3, true);
    main->RunCommand(s("mnuViewHide"));
    EXPECT_EQ(w->vbalGrid1->rows().row(2).icon, kIconExpanded);

    // The Sounds Like box: Speed refuses 14, takes 13 at the saved caret;
    // Decrease pitch writes the backslash as its own escape.
    w->txtSoundsLike->setFocus();
    w->txtSoundsLike->setText(s("ab"));
    w->txtSoundsLike->setCursorPosition(1);
    vx::ScriptedForms forms;
    for (const char *typed : {"14", "13"})
        forms.queue([typed](QWidget *form) {
            auto *p = static_cast<frmParmEntry *>(form);
            p->txtCmdParm->setText(QString::fromLatin1(typed));
            p->cmdOK->click();
        });
    prompts.queue(vx::Answer::Ok);
    picks = QStringList{s("Voice Attributes/Speed...")};
    rightRelease(w->txtSoundsLike);
    EXPECT_EQ(seen.back().name, s("mnuSoundsLike"));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().text, s("Input value exceeds parameter range  "));
    EXPECT_EQ(w->txtSoundsLike->text(), s("a\\0113sb"));
    picks = QStringList{s("Phoneme Modifiers      /Decrease pitch")};
    rightRelease(w->txtSoundsLike);
    EXPECT_EQ(w->txtSoundsLike->text(), s("a\\0113s\\5Cb"));
}

TEST_F(ContextMenus, MusicGridMenuSelectsAllRows)
{
    auto *w = newWindow<frmMusic>("mnuFileNewMusic");
    w->vbalGrid1->setRows(ParseGridFile("C4 D4\r\nE4\r\nF4\r\n"));
    w->vbalGrid1->setFocus();
    UpdateToolbarState();
    picks = QStringList{s("Select &All")};
    rightRelease(w->vbalGrid1->viewport());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, s("mnuMusic"));
    ASSERT_EQ(seen[0].items.size(), 16);
    EXPECT_EQ(seen[0].items[15], s("P&references"));
    EXPECT_EQ(w->vbalGrid1->SelectionCount(), 3);
}

TEST_F(ContextMenus, SoundLibraryRowsCopyPastePrint)
{
    using namespace soundtest;
    const QString dir = QString::fromStdString(vxtest::freshDir("ctx-sounds")) + QLatin1Char('/');
    auto *w = soundLibWith(dir, wave(2, 44100, 16, 1048576), wave(1, 11025, 8, 4096));
    ASSERT_EQ(w->rows().size(), 2);
    w->rows()[0].entry.Tag = 12;
    QItemSelectionModel *sm = w->lvwReport->selectionModel();
    sm->select(w->model->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w->lvwReport->setFocus();
    UpdateToolbarState();

    // Copy both rows, then paste them into the same library from the menu:
    // the tagged row meets itself, the untagged one goes in.
    prompts.queue(vx::Answer::Ok);
    picks = QStringList{s("&Copy"), s("&Paste")};
    rightRelease(w->lvwReport->viewport());
    rightRelease(w->lvwReport->viewport());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, s("mnuSoundLib"));
    ASSERT_EQ(seen[0].items.size(), 14);
    EXPECT_EQ(seen[0].items[11], s("Open Folder"));
    EXPECT_EQ(seen[0].items[13], s("P&references"));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().title, s("Duplicate Tag"));
    EXPECT_EQ(prompts.last().text,
              s("one.wav will not be added to the library because its tag is a duplicate of one.wav. \n"));
    ASSERT_EQ(w->rows().size(), 3);
    EXPECT_EQ(w->rows()[2].entry.FileName, s("two.wav"));
    EXPECT_EQ(w->selectedRows(), (std::vector<bool>{false, false, true}));

    // Select All brings the Comp box in line with every row.
    for (int i = 0; i < 3; ++i)
        w->rows()[i].entry.Compress = i == 0;
    RunEditCommand(EditAction::SelectAll);
    EXPECT_EQ(w->chkCompress->checkState(), Qt::PartiallyChecked);

    // The listing, printed to a PDF file; the first row's estimate follows
    // its Comp setting, as the Comp box keeps it.
    SoundEntry &first = w->rows()[0].entry;
    first.Compress = false;
    first.MemUsed = EstimateMemoryKB(first);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir + s("listing.pdf"));
    prompts.queuePrint(true);
    ASSERT_TRUE(PrintListingPages(printer, [w](int lines) { return w->Listing(lines); }));
    const QString text = vxtest::pdfText(dir + s("listing.pdf"));
    EXPECT_TRUE(text.contains(s("SV3410/20 Sound Library")));
    EXPECT_TRUE(text.contains(s("Total files: 3 (")));
    EXPECT_TRUE(text.contains(s("INDEX")));
    EXPECT_TRUE(text.contains(s("64K"))); // 1 MB of 16-bit stereo at 44.1 kHz
    EXPECT_EQ(text.count(s("two.wav")), 2);

    // Open Folder with no file browser on this desktop to show the file.
    w->selectOnly(0);
    UpdateToolbarState();
    prompts.queue(vx::Answer::Ok);
    picks = QStringList{s("Open Folder")};
    rightRelease(w->lvwReport->viewport());
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().text, s("No file browser could be started to show the file %1.")
                                       .arg(QFileInfo(w->rows()[0].entry.path()).absoluteFilePath()));

    // Open Folder on a file that has gone.
    QFile::remove(dir + s("two.wav"));
    w->selectOnly(2);
    UpdateToolbarState();
    prompts.queue(vx::Answer::Ok);
    picks = QStringList{s("Open Folder")};
    rightRelease(w->lvwReport->viewport());
    EXPECT_EQ(prompts.last().text, s("The file has been moved or deleted. Perform a refresh of the library.  "));
}

TEST_F(ContextMenus, RightClickedSoundShowsItsPropertiesBeforeTheMenu)
{
    using namespace soundtest;
    const QString dir = QString::fromStdString(vxtest::freshDir("ctx-props")) + QLatin1Char('/');
    auto *w = soundLibWith(dir, wave(1, 11025, 8, 4096), wave(1, 8000, 8, 4096));
    ASSERT_EQ(w->rows().size(), 2);
    QWidget *vp = w->lvwReport->viewport();
    const QPoint first = w->lvwReport->visualRect(w->model->index(0, 0)).center();
    const QPoint second = w->lvwReport->visualRect(w->model->index(1, 0)).center();
    QTest::mouseClick(vp, Qt::LeftButton, {}, first);
    EXPECT_EQ(w->lblFile1->text(), s("one.wav"));
    QTest::mousePress(vp, Qt::RightButton, {}, second);
    QTest::mouseRelease(vp, Qt::RightButton, {}, second);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(w->selectedRows(), (std::vector<bool>{false, true}));
    EXPECT_EQ(w->lblFile1->text(), s("two.wav"));
}

TEST_F(ContextMenus, PhoneticWindowMenuCopiesAndClearsWhileADocumentIsOpen)
{
    newWindow<frmTextBox>("mnuFileNewText");
    QWidget *phonetic = PhoneticWindow();
    phonetic->show();
    auto *box = phonetic->findChild<QPlainTextEdit *>();
    ASSERT_NE(box, nullptr);
    main->MDIClient->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(phonetic->parentWidget()));
    box->setPlainText(s("hh ax l ow"));
    box->setFocus();
    box->selectAll();
    UpdateToolbarState();
    picks = QStringList{s("C&lear")};
    rightClickBox(box);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, s("mnuPhmWindow"));
    EXPECT_EQ(seen[0].items, (QStringList{s("&Copy"), s("C&lear")}));
    EXPECT_TRUE(box->toPlainText().isEmpty());
}

// The items the menu image list names carry their pictures, in every menu.
TEST_F(ContextMenus, ItemsShowThePicturesOfTheMenuImageList)
{
    const QStringList named = {s("&New"),          s("&Open..."),    s("Open Folder"), s("&Paste"),
                               s("&Find..."),      s("&Copy"),       s("Cu&t"),        s("&Delete"),
                               s("&Download..."),  s("&Sound Library"), s("&Dictionary"), s("&Text Box"),
                               s("P&references"),  s("Pla&y"),       s("&Record..."),  s("C&ompile..."),
                               s("&Add..."),       s("&Insert..."),  s("Re&fresh"),    s("&Edit..."),
                               s("&Music Score"),  s("&Hide/Show"),  s("Comment"),     s("Uncomment")};
    QStringList found;
    for (const char *name : {"mnuMDIForm", "mnuSoundLib", "mnuTextWindow", "mnuDictionary", "mnuMusic", "mnuPhmWindow"}) {
        std::unique_ptr<QMenu> menu(BuildPopupMenu(s(name)));
        ASSERT_TRUE(menu);
        QList<QAction *> items = menu->actions();
        for (int i = 0; i < items.size(); ++i) {
            QAction *a = items[i];
            if (a->menu())
                items += a->menu()->actions();
            const QString caption = a->text().trimmed();
            if (!named.contains(caption))
                continue;
            found << caption;
            EXPECT_FALSE(a->icon().isNull()) << name << " " << caption.toStdString();
        }
    }
    found.removeDuplicates();
    EXPECT_EQ(found.size(), named.size());
}

TEST_F(ContextMenus, NewDictionaryFillsItsWindowAtItsOpeningSize)
{
    main->RunCommand(s("mnuFileNewDictionary"));
    auto *w = qobject_cast<frmDictionary *>(ActiveDocument());
    ASSERT_NE(w, nullptr);
    QCoreApplication::processEvents();
    // The pane that holds the grid covers the window; left at its unsized
    // default it clips the grid to a corner.
    EXPECT_EQ(w->picTopPane->size(), w->size());
    EXPECT_TRUE(w->vbalGrid1->isVisible());
}
