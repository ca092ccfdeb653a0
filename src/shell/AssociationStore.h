// The previous default applications of the types given to the program, kept in the classes
// hive of the settings store: key = the MIME type, value "mv.bak".
#pragma once

#include "desktop/FileAssociation.h"

namespace mv::shell {

class AssociationStore : public desktop::AssociationBackups {
public:
    QString backup(const QString& mimeType) const override;
    bool keepBackup(const QString& mimeType, const QString& previousDefault) override;
    bool dropBackup(const QString& mimeType) override;
};

} // namespace mv::shell
