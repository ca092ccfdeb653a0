// Waits until no process holds a file of the list open, looking again every second (the
// look runs on a worker: it reads every process's descriptors).
#pragma once

#include "secured/OpenFileHolders.h"

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace mv::secured {

class HolderWait : public QObject {
    Q_OBJECT

public:
    explicit HolderWait(const QStringList& files, QObject* parent = nullptr);
    ~HolderWait() override;

    // Looks at once, then every intervalMs while someone holds a file.
    void start(int intervalMs = 1000);

signals:
    // After each look that found holders.
    void waiting(const QList<secured::FileHolder>& holders);
    // Once, after the first look that found none.
    void released();

private:
    void look();
    void onLooked();

    QStringList files_;
    QTimer again_;
    QFutureWatcher<QList<FileHolder>> looking_;
};

} // namespace mv::secured
