// For bench/startup_compare.sh: with MV_TRACE_STARTUP set, prints to stderr the wall-clock
// times (nanoseconds since the epoch) at which the window was first painted and at which the
// file list was first painted with the folder's files in it.
#pragma once

#include <QObject>

class QWidget;

class StartupTrace : public QObject {
public:
    StartupTrace(QWidget* window, QWidget* fileList);
    // The list has been filled; its next paint shows the files.
    void listFilled() { filled_ = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QWidget* fileList_;
    bool painted_ = false;
    bool filled_ = false;
    bool listed_ = false;
};
