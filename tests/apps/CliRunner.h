// Runs the built mvcrypt in a folder of its own, without a controlling terminal, and keeps
// what it printed.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun runMvcrypt(const QStringList& args, const QString& workingDir);
// The same with arguments passed as raw bytes, for names that are not valid text.
CliRun runMvcryptRaw(const QList<QByteArray>& args, const QString& workingDir);

QByteArray readAll(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray randomBytes(int size, unsigned seed);
// Every entry of a folder, hidden ones included, sorted.
QStringList entriesOf(const QString& folder);
