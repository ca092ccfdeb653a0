// A stop signal while a batch runs or waits on one of its questions, sent to this process with
// the handlers the program installs: the batch stops as Cancel's Yes stops it, the questions
// close unanswered, the window closes with its settings written, and every file is whole.
#include "browser/ui/BrowserPane.h"
#include "browser/ui/TypeFilterBox.h"
#include "crypto/MemoryDecrypt.h"
#include "crypto/ui/DialogDriver.h"
#include "shell/AppSettings.h"
#include "shell/EventWait.h"
#include "shell/QuitSignals.h"
#include "shell/Registry.h"
#include "shell/ui/MainMenus.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/StartupSequence.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <map>

using namespace mv;

namespace {

const QString kKey = QStringLiteral("quit test key");

class QuitDuringBatchTest : public ::testing::TestWithParam<int> {
public:
    void SetUp() override
    {
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            add(QLatin1String(name), QByteArray(2'000'000, name[0]));
        window_ = std::make_unique<shell::MainWindow>(*settings_, false);
        QObject::connect(&quit_, &shell::QuitSignals::quitRequested, window_.get(),
                         &shell::MainWindow::requestQuit);
        QSignalSpy loaded(&window_->startup(), &shell::StartupSequence::loaded);
        window_->startup().Form_Load({}, false);
        ASSERT_TRUE(loaded.count() || loaded.wait(10000));
        auto* browser = window_->findChild<browser::BrowserPane*>();
        browser->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(browser->setFolder(pics_.path()));
    }

    void add(const QString& name, const QByteArray& bytes)
    {
        QFile f(pics_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        files_[name] = bytes;
    }
    shell::MainMenus& menus() const { return *window_->findChild<shell::MainMenus*>(); }

    // Runs the menu item, answering its dialogs as a user would, and sends the signal at the
    // window `stopHere` picks; then the main window must be gone within a few seconds.
    void runUntil(QAction* item, const std::function<bool(QWidget*)>& stopHere)
    {
        bool sent = false;
        crypto::test::ModalWatch watch([&](QWidget* w) {
            if (!sent && stopHere(w)) {
                sent = true;
                ::raise(SIGTERM);
                // Should the way out be lost, fail rather than wait for ever on a question.
                QTimer::singleShot(10000, window_.get(), [] {
                    while (QWidget* open = QApplication::activeModalWidget())
                        open->hide();
                });
                return;
            }
            QTimer::singleShot(0, w, [w] {
                if (w->objectName() == QLatin1String("Encrypt") ||
                    w->objectName() == QLatin1String("Confirm"))
                    crypto::test::typeKeyAndEnter(w, kKey);
                else if (w->objectName() == QLatin1String("Decrypt"))
                    crypto::test::control<QPushButton>(w, "BeginBut")->click();
            });
        });
        item->trigger();
        EXPECT_TRUE(!sent || shell::test::runEventsUntil([&] { return !window_->isVisible(); }, 5000));
    }

    // Each file is there whole, plain or encrypted under the test's key, and nothing else is.
    void expectEveryFileWhole()
    {
        EXPECT_EQ(QDir(pics_.path()).entryList(QDir::Files).size(), int(files_.size()));
        for (const auto& [name, bytes] : files_) {
            QFile plain(pics_.filePath(name));
            if (plain.open(QIODevice::ReadOnly)) {
                EXPECT_EQ(plain.readAll(), bytes) << name.toStdString();
                continue;
            }
            const crypto::MemoryDecrypt d =
                crypto::decryptToMemory(pics_.filePath(name.left(1) + QStringLiteral("_txt.mv$")),
                                        {crypto::SecretText::fromText(kKey)}, 1 << 24);
            EXPECT_TRUE(d.kind == crypto::MemoryDecrypt::Opened && d.bytes.view() == bytes)
                << name.toStdString();
        }
    }

    QTemporaryDir pics_;
    std::map<QString, QByteArray> files_;
    std::unique_ptr<shell::AppSettings> settings_ = std::make_unique<shell::AppSettings>();
    shell::QuitSignals quit_;
    std::unique_ptr<shell::MainWindow> window_;
};

bool boxSays(QWidget* w, const char* text)
{
    auto* box = qobject_cast<QMessageBox*>(w);
    return box && box->text().contains(QLatin1String(text));
}

const struct Case {
    const char* when;
    std::function<void(QuitDuringBatchTest&)> arrange; // may run the menus itself
    bool encrypt;
    std::function<bool(QWidget*)> stopHere;
} kCases[] = {
    {"while it runs", {}, true, [](QWidget* w) { return w->inherits("mv::crypto::EncDecProcess"); }},
    {"at the key question",
     [](QuitDuringBatchTest& t) {
         // Encrypted with the key, which is then forgotten: decrypting asks for it.
         t.runUntil(t.menus().MenuEncrypt, [](QWidget*) { return false; });
         t.menus().mnuClearKeys->trigger();
     },
     false, [](QWidget* w) { return w->objectName() == QLatin1String("AskKey"); }},
    {"at Replace or Skip",
     [](QuitDuringBatchTest& t) { t.add(QStringLiteral("b_txt.mv$"), "someone else's"); }, true,
     [](QWidget* w) { return boxSays(w, "already exists"); }},
    {"at the left-over question",
     [](QuitDuringBatchTest& t) { t.add(QStringLiteral("$MV0A1B2C.TMP"), "left"); }, true,
     [](QWidget* w) { return boxSays(w, "interrupted"); }},
    {"at the closing summary",
     [](QuitDuringBatchTest& t) { t.runUntil(t.menus().MenuEncrypt, [](QWidget*) { return false; }); }, true,
     [](QWidget* w) { return boxSays(w, "skiped"); }},
};

} // namespace

// It used to close the window only: the batch went on, and the process then waited for ever on
// a "Cancel the current opperation?" box nobody could see.
TEST_P(QuitDuringBatchTest, EndsTheBatchWithEveryFileWholeAndTheSettingsWritten)
{
    const Case& c = kCases[GetParam()];
    SCOPED_TRACE(c.when);
    if (c.arrange)
        c.arrange(*this);
    runUntil(c.encrypt ? menus().MenuEncrypt : menus().MenuDecrypt, c.stopHere);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    expectEveryFileWhole();
    EXPECT_EQ(shell::GetSetting(QStringLiteral("Settings"), QStringLiteral("Last Dir")), pics_.path());
}

INSTANTIATE_TEST_SUITE_P(EachMoment, QuitDuringBatchTest, ::testing::Range(0, int(std::size(kCases))));
