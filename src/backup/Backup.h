#pragma once

#include "platform/Failure.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

struct sqlite3;

namespace hm52 {

class Database;

// Copies of the log in the folder Backup beside it: made with SQLite's online backup, each
// checked before it counts, the newest good ones kept, and put back in the log's place on
// the operator's request.
namespace backup {

// How many good backups the folder keeps.
constexpr int kept = 20;

// The folder "Backup" beside a log file.
QString folderFor(const QString& logPath);

// A file of the backup folder named as a backup (data-YYYYMMDD-HHMMSS.mdb), as checked.
struct Copy {
    QString name;
    QString path;
    QDateTime made; // from the name
    bool good = false;
    qint64 qsos = -1;
    QString finding; // why it is not a good copy
};

// What making a backup gave: the new copy, and the files of the folder that are not good
// copies (left as they are, never counted nor removed).
struct Made {
    QString path;
    QStringList notGood;
};

// Copies the log into Backup/ as data-YYYYMMDD-HHMMSS.mdb (a second backup within the same
// second gets -2, -3, ... before the extension). `source` is a connection on the log, the
// program's own or one of a worker thread's: the copy goes in steps, and a change made
// meanwhile through another connection starts it again, so it is always one consistent
// state of the log. The copy is written under a temporary name, checked, and only then
// renamed; then all but the newest `kept` good backups are removed. `cancel`, when set,
// stops it and leaves nothing. Throws BackupError with the reason.
Made makeBackup(sqlite3* source, const QString& logPath, const QDateTime& now,
                const std::atomic_bool* cancel = nullptr);
Made makeBackup(Database& log, const QDateTime& now);

// The backups of a folder, newest first, each checked. A file's verdict is remembered beside
// the backups, so it is checked again only when the file changes.
std::vector<Copy> backupsIn(const QString& folder);

// True when the folder holds a good backup made on that day.
bool hasGoodBackupOn(const QString& folder, const QDate& day);

// Removes the temporary files of backups that were cut short; returns how many.
int removeLeftovers(const QString& folder);

// Keeps a copy of a damaged log beside the backups, byte for byte, under a name that says
// so and that no rotation takes for a backup (damaged-YYYYMMDD-HHMMSS.mdb). Returns its path.
QString keepDamaged(const QString& logPath, const QDateTime& now);

// Copies a backup with the online backup API into a new file `target` and checks the copy.
// Throws BackupError (and leaves no `target`) when the backup or its copy is not good.
void copyOut(const QString& backupPath, const QString& target);

} // namespace backup

} // namespace hm52
