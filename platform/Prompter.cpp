#include "platform/Prompter.h"

#include "platform/ProgramName.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vx {

namespace {

QString &titleStore()
{
    static QString t;
    return t;
}

class FailFastPrompter : public Prompter
{
public:
    Reply ask(const Prompt &prompt) override { fail(prompt); }
    Reply askPrinter(const Prompt &prompt, QPrinter *) override { fail(prompt); }

private:
    [[noreturn]] static void fail(const Prompt &prompt)
    {
        std::fprintf(stderr, "No prompter is installed; prompt \"%s\" (\"%s\") cannot be answered.\n",
                     prompt.text.toLocal8Bit().constData(), prompt.title.toLocal8Bit().constData());
        std::abort();
    }
};

FailFastPrompter gFailFast;
Prompter *gCurrent = nullptr;

} // namespace

Prompter &prompter()
{
    return gCurrent ? *gCurrent : static_cast<Prompter &>(gFailFast);
}

Prompter *setPrompter(Prompter *p)
{
    Prompter *old = gCurrent;
    gCurrent = p;
    return old;
}

void setProgramTitle(const QString &title)
{
    titleStore() = title;
}

QString programTitle()
{
    return titleStore().isEmpty() ? programName() : titleStore();
}

Answer MsgBox(const QString &text, Buttons buttons, Icon icon, const QString &title, int defaultButton, int helpTopic)
{
    Prompt p;
    p.kind = PromptKind::Message;
    p.text = text;
    p.title = title.isEmpty() ? programTitle() : title;
    p.buttons = buttons;
    p.icon = icon;
    p.defaultButton = defaultButton;
    p.helpTopic = helpTopic;
    return prompter().ask(p).answer;
}

std::optional<QString> InputBox(const QString &text, const QString &title, const QString &defaultText)
{
    Prompt p;
    p.kind = PromptKind::Input;
    p.text = text;
    p.title = title.isEmpty() ? programTitle() : title;
    p.buttons = Buttons::OkCancel;
    p.defaultText = defaultText;
    return prompter().ask(p).text;
}

namespace {
Reply fileDialog(PromptKind kind, const QString &title, const QString &filter, const QString &dir,
                 const QString &fileName, int filterIndex, bool multi, const QString &defaultSuffix = QString())
{
    Prompt p;
    p.defaultSuffix = defaultSuffix;
    p.kind = kind;
    p.title = title;
    p.filter = filter;
    p.initialDir = dir;
    p.defaultText = fileName;
    p.filterIndex = filterIndex;
    p.multiSelect = multi;
    return prompter().ask(p);
}
} // namespace

QString OpenFileDialog(const QString &title, const QString &filter, const QString &initialDir, const QString &fileName,
                       int *filterIndex)
{
    Reply r = fileDialog(PromptKind::OpenFile, title, filter, initialDir, fileName, filterIndex ? *filterIndex : 1, false);
    if (filterIndex && !r.files.isEmpty())
        *filterIndex = r.filterIndex;
    return r.files.isEmpty() ? QString() : r.files.front();
}

QStringList OpenFilesDialog(const QString &title, const QString &filter, const QString &initialDir)
{
    return fileDialog(PromptKind::OpenFile, title, filter, initialDir, QString(), 1, true).files;
}

QString SaveFileDialog(const QString &title, const QString &filter, const QString &initialDir, const QString &fileName,
                       int *filterIndex, const QString &defaultSuffix)
{
    Reply r = fileDialog(PromptKind::SaveFile, title, filter, initialDir, fileName, filterIndex ? *filterIndex : 1, false,
                         defaultSuffix);
    if (filterIndex && !r.files.isEmpty())
        *filterIndex = r.filterIndex;
    return r.files.isEmpty() ? QString() : r.files.front();
}

QString BrowseFolderDialog(const QString &title, const QString &initialDir)
{
    Reply r = fileDialog(PromptKind::Folder, title, QString(), initialDir, QString(), 1, false);
    return r.files.isEmpty() ? QString() : r.files.front();
}

// --- ScriptedPrompter -------------------------------------------------------

ScriptedPrompter::ScriptedPrompter()
{
    mPrevious = setPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter()
{
    if (gCurrent == this)
        setPrompter(mPrevious);
}

void ScriptedPrompter::queue(Answer a)
{
    Reply r;
    r.answer = a;
    r.accepted = a == Answer::Ok || a == Answer::Yes;
    mAnswers.push_back(r);
}

void ScriptedPrompter::queueInput(std::optional<QString> text)
{
    Reply r;
    r.answer = text ? Answer::Ok : Answer::Cancel;
    r.accepted = text.has_value();
    r.text = std::move(text);
    mAnswers.push_back(r);
}

void ScriptedPrompter::queueFiles(QStringList files, int filterIndex)
{
    Reply r;
    r.accepted = !files.isEmpty();
    r.answer = r.accepted ? Answer::Ok : Answer::Cancel;
    r.files = std::move(files);
    r.filterIndex = filterIndex;
    mAnswers.push_back(r);
}

void ScriptedPrompter::queueCancel()
{
    mAnswers.push_back(Reply{});
}

void ScriptedPrompter::queuePrint(bool accept)
{
    Reply r;
    r.accepted = accept;
    r.answer = accept ? Answer::Ok : Answer::Cancel;
    mAnswers.push_back(r);
}

Reply ScriptedPrompter::take(const Prompt &prompt)
{
    mPrompts.push_back(prompt);
    if (mAnswers.empty()) {
        ++mUnanswered;
        if (!mLenient) {
            std::fprintf(stderr, "Unanswered prompt: \"%s\" titled \"%s\"\n", prompt.text.toLocal8Bit().constData(),
                         prompt.title.toLocal8Bit().constData());
            std::fflush(stderr);
            std::abort();
        }
        Reply fallback;
        fallback.answer = (prompt.buttons == Buttons::YesNo) ? Answer::No
                          : (prompt.buttons == Buttons::Ok) ? Answer::Ok
                                                            : Answer::Cancel;
        return fallback;
    }
    Reply r;
    std::swap(r, mAnswers.front());
    mAnswers.pop_front();
    return r;
}

Reply ScriptedPrompter::ask(const Prompt &prompt)
{
    return take(prompt);
}

Reply ScriptedPrompter::askPrinter(const Prompt &prompt, QPrinter *printer)
{
    if (mPrintUser)
        mPrintUser(printer);
    Prompt p = prompt;
    if (p.kind != PromptKind::PageSetup)
        p.kind = PromptKind::Print;
    return take(p);
}

void ScriptedPrompter::clear()
{
    mAnswers.clear();
    mPrompts.clear();
    mUnanswered = 0;
}

} // namespace vx
