#pragma once

#include "backup/Backup.h"
#include "ui/Form.h"

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace hm52 {

class WindowRegistry;

// Restore Backup: the backups of the log, newest first, with their date, time, number of QSOs
// and whether each is a good copy; Restore puts the chosen one in the log's place.
class frmRestoreBackup : public Form {
    Q_OBJECT
public:
    frmRestoreBackup(Services& services, Windows& registry);
    // Lists the backups, checking those not checked before.
    void Form_Load() override;
    void listBackups();

    void cmdRestore_Click();
    void cmdExit_Click();

    const std::vector<backup::Copy>& backups() const { return backups_; }

private:
    void restore(const backup::Copy& chosen);

    QLabel* lblFolder = nullptr;
    QTreeWidget* lstBackups = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdExit = nullptr;
    std::vector<backup::Copy> backups_;
};

// Puts a good backup in the place of the log: the log as it is now is kept beside the
// backups first (a damaged one under a name that says so), the backup is copied beside the
// log with SQLite's online backup and checked, and only then moved over the log in one step;
// the log is reopened and every open window shows it. Any failure before that step leaves the
// log as it was. Throws Failure with the reason.
void restoreBackup(Services& s, Windows& windows, const backup::Copy& chosen,
                   const QDateTime& now = QDateTime::currentDateTime());

} // namespace hm52
