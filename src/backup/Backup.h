#pragma once

#include "platform/Failure.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace hm52 {

class Database;

namespace backup {

// How many backups the folder keeps.
constexpr int kept = 20;

// The folder "Backup" beside a log file.
QString folderFor(const QString& logPath);

// Copies the open log, with SQLite's online backup, into the folder Backup beside it as
// data-YYYYMMDD-HHMMSS.mdb (a second backup within the same second gets -2, -3, ... before
// the extension), then removes all but the newest `kept` backups. The copy is written under
// a temporary name and renamed when complete, so a failure leaves no partial backup.
// Returns the new backup's path; throws BackupError with the reason.
QString makeBackup(Database& log, const QDateTime& now);

// The backups in a folder, oldest first (other files are never counted nor removed).
QStringList backupsIn(const QString& folder);

// True when the folder holds a backup made on that day.
bool hasBackupOn(const QString& folder, const QDate& day);

} // namespace backup

} // namespace hm52
