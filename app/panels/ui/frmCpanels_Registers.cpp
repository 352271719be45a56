#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/panels/PanelCommands.h"
#include "app/panels/ui/PanelWidgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

// The registers panel: the Audio Control, Protocol Options and Punctuation
// Filter registers as rows of bit buttons, bit 7 at the left.

using vx::panels::place;
using vx::panels::sendCommand;

namespace {

struct Bit
{
    const char *label;
    const char *toolTip; // nullptr: none
};

const char *const kBitRate = "Bit Rate";
const char *const kFilterMode = "Filter Mode: 00 = Speak All, 01 = Most, 10 = Some, 11 = None";

const Bit kACR[8] = {
    {"BR0", kBitRate},
    {"BR1", kBitRate},
    {"BR2", kBitRate},
    {"TCP", "Transfer Clock Polarity: 0 = falling edge, 1 = rising edge"},
    {"TF", "Transfer Format: 0 = LSB first, 1 = MSB first"},
    {"DPC", "DAOUT Pin Control: 0 = CMOS, 1 = open-drain"},
    {"TM", "Transfer Mode: 0 = asynchronous; 1 = synchronous"},
    {"AM", "Audio Mode: 0 = analog, 1 = digital"},
};
const Bit kPOR[8] = {
    {"STM", "Status Messages: 0 = disabled, 1 = enabled"},
    {"R", nullptr},
    {"RTC", "Real-Time Control: 0 = disabled, 1 = enabled"},
    {"TAG", "Index/Tag (recording memory addressing mode): 0 = reference by index, 1 = reference by tag"},
    {"S10", "SV3410 Compatibility: 0 = enabled, 1 = disabled"},
    {"DDUR", "DTMF Duration: 0 = 100 ms, 1 = 500 ms"},
    {"SAT", "Saturate: 0 = parameters wrap, 1 = parameters saturate"},
    {"SM3", "SM340 Compatibility: 0 = enabled, 1 = disabled"},
};
const Bit kPFR[8] = {
    {"FM0", kFilterMode},
    {"FM1", kFilterMode},
    {"NM", "Numbers Mode: 0 = Digits, 1 = Numbers"},
    {"LZS", "Leading Zero Suppression: 0 = suppress leading zeroes, 1 = do not suppress leading zeroes"},
    {"YM", "Years Mode: 0 = enabled, 1 = disabled"},
    {"R", nullptr},
    {"R", nullptr},
    {"R", nullptr},
};

QGroupBox *buildRegister(QWidget *panel, const char *name, const char *caption, const char *prefix, const Bit (&bits)[8],
                         int top, QPushButton *(&buttons)[8], QLabel *(&labels)[8])
{
    auto *frame = new QGroupBox(QString::fromLatin1(caption), panel);
    frame->setObjectName(QString::fromLatin1(name));
    place(frame, 0, top, 5250, 1350);
    for (int i = 0; i < 8; ++i) {
        const int left = 150 + (7 - i) * 620;
        buttons[i] = new QPushButton(i == 0 ? QStringLiteral("1") : QStringLiteral("0"), frame);
        buttons[i]->setObjectName(QStringLiteral("cmd%1_%2").arg(QLatin1String(prefix)).arg(i));
        buttons[i]->setCursor(Qt::PointingHandCursor);
        buttons[i]->setFocusPolicy(Qt::TabFocus);
        if (bits[i].toolTip)
            buttons[i]->setToolTip(QString::fromLatin1(bits[i].toolTip));
        place(buttons[i], left, 330, 520, 450);
        labels[i] = new QLabel(QString::fromLatin1(bits[i].label), frame);
        labels[i]->setObjectName(QStringLiteral("lbl%1_%2").arg(QLatin1String(prefix)).arg(i));
        labels[i]->setAlignment(Qt::AlignCenter);
        place(labels[i], left - 40, 850, 600, 300);
    }
    return frame;
}

} // namespace

int16_t GetRegisterValue(QPushButton *const (&bits)[8])
{
    QStringList captions;
    for (QPushButton *b : bits)
        captions << b->text();
    return vx::GetRegisterValue(captions);
}

void frmCpanels::BuildRegisters(QWidget *panel)
{
    fraACR = buildRegister(panel, "fraACR", " Audio Control Register ", "ACR", kACR, 0, cmdACR, lblACR);
    fraPOR = buildRegister(panel, "fraPOR", " Protocol Options Register ", "POR", kPOR, 1450, cmdPOR, lblPOR);
    fraPFR = buildRegister(panel, "fraPFR", " Punctuation Filter Register ", "PFR", kPFR, 2900, cmdPFR, lblPFR);
    for (int i = 0; i < 8; ++i) {
        connect(cmdACR[i], &QPushButton::clicked, this, [this, i] { cmdACR_Click(i); });
        connect(cmdPOR[i], &QPushButton::clicked, this, [this, i] { cmdPOR_Click(i); });
        connect(cmdPFR[i], &QPushButton::clicked, this, [this, i] { cmdPFR_Click(i); });
    }
}

void frmCpanels::RegisterClick(QPushButton *const (&bits)[8], QGroupBox *frame, char letter, int Index)
{
    if (UpdatingControls || Index < 0 || Index > 7)
        return;
    bits[Index]->setText(vx::ToggledBitCaption(bits[Index]->text()));
    const QString command = vx::RegisterCommand(GetRegisterValue(bits), letter);
    if (Port != 0) {
        StopRequested = false;
        sendCommand(vx::LiveCommand(CmdChar, command));
        // The chip's answer rewrites every bit.
        UpdateControls();
    } else {
        frame->setToolTip(vx::CommandToolTip(ChipModel, command));
    }
}

void frmCpanels::cmdACR_Click(int Index)
{
    RegisterClick(cmdACR, fraACR, 'n', Index);
}

void frmCpanels::cmdPOR_Click(int Index)
{
    RegisterClick(cmdPOR, fraPOR, 'g', Index);
}

void frmCpanels::cmdPFR_Click(int Index)
{
    RegisterClick(cmdPFR, fraPFR, 'b', Index);
}
