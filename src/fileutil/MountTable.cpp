#include "fileutil/MountTable.h"

namespace mv::fileutil {

namespace {

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

// The kernel writes a space, tab, line break or backslash in a name as "\" and three octal digits.
QString unescaped(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            out.append(char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
            continue;
        }
        out.append(field[i]);
    }
    return QString::fromUtf8(out);
}

QStringList options(const QByteArray& field)
{
    return QString::fromUtf8(field).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

bool holds(const QString& mountPoint, const QString& path)
{
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

} // namespace

QList<MountEntry> parseMountInfo(const QByteArray& text)
{
    QList<MountEntry> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        const qsizetype dash = f.indexOf("-", 6);
        if (dash < 0 || dash + 3 >= f.size())
            continue;
        const QList<QByteArray> dev = f[2].split(':');
        bool okMajor = false;
        bool okMinor = false;
        MountEntry e;
        if (dev.size() == 2) {
            e.major = dev[0].toUInt(&okMajor);
            e.minor = dev[1].toUInt(&okMinor);
        }
        if (!okMajor || !okMinor)
            continue;
        e.mountPoint = unescaped(f[4]);
        e.mountOptions = options(f[5]);
        e.fsType = unescaped(f[dash + 1]);
        e.source = unescaped(f[dash + 2]);
        e.superOptions = options(f[dash + 3]);
        mounts << e;
    }
    return mounts;
}

const MountEntry* mountOf(const QList<MountEntry>& mounts, const QString& path, unsigned major,
                          unsigned minor)
{
    const MountEntry* best = nullptr;
    bool bestSameDevice = false;
    for (const MountEntry& e : mounts) {
        if (!holds(e.mountPoint, path))
            continue;
        const bool sameDevice = e.major == major && e.minor == minor;
        if (best) {
            if (bestSameDevice && !sameDevice)
                continue;
            if (bestSameDevice == sameDevice && e.mountPoint.size() < best->mountPoint.size())
                continue;
        }
        best = &e;
        bestSameDevice = sameDevice;
    }
    return best;
}

} // namespace mv::fileutil
