// The information line shown under a picture: what the user is looking at, in one line.
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace mv::browser {

struct FileFacts {
    bool encrypted = false; // decrypted for viewing
    QString listedName;     // as the file list shows it (the encrypted name when encrypted)
    int width = 0;
    int height = 0;
    int colorDepth = 0;
    // Of the bytes on show: the decrypted ones for an encrypted file. None when only the
    // file's start was read (a first look while travelling through the list).
    std::optional<quint32> checksum;
    qint64 fileSize = 0; // likewise
};

// `ShowFileInfo`'s line: "(Encrypted) photo.jpg : Width = 640 : Height = 480 : Colors = 24
// bits : Checksum = 0012ABCD : File Size = 1,234,567". A size of 0, or a checksum not
// known, shows no digits.
QString fileInfoLine(const FileFacts& facts, const QLocale& locale = QLocale());

} // namespace mv::browser
