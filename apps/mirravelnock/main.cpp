// The program: reads its command line, hands a named file to a copy that is already running
// (and ends), or opens the main window as the first copy or as a second instance.
#include "StartupTrace.h"
#include "browser/ui/FileListView.h"
#include "desktop/DocumentType.h"
#include "i18n/Language.h"
#include "shell/AppSettings.h"
#include "shell/CommandLine.h"
#include "shell/HandOver.h"
#include "shell/InstanceChannel.h"
#include "shell/ProcessGuard.h"
#include "shell/QuitSignals.h"
#include "shell/RuntimeDir.h"
#include "shell/WaylandActivation.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/StartupSequence.h"
#include "widgets/ProgramIcon.h"

#include <QApplication>
#include <QMessageBox>
#include <QThreadPool>

#include <cstdio>
#include <cstdlib>

using namespace mv::shell;

namespace {

constexpr std::chrono::seconds kHandOverTimeout {4};
constexpr std::chrono::seconds kTokenTimeout {1};

bool haveDisplay()
{
    for (const char* var : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* v = std::getenv(var);
        if (v && *v)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (const mv::fileutil::FileResult guard = lockDownProcess(); !guard.ok)
        std::fprintf(stderr, "mirravelnock: keys may reach a core file: %s\n", guard.message().c_str());
    if (!haveDisplay()) {
        std::fputs("mirravelnock: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset)\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // Before any text is made: every window speaks the user's language from its first line.
    mv::i18n::installTranslators(app, mv::i18n::userLanguage());
    // Qt has taken out its own options ("-platform offscreen"); the rest are ours, as raw bytes.
    const CommandLine cmd = parseCommandLine(argc, argv);
    QApplication::setApplicationName(QStringLiteral("mirravelnock"));
    QApplication::setApplicationDisplayName(QObject::tr("Mirravelnock!"));
    QApplication::setWindowIcon(mv::widgets::programIcon());
    // Wayland finds the icon through the desktop entry of this name.
    QApplication::setDesktopFileName(QStringLiteral("mirravelnock"));
    if (!cmd.problem.isEmpty())
        std::fprintf(stderr, "mirravelnock: %s\n", qPrintable(cmd.problem));

    QString dir;
    const mv::fileutil::FileResult where = runtimeDir(&dir);
    InstanceChannel channel(where.ok ? dir : QString());
    const InstanceChannel::Role role = channel.claim();
    if (role == InstanceChannel::Role::Unknown)
        std::fprintf(stderr, "%s\n",
                     qPrintable(QObject::tr("mirravelnock: can't tell whether another copy runs: %1")
                                    .arg(mv::fileutil::resultText(channel.error()))));

    // The desktop learns (again) that encrypted files open here. The first copy does it, on a
    // worker, so the window's first paint never waits for the desktop's cache tools; the pool
    // is waited for when the application ends.
    if (role != InstanceChannel::Role::Later)
        QThreadPool::globalInstance()->start([exe = QCoreApplication::applicationFilePath()] {
            (void)mv::desktop::RegisterDocumentType(exe);
        });

    AppSettings settings;
    const QString startupFile = cmd.startupFile.isEmpty() ? QString() : completeStartupFile(cmd.startupFile);
    if (!startupFile.isEmpty()) {
        if (role == InstanceChannel::Role::Later) {
            // The running copy's window may only come forward on this start's behalf.
            const QByteArray token = startupActivationToken(kTokenTimeout);
            if (!handStartupFileOver(settings, channel, startupFile, kHandOverTimeout, token))
                QMessageBox::information(nullptr, QObject::tr("Mirravelnock!"),
                                         QObject::tr("Can't find Mirravelnock!"));
            return 0;
        }
        settings.setText(Setting::StartupImage, startupFile);
    }

    MainWindow window(settings, role == InstanceChannel::Role::Later);
    StartupSequence& startup = window.startup();
    QObject::connect(&channel, &InstanceChannel::handOverReceived, &startup,
                     [&window, &startup](const QByteArray& token) {
                         const bool onScreen = window.isVisible();
                         startup.ShowStartupImage();
                         if (window.isVisible())
                             (void)activateWithToken(window.windowHandle(), token,
                                                     onScreen ? ActivateWhen::Now : ActivateWhen::Exposed);
                     });
    QuitSignals quit;
    QObject::connect(&quit, &QuitSignals::quitRequested, &window, &MainWindow::requestStop);
    if (qEnvironmentVariableIsSet("MV_TRACE_STARTUP")) {
        // A benchmark aid: it only watches the file list's paints, so it finds the list among the
        // window's children.
        auto* trace = new StartupTrace(&window, window.findChild<mv::browser::FileListView*>());
        QObject::connect(&startup, &StartupSequence::loaded, trace, [trace] { trace->listFilled(); });
    }
    startup.Form_Load(startupFile, cmd.minimized);
    const int status = app.exec();
    return status != 0 ? status : (window.workLeftUndone() ? 1 : 0);
}
