// Every window in German: its texts translated, none cut off, and one mnemonic letter for each
// control. Run at scale 1 and at scale 2 (QT_SCALE_FACTOR). With MV_SCREENSHOT_DIR set, each
// window is also saved there as a PNG to look at.
#include "i18n/Language.h"
#include "shell/ui/EveryDialog.h"
#include "shell/ui/WindowTestBase.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMutex>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

#include <map>
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

TEST(GermanWindows, ShowEveryTextTranslatedAndUncut)
{
    MissedTexts& missed = inGerman();
    // The German title of each.
    const std::map<std::string, std::string> titles {
        {"Encrypt", "Mirravelnock! - Verschlüsseln"},
        {"Decrypt", "Mirravelnock! - Entschlüsseln"},
        {"Confirm", "Mirravelnock! - Schlüssel bestätigen"},
        {"AskKey", "Mirravelnock! - Schlüssel eingeben"},
        {"EncDecProcess", "Mirravelnock! - Verschlüsselung/Entschlüsselung"},
        {"EncStat", "Mirravelnock! - Stand der Verschlüsselung"},
        {"AsscKey", "Mirravelnock! - Schlüssel der zugeordneten Dateien"},
        {"SetupQuick", "Mirravelnock! - Liste für gesicherten Zugriff einrichten"},
        {"ProgTitle", "Mirravelnock! - Programmtitel"},
        {"frmAsc", "Mirravelnock! Dateizuordnung"},
        {"frmStatus", "Mirravelnock!"},
        {"AboutDialog", "Über Mirravelnock!"},
        {"HelpWindow", "Mirravelnock! Hilfe"},
    };
    shell::test::EveryDialog dialogs;
    for (const auto& d : dialogs.all) {
        SCOPED_TRACE(d.name);
        const std::unique_ptr<QWidget> window = d.make();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_EQ(window->windowTitle().toStdString(),
                  titles.count(d.name) ? titles.at(d.name) : "(none known)");
        checkTexts(window.get());
        screenshot(window.get());
    }
    EXPECT_EQ(missed.takeMissed(), "");
}

class GermanMainWindow : public shell::test::WindowTestBase {};

TEST_F(GermanMainWindow, ShowsGermanMenusEachWithDistinctMnemonics)
{
    MissedTexts& missed = inGerman();
    shell::MainWindow& window = start();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions())
        if (menu->isVisible())
            titles << menu->text();
    EXPECT_EQ(titles.join(u'|').toStdString(), "&Datei|&Bearbeiten|B&ild|&Zoom|&Gesicherter Zugriff|&Hilfe");
    checkTexts(&window);
    screenshot(&window);

    // Every menu and submenu: one letter for each item.
    EXPECT_GT(window.findChildren<QMenu*>().size(), 8);
    const QStringList clashes = shell::test::mnemonicClashes(window);
    EXPECT_TRUE(clashes.isEmpty()) << clashes.join(u'\n').toStdString();
    EXPECT_EQ(missed.takeMissed(), "");
}

} // namespace
} // namespace mv
