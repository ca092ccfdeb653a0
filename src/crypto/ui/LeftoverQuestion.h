// The question about temporary files an interrupted run left behind, which may hold private
// data: the batch asks it before it starts, and the browser when it lists a folder holding some.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace mv::crypto {

// Lists the files (the first ten, then how many more) and asks whether to wipe them, over
// owner with title; true when the user says Yes. No is the default.
bool askWipeLeftovers(QWidget* owner, const QString& title, const QStringList& files);

} // namespace mv::crypto
