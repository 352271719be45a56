#include "app/documents/ui/frmMusic.h"

#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "app/documents/GridWindowLayout.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileCommands.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Speaking.h"
#include "common/ui/Rollover.h"
#include "platform/Help.h"
#include "platform/Numbers.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>

namespace {

constexpr int kReferenceTopic = vx::help::kScoreLanguage;

// A toolbar button that is there and enabled; with no toolbar (a window on
// its own) the command is allowed.
bool buttonEnabled(const char *key)
{
    const QAction *b = ToolbarButton(QString::fromLatin1(key));
    return !b || b->isEnabled();
}

QRect pixels(const TwipRect &r)
{
    return {vx::twipsToPixels(r.left), vx::twipsToPixels(r.top), vx::twipsToPixels(r.width),
            vx::twipsToPixels(r.height)};
}

} // namespace

frmMusic::frmMusic(QWidget *parent)
    : GridDocumentWindow(parent)
{
    setObjectName(QStringLiteral("frmMusic"));
    // F1 in the window opens the score language, as its Reference link does.
    setProperty("HelpTopic", kReferenceTopic);
    picScore = new QWidget(this);
    picScore->setObjectName(QStringLiteral("picScore"));
    shaMusicFrame = new QFrame(picScore);
    shaMusicFrame->setObjectName(QStringLiteral("shaMusicFrame"));
    shaMusicFrame->setFrameShape(QFrame::Box);
    shaMusicFrame->setFrameShadow(QFrame::Plain);
    vbalGrid1->setParent(picScore);
    fraRefContainer = new QWidget(picScore);
    fraRefContainer->setObjectName(QStringLiteral("fraRefContainer"));
    picReference = new QLabel(fraRefContainer);
    picReference->setObjectName(QStringLiteral("picReference"));
    picReference->setText(QStringLiteral("\u25B8"));
    lblReference = new QLabel(QStringLiteral("Reference"), fraRefContainer);
    lblReference->setObjectName(QStringLiteral("lblReference"));
    lblReference->setToolTip(QStringLiteral("Click to view list of symbols and directives"));
    lblReference->setCursor(Qt::PointingHandCursor);
    lblReference->setMouseTracking(true);
    picReference->setGeometry(0, 0, 12, 16);
    lblReference->setGeometry(14, 0, lblReference->sizeHint().width(), 16);
    fraRefContainer->resize(lblReference->geometry().right() + 8, 16);

    resize(vx::twipsToPixels(5400), vx::twipsToPixels(5400));
    PreviewKeys();
}

QString frmMusic::AskSaveFileName(const QString &initial)
{
    return GetSaveMusicFileName(initial);
}

void frmMusic::Compile()
{
    CompileMusicScore();
}

void frmMusic::Form_Resize()
{
    if (!isVisible() || isMinimized())
        return;
    const int W = vx::pixelsToTwips(width());
    const int H = vx::pixelsToTwips(height());
    const MusicLayout l = LayOutMusic(W, H, vx::pixelsToTwips(fraRefContainer->width()));
    picScore->setGeometry(rect());
    vbalGrid1->setGeometry(pixels(l.grid));
    fraRefContainer->move(vx::twipsToPixels(l.referenceLeft), vx::twipsToPixels(l.referenceTop));
    shaMusicFrame->setGeometry(pixels(l.frame));
    vbalGrid1->FitRowHeights();
    if (txtEdit->isVisible())
        vbalGrid1->CancelEdit();
}

void frmMusic::vbalGrid1_RequestEdit(int Row, int Col, int KeyAscii, bool &Cancel)
{
    (void)Row, (void)Col, (void)KeyAscii;
    // A score that plays is not edited.
    if (Busy)
        Cancel = true;
    else
        EditFinished = false;
}

bool frmMusic::Form_KeyPress(int KeyAscii)
{
    switch (KeyAscii) {
    case 16:
        if (buttonEnabled("Play")) {
            if (Busy)
                StopPlayback();
            else
                PlayMusicScore();
        }
        return true;
    case 19:
        if (buttonEnabled("Save"))
            FileSave();
        return true;
    case 13:
        return InsertFirstRow();
    default:
        return false;
    }
}

void frmMusic::lblReference_Click()
{
    vx::showHelpTopic(kReferenceTopic);
}

bool frmMusic::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblReference) {
        if (event->type() == QEvent::MouseMove)
            SetRollover(lblReference);
        else if (event->type() == QEvent::MouseButtonRelease &&
                 static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            lblReference_Click();
    }
    return GridDocumentWindow::eventFilter(watched, event);
}

void RegisterMusicDocuments()
{
    RegisterDocumentKind(vx::WindowKind::Music, [] { return new frmMusic; });
}
