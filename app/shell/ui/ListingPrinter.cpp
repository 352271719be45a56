#include "app/shell/ui/ListingPrinter.h"

#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/GridEditor.h"
#include "platform/Prompter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr qreal kArialAverageWidth = 904.0 / 2048.0; // of the em

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

} // namespace

int ListingLinesPerPage(QPrinter &printer)
{
    const QFontMetricsF fm(listingFont(vx::ListingStyle::Plain), &printer);
    const qreal h = fm.height();
    return h > 0 ? int(sheet(printer).height() / h) : 60;
}

bool DrawListing(QPrinter &printer, const vx::Listing &listing)
{
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer))
        return false;
    // A print column is the average character width of 9-point Arial, kept
    // when another face stands in for it, so column 134 stays on the sheet.
    const qreal column = printer.resolution() / 72.0 * 9 * kArialAverageWidth;
    const qreal twip = printer.resolution() / qreal(kTwipsPerInch);
    const qreal width = sheet(printer).width();
    // The pages the print dialog chose; every page when it chose none.
    const bool range = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0;
    const int from = range ? printer.fromPage() : 1;
    const int to = range && printer.toPage() > 0 ? printer.toPage() : int(listing.size());
    bool firstSheet = true;
    int number = 0;
    for (const vx::ListingPage &page : listing) {
        ++number;
        if (number < from || number > to)
            continue;
        if (!firstSheet && !printer.newPage()) {
            // Ended by the painter, a half-drawn job would still be printed.
            printer.abort();
            return false;
        }
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
            const QFontMetricsF fm(font, &printer);
            p.setFont(font);
            for (const vx::ListingCell &cell : line.cells)
                p.drawText(QPointF((cell.column - 1) * column, y + fm.ascent()), cell.text);
            y += fm.height();
        }
    }
    return p.end();
}

bool PrintListingPages(QPrinter &printer, const std::function<vx::Listing(int linesPerPage)> &build)
{
    vx::Prompt prompt;
    prompt.kind = vx::PromptKind::Print;
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
