#include "crypto/EncDecTexts.h"

#include "fileutil/NameText.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

namespace mv::crypto {

namespace {

// Enough to see what went wrong; a message box with thousands of lines helps nobody.
constexpr int kListed = 15;

QString listed(const QString& heading, const QList<FileNote>& files)
{
    QStringList lines {heading};
    for (int i = 0; i < files.size() && i < kListed; ++i)
        lines << QCoreApplication::translate("mv::crypto", "%1: %2")
                     .arg(fileutil::printableName(files[i].path), files[i].reason);
    if (files.size() > kListed)
        lines << QCoreApplication::translate("mv::crypto", "... and %n more.", nullptr,
                                             int(files.size()) - kListed);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString passedOverText(const EncDecResult& result, bool encrypt)
{
    if (result.passedOver <= 0)
        return {};
    return encrypt
               ? QCoreApplication::translate("mv::crypto", "%n file(s) already encrypted and were skiped.",
                                             nullptr, result.passedOver)
               : QCoreApplication::translate("mv::crypto", "%n file(s) already decrypted and were skiped.",
                                             nullptr, result.passedOver);
}

QString problemsText(const EncDecResult& result, bool encrypt)
{
    QStringList parts;
    if (!result.failed.isEmpty())
        parts << listed(
            encrypt ? QCoreApplication::translate("mv::crypto", "These files could not be encrypted:")
                    : QCoreApplication::translate("mv::crypto", "These files could not be decrypted:"),
            result.failed);
    if (!result.notes.isEmpty())
        parts << listed(QCoreApplication::translate("mv::crypto", "These were passed over:"), result.notes);
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace mv::crypto
