#pragma once

#include <QString>
#include <QVariant>

#include "platform/Database.h"

#include <sqlite3.h>

// What the engine layer's own files share about SQLite's C API.
namespace hm52::sqlite {

// A statement that lives only inside one call; it goes back to its connection's cache.
struct Statement {
    Database& db;
    QString sql;
    sqlite3_stmt* stmt = nullptr;
    Statement(Database& database, const QString& text)
        : db(database), sql(text), stmt(database.prepare(text)) {}
    ~Statement() { db.release(stmt, sql); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
};

// Binds a value by its type: null, whole number, number, bytes, or text.
void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value);

// A column of the current row as text.
inline QString columnText(sqlite3_stmt* stmt, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, column));
}

// The name under which a writable cursor's statement returns the rowid.
inline constexpr const char* rowidAlias = "hm52_rowid_";

} // namespace hm52::sqlite
