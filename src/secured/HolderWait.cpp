#include "secured/HolderWait.h"

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

void HolderWait::start(int intervalMs)
{
    again_.setInterval(intervalMs);
    look();
}

void HolderWait::look()
{
    looking_.setFuture(QtConcurrent::run([files = files_] { return findHolders(files); }));
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
