// The user's desktop folders and settings store, emptied before each association test, and
// the desktop's own tools asked what they read from them.
#pragma once

#include "desktop/DesktopFolders.h"
#include "fileutil/TestFiles.h"
#include "shell/Registry.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace mvtest {

class AssociationFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(mv::desktop::mimeAppsListPath());
        QDir(mv::desktop::mimeAppsListPath()).removeRecursively();
        QFile::remove(mv::shell::hiveFilePath(mv::shell::HKEY_CLASSES_ROOT));
        QDir(mv::desktop::userApplicationsDir()).removeRecursively();
        QDir(mv::desktop::userMimeDir()).removeRecursively();
        QDir().mkpath(mv::desktop::xdgConfigHome());
    }

    // The output of a desktop tool, trimmed; empty when it is not installed.
    static QString ask(const QString& tool, const QStringList& args)
    {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            return {};
        QProcess p;
        p.start(program, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    static bool have(const QString& tool) { return !QStandardPaths::findExecutable(tool).isEmpty(); }
};

} // namespace mvtest
