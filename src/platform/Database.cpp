#include "platform/Database.h"

#include "platform/ReadConnection.h"

#include "platform/Sqlite.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace hm52 {

using sqlite::Statement;

namespace {

constexpr int busyTimeoutMs = 3000;

QString engineText(sqlite3* db, int rc) {
    if (db != nullptr) {
        return QString::fromUtf8(sqlite3_errmsg(db));
    }
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// The extended code of a failure: the connection's own when it names the same failure.
int extendedOf(sqlite3* db, int rc) {
    if (db != nullptr) {
        const int extended = sqlite3_extended_errcode(db);
        if (rc == 0 || (extended & 0xff) == (rc & 0xff)) {
            return extended;
        }
    }
    return rc;
}

} // namespace

namespace sqlite {

void bindValue(sqlite3_stmt* stmt, int index, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(stmt, index);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Bool:
        sqlite3_bind_int64(stmt, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(stmt, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
        break;
    }
    default: {
        if (value.isNull() && value.typeId() != QMetaType::QString) {
            sqlite3_bind_null(stmt, index);
            break;
        }
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                          SQLITE_TRANSIENT);
        break;
    }
    }
}

} // namespace sqlite

QString quoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

// ---------------------------------------------------------------------------------------
// Database

Database::~Database() {
    close();
}

void Database::open(const QString& path, OpenMode mode) {
    close();
    readOnly_ = mode == OpenMode::ReadOnly;
    // One thread uses a connection: the engine need not lock it against others.
    const int flags =
        (readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineText(db, rc);
        const int code = extendedOf(db, rc);
        sqlite3_close(db);
        throw DbError(message, code);
    }
    db_ = db;
    path_ = path;
    ++generation_;
    configure();
    try {
        // Reading the header proves the file is an SQLite database and not locked away.
        execute(QStringLiteral("PRAGMA schema_version"));
        if (!readOnly_) {
            execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
            execute(QStringLiteral("PRAGMA synchronous=FULL"));
        }
    } catch (...) {
        close();
        throw;
    }
}

void Database::create(const QString& path) {
    close();
    if (QFileInfo::exists(path)) {
        throw DbError(QStringLiteral("%1 already exists").arg(path));
    }
    sqlite3* db = nullptr;
    const int rc =
        sqlite3_open_v2(path.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineText(db, rc);
        const int code = extendedOf(db, rc);
        sqlite3_close(db);
        throw DbError(message, code);
    }
    db_ = db;
    path_ = path;
    ++generation_;
    readOnly_ = false;
    configure();
    execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
    execute(QStringLiteral("PRAGMA synchronous=FULL"));
}

void Database::configure() {
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    // A double-quoted name is always a name: a misspelt column must fail, not turn into a
    // string literal.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // Up to 80 MiB of pages kept in memory (the cache grows only as pages are read): the index
    // of a listing order of a million QSOs (some 30 MiB) stays read beside the counter's, so
    // listing again does not hang on the system still caching the file.
    sqlite3_exec(db_, "PRAGMA cache_size = -81920", nullptr, nullptr, nullptr);
}

void Database::close() {
    for (sqlite3_stmt* stmt : std::as_const(statements_)) {
        sqlite3_finalize(stmt);
    }
    statements_.clear();
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    columnCache_.clear();
    path_.clear();
}

void Database::fail(int rc, const QString& message) const {
    QString text = !message.isEmpty() ? message
                   : db_ != nullptr   ? QString::fromUtf8(sqlite3_errmsg(db_))
                                      : QStringLiteral("the database is not open");
    const int extended = extendedOf(db_, rc);
    const int code = extended & 0xff;
    if ((code == SQLITE_CORRUPT || code == SQLITE_NOTADB) && gate_ != nullptr) {
        const QString told = gate_->damaged(text);
        if (!told.isEmpty()) {
            text += QStringLiteral("\n\n") + told;
        }
    }
    throw DbError(text, extended);
}

void Database::requireWrite() {
    if (gate_ != nullptr) {
        gate_->beforeWrite();
    }
}

sqlite3_stmt* Database::prepare(const QString& sql) {
    if (db_ == nullptr) {
        fail();
    }
    if (gate_ != nullptr) {
        gate_->beforeRead();
    }
    const auto cached = statements_.find(sql);
    if (cached != statements_.end()) {
        sqlite3_stmt* stmt = cached.value();
        statements_.erase(cached);
        return stmt;
    }
    const SqlText parsed = parseLiterals(sql);
    const QByteArray utf8 = parsed.text.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(db_, utf8.constData(), static_cast<int>(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail(rc);
    }
    if (stmt == nullptr) {
        throw DbError(QStringLiteral("empty SQL text"));
    }
    for (size_t i = 0; i < parsed.literals.size(); ++i) {
        const QByteArray value = parsed.literals[i].toUtf8();
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), value.constData(),
                          static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    return stmt;
}

void Database::release(sqlite3_stmt* stmt, const QString& sql) {
    if (stmt == nullptr) {
        return;
    }
    // Kept for the next use of the same text, a few dozen at most; reset, it holds no lock.
    constexpr int kept = 64;
    // A statement of a connection closed meanwhile (the log was reopened) is not kept.
    if (db_ == nullptr || sqlite3_db_handle(stmt) != db_ || statements_.size() >= kept) {
        sqlite3_finalize(stmt);
        return;
    }
    sqlite3_reset(stmt);
    statements_.insert(sql, stmt);
}

namespace {
constexpr size_t remembered = 64;
}

void Database::watchChanges(const char* table) {
    watched_ = table;
    recent_.assign(remembered, 0);
    sqlite3_update_hook(db_, &Database::changed, this);
}

void Database::changed(void* self, int /*operation*/, const char* /*database*/, const char* table,
                       long long rowid) {
    auto* db = static_cast<Database*>(self);
    if (qstricmp(table, db->watched_.constData()) == 0) {
        db->recent_[static_cast<size_t>(db->changeSerial_) % remembered] = rowid;
        ++db->changeSerial_;
    }
}

bool Database::changedSince(qint64 serial, std::vector<qint64>& rowids) const {
    rowids.clear();
    if (changeSerial_ - serial > static_cast<qint64>(remembered) || serial > changeSerial_) {
        return false;
    }
    for (qint64 at = serial; at < changeSerial_; ++at) {
        rowids.push_back(recent_[static_cast<size_t>(at) % remembered]);
    }
    return true;
}

qint64 Database::dataVersion() {
    return scalar(QStringLiteral("PRAGMA data_version")).toLongLong();
}

// The text literals of a query become bound parameters: 'PIAN D''OLMO' is handed to the
// engine as the value PIAN D'OLMO, so any text (a NUL or a lone quote included) reaches the
// table exactly as typed, and the statement text never carries data.
SqlText parseLiterals(const QString& sql) {
    SqlText result;
    static const QRegularExpression dml(QStringLiteral(R"(^\s*(select|insert|update|delete)\b)"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (!dml.match(sql).hasMatch()) {
        result.text = sql;
        return result;
    }
    result.text.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    // Copies a quoted name ("..." [...] `...`) through unchanged.
    auto copyQuoted = [&](QChar close) {
        result.text += sql.at(i++);
        while (i < n) {
            const QChar c = sql.at(i++);
            result.text += c;
            if (c == close) {
                if (close == u']' || i >= n || sql.at(i) != close) {
                    return;
                }
                result.text += sql.at(i++);
            }
        }
    };
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == u'\'') {
            QString value;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                const QChar d = sql.at(j++);
                if (d == u'\'') {
                    if (j < n && sql.at(j) == u'\'') {
                        value += u'\'';
                        ++j;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += d;
            }
            if (!closed) {
                // An unterminated literal: leave it for the engine to reject in its own words.
                result.text += sql.mid(i);
                return result;
            }
            result.literals.push_back(std::move(value));
            result.text += u'?' + QString::number(result.literals.size());
            i = j;
        } else if (c == u'"') {
            copyQuoted(u'"');
        } else if (c == u'[') {
            copyQuoted(u']');
        } else if (c == u'`') {
            copyQuoted(u'`');
        } else {
            result.text += c;
            ++i;
        }
    }
    return result;
}

void Database::setBusyTimeout(int milliseconds) {
    if (db_ != nullptr) {
        sqlite3_busy_timeout(db_, milliseconds);
    }
}

bool Database::inTransaction() const {
    return db_ != nullptr && sqlite3_get_autocommit(db_) == 0;
}

// Runs a statement that changes the file. Outside a transaction it gets one of its own:
// an implicit transaction would stay uncommitted for as long as any other cursor of this
// connection is still stepping, and a crash meanwhile would lose the change.
void Database::runWrite(sqlite3_stmt* stmt) {
    if (sqlite3_stmt_readonly(stmt) == 0) {
        requireWrite();
    }
    const bool own = !inTransaction() && sqlite3_stmt_readonly(stmt) == 0;
    if (own) {
        control("BEGIN IMMEDIATE");
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE) {
        // Read before the reset and the rollback, which overwrite them.
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        const int extended = sqlite3_extended_errcode(db_);
        sqlite3_reset(stmt);
        if (own) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        fail(extended, message);
    }
    sqlite3_reset(stmt);
    if (own) {
        control("COMMIT");
    }
}

void Database::control(const char* sql) {
    if (db_ == nullptr) {
        fail();
    }
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        const int extended = sqlite3_extended_errcode(db_);
        if (qstrcmp(sql, "COMMIT") == 0 && inTransaction()) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        fail(extended, message);
    }
}

void Database::execute(const QString& sql) {
    Statement s(*this, sql);
    static const QRegularExpression direct(
        QStringLiteral(R"(^\s*(pragma|begin|commit|end|rollback|savepoint|release)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    const bool control = sqlite3_stmt_readonly(s.stmt) != 0 || direct.match(sql).hasMatch();
    if (control) {
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW) {
            rc = sqlite3_step(s.stmt);
        }
        if (rc != SQLITE_DONE) {
            fail(rc);
        }
        return;
    }
    runWrite(s.stmt);
}

QVariant Database::scalar(const QString& sql) {
    Statement s(*this, sql);
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_DONE) {
        return {};
    }
    if (rc != SQLITE_ROW) {
        fail(rc);
    }
    switch (sqlite3_column_type(s.stmt, 0)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(s.stmt, 0)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s.stmt, 0));
    case SQLITE_NULL:
        return {};
    default:
        return QVariant(sqlite::columnText(s.stmt, 0));
    }
}

void Database::readThrough(const QString& sql) {
    Statement s(*this, sql);
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(s.stmt);
    }
    if (rc != SQLITE_DONE) {
        fail(rc);
    }
}

void Database::requireColumns(const QString& table, const QStringList& columnNames) {
    QStringList quoted;
    for (const QString& name : columnNames) {
        quoted << quoteIdentifier(name);
    }
    // Preparing is enough: the engine names a missing table or column itself.
    Statement s(*this, QStringLiteral("select %1 from %2 limit 0")
                           .arg(quoted.join(QStringLiteral(", ")), quoteIdentifier(table)));
}

const std::vector<Column>& Database::columns(const QString& table) {
    const QString key = table.toLower();
    auto found = columnCache_.constFind(key);
    if (found != columnCache_.constEnd()) {
        return found.value();
    }
    Statement s(*this, QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table)));
    std::vector<Column> result;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        result.push_back({sqlite::columnText(s.stmt, 1), sqlite::columnText(s.stmt, 2)});
    }
    if (rc != SQLITE_DONE) {
        fail();
    }
    if (result.empty()) {
        throw DbError(QStringLiteral("no such table: %1").arg(table));
    }
    return columnCache_.insert(key, result).value();
}

// ---------------------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : db_(db) {
    if (db_.inTransaction()) {
        throw DbError(QStringLiteral("a transaction is already open"));
    }
    db_.requireWrite();
    db_.control("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_ && db_.handle() != nullptr && db_.inTransaction()) {
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit() {
    done_ = true;
    db_.control("COMMIT");
}

CopyEnd Database::copyTo(const QString& target, const std::atomic_bool* cancel) {
    return copyPages(db_, target, cancel);
}

} // namespace hm52
