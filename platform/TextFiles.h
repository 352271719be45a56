#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>

#include <vector>

namespace vx {

// Line breaks. Files and the chip see CR LF; the editors hold LF.

// Any of CR LF, LF or CR becomes LF, and so does a Unicode line or paragraph
// separator (what an editor holds for a Shift+Enter or an Enter).
[[nodiscard]] QString normalizeLineBreaks(QStringView text);
// LF (or a lone CR) becomes CR LF.
[[nodiscard]] QString toCrLf(QStringView text);

// The editor's text seen as the CR LF text that the counting routines
// (speaking, highlighting, greeting length) work on, with offsets mapped
// both ways. Offsets are in UTF-16 units of each form.
class CrLfView
{
public:
    explicit CrLfView(QStringView editorText);

    [[nodiscard]] const QString &text() const { return mCrLf; }
    // Offset in the CR LF text for an offset in the editor text.
    [[nodiscard]] qsizetype toCrLfOffset(qsizetype editorOffset) const;
    // Offset in the editor text for an offset in the CR LF text; an offset
    // between CR and LF maps to the line break itself.
    [[nodiscard]] qsizetype toEditorOffset(qsizetype crlfOffset) const;

private:
    QString mCrLf;
    std::vector<qsizetype> mBreaks; // editor offsets of the LFs, ascending
};

// Opens a user's file for reading into f: a regular file only, and the open
// never waits (vx::openRegularFile); a name's bytes are kept (FileNames.h).
// False, with the cause in *error, otherwise. f's fileName() stays empty.
bool openForReading(QFile &f, const QString &path, QString *error = nullptr);
// Reads a whole file, or its first maxBytes bytes when maxBytes is not
// negative; false (and the system's reason) when it cannot be read.
bool readFileBytes(const QString &path, QByteArray &bytes, QString *error = nullptr, qint64 maxBytes = -1);
// Reads a text file (its first maxBytes bytes when maxBytes is not negative)
// as Windows-1252 with line breaks normalised to LF. Returns false (and a
// message) when the file cannot be read.
bool readTextFile(const QString &path, QString &text, QString *error = nullptr, qint64 maxBytes = -1);
// Writes text as Windows-1252 with CR LF line breaks, through a temporary
// file that replaces the old one only when all was written.
bool writeTextFile(const QString &path, QStringView text, QString *error = nullptr);

// What is about to turn text into the Windows code page's bytes.
enum class CodePageStep { Save, Compile, Play };

// Before a save to path that keeps text in the Windows code page (or a
// compile into path, or one to play it): when some characters of text would
// be written as "?", names them and asks whether to go on anyway. True when
// nothing is lost or the user said Yes; false when the step is to be
// cancelled.
[[nodiscard]] bool confirmCharacterLoss(QStringView text, const QString &path, CodePageStep step = CodePageStep::Save);

} // namespace vx
