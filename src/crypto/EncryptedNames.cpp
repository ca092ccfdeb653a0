#include "crypto/EncryptedNames.h"

#include <QStringList>

namespace mv::crypto {
namespace {

const QString kWithExtension = QStringLiteral(".mv$");
const QString kWithoutExtension = QStringLiteral(".mv%");

// Where the file name starts inside `path`.
qsizetype nameStart(const QString& path)
{
    return path.lastIndexOf(QLatin1Char('/')) + 1;
}

QString suffixOf(const QString& path)
{
    return path.right(4).toLower();
}

bool keepsPatternAsIs(const QString& pattern)
{
    if (pattern.isEmpty())
        return true;
    const QChar last = pattern.back();
    return last == QLatin1Char('*') || last == QLatin1Char('?') || last == QLatin1Char('\\') ||
           last == QLatin1Char('/');
}

} // namespace

QString EncryptedName(const QString& path)
{
    const qsizetype start = nameStart(path);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < start)
        return path + kWithoutExtension;
    QString name = path;
    name[dot] = QLatin1Char('_');
    return name + kWithExtension;
}

QString PlainName(const QString& path)
{
    const QString suffix = suffixOf(path);
    if (suffix != kWithExtension && suffix != kWithoutExtension)
        return path;
    QString plain = path.chopped(4);
    const qsizetype start = nameStart(plain);
    if (start == plain.size())
        return path; // nothing but the suffix: no name to give back
    if (suffix == kWithExtension) {
        const qsizetype underscore = plain.lastIndexOf(QLatin1Char('_'));
        if (underscore >= start)
            plain[underscore] = QLatin1Char('.');
    }
    return plain;
}

QString EncryptedSpec(const QString& spec)
{
    if (spec == QLatin1String("*.*"))
        return spec;
    QStringList patterns = spec.split(QLatin1Char(';'));
    for (QString& pattern : patterns) {
        if (!keepsPatternAsIs(pattern))
            pattern = EncryptedName(pattern);
    }
    QString joined = patterns.join(QLatin1Char(';'));
    while (joined.endsWith(QLatin1Char(';')))
        joined.chop(1);
    return joined;
}

bool HasEncryptedName(const QString& path)
{
    const QString suffix = suffixOf(path);
    return suffix == kWithExtension || suffix == kWithoutExtension;
}

} // namespace mv::crypto
