#include "backup/Backup.h"

#include "backup/Verdicts.h"
#include "platform/Database.h"
#include "platform/ReadConnection.h"
#include "storage/LogCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <mutex>
#include <optional>

namespace hm52::backup {

namespace {

// Backups may be made on the main thread and on a worker at once: one at a time chooses a
// name, checks and rotates.
std::mutex folderMutex;

using detail::Verdict;
using detail::Verdicts;

const QString leftoverSuffix = QStringLiteral(".part");
const QString journalSuffix = QStringLiteral("-journal");
const QString restoringSuffix = QStringLiteral(".restoring");

const QRegularExpression& namePattern() {
    static const QRegularExpression re(
        QStringLiteral(R"(^data-(\d{8})-(\d{6})(?:-(\d{1,6})|-n(\d{1,15}))?\.mdb$)"));
    return re;
}

struct Named {
    QString stamp;        // YYYYMMDD-HHMMSS
    int second = 1;       // an earlier build's count within that second
    qint64 sequence = -1; // this program's order of making
    QString name;
    QDateTime made;
};

// The files named as backups (and, with `partial`, the temporary files of copies being
// made), newest first: by this program's order of making, then the copies of earlier
// builds, which were all made before. Among those the clock alone can tell; a copy dated
// after `now` was made while the clock ran ahead, so before the others.
std::vector<Named> named(const QString& folder, const QDateTime& now, bool partial = false) {
    std::vector<Named> list;
    QStringList patterns{QStringLiteral("data-*.mdb")};
    if (partial) {
        patterns << QStringLiteral("data-*.mdb") + leftoverSuffix;
    }
    for (QString name : QDir(folder).entryList(patterns, QDir::Files | QDir::Hidden)) {
        if (partial && name.endsWith(leftoverSuffix)) {
            name.chop(leftoverSuffix.size());
        }
        const auto m = namePattern().match(name);
        if (!m.hasMatch()) {
            continue;
        }
        Named n;
        n.stamp = m.captured(1) + u'-' + m.captured(2);
        n.second = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
        n.sequence = m.captured(4).isEmpty() ? -1 : m.captured(4).toLongLong();
        n.name = name;
        n.made = QDateTime::fromString(n.stamp, QStringLiteral("yyyyMMdd-HHmmss"));
        list.push_back(n);
    }
    const QString present = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    std::sort(list.begin(), list.end(), [&present](const Named& a, const Named& b) {
        if (a.sequence != b.sequence) {
            return a.sequence > b.sequence;
        }
        const bool aAhead = a.stamp > present;
        const bool bAhead = b.stamp > present;
        if (aAhead != bAhead) {
            return bAhead;
        }
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.second > b.second;
    });
    return list;
}

// The names of the files named as backups, newest first.
QStringList namesOf(const std::vector<Named>& files) {
    QStringList names;
    for (const Named& n : files) {
        names << n.name;
    }
    return names;
}

// Compares the fingerprints of `names` with those of their checks. The files are read without
// holding the folder (a large log's copy takes seconds), so that a backup on the operator's
// thread never waits for it; what was read is applied under the folder's lock.
void compareUnlocked(const QString& folder, const QStringList& names,
                     const std::atomic_bool* cancel) {
    if (names.isEmpty()) {
        return;
    }
    const QDir dir(folder);
    std::vector<detail::Reading> readings;
    for (const QString& name : names) {
        if (cancel != nullptr && *cancel) {
            break;
        }
        readings.push_back(detail::readFingerprint(dir, name, cancel));
    }
    const std::lock_guard lock(folderMutex);
    Verdicts verdicts(folder, cancel);
    for (const detail::Reading& r : readings) {
        verdicts.apply(r);
    }
}

// Removes the good copies beyond the `kept` newest whose bytes this run has compared. A good
// copy not compared neither counts nor goes; a file that is not a good copy neither.
Made rotateLocked(const QString& folder, const QDateTime& now, const std::atomic_bool* cancel) {
    Verdicts verdicts(folder, cancel);
    const QDir dir(folder);
    Made made;
    int counted = 0;
    for (const Named& n : named(folder, now)) {
        if (!verdicts.of(n.name).finding.good) {
            made.notGood << n.name;
        } else if (counted < kept) {
            counted += verdicts.stillGood(n.name, false) ? 1 : 0;
        } else if (QFile::remove(dir.filePath(n.name))) {
            verdicts.forget(n.name);
        }
    }
    return made;
}

// Copies the log's pages into a new file, from the connection that the caller gave.
using CopyFrom = std::function<CopyEnd(const QString& target, const std::atomic_bool* cancel)>;

void copyPages(const CopyFrom& copy, const QString& target, const std::atomic_bool* cancel) {
    try {
        if (copy(target, cancel) == CopyEnd::Stopped) {
            throw BackupError(QStringLiteral("the backup was stopped"));
        }
    } catch (const DbError& e) {
        throw BackupError(e.text());
    }
}

QString prepareFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        throw BackupError(QStringLiteral("%1 is a file, not a folder").arg(folder));
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        throw BackupError(QStringLiteral("the folder %1 cannot be created").arg(folder));
    }
    return folder;
}

} // namespace

QString folderFor(const QString& logPath) {
    return QFileInfo(logPath).absoluteDir().filePath(QStringLiteral("Backup"));
}

namespace {

Made makeFrom(const CopyFrom& source, const QString& logPath, const QDateTime& now,
              const std::atomic_bool* cancel, Compare compare) {
    const QDir dir(prepareFolder(folderFor(logPath)));
    QString name;
    QString partial;
    {
        // The temporary file is made at once, so a backup on another thread cannot take the
        // same name nor the same place in the order.
        const std::lock_guard lock(folderMutex);
        const std::vector<Named> all = named(dir.path(), now, true);
        qint64 sequence = 1;
        for (const Named& n : all) {
            sequence = std::max(sequence, n.sequence + 1);
        }
        name = QStringLiteral("data-%1-n%2.mdb")
                   .arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss")), QString::number(sequence));
        partial = dir.filePath(name + leftoverSuffix);
        QFile reserve(partial);
        if (dir.exists(name) || !reserve.open(QIODevice::WriteOnly)) {
            throw BackupError(QStringLiteral("%1 cannot be written: %2")
                                  .arg(QDir::toNativeSeparators(partial), reserve.errorString()));
        }
    }
    Verdict verdict;
    try {
        QFile::remove(partial); // the online backup makes its own file
        copyPages(source, partial, cancel);
        verdict.finding = checkLogFile(partial);
        if (!verdict.finding.good) {
            throw BackupError(
                QStringLiteral("the copy is not a good log (%1), so the log itself may be "
                               "damaged; no backup was made")
                    .arg(verdict.finding.finding));
        }
        if (!detail::fingerprintOf(partial, verdict.hash, cancel)) {
            throw BackupError(cancel != nullptr && *cancel
                                  ? QStringLiteral("the backup was stopped")
                                  : QStringLiteral("the copy cannot be read back"));
        }
    } catch (const BackupError& e) {
        QFile::remove(partial);
        QFile::remove(partial + journalSuffix);
        throw BackupError(QStringLiteral("%1 (%2)").arg(e.text(), partial));
    }
    const QString path = dir.filePath(name);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw BackupError(QStringLiteral("the backup cannot be renamed to %1").arg(path));
    }
    {
        const std::lock_guard lock(folderMutex);
        Verdicts(dir.path()).record(name, verdict);
    }
    Made made = rotate(dir.path(), now, compare, cancel);
    made.path = path;
    return made;
}

} // namespace

Made makeBackup(ReadConnection& source, const QString& logPath, const QDateTime& now,
                const std::atomic_bool* cancel, Compare compare) {
    return makeFrom([&source](const QString& target,
                              const std::atomic_bool* stop) { return source.copyTo(target, stop); },
                    logPath, now, cancel, compare);
}

Made makeBackup(Database& log, const QDateTime& now) {
    if (!log.isOpen()) {
        throw BackupError(QStringLiteral("the log is not open"));
    }
    return makeFrom([&log](const QString& target,
                           const std::atomic_bool* stop) { return log.copyTo(target, stop); },
                    log.path(), now, nullptr, Compare::SeenThisRun);
}

Made rotate(const QString& folder, const QDateTime& now, Compare compare,
            const std::atomic_bool* cancel) {
    if (compare == Compare::Fingerprints) {
        // Before any goes, the newest that would stay are read, when more than `kept` are good.
        QStringList newest;
        {
            const std::lock_guard lock(folderMutex);
            Verdicts verdicts(folder, cancel);
            QStringList good;
            for (const Named& n : named(folder, now)) {
                if (verdicts.of(n.name).finding.good) {
                    good << n.name;
                }
            }
            if (good.size() > kept) {
                newest = verdicts.notCompared(good.mid(0, kept));
            }
        }
        compareUnlocked(folder, newest, cancel);
    }
    const std::lock_guard lock(folderMutex);
    return rotateLocked(folder, now, cancel);
}

std::vector<Copy> backupsIn(const QString& folder, const QDateTime& now) {
    QStringList unread;
    {
        const std::lock_guard lock(folderMutex);
        Verdicts verdicts(folder);
        unread = verdicts.notCompared(namesOf(named(folder, now)));
    }
    compareUnlocked(folder, unread, nullptr);
    const std::lock_guard lock(folderMutex);
    Verdicts verdicts(folder);
    const QDir dir(folder);
    std::vector<Copy> copies;
    for (const Named& n : named(folder, now)) {
        Copy c;
        c.name = n.name;
        c.path = dir.filePath(n.name);
        c.made = n.made;
        c.sequence = n.sequence;
        c.good = verdicts.stillGood(n.name);
        const LogFinding& f = verdicts.of(n.name).finding;
        c.qsos = f.qsos;
        c.finding = f.finding;
        copies.push_back(c);
    }
    return copies;
}

bool dayBackupMade(const QString& folder, const QDateTime& now, const std::atomic_bool* cancel) {
    // The newest good copy, its bytes compared first.
    for (int tries = 0; tries < 100 && (cancel == nullptr || !*cancel); ++tries) {
        QString unread;
        {
            const std::lock_guard lock(folderMutex);
            Verdicts verdicts(folder, cancel);
            for (const Named& n : named(folder, now)) {
                if (!verdicts.of(n.name).finding.good) {
                    continue;
                }
                if (verdicts.stillGood(n.name, false)) {
                    return n.made.date() == now.date() && n.made <= now;
                }
                unread = n.name;
                break;
            }
        }
        if (unread.isEmpty()) {
            return false;
        }
        compareUnlocked(folder, {unread}, cancel);
    }
    return false;
}

void compareInTurn(const QString& folder, int count, const std::atomic_bool* cancel) {
    QStringList names;
    {
        const std::lock_guard lock(folderMutex);
        Verdicts verdicts(folder, cancel);
        names = verdicts.notCompared(verdicts.comparedLongestAgo()).mid(0, count);
    }
    compareUnlocked(folder, names, cancel);
}

int removeLeftovers(const QString& logPath) {
    const QDir backups(folderFor(logPath));
    QStringList paths;
    for (const QString& name :
         backups.entryList({QStringLiteral("data-*.mdb") + leftoverSuffix,
                            QStringLiteral("data-*.mdb") + leftoverSuffix + journalSuffix},
                           QDir::Files | QDir::Hidden | QDir::System)) {
        paths << backups.filePath(name);
    }
    const QString restoring = logPath + restoringSuffix;
    paths << restoring << restoring + journalSuffix;
    int removed = 0;
    for (const QString& path : paths) {
        removed += QFile::remove(path) ? 1 : 0;
    }
    return removed;
}

QString keepDamaged(const QString& logPath, const QDateTime& now) {
    const QDir dir(prepareFolder(folderFor(logPath)));
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QStringLiteral("damaged-%1.mdb").arg(stamp);
    for (int sequence = 2; dir.exists(name); ++sequence) {
        name = QStringLiteral("damaged-%1-%2.mdb").arg(stamp).arg(sequence);
    }
    QString path = dir.filePath(name);
    QFile source(logPath);
    if (!source.copy(path)) {
        QFile::remove(path);
        throw BackupError(QStringLiteral("the damaged log cannot be kept as %1: %2")
                              .arg(QDir::toNativeSeparators(path), source.errorString()));
    }
    return path;
}

void copyOut(const QString& backupPath, const QString& target) {
    {
        // Its bytes still those that were checked when it was made, and good by a check now.
        const std::lock_guard lock(folderMutex);
        const QFileInfo info(backupPath);
        Verdicts verdicts(info.absolutePath());
        if (!verdicts.stillGood(info.fileName())) {
            throw BackupError(QStringLiteral("%1 is not a good copy of the log: %2")
                                  .arg(QDir::toNativeSeparators(backupPath),
                                       verdicts.of(info.fileName()).finding.finding));
        }
    }
    const LogFinding before = checkLogFile(backupPath);
    if (!before.good) {
        throw BackupError(QStringLiteral("%1 is not a good copy of the log: %2")
                              .arg(QDir::toNativeSeparators(backupPath), before.finding));
    }
    QFile::remove(target);
    try {
        std::optional<ReadConnection> source;
        try {
            source.emplace(backupPath);
        } catch (const DbError& e) {
            throw BackupError(e.text());
        }
        copyPages([&source](const QString& to,
                            const std::atomic_bool* stop) { return source->copyTo(to, stop); },
                  target, nullptr);
        const LogFinding after = checkLogFile(target);
        if (!after.good) {
            throw BackupError(QStringLiteral("the copy of %1 is not good: %2")
                                  .arg(QDir::toNativeSeparators(backupPath), after.finding));
        }
    } catch (const BackupError& e) {
        QFile::remove(target);
        QFile::remove(target + journalSuffix);
        throw BackupError(QStringLiteral("%1 cannot be copied to %2: %3")
                              .arg(QDir::toNativeSeparators(backupPath),
                                   QDir::toNativeSeparators(target), e.text()));
    }
}

} // namespace hm52::backup
