#include "shell/ui/MenuKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace mv::shell {

namespace {

bool hasShortcut(const QList<QAction*>& actions, const QKeySequence& key)
{
    for (const QAction* a : actions) {
        if (!a->isEnabled() || !a->isVisible())
            continue;
        if (a->shortcut() == key)
            return true;
        if (a->menu() && hasShortcut(a->menu()->actions(), key))
            return true;
    }
    return false;
}

// Ctrl+Left and Ctrl+Right (with or without Shift) move by words in a text box, which keeps
// them; elsewhere they turn the picture.
bool wordKeyInTextBox(const QWidget* widget, const QKeyEvent& key)
{
    const Qt::KeyboardModifiers held = key.modifiers() & ~Qt::ShiftModifier;
    return qobject_cast<const QLineEdit*>(widget) && held == Qt::ControlModifier &&
           (key.key() == Qt::Key_Left || key.key() == Qt::Key_Right);
}

} // namespace

MenuKeys::MenuKeys(QMainWindow* window) : QObject(window), window_(window)
{
    qApp->installEventFilter(this);
}

bool MenuKeys::isMenuKey(const QKeyEvent& key) const
{
    return hasShortcut(window_->menuBar()->actions(), QKeySequence(key.keyCombination()));
}

bool MenuKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // A widget that accepts the override keeps the key from the shortcuts; one that never
        // sees it leaves the event unaccepted, and the menu item takes the key.
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget->window() == window_ && isMenuKey(*key) && !wordKeyInTextBox(widget, *key)) {
            event->ignore();
            return true;
        }
    } else if (event->type() == QEvent::Hide) {
        // A window of the program (a dialog, the manual) goes while the program has the
        // keyboard; when it goes to another program, that is the user's choice and stays so.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && widget != window_ && widget->windowType() != Qt::Popup &&
            widget->windowType() != Qt::ToolTip &&
            QGuiApplication::applicationState() == Qt::ApplicationActive)
            QTimer::singleShot(0, this, &MenuKeys::takeActivationBack);
    }
    return QObject::eventFilter(watched, event);
}

void MenuKeys::takeActivationBack()
{
    // The closed window may count as active until its going is processed; any other keeps it.
    const QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible())
        return;
    // A dialog still open under the closed one (the progress under a key question) gets it
    // back; else the main window.
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->activateWindow();
    else if (window_->isVisible() && !window_->isMinimized())
        window_->activateWindow();
}

} // namespace mv::shell
