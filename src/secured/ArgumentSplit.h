// A program's parameters, as the user typed them in the Secured Access List, turned into the
// argument list the program receives. No shell ever sees them: the words are split the way a
// POSIX shell splits them, and nothing is expanded.
#pragma once

#include "fileutil/FileResult.h"

#include <QString>
#include <QStringList>

namespace mv::secured {

struct [[nodiscard]] SplitArguments {
    QStringList arguments;
    fileutil::FileResult status; // step "read the parameters" when a quote is left open
};

// Blanks, tabs and line breaks separate words. Single quotes keep everything up to the next
// single quote; double quotes keep everything, a backslash in them escaping only $ ` " \ and
// a line break; outside quotes a backslash keeps the next character as it is, and a backslash
// before a line break joins the lines. "" and '' make an empty argument. $, *, ~ and the
// like are plain characters.
SplitArguments splitArguments(const QString& params);

} // namespace mv::secured
