// Every window in German: its texts translated, none cut off, and one mnemonic letter for each
// control; and what a screen reader and the keyboard alone get of every dialog. Run at scale 1
// and at scale 2 (QT_SCALE_FACTOR). With MV_SCREENSHOT_DIR set, each window is also saved there
// as a PNG to look at.
#include "crypto/KeyState.h"
#include "crypto/ui/AskKey.h"
#include "crypto/ui/Confirm.h"
#include "crypto/ui/Decrypt.h"
#include "crypto/ui/EncDecProcess.h"
#include "crypto/ui/Encrypt.h"
#include "fileutil/ui/AssociationDialog.h"
#include "fileutil/ui/DeleteStatus.h"
#include "i18n/Language.h"
#include "secured/QuickListState.h"
#include "secured/ui/AsscKey.h"
#include "secured/ui/EncStat.h"
#include "secured/ui/ProgTitle.h"
#include "secured/ui/SetupQuick.h"
#include "shell/AssociationStore.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/HelpWindow.h"
#include "shell/ui/WindowTestBase.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMutex>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>

#include <string>

namespace mv {
namespace {

// Asks the German catalogue itself for every text the program looks up in a context of its
// own, and keeps those it has no German for: a text filed under another context than the code
// asks in, or missing from the catalogue. Installed last, so asked first; it answers nothing.
class MissedTexts : public QTranslator {
public:
    MissedTexts() { EXPECT_TRUE(german_.load(QStringLiteral(":/i18n/mirravelnock_de.qm"))); }
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char* disambiguation,
                      int n) const override
    {
        if (qstrncmp(context, "mv::", 4) == 0 &&
            german_.translate(context, source, disambiguation, n).isEmpty()) {
            QMutexLocker lock(&mutex_);
            missed_ << QStringLiteral("%1 | %2").arg(QLatin1String(context), QString::fromUtf8(source));
        }
        return {};
    }
    std::string takeMissed() const
    {
        QMutexLocker lock(&mutex_);
        return std::exchange(missed_, {}).values().join(u'\n').toStdString();
    }

private:
    QTranslator german_;
    mutable QMutex mutex_;
    mutable QSet<QString> missed_;
};

MissedTexts& inGerman()
{
    static MissedTexts* missed = [] {
        // As the program starts under LANGUAGE=de.
        qputenv("LANGUAGE", "de");
        EXPECT_TRUE(i18n::installTranslators(*QCoreApplication::instance(), i18n::userLanguage()));
        auto* m = new MissedTexts;
        QCoreApplication::installTranslator(m);
        return m;
    }();
    return *missed;
}

void screenshot(QWidget* window)
{
    const QString dir = qEnvironmentVariable("MV_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        window->grab().save(
            QStringLiteral("%1/%2@%3.png")
                .arg(dir, window->objectName(), QString::number(window->devicePixelRatioF())));
}

// Labels, buttons and boxes show their whole text, inside the window, each with a mnemonic
// letter of its own.
void checkTexts(QWidget* window)
{
    QMap<QChar, QString> letters;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(w);
        auto* button = qobject_cast<QAbstractButton*>(w);
        if ((!label && !button) || !w->isVisibleTo(window))
            continue;
        const QString text = label ? label->text() : button->text();
        if (text.isEmpty())
            continue;
        const std::string what = text.toStdString();
        const bool wraps = label && label->wordWrap();
        EXPECT_GE(w->height(), wraps ? label->heightForWidth(w->width()) : w->sizeHint().height()) << what;
        EXPECT_TRUE(wraps || w->width() >= w->sizeHint().width()) << what;
        EXPECT_TRUE(window->rect().contains(QRect(w->mapTo(window, QPoint(0, 0)), w->size()))) << what;
        if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty()) {
            const QChar letter = key.toString().back().toLower();
            EXPECT_FALSE(letters.contains(letter)) << what << " and " << letters.value(letter).toStdString();
            letters.insert(letter, text);
        }
    }
    // A chosen entry of a list box fits its field (an editable one scrolls a long text away).
    for (const QComboBox* box : window->findChildren<QComboBox*>()) {
        if (!box->isVisibleTo(window) || box->currentText().isEmpty())
            continue;
        const int room = box->isEditable() ? box->lineEdit()->contentsRect().width() - 4
                                           : box->width() - box->iconSize().width();
        EXPECT_LE(box->fontMetrics().horizontalAdvance(box->currentText()), room)
            << box->currentText().toStdString();
    }
    EXPECT_LE(window->width(), window->screen()->availableGeometry().width());
}

// Roles a user cannot tell one control from another by, without its name.
bool needsName(QAccessible::Role role)
{
    static const QSet<QAccessible::Role> named {
        QAccessible::Button,       QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::List,     QAccessible::ListItem,    QAccessible::Tree,
        QAccessible::TreeItem,     QAccessible::Graphic,  QAccessible::ProgressBar, QAccessible::SpinBox,
        QAccessible::PageTab,      QAccessible::MenuItem, QAccessible::Link};
    return named.contains(role);
}

// The showing controls under `iface` that need a name and have none, each as its path.
void collectUnnamed(QAccessibleInterface* iface, const QString& path, QStringList& unnamed)
{
    if (!iface || !iface->isValid() || iface->state().invisible)
        return;
    const QString here = path + u'/' + (iface->object() ? iface->object()->objectName() : QString()) + u':' +
                         QString::number(iface->role(), 16);
    if (needsName(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty())
        unnamed << here;
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), here, unnamed);
}

// The controls of `window` a user works with, which the keyboard must reach.
QList<QWidget*> keyboardControls(QWidget* window)
{
    QList<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w);
        // A combo box's own text box and an item view's editors come with their owner.
        if (control && w->isVisible() && w->isEnabled() && !w->focusProxy() &&
            !qobject_cast<QComboBox*>(w->parentWidget()))
            found << w;
    }
    return found;
}

// What Tab reaches, once round, from where the focus is.
QList<QWidget*> tabRound()
{
    QList<QWidget*> reached;
    for (int i = 0; i < 200; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || reached.contains(focus))
            break;
        reached << focus;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    return reached;
}

// What a screen reader and the keyboard alone get of `window`, active: every control named, the
// boxes a key is typed into password text, every control within the keyboard's reach.
void checkAccessible(QWidget* window, int& keyBoxes)
{
    QStringList unnamed;
    collectUnnamed(QAccessible::queryAccessibleInterface(window), window->objectName(), unnamed);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u' ').toStdString();

    for (QLineEdit* box : window->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^Key")))) {
        ++keyBoxes;
        EXPECT_TRUE(QAccessible::queryAccessibleInterface(box)->state().passwordEdit)
            << box->objectName().toStdString();
    }

    // Tab reaches one button of a group of options, the arrows the others.
    const QList<QWidget*> reached = tabRound();
    const auto optionReached = [&](QWidget* control) {
        const auto* option = qobject_cast<QRadioButton*>(control);
        return option && option->autoExclusive() &&
               std::any_of(reached.begin(), reached.end(), [&](QWidget* w) {
                   return qobject_cast<QRadioButton*>(w) && w->parentWidget() == option->parentWidget();
               });
    };
    for (QWidget* control : keyboardControls(window)) {
        EXPECT_TRUE(reached.contains(control) || optionReached(control))
            << control->metaObject()->className() << " " << control->objectName().toStdString();
    }
}

class GermanWindows : public shell::test::WindowTestBase {};

// Every dialog of the program, each made over state of the test's own; then the main window, its
// menus in German, each with letters of its own.
TEST_F(GermanWindows, EveryWindowShowsEveryTextTranslatedAndUncutNamedAndWithinTheKeyboardsReach)
{
    MissedTexts& missed = inGerman();
    crypto::KeyState keys;
    secured::QuickListState quick;
    shell::AssociationStore associations;
    const std::unique_ptr<QWidget> dialogs[] = {
        std::make_unique<crypto::Encrypt>(keys, crypto::FileListState::SomeSelected),
        std::make_unique<crypto::Decrypt>(keys, crypto::FileListState::SomeSelected),
        std::make_unique<crypto::Confirm>(),
        std::make_unique<crypto::AskKey>(keys),
        std::make_unique<crypto::EncDecProcess>(crypto::EncDecJob {}, nullptr),
        std::make_unique<secured::EncStat>(true, keys, nullptr),
        std::make_unique<secured::AsscKey>(keys, nullptr),
        std::make_unique<secured::SetupQuick>(quick, keys, nullptr),
        std::make_unique<secured::ProgTitle>(QStringLiteral("Editor"), nullptr),
        std::make_unique<fileutil::AssociationDialog>(associations, QStringLiteral("/usr/bin/mirravelnock")),
        std::make_unique<fileutil::DeleteStatus>(true, nullptr),
        std::make_unique<shell::AboutDialog>(),
        std::make_unique<shell::HelpWindow>()};
    int keyBoxes = 0;
    for (const auto& window : dialogs) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        checkTexts(window.get());
        checkAccessible(window.get(), keyBoxes);
        screenshot(window.get());
        window->hide();
    }
    EXPECT_EQ(keyBoxes, 5); // Encrypt's, Confirm's, AskKey's and AsscKey's two

    shell::MainWindow& window = start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions())
        if (menu->isVisible())
            titles << menu->text();
    EXPECT_EQ(titles.join(u'|').toStdString(), "&Datei|&Bearbeiten|B&ild|&Zoom|&Gesicherter Zugriff|&Hilfe");
    checkTexts(&window);
    screenshot(&window);

    EXPECT_GT(window.findChildren<QMenu*>().size(), 8);
    const QStringList clashes = shell::test::mnemonicClashes(window);
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    EXPECT_EQ(missed.takeMissed(), "");
}

} // namespace
} // namespace mv
