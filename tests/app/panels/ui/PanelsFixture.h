#pragma once

// The control panel window against the in-process chip on port 1, with the
// main window up, a lenient scripted prompter, and the emulation notice
// answered (and counted) as it shows.

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/SerialComm.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "tests/support/Ui.h"
#include "tests/support/SimLink.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include <gtest/gtest.h>

#include <memory>

namespace panels_test {

inline const QByteArray kCmd("\x01", 1);

inline QByteArray live(const char *text)
{
    return kCmd + QByteArray(text) + QByteArray(1, '\0');
}

class PanelsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        vx::Clock::setSpeed(20);
        prompter.setLenient(true);
        previous = vx::setPrompter(&prompter);
        link = vxtest::openSimLink(QStringLiteral("9600,N,8,1"), QByteArray("\r"));
        chip = chipsim::simulatedChip(1);
        Port = 1;
        ChipModel = QStringLiteral("SV3420");
        main = std::make_unique<frmMDI>();
        // The emulation notice is answered at once and counted.
        okTimer.setInterval(5);
        QObject::connect(&okTimer, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QStringLiteral("frmWarning") && w->isVisible()) {
                    ++warningsShown;
                    vxtest::click(w, "cmdOk");
                }
            }
        });
        okTimer.start();
        panels = ControlPanels();
        chip->clearLogs();
    }

    void TearDown() override
    {
        okTimer.stop();
        ResetDocuments();
        main.reset();
        vxtest::closeSimLink(link);
        vx::setPrompter(previous);
        vx::Clock::setSpeed(1);
    }

    // The commands the chip acted on, as letters (the link's status queries left out).
    [[nodiscard]] QString letters() const
    {
        QString out;
        for (const chipsim::Command &c : chip->commandLog())
            if (c.letter != '?')
                out += QLatin1Char(c.letter);
        return out;
    }
    [[nodiscard]] int warnings() const { return warningsShown; }
    [[nodiscard]] QString statusPanel(int n) const { return main->sbStatusBar->PanelText(n); }

    vx::ScriptedPrompter prompter;
    vx::Prompter *previous = nullptr;
    std::unique_ptr<cTolvane> link;
    chipsim::Chip *chip = nullptr;
    std::unique_ptr<frmMDI> main;
    frmCpanels *panels = nullptr;
    QTimer okTimer;
    int warningsShown = 0;
};

} // namespace panels_test
