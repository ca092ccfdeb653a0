#include "shell/ui/ClearPasswordsKey.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace mv::shell {

ClearPasswordsKey::ClearPasswordsKey(QAction* command, QWidget* home)
    : QObject(home), command_(command), home_(home)
{
    qApp->installEventFilter(this);
}

ClearPasswordsKey::~ClearPasswordsKey()
{
    qApp->removeEventFilter(this);
}

bool ClearPasswordsKey::asksForAKey(const QWidget* window)
{
    // The windows in which a key is typed: the key question, the two halves of a new key and
    // the key of a Secured Access entry.
    static const QStringList kKeyWindows {QStringLiteral("AskKey"), QStringLiteral("Encrypt"),
                                          QStringLiteral("Confirm"), QStringLiteral("AsscKey")};
    return window && kKeyWindows.contains(window->objectName());
}

bool ClearPasswordsKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType() || !command_ ||
        !command_->isEnabled())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (command_->shortcut().matches(QKeySequence(key->keyCombination())) != QKeySequence::ExactMatch)
        return false;
    const QWidget* window = static_cast<QWidget*>(watched)->window();
    // In the command's own window, with nothing modal over it, the command's shortcut runs it.
    if ((window == home_ && !QApplication::activeModalWidget()) || asksForAKey(window) ||
        asksForAKey(QApplication::activeModalWidget()))
        return false;
    command_->trigger();
    event->accept();
    return true;
}

} // namespace mv::shell
