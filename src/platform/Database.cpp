#include "platform/Database.h"

#include "platform/DateText.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

namespace hm52 {

namespace {

constexpr int busyTimeoutMs = 3000;
const char* const rowidAlias = "hm52_rowid_";

QString engineText(sqlite3* db, int rc) {
    if (db != nullptr) {
        return QString::fromUtf8(sqlite3_errmsg(db));
    }
    return QString::fromUtf8(sqlite3_errstr(rc));
}

// RAII for statements that live only inside one call.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

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

QString columnText(sqlite3_stmt* stmt, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(stmt, column));
}

} // namespace

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
    const int flags = readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineText(db, rc);
        sqlite3_close(db);
        throw DbError(message);
    }
    db_ = db;
    path_ = path;
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
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = engineText(db, rc);
        sqlite3_close(db);
        throw DbError(message);
    }
    db_ = db;
    path_ = path;
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
    // Up to 32 MiB of pages kept in memory (the cache grows only as pages are read), so a
    // listing of a large log in an order that no index covers does not read the file again
    // page by page for every row.
    sqlite3_exec(db_, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
}

void Database::close() {
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    columnCache_.clear();
    path_.clear();
}

void Database::fail(const QString& context) const {
    QString message = db_ != nullptr ? QString::fromUtf8(sqlite3_errmsg(db_))
                                     : QStringLiteral("the database is not open");
    if (!context.isEmpty()) {
        message += QStringLiteral(" (") + context + u')';
    }
    throw DbError(message);
}

sqlite3_stmt* Database::prepare(const QString& sql) {
    if (db_ == nullptr) {
        fail();
    }
    const SqlText parsed = parseLiterals(sql);
    const QByteArray utf8 = parsed.text.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc =
        sqlite3_prepare_v2(db_, utf8.constData(), static_cast<int>(utf8.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        fail();
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

bool Database::inTransaction() const {
    return db_ != nullptr && sqlite3_get_autocommit(db_) == 0;
}

// Runs a statement that changes the file. Outside a transaction it gets one of its own:
// an implicit transaction would stay uncommitted for as long as any other cursor of this
// connection is still stepping, and a crash meanwhile would lose the change.
void Database::runWrite(sqlite3_stmt* stmt) {
    const bool own = !inTransaction() && sqlite3_stmt_readonly(stmt) == 0;
    if (own) {
        control("BEGIN IMMEDIATE");
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_reset(stmt);
        if (own) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        throw DbError(message);
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
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        if (qstrcmp(sql, "COMMIT") == 0 && inTransaction()) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        throw DbError(message);
    }
}

void Database::execute(const QString& sql) {
    Statement s{prepare(sql)};
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
            fail();
        }
        return;
    }
    runWrite(s.stmt);
}

QVariant Database::scalar(const QString& sql) {
    Statement s{prepare(sql)};
    const int rc = sqlite3_step(s.stmt);
    if (rc == SQLITE_DONE) {
        return {};
    }
    if (rc != SQLITE_ROW) {
        fail();
    }
    switch (sqlite3_column_type(s.stmt, 0)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_column_int64(s.stmt, 0)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(s.stmt, 0));
    case SQLITE_NULL:
        return {};
    default:
        return QVariant(columnText(s.stmt, 0));
    }
}

void Database::requireColumns(const QString& table, const QStringList& columnNames) {
    QStringList quoted;
    for (const QString& name : columnNames) {
        quoted << quoteIdentifier(name);
    }
    // Preparing is enough: the engine names a missing table or column itself.
    Statement s{prepare(QStringLiteral("select %1 from %2 limit 0")
                            .arg(quoted.join(QStringLiteral(", ")), quoteIdentifier(table)))};
}

const std::vector<Column>& Database::columns(const QString& table) {
    const QString key = table.toLower();
    auto found = columnCache_.constFind(key);
    if (found != columnCache_.constEnd()) {
        return found.value();
    }
    Statement s{prepare(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table)))};
    std::vector<Column> result;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        result.push_back({columnText(s.stmt, 1), columnText(s.stmt, 2)});
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

// ---------------------------------------------------------------------------------------
// Recordset

namespace {

const QRegularExpression& tableNamePattern() {
    static const QRegularExpression re(QStringLiteral(R"(^\s*([A-Za-z_][A-Za-z0-9_]*)\s*;?\s*$)"));
    return re;
}

// "select * from <table>" optionally followed by where / order by / ";": a cursor over one
// table's own rows, which can therefore write them back.
const QRegularExpression& selectAllPattern() {
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(\s+(where|order)\b.*|\s*;?\s*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return re;
}

} // namespace

Recordset::Recordset(Database& db, const QString& sqlOrTable) : db_(db), sql_(sqlOrTable) {
    QString statementText = sqlOrTable;
    if (const auto m = tableNamePattern().match(sqlOrTable); m.hasMatch()) {
        table_ = m.captured(1);
        statementText = QStringLiteral("select rowid as %1, * from %2")
                            .arg(QLatin1String(rowidAlias), quoteIdentifier(table_));
    } else if (const auto s = selectAllPattern().match(sqlOrTable); s.hasMatch()) {
        table_ = s.captured(1);
        const int starAt = static_cast<int>(sqlOrTable.indexOf(u'*'));
        statementText = sqlOrTable.left(starAt) +
                        QStringLiteral("%1.rowid as %2, *")
                            .arg(quoteIdentifier(table_), QLatin1String(rowidAlias)) +
                        sqlOrTable.mid(starAt + 1);
    }
    stmt_ = db_.prepare(statementText);

    const int columns = sqlite3_column_count(stmt_);
    for (int c = 0; c < columns; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt_, c));
        if (!table_.isEmpty() && c == 0 && name == QLatin1String(rowidAlias)) {
            rowidColumn_ = 0;
            continue;
        }
        const char* declared = sqlite3_column_decltype(stmt_, c);
        Field::Kind kind = Field::Plain;
        if (declared != nullptr) {
            if (qstricmp(declared, "DATE") == 0) {
                kind = Field::Date;
            } else if (qstricmp(declared, "TIME") == 0) {
                kind = Field::Time;
            }
        }
        const QString key = name.toLower();
        if (!byName_.contains(key)) {
            byName_.insert(key, static_cast<int>(fields_.size()));
        }
        fields_.push_back({name, c, kind});
    }
    if (!table_.isEmpty() && rowidColumn_ < 0) {
        table_.clear();
    }
    step();
}

Recordset::~Recordset() {
    sqlite3_finalize(stmt_);
}

void Recordset::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        onRow_ = true;
        return;
    }
    onRow_ = false;
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
        sqlite3_reset(stmt_);
        throw DbError(message);
    }
    // Finished: release the statement's read lock at once.
    sqlite3_reset(stmt_);
}

void Recordset::moveFirst() {
    sqlite3_reset(stmt_);
    editing_ = Editing::None;
    step();
}

void Recordset::moveNext() {
    requireRow();
    editing_ = Editing::None;
    step();
}

void Recordset::moveLast() {
    // Count the rows, then step to the last one: two passes over the statement, nothing
    // copied into memory.
    sqlite3_reset(stmt_);
    editing_ = Editing::None;
    qint64 rows = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        ++rows;
    }
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE) {
        db_.fail();
    }
    onRow_ = false;
    for (qint64 i = 0; i < rows; ++i) {
        step();
        if (!onRow_) {
            break; // the table shrank between the passes
        }
    }
}

void Recordset::requireRow() const {
    if (!onRow_) {
        throw DbError(QStringLiteral("No current record."));
    }
}

int Recordset::fieldIndex(const QString& name) const {
    return byName_.value(name.toLower(), -1);
}

QString Recordset::fieldName(int index) const {
    return fields_.at(static_cast<size_t>(index)).name;
}

QVariant Recordset::field(const QString& name) const {
    const int index = fieldIndex(name);
    if (index < 0) {
        throw DbError(QStringLiteral("Item not found in this collection: %1").arg(name));
    }
    return value(index);
}

QVariant Recordset::value(int index) const {
    requireRow();
    const Field& f = fields_.at(static_cast<size_t>(index));
    switch (sqlite3_column_type(stmt_, f.statementColumn)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        if (f.kind == Field::Plain) {
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(stmt_, f.statementColumn)));
        }
        break;
    case SQLITE_FLOAT:
        if (f.kind == Field::Plain) {
            return QVariant(sqlite3_column_double(stmt_, f.statementColumn));
        }
        break;
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, f.statementColumn)),
                       sqlite3_column_bytes(stmt_, f.statementColumn)));
    default:
        break;
    }
    return QVariant(textAt(index));
}

QString Recordset::textAt(int index) const {
    requireRow();
    const Field& f = fields_.at(static_cast<size_t>(index));
    if (sqlite3_column_type(stmt_, f.statementColumn) == SQLITE_NULL) {
        return {};
    }
    QString text = columnText(stmt_, f.statementColumn);
    switch (f.kind) {
    case Field::Date:
        return datetext::readDate(text);
    case Field::Time:
        return datetext::readTime(text);
    case Field::Plain:
        break;
    }
    return text;
}

qint64 Recordset::intAt(int index) const {
    requireRow();
    return sqlite3_column_int64(stmt_, fields_.at(static_cast<size_t>(index)).statementColumn);
}

QByteArrayView Recordset::utf8At(int index) const {
    requireRow();
    const int column = fields_.at(static_cast<size_t>(index)).statementColumn;
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return bytes == nullptr ? QByteArrayView()
                            : QByteArrayView(bytes, sqlite3_column_bytes(stmt_, column));
}

void Recordset::requireWritable() const {
    if (table_.isEmpty()) {
        throw DbError(QStringLiteral("Cannot update. Database or object is read-only."));
    }
    if (db_.readOnly()) {
        throw DbError(QStringLiteral("attempt to write a readonly database"));
    }
}

void Recordset::addNew() {
    requireWritable();
    editing_ = Editing::Adding;
    pending_.clear();
}

void Recordset::edit() {
    requireWritable();
    requireRow();
    editing_ = Editing::Changing;
    editRowid_ = sqlite3_column_int64(stmt_, rowidColumn_);
    pending_.clear();
}

QVariant Recordset::bindable(const QString& column, const QVariant& value) const {
    if (value.isNull() || value.typeId() != QMetaType::QString) {
        return value;
    }
    for (const Column& c : db_.columns(table_)) {
        if (c.name.compare(column, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (c.declaredType.compare(QLatin1String("DATE"), Qt::CaseInsensitive) == 0) {
            const QString stored = datetext::storedDate(value.toString());
            if (stored.isEmpty()) {
                throw DbError(QStringLiteral("Data type conversion error: '%1' is not a date")
                                  .arg(value.toString()));
            }
            return stored;
        }
        if (c.declaredType.compare(QLatin1String("TIME"), Qt::CaseInsensitive) == 0) {
            const QString stored = datetext::storedTime(value.toString());
            if (stored.isEmpty()) {
                throw DbError(QStringLiteral("Data type conversion error: '%1' is not a time")
                                  .arg(value.toString()));
            }
            return stored;
        }
        return value;
    }
    throw DbError(QStringLiteral("Item not found in this collection: %1").arg(column));
}

void Recordset::setField(const QString& name, const QVariant& value) {
    if (editing_ == Editing::None) {
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    }
    QVariant stored = bindable(name, value);
    for (auto& [column, pendingValue] : pending_) {
        if (column.compare(name, Qt::CaseInsensitive) == 0) {
            pendingValue = std::move(stored);
            return;
        }
    }
    pending_.emplace_back(name, std::move(stored));
}

void Recordset::update() {
    if (editing_ == Editing::None) {
        throw DbError(QStringLiteral("Update or CancelUpdate without AddNew or Edit."));
    }
    QStringList names;
    QStringList slots;
    for (const auto& entry : pending_) {
        names << quoteIdentifier(entry.first);
        slots << QStringLiteral("?");
    }
    QString sql;
    if (editing_ == Editing::Adding) {
        sql = names.isEmpty()
                  ? QStringLiteral("insert into %1 default values").arg(quoteIdentifier(table_))
                  : QStringLiteral("insert into %1 (%2) values (%3)")
                        .arg(quoteIdentifier(table_), names.join(u','), slots.join(u','));
    } else {
        QStringList assignments;
        for (const QString& name : names) {
            assignments << name + QStringLiteral(" = ?");
        }
        if (assignments.isEmpty()) {
            editing_ = Editing::None;
            return;
        }
        sql = QStringLiteral("update %1 set %2 where rowid = ?")
                  .arg(quoteIdentifier(table_), assignments.join(QStringLiteral(", ")));
    }
    Statement s{db_.prepare(sql)};
    int index = 1;
    for (const auto& entry : pending_) {
        bindValue(s.stmt, index++, entry.second);
    }
    if (editing_ == Editing::Changing) {
        sqlite3_bind_int64(s.stmt, index, editRowid_);
    }
    editing_ = Editing::None;
    pending_.clear();
    db_.runWrite(s.stmt);
}

void Recordset::deleteRow() {
    requireWritable();
    requireRow();
    Statement s{
        db_.prepare(QStringLiteral("delete from %1 where rowid = ?").arg(quoteIdentifier(table_)))};
    sqlite3_bind_int64(s.stmt, 1, sqlite3_column_int64(stmt_, rowidColumn_));
    editing_ = Editing::None;
    db_.runWrite(s.stmt);
}

} // namespace hm52
