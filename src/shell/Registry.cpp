#include "shell/Registry.h"

#include "desktop/ConfigDir.h"
#include "shell/HiveStore.h"

#include <QCoreApplication>

#include <mutex>
#include <optional>

namespace mv::shell {

const QString kCompanyKey = QStringLiteral("Software\\Braxmoor Laboratories");
const QString kProductKey = QStringLiteral("Software\\Braxmoor Laboratories\\Mirravelnock!\\");

namespace {

thread_local QString t_error;

// flock() already keeps threads apart; this also covers a read that had to go without it.
std::mutex& storeMutex()
{
    static std::mutex m;
    return m;
}

QString hiveFileName(Hive hive)
{
    switch (hive) {
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER.reg");
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT.reg");
    }
    return {};
}

// The store of `hive` and the normalised key path, or nothing (with t_error set).
std::optional<std::pair<HiveStore, QString>> open(Hive hive, const QString& keyPath)
{
    const QString file = hiveFileName(hive);
    if (file.isEmpty()) {
        t_error = QCoreApplication::translate("mv::shell", "unknown hive 0x%1")
                      .arg(quint32(hive), 8, 16, QLatin1Char('0'));
        return std::nullopt;
    }
    const auto parts = RegDocument::splitKeyPath(keyPath);
    if (!parts) {
        t_error = QCoreApplication::translate("mv::shell", "invalid key path \"%1\"").arg(keyPath);
        return std::nullopt;
    }
    return std::make_pair(HiveStore(desktop::configDir(), file), parts->join(QLatin1Char('\\')));
}

bool modify(Hive hive, const QString& keyPath, const std::function<bool(RegDocument&, const QString&)>& edit)
{
    const auto target = open(hive, keyPath);
    if (!target)
        return false;
    const std::lock_guard guard(storeMutex());
    const fileutil::FileResult r =
        target->first.modify([&](RegDocument& doc) { return edit(doc, target->second); });
    t_error = fileutil::resultText(r);
    return r.ok;
}

} // namespace

QString GetRegValue(Hive hive, const QString& keyPath, const QString& valueName)
{
    const auto target = open(hive, keyPath);
    if (!target)
        return {};
    RegDocument doc;
    {
        const std::lock_guard guard(storeMutex());
        if (const fileutil::FileResult r = target->first.read(&doc); !r) {
            t_error = fileutil::resultText(r);
            return {};
        }
    }
    const RegValue* value = doc.findValue(target->second, valueName);
    if (!value || !value->isString) {
        t_error = value ? QCoreApplication::translate("mv::shell", "not a string value")
                        : QCoreApplication::translate("mv::shell", "no such value");
        return {};
    }
    t_error.clear();
    return value->text;
}

bool SetRegValue(Hive hive, const QString& keyPath, const QString& valueName, quint32 type,
                 const QString& text)
{
    Q_UNUSED(type);
    return modify(hive, keyPath, [&](RegDocument& doc, const QString& path) {
        const RegValue* old = doc.findValue(path, valueName);
        if (old && old->isString && old->text == text)
            return false;
        doc.setValue(path, RegValue {valueName, true, text});
        return true;
    });
}

bool DeleteRegKey(Hive hive, const QString& keyPath)
{
    return modify(hive, keyPath,
                  [](RegDocument& doc, const QString& path) { return doc.removeKeyTree(path); });
}

bool DeleteRegValue(Hive hive, const QString& keyPath, const QString& valueName)
{
    return modify(hive, keyPath,
                  [&](RegDocument& doc, const QString& path) { return doc.removeValue(path, valueName); });
}

bool SaveSetting(const QString& section, const QString& valueName, const QString& text)
{
    return SetRegValue(HKEY_CURRENT_USER, kProductKey + section, valueName, REG_SZ, text);
}

QString GetSetting(const QString& section, const QString& valueName)
{
    return GetRegValue(HKEY_CURRENT_USER, kProductKey + section, valueName);
}

bool DeleteSetting(const QString& section, const QString& valueName)
{
    return DeleteRegValue(HKEY_CURRENT_USER, kProductKey + section, valueName);
}

QString registryError()
{
    return t_error;
}

QString hiveFilePath(Hive hive)
{
    const QString file = hiveFileName(hive);
    return file.isEmpty() ? QString() : HiveStore(desktop::configDir(), file).filePath();
}

} // namespace mv::shell
