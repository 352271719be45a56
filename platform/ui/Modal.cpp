#include "platform/ui/Modal.h"

#include <QCoreApplication>
#include <QThread>

namespace vx {

namespace {
QPointer<QWidget> &ownerStore()
{
    static QPointer<QWidget> owner;
    return owner;
}

FormDriver *gDriver = nullptr;
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
    const QRect o = owner->frameGeometry();
    form->move(o.x() + (o.width() - form->width()) / 2, o.y() + (o.height() - form->height()) / verticalDivisor);
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
