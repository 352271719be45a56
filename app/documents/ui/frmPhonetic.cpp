#include "app/documents/ui/frmPhonetic.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/TextFile.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/shell/ui/EditorFont.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/ui/Speaking.h"
#include "platform/Numbers.h"
#include "platform/Settings.h"

#include <QKeyEvent>
#include <QVBoxLayout>

frmPhonetic::frmPhonetic(QWidget *parent)
    : MdiChild(parent)
{
    setObjectName(QStringLiteral("frmPhonetic"));
    setWindowTitle(QStringLiteral("Phonetic Output"));
    // The window lives as long as the program; a close only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    txtInputBox = new TextBox(this);
    txtInputBox->setObjectName(QStringLiteral("txtInputBox"));
    txtInputBox->setMaxLength(kTextMaxLength);
    txtInputBox->setFont(EditorFont());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtInputBox);
    setFocusProxy(txtInputBox);
    txtInputBox->installEventFilter(this);
    txtInputBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtInputBox, &QWidget::customContextMenuRequested, this,
            [this] { ShowContextMenu(this, QStringLiteral("mnuPhmWindow")); });
    connect(txtInputBox, &QPlainTextEdit::selectionChanged, this, [] {
        if (!Busy)
            UpdateToolbarState();
    });
}

bool frmPhonetic::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtInputBox && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // The text window's keys: Paste, Cut and Record never reach the box.
        if (TextBoxKeyDown(txtInputBox, key->key(), key->modifiers()))
            return true;
        const QChar k = ControlCharacter(key->key(), key->modifiers());
        if (!k.isNull() && SpeakingKeyPress(k))
            return true;
    }
    return MdiChild::eventFilter(watched, event);
}

WindowState frmPhonetic::state() const
{
    WindowState s;
    s.kind = vx::WindowKind::Phonetic;
    s.control = vx::ActiveControl::TextBox;
    s.windowTextEmpty = txtInputBox->document()->isEmpty();
    s.textBox.selLength = txtInputBox->SelLength();
    s.textBox.textEmpty = s.windowTextEmpty;
    return s;
}

void frmPhonetic::Form_Activate()
{
    // A tool window hidden by its close still hears of activation.
    if (Visible())
        MdiChild::Form_Activate();
}

void frmPhonetic::Form_QueryUnload(bool &Cancel)
{
    if (Busy) {
        Cancel = true;
        return;
    }
    if (!HideWhileRunning(Cancel))
        SaveToolWindowPlace(QStringLiteral("Phonetics"), true);
}

frmPhonetic *PhoneticWindow()
{
    if (auto *w = qobject_cast<frmPhonetic *>(DocumentAt(1)))
        return w;
    auto *w = new frmPhonetic;
    PlaceToolWindow(1, w);
    w->AttachToMainWindow();
    return w;
}
