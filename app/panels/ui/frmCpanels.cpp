#include "app/panels/ui/frmCpanels.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/panels/PanelCommands.h"
#include "app/panels/ui/PanelWidgets.h"
#include "common/ui/Rollover.h"
#include "app/startup/MainWindowRules.h"
#include "app/shell/ui/ToolbarState.h"
#include "link/cTolvane.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"

#include <QBoxLayout>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>

// The window's shell: the tab bar, panel switching, locking, activation and
// closing. The panels' own controls are built in frmCpanels_*.cpp.

using vx::panels::place;

namespace {

constexpr int kWidth = 7030;
constexpr int kHeight = 5640;
constexpr int kPanelLeft = 1520;
constexpr int kPanelTop = 700;
constexpr int kParked = -20000;

const char *const kTabCaptions[5] = {"Tone Generator", " TTS  Controls", "SV3420 Registers", "A/D Converter",
                                     "Sound Recorder"};

} // namespace

frmCpanels::frmCpanels(QWidget *parent)
    : MdiChild(parent)
{
    setObjectName(QStringLiteral("frmCpanels"));
    setWindowTitle(QStringLiteral("Control Panels"));
    // The window lives as long as the program; a close only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    QFont face(QStringLiteral("Tahoma"));
    face.setPointSizeF(8);
    setFont(face);
    setFixedSize(vx::twipsToPixels(kWidth), vx::twipsToPixels(kHeight));

    BuildShell();
    BuildToneGen(picPanel[0]);
    BuildVoice(picPanel[1]);
    BuildRegisters(picPanel[2]);
    BuildAdc(picPanel[3]);
    BuildRecorder(picPanel[4]);
}

void frmCpanels::BuildShell()
{
    shaCPFrame = new QFrame(this);
    shaCPFrame->setObjectName(QStringLiteral("shaCPFrame"));
    shaCPFrame->setFrameShape(QFrame::Box);
    shaCPFrame->setFrameShadow(QFrame::Sunken);
    place(shaCPFrame, kPanelLeft - 60, 60, kWidth - kPanelLeft, kHeight - 120);

    imgCPTitle = new QLabel(this);
    imgCPTitle->setObjectName(QStringLiteral("imgCPTitle"));
    imgCPTitle->setAutoFillBackground(true);
    imgCPTitle->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1f3f6f, stop:1 #7fa4d4);"));
    place(imgCPTitle, kPanelLeft - 45, 75, kWidth - kPanelLeft - 30, 480);

    lblCPTitle = new QLabel(this);
    lblCPTitle->setObjectName(QStringLiteral("lblCPTitle"));
    QFont title = lblCPTitle->font();
    title.setBold(true);
    title.setPointSizeF(11);
    lblCPTitle->setFont(title);
    lblCPTitle->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    place(lblCPTitle, kPanelLeft + 60, 120, kWidth - kPanelLeft - 200, 400);

    lblProgressMsg = new QLabel(this);
    lblProgressMsg->setObjectName(QStringLiteral("lblProgressMsg"));
    place(lblProgressMsg, kPanelLeft, kHeight - 420, kWidth - kPanelLeft - 100, 300);

    // The tab bar: a picture per tab with its caption on it, and the marker
    // that sits over the shown one.
    for (int i = 0; i < 5; ++i) {
        picCPanels[i] = new QFrame(this);
        picCPanels[i]->setObjectName(QStringLiteral("picCPanels_%1").arg(i));
        picCPanels[i]->setFrameShape(QFrame::StyledPanel);
        picCPanels[i]->setCursor(Qt::PointingHandCursor);
        place(picCPanels[i], 60, (i + 1) * 720 - 370, 1340, 650);
        lblCPanels[i] = new QLabel(QString::fromLatin1(kTabCaptions[i]), this);
        lblCPanels[i]->setObjectName(QStringLiteral("lblCPanels_%1").arg(i));
        lblCPanels[i]->setAlignment(Qt::AlignCenter);
        lblCPanels[i]->setWordWrap(true);
        lblCPanels[i]->setCursor(Qt::PointingHandCursor);
        place(lblCPanels[i], 90, (i + 1) * 720 - 370 + 60, 1280, 530);
        for (QWidget *w : {static_cast<QWidget *>(picCPanels[i]), static_cast<QWidget *>(lblCPanels[i])}) {
            w->setMouseTracking(true);
            w->installEventFilter(this);
        }
    }
    picActiveCPTab = new QFrame(this);
    picActiveCPTab->setObjectName(QStringLiteral("picActiveCPTab"));
    picActiveCPTab->setFrameShape(QFrame::Panel);
    picActiveCPTab->setFrameShadow(QFrame::Raised);
    picActiveCPTab->setAutoFillBackground(true);
    picActiveCPTab->setStyleSheet(QStringLiteral("QFrame#picActiveCPTab { background: #ffffff; }"));
    picActiveCPTab->setFocusPolicy(Qt::StrongFocus);
    lblActiveCPTab = new QLabel(this);
    lblActiveCPTab->setObjectName(QStringLiteral("lblActiveCPTab"));
    lblActiveCPTab->setAlignment(Qt::AlignCenter);
    lblActiveCPTab->setWordWrap(true);
    QFont bold = lblActiveCPTab->font();
    bold.setBold(true);
    lblActiveCPTab->setFont(bold);
    lblActiveCPTab->setAttribute(Qt::WA_TransparentForMouseEvents);

    for (int i = 0; i < 5; ++i) {
        picPanel[i] = new QWidget(this);
        picPanel[i]->setObjectName(QStringLiteral("picPanel_%1").arg(i));
        place(picPanel[i], kParked, kPanelTop, kWidth - kPanelLeft - 100, kHeight - kPanelTop - 460);
        picPanel[i]->setEnabled(false);
    }
}

void frmCpanels::Form_Load()
{
    // No slider background to hook: Qt's sliders paint on their panel's colour.
    NewTab(1);
    lblCPanels[2]->setText(ChipModel + QStringLiteral(" Registers"));
    if (IsOlderChip) {
        // The older chip has no such register bits and no recorder.
        for (int bit : {4, 3, 2})
            cmdPOR[bit]->setEnabled(false);
        lblCPanels[4]->setEnabled(false);
        picCPanels[4]->setEnabled(false);
    }
    const int por = cTolv ? cTolv->GetStatus().POR() : 0;
    SV10Emulation = (por & 16) == 0;
    if (SV10Emulation && Port >= 1) {
        lblCPanels[4]->setEnabled(false);
        picCPanels[4]->setEnabled(false);
    }
    UpdateControls();
    // The tone boxes' values in the mode the chip is now in.
    ComputeToneParameters();
}

WindowState frmCpanels::state() const
{
    WindowState s;
    s.kind = WindowKind::ControlPanels;
    // The toolbar's Play follows the tone command box.
    s.windowTextEmpty = txtInputBox->document()->isEmpty();
    QWidget *focus = focusWidget();
    if (auto *box = qobject_cast<QLineEdit *>(focus)) {
        s.control = vx::ActiveControl::TextBox;
        s.textBox.selLength = static_cast<int>(box->selectedText().size());
        s.textBox.textEmpty = box->text().isEmpty();
    } else if (focus == txtInputBox) {
        s.control = vx::ActiveControl::TextBox;
        s.textBox.selLength = txtInputBox->SelLength();
        s.textBox.textEmpty = s.windowTextEmpty;
    } else if (focus) {
        s.control = vx::ActiveControl::Other;
    }
    return s;
}

void frmCpanels::Form_Activate()
{
    // A tool window hidden by its close still hears of activation.
    if (Visible())
        MdiChild::Form_Activate();
}

void frmCpanels::Form_QueryUnload(bool &Cancel)
{
    if (AdcRunning) {
        vx::MsgBox(QStringLiteral("Cannot close because the A/D converter is running. ") + QStringLiteral("\r\n") +
                       QStringLiteral("Stop the A/D converter first. "),
                   vx::Buttons::Ok, vx::Icon::Exclamation);
        Cancel = true;
        return;
    }
    if (!HideWhileRunning(Cancel))
        SaveToolWindowPlace(QStringLiteral("Panel"), false);
}

bool frmCpanels::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseMove) {
        for (int i = 0; i < 5; ++i) {
            if (watched != picCPanels[i] && watched != lblCPanels[i])
                continue;
            if (t == QEvent::MouseMove) {
                SetRollover(picCPanels[i]);
                return false;
            }
            // A locked or unavailable tab cannot be chosen.
            if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton || !lblCPanels[i]->isEnabled() ||
                !picCPanels[i]->isEnabled())
                return true;
            if (watched == lblCPanels[i])
                lblCPanels_Click(i);
            else
                picCPanels_Click(i);
            return true;
        }
    }
    return MdiChild::eventFilter(watched, event);
}

void frmCpanels::lblCPanels_Click(int Index)
{
    NewTab(Index);
}

void frmCpanels::picCPanels_Click(int Index)
{
    NewTab(Index);
}

void frmCpanels::NewTab(int Index)
{
    if (Index < 0 || Index > 4)
        return;
    lblCPTitle->setText(vx::PanelTitle(Index, ChipModel));
    lblProgressMsg->setText(vx::PanelStatusLine(Index, RecMemFree));

    place(picActiveCPTab, 30, (Index + 1) * 720 - 370, 1500, 650);
    lblActiveCPTab->setText(lblCPanels[Index]->text());
    lblActiveCPTab->setGeometry(lblCPanels[Index]->geometry().translated(vx::twipsToPixels(30), 0));
    picActiveCPTab->raise();
    lblActiveCPTab->raise();

    QWidget *shown = picPanel[PanelTab >= 0 && PanelTab <= 4 ? PanelTab : 0];
    shown->move(vx::twipsToPixels(kParked), shown->y());
    shown->setEnabled(false);
    place(picPanel[Index], kPanelLeft, kPanelTop, kWidth - kPanelLeft - 100, kHeight - kPanelTop - 460);
    picPanel[Index]->setEnabled(true);
    PanelTab = Index;

    if (Visible())
        UpdateToolbarState();
    // The panel takes the focus only when the user works in this window;
    // a refresh after speaking must not pull the focus from a text window.
    if (Visible() && isEnabled() && isActiveWindow() && ActiveDocIndex == slot())
        picPanel[Index]->setFocus();
}

void frmCpanels::LockPanels()
{
    for (int i = 0; i < 5; ++i) {
        SavedTabEnabled[i] = lblCPanels[i]->isEnabled();
        lblCPanels[i]->setEnabled(false);
    }
}

void frmCpanels::UnlockPanels()
{
    for (int i = 0; i < 5; ++i)
        lblCPanels[i]->setEnabled(SavedTabEnabled[i]);
}

frmCpanels *ControlPanels()
{
    if (auto *w = qobject_cast<frmCpanels *>(DocumentAt(0)))
        return w;
    auto *w = new frmCpanels;
    PlaceToolWindow(0, w);
    w->AttachToMainWindow();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->frame())) {
        // A tool window of fixed size: a title and a close box. Given more
        // room (maximised), the panels sit at its top left.
        sub->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        sub->adjustSize();
        if (auto *box = qobject_cast<QBoxLayout *>(sub->layout())) {
            box->setAlignment(w, Qt::AlignLeft | Qt::AlignTop);
            box->addStretch();
        }
    }
    w->Form_Load();
    return w;
}

void ShowControlPanel()
{
    frmCpanels *w = ControlPanels();
    w->SetVisible(true);
    w->SetFocus();
    w->UpdateControls();
}

void RefreshControlPanels()
{
    if (auto *w = qobject_cast<frmCpanels *>(DocumentAt(0)))
        w->UpdateControls();
}
