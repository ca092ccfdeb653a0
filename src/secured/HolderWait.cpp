#include "secured/HolderWait.h"

#include "secured/ChildReaper.h"

#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>

namespace mv::secured {

HolderWait::HolderWait(const QStringList& files, QObject* parent) : QObject(parent), files_(files)
{
    again_.setSingleShot(true);
    connect(&again_, &QTimer::timeout, this, &HolderWait::look);
    connect(&looking_, &QFutureWatcher<QList<FileHolder>>::finished, this, &HolderWait::onLooked);
}

HolderWait::~HolderWait()
{
    looking_.waitForFinished();
}

void HolderWait::whileLaunchRuns(pid_t helperPid, quint64 helperStarted, const QString& program,
                                 pid_t programPid)
{
    helperPid_ = helperPid;
    helperStarted_ = helperStarted;
    program_ = program;
    programPid_ = programPid;
}

void HolderWait::start(int intervalMs)
{
    again_.setInterval(intervalMs);
    look();
}

void HolderWait::look()
{
    looking_.setFuture(QtConcurrent::run([files = files_, helper = helperPid_, started = helperStarted_,
                                          program = program_, programPid = programPid_] {
        QList<FileHolder> holders = findHolders(files);
        if (helper > 0 && processRuns(helper, started)) {
            // The program itself while it is still the helper's child; else whatever it left
            // under the helper, which the helper's number stands for.
            pid_t parent = -1;
            char state = 0;
            const pid_t shown =
                programPid > 0 && readProcessStat(programPid, parent, state) && parent == helper ? programPid
                                                                                                 : helper;
            for (const QString& file : files) {
                if (QFileInfo::exists(file))
                    holders.append({shown, program, file});
            }
        }
        return holders;
    }));
}

void HolderWait::onLooked()
{
    const QList<FileHolder> holders = looking_.result();
    if (holders.isEmpty()) {
        emit released();
        return;
    }
    emit waiting(holders);
    again_.start();
}

} // namespace mv::secured
