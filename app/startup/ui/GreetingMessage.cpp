#include "app/startup/ui/GreetingMessage.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/startup/Greeting.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/frmMDI.h"
#include "common/SafeFile.h"
#include "common/TextUtil.h"
#include "platform/FileNames.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileInfo>
#include <QSlider>

#include <string>

namespace {

const QString kTitle = QStringLiteral("Create Greeting Message");

// The control panel values as they stand; zero without the panels.
GreetingControls panelValues()
{
    GreetingControls c;
    frmMDI *main = frmMDI::instance();
    QWidget *panels = main ? main->panelsWindow() : nullptr;
    if (!panels)
        return c;
    const auto combo = [panels](const char *name) {
        auto *box = panels->findChild<QComboBox *>(QLatin1String(name));
        return box ? box->currentIndex() : 0;
    };
    const auto reg = [panels](const char *prefix) {
        int value = 0;
        for (int i = 0; i < 8; ++i) {
            auto *bit = panels->findChild<QAbstractButton *>(QStringLiteral("cmd%1_%2").arg(QLatin1String(prefix)).arg(i));
            if (bit && bit->text() == QLatin1String("1"))
                value += 1 << i;
        }
        return value;
    };
    c.voice = combo("cboVoices");
    c.modeIndex = combo("cboMode");
    for (int i = 0; i < 9; ++i) {
        if (auto *s = panels->findChild<QSlider *>(QStringLiteral("sldControls_%1").arg(i)))
            c.sliders[std::size_t(i)] = s->value();
    }
    c.acr = reg("ACR");
    c.por = reg("POR");
    c.pfr = reg("PFR");
    if (auto *box = panels->findChild<QAbstractButton *>(QStringLiteral("chkUseDict")))
        c.useDict = box->isChecked();
    return c;
}

} // namespace

void CreateGreetingMessage(const QString &path)
{
    auto *window = qobject_cast<frmTextBox *>(ActiveDocument());
    if (!window)
        return;
    // Counted as the chip gets it: each line break is CR LF.
    const QString message = GreetingMessageText(vx::toCrLf(window->txtInputBox->Text()), CommandChar);
    const QString controls = GrtCtls ? GreetingControlSettings(panelValues()) : QString();

    const qsizetype excess = GreetingExcess(controls, message);
    if (excess > 0) {
        vx::MsgBox(GreetingTooLongMessage(excess, GrtCtls), vx::Buttons::Ok, vx::Icon::Exclamation,
                   QStringLiteral("Error"), 1, kGreetingHelpTopic);
        return;
    }
    if (const char group = GreetingRefusedGroup(message)) {
        vx::MsgBox(GreetingRefusedMessage(group), vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Error"));
        return;
    }

    if (!vx::confirmCharacterLoss(message, path))
        return;
    const QByteArray bytes = BuildGreetingFile(controls, message);
    std::string error;
    if (!vx::writeFileAtomically(vx::fileNameBytes(path).toStdString(), std::string_view(bytes.constData(), std::size_t(bytes.size())),
                                 &error)) {
        vx::MsgBox(QStringLiteral("Error 75: ") + QString::fromStdString(error), vx::Buttons::Ok,
                   vx::Icon::Exclamation);
        return;
    }

    const QString name = ProperCase(QFileInfo(path).fileName());
    if (Port > 0) {
        if (vx::MsgBox(GreetingCreatedQuestion(name, ModuleName), vx::Buttons::YesNo, vx::Icon::Question, kTitle,
                       2) == vx::Answer::Yes)
            DownloadGreeting(path);
    } else {
        vx::MsgBox(GreetingCreatedMessage(name), vx::Buttons::Ok, vx::Icon::Information, kTitle);
    }
}
