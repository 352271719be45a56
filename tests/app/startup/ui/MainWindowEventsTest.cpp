// The main window's events outside start-up and shutdown: file drops, the
// right click on its empty area, the hover timer, the progress and status
// events of the converter and the link library.
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/Globals.h"
#include "app/startup/ui/frmMDI.h"
#include "app/documents/ui/Documents.h"
#include "tests/support/TestEnv.h"
#include "common/ui/Rollover.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QCursor>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class MainWindowEventsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        Busy = false;
        StopRequested = false;
        ProgressCancel = false;
    }
    void TearDown() override
    {
        ResetDocuments();
        setPopupMenuDriver(nullptr);
        vx::resetRollover();
        frmProgress::Unload();
        Busy = false;
        StopRequested = false;
    }

    static QMimeData *files(const QStringList &paths)
    {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls << QUrl::fromLocalFile(p);
        data->setUrls(urls);
        return data;
    }

    bool dragEnterAccepted(const QMimeData *data)
    {
        QDragEnterEvent enter(QPoint(50, 80), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&main, &enter);
        return enter.isAccepted();
    }

    // The files of the open document windows, in slot order.
    static QStringList opened()
    {
        QStringList out;
        for (int s = kFirstDocumentSlot; s < DocState.size(); ++s)
            if (!DocState[s].Deleted)
                out << QFileInfo(DocState[s].FileName).fileName();
        return out;
    }

    frmMDI main;
};

TEST_F(MainWindowEventsTest, DroppedFilesOpenInOrder)
{
    const QString dir = QString::fromStdString(vxtest::freshDir("drop"));
    for (const char *name : {"a.txt", "b.xyz", "c d.txt"}) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("hello");
    }
    std::unique_ptr<QMimeData> data(files({dir + QStringLiteral("/a.txt"), dir + QStringLiteral("/b.xyz"),
                                           dir + QStringLiteral("/c d.txt")}));
    EXPECT_TRUE(dragEnterAccepted(data.get()));
    vx::ScriptedPrompter prompts;
    prompts.queue(vx::Answer::Ok);
    QDropEvent drop(QPointF(50, 80), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &drop);
    // Every path goes to the opener (as the command line's does), which
    // refuses the kinds it does not know as File > Open does.
    EXPECT_EQ(opened(), QStringList({QStringLiteral("a.txt"), QStringLiteral("c d.txt")}));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().text, QStringLiteral("Could not load ") + dir + QStringLiteral("/b.xyz.  "));
    EXPECT_EQ(prompts.last().title, QStringLiteral("Open File"));

    // A command that the drop's own event processing let start (it holds
    // the chip now) is not run into: the drop opens nothing.
    ResetDocuments();
    DocState.clear();
    QTimer::singleShot(0, [] { Busy = true; });
    main.MDIForm_OLEDragDrop(data.get());
    EXPECT_TRUE(opened().isEmpty());
    Busy = false;

    // Plain text may be dragged over, and dropping it does nothing.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_TRUE(dragEnterAccepted(&text));
    ResetDocuments();
    DocState.clear();
    main.MDIForm_OLEDragDrop(&text);
    EXPECT_TRUE(opened().isEmpty());

    // Anything else, or anything during a long operation, is refused.
    QMimeData image;
    image.setData(QStringLiteral("image/png"), QByteArray("x"));
    EXPECT_FALSE(dragEnterAccepted(&image));
    Busy = true;
    EXPECT_FALSE(dragEnterAccepted(data.get()));
    QDragMoveEvent move(QPoint(60, 90), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main, &move);
    EXPECT_FALSE(move.isAccepted());
}

TEST_F(MainWindowEventsTest, RightClickShowsTheMenuUnlessBusy)
{
    int menus = 0;
    QWidget *owner = nullptr;
    setPopupMenuDriver([&](QWidget *w, QMenu *menu) {
        EXPECT_EQ(menu->objectName(), QStringLiteral("mnuMDIForm"));
        ++menus;
        owner = w;
    });
    main.resize(400, 300);
    main.show();
    QWidget *area = main.MDIClient->viewport();
    auto release = [&](Qt::MouseButton b) {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(20, 20), area->mapToGlobal(QPointF(20, 20)), b,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &e);
    };
    release(Qt::LeftButton);
    EXPECT_EQ(menus, 0);
    release(Qt::RightButton);
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(owner, &main);
    Busy = true;
    release(Qt::RightButton);
    EXPECT_EQ(menus, 1);
    Busy = false;

    // A right click inside a document window is that window's, even when
    // the control under the pointer lets the click pass on.
    auto *doc = new QLabel(QStringLiteral("text"));
    QMdiSubWindow *sub = main.MDIClient->addSubWindow(doc);
    sub->setGeometry(0, 0, 200, 150);
    sub->show();
    const QPointF inside(10, 10);
    QMouseEvent e(QEvent::MouseButtonRelease, inside, doc->mapToGlobal(inside), Qt::RightButton, Qt::NoButton,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(doc, &e);
    EXPECT_EQ(menus, 1);
}

TEST_F(MainWindowEventsTest, TimerClearsTheHoverHighlight)
{
    EXPECT_EQ(main.Timer1->interval(), 250);
    EXPECT_FALSE(main.Timer1->isActive());
    QLabel label(QStringLiteral("Tab"));
    QCursor::setPos(10, 10);
    SetRollover(&label);
    EXPECT_EQ(vx::rolloverHot(), &label);
    EXPECT_TRUE(main.Timer1->isActive());
    // A tick with the pointer at rest keeps the highlight; the first after a move ends it.
    main.Timer1_Timer();
    EXPECT_EQ(vx::rolloverHot(), &label);
    QCursor::setPos(40, 40);
    QTimer::singleShot(1000, [&] { main.Timer1->stop(); });
    while (main.Timer1->isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(vx::rolloverHot(), nullptr);
    EXPECT_FALSE(label.font().underline());
}

TEST_F(MainWindowEventsTest, LinkProgressAnswersStopRequested)
{
    frmProgress *p = frmProgress::instance();
    p->ProgressSetup(3, true, QStringLiteral("Download"), QStringLiteral("Sending"), QString());
    ProgressBar = p->vbalProgress;

    StopRequested = true;
    bool cancel = false;
    main.cTolv_PercentDone(100, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(p->vbalProgress->value(), 100);
    EXPECT_EQ(p->vbalProgress->text(), QStringLiteral("100%"));

    StopRequested = false;
    main.cTolv_PercentDone(37, cancel);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(p->vbalProgress->text(), QStringLiteral("37%"));

    // The converter answers the progress dialog's own flag.
    ProgressCancel = true;
    cancel = false;
    main.cSonv_PercentDone(42, cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(p->vbalProgress->value(), 42);
    EXPECT_EQ(p->vbalProgress->text(), QStringLiteral("42%"));
    ProgressCancel = false;

    // With the dialog gone the handlers only answer.
    frmProgress::Unload();
    EXPECT_TRUE(ProgressBar.isNull());
    StopRequested = true;
    cancel = false;
    main.cTolv_PercentDone(50, cancel);
    EXPECT_TRUE(cancel);
}

TEST_F(MainWindowEventsTest, TransferStartShowsDownloading)
{
    frmProgress *p = frmProgress::instance();
    p->ProgressSetup(3, false, QStringLiteral("Download"), QStringLiteral("a.dix"), QString());
    main.cTolv_ChipStatus(6);
    EXPECT_EQ(p->lblProgressMsg1->text(), QString()); // an empty line stays empty
    p->lblProgressMsg1->setText(QStringLiteral("Preparing..."));
    main.cTolv_ChipStatus(6);
    EXPECT_EQ(p->lblProgressMsg1->text(), QStringLiteral("Downloading..."));
    p->hide();
    p->lblProgressMsg1->setText(QStringLiteral("Preparing..."));
    main.cTolv_ChipStatus(6);
    EXPECT_EQ(p->lblProgressMsg1->text(), QStringLiteral("Preparing..."));
}

} // namespace
