#pragma once

// How windows load, place and run forms: one way for each, in both programs.

#include <QPointer>
#include <QWidget>

#include <deque>
#include <functional>

namespace vx {

// The window dialogs belong to and are placed over: the program's main window
// once it exists, null before. The main window registers itself.
void setDialogOwner(QWidget *owner);
[[nodiscard]] QWidget *DialogOwner();

// Centres form across owner's frame; verticalDivisor 4 puts it in the upper
// part instead. The form stays wholly on the owner's screen, moved in from
// an edge where the owner stands near it. Does nothing without an owner.
void CentreOver(QWidget *form, QWidget *owner = DialogOwner(), int verticalDivisor = 2);
// Centres form on the screen it is on: a window that has no owner.
void CentreOnScreen(QWidget *form);

// A form that is loaded once and kept until unloaded: created on first use,
// owned by DialogOwner().
template <typename T>
class LoadedForm
{
public:
    T *get()
    {
        if (!mForm)
            mForm = new T(DialogOwner());
        return mForm;
    }
    [[nodiscard]] T *loaded() const { return mForm.data(); }
    void unload()
    {
        if (T *form = mForm.data()) {
            mForm = nullptr;
            form->hide();
            delete form;
        }
    }

private:
    QPointer<T> mForm;
};

// Answers modal forms in tests: RunModal hands it every form once it shows.
class FormDriver
{
public:
    virtual ~FormDriver() = default;
    virtual void shown(QWidget *form) = 0;
};
// Installs d (not owned; null removes it). Returns the previous one.
FormDriver *setFormDriver(FormDriver *d);

// A FormDriver that plays queued answers in order, one per modal form; a
// form with no answer left waits for the user (or a test's own clicks).
class ScriptedForms : public FormDriver
{
public:
    ScriptedForms();
    ~ScriptedForms() override;
    void queue(std::function<void(QWidget *form)> answer);
    void shown(QWidget *form) override;
    [[nodiscard]] int pending() const { return static_cast<int>(mAnswers.size()); }

private:
    std::deque<std::function<void(QWidget *)>> mAnswers;
    FormDriver *mPrevious = nullptr;
};

// Shows form application-modal and waits until it is hidden or destroyed.
// The event loop keeps running meanwhile, so link events, timers and a
// test's clicks reach the program. place runs once the form is shown.
void RunModal(QWidget *form, const std::function<void(QWidget *form)> &place = {});
// The same wait for a form shown modeless: the other windows stay usable
// while it is up.
void RunModeless(QWidget *form, const std::function<void(QWidget *form)> &place = {});

} // namespace vx
