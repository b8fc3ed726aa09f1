#include "backup/Backup.h"

#include "platform/Database.h"
#include "storage/LogCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace hm52::backup {

namespace {

// Backups may be made on the main thread and on a worker at once: one at a time chooses a
// name, checks and rotates.
std::mutex folderMutex;

const QString leftoverSuffix = QStringLiteral(".part");
const QString verdictsName = QStringLiteral(".hm52-checked");

const QRegularExpression& namePattern() {
    static const QRegularExpression re(
        QStringLiteral(R"(^data-(\d{8})-(\d{6})(?:-(\d{1,6}))?\.mdb$)"));
    return re;
}

struct Named {
    QString stamp; // YYYYMMDD-HHMMSS
    int sequence;  // 1 for the first backup of that second
    QString name;
};

// The files named as backups, oldest first.
std::vector<Named> named(const QString& folder) {
    std::vector<Named> list;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("data-*.mdb")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const auto m = namePattern().match(name);
        if (m.hasMatch()) {
            const int sequence = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
            list.push_back({m.captured(1) + u'-' + m.captured(2), sequence, name});
        }
    }
    std::sort(list.begin(), list.end(), [](const Named& a, const Named& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.sequence < b.sequence;
    });
    return list;
}

// The remembered verdicts of a folder: per file, its size and time when it was checked and
// what the check found.
struct Verdict {
    qint64 size = -1;
    qint64 modified = 0;
    LogFinding finding;
};

QHash<QString, Verdict> readVerdicts(const QDir& dir) {
    QHash<QString, Verdict> verdicts;
    QFile file(dir.filePath(verdictsName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return verdicts;
    }
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u'\t');
        if (f.size() >= 5) {
            Verdict v;
            v.size = f[1].toLongLong();
            v.modified = f[2].toLongLong();
            v.finding.good = f[3] == u'1';
            v.finding.qsos = f[4].toLongLong();
            v.finding.finding = f.mid(5).join(u'\t');
            verdicts.insert(f[0], v);
        }
    }
    return verdicts;
}

void writeVerdicts(const QDir& dir, const QHash<QString, Verdict>& verdicts) {
    QSaveFile file(dir.filePath(verdictsName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return; // only a memory of work done: without it the files are checked again
    }
    QTextStream out(&file);
    for (auto it = verdicts.constBegin(); it != verdicts.constEnd(); ++it) {
        QString finding = it->finding.finding;
        finding.replace(u'\n', u' ');
        out << it.key() << '\t' << it->size << '\t' << it->modified << '\t'
            << (it->finding.good ? '1' : '0') << '\t' << it->finding.qsos << '\t' << finding
            << '\n';
    }
    file.commit();
}

// The verdict of one file, checked when not remembered or when the file changed since.
LogFinding verdictOf(const QDir& dir, const QString& name, QHash<QString, Verdict>& verdicts,
                     bool& changed) {
    const QFileInfo info(dir.filePath(name));
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    const auto it = verdicts.constFind(name);
    if (it != verdicts.constEnd() && it->size == info.size() && it->modified == modified) {
        return it->finding;
    }
    Verdict v{info.size(), modified, checkLogFile(info.filePath())};
    verdicts.insert(name, v);
    changed = true;
    return v.finding;
}

std::vector<Copy> listLocked(const QString& folder) {
    const QDir dir(folder);
    QHash<QString, Verdict> verdicts = readVerdicts(dir);
    bool changed = false;
    std::vector<Copy> copies;
    const std::vector<Named> files = named(folder);
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        Copy c;
        c.name = it->name;
        c.path = dir.filePath(it->name);
        c.made = QDateTime::fromString(it->stamp, QStringLiteral("yyyyMMdd-HHmmss"));
        const LogFinding f = verdictOf(dir, it->name, verdicts, changed);
        c.good = f.good;
        c.qsos = f.qsos;
        c.finding = f.finding;
        copies.push_back(c);
    }
    // Forget the files that are gone.
    for (auto it = verdicts.begin(); it != verdicts.end();) {
        if (!dir.exists(it.key())) {
            it = verdicts.erase(it);
            changed = true;
        } else {
            ++it;
        }
    }
    if (changed) {
        writeVerdicts(dir, verdicts);
    }
    return copies;
}

QString engineText(sqlite3* db, int rc) {
    return QString::fromUtf8(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

// Copies every page of `source` into a new file at `path`, a few hundred pages at a time so
// that a writer on another connection waits milliseconds, not the whole copy.
void copyPages(sqlite3* source, const QString& path, const std::atomic_bool* cancel) {
    sqlite3* target = nullptr;
    int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &target,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = engineText(target, rc);
        sqlite3_close(target);
        throw BackupError(reason);
    }
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    if (copy == nullptr) {
        const QString reason = engineText(target, rc);
        sqlite3_close(target);
        throw BackupError(reason);
    }
    constexpr int pagesPerStep = 512;
    constexpr auto pause = std::chrono::milliseconds(20);
    int busy = 0;
    do {
        if (cancel != nullptr && *cancel) {
            rc = SQLITE_INTERRUPT;
            break;
        }
        rc = sqlite3_backup_step(copy, pagesPerStep);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            // A writer holds the log: wait for it, up to a minute in all.
            if (++busy > 3000) {
                break;
            }
            std::this_thread::sleep_for(pause);
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(copy);
    const QString reason = rc == SQLITE_INTERRUPT ? QStringLiteral("the backup was stopped")
                                                  : QString::fromUtf8(sqlite3_errstr(rc));
    const int closed = sqlite3_close(target);
    if (rc != SQLITE_DONE) {
        throw BackupError(reason);
    }
    if (closed != SQLITE_OK) {
        throw BackupError(QString::fromUtf8(sqlite3_errstr(closed)));
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

Made makeBackup(sqlite3* source, const QString& logPath, const QDateTime& now,
                const std::atomic_bool* cancel) {
    if (source == nullptr) {
        throw BackupError(QStringLiteral("the log is not open"));
    }
    const QDir dir(prepareFolder(folderFor(logPath)));
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name;
    QString partial;
    {
        // The temporary file is made at once, so a backup on another thread cannot take the
        // same name.
        const std::lock_guard lock(folderMutex);
        name = QStringLiteral("data-%1.mdb").arg(stamp);
        for (int sequence = 2; dir.exists(name) || dir.exists(name + leftoverSuffix); ++sequence) {
            name = QStringLiteral("data-%1-%2.mdb").arg(stamp).arg(sequence);
        }
        partial = dir.filePath(name + leftoverSuffix);
        QFile reserve(partial);
        if (!reserve.open(QIODevice::WriteOnly)) {
            throw BackupError(QStringLiteral("%1 cannot be written: %2")
                                  .arg(QDir::toNativeSeparators(partial), reserve.errorString()));
        }
    }
    try {
        QFile::remove(partial); // the online backup makes its own file
        copyPages(source, partial, cancel);
        const LogFinding checked = checkLogFile(partial);
        if (!checked.good) {
            throw BackupError(
                QStringLiteral("the copy is not a good log (%1), so the log itself may be "
                               "damaged; no backup was made")
                    .arg(checked.finding));
        }
    } catch (const BackupError& e) {
        QFile::remove(partial);
        throw BackupError(QStringLiteral("%1 (%2)").arg(e.text(), partial));
    }
    const QString path = dir.filePath(name);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw BackupError(QStringLiteral("the backup cannot be renamed to %1").arg(path));
    }

    // The oldest good backups go, by the times in their names; the one just made stays even
    // when the clock has been set back and its name sorts first. A file that is not a good
    // copy neither counts nor goes.
    const std::lock_guard lock(folderMutex);
    Made made{path, {}};
    int good = 1;
    for (const Copy& c : listLocked(dir.path())) {
        if (c.name == name) {
            continue;
        }
        if (!c.good) {
            made.notGood << c.name;
        } else if (++good > kept) {
            QFile::remove(c.path);
        }
    }
    return made;
}

Made makeBackup(Database& log, const QDateTime& now) {
    if (!log.isOpen()) {
        throw BackupError(QStringLiteral("the log is not open"));
    }
    return makeBackup(log.handle(), log.path(), now);
}

std::vector<Copy> backupsIn(const QString& folder) {
    const std::lock_guard lock(folderMutex);
    return listLocked(folder);
}

bool hasGoodBackupOn(const QString& folder, const QDate& day) {
    const QString prefix = QStringLiteral("data-") + day.toString(QStringLiteral("yyyyMMdd"));
    const QDir dir(folder);
    const std::lock_guard lock(folderMutex);
    QHash<QString, Verdict> verdicts = readVerdicts(dir);
    bool changed = false;
    bool found = false;
    for (const Named& n : named(folder)) {
        if (n.name.startsWith(prefix) && verdictOf(dir, n.name, verdicts, changed).good) {
            found = true;
            break;
        }
    }
    if (changed) {
        writeVerdicts(dir, verdicts);
    }
    return found;
}

int removeLeftovers(const QString& folder) {
    int removed = 0;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("data-*.mdb") + leftoverSuffix}, QDir::Files)) {
        removed += QFile::remove(dir.filePath(name)) ? 1 : 0;
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
    const QString path = dir.filePath(name);
    QFile source(logPath);
    if (!source.copy(path)) {
        QFile::remove(path);
        throw BackupError(QStringLiteral("the damaged log cannot be kept as %1: %2")
                              .arg(QDir::toNativeSeparators(path), source.errorString()));
    }
    return path;
}

void copyOut(const QString& backupPath, const QString& target) {
    const LogFinding before = checkLogFile(backupPath);
    if (!before.good) {
        throw BackupError(QStringLiteral("%1 is not a good copy of the log: %2")
                              .arg(QDir::toNativeSeparators(backupPath), before.finding));
    }
    QFile::remove(target);
    sqlite3* source = nullptr;
    const int rc = sqlite3_open_v2(backupPath.toUtf8().constData(), &source,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK) {
            throw BackupError(engineText(source, rc));
        }
        copyPages(source, target, nullptr);
        const LogFinding after = checkLogFile(target);
        if (!after.good) {
            throw BackupError(QStringLiteral("the copy of %1 is not good: %2")
                                  .arg(QDir::toNativeSeparators(backupPath), after.finding));
        }
    } catch (const BackupError& e) {
        sqlite3_close(source);
        QFile::remove(target);
        throw BackupError(QStringLiteral("%1 cannot be copied to %2: %3")
                              .arg(QDir::toNativeSeparators(backupPath),
                                   QDir::toNativeSeparators(target), e.text()));
    }
    sqlite3_close(source);
}

} // namespace hm52::backup
