#include "app/documents/ui/FileDialogs.h"

#include "app/Globals.h"
#include "platform/Prompter.h"

#include <QFileInfo>

namespace {

QString &lastFolder()
{
    static QString folder;
    return folder;
}

// Only a name the user accepted is a chosen name: a dialog that was
// cancelled or failed gives "", never the name it was offered.
QString ask(vx::PromptKind kind, const QString &title, const QString &filter, const QString &ext,
            const QString &initial)
{
    vx::Prompt p;
    p.kind = kind;
    p.title = title;
    p.filter = filter;
    p.filterIndex = 1;
    p.defaultSuffix = ext;
    p.defaultText = initial;
    p.initialDir = lastFolder();
    p.overwritePrompt = true;
    const vx::Reply r = vx::prompter().ask(p);
    if (!r.accepted || r.files.isEmpty() || r.files.front().isEmpty())
        return {};
    const QString path = r.files.front();
    lastFolder() = QFileInfo(path).absolutePath();
    return path;
}

QString save(const QString &title, const QString &filter, const QString &ext, const QString &initial)
{
    return ask(vx::PromptKind::SaveFile, title, filter, ext, initial);
}

QString open(const QString &title, const QString &filter)
{
    return ask(vx::PromptKind::OpenFile, title, filter, QString(), QString());
}

} // namespace

QString GetSaveTextFileName(const QString &initial)
{
    return save(QStringLiteral("Save Text File As"), QStringLiteral("Text File (*.txt)|*.txt|All Files (*.*)|*.*"),
                QStringLiteral("txt"), initial);
}

QString GetSaveSoundLibFileName(const QString &initial)
{
    return save(QStringLiteral("Save Sound Library As"), QStringLiteral("Sound Library (*.sfl)"), QStringLiteral("sfl"),
                initial);
}

QString GetSaveGreetingFileName(const QString &initial)
{
    return save(QStringLiteral("Save Greeting File As"), QStringLiteral("Greeting File (*.grt)"), QStringLiteral("grt"),
                initial);
}

QString GetSaveDictionaryFileName(const QString &initial)
{
    return save(QStringLiteral("Save Dictionary As"), QStringLiteral("Dictionary File (*.dic)"), QStringLiteral("dic"),
                initial);
}

QString GetSaveMusicFileName(const QString &initial)
{
    return save(QStringLiteral("Save Music Score As"), QStringLiteral("Music File (*.tgn)"), QStringLiteral("tgn"),
                initial);
}

QString GetSavePcmFileName(const QString &initial)
{
    return save(QStringLiteral("Save PCM File As"), QStringLiteral("PCM File (*.pcm)"), QStringLiteral("pcm"), initial);
}

QString GetSaveWaveFileName(const QString &initial)
{
    return save(QStringLiteral("Save Wave File As"), QStringLiteral("Wave File (*.wav)"), QStringLiteral("wav"), initial);
}

QString GetOpenDocFileName()
{
    return open(QStringLiteral("Choose File to Open"),
                ChipModel + QStringLiteral(" Files (*.txt,*.dic,*.sfl,*.tgn)|*.txt;*.dic;*.sfl;*.tgn|All Files (*.*)|*.*"));
}

QString GetPlayFileName()
{
    return open(QStringLiteral("Choose File to Play"),
                QStringLiteral("Sound Files (*.wav,*.mp3,*.pcm,*.tgx)|*.wav;*.mp3;*.pcm;*.tgx|All Files (*.*)|*.*"));
}

QString GetWordListFileName()
{
    return open(QStringLiteral("Choose Text File"), QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"));
}

QString GetConvertFileName()
{
    return open(QStringLiteral("Choose Sound File to Convert"),
                QStringLiteral("Windows Sound Files (*.wav,*.mp3)|*.wav;*.mp3|") + ChipModel +
                    QStringLiteral(" Sound Files (*.pcm)|*.pcm|All Files (*.*)|*.*"));
}

QString GetDownloadFileName()
{
    return open(QStringLiteral("Choose File to Download"),
                IsOlderChip ? QStringLiteral("SV3410 Files (*.grt,*.dix,*.sfx)|*.grt;*.dix;*.sfx|All Files (*.*)|*.*")
                            : QStringLiteral("SV3420 Files (*.grt,*.dix,*.sfx,*.pcm)|*.grt;*.dix;*.sfx;*.pcm|All Files (*.*)|*.*"));
}

QString GetSaveDixFileName(const QString &initial)
{
    return save(QStringLiteral("Save Compiled Dictionary As"), QStringLiteral("Compiled Dictionary File (*.dix)"),
                QStringLiteral("dix"), initial);
}

QString GetSaveTgxFileName(const QString &initial)
{
    return save(QStringLiteral("Save Compiled Music Score As"), QStringLiteral("Compiled Music Score (*.tgx)"),
                QStringLiteral("tgx"), initial);
}

QString GetSaveSfxFileName(const QString &initial)
{
    return save(QStringLiteral("Save Compiled Sound Library As"), QStringLiteral("Compiled Sound Library (*.sfx)"),
                QStringLiteral("sfx"), initial);
}

void ResetFileDialogFolder()
{
    lastFolder().clear();
}
