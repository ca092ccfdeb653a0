#include "shell/SettingText.h"

namespace mv::shell {

QString boolSettingText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString intSettingText(qint64 value)
{
    return QString::number(value);
}

bool settingBool(const QString& text, bool defaultValue)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qint64 n = t.toLongLong(&ok, 10);
    return ok ? n != 0 : defaultValue;
}

int settingInt(const QString& text, int defaultValue)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    return ok ? n : defaultValue;
}

qint64 settingInt64(const QString& text, qint64 defaultValue)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok, 10);
    return ok ? n : defaultValue;
}

} // namespace mv::shell
