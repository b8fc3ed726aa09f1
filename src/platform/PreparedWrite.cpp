#include "platform/PreparedWrite.h"

#include "platform/Database.h"
#include "platform/Sqlite.h"

#include <optional>

namespace hm52 {

PreparedWrite::PreparedWrite(Database& db, const QString& sql) : db_(db) {
    if (!db_.isOpen()) {
        db_.fail();
    }
    if (!parseLiterals(sql).literals.empty()) {
        throw DbError(QStringLiteral("a prepared change takes its values as parameters only"));
    }
    if (db_.gate() != nullptr) {
        db_.gate()->beforeRead();
    }
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db_.handle(), utf8.constData(), static_cast<int>(utf8.size()),
                                      &stmt_, nullptr);
    if (rc != SQLITE_OK || stmt_ == nullptr) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
        const int extended = sqlite3_extended_errcode(db_.handle());
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        db_.fail(rc != SQLITE_OK ? extended : 0,
                 rc != SQLITE_OK ? message : QStringLiteral("empty SQL text"));
    }
}

PreparedWrite::~PreparedWrite() {
    sqlite3_finalize(stmt_);
}

PreparedWrite& PreparedWrite::bind(int index, qint64 value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

PreparedWrite& PreparedWrite::bindReal(int index, double value) {
    sqlite3_bind_double(stmt_, index, value);
    return *this;
}

PreparedWrite& PreparedWrite::bind(int index, const QString& text) {
    if (text.isNull()) {
        return bindNull(index);
    }
    return bindUtf8(index, text.toUtf8());
}

PreparedWrite& PreparedWrite::bindUtf8(int index, QByteArrayView utf8) {
    // An empty view may have no data pointer; the engine takes that for NULL.
    sqlite3_bind_text(stmt_, index, utf8.data() != nullptr ? utf8.data() : "",
                      static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

PreparedWrite& PreparedWrite::bindBlob(int index, QByteArrayView bytes) {
    sqlite3_bind_blob(stmt_, index, bytes.data() != nullptr ? bytes.data() : "",
                      static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

PreparedWrite& PreparedWrite::bindNull(int index) {
    sqlite3_bind_null(stmt_, index);
    return *this;
}

void PreparedWrite::run() {
    db_.requireWrite();
    // Outside a transaction the change gets one of its own, committed before run() returns.
    std::optional<Transaction> own;
    if (!db_.inTransaction()) {
        own.emplace(db_);
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt_);
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
        const int extended = sqlite3_extended_errcode(db_.handle());
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        db_.fail(extended, message);
    }
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    if (own) {
        own->commit();
    }
}

qint64 PreparedWrite::changes() const {
    return sqlite3_changes64(db_.handle());
}

} // namespace hm52
