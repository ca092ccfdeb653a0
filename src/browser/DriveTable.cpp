#include "browser/DriveTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace mv::browser {
namespace {

const QString kRoot = QStringLiteral("/");

// Kernel and service file systems: nothing a user keeps files on.
bool isSystemType(const QString& type)
{
    static const QSet<QString> types {
        QStringLiteral("proc"),       QStringLiteral("sysfs"),       QStringLiteral("devtmpfs"),
        QStringLiteral("devpts"),     QStringLiteral("cgroup"),      QStringLiteral("cgroup2"),
        QStringLiteral("securityfs"), QStringLiteral("debugfs"),     QStringLiteral("tracefs"),
        QStringLiteral("configfs"),   QStringLiteral("bpf"),         QStringLiteral("pstore"),
        QStringLiteral("efivarfs"),   QStringLiteral("mqueue"),      QStringLiteral("hugetlbfs"),
        QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"), QStringLiteral("fusectl"),
        QStringLiteral("nsfs"),       QStringLiteral("rpc_pipefs"),  QStringLiteral("ramfs"),
        QStringLiteral("squashfs"),   QStringLiteral("selinuxfs"),   QStringLiteral("fuse.gvfsd-fuse"),
        QStringLiteral("fuse.portal")};
    return types.contains(type);
}

bool isBelow(const QString& path, const QString& folder)
{
    if (folder == kRoot)
        return path.startsWith(kRoot);
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

bool isMediaMount(const QString& mountPoint)
{
    for (const char* root : {"/media/", "/run/media/", "/mnt/"}) {
        if (mountPoint.startsWith(QLatin1String(root)) && mountPoint.size() > qsizetype(std::strlen(root)))
            return true;
    }
    return false;
}

// The mount table writes space, tab, newline and backslash as "\" and three octal digits.
QString unescapeOctal(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        bool ok = false;
        const int value = field[i] == '\\' && i + 3 < field.size() ? field.mid(i + 1, 3).toInt(&ok, 8) : 0;
        if (ok && value < 256) {
            out.append(char(value));
            i += 3;
        } else {
            out.append(field[i]);
        }
    }
    return QFile::decodeName(out);
}

// udev writes unsafe characters of a label as "\x" and two hex digits.
QString unescapeHex(const QString& name)
{
    QByteArray out;
    const QByteArray in = QFile::encodeName(name);
    for (qsizetype i = 0; i < in.size(); ++i) {
        bool ok = false;
        const int value = in[i] == '\\' && in.mid(i + 1, 1) == "x" ? in.mid(i + 2, 2).toInt(&ok, 16) : 0;
        if (ok) {
            out.append(char(value));
            i += 3;
        } else {
            out.append(in[i]);
        }
    }
    return QString::fromUtf8(out);
}

// Device path -> label, from the links udev keeps.
QHash<QString, QString> deviceLabels()
{
    QHash<QString, QString> labels;
    const QDir byLabel(QStringLiteral("/dev/disk/by-label"));
    for (const QFileInfo& link : byLabel.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        labels.insert(link.canonicalFilePath(), unescapeHex(link.fileName()));
    return labels;
}

QString displayName(const MountInfo& mount, bool holdsHome)
{
    if (mount.mountPoint == kRoot)
        return QCoreApplication::translate("mv::browser", "File System");
    if (!mount.label.isEmpty())
        return mount.label;
    if (holdsHome)
        return QCoreApplication::translate("mv::browser", "Home");
    return mount.mountPoint.section(QLatin1Char('/'), -1);
}

} // namespace

QList<MountInfo> parseMountInfo(const QByteArray& text)
{
    QList<MountInfo> mounts;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"));
        if (fields.size() < 5 || separator < 6 || separator + 2 >= fields.size())
            continue;
        mounts.append({unescapeOctal(fields[4]), unescapeOctal(fields[separator + 1]),
                       unescapeOctal(fields[separator + 2]), QString()});
    }
    return mounts;
}

DriveTable browsableDrives(const QList<MountInfo>& mounts, const QString& home)
{
    QString homeMount;
    for (const MountInfo& mount : mounts) {
        if (!home.isEmpty() && isBelow(home, mount.mountPoint) && mount.mountPoint.size() > homeMount.size())
            homeMount = mount.mountPoint;
    }
    // A later mount on the same point hides the earlier one.
    QHash<QString, MountInfo> visible;
    for (const MountInfo& mount : mounts)
        visible.insert(mount.mountPoint, mount);

    DriveTable drives;
    for (const MountInfo& mount : std::as_const(visible)) {
        const bool holdsHome = mount.mountPoint == homeMount;
        const bool wanted = mount.mountPoint == kRoot ||
                            (!isSystemType(mount.fsType) && (holdsHome || isMediaMount(mount.mountPoint)));
        if (wanted)
            drives.append({displayName(mount, holdsHome), mount.mountPoint});
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) {
        if ((a.mountPoint == kRoot) != (b.mountPoint == kRoot))
            return a.mountPoint == kRoot;
        return a.mountPoint < b.mountPoint;
    });
    return drives;
}

DriveTable mountedDrives()
{
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    QList<MountInfo> mounts;
    if (table.open(QIODevice::ReadOnly))
        mounts = parseMountInfo(table.readAll());
    const QHash<QString, QString> labels = deviceLabels();
    for (MountInfo& mount : mounts) {
        // The table may name a device by another link (/dev/mapper/...) than udev's target.
        const QString device = mount.device.startsWith(QLatin1String("/dev/"))
                                   ? QFileInfo(mount.device).canonicalFilePath()
                                   : QString();
        mount.label = device.isEmpty() ? QString() : labels.value(device);
    }
    if (mounts.isEmpty())
        mounts.append({kRoot, QString(), QString(), QString()}); // no table: "/" is still there
    return browsableDrives(mounts, QDir::homePath());
}

QString driveOf(const QString& path, const DriveTable& drives)
{
    QString best;
    for (const Drive& drive : drives) {
        if (isBelow(path, drive.mountPoint) && drive.mountPoint.size() > best.size())
            best = drive.mountPoint;
    }
    return best;
}

} // namespace mv::browser
