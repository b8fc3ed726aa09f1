#pragma once

#include "platform/Failure.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

namespace hm52 {

class Database;
class ReadConnection;

// Copies of the log in the folder Backup beside it: made with SQLite's online backup, each
// checked before it counts, the newest good ones kept, and put back in the log's place on
// the operator's request.
namespace backup {

// How many good backups the folder keeps.
constexpr int kept = 20;

// The folder "Backup" beside a log file.
QString folderFor(const QString& logPath);

// A file of the backup folder named as a backup, as checked. This program names its copies
// data-YYYYMMDD-HHMMSS-nN.mdb: the date and time by the clock when it was made, and N its
// place in the order in which the copies were made. Files named by earlier builds
// (data-YYYYMMDD-HHMMSS.mdb, data-YYYYMMDD-HHMMSS-K.mdb) come before all of those.
struct Copy {
    QString name;
    QString path;
    QDateTime made;       // from the name
    qint64 sequence = -1; // from the name; -1 when it has none
    bool good = false;
    qint64 qsos = -1;
    QString finding; // why it is not a good copy
};

// What making a backup or rotating gave: the new copy, and the files of the folder that are
// not good copies (left as they are, never counted nor removed).
struct Made {
    QString path;
    QStringList notGood;
};

// How far a copy's bytes are compared with the fingerprint taken when it was checked, before
// it counts as good: `Fingerprints` compares every copy that would count (reading it whole),
// `SeenThisRun` trusts only the comparisons made in this run and lets any other copy neither
// count nor go.
enum class Compare { Fingerprints, SeenThisRun };

// Copies the log into Backup/ as a new copy (see Copy for its name). `source` is a connection
// on the log, the program's own or one of a worker thread's: the copy goes in steps, and a
// change made meanwhile through another connection starts it again, so it is always one
// consistent state of the log. The copy is written under a temporary name, checked and
// fingerprinted, and only then renamed; then the folder is rotated (see rotate). `cancel`,
// when set, stops it and leaves nothing. Throws BackupError with the reason.
Made makeBackup(ReadConnection& source, const QString& logPath, const QDateTime& now,
                const std::atomic_bool* cancel = nullptr, Compare compare = Compare::Fingerprints);
// The same from the program's own connection, on the operator's thread: the rotation reads
// no copy there (Compare::SeenThisRun); the next start's rotation finishes it.
Made makeBackup(Database& log, const QDateTime& now);

// Keeps the newest `kept` good copies, the newest by the order in which this program made
// them, never by the clock alone: a copy named by a clock that was wrong, forwards or
// backwards, takes its place in that order. A good copy goes only when `kept` newer ones
// are good and their bytes, compared as `compare` says, still the ones that were checked.
// Returns the files that are not good copies.
Made rotate(const QString& folder, const QDateTime& now, Compare compare,
            const std::atomic_bool* cancel = nullptr);

// The backups of a folder, newest first, each checked and its bytes compared with the
// fingerprint of its check. A file's verdict is remembered beside the backups (in
// .hm52-checked, written whole or not at all), so a file is checked again only when it
// changes or when that memory is lost or damaged.
std::vector<Copy> backupsIn(const QString& folder,
                            const QDateTime& now = QDateTime::currentDateTime());

// True when the newest good copy was made on the day of `now`, not later than `now`: the
// day's backup is then made already. A clock set back or forward makes the next start
// make one.
bool dayBackupMade(const QString& folder, const QDateTime& now,
                   const std::atomic_bool* cancel = nullptr);

// Compares the fingerprints of up to `count` good copies, those compared longest ago first,
// so that over a few starts every copy is read again.
void compareInTurn(const QString& folder, int count, const std::atomic_bool* cancel = nullptr);

// Removes what this program's own work, cut short, leaves beside a log: the temporary files
// of copies in Backup/ (data-*.mdb.part) and of a restore (data.mdb.restoring), and the
// engine's journals beside them (-journal). No other file. Returns how many went.
int removeLeftovers(const QString& logPath);

// Keeps a copy of a damaged log beside the backups, byte for byte, under a name that says
// so and that no rotation takes for a backup (damaged-YYYYMMDD-HHMMSS.mdb). Returns its path.
QString keepDamaged(const QString& logPath, const QDateTime& now);

// Copies a backup with the online backup API into a new file `target` and checks the copy.
// Throws BackupError (and leaves no `target`) when the backup or its copy is not good.
void copyOut(const QString& backupPath, const QString& target);

} // namespace backup

} // namespace hm52
