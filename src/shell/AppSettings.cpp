#include "shell/AppSettings.h"

#include "shell/RegDocument.h"
#include "shell/Registry.h"

#include <QFileInfo>

namespace mv::shell {

using fileutil::FileResult;

namespace {

HiveStore userStore()
{
    const QFileInfo file(hiveFilePath(HKEY_CURRENT_USER));
    return HiveStore(file.absolutePath(), file.fileName());
}

QString storedText(const RegDocument& doc, const QString& keyPath, Setting which)
{
    const RegValue* v = doc.findValue(keyPath, settingInfo(which).name);
    return v && v->isString ? v->text : QString();
}

} // namespace

AppSettings::AppSettings(QObject* parent, SettingsTiming timing) : QObject(parent), store_(userStore())
{
    RegDocument doc;
    loadResult_ = store_.read(&doc);
    const QString keyPath = settingsKeyPath();
    for (int i = 0; i < kSettingCount; ++i)
        values_[size_t(i)] = storedText(doc, keyPath, Setting(i));

    writer_ = new SettingsWriter(store_, timing);
    writer_->moveToThread(&thread_);
    connect(&thread_, &QThread::started, writer_, &SettingsWriter::start);
    connect(&thread_, &QThread::finished, writer_, &QObject::deleteLater);
    connect(writer_, &SettingsWriter::written, this, &AppSettings::settle);
    connect(writer_, &SettingsWriter::storeSeen, this, &AppSettings::takeStored);
    thread_.setObjectName(QStringLiteral("settings writer"));
    thread_.start();
}

AppSettings::~AppSettings()
{
    (void)flush();
    thread_.quit();
    thread_.wait();
}

std::optional<qint64> AppSettings::number(Setting which) const
{
    return settingNumber(text(which));
}

std::optional<bool> AppSettings::truth(Setting which) const
{
    return settingTruth(text(which));
}

std::optional<qint64> AppSettings::numberOrDefault(Setting which) const
{
    if (const auto n = number(which))
        return n;
    return settingNumber(settingInfo(which).defaultText);
}

std::optional<bool> AppSettings::truthOrDefault(Setting which) const
{
    if (const auto b = truth(which))
        return b;
    return settingTruth(settingInfo(which).defaultText);
}

void AppSettings::setText(Setting which, const QString& text)
{
    queue({which, SettingChange::Op::Set, text});
}

void AppSettings::setNumber(Setting which, qint64 value)
{
    setText(which, QString::number(value));
}

void AppSettings::setTruth(Setting which, bool value)
{
    setText(which, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void AppSettings::remove(Setting which)
{
    queue({which, SettingChange::Op::Remove, {}});
}

void AppSettings::removeIfEquals(Setting which, const QString& expected)
{
    queue({which, SettingChange::Op::RemoveIfEquals, expected});
}

void AppSettings::apply(const std::vector<SettingChange>& changes)
{
    for (const SettingChange& c : changes)
        queue(c);
}

void AppSettings::queue(const SettingChange& change)
{
    QString& value = values_[size_t(change.which)];
    switch (change.op) {
    case SettingChange::Op::Set: value = change.text; break;
    case SettingChange::Op::Remove: value.clear(); break;
    case SettingChange::Op::RemoveIfEquals:
        if (value == change.text)
            value.clear();
        break;
    }
    ++waiting_[size_t(change.which)];
    writer_->enqueue(change);
}

QString AppSettings::readFresh(Setting which)
{
    // A change of ours still waiting would be applied over what we read, and our guess of
    // a conditional removal's outcome may be wrong: let the store settle first. This is
    // rare (a mailbox read soon after we emptied it) and is one small write.
    if (waiting_[size_t(which)] > 0)
        (void)flush();
    RegDocument doc;
    if (!store_.read(&doc))
        return text(which);
    const QString stored = storedText(doc, settingsKeyPath(), which);
    if (stored != text(which)) {
        values_[size_t(which)] = stored;
        emit changedElsewhere({which});
    }
    return stored;
}

FileResult AppSettings::flush()
{
    FileResult r = FileResult::success();
    QMetaObject::invokeMethod(
        writer_, [this] { return writer_->writeNow(); }, Qt::BlockingQueuedConnection, &r);
    return r;
}

void AppSettings::settle(const QList<int>& done, const QString& error)
{
    for (const int i : done)
        --waiting_[size_t(i)];
    if (!error.isEmpty())
        emit writeFailed(error);
}

void AppSettings::takeStored(const QStringList& stored)
{
    if (stored.size() != kSettingCount)
        return;
    QList<Setting> changed;
    for (int i = 0; i < kSettingCount; ++i) {
        if (waiting_[size_t(i)] > 0 || values_[size_t(i)] == stored[i])
            continue;
        values_[size_t(i)] = stored[i];
        changed << Setting(i);
    }
    if (!changed.isEmpty())
        emit changedElsewhere(changed);
}

} // namespace mv::shell
