// "Clear Passwords"' key over every window of the program, not only the main window: a help
// window, a message or a progress dialog in front of it does not keep the keys from being
// forgotten. A window that asks for a key is the exception: there the key is the question's.
#pragma once

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

namespace mv::shell {

class ClearPasswordsKey : public QObject {
    Q_OBJECT

public:
    // Watches the whole application for `command`'s key; in `home`, the window whose menu
    // holds the command, its own shortcut runs it.
    ClearPasswordsKey(QAction* command, QWidget* home);
    ~ClearPasswordsKey() override;

    // Whether `window` asks for a key (its own, typed into it).
    [[nodiscard]] static bool asksForAKey(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QAction> command_; // the window's menus may go first when it closes
    QWidget* home_;
};

} // namespace mv::shell
