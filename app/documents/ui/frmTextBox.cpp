#include "app/documents/ui/frmTextBox.h"

#include "app/Globals.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/documents/TextFile.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/TextBox.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/EditorFont.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Recording.h"
#include "app/startup/ui/Speaking.h"
#include "platform/Numbers.h"

#include <QAction>
#include <QKeyEvent>
#include <QVBoxLayout>

frmTextBox::frmTextBox(QWidget *parent)
    : DocumentWindow(parent)
{
    setObjectName(QStringLiteral("frmTextBox"));
    txtInputBox = new TextBox(this);
    txtInputBox->setObjectName(QStringLiteral("txtInputBox"));
    txtInputBox->setMaxLength(kTextMaxLength);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtInputBox);
    resize(vx::twipsToPixels(5500), vx::twipsToPixels(3000));
    setFocusProxy(txtInputBox);

    // Setting the font is set-up, not an edit.
    FontLoading = true;
    txtInputBox->setFont(EditorFont());
    FontLoading = false;

    connect(txtInputBox, &QPlainTextEdit::textChanged, this, &frmTextBox::txtInputBox_Change);
    connect(txtInputBox, &QPlainTextEdit::selectionChanged, this, [] {
        if (!Busy)
            UpdateToolbarState();
    });
    txtInputBox->installEventFilter(this);
    txtInputBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtInputBox, &QWidget::customContextMenuRequested, this,
            [this] { txtInputBox_MouseUp(Qt::RightButton); });
}

void frmTextBox::txtInputBox_MouseUp(Qt::MouseButton Button)
{
    if (Button == Qt::RightButton)
        ShowContextMenu(this, Busy ? QStringLiteral("mnuTextWindowPlaying") : QStringLiteral("mnuTextWindow"));
    // The menu's Play only asks: speaking starts once the menu is gone.
    if (PlayRequested) {
        PlayRequested = false;
        PlayTextOrRecording();
    }
}

WindowState frmTextBox::state() const
{
    WindowState s;
    s.kind = vx::WindowKind::Text;
    s.control = vx::ActiveControl::TextBox;
    const int sl = slot();
    s.dirty = sl >= 0 && sl < DocState.size() && DocState[sl].Dirty;
    s.windowTextEmpty = txtInputBox->document()->isEmpty();
    s.textBox.selLength = txtInputBox->SelLength();
    s.textBox.textEmpty = s.windowTextEmpty;
    return s;
}

QString frmTextBox::AskSaveFileName(const QString &initial)
{
    return GetSaveTextFileName(initial);
}

bool frmTextBox::SaveFile(const QString &path, QString *error)
{
    return SaveTextFile(path, txtInputBox->Text(), error);
}

QString frmTextBox::CodePageText() const
{
    return txtInputBox->Text();
}

bool frmTextBox::LoadFile(const QString &path, QString *error)
{
    QString text;
    if (!LoadTextFile(path, text, error))
        return false;
    mLoading = true;
    txtInputBox->setText(text);
    mLoading = false;
    record().Dirty = false;
    return true;
}

bool frmTextBox::EditCommand(EditAction action)
{
    switch (action) {
    case EditAction::Cut:
        txtInputBox->cut();
        return true;
    case EditAction::Copy:
        txtInputBox->copy();
        return true;
    case EditAction::Paste:
        txtInputBox->pasteLimited();
        return true;
    case EditAction::Delete:
        txtInputBox->textCursor().removeSelectedText();
        return true;
    case EditAction::SelectAll:
        txtInputBox->selectAll();
        return true;
    default:
        return false;
    }
}

void frmTextBox::txtInputBox_Change()
{
    if (FontLoading || mLoading)
        return;
    MarkModified();
}

bool frmTextBox::txtInputBox_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift)
{
    return TextBoxKeyDown(txtInputBox, KeyCode, Shift);
}

bool TextBoxKeyDown(TextBox *box, int KeyCode, Qt::KeyboardModifiers Shift)
{
    if (!(Shift & Qt::ControlModifier)) {
        if (KeyCode == Qt::Key_Escape && !UpdatingControls) {
            box->clearSelection();
            return true;
        }
        return false;
    }
    // Paste and Cut are the Edit menu's: the box's own handling never runs.
    switch (KeyCode) {
    case Qt::Key_V:
    case Qt::Key_X:
        if (EditTextControl(box, KeyCode == Qt::Key_V ? EditAction::Paste : EditAction::Cut))
            UpdateToolbarState();
        return true;
    case Qt::Key_R: {
        // Ctrl+R records the text to a wave file, once; the box never sees it.
        const QAction *record = ToolbarButton(QStringLiteral("Record"));
        if (record && record->isEnabled() && ButtonTag(record) == QLatin1String("Record"))
            RecordTextToWaveCommand();
        return true;
    }
    default:
        return false;
    }
}

bool frmTextBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtInputBox && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (txtInputBox_KeyDown(key->key(), key->modifiers()))
            return true;
        const QChar k = ControlCharacter(key->key(), key->modifiers());
        if (!k.isNull() && SpeakingKeyPress(k))
            return true;
    }
    return DocumentWindow::eventFilter(watched, event);
}

void RegisterTextDocuments()
{
    RegisterDocumentKind(vx::WindowKind::Text, [] { return new frmTextBox; });
}
