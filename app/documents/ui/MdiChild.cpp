#include "app/documents/ui/MdiChild.h"

#include <QCloseEvent>

#include "app/Globals.h"
#include "app/shell/ui/EditorFont.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/Numbers.h"
#include "platform/Settings.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

// A document window shows the picture of its New command, a tool window
// that of its toolbar button.
QIcon kindIcon(vx::WindowKind kind)
{
    switch (kind) {
    case vx::WindowKind::Text: return images::menuImage(14);
    case vx::WindowKind::SoundLib: return images::menuImage(11);
    case vx::WindowKind::Dictionary: return images::menuImage(12);
    case vx::WindowKind::Music: return images::menuImage(28);
    case vx::WindowKind::Phonetic: return images::toolbarImage(QStringLiteral("Phonetics"));
    case vx::WindowKind::ControlPanels: return images::toolbarImage(QStringLiteral("Cpanels"));
    case vx::WindowKind::None: break;
    }
    return images::programIcon();
}

} // namespace

QWidget *FrameOf(QWidget *w)
{
    if (!w)
        return nullptr;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        return sub;
    return w;
}

void ApplyEditorFont(QWidget *window)
{
    if (!window)
        return;
    // Set-up, not an edit: a text window's change handler must not mark it.
    const QScopedValueRollback loading(FontLoading, true);
    for (const char *name : {"vbalGrid1", "lvwWordList", "txtEdit", "txtWord", "txtSoundsLike", "txtInputBox"}) {
        if (auto *control = window->findChild<QWidget *>(QLatin1String(name)))
            control->setFont(EditorFont());
    }
}

MdiChild::MdiChild(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

int MdiChild::slot() const
{
    bool ok = false;
    const int s = property("Tag").toString().toInt(&ok);
    return ok ? s : -1;
}

void MdiChild::setSlot(int slot)
{
    setProperty("Tag", QString::number(slot));
}

void MdiChild::Form_Activate()
{
    const int s = slot();
    if (s < 0 || s >= DocState.size() || DocState[s].Deleted || SuppressActivate)
        return;
    ActiveDocIndex = s;
    UpdateToolbarState();
}

void MdiChild::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    event->setAccepted(!cancel);
}

QWidget *MdiChild::frame()
{
    return FrameOf(this);
}

const QWidget *MdiChild::frame() const
{
    return FrameOf(const_cast<MdiChild *>(this));
}

bool MdiChild::Visible() const
{
    return frame()->isVisible();
}

void MdiChild::SetVisible(bool visible)
{
    if (visible)
        show();
    frame()->setVisible(visible);
}

void MdiChild::SetFocus()
{
    QWidget *f = frame();
    f->show();
    f->raise();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(f)) {
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    } else {
        activateWindow();
    }
    setFocus();
}

void MdiChild::ShowInMainWindow()
{
    AttachToMainWindow();
    show();
    frame()->show();
}

void MdiChild::KeepInsideDocumentArea()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(frame());
    if (!sub || !sub->mdiArea() || sub->isMaximized() || sub->isMinimized())
        return;
    // An area not laid out on screen has no size to go by.
    const QMdiArea *mdi = sub->mdiArea();
    if (!mdi->isVisible() || mdi->window()->isMinimized())
        return;
    const QSize area = mdi->viewport()->size();
    if (area.isEmpty())
        return;
    const QRect now = sub->geometry();
    QRect shown(now.topLeft(), now.size().boundedTo(area));
    shown.moveLeft(std::clamp(now.left(), 0, area.width() - shown.width()));
    shown.moveTop(std::clamp(now.top(), 0, area.height() - shown.height()));
    if (shown == now)
        return;
    if (mGivenPlace.isNull())
        mGivenPlace = now;
    const QScopedValueRollback fitting(mFitting, true);
    sub->setGeometry(shown);
}

bool MdiChild::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == frame() && watched != this) {
        if (event->type() == QEvent::Show)
            KeepInsideDocumentArea();
        else if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && !mFitting &&
                 frame()->isVisible())
            mGivenPlace = QRect(); // the user's own place from now on
    }
    return QWidget::eventFilter(watched, event);
}

void MdiChild::AttachToMainWindow()
{
    frmMDI *main = frmMDI::instance();
    if (main && main->MDIClient && !qobject_cast<QMdiSubWindow *>(parentWidget())) {
        QMdiSubWindow *sub = main->MDIClient->addSubWindow(this);
        sub->installEventFilter(this);
        connect(sub, &QMdiSubWindow::windowStateChanged, this,
                [this](Qt::WindowStates before, Qt::WindowStates now) {
                    if ((now & Qt::WindowActive) && !(before & Qt::WindowActive))
                        Form_Activate();
                });
        sub->setWindowIcon(kindIcon(kind()));
        mTracked = true;
    }
}

QSize MdiChild::sizeHint() const
{
    if (!layout() && testAttribute(Qt::WA_Resized))
        return size();
    return QWidget::sizeHint();
}

bool MdiChild::event(QEvent *event)
{
    // A window standing alone learns of its activation from the system.
    if (event->type() == QEvent::WindowActivate && !mTracked && isWindow())
        Form_Activate();
    return QWidget::event(event);
}

bool MdiChild::HideWhileRunning(bool &Cancel)
{
    if (ClosingAll)
        return false;
    Cancel = true;
    frame()->hide();
    UpdateToolbarState();
    return true;
}

void MdiChild::SaveToolWindowPlace(const QString &prefix, bool withSize) const
{
    if (CommErrChoice == 3)
        return;
    const QString app = mainwin::appName();
    const QString section = QStringLiteral("Settings");
    // A place that was only fitted into a smaller document area is kept as given.
    const QRect g = mGivenPlace.isNull() ? frame()->geometry() : mGivenPlace;
    auto save = [&](const char *key, int value) {
        SaveSetting(app, section, prefix + QLatin1String(key), QString::number(value));
    };
    SaveSetting(app, section, prefix + QLatin1String("Visible"), vx::boolToSetting(Visible()));
    save("Top", vx::pixelsToTwips(g.y()));
    save("Left", vx::pixelsToTwips(g.x()));
    if (withSize) {
        save("Height", vx::pixelsToTwips(g.height()));
        save("Width", vx::pixelsToTwips(g.width()));
    }
}
