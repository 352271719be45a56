#pragma once

// File > Print: the print dialog, then the listing drawn on the printer
// (a real one, or a PDF file the dialog chose).

#include "app/shell/ListingText.h"

#include <functional>

class GridEditor;
class QPrinter;

// Lines per page: the sheet's height over the height of "X" in the listing font.
[[nodiscard]] int ListingLinesPerPage(QPrinter &printer);

// Draws the pages on printer, one sheet each: the range, order and copies the
// print dialog chose. A printer to a file writes it whole or not at all, an
// older file of that name staying as it was. False when the printer failed,
// when the file could not be written (said in a message naming it and the
// cause), or when the range holds no page (said in a message, nothing printed).
bool DrawListing(QPrinter &printer, const vx::Listing &listing);

// Shows the print dialog for printer, opened on all pages and one copy with
// the listing's page count; when accepted, builds the listing for the
// printer's lines per page and prints it. False when cancelled or the
// printing failed (a printer's fault ends the command silently).
bool PrintListingPages(QPrinter &printer, const std::function<vx::Listing(int linesPerPage)> &build);
// The program's printer, kept with its settings for the program's life.
[[nodiscard]] QPrinter &ProgramPrinter();
// File > Print Setup: the page set-up of the program's printer, printing nothing.
bool PrinterSetup();
// The same on the program's own printer.
bool PrintListingPages(const std::function<vx::Listing(int linesPerPage)> &build);

// The listing of a dictionary or music score grid: column 3 of every row,
// hidden rows included. fileName is the document's, with or without its folder.
[[nodiscard]] vx::Listing GridEditorListing(const GridEditor &grid, const QString &fileName, int linesPerPage);

// The header's date and time in the general date format.
[[nodiscard]] QString ListingPrintedOn();
