// A home of the test's own for the real program, which runs in processes of its own: folders
// for its settings, its runtime files (private) and its pictures, and an environment that points
// it there. While the home lives, the test's own reads of the settings look in the same folder.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

namespace mv::test {

// Polls `done` until it holds or `ms` have passed; whether it holds.
inline bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

class ProgramHome : public QTemporaryDir {
public:
    ~ProgramHome()
    {
        if (made_)
            qputenv("XDG_CONFIG_HOME", saved_);
    }
    // Makes the folders, `pictures` among them, and the environment on `platform`.
    [[nodiscard]] bool make(const QString& platform, const QString& pictures = QStringLiteral("pics"))
    {
        for (const QString& folder : {QStringLiteral("config"), QStringLiteral("runtime"), pictures})
            if (!isValid() || !QDir(path()).mkpath(folder))
                return false;
        const QString config = filePath(QStringLiteral("config"));
        const QString runtime = filePath(QStringLiteral("runtime"));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.insert(QStringLiteral("HOME"), path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
        made_ = true;
        return true;
    }

    QProcessEnvironment env;

private:
    QByteArray saved_;
    bool made_ = false;
};

} // namespace mv::test
