// Files as drag-and-drop data, in the form file managers exchange them (a list of file URLs,
// text/uri-list): what the file list offers when its selection is dragged out, and which drops
// the picture area takes.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QMimeData;
class QUrl;

namespace mv::browser {

// The URL of a local file, one whose name is not valid text included.
QUrl fileUrl(const QString& path);

// The files `names` of folder, in the order given, as a drag offers them.
std::unique_ptr<QMimeData> fileDragData(const QString& folder, const QStringList& names);

// The file a drop of data on the picture area shows: exactly one local file whose name is a
// picture type. Empty when the drop is refused: several files, no file, a name that is not a
// picture, or an encrypted name (a drop never asks for a key).
QString droppedPicture(const QMimeData& data);

} // namespace mv::browser
