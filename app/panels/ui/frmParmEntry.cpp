#include "app/panels/ui/frmParmEntry.h"

#include "app/documents/ui/TextBox.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/PanelWidgets.h"
#include "app/panels/ui/frmCpanels.h"
#include "common/Delay.h"
#include "platform/Numbers.h"
#include "platform/ui/Modal.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <iterator>

using vx::panels::place;

namespace {

vx::LoadedForm<frmParmEntry> gForm;

constexpr int kParmWidth = 3675;
constexpr int kInstructionWidth = 6000;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;
constexpr int kMargin = 240;
constexpr int kParked = -20000;

// A plain arrow pointing right, towards the control panels.
QPixmap arrowPixmap()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x21, 0x5d, 0xc6));
    const QPointF shape[] = {{2, 11}, {16, 11}, {16, 3}, {30, 16}, {16, 29}, {16, 21}, {2, 21}};
    p.drawPolygon(shape, int(std::size(shape)));
    return pm;
}

} // namespace

frmParmEntry::frmParmEntry(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmParmEntry"));
    setWindowTitle(QStringLiteral("Set Parameter"));
    setModal(false);
    QFont face(QStringLiteral("Tahoma"));
    face.setPointSizeF(8);
    setFont(face);

    lblCmdLabel = new QLabel(this);
    lblCmdLabel->setObjectName(QStringLiteral("lblCmdLabel"));
    txtCmdParm = new QLineEdit(this);
    txtCmdParm->setObjectName(QStringLiteral("txtCmdParm"));
    txtCmdParm->setMaxLength(5);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    picArrow = new QLabel(this);
    picArrow->setObjectName(QStringLiteral("picArrow"));
    picArrow->setPixmap(arrowPixmap());
    picArrow->hide();

    connect(cmdOK, &QPushButton::clicked, this, &frmParmEntry::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmParmEntry::cmdCancel_Click);
}

frmParmEntry *frmParmEntry::instance()
{
    return gForm.get();
}

void frmParmEntry::ArrangeForParameter(const QString &label)
{
    picArrow->hide();
    lblCmdLabel->setWordWrap(false);
    lblCmdLabel->setText(label);
    lblCmdLabel->adjustSize();
    const int labelWidth = vx::pixelsToTwips(lblCmdLabel->width());
    place(lblCmdLabel, kMargin, 360, labelWidth, 300);
    place(txtCmdParm, kMargin + labelWidth + 90, 320, 700, 330);
    txtCmdParm->setText(QStringLiteral("0"));
    txtCmdParm->show();
    // The buttons stand one above the other at the right edge; a long name
    // widens the window so that the box stays clear of them.
    const int width = std::max(kParmWidth, kMargin + labelWidth + 90 + 700 + 1400 + 120);
    place(cmdOK, width - 1400, 120, kButtonWidth, kButtonHeight);
    place(cmdCancel, width - 1400, 120 + kButtonHeight + 90, kButtonWidth, kButtonHeight);
    setFixedSize(vx::twipsToPixels(width), vx::twipsToPixels(1200));
}

void frmParmEntry::ArrangeForInstructions(const QString &text)
{
    picArrow->show();
    lblCmdLabel->setWordWrap(true);
    lblCmdLabel->setText(text);
    const int labelWidth = kInstructionWidth - kMargin - 1400 - 240;
    const int labelHeight = vx::pixelsToTwips(lblCmdLabel->heightForWidth(vx::twipsToPixels(labelWidth)));
    place(lblCmdLabel, kMargin, 340, labelWidth, labelHeight);
    txtCmdParm->move(vx::twipsToPixels(kParked), txtCmdParm->y());
    place(cmdOK, kInstructionWidth - 1400, 120, kButtonWidth, kButtonHeight);
    place(cmdCancel, kInstructionWidth - 1400, 120 + kButtonHeight + 90, kButtonWidth, kButtonHeight);
    place(picArrow, kInstructionWidth - 1400 + (kButtonWidth - 480) / 2, 1100, 480, 480);
    const int height = std::max(340 + labelHeight + 240, 1700);
    setFixedSize(vx::twipsToPixels(kInstructionWidth), vx::twipsToPixels(height));
}

void frmParmEntry::PlaceBesidePanels()
{
    frmCpanels *panels = ControlPanels();
    QWidget *frame = panels->frame() ? panels->frame() : panels;
    const QRect target(frame->mapToGlobal(QPoint(0, 0)), frame->size());
    QScreen *onScreen = QGuiApplication::screenAt(target.center());
    const QRect screen = (onScreen ? onScreen : QGuiApplication::primaryScreen())->availableGeometry();
    // Left of the panels, the arrow pointing at them; where there is no room,
    // over their left edge.
    const int x = std::max(screen.left(), target.left() - frameGeometry().width() - 8);
    const int y = std::clamp(target.top() + 40, screen.top(), std::max(screen.top(), screen.bottom() - height()));
    move(x, y);
}

QString frmParmEntry::GetParm(const QString &Label, int Limit)
{
    Cancelled = false;
    const bool tones = Label == QLatin1String("DO_TGN");
    const bool recording = Label == QLatin1String("DO_REC");
    const bool parameter = !tones && !recording;
    if (parameter)
        ArrangeForParameter(vx::ParmLabel(Label, Limit));
    else
        ArrangeForInstructions(tones ? vx::ToneInstructions() : vx::RecordingInstructions());

    QPointer<frmParmEntry> self(this);
    vx::RunModeless(this, [this, parameter](QWidget *) {
        if (parameter) {
            vx::CentreOver(this);
            Delay(0.1);
            txtCmdParm->selectAll();
            txtCmdParm->setFocus();
        } else {
            PlaceBesidePanels();
        }
    });
    if (!self || Cancelled)
        return {};
    if (tones)
        return ControlPanels()->txtInputBox->Text();
    if (recording)
        return ControlPanels()->txtTagIndexVal->text();
    const QString typed = txtCmdParm->text().trimmed();
    return typed.isEmpty() ? QStringLiteral("0") : typed;
}

void frmParmEntry::cmdOK_Click()
{
    hide();
}

void frmParmEntry::cmdCancel_Click()
{
    Cancelled = true;
    hide();
}

void frmParmEntry::reject()
{
    cmdCancel_Click();
}

void frmParmEntry::closeEvent(QCloseEvent *event)
{
    // The caller is waiting for an answer: only OK or Cancel gives one.
    if (isVisible())
        event->ignore();
    else
        QDialog::closeEvent(event);
}
