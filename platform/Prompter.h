#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <variant>

class QPrinter;

namespace vx {

enum class Buttons { Ok, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
// Numbered as the answers of a classic message box, so stored or compared
// values keep their meaning.
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// Print is the print dialog; PageSetup the page set-up alone, printing nothing.
enum class PromptKind { Message, Input, OpenFile, SaveFile, Folder, Print, PageSetup };

// A file-dialog pattern for the files the user may run, whatever their names.
inline constexpr char kExecutableFiles[] = "<executable>";

// One question to the user, as data. Tests read these back.
struct Prompt
{
    PromptKind kind = PromptKind::Message;
    QString text;          // message or input prompt
    QString title;         // window title; empty = the program's title
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    int defaultButton = 1; // 1-based, in the order the buttons are shown
    int helpTopic = 0;     // non-zero: the box has a Help button for this topic
    QString defaultText;   // input box default / file dialog initial file name
    QString filter;        // file dialogs: "Text (*.txt)|*.txt|All (*.*)|*.*" or Qt form;
                           // the pattern kExecutableFiles lists what the user may run
    int filterIndex = 1;   // file dialogs: 1-based filter chosen first
    QString initialDir;    // file and folder dialogs
    bool multiSelect = false;
    bool overwritePrompt = true;
    QString defaultSuffix; // save dialogs: added when the name typed has no extension
    int pageCount = 0;     // print dialog: the pages the document holds; 0 = not known
};

// What the user answered. For file dialogs `files` holds the chosen paths
// (empty = cancelled) and `filterIndex` the filter in force.
struct Reply
{
    Answer answer = Answer::Cancel;
    std::optional<QString> text; // input box: nullopt = cancelled
    QStringList files;
    int filterIndex = 1;
    bool accepted = false;       // print and folder dialogs, file dialogs
};

// Shows questions to the user. The program installs the Qt implementation;
// tests install a ScriptedPrompter.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Reply ask(const Prompt &prompt) = 0;
    // Print or page set-up dialog, as prompt.kind says; fills printer when
    // accepted. printer may be null in tests.
    virtual Reply askPrinter(const Prompt &prompt, QPrinter *printer) = 0;
};

// The installed prompter. Never null once a program or test installed one;
// before that, a fail-fast prompter that reports the unanswered prompt.
Prompter &prompter();
// Installs p (not owned); nullptr restores the fail-fast one. Returns the previous one.
Prompter *setPrompter(Prompter *p);

// The program's title used when a prompt has none; the program name until set.
void setProgramTitle(const QString &title);
[[nodiscard]] QString programTitle();

// Convenience calls in the shape the windows use.
Answer MsgBox(const QString &text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
              const QString &title = QString(), int defaultButton = 1, int helpTopic = 0);
// Returns nullopt when cancelled.
std::optional<QString> InputBox(const QString &text, const QString &title = QString(),
                                const QString &defaultText = QString());
// The chosen path, or an empty string when cancelled.
QString OpenFileDialog(const QString &title, const QString &filter, const QString &initialDir = QString(),
                       const QString &fileName = QString(), int *filterIndex = nullptr);
QStringList OpenFilesDialog(const QString &title, const QString &filter, const QString &initialDir = QString());
// defaultSuffix is added to a name typed without an extension before the
// dialog asks whether to replace an existing file.
QString SaveFileDialog(const QString &title, const QString &filter, const QString &initialDir = QString(),
                       const QString &fileName = QString(), int *filterIndex = nullptr,
                       const QString &defaultSuffix = QString());
QString BrowseFolderDialog(const QString &title, const QString &initialDir = QString());

// Answers prompts from a queue and records every prompt, for tests. A prompt
// with no queued answer is a test fault: it is recorded and, by default, the
// process stops at once with the prompt's text rather than hanging.
class ScriptedPrompter : public Prompter
{
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    void queue(Answer a);
    void queueInput(std::optional<QString> text);
    void queueFiles(QStringList files, int filterIndex = 1);
    void queueCancel();
    void queuePrint(bool accept);
    // Runs inside every print and page set-up dialog before it is answered,
    // as the user would act on the printer there (printer may be null).
    void onPrintDialog(std::function<void(QPrinter *printer)> user) { mPrintUser = std::move(user); }

    Reply ask(const Prompt &prompt) override;
    Reply askPrinter(const Prompt &prompt, QPrinter *printer) override;

    [[nodiscard]] const QList<Prompt> &prompts() const { return mPrompts; }
    [[nodiscard]] const Prompt &last() const { return mPrompts.back(); }
    [[nodiscard]] int pending() const { return static_cast<int>(mAnswers.size()); }
    void clear();

    // When set, an unanswered prompt answers Cancel (or No) instead of stopping.
    void setLenient(bool lenient) { mLenient = lenient; }
    [[nodiscard]] int unanswered() const { return mUnanswered; }

private:
    Reply take(const Prompt &prompt);

    std::deque<Reply> mAnswers;
    QList<Prompt> mPrompts;
    std::function<void(QPrinter *)> mPrintUser;
    Prompter *mPrevious = nullptr;
    bool mLenient = false;
    int mUnanswered = 0;
};

} // namespace vx
