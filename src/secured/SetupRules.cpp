#include "secured/SetupRules.h"

#include "crypto/EncryptedNames.h"
#include "crypto/Signature.h"

#include <QRegularExpression>

namespace mv::secured {

QString proposedTitle(const QString& path)
{
    QString title = path.left(path.indexOf(QLatin1Char('.')));
    while (title.contains(QLatin1Char('/')))
        title = title.mid(title.indexOf(QLatin1Char('/')) + 1);
    return title;
}

QString listedName(const QString& chosen)
{
    return crypto::PlainName(chosen);
}

QString shellQuoted(const QString& path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (plain.match(path).hasMatch())
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool stillEncrypted(const QString& listedFile)
{
    return crypto::BeginsWithSignature(listedFile) ||
           crypto::BeginsWithSignature(crypto::EncryptedName(listedFile));
}

} // namespace mv::secured
