#include "platform/ui/Modal.h"

#include <QCoreApplication>
#include <QScreen>
#include <QThread>

#include <algorithm>

namespace vx {

namespace {
QPointer<QWidget> &ownerStore()
{
    static QPointer<QWidget> owner;
    return owner;
}

FormDriver *gDriver = nullptr;

// Centred across over, then moved as little as it takes to stand wholly on
// screen (its top-left corner when it is larger than the screen). A form
// not yet framed by the window manager is taken to get the owner's frame.
void placeCentred(QWidget *form, const QWidget *owner, const QRect &over, const QRect &screen, int verticalDivisor)
{
    QSize size = form->frameGeometry().size();
    if (owner && size == form->size())
        size += owner->frameGeometry().size() - owner->size();
    const int x = over.x() + (over.width() - size.width()) / 2;
    const int y = over.y() + (over.height() - size.height()) / verticalDivisor;
    form->move(std::max(screen.left(), std::min(x, screen.right() + 1 - size.width())),
               std::max(screen.top(), std::min(y, screen.bottom() + 1 - size.height())));
}
} // namespace

void setDialogOwner(QWidget *owner)
{
    ownerStore() = owner;
}

QWidget *DialogOwner()
{
    return ownerStore().data();
}

void CentreOver(QWidget *form, QWidget *owner, int verticalDivisor)
{
    if (!form || !owner)
        return;
    placeCentred(form, owner, owner->frameGeometry(), owner->screen()->availableGeometry(), verticalDivisor);
}

void CentreOnScreen(QWidget *form)
{
    if (!form)
        return;
    const QRect screen = form->screen()->availableGeometry();
    placeCentred(form, nullptr, screen, screen, 2);
}

FormDriver *setFormDriver(FormDriver *d)
{
    FormDriver *old = gDriver;
    gDriver = d;
    return old;
}

ScriptedForms::ScriptedForms() : mPrevious(setFormDriver(this)) {}

ScriptedForms::~ScriptedForms()
{
    setFormDriver(mPrevious);
}

void ScriptedForms::queue(std::function<void(QWidget *form)> answer)
{
    mAnswers.push_back(std::move(answer));
}

void ScriptedForms::shown(QWidget *form)
{
    if (mAnswers.empty())
        return;
    auto answer = std::move(mAnswers.front());
    mAnswers.pop_front();
    answer(form);
}

namespace {

void showAndWait(QWidget *form, Qt::WindowModality modality, const std::function<void(QWidget *form)> &place)
{
    QPointer<QWidget> f = form;
    f->setWindowModality(modality);
    f->show();
    if (place)
        place(f);
    if (gDriver && f)
        gDriver->shown(f);
    while (f && f->isVisible()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(10);
    }
}

} // namespace

void RunModal(QWidget *form, const std::function<void(QWidget *form)> &place)
{
    showAndWait(form, Qt::ApplicationModal, place);
}

void RunModeless(QWidget *form, const std::function<void(QWidget *form)> &place)
{
    showAndWait(form, Qt::NonModal, place);
}

} // namespace vx
