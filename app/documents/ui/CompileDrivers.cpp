#include "app/documents/ui/CompileDrivers.h"

#include "app/Globals.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/GridDocumentWindow.h"
#include "app/startup/Busy.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/RealTimePlay.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmMDI.h"
#include "common/SafeFile.h"
#include "common/TextUtil.h"
#include "components/cantorel/cCantorel.h"
#include "components/common/ComponentError.h"
#include "components/lexmold/cLexmold.h"
#include "platform/Cp1252.h"
#include "platform/Folders.h"
#include "platform/Prompter.h"
#include "platform/TextFiles.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// Run-time error number of a file that cannot be written.
constexpr int kErrPathFileAccess = 75;

struct RaisedError
{
    std::int32_t number = 0;
    QString description;
};

GridDocumentWindow *activeGridWindow(vx::WindowKind kind)
{
    auto *w = qobject_cast<GridDocumentWindow *>(ActiveDocument());
    return w && w->kind() == kind ? w : nullptr;
}

QString folderOf()
{
    if (TempFolder.isEmpty() || !QFileInfo(TempFolder).isDir()) {
        TempFolder = vx::tempFolderPath();
        vx::createTempFolder(TempFolder);
    }
    return TempFolder;
}

// Every row's line, hidden rows included, each ended by CR LF.
QByteArray sourceBytes(const GridRows &rows)
{
    QString text;
    for (const GridRow &r : rows.all())
        text += r.text + QStringLiteral("\r\n");
    return vx::toCp1252(text);
}

// The rows as far as a compiler turns them into its file: a comment's
// characters reach nothing compiled.
QString compiledText(const GridRows &rows)
{
    QString text;
    for (const GridRow &r : rows.all()) {
        if (!IsCommentLine(r.text))
            text += r.text + QLatin1Char('\n');
    }
    return text;
}

std::optional<RaisedError> writeSource(const QString &path, const GridRows &rows)
{
    std::string error;
    if (vx::writeFileAtomically(path.toStdU16String(), sourceBytes(rows).toStdString(), &error))
        return std::nullopt;
    return RaisedError{kErrPathFileAccess, QStringLiteral("Path/File access error: ") + QString::fromStdString(error)};
}

RaisedError fromComponent(const vx::ComponentError &e)
{
    // Only a compiler's own numbered errors carry the object-error base.
    const bool numbered = e.kind() == vx::ComponentError::ObjectError;
    const int number = numbered ? e.code() : e.number();
    // A file error names a path in the file system's bytes; the others quote
    // source text, which is in the chip's code page.
    const QByteArray text = QByteArray::fromStdString(e.description());
    return {number, number == kErrPathFileAccess ? QFile::decodeName(text) : vx::fromCp1252(text)};
}

void showError(const RaisedError &e)
{
    vx::MsgBox(QStringLiteral("Error %1: %2").arg(e.number).arg(e.description), vx::Buttons::Ok,
               vx::Icon::Exclamation);
}

// The main window's first status panel and pointer while a compile runs.
void compiling(const QString &name)
{
    if (frmMDI *main = frmMDI::instance(); main && main->sbStatusBar) {
        main->sbStatusBar->SetPanelPicture(QPixmap());
        main->sbStatusBar->SetPanelText(1, QStringLiteral("Compiling '") + name + QStringLiteral("'..."));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void compiled()
{
    if (frmMDI *main = frmMDI::instance(); main && main->sbStatusBar) {
        main->sbStatusBar->SetPanelText(1, QStringLiteral("For Help, press F1"));
        main->sbStatusBar->SetPanelPicture(images::statusImage(1));
    }
    QApplication::restoreOverrideCursor();
}

// The document's name without its extension: where the object file is proposed.
QString baseOf(const QString &fileName)
{
    const int dot = static_cast<int>(fileName.lastIndexOf(QLatin1Char('.')));
    const int slash = static_cast<int>(fileName.lastIndexOf(QLatin1Char('/')));
    return dot > slash ? fileName.left(dot) : fileName;
}

QString shownName(const QString &path)
{
    return ProperCase(QFileInfo(path).fileName());
}

// Selects the row a compiler named, when the grid has it.
void selectFailingRow(GridDocumentWindow *w, int row)
{
    GridEditor *grid = w->vbalGrid1;
    if (row < 1 || row > grid->Rows())
        return;
    grid->setCellSelected(grid->SelectedRow(), 2, false);
    grid->setCellSelected(row, 2, true);
    grid->EnsureVisible(row, 2);
}

QString successText(const QString &name)
{
    return QStringLiteral("'") + name + QStringLiteral("' was successfully created. ");
}

} // namespace

QString TemporarySourcePath()
{
    const QString folder = folderOf();
    static int counter = 0;
    for (;;) {
        const QString path = folder + QStringLiteral("source-%1-%2.tmp").arg(QCoreApplication::applicationPid()).arg(++counter);
        if (!QFileInfo::exists(path))
            return path;
    }
}

namespace {

// One compile of a grid window, as far as both kinds go alike.
struct GridCompile
{
    GridDocumentWindow *w = nullptr;
    QString object;
    QString name;
    QString source;
    std::optional<RaisedError> error;
};

// Asks for the object file, shows the compile as running, drops a stale
// object file (none survives a failed compile), writes the rows to a
// temporary source and runs compile on it. Nothing when there is no such
// window or the user cancelled; the caller reports and removes the source.
template<typename Compile>
std::optional<GridCompile> runGridCompile(vx::WindowKind kind, QString (*askObject)(const QString &),
                                          const QString &extension, Compile compile)
{
    GridCompile c;
    c.w = activeGridWindow(kind);
    if (!c.w)
        return std::nullopt;
    c.object = askObject(baseOf(c.w->record().FileName) + extension);
    if (c.object.isEmpty())
        return std::nullopt;
    // A typed character the code page lacks would compile as "?"; a No
    // leaves everything as it was, the old object file too.
    if (!vx::confirmCharacterLoss(compiledText(c.w->vbalGrid1->rows()), c.object, vx::CodePageStep::Compile))
        return std::nullopt;
    c.name = shownName(c.object);
    compiling(c.name);
    if (QFileInfo::exists(c.object))
        QFile::remove(c.object);
    c.source = TemporarySourcePath();
    c.error = writeSource(c.source, c.w->vbalGrid1->rows());
    if (!c.error) {
        try {
            compile(c);
        } catch (const vx::ComponentError &e) {
            c.error = fromComponent(e);
        }
    }
    QCoreApplication::processEvents();
    compiled();
    return c;
}

} // namespace

void CompileDictionary()
{
    if (!DicCompiler)
        return;
    int r = 0;
    const std::optional<GridCompile> c =
        runGridCompile(vx::WindowKind::Dictionary, GetSaveDixFileName, QStringLiteral(".dix"), [&r](const GridCompile &g) {
            r = DicCompiler->CompileFile(g.source.toStdU16String(), DictCharSet, g.object.toStdU16String(), false);
        });
    if (!c)
        return;
    if (c->error) {
        showError(*c->error);
    } else if (r != 0) {
        selectFailingRow(c->w, r);
        c->w->UpdateFields();
        QCoreApplication::processEvents();
    } else if (Port != 0) {
        const vx::Answer a =
            vx::MsgBox(successText(c->name).chopped(1) + QStringLiteral(" Would you ") + QStringLiteral("\r\n") +
                           QStringLiteral("like to download it to the ") + ModuleName + QStringLiteral(" at this time? "),
                       vx::Buttons::YesNo, vx::Icon::Question, QStringLiteral("Compile Dictionary"), 2);
        if (a == vx::Answer::Yes)
            DownloadDictionary(c->object);
    } else {
        vx::MsgBox(successText(c->name), vx::Buttons::Ok, vx::Icon::None, QStringLiteral("Compile Dictionary"));
    }
    QFile::remove(c->source);
}

void CompileMusicScore()
{
    if (!MusicCompiler)
        return;
    int errLine = 0;
    const std::optional<GridCompile> c =
        runGridCompile(vx::WindowKind::Music, GetSaveTgxFileName, QStringLiteral(".tgx"), [&errLine](const GridCompile &g) {
            try {
                MusicCompiler->CompileFile(g.source.toStdString(), g.object.toStdString(), errLine, false);
            } catch (const vx::ComponentError &e) {
                // Only an error in the score itself names a line.
                if (e.kind() != vx::ComponentError::ObjectError)
                    errLine = 0;
                throw;
            }
        });
    if (!c)
        return;
    if (c->error) {
        showError(*c->error);
        selectFailingRow(c->w, errLine);
        QCoreApplication::processEvents();
    } else {
        vx::MsgBox(successText(c->name), vx::Buttons::Ok, vx::Icon::None, QStringLiteral("Compile Music Score"));
    }
    QFile::remove(c->source);
}

bool CheckDictionaryRule(const QString &Rule, bool blnSilent)
{
    if (DictSynCk == 1 || Rule.trimmed().toUpper() == QLatin1String("C") || !DicCompiler)
        return true;
    // Checked as "?", such a rule would pass for one it is not: it stands
    // only when the user says it may, and the silent check cannot ask.
    if (!IsCommentLine(Rule) && !vx::charactersOutsideCp1252(Rule).isEmpty()) {
        const DocumentWindow *doc = ActiveDocument();
        if (blnSilent || !vx::confirmCharacterLoss(Rule, doc ? doc->record().FileName : QString(),
                                                   vx::CodePageStep::Compile))
            return false;
    }
    std::string rule = vx::toCp1252(Rule).toStdString();
    return DicCompiler->CompileRuleInCharSet(rule, DictCharSet, blnSilent);
}

void PlayMusicScore()
{
    GridDocumentWindow *w = activeGridWindow(vx::WindowKind::Music);
    if (!w || !MusicCompiler)
        return;
    if (!vx::confirmCharacterLoss(compiledText(w->vbalGrid1->rows()), w->record().FileName, vx::CodePageStep::Play))
        return;
    const QString name = shownName(w->record().FileName);
    const QString source = TemporarySourcePath();
    QString object = folderOf() + name;
    std::optional<RaisedError> error = writeSource(source, w->vbalGrid1->rows());
    if (error) {
        showError(*error);
    } else {
        try {
            int line = 0;
            MusicCompiler->CompileFile(source.toStdString(), object.toStdString(), line, false);
            BeginBusy();
            PlayMusicOnChip(object);
            EndBusy();
        } catch (const vx::ComponentError &e) {
            vx::MsgBox(vx::fromCp1252(QByteArray::fromStdString(e.description())), vx::Buttons::Ok,
                       vx::Icon::Exclamation, QStringLiteral("Error"));
        }
    }
    vx::emptyFolder(folderOf());
}
