// What watching costs while the watched programs sit idle: starts three programs through the
// launch helper, watches them as the window does, and reports the processor time this
// process (and each helper) used over the idle stretch. The watch waits on pidfds and
// polls nothing, so the figure should be the event loop's own noise.
//
// Usage: watch_idle_bench [seconds]   (default 10)
#include "secured/ProgramWatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

double cpuSeconds()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// User and system time of another process, from /proc/<pid>/stat, in seconds.
double cpuSecondsOf(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = file.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    // After the name: state is field 3, utime 14 and stime 15 (1-based in proc(5)).
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(::sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    mv::secured::StartOptions options;
    options.helper = QStringLiteral(MV_LAUNCH_HELPER);
    options.scope = mv::secured::ScopeUse::Never;

    std::vector<std::unique_ptr<mv::secured::ProgramWatch>> watches;
    std::vector<pid_t> helpers;
    for (int i = 0; i < 3; ++i) {
        mv::secured::StartOutcome started =
            mv::secured::startProgram(QStringLiteral("/bin/sleep"), QString::number(seconds + 5), options);
        if (!started.status) {
            std::fprintf(stderr, "start: %s\n", started.status.message().c_str());
            return 1;
        }
        helpers.push_back(started.helperPid);
        watches.push_back(std::make_unique<mv::secured::ProgramWatch>(started));
    }
    // Let the start settle, then measure the idle stretch only.
    double before = 0;
    QTimer::singleShot(500, [&] { before = cpuSeconds(); });
    QTimer::singleShot(500 + seconds * 1000, [&] {
        const double used = cpuSeconds() - before;
        std::printf("3 programs watched, idle for %d s\n", seconds);
        std::printf("this process: %.3f ms of processor time (%.4f %% of one core)\n", used * 1000,
                    used * 100 / seconds);
        for (const pid_t helper : helpers)
            std::printf("helper %d: %.3f s in all\n", int(helper), cpuSecondsOf(helper));
        for (const auto& watch : watches)
            if (!watch->isRunning())
                std::printf("a watched program ended early\n");
        app.quit();
    });
    app.exec();
    for (const pid_t helper : helpers)
        ::kill(helper, SIGKILL); // the sleeps end on their own
    return 0;
}
