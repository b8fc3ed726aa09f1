#include "backup/Backup.h"

#include "platform/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace hm52 {

namespace backup {

namespace {

const QRegularExpression& namePattern() {
    static const QRegularExpression re(
        QStringLiteral(R"(^data-(\d{8})-(\d{6})(?:-(\d{1,6}))?\.mdb$)"));
    return re;
}

struct Found {
    QString stamp; // YYYYMMDD-HHMMSS
    int sequence;  // 1 for the first backup of that second
    QString name;
};

std::vector<Found> found(const QString& folder) {
    std::vector<Found> list;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("data-*.mdb")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const auto m = namePattern().match(name);
        if (!m.hasMatch()) {
            continue;
        }
        const int sequence = m.captured(3).isEmpty() ? 1 : m.captured(3).toInt();
        list.push_back({m.captured(1) + u'-' + m.captured(2), sequence, name});
    }
    std::sort(list.begin(), list.end(), [](const Found& a, const Found& b) {
        return a.stamp != b.stamp ? a.stamp < b.stamp : a.sequence < b.sequence;
    });
    return list;
}

// Copies every page of the open log into a new file.
void copyInto(sqlite3* source, const QString& path) {
    sqlite3* target = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &target,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason =
            QString::fromUtf8(target != nullptr ? sqlite3_errmsg(target) : sqlite3_errstr(rc));
        sqlite3_close(target);
        throw BackupError(reason);
    }
    sqlite3_backup* copy = sqlite3_backup_init(target, "main", source, "main");
    if (copy == nullptr) {
        const QString reason = QString::fromUtf8(sqlite3_errmsg(target));
        sqlite3_close(target);
        throw BackupError(reason);
    }
    rc = sqlite3_backup_step(copy, -1);
    sqlite3_backup_finish(copy);
    const QString reason = QString::fromUtf8(sqlite3_errstr(rc));
    const int closed = sqlite3_close(target);
    if (rc != SQLITE_DONE) {
        throw BackupError(reason);
    }
    if (closed != SQLITE_OK) {
        throw BackupError(QString::fromUtf8(sqlite3_errstr(closed)));
    }
}

} // namespace

QString folderFor(const QString& logPath) {
    return QFileInfo(logPath).absoluteDir().filePath(QStringLiteral("Backup"));
}

QString makeBackup(Database& log, const QDateTime& now) {
    if (!log.isOpen()) {
        throw BackupError(QStringLiteral("the log is not open"));
    }
    const QString folder = folderFor(log.path());
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        throw BackupError(QStringLiteral("%1 is a file, not a folder").arg(folder));
    }
    if (!info.exists() && !QDir().mkpath(folder)) {
        throw BackupError(QStringLiteral("the folder %1 cannot be created").arg(folder));
    }
    const QDir dir(folder);
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = QStringLiteral("data-%1.mdb").arg(stamp);
    for (int sequence = 2; dir.exists(name); ++sequence) {
        name = QStringLiteral("data-%1-%2.mdb").arg(stamp).arg(sequence);
    }
    QString path = dir.filePath(name);
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    try {
        copyInto(log.handle(), partial);
    } catch (const BackupError& e) {
        QFile::remove(partial);
        throw BackupError(QStringLiteral("%1 (%2)").arg(e.text(), partial));
    }
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw BackupError(QStringLiteral("the backup cannot be renamed to %1").arg(path));
    }

    // The oldest go, by the times in their names; the one just made stays even when the clock
    // has been set back and its name sorts first.
    std::vector<Found> others = found(folder);
    std::erase_if(others, [&name](const Found& f) { return f.name == name; });
    for (size_t i = 0; i + kept < others.size() + 1; ++i) {
        QFile::remove(dir.filePath(others[i].name));
    }
    return path;
}

QStringList backupsIn(const QString& folder) {
    QStringList names;
    for (const Found& f : found(folder)) {
        names << f.name;
    }
    return names;
}

bool hasBackupOn(const QString& folder, const QDate& day) {
    const QString prefix = day.toString(QStringLiteral("yyyyMMdd"));
    const std::vector<Found> all = found(folder);
    return std::any_of(all.begin(), all.end(),
                       [&prefix](const Found& f) { return f.stamp.startsWith(prefix); });
}

} // namespace backup

} // namespace hm52
