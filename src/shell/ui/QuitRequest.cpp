#include "shell/ui/QuitRequest.h"

#include "crypto/ui/EncDecProcess.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace mv::shell {

namespace {

// A dialog's own loop ends only once control is back in it; give each a moment between steps.
constexpr int kStepMs = 20;

} // namespace

QuitRequest::QuitRequest(QWidget* window) : QObject(window), window_(window)
{
    next_.setSingleShot(true);
    next_.setInterval(kStepMs);
    connect(&next_, &QTimer::timeout, this, &QuitRequest::step);
}

void QuitRequest::request()
{
    requested_ = true;
    // Every run first, so that no question of theirs is asked while the others close.
    for (crypto::EncDecProcess* run : window_->findChildren<crypto::EncDecProcess*>())
        run->cancelForExit();
    step();
}

void QuitRequest::step()
{
    QWidget* top = QApplication::activeModalWidget();
    if (!top) {
        window_->close();
        return;
    }
    if (!qobject_cast<crypto::EncDecProcess*>(top)) {
        // Closed as its Cancel closes it (the key boxes are wiped on the way); a box without a
        // Cancel closes all the same.
        if (auto* dialog = qobject_cast<QDialog*>(top)) {
            dialog->reject();
            if (dialog->isVisible())
                dialog->done(QDialog::Rejected);
        } else {
            top->close();
        }
    }
    // A run closes its own dialog once its worker is done.
    next_.start();
}

} // namespace mv::shell
