#include "ui/Backups.h"

#include "backup/Backup.h"
#include "ui/Services.h"

namespace hm52 {

bool backupBeforeChange(Services& s, QWidget* parent, const QString& why) {
    try {
        backup::makeBackup(s.m.logDb, QDateTime::currentDateTime());
        return true;
    } catch (const BackupError& e) {
        s.dialogs.tell(parent,
                       QStringLiteral("The log could not be backed up before %1, so nothing was "
                                      "changed.\n\n%2")
                           .arg(why, e.text()),
                       Icon::Critical);
        return false;
    }
}

} // namespace hm52
