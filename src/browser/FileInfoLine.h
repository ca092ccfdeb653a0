// The information line shown under a picture: what the user is looking at, in one line.
#pragma once

#include <QLocale>
#include <QString>

namespace mv::browser {

struct FileFacts {
    bool encrypted = false; // decrypted for viewing
    QString listedName;     // as the file list shows it (the encrypted name when encrypted)
    int width = 0;
    int height = 0;
    int colorDepth = 0;
    quint32 checksum = 0; // of the bytes on show: the decrypted ones for an encrypted file
    qint64 fileSize = 0;  // likewise
};

// `ShowFileInfo`'s line: "(Encrypted) photo.jpg : Width = 640 : Height = 480 : Colors = 24
// bits : Checksum = 0012ABCD : File Size = 1,234,567". A size of 0 shows no digits.
QString fileInfoLine(const FileFacts& facts, const QLocale& locale = QLocale());

} // namespace mv::browser
