#include "shell/AssociationStore.h"

#include "shell/Registry.h"

namespace mv::shell {

namespace {

const QString kBackupValue = QStringLiteral("mv.bak");

} // namespace

QString AssociationStore::backup(const QString& mimeType) const
{
    return GetRegValue(HKEY_CLASSES_ROOT, mimeType, kBackupValue);
}

bool AssociationStore::keepBackup(const QString& mimeType, const QString& previousDefault)
{
    return SetRegValue(HKEY_CLASSES_ROOT, mimeType, kBackupValue, REG_SZ, previousDefault);
}

bool AssociationStore::dropBackup(const QString& mimeType)
{
    // The key holds nothing else; it goes with its one value.
    return DeleteRegKey(HKEY_CLASSES_ROOT, mimeType);
}

} // namespace mv::shell
