#include "storage/LogCheck.h"

#include "storage/Schema.h"

#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

namespace hm52 {

namespace {

// A read-only connection that lives for one check.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection() { sqlite3_close_v2(db); }
};

QString engineText(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// The rows of a pragma or query as text, at most `limit` of them; false with the engine's
// text when it fails.
bool rows(sqlite3* db, const char* sql, QStringList& out, QString& error, int limit = 20) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
        error = engineText(db);
        sqlite3_finalize(stmt);
        return false;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (out.size() < limit) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            out << QString::fromUtf8(text != nullptr ? text : "");
        }
    }
    if (rc != SQLITE_DONE) {
        error = engineText(db);
    }
    sqlite3_finalize(stmt);
    return rc == SQLITE_DONE;
}

LogFinding bad(const QString& finding) {
    return {false, finding, -1};
}

} // namespace

LogFinding checkLogFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return bad(QStringLiteral("the file is not there"));
    }
    if (info.size() == 0) {
        return bad(QStringLiteral("the file is empty"));
    }
    Connection c;
    if (sqlite3_open_v2(path.toUtf8().constData(), &c.db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        return bad(c.db != nullptr ? engineText(c.db) : QStringLiteral("it cannot be opened"));
    }
    sqlite3_busy_timeout(c.db, 10000);
    QStringList pageSize;
    QStringList pageCount;
    QString error;
    if (!rows(c.db, "PRAGMA page_size", pageSize, error) ||
        !rows(c.db, "PRAGMA page_count", pageCount, error) || pageSize.isEmpty() ||
        pageCount.isEmpty()) {
        return bad(error);
    }
    const qint64 page = pageSize.first().toLongLong();
    const qint64 pages = pageCount.first().toLongLong();
    // A file cut short loses the end of its last page; SQLite would read the missing bytes as
    // zeros without a word.
    if (page <= 0 || info.size() % page != 0 || info.size() < page * pages) {
        return bad(QStringLiteral("the file is %1 bytes long, not the %2 pages of %3 bytes "
                                  "that it should hold: it has been cut short or overwritten")
                       .arg(info.size())
                       .arg(pages)
                       .arg(page));
    }
    QStringList problems;
    if (!rows(c.db, "PRAGMA quick_check(20)", problems, error)) {
        return bad(error);
    }
    if (problems != QStringList{QStringLiteral("ok")}) {
        return bad(problems.join(QStringLiteral("; ")));
    }
    for (const char* table : {"data", "userData"}) {
        const QStringList& columns = QString::fromLatin1(table) == QLatin1String("data")
                                         ? schema::dataColumns()
                                         : schema::userDataColumns();
        QStringList quoted;
        for (const QString& column : columns) {
            quoted << u'"' + column + u'"';
        }
        QStringList none;
        const QByteArray sql =
            QStringLiteral("select %1 from \"%2\" limit 0")
                .arg(quoted.join(QStringLiteral(", ")), QString::fromLatin1(table))
                .toUtf8();
        if (!rows(c.db, sql.constData(), none, error)) {
            return bad(error);
        }
    }
    QStringList count;
    if (!rows(c.db, "select count(*) from data", count, error) || count.isEmpty()) {
        return bad(error);
    }
    return {true, {}, count.first().toLongLong()};
}

} // namespace hm52
