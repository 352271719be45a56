#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/documents/ui/TextBox.h"
#include "app/panels/ui/PanelWidgets.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Speaking.h"
#include "common/TextUtil.h"

#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The tone generator: two frequencies and a duration become the chip's tone
// command, collected in a command box that the toolbar's Play sends; the
// dialer's keys fill the boxes and play their tone at once.

using vx::panels::place;

namespace {

// Ctrl+P plays the box, Ctrl+S stops, Escape drops the selection.
class ToneKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The edit commands follow the box's focus and selection.
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::KeyRelease ||
            event->type() == QEvent::MouseButtonRelease) {
            UpdateToolbarState();
            return false;
        }
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
            !qobject_cast<TextBox *>(watched))
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        auto *box = static_cast<TextBox *>(watched);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        if (ctrl && key->key() == Qt::Key_P) {
            const QAction *play = ToolbarButton(QStringLiteral("Play"));
            if (play && play->isEnabled()) {
                PlayTextOrRecording();
                box->setFocus();
            }
            return true;
        }
        if (ctrl && key->key() == Qt::Key_S) {
            StopPlayback();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            box->clearSelection();
            return true;
        }
        return false;
    }
};

} // namespace

void frmCpanels::BuildToneGen(QWidget *panel)
{
    auto addLabel = [panel](const char *name, const char *text, int l, int t, int w) {
        auto *lbl = new QLabel(QString::fromLatin1(text), panel);
        lbl->setObjectName(QString::fromLatin1(name));
        place(lbl, l, t, w, 300);
    };
    auto *mouseUp = new ToneKeys(panel);
    auto addBox = [this, panel, mouseUp](const char *name, const char *text, int maxLength, int l, int t) {
        auto *box = new QLineEdit(QString::fromLatin1(text), panel);
        box->setObjectName(QString::fromLatin1(name));
        box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        box->setMaxLength(maxLength);
        place(box, l, t, 800, 330);
        connect(box, &QLineEdit::textEdited, this, [box] {
            QString t = box->text();
            box->setText(ForceDigitsOnly(t));
            UpdateToolbarState();
        });
        box->installEventFilter(mouseUp);
        connect(box, &QLineEdit::editingFinished, this, [this, box] {
            ToneBox_Validate(box);
            box->deselect();
            ComputeToneParameters();
        });
        return box;
    };
    addLabel("lblF1", "Freq 1:", 0, 60, 650);
    txtF1 = addBox("txtF1", "0", 4, 650, 0);
    addLabel("lblF1Hz", "Hz", 1500, 60, 400);
    addLabel("lblF2", "Freq 2:", 0, 460, 650);
    txtF2 = addBox("txtF2", "0", 4, 650, 400);
    addLabel("lblF2Hz", "Hz", 1500, 460, 400);
    addLabel("lblDur", "Dur:", 0, 860, 650);
    txtDur = addBox("txtDur", "500", 5, 650, 800);
    addLabel("lblDurMs", "ms", 1500, 860, 400);

    cmdAdd = new QPushButton(QStringLiteral(">>"), panel);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setToolTip(QStringLiteral("Add tone pair to command box"));
    place(cmdAdd, 1950, 400, 500, 330);
    connect(cmdAdd, &QPushButton::clicked, this, [this] {
        ComputeToneParameters();
        cmdAdd_Click();
    });

    auto *fraCmd = new QGroupBox(QStringLiteral(" Commands "), panel);
    fraCmd->setObjectName(QStringLiteral("fraCmd"));
    place(fraCmd, 2550, 0, 2800, 1600);
    txtInputBox = new TextBox(fraCmd);
    txtInputBox->setObjectName(QStringLiteral("txtInputBox"));
    place(txtInputBox, 100, 250, 2600, 900);
    auto *keys = new ToneKeys(txtInputBox);
    txtInputBox->installEventFilter(keys);
    txtInputBox->viewport()->installEventFilter(keys);
    connect(txtInputBox, &QPlainTextEdit::textChanged, this, [] { UpdateToolbarState(); });
    cmdClear = new QPushButton(QStringLiteral("Clear"), fraCmd);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    place(cmdClear, 1900, 1200, 800, 330);
    connect(cmdClear, &QPushButton::clicked, this, &frmCpanels::cmdClear_Click);
    auto *tip = new QLabel(QStringLiteral("Click the Play button in the toolbar to play the tones."), panel);
    tip->setObjectName(QStringLiteral("lblTGCmdsTip"));
    tip->setWordWrap(true);
    place(tip, 0, 1300, 2450, 500);

    auto *fraDialer = new QGroupBox(QStringLiteral(" Phone Dialer "), panel);
    fraDialer->setObjectName(QStringLiteral("fraDialer"));
    place(fraDialer, 0, 1850, 5350, 2300);
    // Four rows of the telephone pad with the A-D column, then the signals.
    static const int kLayout[5][4] = {{1, 2, 3, 12}, {4, 5, 6, 13}, {7, 8, 9, 14}, {10, 0, 11, 15}, {16, 17, 18, 19}};
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 4; ++col) {
            const vx::DialerKey *key = vx::FindDialerKey(kLayout[row][col]);
            auto *b = new QPushButton(QString::fromLatin1(key->caption), fraDialer);
            b->setObjectName(QStringLiteral("cmdDialer_%1").arg(key->index));
            b->setCursor(Qt::PointingHandCursor);
            if (key->toolTip)
                b->setToolTip(QString::fromLatin1(key->toolTip));
            place(b, 150 + col * 1300, 250 + row * 400, 1200, 360);
            connect(b, &QPushButton::clicked, this, [this, i = key->index] { cmdDialer_Click(i); });
            cmdDialer[key->index] = b;
        }
    }
}

void frmCpanels::ToneBox_Validate(QLineEdit *box)
{
    const auto kind = box == txtDur ? vx::ToneBox::Duration : vx::ToneBox::Frequency;
    box->setText(vx::ValidateToneBox(kind, box->text(), SV10Emulation));
}

void frmCpanels::ComputeToneParameters()
{
    const std::optional<int> lowered = vx::ComputeToneParameters(txtF1->text().toInt(), txtF2->text().toInt(),
                                                                 txtDur->text().toInt(), SV10Emulation, mTone);
    if (lowered)
        txtDur->setText(QString::number(*lowered));
}

void frmCpanels::cmdAdd_Click()
{
    txtInputBox->setText(vx::AppendToneCommand(txtInputBox->Text(), vx::ToneCommandText(mTone, SV10Emulation)));
    txtInputBox->setFocus();
}

void frmCpanels::cmdClear_Click()
{
    txtInputBox->setText(QString());
    txtInputBox->setFocus();
}

void frmCpanels::cmdDialer_Click(int Index)
{
    const vx::DialerKey *key = vx::FindDialerKey(Index);
    if (!key)
        return;
    txtF1->setText(QString::number(key->f1));
    txtF2->setText(QString::number(key->f2));
    ToneBox_Validate(txtDur);
    ComputeToneParameters();
    cmdAdd_Click();
    if (!vx::DialerKeyPlays(Index, Busy))
        return;
    StopRequested = false;
    vx::panels::sendCommand(vx::ToneCommandLive(mTone, SV10Emulation, CmdChar));
}
