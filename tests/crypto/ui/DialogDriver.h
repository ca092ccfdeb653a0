// Drives the dialogs as a user would: finds their controls by name, types into them, and
// answers the modal dialogs they open from inside their own click handlers.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace mv::crypto::test {

// The control called `name`. Without it no test of the dialog means anything: stop the run.
template <typename T>
T* control(const QWidget* dialog, const char* name)
{
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no control %s", qPrintable(dialog->objectName()), name);
    return found;
}

// Types `text` into the dialog's key box and presses Enter, as the user ends a key.
inline void typeKeyAndEnter(QWidget* dialog, const QString& text)
{
    auto* field = control<QLineEdit>(dialog, "KeyString");
    field->setFocus();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// Every modal window that shows up, other than the ones ignored, is handed to `handler`.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget*)> handler) : handler_(std::move(handler))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(5);
    }

    // How many modal windows were handed over so far.
    [[nodiscard]] int seen() const { return seen_; }

    // Modal windows the test opened itself and will answer itself.
    void ignore(QWidget* w) { ignored_ = w; }

private:
    void poll()
    {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || w == ignored_ || w == last_)
            return;
        last_ = w;
        ++seen_;
        handler_(w);
    }

    std::function<void(QWidget*)> handler_;
    QTimer timer_;
    QPointer<QWidget> ignored_;
    QPointer<QWidget> last_;
    int seen_ = 0;
};

} // namespace mv::crypto::test
