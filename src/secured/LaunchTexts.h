// What the window tells the user about a program of the Secured Access List.
#pragma once

#include "fileutil/FileResult.h"
#include "secured/OpenFileHolders.h"
#include "secured/RunJournal.h"

#include <QString>

namespace mv::secured {

// "Unable to run application", and on a second line the system's reason.
QString unableToRunText(const fileutil::FileResult& status);
// The same naming the program: "Unable to run application\n/usr/bin/editor: No such file or
// directory".
QString unableToRunText(const QString& program, const fileutil::FileResult& status);

// An entry as the messages name it: its title and its program's file name, "Diary (editor)".
QString programName(const QString& title, const QString& program);

// Which files are left plain and how to encrypt them again: "These files of Diary (editor) are
// left decrypted:", a line per file, and the ways back.
QString leftPlainAdvice(const QString& name, const QStringList& files);

// The heading of the key question for an entry's files: names the entry and its files.
QString entryKeyHeading(const QString& name, const QStringList& files);

// A typed key that does not open `file`, a file of the entry that is still encrypted.
QString wrongEntryKeyText(const QString& file);

// For the information line while a re-lock waits: "Waiting for gedit (4123) to close
// notes.txt; the files are encrypted again once it has." Up to three processes and files are
// named, then "and n more".
QString waitingForHoldersText(const QList<FileHolder>& holders);

// For the first start after runs that left files plain: "These programs of the Secured Access
// List left their files decrypted:", a line per entry that names it, its files and why
// ("Diary (editor): diary.txt, notes.txt. Mirravelnock! ended while the program ran; it still
// runs, and its files are encrypted once it has ended."), "Encrypt them now?"
QString leftPlainText(const QList<LeftJournal>& left);

} // namespace mv::secured
