// A stop signal while a batch runs or waits on one of its questions, sent to this process with
// the handlers the program installs: the batch stops as Cancel's Yes stops it, the questions
// close unanswered, the window closes with its settings written, and every file is whole.
#include "WindowTestBase.h"
#include "crypto/MemoryDecrypt.h"
#include "crypto/ui/DialogDriver.h"
#include "fileutil/TestFiles.h"
#include "shell/Registry.h"

#include <QAction>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

#include <csignal>
#include <map>

using namespace Qt::StringLiterals;
using namespace mv;

namespace {

const QString kKey = u"quit test key"_s;

class QuitDuringBatchTest : public shell::test::WindowTestBase, public ::testing::WithParamInterface<int> {
public:
    void SetUp() override
    {
        shell::test::WindowTestBase::SetUp();
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            add(QLatin1String(name), QByteArray(2'000'000, name[0]));
        start();
        quitOnSignal();
        ASSERT_TRUE(listAll());
    }
    using shell::test::WindowTestBase::menus; // for the cases' arrangements

    void add(const QString& name, const QByteArray& bytes)
    {
        ASSERT_TRUE(mvtest::writeAll(pics_.filePath(name), bytes));
        files_[name] = bytes;
    }

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
                if (w->objectName() == "Encrypt"_L1 || w->objectName() == "Confirm"_L1)
                    crypto::test::typeKeyAndEnter(w, kKey);
                else if (w->objectName() == "Decrypt"_L1)
                    crypto::test::control<QPushButton>(w, "BeginBut")->click();
            });
        });
        item->trigger();
        EXPECT_TRUE(!sent || until([&] { return !window_->isVisible(); }, 5000));
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
            const crypto::MemoryDecrypt d = crypto::decryptToMemory(
                pics_.filePath(name.left(1) + u"_txt.mv$"_s), {crypto::SecretText::fromText(kKey)}, 1 << 24);
            EXPECT_TRUE(d.kind == crypto::MemoryDecrypt::Opened && d.bytes.view() == bytes)
                << name.toStdString();
        }
    }

    std::map<QString, QByteArray> files_;
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
     false, [](QWidget* w) { return w->objectName() == "AskKey"_L1; }},
    {"at Replace or Skip", [](QuitDuringBatchTest& t) { t.add(u"b_txt.mv$"_s, "someone else's"); }, true,
     [](QWidget* w) { return boxSays(w, "already exists"); }},
    {"at the left-over question", [](QuitDuringBatchTest& t) { t.add(u"$MV0A1B2C.TMP"_s, "left"); }, true,
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
    EXPECT_EQ(shell::GetSetting(u"Settings"_s, u"Last Dir"_s), pics_.path());
}

INSTANTIATE_TEST_SUITE_P(EachMoment, QuitDuringBatchTest, ::testing::Range(0, int(std::size(kCases))));
