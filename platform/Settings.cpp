#include "platform/Settings.h"

#include "common/ReadFiles.h"
#include "common/SafeFile.h"
#include "platform/FileNames.h"
#include "platform/IniFile.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

// A settings file is a few kilobytes; one past this is no settings file.
constexpr std::uintmax_t kMostBytes = 16 << 20;

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

std::filesystem::path localPath(const QString &path)
{
    return vx::fileNameBytes(path).toStdString();
}

QList<vx::IniEntry> readEntries(const QString &app)
{
    std::string bytes;
    if (vx::readRegularFile(localPath(vx::settingsFilePath(app)), bytes, kMostBytes) != 0)
        return {};
    return vx::parseIni(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

// QLockFile tells a lock it could not create only as a permission or an
// unknown error; the system's own cause is what creating the file says. 0
// when it can be created after all.
int lockCreationError(const QString &lockPath)
{
    const QByteArray name = vx::fileNameBytes(lockPath);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    // Ours alone: it did not exist a moment ago.
    ::close(fd);
    ::unlink(name.constData());
    return 0;
}

// Reads app's settings, lets change edit them (it says whether it changed
// anything) and writes them back through the safe writer. A change that
// leaves the settings as they are writes nothing, so it cannot fail where the
// file cannot be written. False, and the cause in *error, when the file could
// not be read or written: the old file is then whole.
bool editSettings(const QString &app, const std::function<bool(QList<vx::IniEntry> &)> &change,
                  QString *error = nullptr)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    {
        QList<vx::IniEntry> entries = readEntries(app);
        if (!change(entries))
            return true;
    }
    const QString path = vx::settingsFilePath(app);
    std::error_code ec;
    std::filesystem::create_directories(localPath(QFileInfo(path).path()), ec);
    if (ec)
        return fail(QString::fromLocal8Bit(ec.message()));
    // Writers of one file take turns, so none loses another's key.
    const QString lockPath = path + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    if (!lock.tryLock(5000)) {
        if (lock.error() == QLockFile::LockFailedError)
            return fail(QStringLiteral("Another program holds the file"));
        int err = lockCreationError(lockPath);
        if (err == 0)
            err = lock.error() == QLockFile::PermissionError ? EACCES : EIO;
        return fail(QString::fromLocal8Bit(vx::readErrorText(err)));
    }
    std::string bytes;
    if (const int err = vx::readRegularFile(localPath(path), bytes, kMostBytes); err != 0 && err != ENOENT)
        return fail(QString::fromLocal8Bit(vx::readErrorText(err)));
    QList<vx::IniEntry> entries = vx::parseIni(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!change(entries))
        return true;
    const QByteArray out = vx::buildIni(entries);
    if (std::string_view(out.constData(), std::size_t(out.size())) == bytes)
        return true;
    std::string why;
    if (!vx::writeFileAtomically(localPath(path), std::string_view(out.constData(), std::size_t(out.size())), &why))
        return fail(QString::fromLocal8Bit(why));
    return true;
}

// Whether this run has told the user that the settings cannot be kept.
bool gToldUnsaved = false;

} // namespace

QString GetSetting(const QString &AppName, const QString &Section, const QString &Key, const QString &Default)
{
    const QString key = groupKey(Section, Key);
    for (const vx::IniEntry &e : readEntries(AppName))
        if (e.first == key)
            return e.second;
    return Default;
}

bool SaveSetting(const QString &AppName, const QString &Section, const QString &Key, const QString &Setting,
                 QString *error)
{
    const QString key = groupKey(Section, Key);
    return editSettings(AppName, [&](QList<vx::IniEntry> &entries) {
        for (vx::IniEntry &e : entries) {
            if (e.first == key) {
                if (e.second == Setting)
                    return false;
                e.second = Setting;
                return true;
            }
        }
        entries.append({key, Setting});
        return true;
    }, error);
}

void DeleteSetting(const QString &AppName, const QString &Section, const QString &Key)
{
    // A whole section goes with every key below it.
    const QString key = Key.isEmpty() ? Section : groupKey(Section, Key);
    const QString below = key + QLatin1Char('/');
    editSettings(AppName, [&](QList<vx::IniEntry> &entries) {
        return entries.removeIf([&](const vx::IniEntry &e) { return e.first == key || e.first.startsWith(below); }) > 0;
    });
}

namespace vx {

bool settingToBool(const QString &text, bool def)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double n = t.toDouble(&ok);
    if (ok && std::isfinite(n))
        return n != 0.0;
    return def;
}

int settingToInt(const QString &text, int def)
{
    bool ok = false;
    const double n = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(n) || n < -2147483648.0 || n > 2147483647.0)
        return def;
    // Stored numbers are whole; a fraction rounds half to even as the store's
    // readers always did.
    return static_cast<int>(std::nearbyint(n));
}

double settingToDouble(const QString &text, double def)
{
    bool ok = false;
    const double n = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(n) ? n : def;
}

QString boolToSetting(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool readBool(const QString &app, const QString &section, const QString &key, bool def)
{
    return settingToBool(GetSetting(app, section, key, boolToSetting(def)), def);
}

int readInt(const QString &app, const QString &section, const QString &key, int def)
{
    return settingToInt(GetSetting(app, section, key, QString::number(def)), def);
}

QString readText(const QString &app, const QString &section, const QString &key, const QString &def)
{
    return GetSetting(app, section, key, def);
}

bool saveChosenSetting(const QString &app, const QString &section, const QString &key, const QString &value)
{
    QString why;
    if (SaveSetting(app, section, key, value, &why))
        return true;
    // Once a run: the next write would fail for the same cause, and a
    // dialog's every key would repeat it.
    if (!gToldUnsaved) {
        gToldUnsaved = true;
        MsgBox(QStringLiteral("Your settings could not be saved to ") + settingsFilePath(app) + QStringLiteral(": ") +
                   why + QStringLiteral(".\r\n\r\nWhat you choose applies until the program ends, but will not be "
                                        "kept for its next start. This is not said again until then."),
               Buttons::Ok, Icon::Exclamation);
    }
    return false;
}

bool saveChosenBool(const QString &app, const QString &section, const QString &key, bool value)
{
    return saveChosenSetting(app, section, key, boolToSetting(value));
}

bool saveChosenInt(const QString &app, const QString &section, const QString &key, int value)
{
    return saveChosenSetting(app, section, key, QString::number(value));
}

void resetSettingsNotice()
{
    gToldUnsaved = false;
}

bool writeBool(const QString &app, const QString &section, const QString &key, bool value)
{
    return SaveSetting(app, section, key, boolToSetting(value));
}

bool writeInt(const QString &app, const QString &section, const QString &key, int value)
{
    return SaveSetting(app, section, key, QString::number(value));
}

QString settingsFilePath(const QString &app)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + app +
           QLatin1Char('/') + app + QStringLiteral(".ini");
}

} // namespace vx
