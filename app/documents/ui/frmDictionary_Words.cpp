// The dictionary window's word entry (speaking a word, the chip's
// transcription, adding the exception as a rule) and its word list.

#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/Busy.h"
#include "app/startup/Receive.h"
#include "app/startup/SendPath.h"
#include "app/startup/ui/Speaking.h"
#include "common/Clock.h"
#include "common/Delay.h"
#include "common/TextUtil.h"
#include "common/ui/Rollover.h"
#include "controls/splitter/Splitter.h"
#include "link/LinkError.h"
#include "link/SerialComm.h"
#include "platform/Help.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeWidget>

namespace {

const QString kNul = QString(QChar(0));
const QString kCan = QString(QChar(24));

// A reply that never falls silent must not hold the window for ever.
constexpr double kTranscriptionCap = 5.0;
constexpr double kTranscriptionQuiet = 0.25;

bool isPhonetic(const QString &s)
{
    return s.size() >= 2 && s.startsWith(QLatin1Char('<')) && s.endsWith(QLatin1Char('>'));
}

// The part of a rule's word that is spoken: what stands in its parentheses.
QString SpokenPart(const QString &s)
{
    const qsizetype a = s.indexOf(QLatin1Char('('));
    const qsizetype b = s.indexOf(QLatin1Char(')'));
    return a >= 0 && b > a ? s.mid(a + 1, b - a - 1) : s;
}

// A tone command: the command character, its digits, then "J".
bool isToneCommand(const QString &s)
{
    const QRegularExpression tone(QRegularExpression::escape(CmdChar) + QStringLiteral("[0-9]*J"),
                                  QRegularExpression::CaseInsensitiveOption);
    return s.contains(tone);
}

void showLinkError(const LinkError &e)
{
    vx::MsgBox(QStringLiteral("ERROR: ") + e.description(), vx::Buttons::Ok, vx::Icon::Exclamation);
}

// Focus that comes back after a menu, a dialog or another program.
bool returningFocus(Qt::FocusReason reason)
{
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

// The boxes' focus behaviour and the clickable pictures and label.
class WordEntryEvents : public QObject
{
public:
    explicit WordEntryEvents(frmDictionary *w)
        : QObject(w)
        , mW(w)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool box = watched == mW->txtWord || watched == mW->txtSoundsLike;
        switch (event->type()) {
        case QEvent::MouseMove:
            if (!box)
                SetRollover(static_cast<QWidget *>(watched));
            break;
        case QEvent::FocusIn:
            // Coming back from a menu, a prompt or another program keeps the caret.
            if (box && !returningFocus(static_cast<QFocusEvent *>(event)->reason())) {
                auto *edit = static_cast<QLineEdit *>(watched);
                QMetaObject::invokeMethod(edit, [edit] { edit->selectAll(); }, Qt::QueuedConnection);
                mW->cmdAdd->setDefault(true);
            }
            break;
        case QEvent::FocusOut:
            if (box)
                mW->cmdAdd->setDefault(false);
            break;
        case QEvent::KeyRelease:
            if (box)
                UpdateToolbarState();
            break;
        case QEvent::MouseButtonRelease:
            if (box) {
                UpdateToolbarState();
                // The chip commands are offered only where the caret already is.
                if (watched == mW->txtSoundsLike && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton &&
                    mW->focusWidget() == mW->txtSoundsLike)
                    ShowContextMenu(mW, QStringLiteral("mnuSoundsLike"));
            } else if (watched == mW->lblReference) {
                mW->lblReference_Click();
            } else if (watched == mW->lvwWordList->viewport()) {
                UpdateToolbarState();
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    frmDictionary *mW;
};

} // namespace

void frmDictionary::connectWordEntry()
{
    picSayWord->setToolTip(QStringLiteral("Say the word without any correction"));
    picSaySoundsLike->setToolTip(QStringLiteral("Say the replacement word/phonetics"));
    cmdAdd->setToolTip(QStringLiteral("Add exception to dictionary"));
    txtSoundsLike->setToolTip(QStringLiteral("Right-click to insert a command"));
    // The right button opens the chip commands, not the box's own edit menu.
    txtSoundsLike->setContextMenuPolicy(Qt::NoContextMenu);
    lblReference->setToolTip(QStringLiteral("Click to view list of phonemes and tokens"));
    lblWordList2->setText(QStringLiteral("Double-click a word to verify its pronunciation"));
    lvwWordList->setColumnCount(1);
    lvwWordList->setHeaderHidden(true);

    auto *events = new WordEntryEvents(this);
    for (QWidget *w : {static_cast<QWidget *>(txtWord), static_cast<QWidget *>(txtSoundsLike),
                       static_cast<QWidget *>(lblReference), static_cast<QWidget *>(picSayWord),
                       static_cast<QWidget *>(picSaySoundsLike)})
        w->installEventFilter(events);
    for (QWidget *hover : {static_cast<QWidget *>(lblReference), static_cast<QWidget *>(picSayWord),
                           static_cast<QWidget *>(picSaySoundsLike)})
        hover->setMouseTracking(true);
    lvwWordList->viewport()->installEventFilter(events);
    connect(txtWord, &QLineEdit::textChanged, this, [this] { UpdateAddButton(); });
    connect(txtSoundsLike, &QLineEdit::textChanged, this, [this] { UpdateAddButton(); });
    connect(picSayWord, &QToolButton::clicked, this, [this] { picSayWord_Click(); });
    connect(picSaySoundsLike, &QToolButton::clicked, this, [this] { picSaySoundsLike_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(Splitter1, &vx::Splitter::Resize, this, [this] { Splitter1_Resize(); });
    connect(cboSortMethod, &QComboBox::activated, this, [this] { cboSortMethod_Click(); });
    connect(lvwWordList, &QTreeWidget::itemClicked, this, [this] { lvwWordList_Click(); });
    connect(lvwWordList, &QTreeWidget::itemDoubleClicked, this, [this] { lvwWordList_DblClick(); });
    UpdateAddButton();
}

// --- word entry ---------------------------------------------------------------

void frmDictionary::UpdateAddButton()
{
    const QString sounds = txtSoundsLike->text();
    bool enabled = !txtWord->text().isEmpty() && (sounds.isEmpty() || isPhonetic(sounds) || Port != 0);
    const int row = vbalGrid1->SelectedRow();
    if (vbalGrid1->rows().exists(row) && vbalGrid1->rows().row(row).icon == kIconCollapsed)
        enabled = false;
    cmdAdd->setEnabled(enabled);
}

void frmDictionary::GridRowsCollapsed()
{
    cmdAdd->setEnabled(false);
}

void frmDictionary::UpdateFields()
{
    txtSoundsLike->clear();
    txtWord->clear();
    const int row = vbalGrid1->SelectedRow();
    if (!vbalGrid1->rows().exists(row))
        return;
    const QString t = vbalGrid1->rows().row(row).text;
    if (IsCommentLine(t)) {
        txtWord->setText(t);
    } else if (t.size() > 1 && t.contains(QLatin1Char('='))) {
        const qsizetype eq = t.lastIndexOf(QLatin1Char('='));
        txtSoundsLike->setText(QLatin1Char('<') + t.mid(eq + 1) + QLatin1Char('>'));
        txtWord->setText(t.left(eq));
    }
}

namespace {
// Speaks s in text mode, through the loaded dictionary when the panels say to use it.
void sayInTextMode(const QString &s)
{
    SendToChip(kCan + CmdChar + QLatin1Char('t'));
    if (PanelUseDict()) {
        SendToChip(CmdChar + QLatin1Char('u') + kNul);
        Delay(0.1);
    } else {
        SendToChip(kNul);
    }
    SendToChip(s + kNul);
}
} // namespace

void frmDictionary::picSayWord_Click()
{
    if (!txtWord->text().isEmpty()) {
        StopRequested = false;
        QString s = txtWord->text();
        s = ExpandHexEscapes(s);
        s = SpokenPart(s);
        try {
            sayInTextMode(s);
        } catch (const LinkError &e) {
            showLinkError(e);
        }
    }
    txtWord->setFocus();
}

void frmDictionary::picSaySoundsLike_Click()
{
    if (!txtSoundsLike->text().isEmpty()) {
        StopRequested = false;
        QString s = txtSoundsLike->text();
        s = ExpandHexEscapes(s);
        s = ApplyCommandCharacter(s);
        try {
            if (!isPhonetic(s)) {
                sayInTextMode(s);
            } else if (s.size() > 2) {
                SendToChip(kCan + CmdChar + QLatin1Char('d') + kNul + s.mid(1, s.size() - 2) + kNul);
            }
            SendToChip(CmdChar + QLatin1Char('t') + kNul);
        } catch (const LinkError &e) {
            showLinkError(e);
        }
    }
    txtSoundsLike->setFocus();
}

QString frmDictionary::Transcribe(const QString &s)
{
    if (!Comm || Port == 0 || !Comm->PortOpen()) {
        // No chip: nothing answers, as the silence after a request shows.
        Delay(kTranscriptionQuiet);
        return {};
    }
    QString out;
    Comm->setInputMode(SerialComm::comInputModeText);
    Comm->setInputLen(32);
    StopRequested = false;
    // The answer is read here, not by the receive handler.
    Comm->holdEvents();
    try {
        SendToChip(kCan + CmdChar + QLatin1Char('t') + (PanelUseDict() ? CmdChar + QLatin1Char('u') : QString()) +
                   kNul);
        Delay(0.1);
        SendToChip(CmdChar + QStringLiteral("10?") + s + kNul);
        PhonemeConverterState state;
        const double start = vx::Clock::seconds();
        double last = start;
        for (;;) {
            const double now = vx::Clock::seconds();
            if (now > last + kTranscriptionQuiet || now > start + kTranscriptionCap || StopRequested)
                break;
            Comm->waitForInput(0.02);
            if (Comm->InBufferCount() > 0) {
                out += ConvertChipCodesToPhonemes(Comm->Input(), state);
                last = vx::Clock::seconds();
            }
        }
        SendToChip(kCan);
    } catch (const LinkError &e) {
        showLinkError(e);
    }
    Comm->setInputMode(SerialComm::comInputModeBinary);
    Comm->releaseEvents();
    return out.trimmed();
}

void frmDictionary::cmdAdd_Click()
{
    const bool comment = IsCommentLine(txtWord->text());
    if (!comment) {
        const QString word = txtWord->text();
        if (!word.contains(QLatin1Char(')')) || !word.contains(QLatin1Char('(')))
            txtWord->setText(QLatin1Char('(') + word + QLatin1Char(')'));
        const QString typed = txtSoundsLike->text();
        QString s = typed;
        s = ExpandHexEscapes(s);
        s = ApplyCommandCharacter(s);
        // Nothing typed to sound like: the chip transcribes the word itself.
        if (s.isEmpty()) {
            QString spoken = txtWord->text();
            s = SpokenPart(ExpandHexEscapes(spoken));
        }
        if (isPhonetic(typed))
            txtSoundsLike->setText(typed.mid(1, typed.size() - 2));
        else if (isToneCommand(s))
            txtSoundsLike->setText(QStringLiteral("\\01J"));
        else
            txtSoundsLike->setText(Transcribe(s));
    }

    vbalGrid1->InsertGridRow();
    vbalGrid1->CancelEdit();
    EditFinished = true;
    const int r = vbalGrid1->SelectedRow();
    const QString t = comment ? txtWord->text() : txtWord->text() + QLatin1Char('=') + txtSoundsLike->text();
    GridRows &rows = vbalGrid1->mutableRows();
    rows.row(r).text = SingleLineCellText(t);
    if (r > 1) {
        const int above = rows.row(r - 1).itemData;
        if (above == kGroupMember)
            rows.row(r).itemData = kGroupMember;
        else if (above == kLastGroupMember)
            rows.row(r).itemData = 0;
    }
    vbalGrid1->FormatGridRow();
    vbalGrid1->refreshRows();
    EvalTxtHeight(r);
    UpdateFields();
    MarkDocumentModified();
    if (!IsCommentLine(t) && !CheckDictionaryRule(t, false)) {
        vbalGrid1->mutableRows().row(r).foreColor = kBadRuleFore;
        vbalGrid1->refreshRows();
    }
    vbalGrid1->setFocus();
}

void frmDictionary::lblReference_Click()
{
    vx::showHelpTopic(vx::help::kDictionaryRules);
}

void frmDictionary::Splitter1_Resize()
{
    if (!isVisible() || blnResizing)
        return;
    // With the word list hidden the rule pane fills the window: no bar to snap.
    if (!lvwWordList->isVisible()) {
        Form_Resize();
        return;
    }
    const int percent = Splitter1->SplitPercent();
    if (percent < 5)
        Splitter1->setSplitPercent(5);
    else if (percent > 95)
        Splitter1->setSplitPercent(95);
    Form_Resize();
}

// --- the word list -----------------------------------------------------------

void frmDictionary::CreateWordList(const QString &Filename)
{
    const QFileInfo info(Filename);
    const QString name = ProperCase(info.fileName());
    frmProgress *progress = frmProgress::instance();
    progress->ProgressSetup(4, true, QStringLiteral("Analyzing File"), QString(), QString());
    progress->vbalProgress->setMaximum(static_cast<int>(WordListBytesToRead(info.size()) / 1024 + 1));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    BeginBusy();
    QCoreApplication::processEvents();

    WordListResult result = ::CreateWordList(
        Filename, CommandChar, [&](qint64 bytesRead, qint64, qsizetype unique) {
            QCoreApplication::processEvents();
            if (ProgressCancel)
                return true;
            if (frmProgress *p = frmProgress::loaded()) {
                p->vbalProgress->setValue(static_cast<int>(bytesRead / 1024));
                p->lblProgressMsg->setText(WordListProgressMessage(name, unique));
                p->raise();
            }
            return false;
        });
    const bool partial = result.partial || ProgressCancel;
    // Read as far as it goes: the bar ends full.
    if (frmProgress *p = frmProgress::loaded(); p && result.ok && !ProgressCancel)
        p->vbalProgress->setValue(p->vbalProgress->maximum());

    EndBusy();
    frmProgress::Unload();
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
    if (!result.ok) {
        vx::MsgBox(QStringLiteral("Error: ") + result.error, vx::Buttons::Ok, vx::Icon::Exclamation);
        return;
    }

    mWords = std::move(result.list);
    lvwWordList->clear();
    lvwWordList->show();
    mListName = name;
    mListCaption = WordListCaption(name, mWords.size(), partial);
    lblWordList1->setText(mListCaption);
    lblWordList1->adjustSize();
    lblWordList2->adjustSize();
    lblWordList2->move(lblWordList1->x() + lblWordList1->width() + vx::twipsToPixels(300), lblWordList2->y());
    mSortByLeft = lblWordList2->x() + lblWordList2->width() + vx::twipsToPixels(500);
    picSortBy->move(mSortByLeft, picSortBy->y());
    Splitter1->setSplitterWidth(60);
    Splitter1->setSplitPercent(60);
    // Wide enough for the caption row as laid out, where the document area allows.
    const int rowWidth = mSortByLeft + picSortBy->width() + vx::twipsToPixels(120);
    if (QWidget *f = frame())
        f->resize(std::max(f->width(), f->width() - width() + rowWidth),
                  std::max(f->height(), vx::twipsToPixels(7000)));
    KeepInsideDocumentArea(); // the list must not open below the status bar
    Form_Resize();
    cboSortMethod_Click();
    if (result.limit != WordListLimit::None)
        vx::MsgBox(WordListLimitMessage(name, result.limit), vx::Buttons::Ok, vx::Icon::Information);
}

void frmDictionary::cboSortMethod_Click()
{
    if (mWords.size() == 0)
        return;
    const int flags = kSortMethods[std::clamp(cboSortMethod->currentIndex(), 0, 3)].flags;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lvwWordList->clear();
    lblWordList2->setText(QStringLiteral("Sorting list. Please wait."));
    QCoreApplication::processEvents();
    mWords.sort((flags & 1) != 0, (flags & 2) != 0);
    QApplication::restoreOverrideCursor();
    QList<QTreeWidgetItem *> items;
    items.reserve(mWords.size());
    for (const WordCount &w : mWords.words())
        items.append(new QTreeWidgetItem(QStringList{WordListItemText(w)}));
    lvwWordList->addTopLevelItems(items);
    lblWordList2->setText(QStringLiteral("Double-click a word to verify its pronunciation"));
    placeSortBy();
    lvwWordList->setCurrentItem(lvwWordList->topLevelItem(0));
    lvwWordList->scrollToItem(lvwWordList->topLevelItem(0));
    lvwWordList->setFocus();
}

void frmDictionary::lvwWordList_Click()
{
    const QTreeWidgetItem *item = lvwWordList->currentItem();
    if (!item)
        return;
    txtWord->setText(WordFromItemText(item->text(0)));
    txtSoundsLike->setText(txtWord->text());
}

void frmDictionary::lvwWordList_DblClick()
{
    QTreeWidgetItem *item = lvwWordList->currentItem();
    if (Port == 0 || !item)
        return;
    item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
    picSayWord_Click();
    lvwWordList->setFocus();
}
