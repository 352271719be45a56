#pragma once

#include "platform/Prompter.h"

class QWidget;

namespace vx {

// Shows prompts with Qt's dialogs, parented to the program's main window.
class QtPrompter : public Prompter
{
public:
    explicit QtPrompter(QWidget *parent = nullptr) : mParent(parent) {}
    void setParent(QWidget *parent) { mParent = parent; }
    [[nodiscard]] QWidget *parent() const { return mParent; }

    Reply ask(const Prompt &prompt) override;
    Reply askPrinter(const Prompt &prompt, QPrinter *printer) override;

    // "Text (*.txt)|*.txt|All (*.*)|*.*" to Qt's ";;" filter list.
    [[nodiscard]] static QStringList qtFilters(const QString &filter);
    // The 0-based place in that list of the kExecutableFiles filter, or -1.
    [[nodiscard]] static int executableFilterIndex(const QString &filter);

private:
    QWidget *mParent = nullptr;
};

} // namespace vx
