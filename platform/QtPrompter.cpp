#include "platform/QtPrompter.h"

#include "platform/FileNames.h"
#include "platform/Help.h"
#include "platform/ui/Modal.h"
#include "platform/ui/WrittenLines.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <memory>

namespace vx {

namespace {

struct ButtonSpec
{
    QMessageBox::StandardButton button;
    Answer answer;
};

QList<ButtonSpec> buttonsFor(Buttons b)
{
    switch (b) {
    case Buttons::Ok: return {{QMessageBox::Ok, Answer::Ok}};
    case Buttons::OkCancel: return {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}};
    case Buttons::AbortRetryIgnore:
        return {{QMessageBox::Abort, Answer::Abort}, {QMessageBox::Retry, Answer::Retry}, {QMessageBox::Ignore, Answer::Ignore}};
    case Buttons::YesNoCancel:
        return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}, {QMessageBox::Cancel, Answer::Cancel}};
    case Buttons::YesNo: return {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
    case Buttons::RetryCancel: return {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}};
    }
    return {{QMessageBox::Ok, Answer::Ok}};
}

QMessageBox::Icon iconFor(Icon i)
{
    switch (i) {
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Information: return QMessageBox::Information;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

// A message box as wide as the longest line its text was written with, and
// its title: Qt's own box wraps at half the screen, and then the writer's
// line breaks leave ragged lines. A file path in it reads whole on its line.
class WrittenLinesBox : public QMessageBox
{
public:
    WrittenLinesBox(Icon icon, const QString &title, const QString &text, QWidget *parent)
        : QMessageBox(icon, title, keepPathsWhole(text), NoButton, parent)
    {
    }

protected:
    // Qt sizes the box anew when it is shown and when its layout changes.
    void showEvent(QShowEvent *e) override
    {
        QMessageBox::showEvent(e);
        fit();
    }
    bool event(QEvent *e) override
    {
        const bool done = QMessageBox::event(e);
        if (e->type() == QEvent::LayoutRequest && isVisible())
            fit();
        return done;
    }

private:
    // Qt placed the box at the size it had before it was widened: it is
    // centred again at its final size, over its owner in sight or on the
    // screen.
    void fit()
    {
        auto *label = findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        if (!label)
            return;
        const QSize before = size();
        fitWrittenLines(this, label);
        if (mPlaced && size() == before)
            return;
        mPlaced = true;
        if (QWidget *owner = parentWidget(); owner && owner->window()->isVisible())
            CentreOver(this, owner->window());
        else
            CentreOnScreen(this);
    }
    bool mPlaced = false;
};

// Qt's own file dialog reads quotation marks as a list of names ("a" "b"),
// so that odd "q".txt would be saved as q.txt. A save dialog asks for one
// name: it takes the name as typed. A name wholly in one pair of marks is
// the usual way to keep the extension from being added: it is saved as what
// stands inside, as it stands.
class SaveNameDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;
    // The file chosen, when the name typed held a quotation mark.
    QString typedFile;

    void accept() override
    {
        auto *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (acceptMode() != AcceptSave || !edit || !edit->isVisible() || !edit->text().contains(QLatin1Char('"'))) {
            QFileDialog::accept();
            return;
        }
        QString name = edit->text();
        const QString trimmed = name.trimmed();
        const bool quoted = trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) &&
                            trimmed.endsWith(QLatin1Char('"')) && trimmed.count(QLatin1Char('"')) == 2;
        if (quoted) {
            name = trimmed.mid(1, trimmed.size() - 2);
            if (name.isEmpty())
                return;
        } else if (!defaultSuffix().isEmpty() && !QFileInfo(name).fileName().contains(QLatin1Char('.'))) {
            name += QLatin1Char('.') + defaultSuffix();
        }
        const QFileInfo file(directory().absoluteFilePath(name));
        if (file.isDir()) {
            setDirectory(file.absoluteFilePath());
            edit->clear();
            return;
        }
        if (file.exists() && !testOption(DontConfirmOverwrite) &&
            QMessageBox::warning(this, windowTitle(),
                                 QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(file.fileName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return;
        typedFile = file.absoluteFilePath();
        QDialog::accept();
    }
};

} // namespace

QStringList QtPrompter::qtFilters(const QString &filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter.isEmpty() ? QStringList() : filter.split(QStringLiteral(";;"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        if (patterns == QLatin1String(kExecutableFiles))
            patterns = QStringLiteral("*");
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString label = parts[i];
        if (!label.contains(QLatin1Char('(')))
            label += QStringLiteral(" (") + patterns + QLatin1Char(')');
        else
            label = label.left(label.indexOf(QLatin1Char('('))).trimmed() + QStringLiteral(" (") + patterns + QLatin1Char(')');
        out << label;
    }
    return out;
}

int QtPrompter::executableFilterIndex(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (parts[i + 1] == QLatin1String(kExecutableFiles))
            return i / 2;
    return -1;
}

Reply QtPrompter::ask(const Prompt &p)
{
    Reply r;
    const QString title = p.title.isEmpty() ? programTitle() : p.title;
    switch (p.kind) {
    case PromptKind::Message: {
        WrittenLinesBox box(iconFor(p.icon), title, p.text, mParent);
        const QList<ButtonSpec> specs = buttonsFor(p.buttons);
        QList<QAbstractButton *> made;
        for (const ButtonSpec &s : specs)
            made << box.addButton(s.button);
        QPushButton *help = nullptr;
        if (p.helpTopic != 0)
            help = box.addButton(QMessageBox::Help);
        const int def = qBound(1, p.defaultButton, int(made.size())) - 1;
        box.setDefaultButton(qobject_cast<QPushButton *>(made[def]));
        for (;;) {
            box.exec();
            QAbstractButton *clicked = box.clickedButton();
            if (help && clicked == help) {
                showHelpTopic(p.helpTopic);
                continue;
            }
            const int idx = made.indexOf(clicked);
            if (idx >= 0) {
                r.answer = specs[idx].answer;
            } else {
                // Closed with Escape or the title bar: the box's cancel answer.
                r.answer = specs.size() == 1 ? specs[0].answer : specs.back().answer;
            }
            break;
        }
        r.accepted = r.answer == Answer::Ok || r.answer == Answer::Yes;
        return r;
    }
    case PromptKind::Input: {
        bool ok = false;
        const QString t = QInputDialog::getText(mParent, title, p.text, QLineEdit::Normal, p.defaultText, &ok);
        r.accepted = ok;
        r.answer = ok ? Answer::Ok : Answer::Cancel;
        if (ok)
            r.text = t;
        return r;
    }
    case PromptKind::OpenFile:
    case PromptKind::SaveFile: {
        SaveNameDialog dlg(mParent, p.title);
        const QStringList filters = qtFilters(p.filter);
        if (!filters.isEmpty()) {
            dlg.setNameFilters(filters);
            dlg.selectNameFilter(filters.value(qBound(1, p.filterIndex, int(filters.size())) - 1));
        }
        if (const int exec = executableFilterIndex(p.filter); exec >= 0 && exec < filters.size()) {
            // The desktop's own dialog cannot filter on the execute permission.
            dlg.setOption(QFileDialog::DontUseNativeDialog);
            const QDir::Filters plain = dlg.filter();
            const QString execFilter = filters[exec];
            auto apply = [&dlg, plain, execFilter](const QString &chosen) {
                dlg.setFilter(chosen == execFilter ? plain | QDir::Executable : plain);
            };
            QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, apply);
            apply(dlg.selectedNameFilter());
        }
        // With no folder of its own the dialog would start in the current
        // folder, which is the program's: the user's files are at home.
        dlg.setDirectory(p.initialDir.isEmpty() ? QDir::homePath() : p.initialDir);
        if (!p.defaultText.isEmpty())
            dlg.selectFile(p.defaultText);
        if (p.kind == PromptKind::SaveFile) {
            dlg.setAcceptMode(QFileDialog::AcceptSave);
            dlg.setFileMode(QFileDialog::AnyFile);
            dlg.setDefaultSuffix(p.defaultSuffix);
            if (!p.overwritePrompt)
                dlg.setOption(QFileDialog::DontConfirmOverwrite);
        } else {
            dlg.setFileMode(p.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        }
        if (dlg.exec() == QDialog::Accepted) {
            r.files = dlg.typedFile.isEmpty() ? dlg.selectedFiles() : QStringList{dlg.typedFile};
            for (QString &file : r.files)
                file = chosenFileName(file); // a name that is not UTF-8
            r.filterIndex = int(filters.indexOf(dlg.selectedNameFilter())) + 1;
            r.accepted = !r.files.isEmpty();
            r.answer = Answer::Ok;
        }
        return r;
    }
    case PromptKind::Folder: {
        const QString dir = QFileDialog::getExistingDirectory(mParent, p.title,
                                                              p.initialDir.isEmpty() ? QDir::homePath() : p.initialDir);
        if (!dir.isEmpty()) {
            r.files = {dir};
            r.accepted = true;
            r.answer = Answer::Ok;
        }
        return r;
    }
    case PromptKind::Print:
    case PromptKind::PageSetup:
        return askPrinter(p, nullptr);
    }
    return r;
}

Reply QtPrompter::askPrinter(const Prompt &p, QPrinter *printer)
{
    Reply r;
    QPrinter fallback;
    std::unique_ptr<QDialog> dlg;
    if (p.kind == PromptKind::PageSetup) {
        dlg = std::make_unique<QPageSetupDialog>(printer ? printer : &fallback, mParent);
    } else {
        auto print = std::make_unique<QPrintDialog>(printer ? printer : &fallback, mParent);
        // A page range, but no printing of a selection or a current page.
        print->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
        if (p.pageCount > 0)
            print->setMinMax(1, p.pageCount);
        dlg = std::move(print);
    }
    if (!p.title.isEmpty())
        dlg->setWindowTitle(p.title);
    r.accepted = dlg->exec() == QDialog::Accepted;
    r.answer = r.accepted ? Answer::Ok : Answer::Cancel;
    return r;
}

} // namespace vx
