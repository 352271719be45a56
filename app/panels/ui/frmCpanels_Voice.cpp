#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/panels/PanelCommands.h"
#include "app/panels/ui/PanelWidgets.h"
#include "link/LinkError.h"
#include "link/SerialComm.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>

#include <functional>

// The voice panel: voice preset, text mode, dictionary use, the nine
// parameter sliders and the restore-defaults button.

using vx::panels::place;
using vx::panels::sendCommand;

namespace {

// A label that acts on a click, standing in for a picture button.
class ClickLabel : public QLabel
{
public:
    ClickLabel(const QString &text, QWidget *parent, std::function<void()> onClick)
        : QLabel(text, parent), mOnClick(std::move(onClick))
    {
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            mOnClick();
        QLabel::mouseReleaseEvent(event);
    }

private:
    std::function<void()> mOnClick;
};

} // namespace

void frmCpanels::BuildVoice(QWidget *panel)
{
    lblVoice = new QLabel(QStringLiteral("Voice"), panel);
    lblVoice->setObjectName(QStringLiteral("lblVoice"));
    place(lblVoice, 0, 60, 600, 300);
    cboVoices = new QComboBox(panel);
    cboVoices->setObjectName(QStringLiteral("cboVoices"));
    cboVoices->setProperty("Tag", QStringLiteral("o"));
    cboVoices->setToolTip(QStringLiteral("Loads a voice preset"));
    cboVoices->addItems(vx::VoiceNames(false));
    place(cboVoices, 620, 0, 1900, 330);

    lblMode = new QLabel(QStringLiteral("Mode"), panel);
    lblMode->setObjectName(QStringLiteral("lblMode"));
    place(lblMode, 2700, 60, 550, 300);
    cboMode = new QComboBox(panel);
    cboMode->setObjectName(QStringLiteral("cboMode"));
    cboMode->setToolTip(QStringLiteral("Determines how text is translated"));
    const QStringList modes = vx::ModeNames();
    for (int i = 0; i < modes.size(); ++i)
        cboMode->addItem(modes.at(i), vx::ModeItemData(i));
    place(cboMode, 3250, 0, 1400, 330);

    chkUseDict = new QCheckBox(QStringLiteral(" Use Dictionary"), panel);
    chkUseDict->setObjectName(QStringLiteral("chkUseDict"));
    chkUseDict->setToolTip(QStringLiteral("Enables/disables the dictionary"));
    chkUseDict->setEnabled(false);
    place(chkUseDict, 620, 420, 2000, 300);

    picDefaults = new ClickLabel(QStringLiteral("Restore Defaults"), panel, [this] { picDefaults_Click(); });
    picDefaults->setObjectName(QStringLiteral("picDefaults"));
    picDefaults->setFrameShape(QFrame::StyledPanel);
    picDefaults->setFrameShadow(QFrame::Raised);
    picDefaults->setAlignment(Qt::AlignCenter);
    picDefaults->setCursor(Qt::PointingHandCursor);
    place(picDefaults, 3250, 400, 1400, 340);

    const auto sliders = vx::ParameterSliders();
    for (int i = 0; i < 9; ++i) {
        const vx::ParameterSlider &p = sliders[static_cast<size_t>(i)];
        const int top = 860 + i * 390;
        lblControls[i] = new QLabel(QString::fromLatin1(p.label), panel);
        lblControls[i]->setObjectName(QStringLiteral("lblControls_%1").arg(i));
        place(lblControls[i], 0, top + 30, 1150, 300);
        sldControls[i] = new QSlider(Qt::Horizontal, panel);
        sldControls[i]->setObjectName(QStringLiteral("sldControls_%1").arg(i));
        sldControls[i]->setProperty("Tag", QString::fromLatin1(p.letter));
        sldControls[i]->setRange(0, p.max);
        sldControls[i]->setSingleStep(1);
        sldControls[i]->setPageStep(p.largeChange);
        sldControls[i]->setTickInterval(p.tick);
        sldControls[i]->setTickPosition(QSlider::TicksBelow);
        // A drag sends once, when it ends; the box follows the drag.
        sldControls[i]->setTracking(false);
        place(sldControls[i], 1150, top, 3000, 360);
        txtControlBoxes[i] = new QLineEdit(QStringLiteral("0"), panel);
        txtControlBoxes[i]->setObjectName(QStringLiteral("txtControlBoxes_%1").arg(i));
        txtControlBoxes[i]->setAlignment(Qt::AlignCenter);
        txtControlBoxes[i]->setMaxLength(p.maxLength);
        place(txtControlBoxes[i], 4250, top + 15, 500, 320);

        connect(sldControls[i], &QSlider::sliderMoved, this, [this, i] { sldControls_Scroll(i); });
        connect(sldControls[i], &QSlider::valueChanged, this, [this, i] { sldControls_Change(i); });
        // Typing only: the refresh's own writes must not come back as commands.
        connect(txtControlBoxes[i], &QLineEdit::textEdited, this, [this, i] { txtControlBoxes_Change(i); });
    }

    // The user's choices only; the refresh sets the lists without sending.
    connect(cboVoices, &QComboBox::activated, this, [this] { cboVoices_Click(); });
    connect(cboMode, &QComboBox::activated, this, [this] { cboMode_Click(); });
    connect(chkUseDict, &QCheckBox::clicked, this, [this] { chkUseDict_Click(); });
}

void frmCpanels::cboVoices_Click()
{
    const QString text = vx::VoiceCommand(cboVoices->currentIndex());
    cboVoices->setToolTip(vx::CommandToolTip(ChipModel, text));
    if (Port != 0) {
        StopRequested = false;
        sendCommand(vx::LiveCommand(CmdChar, text));
        UpdateControls();
    }
}

void frmCpanels::cboMode_Click()
{
    const int mode = cboMode->currentIndex();
    cboMode->setToolTip(vx::CommandToolTip(ChipModel, vx::ModeLetter(mode)));
    if (Port != 0) {
        StopRequested = false;
        for (const QString &s : vx::ModeSends(CmdChar, mode, chkUseDict->isChecked()))
            sendCommand(s);
        UpdateControls();
    } else {
        // The delay's letter follows the mode.
        sldControls_Change(vx::kDelaySlider);
    }
}

void frmCpanels::chkUseDict_Click()
{
    if (UpdatingControls || Port == 0)
        return;
    StopRequested = false;
    for (const QString &s : vx::UseDictSends(CmdChar, chkUseDict->isChecked(), cboMode->currentIndex()))
        sendCommand(s);
    UpdateControls();
}

void frmCpanels::sldControls_Scroll(int Index)
{
    txtControlBoxes[Index]->setText(QString::number(sldControls[Index]->sliderPosition()));
}

void frmCpanels::sldControls_Change(int Index)
{
    const int value = sldControls[Index]->value();
    const QString text = vx::ParameterCommand(Index, value, cboMode->currentIndex());
    if (Port != 0 && !UpdatingControls) {
        StopRequested = false;
        sendCommand(vx::LiveCommand(CmdChar, text));
    }
    const QString tip = vx::CommandToolTip(ChipModel, text);
    sldControls[Index]->setToolTip(tip);
    lblControls[Index]->setToolTip(tip);
    // Keys and clicks on the slider move it without a drag; the box follows.
    if (txtControlBoxes[Index]->text() != QString::number(value))
        txtControlBoxes[Index]->setText(QString::number(value));
}

void frmCpanels::txtControlBoxes_Change(int Index)
{
    StopRequested = false;
    QLineEdit *box = txtControlBoxes[Index];
    // Digits only, held to the slider's range: a value the slider cannot
    // take never reaches it or the chip.
    const int value = vx::ClampParameter(Index, box->text(), mNativeRanges);
    if (!box->text().isEmpty() && box->text() != QString::number(value))
        box->setText(QString::number(value));
    sldControls[Index]->setValue(value);
}

void frmCpanels::picDefaults_Click()
{
    const vx::Answer a = vx::MsgBox(vx::RestoreDefaultsQuestion(ChipModel), vx::Buttons::YesNo, vx::Icon::Question,
                                    QStringLiteral("Restore Default Settings"), 2);
    if (a != vx::Answer::Yes || Port < 1 || !Comm)
        return;
    // Written straight to the port, as the chip is to reset at once.
    try {
        for (const QString &s : vx::RestoreDefaultsSends(CmdChar, For10))
            Comm->setOutput(s);
    } catch (const LinkError &) {
    }
    UpdateControls();
}
