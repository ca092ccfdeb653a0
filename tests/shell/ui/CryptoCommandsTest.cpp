// Encrypt, Decrypt and Clear Passwords as the menu runs them, over the viewer's parts as the
// window lays them out, with the real dialogs answered as a user would and a real batch: the
// picture on view is selected again under its new name, and only the selected file is touched.
#include "shell/ui/CryptoCommands.h"
#include "crypto/ui/DialogDriver.h"
#include "desktop/ThumbnailTraces.h"
#include "fileutil/TestFiles.h"
#include "viewing/ui/ViewerParts.h"

#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using namespace mv;
using namespace Qt::StringLiterals;

namespace {

const QString kKey = u"test key 1"_s;
const QString kBanner = u"Mirravelnock! version 0"_s;

class CryptoCommandsTest : public ::testing::Test, protected viewing::test::ViewerParts {
protected:
    void SetUp() override
    {
        for (const char* name : {"other.png", "photo.png"})
            writePicture(QLatin1String(name), mvtest::flat(30, 20, Qt::darkGreen));
        photo_ = mvtest::readAll(path(u"photo.png"_s));
        viewer_.bannerText = kBanner;
        viewer_.askKey = [this](const QString&) {
            ++keyQuestions_;
            return false;
        };
        ASSERT_TRUE(open(2));
    }

    QStringList names() const { return list()->names(); }
    QStringList onDisk() const { return QDir(dir_.path()).entryList(QDir::Files, QDir::Name); }

    // Selects name, as a click does, and waits until the viewer shows its picture.
    void view(const QString& name)
    {
        choose(name);
        ASSERT_EQ(viewer_.nameOnView(), name);
    }
    // After a run, the list is read again and `name` selected and shown.
    void expectViewedAgain(const QString& name)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return list()->currentName() == name; }));
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer_.nameOnView() == name; }));
    }

    // Answers the dialogs a run opens, each once (a dialog is active again when the progress
    // dialog over it closes): the key typed into Encrypt and its confirmation, Begin pressed in
    // Decrypt. The answer comes once the watch has returned, so that it sees the dialogs each
    // answer opens. Any other question is refused and noted.
    void answer(QWidget* w)
    {
        if (answered_.contains(w))
            return;
        answered_ << w;
        QTimer::singleShot(0, w, [this, w] {
            const QString name = w->objectName();
            if (name == "Encrypt"_L1 || name == "Confirm"_L1) {
                crypto::test::typeKeyAndEnter(w, kKey);
            } else if (name == "Decrypt"_L1) {
                pointerDuringDecrypt_ = host_.cursor().shape();
                crypto::test::control<QPushButton>(w, "BeginBut")->click();
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                unexpected_ << box->text();
                box->button(QMessageBox::Ok)->click();
            } else if (!w->inherits("mv::crypto::EncDecProcess")) {
                unexpected_ << QLatin1String(w->metaObject()->className());
                QTest::keyClick(w, Qt::Key_Escape);
            }
        });
    }

    QByteArray photo_;
    shell::CryptoCommands commands_ {*browser_, viewer_, keys_, &host_};
    int keyQuestions_ = 0;
    Qt::CursorShape pointerDuringDecrypt_ = Qt::ArrowCursor;
    QStringList unexpected_;
    QList<QPointer<QWidget>> answered_;
    crypto::test::ModalWatch watch_ {[this](QWidget* w) { answer(w); }};
};

} // namespace

TEST_F(CryptoCommandsTest, ThePictureOnViewIsSelectedAgainUnderItsNewNameAfterEachRun)
{
    // The desktop's thumbnails of the encrypted picture go with its plain file; the other's stay.
    const QStringList ofPhoto = mvtest::plantThumbnails(path(u"photo.png"_s));
    const QStringList ofOther = mvtest::plantThumbnails(path(u"other.png"_s));
    view(u"photo.png"_s);
    commands_.MenuEncrypt_Click();
    expectViewedAgain(u"photo_png.mv$"_s);
    EXPECT_EQ(onDisk(), (QStringList {u"other.png"_s, u"photo_png.mv$"_s}));
    EXPECT_EQ(mvtest::stillThere(ofPhoto), QStringList());
    EXPECT_EQ(mvtest::stillThere(ofOther), ofOther);
    EXPECT_EQ(names(), onDisk());

    // The key typed for Encrypt is remembered: Decrypt and the viewer ask for none.
    commands_.MenuDecrypt_Click();
    EXPECT_EQ(pointerDuringDecrypt_, Qt::WaitCursor);
    EXPECT_EQ(host_.cursor().shape(), Qt::ArrowCursor);
    expectViewedAgain(u"photo.png"_s);
    EXPECT_EQ(onDisk(), (QStringList {u"other.png"_s, u"photo.png"_s}));
    EXPECT_EQ(mvtest::readAll(path(u"photo.png"_s)), photo_);
    EXPECT_EQ(keyQuestions_, 0);

    // Nothing on view (cleared after the click): the list is read again and no entry is
    // chosen for the user.
    view(u"other.png"_s);
    viewer_.MenuClear_Click();
    commands_.MenuEncrypt_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return names() == QStringList {u"other_png.mv$"_s, u"photo.png"_s}; }));
    EXPECT_TRUE(list()->currentName().isEmpty());
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_TRUE(unexpected_.isEmpty()) << unexpected_.join(", "_L1).toStdString();

    // Clear Passwords forgets the keys and clears the view.
    view(u"photo.png"_s);
    ASSERT_TRUE(keys_.hasKeys());
    commands_.mnuClearKeys_Click();
    EXPECT_FALSE(keys_.hasKeys());
    EXPECT_FALSE(area_->hasPicture());
    EXPECT_EQ(infoBar_->text(), kBanner);
}
