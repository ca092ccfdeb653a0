// The real program on an X server (xvfb-run), read as a screen reader reads it: over AT-SPI, on
// a session bus of the test's own, whose accessibility bus the desktop's launcher starts.
#include "ProgramHome.h"
#include "shell/PrivateBus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr uint kShowing = 25; // ATSPI_STATE_SHOWING
constexpr uint kSelectable = 22;

// One object of the accessible tree: the bus name of its program and its path there.
struct Node {
    QString service;
    QString path;
};

class AtSpi {
public:
    explicit AtSpi(QDBusConnection bus) : bus_(std::move(bus)) {}

    QDBusMessage call(const Node& n, const QString& interface, const QString& method,
                      const QVariantList& args = {})
    {
        QDBusMessage m = QDBusMessage::createMethodCall(n.service, n.path, interface, method);
        m.setArguments(args);
        return bus_.call(m, QDBus::Block, 10000);
    }
    QList<Node> children(const Node& n)
    {
        QList<Node> out;
        const QDBusMessage r = call(n, u"org.a11y.atspi.Accessible"_s, u"GetChildren"_s);
        if (r.type() != QDBusMessage::ReplyMessage)
            return out;
        const auto arg = r.arguments().value(0).value<QDBusArgument>();
        arg.beginArray();
        while (!arg.atEnd()) {
            QString service;
            QDBusObjectPath path;
            arg.beginStructure();
            arg >> service >> path;
            arg.endStructure();
            out.append({service, path.path()});
        }
        arg.endArray();
        return out;
    }
    QString name(const Node& n)
    {
        const QDBusMessage r = call(n, u"org.freedesktop.DBus.Properties"_s, u"Get"_s,
                                    {u"org.a11y.atspi.Accessible"_s, u"Name"_s});
        return r.arguments().value(0).value<QDBusVariant>().variant().toString();
    }
    QString role(const Node& n)
    {
        return call(n, u"org.a11y.atspi.Accessible"_s, u"GetRoleName"_s).arguments().value(0).toString();
    }
    bool has(const Node& n, uint state)
    {
        const QDBusMessage r = call(n, u"org.a11y.atspi.Accessible"_s, u"GetState"_s);
        const auto words = qdbus_cast<QList<uint>>(r.arguments().value(0));
        return words.size() == 2 && (words[int(state / 32)] & (1u << (state % 32)));
    }
    // Runs the action called `action` ("Press" ...); false when it has none.
    bool act(const Node& n, const QString& action)
    {
        const QDBusMessage r = call(n, u"org.a11y.atspi.Action"_s, u"GetActions"_s);
        const auto arg = r.arguments().value(0).value<QDBusArgument>();
        int index = -1;
        arg.beginArray();
        for (int i = 0; !arg.atEnd(); ++i) {
            QString actionName, description, keys;
            arg.beginStructure();
            arg >> actionName >> description >> keys;
            arg.endStructure();
            if (actionName.compare(action, Qt::CaseInsensitive) == 0 && index < 0)
                index = i;
        }
        arg.endArray();
        return index >= 0 &&
               call(n, u"org.a11y.atspi.Action"_s, u"DoAction"_s, {index}).arguments().value(0).toBool();
    }
    // One object of the tree as a screen reader reads it.
    struct Seen {
        Node node;
        QString role, name;
        bool showing;
    };
    // Every object under `n`, depth first, going into the children of those on show (and of
    // the menus, which are on show only while open), up to `budget` objects.
    QList<Seen> tree(const Node& n, int budget = 5000)
    {
        QList<Seen> seen;
        QList<Node> next {n};
        while (!next.isEmpty() && seen.size() < budget) {
            const Node at = next.takeFirst();
            seen.append({at, role(at), name(at), has(at, kShowing)});
            const Seen& s = seen.back();
            if (s.showing || s.role == u"menu bar"_s || s.role == u"menu item"_s ||
                s.role == u"popup menu"_s || s.role == u"application"_s)
                next = children(at) + next;
        }
        return seen;
    }

private:
    QDBusConnection bus_;
};

class AtSpiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY") || !QFile::exists(u"/usr/libexec/at-spi-bus-launcher"_s))
            GTEST_SKIP() << "needs an X server (xvfb-run) and at-spi2-core";
        ASSERT_TRUE(home_.make(u"xcb"_s) && bus_.up());
        home_.env.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
        home_.env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus_.address());
        home_.env.remove(u"QT_QPA_PLATFORMTHEME"_s);
        program_.setProcessEnvironment(home_.env);
        program_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(u"a11y"_s);
        if (program_.state() != QProcess::NotRunning) {
            program_.terminate();
            if (!program_.waitForFinished(30000))
                program_.kill();
        }
    }
    // The accessibility bus the desktop's launcher starts on the test's session bus.
    QDBusConnection accessibilityBus()
    {
        QDBusConnection session = bus_.connect(u"session"_s);
        const QDBusMessage r =
            session.call(QDBusMessage::createMethodCall(u"org.a11y.Bus"_s, u"/org/a11y/bus"_s,
                                                        u"org.a11y.Bus"_s, u"GetAddress"_s),
                         QDBus::Block, 20000);
        return QDBusConnection::connectToBus(r.arguments().value(0).toString(), u"a11y"_s);
    }

    mv::test::ProgramHome home_;
    mv::shell::test::PrivateBus bus_;
    QProcess program_;
};

// Every control on show has a name; the picture shown at start is named with its size; "View
// Thumbnails" chosen through the menu item's action shows a list whose items are named after
// the files, in the list's order, and can be selected.
TEST_F(AtSpiTest, EveryShowingControlIsNamedAndTheGridsCellsAreNamedAfterTheirFiles)
{
    const QString pics = home_.filePath(u"pics"_s);
    const QStringList files {u"a.png"_s, u"b.png"_s, u"c.png"_s};
    for (const QString& f : files) {
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(pics + u'/' + f));
    }
    program_.start(QStringLiteral(MIRRAVELNOCK_PATH), {u"/f="_s + pics + u"/b.png"_s});
    ASSERT_TRUE(program_.waitForStarted(10000));

    AtSpi atspi(accessibilityBus());
    const Node root {u"org.a11y.atspi.Registry"_s, u"/org/a11y/atspi/accessible/root"_s};
    // The program is up once its window shows the picture it was started with.
    const auto program = [&] {
        for (const Node& app : atspi.children(root))
            for (const AtSpi::Seen& s : atspi.tree(app))
                if (s.showing && s.role == u"graphic"_s && s.name == u"b.png, 30 by 20 pixels"_s)
                    return app;
        return Node();
    };
    Node app;
    ASSERT_TRUE(mv::test::waitFor([&] { return !(app = program()).path.isEmpty(); }, 60000))
        << "no picture area named after b.png";

    // Roles a user cannot tell one control from another by, without its name, as Qt calls them
    // and as AT-SPI does.
    const QSet<QString> needName {u"button"_s,        u"graphic"_s,   u"push button"_s,  u"check box"_s,
                                  u"radio button"_s,  u"combo box"_s, u"text"_s,         u"entry"_s,
                                  u"password text"_s, u"list"_s,      u"list item"_s,    u"tree"_s,
                                  u"tree item"_s,     u"image"_s,     u"progress bar"_s, u"spin button"_s,
                                  u"page tab"_s,      u"menu item"_s, u"link"_s};
    QStringList unnamed;
    Node viewThumbnails;
    const QList<AtSpi::Seen> seen = atspi.tree(app);
    EXPECT_LT(seen.size(), 5000);
    for (const AtSpi::Seen& s : seen) {
        if (s.role == u"menu item"_s && QString(s.name).remove(u'&') == u"View Thumbnails"_s)
            viewThumbnails = s.node;
        if (s.showing && needName.contains(s.role) && s.name.trimmed().isEmpty())
            unnamed << s.role + u' ' + s.node.path;
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u", "_s).toStdString();

    ASSERT_FALSE(viewThumbnails.path.isEmpty());
    ASSERT_TRUE(atspi.act(viewThumbnails, u"Press"_s));
    QStringList cells;
    bool selectable = true;
    (void)mv::test::waitFor(
        [&] {
            for (const AtSpi::Seen& s : atspi.tree(app)) {
                if (s.role != u"list"_s || s.name != u"Thumbnails"_s)
                    continue;
                cells.clear();
                for (const Node& cell : atspi.children(s.node)) {
                    cells << atspi.name(cell);
                    selectable =
                        selectable && atspi.role(cell) == u"list item"_s && atspi.has(cell, kSelectable);
                }
            }
            return cells.size() >= files.size();
        },
        30000);
    EXPECT_EQ(cells, files);
    EXPECT_TRUE(selectable);
}

} // namespace
