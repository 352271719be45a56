#include "platform/Settings.h"

#include <QSettings>

#include <cmath>
#include <memory>

namespace {

std::unique_ptr<QSettings> open(const QString &app)
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, app, app);
}

QString groupKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString GetSetting(const QString &AppName, const QString &Section, const QString &Key, const QString &Default)
{
    auto s = open(AppName);
    const QVariant v = s->value(groupKey(Section, Key));
    if (!v.isValid())
        return Default;
    // A value written by hand as a list (a comma in INI) still reads as its text.
    if (v.metaType().id() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool SaveSetting(const QString &AppName, const QString &Section, const QString &Key, const QString &Setting)
{
    auto s = open(AppName);
    s->setValue(groupKey(Section, Key), Setting);
    s->sync();
    return s->status() == QSettings::NoError;
}

void DeleteSetting(const QString &AppName, const QString &Section, const QString &Key)
{
    auto s = open(AppName);
    if (Key.isEmpty())
        s->remove(Section);
    else
        s->remove(groupKey(Section, Key));
    s->sync();
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
    return open(app)->fileName();
}

} // namespace vx
