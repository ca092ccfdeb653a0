#include "crypto/ui/LeftoverQuestion.h"

#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>

namespace mv::crypto {

bool askWipeLeftovers(QWidget* owner, const QString& title, const QStringList& files)
{
    constexpr int kListed = 10;
    QStringList lines;
    for (const QString& f : files.mid(0, kListed))
        lines << QDir::toNativeSeparators(f);
    if (files.size() > kListed)
        lines << QCoreApplication::translate("mv::crypto", "and %n more", nullptr,
                                             int(files.size() - kListed));
    return QMessageBox::question(
               owner, title,
               QCoreApplication::translate("mv::crypto",
                                           "An earlier run was interrupted and left these temporary files, "
                                           "which may hold private data:\n%1\n\nWipe them now?")
                   .arg(lines.join(QLatin1Char('\n'))),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

} // namespace mv::crypto
