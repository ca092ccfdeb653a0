// What an encryption or decryption run will work on, decided before its first file: the
// files in the order they are handled, their sizes for the progress, and what the run met on
// the way that it will not work on. Listing first also keeps the run from meeting the files
// it creates itself.
#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace mv::crypto {

// A file or folder and what happened to it, in plain words.
struct FileNote {
    QString path;
    QString reason;
};

// The files the user chose in the main window.
struct EncDecScope {
    QString folder; // the main window's folder
    QString spec;   // the main window's pattern list; its encrypted forms are added
    // Only the names in `selected` of `folder`; sub-folders are then not walked.
    bool selectedOnly = false;
    QSet<QString> selected; // bare names
    bool includeSubfolders = false;
};

struct PlannedFile {
    QString path;
    quint64 size = 0;
};

struct EncDecPlan {
    // The folder's listed files, then each sub-folder's in the folder list's natural order,
    // depth first, each folder's files before its sub-folders.
    QList<PlannedFile> files;
    quint64 totalBytes = 0;
    // Temporary files of an interrupted earlier run; never worked on as the user's files.
    // Those another live run holds are left out: they are its work in hand.
    QStringList leftovers;
    // Folders that could not be read, links to folders (not followed), names that are not
    // valid text, selected names no longer there.
    QList<FileNote> notes;
    // Folders whose sub-folders lie deeper than the system's path limit: the files below them
    // stay as they are, and that is a failure of the run, not a note.
    QList<FileNote> failures;
    bool stopped = false; // `stop` said so before the listing was complete
};

// Lists the files of `scope`. `stop` is asked between folders.
EncDecPlan planEncDec(const EncDecScope& scope, const std::function<bool()>& stop = {});

} // namespace mv::crypto
