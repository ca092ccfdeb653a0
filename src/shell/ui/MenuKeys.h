// Keeps the menus' shortcut keys answering wherever the keyboard focus is in the main window.
// Two things stand in their way. A text box (the typed type filter, the path line) claims Del,
// Shift+Del and Ctrl+C for its own editing before any shortcut is looked at; here the menus'
// keys come first, so that a key means the same wherever the focus is. And a closing dialog
// hands the keyboard back to the window only where a window manager does so: without one (a
// bare X server, a kiosk) the file list keeps taking arrow keys, but no window is active and no
// shortcut answers, so the window takes the activation back itself when a dialog of this
// program that had it closes.
#pragma once

#include <QObject>

class QMainWindow;
class QKeyEvent;

namespace mv::shell {

class MenuKeys : public QObject {
    Q_OBJECT

public:
    // Watches the windows of the program and the keys of `window`'s widgets; owned by `window`.
    explicit MenuKeys(QMainWindow* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether `key` is the shortcut of an enabled item of the window's menus.
    [[nodiscard]] bool isMenuKey(const QKeyEvent& key) const;
    void takeActivationBack();

    QMainWindow* window_;
};

} // namespace mv::shell
