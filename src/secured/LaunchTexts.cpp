#include "secured/LaunchTexts.h"

#include <QCoreApplication>

namespace mv::secured {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::secured", text);
}

} // namespace

QString unableToRunText(const fileutil::FileResult& status)
{
    const QString text = tr("Unable to run application");
    return status.ok ? text : text + u'\n' + fileutil::reasonText(status);
}

} // namespace mv::secured
