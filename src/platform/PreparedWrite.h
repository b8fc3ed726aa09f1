#pragma once

#include <QByteArrayView>
#include <QString>

struct sqlite3_stmt;

namespace hm52 {

class Database;

// One change (an insert, update or delete with ?1, ?2... in the places of its values)
// prepared once and run many times, for the loops that write many rows: an import, say. The
// statement text carries no data; every value is bound. Each run asks the log's keeper first,
// as every other write does, and runs inside the caller's transaction (or one of its own).
class PreparedWrite {
public:
    // Throws DbError when the engine rejects the text, or when it holds a text literal.
    PreparedWrite(Database& db, const QString& sql);
    ~PreparedWrite();
    PreparedWrite(const PreparedWrite&) = delete;
    PreparedWrite& operator=(const PreparedWrite&) = delete;

    // The values of the next run, by parameter number from 1. Each is copied.
    PreparedWrite& bind(int index, qint64 value);
    PreparedWrite& bindReal(int index, double value);
    PreparedWrite& bind(int index, const QString& text); // a null QString binds NULL
    PreparedWrite& bindUtf8(int index, QByteArrayView utf8);
    PreparedWrite& bindBlob(int index, QByteArrayView bytes);
    PreparedWrite& bindNull(int index);

    // Runs the change with the values bound, then forgets them. Throws DbError with the
    // engine's text when it fails, or when the keeper refuses the write.
    void run();
    // Rows the last run changed.
    qint64 changes() const;

private:
    Database& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace hm52
