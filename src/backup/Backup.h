#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <stdexcept>

class QWidget;

namespace hm52 {

class Database;
struct Services;

namespace backup {

// A backup that could not be made; text() is the reason.
class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

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

// Backs the log up before an operation changes it; call it before the operation's
// transaction begins, so the copy holds only what was committed. On failure shows the reason
// (naming the operation by `why`: "the import", "the conversion to accredited") and returns
// false: the caller must then change nothing.
bool backupBeforeChange(Services& s, QWidget* parent, const QString& why);

// The start-up backup: made at most once a day. A failure is shown and the program goes on.
void dailyBackup(Services& s, QWidget* parent, const QDateTime& now = QDateTime::currentDateTime());

} // namespace hm52
