#include "app/shell/ui/frmPopupMenus.h"

#include "app/Globals.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/panels/RecorderStatus.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/panels/ui/frmParmEntry.h"
#include "app/shell/CommandInsertion.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmPrefs.h"
#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/Speaking.h"
#include "app/startup/ui/frmMDI.h"
#include "common/Delay.h"
#include "platform/Prompter.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include <iterator>

namespace {

// One item: the submenu it sits in (or none), its caption, what it runs and
// what its enabled state mirrors. Runs: a main-window command name, or "@"
// and a routine of this file. Mirror: a menu item name, "tb:" and a toolbar
// key, "win:" and an action of the active window, "@phoneticText", or empty
// (keeps its initial state: enabled).
struct PopupItem
{
    const char *id;
    const char *submenu;
    const char *caption;
    const char *runs;
    const char *mirror;
};

const PopupItem kItems[] = {
    {"newText", "&New", "&Text Box", "mnuFileNewText", "mnuFile"},
    {"newSoundLib", "&New", "&Sound Library", "mnuFileNewSoundLib", "mnuFile"},
    {"newDictionary", "&New", "&Dictionary", "mnuFileNewDictionary", "mnuFile"},
    {"newMusic", "&New", "&Music Score", "mnuFileNewMusic", "mnuFile"},
    {"open", nullptr, "&Open...", "mnuFileOpen", "mnuFile"},
    {"download", nullptr, "&Download...      ", "mnuFileDnld", "mnuFileDnld"},
    {"add", nullptr, "&Add...", "mnuEditInsAdd", "mnuEditInsAdd"},
    {"insert", nullptr, "&Insert...", "mnuEditInsAdd", "mnuEditInsAdd"},
    {"edit", nullptr, "&Edit...", "mnuEditEdit", "mnuEditEdit"},
    {"cut", nullptr, "Cu&t", "mnuEditCut", "mnuEditCut"},
    {"copy", nullptr, "&Copy", "mnuEditCopy", "mnuEditCopy"},
    {"paste", nullptr, "&Paste", "mnuEditPaste", "mnuEditPaste"},
    {"delete", nullptr, "&Delete", "mnuEditDelete", "mnuEditDelete"},
    {"selectAll", nullptr, "Select &All", "mnuEditSelectAll", "mnuEditSelectAll"},
    {"play", nullptr, "Pla&y", "Play", "tb:Play"},
    {"playLater", nullptr, "Pla&y", "@playLater", "tb:Play"},
    {"record", nullptr, "&Record...", "Record", "tb:Record"},
    {"refresh", nullptr, "Re&fresh", "@refresh", "win:Refresh"},
    {"compile", nullptr, "C&ompile...", "mnuFileCompile", "mnuFileCompile"},
    {"openFolder", nullptr, "Open Folder", "@openFolder", "mnuEditDelete"},
    {"find", nullptr, "&Find...", "mnuEditFind", "mnuEditFind"},
    {"findNext", nullptr, "Find &Next", "mnuEditFindNext", "mnuEditFindNext"},
    {"hideShow", nullptr, "&Hide/Show", "mnuViewHide", "mnuViewHide"},
    {"comment", nullptr, "Comment", "mnuEditComment", "mnuEditComment"},
    {"uncomment", nullptr, "Uncomment", "mnuEditUnComment", "mnuEditUnComment"},
    {"prefsAppearance", nullptr, "P&references", "@prefs1", ""},
    {"prefsSoundLib", nullptr, "P&references", "@prefs2", ""},
    {"prefsDictionary", nullptr, "P&references", "@prefs3", ""},
    {"stop", nullptr, "Stop", "@stop", ""},
    {"pause", nullptr, "Pause", "@pause", ""},
    {"clear", nullptr, "C&lear", "@clearPhonetic", "@phoneticText"},
};

// Each menu's items by id, in order; "-" is a separator.
struct PopupMenu
{
    const char *name;
    const char *items;
};

const PopupMenu kMenus[] = {
    {"mnuMDIForm", "newText newSoundLib newDictionary newMusic open download"},
    {"mnuSoundLib",
     "add cut copy paste delete selectAll - play refresh compile edit openFolder - prefsSoundLib"},
    {"mnuTextWindow",
     "playLater record - cut copy paste delete selectAll - find findNext - prefsAppearance"},
    {"mnuTextWindowPlaying", "stop pause"},
    {"mnuDictionary",
     "insert edit cut copy paste delete selectAll - compile - hideShow comment uncomment - prefsDictionary"},
    {"mnuMusic",
     "insert edit cut copy paste delete selectAll - play compile - hideShow comment uncomment - prefsAppearance"},
    {"mnuPhmWindow", "copy clear"},
};

// Pictures from the main window's menu image list, by caption.
struct PopupIcon
{
    const char *caption;
    int image;
};
const PopupIcon kIcons[] = {
    {"&New", 0},         {"&Open...", 1},     {"Open Folder", 1},    {"&Paste", 2},      {"&Find...", 3},
    {"&Copy", 6},        {"Cu&t", 7},         {"&Delete", 8},        {"&Download...", 9}, {"&Sound Library", 11},
    {"&Dictionary", 12}, {"&Text Box", 14},   {"P&references", 18},  {"Pla&y", 20},      {"&Record...", 21},
    {"C&ompile...", 22}, {"&Add...", 23},     {"&Insert...", 23},    {"Re&fresh", 24},   {"&Edit...", 27},
    {"&Music Score", 28}, {"&Hide/Show", 29}, {"Comment", 32},       {"Uncomment", 33},
};

void applyIcons(QMenu *menu)
{
    for (QAction *a : menu->actions()) {
        const QString caption = a->text().trimmed(); // "&Download..." ends in blanks
        for (const PopupIcon &icon : kIcons) {
            if (caption == QLatin1String(icon.caption))
                a->setIcon(images::menuImage(icon.image));
        }
        if (a->menu())
            applyIcons(a->menu());
    }
}

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

const PopupItem *findItem(const QString &id)
{
    for (const PopupItem &item : kItems) {
        if (id == QLatin1String(item.id))
            return &item;
    }
    return nullptr;
}

QPlainTextEdit *phoneticBox()
{
    QWidget *w = DocumentAt(1); // the phonetic window's fixed slot
    return w ? w->findChild<QPlainTextEdit *>() : nullptr;
}

QAction *windowAction(const QString &name)
{
    QWidget *w = ActiveDocument();
    return w ? w->findChild<QAction *>(name) : nullptr;
}

bool mirrored(const QString &mirror)
{
    if (mirror.startsWith(QLatin1String("tb:"))) {
        QAction *b = ToolbarButton(mirror.mid(3));
        return b && b->isEnabled();
    }
    if (mirror.startsWith(QLatin1String("win:"))) {
        QAction *a = windowAction(mirror.mid(4));
        return a && a->isEnabled();
    }
    if (mirror == QLatin1String("@phoneticText")) {
        QPlainTextEdit *box = phoneticBox();
        return box && !box->toPlainText().isEmpty();
    }
    frmMDI *main = frmMDI::instance();
    const QList<QAction *> items = main ? main->Items(mirror) : QList<QAction *>{};
    return !items.isEmpty() && items.first()->isEnabled();
}

// Preferences open on the panel that belongs to the window.
void showPreferences(int tab)
{
    frmPrefs::instance()->NewTab(tab);
    if (frmMDI *main = frmMDI::instance())
        main->mnuEditPreferences_Click();
}

void runRoutine(const QString &name)
{
    if (name.startsWith(QLatin1String("@prefs"))) {
        showPreferences(name.mid(6).toInt());
    } else if (name == QLatin1String("@stop")) {
        StopPlayback();
    } else if (name == QLatin1String("@pause")) {
        PauseSpeaking();
    } else if (name == QLatin1String("@playLater")) {
        // The text window starts speaking once the menu has closed.
        PlayRequested = true;
    } else if (name == QLatin1String("@refresh")) {
        CheckMissingSoundFiles();
    } else if (name == QLatin1String("@openFolder")) {
        if (auto *lib = qobject_cast<frmSoundLib *>(ActiveDocument()))
            lib->OpenSoundFileFolder();
    } else if (name == QLatin1String("@clearPhonetic")) {
        if (QPlainTextEdit *box = phoneticBox())
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

template <class Box> void readSelection(Box *box, Caret &c)
{
    const QTextCursor cur = box->textCursor();
    c.start = cur.selectionStart();
    c.length = cur.selectionEnd() - cur.selectionStart();
}

Caret saveCaret()
{
    Caret c;
    QWidget *doc = ActiveDocument();
    c.target = doc ? doc->focusWidget() : QApplication::focusWidget();
    if (auto *box = qobject_cast<QTextEdit *>(c.target.data())) {
        readSelection(box, c);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(c.target.data())) {
        readSelection(plain, c);
    } else if (auto *line = qobject_cast<QLineEdit *>(c.target.data())) {
        c.start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        c.length = int(line->selectedText().size());
    }
    return c;
}

template <class Box> void replaceSelection(Box *box, const Caret &c, const QString &insert, bool caretAfter)
{
    QTextCursor cur = box->textCursor();
    cur.setPosition(c.start);
    cur.setPosition(c.start + c.length, QTextCursor::KeepAnchor);
    if (caretAfter) {
        cur.insertText(insert);
        cur.setPosition(c.start + int(insert.size()));
    }
    box->setTextCursor(cur);
    box->viewport()->update();
}

// Puts the saved selection back and, with text, replaces it and leaves the
// caret behind it. Only the editing boxes take a command; a list, a grid or
// a button receives nothing.
void restoreCaret(const Caret &c, const QString &insert = QString())
{
    const bool caretAfter = !insert.isEmpty();
    if (auto *box = qobject_cast<QTextEdit *>(c.target.data())) {
        replaceSelection(box, c, insert, caretAfter);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(c.target.data())) {
        replaceSelection(plain, c, insert, caretAfter);
    } else if (auto *line = qobject_cast<QLineEdit *>(c.target.data())) {
        line->setSelection(c.start, c.length);
        if (caretAfter) {
            line->insert(insert);
            line->setCursorPosition(c.start + int(insert.size()));
        }
    }
}

void insertAtCaret(const Caret &c, const QString &insert)
{
    restoreCaret(c, insert);
}

void insertParamCommand(const Caret &c, int code)
{
    const auto prompt = [](const QString &name, int largest) {
        ParmPromptOpen = true;
        const QString answer = GetParm(name, largest);
        ParmPromptOpen = false;
        return answer;
    };
    const std::optional<QString> command = vx::AskParamCommand(code, prompt);
    if (command)
        insertAtCaret(c, *command);
    else
        restoreCaret(c);
}

// Play Recording and Generate Tone first show the control panel that makes
// the value (the recorder or the tone generator), then ask for it while the
// edit stays open.
void insertPanelCommand(int tab, int code)
{
    const Caret c = saveCaret();
    ParmPromptOpen = true;
    QPointer<QWidget> doc = ActiveDocument();
    frmMDI *main = frmMDI::instance();
    QWidget *panels = main ? main->panelsWindow() : nullptr;
    if (main && panels && !panels->isVisible())
        main->mnuViewCtlPanels_Click();
    if (auto *cp = qobject_cast<frmCpanels *>(panels))
        cp->NewTab(tab);
    Delay(0.1);
    auto focusDocument = [&doc, &c] {
        if (!doc)
            return;
        if (auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget()); sub && sub->mdiArea())
            sub->mdiArea()->setActiveSubWindow(sub);
        if (c.target)
            c.target->setFocus();
    };
    focusDocument();
    ParmPromptOpen = false;
    insertParamCommand(c, code);
    focusDocument();
}

void buildSoundsLike(QMenu *menu)
{
    menu->addAction(QStringLiteral("Generate Tone..."), [] { insertPanelCommand(0, 300); })
        ->setObjectName(QStringLiteral("mnuSoundsLikeGenTone"));
    menu->addAction(QStringLiteral("Play Recording..."), [] { insertPanelCommand(4, 200); })
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
        attrs->addAction(text(kVoiceAttrs[i]), [i] { insertParamCommand(saveCaret(), i); });
    QMenu *controls = menu->addMenu(QStringLiteral("Control"));
    controls->menuAction()->setObjectName(QStringLiteral("mnuSoundsLikeControls"));
    for (int i = 0; i < int(std::size(kControls)); ++i)
        controls->addAction(text(kControls[i]), [i] { insertParamCommand(saveCaret(), i + 100); });
}

} // namespace

QString GetParm(const QString &name, int largest)
{
    return frmParmEntry::instance()->GetParm(name, largest);
}

QMenu *BuildPopupMenu(const QString &name, QWidget *parent)
{
    const PopupMenu *layout = nullptr;
    for (const PopupMenu &m : kMenus) {
        if (name == QLatin1String(m.name))
            layout = &m;
    }
    if (!layout && name != QLatin1String("mnuSoundsLike"))
        return nullptr;
    auto *menu = new QMenu(parent);
    menu->setObjectName(name);
    if (!layout) {
        buildSoundsLike(menu);
        return menu;
    }
    // The main window's items are mirrored always, the others while any
    // document is open: the phonetic window's too, though it is no document.
    const bool mirror = name == QLatin1String("mnuMDIForm") || FindFirstDocumentSlot() != 0;
    QHash<QString, QMenu *> submenus;
    int index = 0;
    for (const QString &id : text(layout->items).split(QLatin1Char(' '))) {
        const PopupItem *item = findItem(id);
        if (!item) {
            menu->addSeparator();
            ++index;
            continue;
        }
        QMenu *into = menu;
        if (item->submenu) {
            const QString sub = text(item->submenu);
            if (!submenus.contains(sub)) {
                QMenu *m = menu->addMenu(sub);
                m->menuAction()->setObjectName(name + QStringLiteral("New"));
                m->menuAction()->setEnabled(mirrored(QStringLiteral("mnuFile")));
                submenus.insert(sub, m);
            }
            into = submenus.value(sub);
        }
        QAction *a = into->addAction(text(item->caption));
        a->setProperty("Index", index++);
        if (*item->mirror)
            a->setEnabled(mirror && mirrored(text(item->mirror)));
        const QString runs = text(item->runs);
        QObject::connect(a, &QAction::triggered, a, [runs] {
            if (runs.startsWith(QLatin1Char('@')))
                runRoutine(runs);
            else if (frmMDI *main = frmMDI::instance())
                main->RunCommand(runs);
        });
    }
    applyIcons(menu);
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
