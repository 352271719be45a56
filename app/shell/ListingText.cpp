#include "app/shell/ListingText.h"

#include "app/soundlib/SoundFormat.h"

#include "platform/Numbers.h"

namespace vx {

namespace {

constexpr int kLeft = 10;
constexpr int kTotalsColumn = 60;
constexpr int kPrintedOnColumn = 110;
constexpr int kPageColumn = 134;
constexpr int kPieceLength = 145;
constexpr int kLongestLocation = 56;
constexpr int kNotBegun = 999;

const QString kBullet = QString(QChar(0x2022));

// Builds the pages and keeps the line counter the page breaks depend on.
class ListingBuilder
{
public:
    explicit ListingBuilder(const ListingHeader &header)
        : mHeader(header)
    {
        mPages.emplace_back();
    }

    void line(ListingStyle style, std::vector<ListingCell> cells = {})
    {
        mPages.back().lines.push_back({style, std::move(cells)});
    }
    void emptyLines(int n)
    {
        for (int i = 0; i < n; ++i)
            line(ListingStyle::Plain);
    }

    void firstPage(const QString &title, std::vector<ListingCell> headerCells)
    {
        emptyLines(3);
        line(ListingStyle::Title, {{kLeft, title}});
        line(ListingStyle::Header, std::move(headerCells));
        mCounter = kNotBegun;
    }

    [[nodiscard]] bool pageFull() const { return mCounter > mHeader.linesPerPage - 8; }

    // Starts a page (or finishes the first one's top) and draws the rule.
    void pageTop()
    {
        if (mCounter != kNotBegun) {
            mPages.emplace_back();
            emptyLines(3);
            line(ListingStyle::Header, {{kLeft, QStringLiteral("File name: ") + mHeader.fileName},
                                        {kPageColumn, QStringLiteral("Page ") + QString::number(mPages.size())}});
            mCounter = 4;
        } else {
            mCounter = 6;
        }
        line(ListingStyle::Rule);
        emptyLines(2);
        mCounter += 2;
    }

    void count(int n) { mCounter += n; }
    Listing take() { return std::move(mPages); }

private:
    const ListingHeader &mHeader;
    Listing mPages;
    int mCounter = kNotBegun;
};

} // namespace

qint64 EstimatedChipKB(const ListingSound &s)
{
    // An MP3 file's bytes are no count of samples: every kind but a wave
    // prints the window's estimate.
    if (s.kind != 0)
        return MemUsedKB(s.memUsed);
    qint64 divisor = 1;
    if (s.bitsPerSample == 32)
        divisor *= 4;
    if (s.bitsPerSample == 16)
        divisor *= 2;
    if (s.channels == 2)
        divisor *= 2;
    if (s.sampleRate > 11025)
        divisor *= 2;
    if (s.sampleRate > 22050)
        divisor *= 2;
    if (s.compress)
        divisor *= 2;
    const qint64 samples = s.dataBytes / divisor;
    return roundHalfEven(samples / 1024.0);
}

QString ShortenLocation(const QString &folder)
{
    if (folder.size() <= kLongestLocation)
        return folder;
    // Either separator: libraries made elsewhere keep their backslashes.
    for (qsizetype i = kLongestLocation - 1; i >= 0; --i) {
        if (folder.at(i) == QLatin1Char('\\') || folder.at(i) == QLatin1Char('/'))
            return folder.left(i + 1) + QStringLiteral("...");
    }
    return QStringLiteral("...");
}

Listing SoundLibraryListing(const ListingHeader &header, const std::vector<ListingSound> &sounds, qint64 totalBytes)
{
    ListingBuilder b(header);
    b.firstPage(QStringLiteral("SV3410/20 Sound Library"),
                {{kLeft, QStringLiteral("File name: ") + header.fileName},
                 {kTotalsColumn, QStringLiteral("Total files: %1 (%2 KB)")
                                     .arg(sounds.size())
                                     .arg(MemUsedKB(totalBytes))},
                 {kPrintedOnColumn, QStringLiteral("Printed on ") + header.printedOn}});
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (b.pageFull()) {
            b.pageTop();
            b.line(ListingStyle::Headings, {{10, QStringLiteral("INDEX")},
                                            {19, QStringLiteral("TAG")},
                                            {26, QStringLiteral("CMP")},
                                            {33, QStringLiteral("BST")},
                                            {40, QStringLiteral("GATE")},
                                            {48, QStringLiteral("SIZE")},
                                            {56, QStringLiteral("FILE")},
                                            {84, QStringLiteral("LOCATION")}});
            b.emptyLines(1);
            b.count(2);
        }
        const ListingSound &s = sounds[i];
        std::vector<ListingCell> cells{{10, QString::number(i)}, {19, QString::number(s.tag)}};
        if (s.compress || s.kind == 2)
            cells.push_back({28, kBullet});
        if (s.boost)
            cells.push_back({35, kBullet});
        cells.push_back({42, QString::number(s.noiseGate)});
        cells.push_back({48, QString::number(EstimatedChipKB(s)) + QLatin1Char('K')});
        cells.push_back({56, s.fileName});
        cells.push_back({84, ShortenLocation(s.location)});
        b.line(ListingStyle::Plain, std::move(cells));
        b.count(1);
    }
    return b.take();
}

Listing GridListing(const ListingHeader &header, bool dictionary, const QStringList &rows)
{
    ListingBuilder b(header);
    b.firstPage(dictionary ? QStringLiteral("SV3410/20 Dictionary") : QStringLiteral("SV3410/20 Music Score"),
                {{kLeft, QStringLiteral("File name: ") + header.fileName},
                 {kPrintedOnColumn, QStringLiteral("Printed on ") + header.printedOn}});
    for (const QString &row : rows) {
        qsizetype pos = 0;
        do {
            // A page is begun only for a piece that follows, never after the last one.
            if (b.pageFull())
                b.pageTop();
            b.line(ListingStyle::Plain, {{kLeft, row.mid(pos, kPieceLength)}});
            b.count(1);
            pos += kPieceLength;
        } while (pos < row.size());
    }
    return b.take();
}

} // namespace vx
