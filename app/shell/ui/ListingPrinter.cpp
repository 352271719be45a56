#include "app/shell/ui/ListingPrinter.h"

#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/GridEditor.h"
#include "common/SafeFile.h"
#include "platform/FileNames.h"
#include "platform/Prompter.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <vector>

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr qreal kArialAverageWidth = 904.0 / 2048.0; // of the em
// The number shown with a file that could not be written.
constexpr int kFileAccessError = 75;

QFont listingFont(vx::ListingStyle style)
{
    QFont f(QStringLiteral("Arial"), 9);
    switch (style) {
    case vx::ListingStyle::Title:
        f.setPointSize(14);
        f.setBold(true);
        break;
    case vx::ListingStyle::Header:
        f.setItalic(true);
        break;
    case vx::ListingStyle::Headings:
        f.setUnderline(true);
        break;
    default:
        break;
    }
    return f;
}

QRectF sheet(QPrinter &printer)
{
    return printer.paperRect(QPrinter::DevicePixel);
}

// The pages to draw, one sheet each and in order: the range the dialog chose,
// last page first when asked, and as many copies as asked when the printer
// does not make them itself.
std::vector<int> listingSheets(const QPrinter &printer, int pageCount)
{
    const bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    const int from = range ? printer.fromPage() : 1;
    const int to = range && printer.toPage() > 0 ? std::min(printer.toPage(), pageCount) : pageCount;
    std::vector<int> pages;
    for (int n = from; n <= to; ++n)
        pages.push_back(n);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    std::vector<int> sheets;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            sheets.insert(sheets.end(), pages.begin(), pages.end());
    } else {
        for (int n : pages)
            sheets.insert(sheets.end(), size_t(copies), n);
    }
    return sheets;
}

} // namespace

int ListingLinesPerPage(QPrinter &printer)
{
    const QFontMetricsF fm(listingFont(vx::ListingStyle::Plain), &printer);
    const qreal h = fm.height();
    return h > 0 ? int(sheet(printer).height() / h) : 60;
}

namespace {

// Draws the sheets with a painter begun on device (the printer, or a writer
// set up as it is), at the printer's resolution and sheet width. False when
// a new page could not be begun.
bool drawSheets(QPainter &p, QPagedPaintDevice &device, QPrinter &printer, const std::vector<int> &sheets,
                const vx::Listing &listing)
{
    // A print column is the average character width of 9-point Arial, kept
    // when another face stands in for it, so column 134 stays on the sheet.
    const qreal column = printer.resolution() / 72.0 * 9 * kArialAverageWidth;
    const qreal twip = printer.resolution() / qreal(kTwipsPerInch);
    const qreal width = sheet(printer).width();
    bool firstSheet = true;
    for (int number : sheets) {
        const vx::ListingPage &page = listing[size_t(number - 1)];
        if (!firstSheet && !device.newPage())
            return false;
        firstSheet = false;
        qreal y = 0;
        for (const vx::ListingLine &line : page.lines) {
            if (line.style == vx::ListingStyle::Rule) {
                const qreal x = (10 - 1) * column;
                p.setPen(QPen(Qt::black, 0));
                p.drawLine(QPointF(x, y + 50 * twip), QPointF(width - 800 * twip, y + 50 * twip));
                continue;
            }
            const QFont font = listingFont(line.style);
            const QFontMetricsF fm(font, &device);
            p.setFont(font);
            for (const vx::ListingCell &cell : line.cells)
                p.drawText(QPointF((cell.column - 1) * column, y + fm.ascent()), cell.text);
            y += fm.height();
        }
    }
    return true;
}

// A listing printed to a file is drawn into memory, with the printer's
// sheet, resolution and names, and written as every file of the program is:
// beside the file and renamed over it once whole. The printer's own file
// writer reports no failed write, and would leave an empty or cut file in
// place of an older one.
bool printToFile(QPrinter &printer, const std::vector<int> &sheets, const vx::Listing &listing)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(printer.resolution());
        QPageLayout layout = printer.pageLayout();
        layout.setMode(QPageLayout::FullPageMode);
        writer.setPageLayout(layout);
        writer.setPdfVersion(printer.pdfVersion());
        writer.setTitle(printer.docName());
        writer.setCreator(printer.creator());
        QPainter p;
        if (!p.begin(&writer))
            return false;
        if (!drawSheets(p, writer, printer, sheets, listing) || !p.end())
            return false;
    }
    const QString path = printer.outputFileName();
    const QByteArray &bytes = pdf.data();
    std::string why;
    if (vx::writeFileAtomically(vx::fileNameBytes(path).toStdString(),
                                std::string_view(bytes.constData(), std::size_t(bytes.size())), &why))
        return true;
    vx::MsgBox(QStringLiteral("Error ") + QString::number(kFileAccessError) + QStringLiteral(": Cannot write '") +
                   path + QStringLiteral("': ") + QString::fromLocal8Bit(why),
               vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Print"));
    return false;
}

} // namespace

bool DrawListing(QPrinter &printer, const vx::Listing &listing)
{
    const std::vector<int> sheets = listingSheets(printer, int(listing.size()));
    if (sheets.empty()) {
        // Begun and ended with nothing drawn, the job would still come out as a blank sheet.
        const int from = printer.fromPage();
        const int to = std::max(from, printer.toPage());
        const QString range = from == to ? QStringLiteral("page %1 holds").arg(from)
                                         : QStringLiteral("pages %1 to %2 hold").arg(from).arg(to);
        vx::MsgBox(QStringLiteral("The listing ends at page %1: %2 none of it. Nothing was printed.")
                       .arg(listing.size())
                       .arg(range),
                   vx::Buttons::Ok, vx::Icon::Exclamation, QStringLiteral("Print"));
        return false;
    }
    if (!printer.outputFileName().isEmpty())
        return printToFile(printer, sheets, listing);
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer))
        return false;
    if (!drawSheets(p, printer, printer, sheets, listing)) {
        // Ended by the painter, a half-drawn job would still be printed.
        printer.abort();
        return false;
    }
    return p.end();
}

bool PrintListingPages(QPrinter &printer, const std::function<vx::Listing(int linesPerPage)> &build)
{
    vx::Prompt prompt;
    prompt.kind = vx::PromptKind::Print;
    prompt.pageCount = int(build(ListingLinesPerPage(printer)).size());
    // The printer outlives each print: the range and copies the last one
    // chose would otherwise be taken again, from a dialog that folds them
    // away. Its range boxes offer the listing's pages.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(1, std::max(1, prompt.pageCount));
    printer.setCopyCount(1);
    if (!vx::prompter().askPrinter(prompt, &printer).accepted)
        return false;
    return DrawListing(printer, build(ListingLinesPerPage(printer)));
}

QPrinter &ProgramPrinter()
{
    // Never destroyed: it outlives the application object.
    static QPrinter *printer = new QPrinter(QPrinter::HighResolution);
    return *printer;
}

bool PrinterSetup()
{
    vx::Prompt prompt;
    prompt.kind = vx::PromptKind::PageSetup;
    prompt.title = QStringLiteral("Print Setup");
    return vx::prompter().askPrinter(prompt, &ProgramPrinter()).accepted;
}

bool PrintListingPages(const std::function<vx::Listing(int linesPerPage)> &build)
{
    return PrintListingPages(ProgramPrinter(), build);
}

vx::Listing GridEditorListing(const GridEditor &grid, const QString &fileName, int linesPerPage)
{
    QStringList rows;
    for (const GridRow &r : grid.rows().all())
        rows.append(r.text);
    vx::ListingHeader header;
    header.linesPerPage = linesPerPage;
    header.fileName = CaptionName(fileName);
    header.printedOn = ListingPrintedOn();
    return vx::GridListing(header, grid.isDictionary(), rows);
}

QString ListingPrintedOn()
{
    return QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
}
