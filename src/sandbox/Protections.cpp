#include "sandbox/Protections.h"

#include <QCoreApplication>
#include <QStringList>

namespace mv::sandbox {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("mv::sandbox", text);
}

} // namespace

QString describeProtections(const Protections& p)
{
    const struct {
        Protection bit;
        const char* name;
    } all[] = {
        {SyscallFilter, QT_TRANSLATE_NOOP("mv::sandbox", "system-call filter")},
        {FileRules, QT_TRANSLATE_NOOP("mv::sandbox", "file access limited to fonts and plug-ins")},
        {OwnNamespaces, QT_TRANSLATE_NOOP("mv::sandbox", "no network")},
        {NoNewPrivileges, QT_TRANSLATE_NOOP("mv::sandbox", "no new privileges")},
        {MemoryCap, QT_TRANSLATE_NOOP("mv::sandbox", "memory cap")},
        {TimeCap, QT_TRANSLATE_NOOP("mv::sandbox", "time cap")},
        {MemoryFileCap, QT_TRANSLATE_NOOP("mv::sandbox", "memory-file cap")},
        {NoCoreFiles, QT_TRANSLATE_NOOP("mv::sandbox", "no core files")},
    };
    if (!p.reported)
        return tr("Pictures are decoded in a separate, locked-down process, which has not started yet.");
    QStringList on;
    QStringList off;
    for (const auto& item : all)
        (p.has(item.bit) ? on : off) << tr(item.name);
    QString text;
    if (!p.has(SyscallFilter))
        text = tr("No picture is decoded: this system refused the system-call filter without which the "
                  "decoding process may not run.");
    else
        text = tr("Pictures are decoded in a locked-down process: %1.").arg(on.join(QStringLiteral(", ")));
    if (!off.isEmpty())
        text += QLatin1Char(' ') + tr("Refused by this system: %1.").arg(off.join(QStringLiteral(", ")));
    return text;
}

} // namespace mv::sandbox
