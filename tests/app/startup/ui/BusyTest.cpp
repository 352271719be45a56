#include "app/startup/Busy.h"
#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/startup/ui/frmMDI.h"

#include <QAction>

#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Child : MdiChild
{
    vx::WindowKind kind() const override { return vx::WindowKind::Text; }
    WindowState state() const override { return {}; }
};

// Three registry slots with windows; slot 1 is closed.
class BusyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        Busy = false;
        CompilingLibrary = false;
        for (int i = 0; i < 3; ++i) {
            windows.push_back(std::make_unique<Child>());
            windows.back()->show();
        }
        DocState = QVector<DocRecord>(3);
        DocState[0].Deleted = false;
        DocState[1].Deleted = true;
        DocState[2].Deleted = false;
        ActiveDocIndex = 2;
        Documents = {windows[0].get(), windows[1].get(), windows[2].get()};
        main = std::make_unique<frmMDI>();
    }
    void TearDown() override
    {
        Documents.clear();
        main.reset();
        DocState.clear();
        Busy = false;
        CompilingLibrary = false;
    }

    // The menus show whether the menu state was refreshed after each step.
    [[nodiscard]] bool menusOn() const { return main->Item(QStringLiteral("mnuFile"))->isEnabled(); }
    [[nodiscard]] bool saveOn() const { return main->Item(QStringLiteral("mnuFileSave"))->isEnabled(); }

    std::unique_ptr<frmMDI> main;
    std::vector<std::unique_ptr<Child>> windows;
};

} // namespace

TEST_F(BusyTest, BeginDisablesOpenWindowsAndOneEndEndsTheBusyState)
{
    BeginBusy();
    BeginBusy();
    EXPECT_TRUE(Busy);
    EXPECT_FALSE(menusOn());
    EXPECT_FALSE(windows[0]->isEnabled());
    EXPECT_TRUE(windows[1]->isEnabled()); // closed slot untouched
    EXPECT_FALSE(windows[2]->isEnabled());

    EndBusy();
    EXPECT_FALSE(Busy);
    EXPECT_TRUE(windows[0]->isEnabled());
    EXPECT_TRUE(windows[2]->isEnabled());
    EXPECT_FALSE(SuppressActivate);
    EXPECT_TRUE(menusOn());
}

// Whatever the kind of window, the control that had its focus has it again.
TEST_F(BusyTest, TheFocusGoesBackToTheControlThatHadIt)
{
    auto *first = new QLineEdit(windows[2].get());
    auto *second = new QLineEdit(windows[2].get());
    second->show();
    first->show();
    second->setFocus();
    BeginBusy();
    EndBusy();
    EXPECT_EQ(windows[2]->focusWidget(), second);

    // One the task's end focused on purpose keeps it.
    BeginBusy();
    windows[2]->setEnabled(true);
    first->setFocus();
    EndBusy();
    EXPECT_EQ(windows[2]->focusWidget(), first);
}

TEST_F(BusyTest, NothingChangesWhileASoundLibraryCompiles)
{
    CompilingLibrary = true;
    BeginBusy();
    EXPECT_FALSE(Busy);
    EXPECT_TRUE(windows[0]->isEnabled());
    Busy = true;
    EndBusy();
    EXPECT_TRUE(Busy);
    EXPECT_TRUE(saveOn()); // never refreshed: the state the menus were built with
}

TEST_F(BusyTest, EndWithAHiddenActiveWindowStillRefreshesTheToolbar)
{
    windows[2]->hide();
    BeginBusy();
    EndBusy();
    EXPECT_FALSE(Busy);
    EXPECT_TRUE(menusOn());
    EXPECT_FALSE(saveOn()); // refreshed: no document window reports a change
    EXPECT_TRUE(windows[2]->isEnabled());
}

TEST_F(BusyTest, WorksWithNoWindowsInstalled)
{
    Documents.clear();
    main.reset();
    BeginBusy();
    EXPECT_TRUE(Busy);
    EndBusy();
    EXPECT_FALSE(Busy);
}
