// A stop signal while a batch runs or waits on one of its questions, sent to this process with
// the handlers the program installs: the batch stops as Cancel's Yes stops it, the questions
// close unanswered, the window closes with its settings written, and every file is whole.
#include "browser/ui/BrowserPane.h"
#include "browser/ui/FileListView.h"
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
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>

using namespace mv;

namespace {

const QString kKey = QStringLiteral("quit test key");

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString boxText(QWidget* w)
{
    auto* box = qobject_cast<QMessageBox*>(w);
    return box ? box->text() : QString();
}

class QuitDuringBatchTest : public ::testing::TestWithParam<int> {
public:
    void SetUp() override
    {
        ASSERT_TRUE(config_.isValid() && pics_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            const QByteArray bytes(2'000'000, name[0]);
            ASSERT_TRUE(writeFile(pics_.filePath(QLatin1String(name)), bytes));
            files_[QLatin1String(name)] = bytes;
        }
        settings_ = std::make_unique<shell::AppSettings>();
        window_ = std::make_unique<shell::MainWindow>(*settings_, false);
        QObject::connect(&quit_, &shell::QuitSignals::quitRequested, window_.get(),
                         &shell::MainWindow::requestQuit);
        QSignalSpy loaded(&window_->startup(), &shell::StartupSequence::loaded);
        window_->startup().Form_Load({}, false);
        ASSERT_TRUE(loaded.count() || loaded.wait(10000));
        browser()->fileSpec()->chooseEntry(0); // "All Files (*.*)"
        ASSERT_TRUE(browser()->setFolder(pics_.path()));
        ASSERT_TRUE(shell::test::runEventsUntil([&] { return browser()->fileList()->names().size() == 3; }));
    }
    void TearDown() override
    {
        window_.reset();
        settings_.reset();
        qputenv("XDG_CONFIG_HOME", saved_);
    }

    browser::BrowserPane* browser() const { return window_->findChild<browser::BrowserPane*>(); }
    shell::MainMenus& menus() const { return *window_->findChild<shell::MainMenus*>(); }

    // Runs the menu item, answering its dialogs as a user would, until `stopHere` picks the
    // window at which the signal is sent.
    void runUntil(QAction* item, const std::function<bool(QWidget*)>& stopHere)
    {
        bool sent = false;
        crypto::test::ModalWatch watch([&](QWidget* w) {
            if (!sent && stopHere(w)) {
                sent = true;
                sinceSignal_.start();
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
        if (!sent)
            return;
        EXPECT_TRUE(shell::test::runEventsUntil([&] { return !window_->isVisible(); }, 5000));
        stoppedAfterMs_ = sinceSignal_.elapsed();
    }

    // Each file is there whole, plain or encrypted under the test's key, and nothing else is.
    void expectEveryFileWhole()
    {
        const QStringList left = QDir(pics_.path()).entryList(QDir::Files);
        EXPECT_EQ(left.size(), int(files_.size())) << left.join(QLatin1Char(' ')).toStdString();
        for (const auto& [name, bytes] : files_) {
            const QString plain = pics_.filePath(name);
            const QString encrypted = pics_.filePath(name.left(1) + QStringLiteral("_txt.mv$"));
            if (QFile::exists(plain)) {
                EXPECT_EQ(readFile(plain), bytes) << name.toStdString();
                continue;
            }
            const crypto::MemoryDecrypt d =
                crypto::decryptToMemory(encrypted, {crypto::SecretText::fromText(kKey)}, 1 << 24);
            EXPECT_EQ(d.kind, crypto::MemoryDecrypt::Opened) << name.toStdString();
            EXPECT_TRUE(d.bytes.view() == bytes) << name.toStdString();
        }
    }

    QTemporaryDir config_;
    QTemporaryDir pics_;
    QByteArray saved_;
    std::map<QString, QByteArray> files_;
    std::unique_ptr<shell::AppSettings> settings_;
    shell::QuitSignals quit_;
    std::unique_ptr<shell::MainWindow> window_;
    QElapsedTimer sinceSignal_;
    qint64 stoppedAfterMs_ = -1;
};

struct Case {
    const char* when;
    // Makes the folder ready; may run the menus itself.
    std::function<void(QuitDuringBatchTest&)> arrange;
    bool encrypt;
    // The window at which the signal is sent.
    std::function<bool(QWidget*)> stopHere;
};

const Case kCases[] = {
    {"while it runs", {}, true, [](QWidget* w) { return w->inherits("mv::crypto::EncDecProcess"); }},
    {"at the key question",
     [](QuitDuringBatchTest& t) {
         // Encrypted with the key, which is then forgotten: decrypting asks for it.
         t.runUntil(t.menus().MenuEncrypt, [](QWidget*) { return false; });
         t.menus().mnuClearKeys->trigger();
     },
     false, [](QWidget* w) { return w->objectName() == QLatin1String("AskKey"); }},
    {"at Replace or Skip",
     [](QuitDuringBatchTest& t) {
         ASSERT_TRUE(writeFile(t.pics_.filePath(QStringLiteral("b_txt.mv$")), "someone else's"));
         t.files_[QStringLiteral("b_txt.mv$")] = "someone else's";
     },
     true, [](QWidget* w) { return boxText(w).contains(QLatin1String("already exists")); }},
    {"at the left-over question",
     [](QuitDuringBatchTest& t) {
         ASSERT_TRUE(writeFile(t.pics_.filePath(QStringLiteral("$MV0A1B2C.TMP")), "left over"));
         t.files_[QStringLiteral("$MV0A1B2C.TMP")] = "left over";
     },
     true, [](QWidget* w) { return boxText(w).contains(QLatin1String("interrupted")); }},
    {"at the closing summary",
     [](QuitDuringBatchTest& t) { t.runUntil(t.menus().MenuEncrypt, [](QWidget*) { return false; }); }, true,
     [](QWidget* w) { return boxText(w).contains(QLatin1String("skiped")); }},
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
    EXPECT_GE(stoppedAfterMs_, 0);
    EXPECT_LT(stoppedAfterMs_, 5000);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    expectEveryFileWhole();
    EXPECT_EQ(shell::GetSetting(QStringLiteral("Settings"), QStringLiteral("Last Dir")), pics_.path());
}

INSTANTIATE_TEST_SUITE_P(EachMoment, QuitDuringBatchTest, ::testing::Range(0, int(std::size(kCases))));
