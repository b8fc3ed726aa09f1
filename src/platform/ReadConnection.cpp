#include "platform/ReadConnection.h"

#include "platform/Database.h"

#include <chrono>
#include <sqlite3.h>
#include <thread>

namespace hm52 {

namespace {

QString engineText(sqlite3* db, int rc) {
    return QString::fromUtf8(db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
}

} // namespace

ReadConnection::ReadConnection(const QString& path, int busyMilliseconds) {
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = engineText(db_, rc);
        const int code = db_ != nullptr ? sqlite3_extended_errcode(db_) : rc;
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw DbError(text, code);
    }
    sqlite3_busy_timeout(db_, busyMilliseconds);
}

ReadConnection::~ReadConnection() {
    sqlite3_close_v2(db_);
}

QStringList ReadConnection::rows(const QByteArray& sql, int limit) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
        const DbError error(engineText(db_, 0), sqlite3_extended_errcode(db_));
        sqlite3_finalize(stmt);
        throw error;
    }
    QStringList out;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (out.size() < limit) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            out << QString::fromUtf8(text != nullptr ? text : "");
        }
    }
    if (rc != SQLITE_DONE) {
        const DbError error(engineText(db_, rc), sqlite3_extended_errcode(db_));
        sqlite3_finalize(stmt);
        throw error;
    }
    sqlite3_finalize(stmt);
    return out;
}

CopyEnd ReadConnection::copyTo(const QString& target, const std::atomic_bool* cancel) {
    return copyPages(db_, target, cancel);
}

CopyEnd copyPages(sqlite3* source, const QString& target, const std::atomic_bool* cancel) {
    if (source == nullptr) {
        throw DbError(QStringLiteral("the database is not open"));
    }
    sqlite3* to = nullptr;
    int rc =
        sqlite3_open_v2(target.toUtf8().constData(), &to,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = engineText(to, rc);
        sqlite3_close(to);
        throw DbError(reason, rc);
    }
    sqlite3_backup* copy = sqlite3_backup_init(to, "main", source, "main");
    if (copy == nullptr) {
        const QString reason = engineText(to, rc);
        const int code = sqlite3_extended_errcode(to);
        sqlite3_close(to);
        throw DbError(reason, code);
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
            // A writer holds the file: wait for it, up to a minute in all.
            if (++busy > 3000) {
                break;
            }
            std::this_thread::sleep_for(pause);
        }
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    sqlite3_backup_finish(copy);
    const int closed = sqlite3_close(to);
    if (rc == SQLITE_INTERRUPT) {
        return CopyEnd::Stopped;
    }
    if (rc != SQLITE_DONE) {
        throw DbError(QString::fromUtf8(sqlite3_errstr(rc)), rc);
    }
    if (closed != SQLITE_OK) {
        throw DbError(QString::fromUtf8(sqlite3_errstr(closed)), closed);
    }
    return CopyEnd::Done;
}

QString collationOf(Database& db, const char* table, const QString& column) {
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(db.handle(), "main", table, column.toUtf8().constData(),
                                      nullptr, &collation, nullptr, nullptr,
                                      nullptr) != SQLITE_OK ||
        collation == nullptr) {
        return {};
    }
    return QString::fromUtf8(collation);
}

int compareNoCase(const char* a, const char* b, int n) {
    return sqlite3_strnicmp(a, b, n);
}

} // namespace hm52
