#include "app/shell/ui/frmPopupMenus.h"

#include "app/Globals.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/frmParmEntry.h"
#include "app/shell/CommandInsertion.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmPrefs.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Speaking.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QHash>
#include <QLineEdit>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

#include <iterator>

namespace {

// One item: its menu (or submenu), caption, what it runs and what its
// enabled state mirrors. Runs: a main-window command name, or "@" and a
// routine of this file. Mirror: a menu item name, "tb:" and a toolbar key,
// "win:" and an action of the active window, or empty (keeps its initial
// state: enabled).
struct PopupItem
{
    const char *menu;
    const char *caption;
    const char *runs;
    const char *mirror;
};

const PopupItem kItems[] = {
    {"mnuMDIForm/&New", "&Text Box", "mnuFileNewText", "mnuFile"},
    {"mnuMDIForm/&New", "&Sound Library", "mnuFileNewSoundLib", "mnuFile"},
    {"mnuMDIForm/&New", "&Dictionary", "mnuFileNewDictionary", "mnuFile"},
    {"mnuMDIForm/&New", "&Music Score", "mnuFileNewMusic", "mnuFile"},
    {"mnuMDIForm", "&Open...", "mnuFileOpen", "mnuFile"},
    {"mnuMDIForm", "&Download...      ", "mnuFileDnld", "mnuFileDnld"},

    {"mnuSoundLib", "&Add...", "mnuEditInsAdd", "mnuEditInsAdd"},
    {"mnuSoundLib", "Cu&t", "mnuEditCut", "mnuEditCut"},
    {"mnuSoundLib", "&Copy", "mnuEditCopy", "mnuEditCopy"},
    {"mnuSoundLib", "&Paste", "mnuEditPaste", "mnuEditPaste"},
    {"mnuSoundLib", "&Delete", "mnuEditDelete", "mnuEditDelete"},
    {"mnuSoundLib", "Select &All", "mnuEditSelectAll", "mnuEditSelectAll"},
    {"mnuSoundLib", "-", nullptr, nullptr},
    {"mnuSoundLib", "Pla&y", "Play", "tb:Play"},
    {"mnuSoundLib", "Re&fresh", "@refresh", "win:Refresh"},
    {"mnuSoundLib", "C&ompile...", "mnuFileCompile", "mnuFileCompile"},
    {"mnuSoundLib", "&Edit...", "mnuEditEdit", "mnuEditEdit"},
    {"mnuSoundLib", "Open Folder", "@openFolder", "mnuEditDelete"},
    {"mnuSoundLib", "-", nullptr, nullptr},
    {"mnuSoundLib", "P&references", "@prefs2", ""},

    {"mnuTextWindow", "Pla&y", "@playLater", "tb:Play"},
    {"mnuTextWindow", "&Record...", "Record", "tb:Record"},
    {"mnuTextWindow", "-", nullptr, nullptr},
    {"mnuTextWindow", "Cu&t", "mnuEditCut", "mnuEditCut"},
    {"mnuTextWindow", "&Copy", "mnuEditCopy", "mnuEditCopy"},
    {"mnuTextWindow", "&Paste", "mnuEditPaste", "mnuEditPaste"},
    {"mnuTextWindow", "&Delete", "mnuEditDelete", "mnuEditDelete"},
    {"mnuTextWindow", "Select &All", "mnuEditSelectAll", "mnuEditSelectAll"},
    {"mnuTextWindow", "-", nullptr, nullptr},
    {"mnuTextWindow", "&Find...", "mnuEditFind", "mnuEditFind"},
    {"mnuTextWindow", "Find &Next", "mnuEditFindNext", "mnuEditFindNext"},
    {"mnuTextWindow", "-", nullptr, nullptr},
    {"mnuTextWindow", "P&references", "@prefs1", ""},

    {"mnuTextWindowPlaying", "Stop", "@stop", ""},
    {"mnuTextWindowPlaying", "Pause", "@pause", ""},

    {"mnuDictionary", "&Insert...", "mnuEditInsAdd", "mnuEditInsAdd"},
    {"mnuDictionary", "&Edit...", "mnuEditEdit", "mnuEditEdit"},
    {"mnuDictionary", "Cu&t", "mnuEditCut", "mnuEditCut"},
    {"mnuDictionary", "&Copy", "mnuEditCopy", "mnuEditCopy"},
    {"mnuDictionary", "&Paste", "mnuEditPaste", "mnuEditPaste"},
    {"mnuDictionary", "&Delete", "mnuEditDelete", "mnuEditDelete"},
    {"mnuDictionary", "Select &All", "mnuEditSelectAll", "mnuEditSelectAll"},
    {"mnuDictionary", "-", nullptr, nullptr},
    {"mnuDictionary", "C&ompile...", "mnuFileCompile", "mnuFileCompile"},
    {"mnuDictionary", "-", nullptr, nullptr},
    {"mnuDictionary", "&Hide/Show", "mnuViewHide", "mnuViewHide"},
    {"mnuDictionary", "Comment", "mnuEditComment", "mnuEditComment"},
    {"mnuDictionary", "Uncomment", "mnuEditUnComment", "mnuEditUnComment"},
    {"mnuDictionary", "-", nullptr, nullptr},
    {"mnuDictionary", "P&references", "@prefs3", ""},

    {"mnuMusic", "&Insert...", "mnuEditInsAdd", "mnuEditInsAdd"},
    {"mnuMusic", "&Edit...", "mnuEditEdit", "mnuEditEdit"},
    {"mnuMusic", "Cu&t", "mnuEditCut", "mnuEditCut"},
    {"mnuMusic", "&Copy", "mnuEditCopy", "mnuEditCopy"},
    {"mnuMusic", "&Paste", "mnuEditPaste", "mnuEditPaste"},
    {"mnuMusic", "&Delete", "mnuEditDelete", "mnuEditDelete"},
    {"mnuMusic", "Select &All", "mnuEditSelectAll", "mnuEditSelectAll"},
    {"mnuMusic", "-", nullptr, nullptr},
    {"mnuMusic", "Pla&y", "Play", "tb:Play"},
    {"mnuMusic", "C&ompile...", "mnuFileCompile", "mnuFileCompile"},
    {"mnuMusic", "-", nullptr, nullptr},
    {"mnuMusic", "&Hide/Show", "mnuViewHide", "mnuViewHide"},
    {"mnuMusic", "Comment", "mnuEditComment", "mnuEditComment"},
    {"mnuMusic", "Uncomment", "mnuEditUnComment", "mnuEditUnComment"},
    {"mnuMusic", "-", nullptr, nullptr},
    {"mnuMusic", "P&references", "@prefs1", ""},

    {"mnuPhmWindow", "&Copy", "mnuEditCopy", "mnuEditCopy"},
    {"mnuPhmWindow", "C&lear", "@clearPhonetic", "@phoneticText"},
};

const char *const kModifiers[] = {"Decrease pitch", "Increase pitch", "Decrease speed",
                                  "Increase speed", "Decrease volume", "Increase volume"};
const char *const kVoices[] = {"Perfect Paul", "Vader", "Big Bob", "Precise Pete", "Richochet Randy", "Biff",
                               "Skip", "Robo Robert", "Goliath", "Alvin", "Gretchen"};
const char *const kVoiceAttrs[] = {"Articulation...", "Expression...", "Formant freq...", "Pitch...",
                                   "Reverb...", "Speed...", "Tone..."};
const char *const kControls[] = {"Index marker...", "Punctuation filter...", "TS pin control...", "Volume..."};

QString text(const char *s)
{
    return QString::fromLatin1(s);
}

QWidget *activeDocumentWidget()
{
    return ActiveDocument();
}

bool mirrored(const QString &mirror)
{
    frmMDI *main = frmMDI::instance();
    if (mirror.startsWith(QLatin1String("tb:"))) {
        QAction *b = ToolbarButton(mirror.mid(3));
        return b && b->isEnabled();
    }
    if (mirror.startsWith(QLatin1String("win:"))) {
        QWidget *w = activeDocumentWidget();
        auto *a = w ? w->findChild<QAction *>(mirror.mid(4)) : nullptr;
        return a && a->isEnabled();
    }
    if (mirror == QLatin1String("@phoneticText")) {
        auto *box = main && main->phoneticWindow() ? main->phoneticWindow()->findChild<QPlainTextEdit *>() : nullptr;
        return box && !box->toPlainText().isEmpty();
    }
    if (!main)
        return false;
    const QList<QAction *> items = main->Items(mirror);
    return !items.isEmpty() && items.first()->isEnabled();
}

void showPreferences(int tab)
{
    frmPrefs::instance()->NewTab(tab);
    if (frmMDI *main = frmMDI::instance())
        main->mnuEditPreferences_Click();
}

void runRoutine(const QString &name)
{
    frmMDI *main = frmMDI::instance();
    if (name == QLatin1String("@prefs1"))
        showPreferences(1);
    else if (name == QLatin1String("@prefs2"))
        showPreferences(2);
    else if (name == QLatin1String("@prefs3"))
        showPreferences(3);
    else if (name == QLatin1String("@stop"))
        StopPlayback();
    else if (name == QLatin1String("@pause"))
        PauseSpeaking();
    else if (name == QLatin1String("@playLater")) {
        // The text window starts speaking once the menu has closed.
        if (main)
            QTimer::singleShot(0, main, [main] { main->RunCommand(QStringLiteral("Play")); });
    } else if (name == QLatin1String("@refresh")) {
        QWidget *w = activeDocumentWidget();
        if (auto *a = w ? w->findChild<QAction *>(QStringLiteral("Refresh")) : nullptr)
            a->trigger();
    } else if (name == QLatin1String("@openFolder")) {
        QWidget *w = activeDocumentWidget();
        if (auto *a = w ? w->findChild<QAction *>(QStringLiteral("OpenFolder")) : nullptr)
            a->trigger();
    } else if (name == QLatin1String("@clearPhonetic")) {
        auto *box = main && main->phoneticWindow() ? main->phoneticWindow()->findChild<QPlainTextEdit *>() : nullptr;
        if (box)
            box->clear();
        UpdateToolbarState();
    }
}

// --- Sounds Like --------------------------------------------------------------

struct Caret
{
    QPointer<QWidget> target;
    int start = 0;
    int length = 0;
};

// The text cursor of a multi-line box (the rich text boxes and the grid's
// cell editor); the single-line boxes (Sounds Like) have none.
template <class Fn>
void onTextCursor(QWidget *target, Fn fn)
{
    if (auto *rich = qobject_cast<QTextEdit *>(target))
        fn(rich);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(target))
        fn(plain);
}

Caret saveCaret()
{
    Caret c;
    QWidget *doc = activeDocumentWidget();
    c.target = doc ? doc->focusWidget() : QApplication::focusWidget();
    if (auto *line = qobject_cast<QLineEdit *>(c.target.data())) {
        c.start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        c.length = line->hasSelectedText() ? line->selectionLength() : 0;
        return c;
    }
    onTextCursor(c.target.data(), [&c](auto *box) {
        const QTextCursor cur = box->textCursor();
        c.start = cur.selectionStart();
        c.length = cur.selectionEnd() - cur.selectionStart();
    });
    return c;
}

// Only a text box takes the command; any other target receives nothing.
void insertAtCaret(const Caret &c, const QString &insert)
{
    if (auto *line = qobject_cast<QLineEdit *>(c.target.data())) {
        line->setSelection(c.start, c.length);
        line->insert(insert);
        return;
    }
    onTextCursor(c.target.data(), [&](auto *box) {
        QTextCursor cur = box->textCursor();
        cur.setPosition(c.start);
        cur.setPosition(c.start + c.length, QTextCursor::KeepAnchor);
        cur.insertText(insert);
        cur.setPosition(c.start + int(insert.size()));
        box->setTextCursor(cur);
        box->viewport()->update();
    });
}

void restoreCaret(const Caret &c)
{
    if (auto *line = qobject_cast<QLineEdit *>(c.target.data())) {
        line->setSelection(c.start, c.length);
        return;
    }
    onTextCursor(c.target.data(), [&](auto *box) {
        QTextCursor cur = box->textCursor();
        cur.setPosition(c.start);
        cur.setPosition(c.start + c.length, QTextCursor::KeepAnchor);
        box->setTextCursor(cur);
    });
}

void insertParamCommand(int code)
{
    const Caret c = saveCaret();
    const std::optional<QString> command = vx::AskParamCommand(code, GetParm);
    if (command)
        insertAtCaret(c, *command);
    else
        restoreCaret(c);
}

void buildSoundsLike(QMenu *menu)
{
    menu->addAction(QStringLiteral("Generate Tone..."), [] { insertParamCommand(300); })
        ->setObjectName(QStringLiteral("mnuSoundsLikeGenTone"));
    menu->addAction(QStringLiteral("Play Recording..."), [] { insertParamCommand(200); })
        ->setObjectName(QStringLiteral("mnuSoundsLikePlayRec"));
    QMenu *mods = menu->addMenu(QStringLiteral("Phoneme Modifiers      "));
    mods->menuAction()->setObjectName(QStringLiteral("mnuSoundsLikePhmMod"));
    for (int i = 0; i < int(std::size(kModifiers)); ++i)
        mods->addAction(text(kModifiers[i]), [i] { insertAtCaret(saveCaret(), vx::PhonemeModifierText(i)); });
    QMenu *attrs = menu->addMenu(QStringLiteral("Voice Attributes"));
    attrs->menuAction()->setObjectName(QStringLiteral("mnuSoundsLikeVoiceAttr"));
    QMenu *voices = attrs->addMenu(QStringLiteral("Voice"));
    voices->menuAction()->setObjectName(QStringLiteral("mnuSoundsLikeVoices"));
    for (int i = 0; i < int(std::size(kVoices)); ++i)
        voices->addAction(text(kVoices[i]), [i] { insertAtCaret(saveCaret(), vx::VoiceCommandText(i)); });
    for (int i = 0; i < int(std::size(kVoiceAttrs)); ++i)
        attrs->addAction(text(kVoiceAttrs[i]), [i] { insertParamCommand(i); });
    QMenu *controls = menu->addMenu(QStringLiteral("Control"));
    controls->menuAction()->setObjectName(QStringLiteral("mnuSoundsLikeControls"));
    for (int i = 0; i < int(std::size(kControls)); ++i)
        controls->addAction(text(kControls[i]), [i] { insertParamCommand(i + 100); });
}

ParmPrompt &parmPrompt()
{
    static ParmPrompt prompt;
    return prompt;
}

} // namespace

void setParmPrompt(ParmPrompt prompt)
{
    parmPrompt() = std::move(prompt);
}

QString GetParm(const QString &name, int largest)
{
    if (parmPrompt())
        return parmPrompt()(name, largest);
    return frmParmEntry::instance()->GetParm(name, largest);
}

QMenu *BuildPopupMenu(const QString &name, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(name);
    if (name == QLatin1String("mnuSoundsLike")) {
        buildSoundsLike(menu);
        return menu;
    }
    const bool haveDocument = ActiveDocument() != nullptr;
    QHash<QString, QMenu *> submenus;
    int index = 0;
    for (const PopupItem &item : kItems) {
        const QString path = text(item.menu);
        const QString top = path.section(QLatin1Char('/'), 0, 0);
        if (top != name)
            continue;
        QMenu *into = menu;
        const QString sub = path.section(QLatin1Char('/'), 1);
        if (!sub.isEmpty()) {
            if (!submenus.contains(sub)) {
                submenus.insert(sub, menu->addMenu(sub));
                submenus.value(sub)->menuAction()->setObjectName(name + QStringLiteral("New"));
                submenus.value(sub)->menuAction()->setEnabled(mirrored(QStringLiteral("mnuFile")));
            }
            into = submenus.value(sub);
        }
        if (text(item.caption) == QLatin1String("-")) {
            into->addSeparator();
            ++index;
            continue;
        }
        QAction *a = into->addAction(text(item.caption));
        a->setProperty("Index", index++);
        const QString mirror = text(item.mirror);
        // The main window's items are mirrored always; a document's only while one is open.
        const bool mainItem = top == QLatin1String("mnuMDIForm");
        if (!mirror.isEmpty())
            a->setEnabled((mainItem || haveDocument) && mirrored(mirror));
        const QString runs = text(item.runs);
        QObject::connect(a, &QAction::triggered, a, [runs] {
            if (runs.startsWith(QLatin1Char('@')))
                runRoutine(runs);
            else if (frmMDI *main = frmMDI::instance())
                main->RunCommand(runs);
        });
    }
    if (menu->actions().isEmpty()) {
        delete menu;
        return nullptr;
    }
    return menu;
}

void ShowContextMenu(QWidget *owner, const QString &name)
{
    QMenu *menu = BuildPopupMenu(name, owner);
    if (!menu)
        return;
    ShowPopupMenu(owner, menu);
    delete menu;
}
