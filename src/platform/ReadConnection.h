#pragma once

#include "platform/Database.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

struct sqlite3;

namespace hm52 {

// A read-only connection of its own to a database file, for work beside the program's
// connections, on any one thread (the log's check, a backup's copy): closed when it goes.
class ReadConnection {
public:
    // Opens an existing file for reading; a writer on another connection is waited for up to
    // `busyMilliseconds`. Throws DbError with the engine's text when it cannot be opened.
    explicit ReadConnection(const QString& path, int busyMilliseconds = 10000);
    ~ReadConnection();
    ReadConnection(const ReadConnection&) = delete;
    ReadConnection& operator=(const ReadConnection&) = delete;

    // The first column of a query's rows as text, at most `limit` of them (the query still
    // runs to its end). Throws DbError with the engine's text when it fails.
    QStringList rows(const QByteArray& sql, int limit = 20);

    // Copies every page of the file into a new database at `target` (see copyPages).
    CopyEnd copyTo(const QString& target, const std::atomic_bool* cancel = nullptr);

private:
    sqlite3* db_ = nullptr;
};

// Copies every page of the database open on `source` into a new file at `target`, through
// the engine's online backup: a few hundred pages at a time, so that a writer on another
// connection waits milliseconds, not the whole copy; a writer that holds the file is waited
// for, up to a minute in all. Ends early when `*cancel` turns true. Throws DbError with the
// engine's text when the copy fails; the caller removes what was written.
CopyEnd copyPages(sqlite3* source, const QString& target, const std::atomic_bool* cancel);

// The collating sequence of a column of a table ("BINARY", "NOCASE"...), or empty when the
// table or column is not there.
QString collationOf(Database& db, const char* table, const QString& column);

// Compares the first `n` bytes of two texts as the engine's NOCASE does: ASCII letters
// folded, every other byte as it is. Negative, zero or positive.
int compareNoCase(const char* a, const char* b, int n);

} // namespace hm52
