#include "tolvane/ui/frmFileDrop.h"

#include "tolvane/FileTypes.h"
#include "tolvane/Globals.h"
#include "tolvane/Session.h"
#include "tolvane/TolvanePrefs.h"
#include "tolvane/ui/frmMain.h"

#include "common/Delay.h"
#include "link/cTolvane.h"
#include "platform/Prompter.h"
#include "platform/QtPrompter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int tw(int twips) { return twips / 15; }
constexpr int toTwips(int px) { return px * 15; }

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 170, 0);
const QString kInvalidFormat = QStringLiteral("ERROR: Invalid file format");

} // namespace

frmFileDrop::frmFileDrop(frmMain *main, const QVector<tolv::QueueEntry> &files, QWidget *parent)
    : QWidget(parent), mMain(main), mFiles(files)
{
    setObjectName(QStringLiteral("frmFileDrop"));
    setWindowTitle(G.WindowTitle);

    lvwFileList = new QTreeWidget(this);
    lvwFileList->setObjectName(QStringLiteral("lvwFileList"));
    lvwFileList->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Progress"), QStringLiteral("Status")});
    lvwFileList->setRootIsDecorated(false);
    lvwFileList->header()->resizeSection(0, tw(2800));
    lvwFileList->header()->resizeSection(1, tw(1000));
    // A status is read whole: the column is as wide as its longest text, and
    // the list scrolls sideways when that is wider than the window.
    lvwFileList->header()->setStretchLastSection(false);
    lvwFileList->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->resize(tw(1300), tw(375));
    connect(cmdCancel, &QPushButton::clicked, this, &frmFileDrop::cmdCancel_Click);

    picCancelAck = new QWidget(this);
    picCancelAck->setObjectName(QStringLiteral("picCancelAck"));
    picCancelAck->resize(tw(4600), tw(480));
    lblCancelAck = new QLabel(
        QStringLiteral("Cancel request acknowledged. Please wait for the current download to complete."), picCancelAck);
    lblCancelAck->setObjectName(QStringLiteral("lblCancelAck"));
    lblCancelAck->setWordWrap(true);
    // Two lines at the usual font; a larger desktop font takes the lines it
    // needs, in the room above the window's foot.
    const int ackHeight = std::max(tw(480), lblCancelAck->heightForWidth(tw(4600)));
    picCancelAck->resize(tw(4600), ackHeight);
    lblCancelAck->setGeometry(0, 0, tw(4600), ackHeight);
    picCancelAck->hide();

    for (int i = 0; i < 2; ++i) {
        lblComInfo[i] = new QLabel(this);
        lblComInfo[i]->setObjectName(QStringLiteral("lblComInfo"));
        lblComInfo[i]->resize(tw(2400), tw(300));
    }
    lblComInfo[0]->setStyleSheet(QStringLiteral("color: gray; font-weight: bold;"));
    // The drop window has no dark status frame: the face is drawn in blue.
    lblComInfo[1]->setStyleSheet(QStringLiteral("color: rgb(33, 93, 198); font-weight: bold;"));
    lblComInfo[0]->setText(tolv::portInfoText(G.Port, G.BaudRate));
    lblComInfo[1]->setText(lblComInfo[0]->text());
    lblComInfo[1]->raise();
    // The notice covers the port display below it: drawn on its own ground,
    // above the labels, only the notice shows.
    picCancelAck->setAutoFillBackground(true);
    picCancelAck->raise();

    for (const tolv::QueueEntry &f : mFiles) {
        auto *item = new QTreeWidgetItem(lvwFileList, {f.text, QStringLiteral("0%"), QStringLiteral("Queued")});
        item->setData(0, Qt::UserRole, int(tolv::RowIcon::None));
    }
    // The statuses every queue shows, "ERROR: Invalid file format" the
    // longest, read whole at the opening size: the window is as wide as the
    // columns then need, in the list's font. Only a longer failure reason
    // makes the list scroll sideways.
    const int cellMargin = lvwFileList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lvwFileList) + 1;
    const int listWidth = tw(2800) + tw(1000) + lvwFileList->fontMetrics().horizontalAdvance(kInvalidFormat) +
                          2 * cellMargin + 2 * lvwFileList->frameWidth() +
                          lvwFileList->verticalScrollBar()->sizeHint().width();
    resize(std::max(tw(6350), listWidth + tw(140)), tw(2600));
    mMain->setFileDropWindow(this);
}

frmFileDrop::~frmFileDrop() { mMain->setFileDropWindow(nullptr); }

void frmFileDrop::resizeEvent(QResizeEvent *event)
{
    const tolv::FileDropLayout l = tolv::fileDropLayout(toTwips(width()), toTwips(height()));
    lvwFileList->setGeometry(0, 0, tw(l.listWidth), tw(l.listHeight));
    lblComInfo[0]->move(tw(l.comInfoLeft), tw(l.comInfoTop));
    lblComInfo[1]->move(tw(l.comInfoLeft + 10), tw(l.comInfoTop + 10));
    picCancelAck->move(tw(l.cancelAckLeft), tw(l.cancelAckTop));
    cmdCancel->move(tw(l.cancelLeft), tw(l.cancelTop));
    QWidget::resizeEvent(event);
}

void frmFileDrop::closeEvent(QCloseEvent *event)
{
    // Closing while files are sent is a request to stop after the current one.
    if (mRunning) {
        cmdCancel_Click();
        event->ignore();
        return;
    }
    event->accept();
}

void frmFileDrop::cmdCancel_Click()
{
    G.CancelRequested = true;
    picCancelAck->show();
}

void frmFileDrop::ShowRowProgress(int row, const QString &text)
{
    if (QTreeWidgetItem *item = lvwFileList->topLevelItem(row - 1))
        item->setText(1, text);
}

// A reason longer than the column still reads whole as the row's tool tip.
static void setStatusText(QTreeWidgetItem *item, const QString &text)
{
    item->setText(2, text);
    item->setToolTip(2, text);
}

void frmFileDrop::ShowRowStatus(int row, const QString &text)
{
    if (QTreeWidgetItem *item = lvwFileList->topLevelItem(row - 1))
        setStatusText(item, text);
}

void frmFileDrop::setRow(int row, tolv::RowIcon icon, const QString &status, const QColor &colour)
{
    QTreeWidgetItem *item = lvwFileList->topLevelItem(row - 1);
    if (!item)
        return;
    static const QStyle::StandardPixmap pictures[] = {QStyle::SP_CustomBase, QStyle::SP_ArrowRight,
                                                      QStyle::SP_DialogApplyButton, QStyle::SP_MessageBoxCritical};
    item->setData(0, Qt::UserRole, int(icon));
    item->setIcon(0, icon == tolv::RowIcon::None ? QIcon() : style()->standardIcon(pictures[int(icon)]));
    setStatusText(item, status);
    if (colour.isValid())
        item->setForeground(2, colour);
}

bool frmFileDrop::reportFailure(int row, const QString &description)
{
    setRow(row, tolv::RowIcon::Failed, QStringLiteral("ERROR: ") + description, kRed);
    // The link's descriptions are sentences already; the message ends with one full stop.
    const QString sentence = QStringLiteral("ERROR: ") + description +
                             (description.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral("."));
    if (row == mFiles.size()) {
        vx::MsgBox(sentence, vx::Buttons::Ok, vx::Icon::Exclamation);
        return true;
    }
    return vx::MsgBox(sentence + QStringLiteral("\r\nDownload remaining files?"), vx::Buttons::YesNo,
                      vx::Icon::Exclamation) == vx::Answer::Yes;
}

bool frmFileDrop::DoFileDrops()
{
    // The main window stays hidden: questions are asked over this one.
    auto *qtPrompter = dynamic_cast<vx::QtPrompter *>(&vx::prompter());
    QWidget *questionsOver = qtPrompter ? qtPrompter->parent() : nullptr;
    if (qtPrompter)
        qtPrompter->setParent(this);
    mRunning = true;
    cmdCancel->setFocus();
    G.FileDropMode = true;
    bool sentAny = false;
    int complete = 0;
    for (int row = 1; row <= mFiles.size(); ++row) {
        G.QueueRow = row;
        const QString path = mFiles.at(row - 1).path;
        bool goOn = true;
        if (!tolv::isDownloadable(path)) {
            setRow(row, tolv::RowIcon::Failed, kInvalidFormat, kRed);
        } else {
            QString error;
            if (!tolv::OpenPort(&error)) {
                setRow(row, tolv::RowIcon::Failed, QStringLiteral("ERROR: ") + error, kRed);
                Delay(2.0);
                break;
            }
            sentAny = true;
            try {
                tolv::SendCrAndFlush();
            } catch (const LinkError &e) {
                setRow(row, tolv::RowIcon::Failed, QStringLiteral("ERROR: ") + e.description(), kRed);
                tolv::ClosePort();
                Delay(2.0);
                break;
            }
            G.Busy = true;
            setRow(row, tolv::RowIcon::Sending, QStringLiteral("Initializing..."), QColor());
            lvwFileList->viewport()->update();
            QCoreApplication::processEvents();
            G.TaskFileName = path;
            LinkResult result = LinkResult::Done;
            try {
                result = mMain->DownloadTaskFile();
            } catch (const LinkError &e) {
                error = e.description();
            }
            tolv::ClosePort();
            setWindowTitle(G.WindowTitle);
            G.Busy = false;
            if (!error.isEmpty()) {
                goOn = reportFailure(row, error);
            } else if (result == LinkResult::Cancelled) {
                setRow(row, tolv::RowIcon::Failed, QStringLiteral("Canceled"), kRed);
            } else {
                setRow(row, tolv::RowIcon::Complete, QStringLiteral("Complete"), kGreen);
                ++complete;
            }
        }
        lvwFileList->viewport()->update();
        if (!goOn)
            break;
        Delay(2.0);
        if (G.CancelRequested)
            break;
    }
    // The chip is told the session ended, on a port opened for just that.
    if (sentAny && tolv::OpenPort()) {
        try {
            tolv::SendEndOfSession();
        } catch (const LinkError &) {
            // The files are sent; a chip gone now changes nothing of that.
        }
        tolv::ClosePort();
    }
    G.FileDropMode = false;
    mRunning = false;
    if (qtPrompter)
        qtPrompter->setParent(questionsOver);
    return complete == mFiles.size();
}
