#include "secured/RunJournal.h"

#include "desktop/ConfigDir.h"
#include "fileio/DurableOutput.h"
#include "fileio/FdIo.h"
#include "fileutil/Wipe.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>

namespace mv::secured {

namespace {

const QString kSuffix = QStringLiteral(".journal");

QString pathOf(const QString& folder, int entry)
{
    return folder + QStringLiteral("/entry-%1").arg(entry) + kSuffix;
}

bool parse(const QByteArray& bytes, JournalRecord& record)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    if (!object.value(QStringLiteral("entry")).isDouble() || !object.value(QStringLiteral("files")).isArray())
        return false;
    record.entry = object.value(QStringLiteral("entry")).toInt();
    record.title = object.value(QStringLiteral("title")).toString();
    record.program = object.value(QStringLiteral("program")).toString();
    const QString state = object.value(QStringLiteral("state")).toString();
    if (state == QLatin1String("relock failed"))
        record.state = JournalRecord::State::RelockFailed;
    else if (state == QLatin1String("left plain"))
        record.state = JournalRecord::State::LeftPlain;
    record.helperPid = pid_t(object.value(QStringLiteral("helper")).toInteger(-1));
    record.helperStarted = quint64(object.value(QStringLiteral("helperStarted")).toInteger(0));
    record.programPid = pid_t(object.value(QStringLiteral("programPid")).toInteger(-1));
    for (const QJsonValue& file : object.value(QStringLiteral("files")).toArray())
        record.files << file.toString();
    return true;
}

} // namespace

QString journalFolder()
{
    return desktop::runJournalDir();
}

fileutil::FileResult writeJournal(const QString& folder, const JournalRecord& record)
{
    fileutil::FileResult r = desktop::makePrivateDirs(folder);
    if (!r)
        return r;
    const char* state = "running";
    if (record.state == JournalRecord::State::RelockFailed)
        state = "relock failed";
    else if (record.state == JournalRecord::State::LeftPlain)
        state = "left plain";
    const QJsonObject object {{QStringLiteral("entry"), record.entry},
                              {QStringLiteral("title"), record.title},
                              {QStringLiteral("files"), QJsonArray::fromStringList(record.files)},
                              {QStringLiteral("program"), record.program},
                              {QStringLiteral("state"), QString::fromLatin1(state)},
                              {QStringLiteral("helper"), qint64(record.helperPid)},
                              {QStringLiteral("helperStarted"), qint64(record.helperStarted)},
                              {QStringLiteral("programPid"), qint64(record.programPid)}};
    const QByteArray bytes = QJsonDocument(object).toJson();
    // The old journal of the entry is zeroed once replaced: it names the user's files.
    fileio::DurableOutput out;
    r = out.create(fileutil::nativePath(folder), 0600, /*clearOnDiscard=*/true);
    if (r && !fileio::writeFull(out.fd(), bytes.constData(), std::size_t(bytes.size())))
        r = fileutil::FileResult::failure("write the journal", errno);
    if (r)
        r = out.commit(fileutil::nativePath(pathOf(folder, record.entry)), fileio::Existing::ReplaceAndClear);
    return r;
}

fileutil::FileResult removeJournal(const QString& folder, int entry)
{
    const QString path = pathOf(folder, entry);
    if (!QFileInfo(path).isFile())
        return fileutil::FileResult::success();
    return fileutil::WipeFile(path);
}

QList<LeftJournal> readLeftJournals(const QString& folder)
{
    QList<LeftJournal> left;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("entry-*") + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile file(folder + u'/' + name);
        LeftJournal journal;
        if (!file.open(QIODevice::ReadOnly) || !parse(file.readAll(), journal.record))
            continue;
        file.close();
        for (const QString& path : journal.record.files) {
            if (QFileInfo::exists(path))
                journal.plainFiles << path;
        }
        if (journal.plainFiles.isEmpty())
            (void)fileutil::WipeFile(file.fileName());
        else
            left << journal;
    }
    return left;
}

} // namespace mv::secured
