#pragma once

#include "fileio/Status.h"
#include "fileutil/NameText.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QStringList>

namespace mv::fileutil {

// Every file layer reports in one shape; see fileio/Status.h.
using FileResult = fileio::Status;

// A text of the Qt-free layers, which speak English, in the user's language: they are
// translated where they are shown. A text the catalogue does not hold stays as it is.
QString qtFreeText(const std::string& text);

// A result's text for a window or a terminal line.
inline QString resultText(const FileResult& r)
{
    if (r.ok)
        return {};
    QString text =
        QCoreApplication::translate("mv::fileio", "%1: %2").arg(qtFreeText(r.step), qtFreeText(r.reason));
    QStringList notes;
    if (!r.note.empty())
        notes << qtFreeText(r.note);
    if (!r.leftover.empty())
        notes << QCoreApplication::translate("mv::fileio", "left behind: %1")
                     .arg(QFile::decodeName(r.leftover.c_str()));
    if (!notes.isEmpty())
        text += QStringLiteral(" (%1)").arg(notes.join(QStringLiteral("; ")));
    return text;
}

// A failure told in the Qt layers' own words, translated where they are made.
inline FileResult failureOf(const QString& step, const QString& reason, int error = 0)
{
    FileResult r = FileResult::failure(step.toStdString(), reason.toStdString());
    r.error = error;
    return r;
}

// The reason alone, for a window or a terminal line that names the step in its own words.
inline QString reasonText(const FileResult& r)
{
    return qtFreeText(r.reason);
}

// Paths cross into the Qt-free layers as the bytes the file system uses.
inline std::string nativePath(const QString& path)
{
    return nativeName(path).toStdString();
}

} // namespace mv::fileutil
