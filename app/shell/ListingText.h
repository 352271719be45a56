#pragma once

// The printed listings of a sound library, a dictionary or a music score,
// laid out as pages of lines with their text at print columns. The printing
// layer measures the page, calls these, and only draws.

#include <QString>
#include <QStringList>

#include <vector>

namespace vx {

enum class ListingStyle {
    Plain,
    Title,    // 14 points, bold
    Header,   // italic
    Headings, // underlined column headings
    Rule,     // no text and no height: a rule 50 twips below the current line,
              // from column 10 to 800 twips short of the page width
};

struct ListingCell
{
    int column; // print column, from 1
    QString text;
};

// One printed line; a line without cells is an empty line.
struct ListingLine
{
    ListingStyle style = ListingStyle::Plain;
    std::vector<ListingCell> cells;
};

struct ListingPage
{
    std::vector<ListingLine> lines;
};

using Listing = std::vector<ListingPage>;

// One sound of a library, as the listing shows it.
struct ListingSound
{
    int tag = 0;
    int kind = 0; // 0: wave, 2: compressed chip PCM
    bool compress = false;
    bool boost = false;
    int noiseGate = 0;
    // A wave's format, from which its row works out its size.
    int channels = 1;
    int sampleRate = 0;
    int bitsPerSample = 8;
    qint64 dataBytes = 0;
    qint64 memUsed = 0; // the chip memory estimate the window shows, in bytes
    QString fileName;
    QString location; // the folder
};

struct ListingHeader
{
    int linesPerPage = 60; // page height / height of "X" in the listing font
    QString fileName;      // without its folder, as shown
    QString printedOn;     // date and time, as shown
};

// Size of a sound in the chip, in KB: for a wave worked out from its format
// ("64" for 1 MB of 16-bit stereo 44.1 kHz), for every other kind the
// window's figure.
[[nodiscard]] qint64 EstimatedChipKB(const ListingSound &sound);
// A folder longer than 56 characters, cut after the last separator within
// them and followed by "...".
[[nodiscard]] QString ShortenLocation(const QString &folder);

[[nodiscard]] Listing SoundLibraryListing(const ListingHeader &header, const std::vector<ListingSound> &sounds,
                                          qint64 totalBytes);
// Dictionaries and music scores: column 3 of every row, hidden rows included.
[[nodiscard]] Listing GridListing(const ListingHeader &header, bool dictionary, const QStringList &rows);

} // namespace vx
