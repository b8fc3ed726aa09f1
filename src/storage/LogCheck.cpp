#include "storage/LogCheck.h"

#include "platform/ReadConnection.h"
#include "storage/Schema.h"

#include <QFileInfo>
#include <QStringList>

namespace hm52 {

namespace {

LogFinding bad(const QString& finding) {
    return {false, finding, -1};
}

// The check of a log open on a connection of its own. Throws DbError with the engine's text
// when a query of it fails.
LogFinding checkOpen(ReadConnection& c, const QFileInfo& info) {
    const QStringList pageSize = c.rows("PRAGMA page_size");
    const QStringList pageCount = c.rows("PRAGMA page_count");
    if (pageSize.isEmpty() || pageCount.isEmpty()) {
        return bad({});
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
    const QStringList problems = c.rows("PRAGMA quick_check(20)");
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
        c.rows(QStringLiteral("select %1 from \"%2\" limit 0")
                   .arg(quoted.join(QStringLiteral(", ")), QString::fromLatin1(table))
                   .toUtf8());
    }
    const QStringList count = c.rows("select count(*) from data");
    if (count.isEmpty()) {
        return bad({});
    }
    return {true, {}, count.first().toLongLong()};
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
    try {
        ReadConnection c(path);
        return checkOpen(c, info);
    } catch (const DbError& e) {
        return bad(e.text());
    }
}

} // namespace hm52
