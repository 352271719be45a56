#include "app/Globals.h"
#include "app/documents/GridClipboard.h"
#include "app/documents/GridFile.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/GridEditor.h"
#include "app/documents/ui/TextBox.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ListingPrinter.h"
#include "app/shell/ui/frmAbout.h"
#include "platform/Prompter.h"
#include "tests/support/Files.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <climits>
#include <future>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

GridRows numberedRows(int n, const QString &stem)
{
    QByteArray file;
    for (int i = 1; i <= n; ++i)
        file += (stem + QString::number(i)).toLatin1() + "\r\n";
    return ParseGridFile(file);
}

// A grid of n numbered rows that takes every rule.
void fillGrid(GridEditor &grid, int n)
{
    grid.setRuleCheck([](const QString &, bool) { return true; });
    grid.setRows(numberedRows(n, QStringLiteral("row")));
}

// A grid of n numbered rows, and a printer that writes its listing to a PDF file.
struct PdfListing
{
    explicit PdfListing(int n)
    {
        fillGrid(grid, n);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("listing.pdf"));
    GridEditor grid;
    QPrinter printer{QPrinter::HighResolution};
};

// The page number of each sheet of a grid listing printed to pdf, in order.
QList<int> printedPages(const QString &pdf)
{
    QStringList sheets = vxtest::pdfText(pdf).split(QLatin1Char('\f'));
    sheets.removeLast(); // after the last form feed
    QList<int> pages;
    for (const QString &sheet : sheets) {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Page (\\d+)")).match(sheet);
        pages.append(m.hasMatch() ? m.captured(1).toInt() : sheet.contains(QStringLiteral("row1\n")) ? 1 : -1);
    }
    return pages;
}

// A one-request-at-a-time HTTP server on 127.0.0.1 that answers every GET
// with body, or never answers when silent.
class UpdateServer : public QTcpServer
{
public:
    QByteArray body;
    bool silent = false;
    UpdateServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    if (!s->readAll().contains("GET /Downloads/Fw20Inf.txt ") || silent)
                        return;
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    [[nodiscard]] QString site() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
};

} // namespace

TEST(EditCommands, GridRowsGoThroughTheClipboardOfTheirKind)
{
    ClipDicRows().clear();
    ClipMusicRows().clear();
    GridEditor dictionary;
    dictionary.setRuleCheck([](const QString &, bool) { return true; });
    dictionary.setRows(ParseGridFile("a\r\n;#H3\r\nb\r\nc\r\nd\r\ne\r\n"));
    GridEditor music;
    music.setRows(numberedRows(2, QStringLiteral("m")));

    dictionary.selectionModel()->clearSelection();
    dictionary.setCellSelected(2, 3, true);
    ASSERT_TRUE(dictionary.EditCommand(EditAction::Cut));
    EXPECT_EQ(ClipDicRows(), (QStringList{"b", "c", "d"})); // the collapsed group's hidden rows too
    EXPECT_EQ(dictionary.Rows(), 2);
    EXPECT_EQ(dictionary.SelectedRow(), 2);

    ASSERT_TRUE(music.EditCommand(EditAction::Paste)); // dictionary rows never reach a score
    EXPECT_EQ(music.Rows(), 2);

    dictionary.EditCommand(EditAction::Paste);
    EXPECT_EQ(dictionary.Rows(), 5);
    EXPECT_EQ(dictionary.rows().row(3).text, QStringLiteral("b"));
    EXPECT_EQ(dictionary.SelectedRow(), 3);
    dictionary.EditCommand(EditAction::SelectAll);
    EXPECT_EQ(dictionary.SelectionCount(), 5);
    dictionary.EditCommand(EditAction::Delete);
    EXPECT_EQ(dictionary.Rows(), 0);
    EXPECT_EQ(dictionary.SelectedRow(), 0);
}

TEST(EditCommands, TextBoxesCutOnlyASelectionAndPasteWhatFits)
{
    TextBox box;
    box.setMaxLength(10);
    box.setText(QStringLiteral("hello"));
    QApplication::clipboard()->setText(QStringLiteral("kept"));
    EXPECT_TRUE(EditTextControl(&box, EditAction::Cut)); // nothing selected
    EXPECT_EQ(box.Text(), QStringLiteral("hello"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("kept"));
    QApplication::clipboard()->setText(QStringLiteral("0123456789"));
    EXPECT_TRUE(EditTextControl(&box, EditAction::Paste));
    EXPECT_EQ(box.Text().size(), 10);
    EXPECT_TRUE(EditTextControl(&box, EditAction::SelectAll));
    EXPECT_TRUE(EditTextControl(&box, EditAction::Cut));
    EXPECT_EQ(box.Text(), QString());
    EXPECT_EQ(QApplication::clipboard()->text().size(), 10);
    // Lines ended by Enter and by Shift+Enter copy as line breaks.
    box.setPlainText(QStringLiteral("a\nb") + QChar(QChar::LineSeparator) + QStringLiteral("c"));
    EXPECT_TRUE(EditTextControl(&box, EditAction::SelectAll));
    EXPECT_TRUE(EditTextControl(&box, EditAction::Copy));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\nb\nc"));
    QLabel notText;
    EXPECT_FALSE(EditTextControl(&notText, EditAction::Copy));
}

TEST(Printing, ADictionaryOf200RowsPrintsItsPagesWithHeaders)
{
    PdfListing listing(200);
    GridEditor &grid = listing.grid;
    QPrinter &printer = listing.printer;
    const QString &pdf = listing.pdf;
    printer.setPageSize(QPageSize(QPageSize::Letter));

    vx::ScriptedPrompter prompts;
    prompts.queuePrint(false);
    auto build = [&](int lines) { return GridEditorListing(grid, QStringLiteral("/tmp/words.dic"), lines); };
    EXPECT_FALSE(PrintListingPages(printer, build));
    EXPECT_FALSE(QFile::exists(pdf));

    prompts.queuePrint(true);
    ASSERT_TRUE(PrintListingPages(printer, build));
    // First page: 3 blank lines, title, header, rule, 2 blank: rows until the
    // counter passes lines - 8 from 8; later pages from 6.
    const int lines = ListingLinesPerPage(printer);
    const int first = lines - 15;
    const int later = lines - 13;
    const int pages = 1 + (200 - first + later - 1) / later;
    ASSERT_GT(pages, 2);

    const QStringList sheets = vxtest::pdfText(pdf).split(QLatin1Char('\f'));
    ASSERT_EQ(sheets.size() - 1, pages); // a form feed ends every page
    EXPECT_TRUE(sheets[0].contains(QStringLiteral("SV3410/20 Dictionary")));
    const QString fileLine = QStringLiteral("File name: ") + CaptionName(QStringLiteral("/tmp/words.dic"));
    EXPECT_TRUE(sheets[0].contains(fileLine));
    EXPECT_TRUE(sheets[0].contains(QStringLiteral("Printed on ")));
    EXPECT_FALSE(sheets[0].contains(QStringLiteral("Page ")));
    EXPECT_TRUE(sheets[0].contains(QStringLiteral("row%1\n").arg(first)));
    for (int i = 1; i < pages; ++i) {
        EXPECT_TRUE(sheets[i].contains(QStringLiteral("Page %1").arg(i + 1)));
        EXPECT_TRUE(sheets[i].contains(fileLine));
    }
    EXPECT_TRUE(sheets[1].contains(QStringLiteral("row%1\n").arg(first + 1)));
    EXPECT_TRUE(sheets[pages - 1].contains(QStringLiteral("row200")));
}

// The pages chosen in the print dialog are the pages printed.
TEST(Printing, OnlyThePagesOfTheChosenRangeArePrinted)
{
    PdfListing listing(300);
    vx::ScriptedPrompter prompts;
    prompts.onPrintDialog([](QPrinter *printer) {
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(2, 3);
    });
    prompts.queuePrint(true);
    ASSERT_TRUE(PrintListingPages(listing.printer, [&](int lines) {
        return GridEditorListing(listing.grid, QStringLiteral("w.dic"), lines);
    }));
    const QStringList sheets = vxtest::pdfText(listing.pdf).split(QLatin1Char('\f'));
    ASSERT_EQ(sheets.size() - 1, 2);
    EXPECT_TRUE(sheets[0].contains(QStringLiteral("Page 2")));
    EXPECT_TRUE(sheets[1].contains(QStringLiteral("Page 3")));

    // Print Setup sets the page up; it prints nothing and asks nothing else.
    prompts.queuePrint(true);
    EXPECT_TRUE(PrinterSetup());
    EXPECT_EQ(prompts.last().kind, vx::PromptKind::PageSetup);
    EXPECT_EQ(prompts.last().title, QStringLiteral("Print Setup"));
}

// A printer that makes no copies itself (a PDF file) gets each copy drawn, in
// the order and collation the dialog chose; a range past the end prints nothing.
TEST(Printing, CopiesCollationAndOrderAreDrawnAsChosen)
{
    const struct
    {
        int copies;
        bool collate;
        bool reverse;
        int from, to;
        QList<int> pages;
    } cases[] = {
        {2, true, false, 0, 0, {1, 2, 3, 1, 2, 3}},
        {2, false, false, 0, 0, {1, 1, 2, 2, 3, 3}},
        {1, true, true, 0, 0, {3, 2, 1}},
        {2, true, true, 2, 3, {3, 2, 3, 2}},
    };
    // 20 lines a page: 5 rows on the first, 7 on the next, 1 on the third.
    const auto build = [](const GridEditor &grid) { return GridEditorListing(grid, QStringLiteral("w.dic"), 20); };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pages.size());
        PdfListing listing(13);
        QPrinter &printer = listing.printer;
        ASSERT_FALSE(printer.supportsMultipleCopies());
        printer.setCopyCount(c.copies);
        printer.setCollateCopies(c.collate);
        printer.setPageOrder(c.reverse ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
        if (c.from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(c.from, c.to);
        }
        ASSERT_EQ(build(listing.grid).size(), 3u);
        ASSERT_TRUE(DrawListing(printer, build(listing.grid)));
        EXPECT_EQ(printedPages(listing.pdf), c.pages);
    }

    PdfListing listing(13);
    vx::ScriptedPrompter prompts;
    prompts.onPrintDialog([](QPrinter *printer) {
        printer->setPrintRange(QPrinter::PageRange);
        printer->setFromTo(5, 6);
    });
    prompts.queuePrint(true);
    prompts.queue(vx::Answer::Ok);
    EXPECT_FALSE(PrintListingPages(listing.printer, [&](int) { return build(listing.grid); }));
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().text,
              QStringLiteral("The listing ends at page 3: pages 5 to 6 hold none of it. Nothing was printed."));
    EXPECT_FALSE(QFile::exists(listing.pdf));
}

// The printer outlives each print, and each print opens on the whole listing
// and one copy, whatever the last one chose.
TEST(Printing, EachPrintStartsFromTheWholeListing)
{
    PdfListing listing(13);
    QPrinter &printer = listing.printer;
    const auto build = [&](int) { return GridEditorListing(listing.grid, QStringLiteral("w.dic"), 20); };
    vx::ScriptedPrompter prompts;
    QList<QPair<QPrinter::PrintRange, int>> opened; // range and copies as each dialog opens
    bool choose = true;
    prompts.onPrintDialog([&](QPrinter *p) {
        opened.append({p->printRange(), p->copyCount()});
        if (choose) {
            p->setPrintRange(QPrinter::PageRange);
            p->setFromTo(2, 3);
            p->setCopyCount(2);
        }
    });
    prompts.queuePrint(true);
    ASSERT_TRUE(PrintListingPages(printer, build));
    EXPECT_EQ(printedPages(listing.pdf), (QList<int>{2, 3, 2, 3}));

    choose = false; // the next print is only confirmed
    prompts.queuePrint(true);
    ASSERT_TRUE(PrintListingPages(printer, build));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1].first, QPrinter::AllPages);
    EXPECT_EQ(opened[1].second, 1);
    EXPECT_EQ(prompts.last().pageCount, 3);
    EXPECT_EQ(printedPages(listing.pdf), (QList<int>{1, 2, 3}));
}

// A printer whose job fails at its second page, and that remembers being
// aborted: the print engine is the seam a printer offers for this.
class FailingPrinter : public QPrinter
{
public:
    FailingPrinter() { setEngines(&mEngine, &mEngine); }
    [[nodiscard]] bool aborted() const { return mEngine.state == QPrinter::Aborted; }

private:
    struct Engine : QPaintEngine, QPrintEngine
    {
        Engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
        QPrinter::PrinterState state = QPrinter::Idle;
        bool begin(QPaintDevice *) override { state = QPrinter::Active; return true; }
        bool end() override
        {
            if (state == QPrinter::Active)
                state = QPrinter::Idle; // the job would go to the printer here
            return true;
        }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath &) override {}
        void drawTextItem(const QPointF &, const QTextItem &) override {}
        Type type() const override { return QPaintEngine::User; }
        void setProperty(PrintEnginePropertyKey, const QVariant &) override {}
        QVariant property(PrintEnginePropertyKey key) const override
        {
            if (key == PPK_Resolution)
                return 300;
            if (key == PPK_QPageLayout)
                return QVariant::fromValue(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, {}));
            return {};
        }
        bool newPage() override { return false; }
        bool abort() override
        {
            state = QPrinter::Aborted;
            return true;
        }
        int metric(QPaintDevice::PaintDeviceMetric m) const override
        {
            switch (m) {
            case QPaintDevice::PdmWidth: return 2550;
            case QPaintDevice::PdmHeight: return 3300;
            case QPaintDevice::PdmWidthMM: return 216;
            case QPaintDevice::PdmHeightMM: return 279;
            case QPaintDevice::PdmDevicePixelRatio: return 1;
            case QPaintDevice::PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
            case QPaintDevice::PdmDepth: return 32;
            case QPaintDevice::PdmNumColors: return INT_MAX;
            default: return 300; // the resolutions
            }
        }
        QPrinter::PrinterState printerState() const override { return state; }
    } mEngine;
};

TEST(Printing, AJobThatFailsPartWayIsAborted)
{
    FailingPrinter printer;
    GridEditor grid;
    fillGrid(grid, 300);
    EXPECT_FALSE(DrawListing(printer, GridEditorListing(grid, QStringLiteral("w.dic"), ListingLinesPerPage(printer))));
    EXPECT_TRUE(printer.aborted());
}

// A print to a file is a file the program writes: whole or not at all, and a
// failure is said with the file and its cause.
TEST(Printing, APrintToAFileThatCannotBeWrittenSaysSoAndKeepsTheOldFile)
{
    PdfListing listing(300);
    const auto build = [&](int lines) { return GridEditorListing(listing.grid, QStringLiteral("w.dic"), lines); };
    vxtest::writeAll(listing.pdf, "an older listing");
    vx::ScriptedPrompter prompts;
    prompts.queuePrint(true);
    prompts.queue(vx::Answer::Ok);
    bool printed = true;
    vxtest::onFullDisk(4096, [&] { printed = PrintListingPages(listing.printer, build); });
    EXPECT_FALSE(printed);
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().text, QStringLiteral("Error 75: Cannot write '%1': File too large").arg(listing.pdf));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
    EXPECT_EQ(vxtest::readAll(listing.pdf), QByteArray("an older listing"));
    EXPECT_EQ(QDir(listing.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"listing.pdf"});

    // A folder that is not there.
    const QString lost = listing.dir.filePath(QStringLiteral("none/listing.pdf"));
    listing.printer.setOutputFileName(lost);
    prompts.queuePrint(true);
    prompts.queue(vx::Answer::Ok);
    EXPECT_FALSE(PrintListingPages(listing.printer, build));
    EXPECT_EQ(prompts.last().text, QStringLiteral("Error 75: Cannot write '%1': No such file or directory").arg(lost));
    EXPECT_FALSE(QFileInfo::exists(listing.dir.filePath(QStringLiteral("none"))));

    // With room, the new listing takes the old one's place, and nothing is asked.
    listing.printer.setOutputFileName(listing.pdf);
    prompts.queuePrint(true);
    ASSERT_TRUE(PrintListingPages(listing.printer, build));
    EXPECT_EQ(prompts.pending(), 0);
    EXPECT_EQ(prompts.last().kind, vx::PromptKind::Print);
    EXPECT_TRUE(vxtest::pdfText(listing.pdf).contains(QStringLiteral("row300")));
    EXPECT_EQ(QDir(listing.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"listing.pdf"});
}

TEST(UpdateCheck, AnswersOfTheSiteDecideWhatTheDialogOffers)
{
    UpdateServer server;
    ASSERT_TRUE(server.isListening());
    const struct
    {
        QByteArray body;
        bool silent;
        bool noConnection;
        bool latest;
    } cases[] = {
        {"1.00.0000\r\nhttps://example.com/setup.exe\r\nNothing new.", false, false, true},
        {"1.0.0\r\nhttps://example.com/setup.exe\r\nFixes.\r\nMore.", false, false, false},
        {"2.00.0000\r\nfile:///etc/passwd\r\nBad link.", false, true, false},
        {"2.00.0000 only one line", false, true, false},
        {"", false, true, false},
        {"1.0.0\r\nhttps://example.com/x\r\n", true, true, false}, // never answers: the time-out ends it
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.body.constData());
        server.body = c.body;
        server.silent = c.silent;
        QWidget owner; // placed over the main window, as the program does
        owner.resize(880, 600);
        frmSwUpdate update(server.site(), &owner);
        update.setAttribute(Qt::WA_DeleteOnClose, false);
        update.Form_Load(1500);
        EXPECT_EQ(update.lblNoConnection->isVisible(), c.noConnection);
        EXPECT_FALSE(update.lblRetrievingInfo->isVisible());
        EXPECT_EQ(update.lblNoUpdates->isVisible(), c.latest);
        EXPECT_EQ(update.cmdDownload->isEnabled(), !c.noConnection && !c.latest);
        EXPECT_EQ(update.lblRelInfo->isVisible(), !c.noConnection && !c.latest);
        // Its caption reads whole, and what it shows fits without overlapping.
        EXPECT_GE(update.width(), update.fontMetrics().horizontalAdvance(update.windowTitle()) + 150);
        QRect above;
        for (QLabel *l : update.findChildren<QLabel *>()) {
            if (!l->isVisible())
                continue;
            EXPECT_GE(l->height(), l->heightForWidth(l->width())) << l->objectName().toStdString();
            EXPECT_FALSE(l->geometry().intersects(above)) << l->objectName().toStdString();
            above = l->geometry();
        }
        if (!c.noConnection) {
            EXPECT_EQ(update.lblInstVer->text(), QStringLiteral("1.00.0000"));
            EXPECT_EQ(update.downloadLink().left(20), QStringLiteral("https://example.com/"));
        }
        if (update.cmdDownload->isEnabled()) {
            // No browser on this desktop: said so, and the window keeps the link.
            vx::ScriptedPrompter prompts;
            prompts.queue(vx::Answer::Ok);
            update.cmdDownload->click();
            ASSERT_EQ(prompts.prompts().size(), 1);
            EXPECT_EQ(prompts.last().text,
                      QStringLiteral("No web browser could be started to download %1.").arg(update.downloadLink()));
            EXPECT_TRUE(update.isVisible());
            EXPECT_TRUE(update.cmdDownload->isEnabled());
        }
        update.close();
    }
    // Nothing listening: a message at once, no wait.
    const QString site = server.site();
    server.close();
    frmSwUpdate update(site);
    update.setAttribute(Qt::WA_DeleteOnClose, false);
    update.Form_Load(1500);
    EXPECT_TRUE(update.lblNoConnection->isVisible());
}

// An answer that never ends, or that announces more than an update file
// holds, is refused once more than 64 KB are in: the check reads little of it.
TEST(UpdateCheck, AnEndlessAnswerIsCutOffAfterWhatIsUsed)
{
    for (const QByteArray &head : {QByteArray("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"),
                                  QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 4294967296\r\n\r\n")}) {
        SCOPED_TRACE(head.constData());
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        qint64 sent = 0;
        const QByteArray block = "1.00.0001\r\nhttps://example.com/x\r\n" + QByteArray(64 * 1024, 'x');
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *s = server.nextPendingConnection();
            const auto more = [s, &block] {
                if (s->state() == QAbstractSocket::ConnectedState && s->bytesToWrite() < block.size())
                    s->write(block);
            };
            QObject::connect(s, &QTcpSocket::readyRead, s, [s, head, more] {
                s->readAll();
                s->write(head);
                more();
            });
            QObject::connect(s, &QTcpSocket::bytesWritten, s, [&sent, more](qint64 n) {
                sent += n;
                more();
            });
        });
        const QString body =
            frmSwUpdate::FetchText(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort())), 3000);
        EXPECT_TRUE(body.isEmpty());
        // What the line and the buffers on the way hold, not what a flood would.
        EXPECT_LT(sent, 32 << 20);
    }
}

namespace {

// A server on a thread of its own (so it keeps sending while the check
// waits) that answers with a status line and then header lines without end:
// as fast as the line takes them, or one every 20 ms. hungUp() tells whether
// the client dropped the connection.
class EndlessHeadServer
{
public:
    explicit EndlessHeadServer(bool flood)
    {
        mListen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        if (::bind(mListen, reinterpret_cast<sockaddr *>(&addr), size) != 0 || ::listen(mListen, 1) != 0 ||
            ::getsockname(mListen, reinterpret_cast<sockaddr *>(&addr), &size) != 0)
            return;
        mPort = ntohs(addr.sin_port);
        mThread = std::thread([this, flood] { mHungUp.set_value(serve(flood)); });
    }
    ~EndlessHeadServer()
    {
        mStop = true;
        if (mThread.joinable())
            mThread.join();
        ::close(mListen);
    }
    [[nodiscard]] QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(mPort)); }
    // Waits for the end of the exchange; false when the client still holds
    // the line after a long while.
    [[nodiscard]] bool hungUp()
    {
        return mHungUpSeen.wait_for(std::chrono::seconds(30)) == std::future_status::ready && mHungUpSeen.get();
    }

private:
    bool serve(bool flood)
    {
        pollfd p{mListen, POLLIN, 0};
        while (!mStop && ::poll(&p, 1, 50) == 0) {
        }
        const int s = ::accept4(mListen, nullptr, nullptr, SOCK_CLOEXEC);
        if (s < 0)
            return false;
        char request[1024];
        (void)!::recv(s, request, sizeof request, 0);
        std::string lines = "HTTP/1.1 200 OK\r\n";
        for (int i = 0; i < (flood ? 100 : 1); ++i)
            lines += "X-More: yes\r\n";
        bool sent = ::send(s, lines.data(), 17, MSG_NOSIGNAL) == 17;
        while (sent && !mStop) {
            sent = ::send(s, lines.data() + 17, lines.size() - 17, MSG_NOSIGNAL) > 0;
            if (!flood)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::close(s);
        return !sent;
    }

    int mListen = -1;
    int mPort = 0;
    std::atomic<bool> mStop{false};
    std::promise<bool> mHungUp;
    std::future<bool> mHungUpSeen = mHungUp.get_future();
    std::thread mThread;
};

} // namespace

// However the head goes on, the check ends within its time with nothing, and
// lets go of the server.
TEST(UpdateCheck, AHeadThatNeverEndsEndsTheCheckAndItsConnection)
{
    for (const bool flood : {true, false}) {
        SCOPED_TRACE(flood ? "flood" : "trickle");
        EndlessHeadServer server(flood);
        frmSwUpdate update(server.url().toString());
        update.setAttribute(Qt::WA_DeleteOnClose, false);
        update.Form_Load(1000);
        EXPECT_TRUE(update.lblNoConnection->isVisible());
        EXPECT_TRUE(server.hungUp());
    }
}

TEST(UpdateCheck, ClosingLeavesAnotherOperationBusy)
{
    Busy = true;
    {
        frmSwUpdate update(QStringLiteral("http://127.0.0.1:9"));
        update.setAttribute(Qt::WA_DeleteOnClose, false);
        update.close();
    }
    EXPECT_TRUE(Busy);
    Busy = false;
}

TEST(About, WithoutAChipTheChipLinesSayNotAvailable)
{
    Port = 0;
    frmAbout about;
    EXPECT_EQ(about.lblChipVersion->text(), QStringLiteral("Chipset version: n/a"));
    EXPECT_EQ(about.lblChipMemory->text(), QStringLiteral("Recording memory: n/a"));
    EXPECT_TRUE(about.lblVersion->text().startsWith(QStringLiteral("Program version 1.00  build 0")));
}
