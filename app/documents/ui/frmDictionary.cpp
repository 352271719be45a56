#include "app/documents/ui/frmDictionary.h"

#include "app/Globals.h"
#include "app/HelpTopics.h"
#include "app/documents/GridWindowLayout.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileCommands.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/shell/ui/frmPopupMenus.h"
#include "app/startup/ui/MainToolbar.h"
#include "controls/splitter/Splitter.h"
#include "platform/Numbers.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>

#include <algorithm>

namespace {

QRect pixels(const TwipRect &r)
{
    return {vx::twipsToPixels(r.left), vx::twipsToPixels(r.top), vx::twipsToPixels(r.width),
            vx::twipsToPixels(r.height)};
}

QRect pixels(int left, int top, int width, int height)
{
    return pixels(TwipRect{left, top, width, height});
}

QFrame *frameBox(QWidget *parent, const char *name)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::Box);
    f->setFrameShadow(QFrame::Plain);
    return f;
}

template <class W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

} // namespace

frmDictionary::frmDictionary(QWidget *parent)
    : GridDocumentWindow(parent)
{
    setObjectName(QStringLiteral("frmDictionary"));
    // F1 in the window opens the section on rules, as its Reference link does.
    setProperty("HelpTopic", vx::help::kDictionaryRules);
    Splitter1 = named(new vx::Splitter(this), "Splitter1");
    picTopPane = named(new QWidget(this), "picTopPane");
    picBottomPane = named(new QWidget(this), "picBottomPane");

    shaDicListFrame = frameBox(picTopPane, "shaDicListFrame");
    vbalGrid1->setParent(picTopPane);
    txtHelp = named(new QPlainTextEdit(picTopPane), "txtHelp");
    txtHelp->setReadOnly(true);
    txtHelp->setFrameShape(QFrame::NoFrame);
    txtHelp->setFocusPolicy(Qt::NoFocus);
    txtHelp->setPlainText(QStringLiteral(
        "Type information in the boxes at the right, or press the Enter key to create a new empty rule."));

    picDictControls = named(new QWidget(picTopPane), "picDictControls");
    lblWord = named(new QLabel(QStringLiteral("Text String:"), picDictControls), "lblWord");
    txtWord = named(new QLineEdit(picDictControls), "txtWord");
    lblSoundsLike = named(new QLabel(QStringLiteral("Sounds Like:"), picDictControls), "lblSoundsLike");
    txtSoundsLike = named(new QLineEdit(picDictControls), "txtSoundsLike");
    picSayWord = named(new QToolButton(picDictControls), "picSayWord");
    picSaySoundsLike = named(new QToolButton(picDictControls), "picSaySoundsLike");
    for (QToolButton *say : {picSayWord, picSaySoundsLike}) {
        say->setIcon(say->style()->standardIcon(QStyle::SP_MediaVolume));
        say->setAutoRaise(true);
        say->setEnabled(Port != 0);
    }
    cmdAdd = named(new QPushButton(QStringLiteral("Add"), picDictControls), "cmdAdd");
    picReference = named(new QLabel(QStringLiteral("\u25B8"), picDictControls), "picReference");
    lblReference = named(new QLabel(QStringLiteral("Reference"), picDictControls), "lblReference");
    lblReference->setCursor(Qt::PointingHandCursor);
    lblTip = named(new QLabel(picDictControls), "lblTip");
    lblTip->setWordWrap(true);
    lblTip->setText(QStringLiteral("Tip: Tick the Use Dictionary checkbox in the TTS Controls panel to ") +
                    QStringLiteral("use the dictionary currently loaded in the ") + ChipModel + QStringLiteral("."));

    shaWordListFrame = frameBox(picBottomPane, "shaWordListFrame");
    lvwWordList = named(new QTreeWidget(picBottomPane), "lvwWordList");
    lvwWordList->setRootIsDecorated(false);
    lvwWordList->setHeaderLabels({QStringLiteral("Word"), QStringLiteral("Count")});
    lvwWordList->hide();
    picSortBy = named(new QWidget(picBottomPane), "picSortBy");
    lblWordList3 = named(new QLabel(QStringLiteral("Sort by:"), picSortBy), "lblWordList3");
    cboSortMethod = named(new QComboBox(picSortBy), "cboSortMethod");
    cboSortMethod->addItems({QStringLiteral(" Alphabetical A-Z"), QStringLiteral(" Alphabetical Z-A"),
                             QStringLiteral(" Increasing Freq"), QStringLiteral(" Decreasing Freq")});
    cboSortMethod->setCurrentIndex(3);
    lblWordList1 = named(new QLabel(QStringLiteral("Unique Words:"), picBottomPane), "lblWordList1");
    lblWordList2 = named(new QLabel(picBottomPane), "lblWordList2");

    // The rule pane fills the window until a word list is built.
    Splitter1->setChild1(picTopPane);
    Splitter1->setChild2(picBottomPane);
    Splitter1->setOrientation(vx::splitHorizontal);
    Splitter1->setSplitterColor(0);
    Splitter1->setSplitPercent(100);
    Splitter1->setSplitterWidth(0);
    Splitter1->setCursor(Qt::SplitVCursor);

    vbalGrid1->setRuleCheck(CheckDictionaryRule);
    ApplyEditorFont(this);
    layOutControls();
    resize(vx::twipsToPixels(9300), vx::twipsToPixels(5400));
    PreviewKeys();
    picDictControls->installEventFilter(this);
    connectWordEntry();
}

// The fixed places inside the word-entry panel and the lower pane.
void frmDictionary::layOutControls()
{
    lblWord->setGeometry(pixels(0, 120, 2200, 240));
    txtWord->setGeometry(pixels(0, 360, 2300, 330));
    picSayWord->setGeometry(pixels(2360, 360, 360, 330));
    lblSoundsLike->setGeometry(pixels(0, 840, 2200, 240));
    txtSoundsLike->setGeometry(pixels(0, 1080, 2300, 330));
    picSaySoundsLike->setGeometry(pixels(2360, 1080, 360, 330));
    cmdAdd->setGeometry(pixels(1380, 1560, 1340, 375));
    picReference->setGeometry(pixels(0, 2160, 240, 240));
    lblReference->setGeometry(pixels(260, 2160, 1200, 240));
    lblTip->setGeometry(pixels(0, 2580, 2720, 1100));
    picDictControls->resize(vx::twipsToPixels(2800), vx::twipsToPixels(3800));

    lblWordList1->setGeometry(pixels(120, 120, 1200, 240));
    lblWordList2->setGeometry(pixels(1340, 120, 1000, 240));
    lblWordList3->setGeometry(pixels(0, 0, 700, 300));
    cboSortMethod->setGeometry(pixels(720, 0, 1900, 300));
    picSortBy->setGeometry(pixels(3000, 60, 2640, 300));
}

QString frmDictionary::AskSaveFileName(const QString &initial)
{
    return GetSaveDictionaryFileName(initial);
}

void frmDictionary::Compile()
{
    CompileDictionary();
}

void frmDictionary::Form_Resize()
{
    if (!isVisible() || isMinimized())
        return;
    blnResizing = true;
    const int W = vx::pixelsToTwips(width());
    const int H = vx::pixelsToTwips(height());
    Splitter1->setGeometry(rect());
    // Sized while the window was still hidden, the splitter may never see its
    // resize; place its panes now so the grid is not clipped to a corner.
    Splitter1->layoutChildren();
    const bool listShown = !lvwWordList->isHidden();
    const DictionaryLayout l = LayOutDictionary(W, H, listShown, Splitter1->SplitPercent());
    if (listShown) {
        lvwWordList->setGeometry(pixels(l.wordList));
        shaWordListFrame->setGeometry(pixels(l.wordListFrame));
        placeSortBy();
        cboSortMethod->update();
        lvwWordList->viewport()->update();
    }
    vbalGrid1->setGeometry(pixels(l.grid));
    vbalGrid1->setVisible(l.gridVisible);
    shaDicListFrame->setVisible(l.gridVisible);
    picDictControls->move(vx::twipsToPixels(l.controlsLeft), 0);
    shaDicListFrame->setGeometry(pixels(l.gridFrame));
    vbalGrid1->FitRowHeights();
    if (txtEdit->isVisible())
        vbalGrid1->CancelEdit();
    txtHelp->setGeometry(pixels(l.help));
    txtHelp->setVisible(vbalGrid1->Rows() == 0 && l.gridVisible);
    if (txtHelp->isVisible())
        txtHelp->raise();
    blnResizing = false;
}

void frmDictionary::placeSortBy()
{
    // After the captions, but never cut off by the window's right edge. In a
    // narrow window the file name in the caption gives way, so the hint reads
    // whole; the hint is cut only when the name has nothing left to give.
    const int left = std::max(0, std::min(mSortByLeft, width() - picSortBy->width() - vx::twipsToPixels(120)));
    picSortBy->move(left, picSortBy->y());
    const int gap = vx::twipsToPixels(300);
    lblWordList2->adjustSize();
    if (!mListCaption.isEmpty()) {
        const QFontMetrics fm = lblWordList1->fontMetrics();
        const QString rest = mListCaption.mid(mListName.size());
        const int nameRoom = left - gap - lblWordList2->width() - gap - lblWordList1->x() - fm.horizontalAdvance(rest);
        lblWordList1->setText(fm.elidedText(mListName, Qt::ElideMiddle, std::max(0, nameRoom)) + rest);
        lblWordList1->adjustSize();
        lblWordList2->move(lblWordList1->x() + lblWordList1->width() + gap, lblWordList2->y());
    }
    const int room = left - gap - lblWordList2->x();
    if (lblWordList2->width() > room)
        lblWordList2->resize(std::max(0, room), lblWordList2->height());
}

void frmDictionary::vbalGrid1_RequestEdit(int Row, int Col, int KeyAscii, bool &Cancel)
{
    (void)Row, (void)Col, (void)KeyAscii, (void)Cancel;
    EditFinished = false;
}

void frmDictionary::GridRowInserted()
{
    txtHelp->hide();
}

bool frmDictionary::Form_KeyPress(int KeyAscii)
{
    switch (KeyAscii) {
    case 19: {
        const QAction *save = ToolbarButton(QStringLiteral("Save"));
        if (!save || save->isEnabled())
            FileSave();
        return true;
    }
    case 13:
        return InsertFirstRow();
    default:
        return false;
    }
}

void frmDictionary::picDictControls_MouseUp(Qt::MouseButton Button)
{
    vbalGrid1->setFocus();
    if (Button == Qt::RightButton)
        ShowContextMenu(this, QStringLiteral("mnuDictionary"));
    else
        UpdateToolbarState();
    vbalGrid1->setFocus();
}

bool frmDictionary::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == txtWord || watched == txtSoundsLike) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter is Add, and only while Add may run: a disabled Add would
            // keep a word it cannot transcribe (no chip) or add into a
            // collapsed group.
            if (cmdAdd->isEnabled())
                cmdAdd_Click();
            return true;
        }
    }
    if (watched == picDictControls && event->type() == QEvent::MouseButtonRelease)
        picDictControls_MouseUp(static_cast<QMouseEvent *>(event)->button());
    return GridDocumentWindow::eventFilter(watched, event);
}

void RegisterDictionaryDocuments()
{
    RegisterDocumentKind(vx::WindowKind::Dictionary, [] { return new frmDictionary; });
}
