// The settings in memory: typed reading, writes coalesced on the worker, removals in order,
// and values another copy of the program writes; how a stored "Spec" and a stored window
// geometry read back, and the maker's values.
#include "ConfigFixture.h"
#include "EventWait.h"

#include "shell/AppSettings.h"
#include "shell/MakerDefaults.h"
#include "shell/ScreenFit.h"
#include "shell/WindowSettings.h"

#include <chrono>

namespace mv::shell {
namespace {

using namespace std::chrono_literals;
using AppSettingsTest = test::ConfigFixture;
using test::kSettings;
using test::runEventsUntil;

// Only flush() writes: what reaches the store can't depend on how fast this machine is.
constexpr SettingsTiming kOnlyOnFlush {1h, 1h};

TEST_F(AppSettingsTest, GarbageAndOtherKindsReadAsAbsentAndReadsNeverTouchTheDisk)
{
    writeStore("Mirravelnock settings 1\n"
               "[Software\\Braxmoor Laboratories\\Mirravelnock!\\Settings]\n"
               "\"Zoom\"=\"4x\"\n"
               "\"AutoHide\"=\"yes\"\n"
               "\"fancyupsampling\"=\"true\"\n"
               "\"TwoPassQuantize\"=\"-1\"\n"
               "\"ThumbSize\"=\" 120 \"\n"
               "\"Spec\"=\"\"\n"
               "\"State\"=dword:00000002\n"
               "\"Last Dir\"=\"/home/me/Bilder\"\n");
    AppSettings s(nullptr, kOnlyOnFlush);
    EXPECT_TRUE(s.loadResult().ok);
    // Wipe the store: every reader below must answer from memory.
    ASSERT_TRUE(QFile::remove(userStore()));

    EXPECT_EQ(s.number(Setting::Zoom), std::nullopt);
    EXPECT_EQ(s.numberOrDefault(Setting::Zoom), 4);
    EXPECT_EQ(s.truth(Setting::AutoHide), std::nullopt);
    EXPECT_EQ(s.truthOrDefault(Setting::AutoHide), false);
    EXPECT_EQ(s.truth(Setting::FancyUpsampling), true) << "names match whatever their case";
    EXPECT_EQ(s.truth(Setting::TwoPassQuantize), true) << "the old program wrote -1 for True";
    EXPECT_EQ(s.number(Setting::ThumbSize), 120);
    EXPECT_EQ(s.text(Setting::Spec), QString());
    EXPECT_EQ(s.number(Setting::State), std::nullopt) << "a dword is not a setting";
    EXPECT_EQ(s.numberOrDefault(Setting::State), 0);
    EXPECT_EQ(s.text(Setting::LastDir), "/home/me/Bilder");
    EXPECT_EQ(s.numberOrDefault(Setting::Top), std::nullopt) << "the window's own default applies";
    EXPECT_FALSE(QFileInfo::exists(userStore()));
}

// A burst of changes reaches the store in one write with the last values, in the order they
// came, once they fall quiet; changes that never fall quiet are still written; nothing new to write writes
// nothing.
TEST_F(AppSettingsTest, BurstOfThousandWritesReachesTheStoreInOneWriteAfterQuietOrAtTheLatest)
{
    {
        AppSettings s(nullptr, {3s, 1h});
        for (int i = 0; i < 1000; ++i) {
            s.setNumber(Setting::Top, i);
            s.setText(Setting::LastDir, QStringLiteral("/pics/%1").arg(i));
            if (i % 2)
                s.remove(Setting::Spec);
            else
                s.setText(Setting::Spec, QString::number(i));
        }
        s.setTruth(Setting::SafeDelete, true);
        s.remove(Setting::Zoom);
        s.setText(Setting::Zoom, "5");
        // Memory has them at once; the disk has nothing yet.
        EXPECT_EQ(s.number(Setting::Top), 999);
        EXPECT_EQ(s.text(Setting::Spec), QString());
        EXPECT_EQ(s.truth(Setting::SafeDelete), true);
        EXPECT_FALSE(QFileInfo::exists(userStore()));

        ASSERT_TRUE(runEventsUntil([&] { return s.storeWritesForTesting() > 0; }));
        EXPECT_EQ(s.storeWritesForTesting(), 1);
        EXPECT_EQ(GetSetting(kSettings, "Top"), "999");
        EXPECT_EQ(GetSetting(kSettings, "Last Dir"), "/pics/999");
        EXPECT_FALSE(readAll(userStore()).contains("\"Spec\"")) << "the last change removed it";
        EXPECT_EQ(GetSetting(kSettings, "Zoom"), "5") << "set after its removal";
        EXPECT_EQ(GetSetting(kSettings, "SafeDelete"), "True");

        // Nothing queued, or only what the store already holds: no write at all.
        ASSERT_TRUE(s.flush().ok);
        s.setNumber(Setting::Top, 999);
        ASSERT_TRUE(s.flush().ok);
        EXPECT_EQ(s.storeWritesForTesting(), 1);
    }
    {
        AppSettings s(nullptr, {1h, 200ms});
        int i = 0;
        ASSERT_TRUE(runEventsUntil([&] {
            s.setNumber(Setting::Left, ++i);
            return s.storeWritesForTesting() > 0;
        }));
        EXPECT_FALSE(GetSetting(kSettings, "Left").isEmpty());
    }
}

TEST_F(AppSettingsTest, ValuesAnotherCopyWritesArePickedUpUnlessOursAreWaiting)
{
    AppSettings other(nullptr, kOnlyOnFlush);
    AppSettings ours(nullptr, kOnlyOnFlush);
    QList<Setting> seen;
    QObject::connect(&ours, &AppSettings::changedElsewhere,
                     [&](const QList<Setting>& which) { seen << which; });

    ours.setNumber(Setting::Zoom, 7); // waiting, not yet flushed
    other.setText(Setting::LastDir, "/from/the/other");
    other.setNumber(Setting::Zoom, 1);
    ASSERT_TRUE(other.flush().ok);
    ASSERT_TRUE(runEventsUntil([&] { return seen.contains(Setting::LastDir); }));
    EXPECT_EQ(ours.text(Setting::LastDir), "/from/the/other");
    EXPECT_FALSE(seen.contains(Setting::Zoom));
    EXPECT_EQ(ours.number(Setting::Zoom), 7) << "our waiting write wins";
    ASSERT_TRUE(ours.flush().ok);
    EXPECT_EQ(GetSetting(kSettings, "Zoom"), "7");

    // The mailbox is read from the store at once, before any watch has reported.
    other.setText(Setting::StartupImage, "/x/y z.jpg");
    ASSERT_TRUE(other.flush().ok);
    EXPECT_EQ(ours.readFresh(Setting::StartupImage), "/x/y z.jpg");
    EXPECT_EQ(ours.text(Setting::StartupImage), "/x/y z.jpg");

    // A mailbox we emptied, filled again by the other copy before our removal was written,
    // keeps the new file.
    ours.removeIfEquals(Setting::StartupImage, "/x/y z.jpg");
    other.setText(Setting::StartupImage, "/second.jpg");
    ASSERT_TRUE(other.flush().ok);
    EXPECT_EQ(ours.readFresh(Setting::StartupImage), "/second.jpg");
    ASSERT_TRUE(ours.flush().ok);
    EXPECT_EQ(GetSetting(kSettings, "StartupImage"), "/second.jpg");
}

// How the failure is told is the main window's test (its information line). Of the changes a
// failed write leaves, those that decide the store are written later with the same result as
// the whole batch: a conditional removal keeps the write it depends on and spares another
// file's value.
TEST_F(AppSettingsTest, AFailedWriteIsKeptForTheNextFlush)
{
    for (const char* name : {"StartupImage", "Spec", "hWnd"})
        ASSERT_TRUE(SaveSetting(kSettings, name, "/b"));
    // A file where the settings folder should be: nothing can be written.
    ASSERT_TRUE(QDir().rename(storeDir(), storeDir() + ".away") && writeAll(storeDir(), "in the way"));
    AppSettings s(nullptr, kOnlyOnFlush);
    s.setText(Setting::LastDir, "/kept");
    s.setNumber(Setting::Zoom, 2);
    s.setNumber(Setting::Zoom, 3);
    s.setText(Setting::Hwnd, "9");
    s.removeIfEquals(Setting::Hwnd, "/b");
    s.remove(Setting::Spec);
    s.removeIfEquals(Setting::StartupImage, "/a");
    EXPECT_FALSE(s.flush().ok);
    EXPECT_EQ(s.text(Setting::LastDir), "/kept");

    ASSERT_TRUE(QFile::remove(storeDir()) && QDir().rename(storeDir() + ".away", storeDir()));
    ASSERT_TRUE(s.flush().ok);
    EXPECT_EQ(GetSetting(kSettings, "Last Dir"), "/kept");
    EXPECT_EQ(GetSetting(kSettings, "Zoom"), "3");
    EXPECT_EQ(GetSetting(kSettings, "hWnd"), "9");
    EXPECT_EQ(GetSetting(kSettings, "Spec"), "");
    EXPECT_EQ(GetSetting(kSettings, "StartupImage"), "/b") << "it held another file";
}

// A window stored on a screen that is gone, or at another scale, came back where nobody could
// see it: it goes onto the screen it overlaps most, shrunk to it if need be.
TEST(StoredGeometry, AWindowNoScreenShowsWhollyGoesOntoTheScreenItOverlapsMost)
{
    const QList<QRect> two {{0, 0, 800, 600}, {800, 0, 1024, 768}};
    const struct {
        QRect stored, shown;
        QList<QRect> screens;
    } cases[] = {{{100, 100, 400, 300}, {100, 100, 400, 300}, two},
                 {{700, 100, 200, 200}, {700, 100, 200, 200}, two}, // across both: as the user left it
                 {{5000, 5000, 400, 300}, {400, 300, 400, 300}, two},
                 {{1700, 600, 300, 300}, {1524, 468, 300, 300}, two},
                 {{483, 275, 633, 450}, {167, 50, 633, 450}, {{0, 0, 800, 500}}}, // scale 2
                 {{-50, 0, 2000, 2000}, {0, 0, 800, 600}, two.mid(0, 1)}};
    for (const auto& c : cases)
        EXPECT_EQ(fitOnScreens(c.stored, c.screens), c.shown) << c.stored.x() << "," << c.stored.y();
}

TEST(StoredSpec, IsAnEntryIndexOnlyWhenItIsAWholeNumber)
{
    const auto entry = [](const char* text) {
        const StoredSpec s = parseStoredSpec(text);
        return s.kind == StoredSpec::Kind::Entry ? s.entry : -100;
    };
    for (const auto& [text, index] : {std::pair("3", 3), {"  0", 0}, {"0", 0}, {" 24 ", 24}})
        EXPECT_EQ(entry(text), index) << text;
    for (const char* absent : {"", "   "})
        EXPECT_EQ(parseStoredSpec(absent).kind, StoredSpec::Kind::Absent) << absent;
    for (const char* typed : {"*.jpg;*.png", "3*.tga", "-1", "1.5", "99999999999"}) {
        const StoredSpec s = parseStoredSpec(typed);
        EXPECT_EQ(s.kind, StoredSpec::Kind::Patterns) << typed;
        EXPECT_EQ(s.patterns, typed);
    }
}

TEST_F(AppSettingsTest, MakerDefaultsAreWrittenOnlyWhereTheDefaultValueIsMissingOrEmpty)
{
    ASSERT_TRUE(writeMakerDefaults().ok);
    const QString company = GetRegValue(HKEY_CURRENT_USER, kCompanyKey, QString());
    EXPECT_FALSE(company.isEmpty());
    EXPECT_TRUE(GetRegValue(HKEY_CURRENT_USER, kCompanyKey, "TechEmail").contains(u'@'));

    // Present values stay; an empty company default brings its three values back.
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kProductKey, QString(), REG_SZ, "mine"));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kCompanyKey, QString(), REG_SZ, QString()));
    ASSERT_TRUE(SetRegValue(HKEY_CURRENT_USER, kCompanyKey, "WebSite", REG_SZ, "changed"));
    ASSERT_TRUE(writeMakerDefaults().ok);
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kProductKey, QString()), "mine");
    EXPECT_EQ(GetRegValue(HKEY_CURRENT_USER, kCompanyKey, QString()), company);
    EXPECT_NE(GetRegValue(HKEY_CURRENT_USER, kCompanyKey, "WebSite"), "changed");

    // Nothing missing: the store is not written again.
    const QByteArray before = readAll(userStore());
    const auto inode = lstatOf(userStore()).st_ino;
    ASSERT_TRUE(writeMakerDefaults().ok);
    EXPECT_EQ(readAll(userStore()), before);
    EXPECT_EQ(lstatOf(userStore()).st_ino, inode);
}

} // namespace
} // namespace mv::shell
