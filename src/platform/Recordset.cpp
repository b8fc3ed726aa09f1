#include "platform/Database.h"

#include "platform/DateText.h"
#include "platform/Sqlite.h"

#include <QRegularExpression>

#include <algorithm>

namespace hm52 {

using sqlite::rowidAlias;
using sqlite::Statement;

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
    statementText_ = statementText;
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

Recordset::Recordset(Database& db, const QString& selectAll, KeysOnly) : db_(db), sql_(selectAll) {
    const auto s = selectAllPattern().match(selectAll);
    if (!s.hasMatch()) {
        throw DbError(QStringLiteral("not a query of a table's rows: %1").arg(selectAll));
    }
    table_ = s.captured(1);
    const int starAt = static_cast<int>(selectAll.indexOf(u'*'));
    statementText_ =
        selectAll.left(starAt) +
        QStringLiteral("%1.rowid as %2").arg(quoteIdentifier(table_), QLatin1String(rowidAlias)) +
        selectAll.mid(starAt + 1);
    stmt_ = db_.prepare(statementText_);
    rowidColumn_ = 0;
    step();
}

qint64 Recordset::rowid() const {
    requireRow();
    if (rowidColumn_ < 0) {
        throw DbError(QStringLiteral("the rows of this query have no key"));
    }
    return columnInt(rowidColumn_);
}

void Recordset::bind(const char* parameter, qint64 value) {
    rewind();
    const int index = sqlite3_bind_parameter_index(stmt_, parameter);
    if (index == 0) {
        throw DbError(QStringLiteral("no parameter %1").arg(QLatin1String(parameter)));
    }
    sqlite3_bind_int64(stmt_, index, value);
    step();
}

void Recordset::finish() {
    rewind();
}

void Recordset::readKeys(std::vector<qint32>& keys, size_t& count) {
    if (rowidColumn_ < 0) {
        throw DbError(QStringLiteral("the rows of this query have no key"));
    }
    if (detached_) {
        keys.resize(std::max(keys.size(), count + 1));
        keys[count++] = static_cast<qint32>(columnInt(rowidColumn_));
        moveNext();
    }
    // The plain loop of the engine: one step and one read per row.
    int rc = onRow_ ? SQLITE_ROW : SQLITE_DONE;
    while (rc == SQLITE_ROW) {
        if (count >= keys.size()) {
            keys.resize(std::max<size_t>(2 * keys.size(), 1024)); // the log grew meanwhile
        }
        keys[count++] = static_cast<qint32>(sqlite3_column_int64(stmt_, rowidColumn_));
        ++position_;
        rc = sqlite3_step(stmt_);
    }
    onRow_ = false;
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
        const int extended = sqlite3_extended_errcode(db_.handle());
        sqlite3_reset(stmt_);
        db_.fail(extended, message);
    }
    sqlite3_reset(stmt_);
}

Recordset::~Recordset() {
    db_.release(stmt_, statementText_);
}

void Recordset::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) {
        onRow_ = true;
        ++position_;
        return;
    }
    onRow_ = false;
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_.handle()));
        const int extended = sqlite3_extended_errcode(db_.handle());
        sqlite3_reset(stmt_);
        db_.fail(extended, message);
    }
    // Finished: release the statement's read lock at once.
    sqlite3_reset(stmt_);
}

void Recordset::rewind() {
    sqlite3_reset(stmt_);
    detached_ = false;
    cache_.clear();
    position_ = -1;
    onRow_ = false;
    editing_ = Editing::None;
}

void Recordset::release() {
    if (!onRow_ || detached_) {
        return;
    }
    const int columns = sqlite3_column_count(stmt_);
    cache_.assign(static_cast<size_t>(columns), Cell{});
    for (int c = 0; c < columns; ++c) {
        Cell& cell = cache_[static_cast<size_t>(c)];
        cell.type = sqlite3_column_type(stmt_, c);
        switch (cell.type) {
        case SQLITE_INTEGER:
            cell.integer = sqlite3_column_int64(stmt_, c);
            break;
        case SQLITE_FLOAT:
            cell.real = sqlite3_column_double(stmt_, c);
            break;
        case SQLITE_NULL:
            break;
        default: {
            const auto* bytes = static_cast<const char*>(
                cell.type == SQLITE_BLOB ? sqlite3_column_blob(stmt_, c)
                                         : static_cast<const void*>(sqlite3_column_text(stmt_, c)));
            cell.bytes = QByteArray(bytes, sqlite3_column_bytes(stmt_, c));
            break;
        }
        }
    }
    sqlite3_reset(stmt_);
    detached_ = true;
}

void Recordset::moveFirst() {
    rewind();
    step();
}

void Recordset::moveNext() {
    requireRow();
    editing_ = Editing::None;
    if (detached_) {
        // The query runs again, up to the row after the one that was current.
        const qint64 target = position_ + 1;
        rewind();
        while (position_ < target) {
            step();
            if (!onRow_) {
                return;
            }
        }
        return;
    }
    step();
}

void Recordset::moveLast() {
    // Count the rows, then step to the last one: two passes over the statement, nothing
    // copied into memory.
    rewind();
    qint64 rows = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt_)) == SQLITE_ROW) {
        ++rows;
    }
    sqlite3_reset(stmt_);
    if (rc != SQLITE_DONE) {
        db_.fail(rc);
    }
    for (qint64 i = 0; i < rows; ++i) {
        step();
        if (!onRow_) {
            break; // the table shrank between the passes
        }
    }
}

int Recordset::columnType(int column) const {
    return detached_ ? cache_.at(static_cast<size_t>(column)).type
                     : sqlite3_column_type(stmt_, column);
}

qint64 Recordset::columnInt(int column) const {
    if (!detached_) {
        return sqlite3_column_int64(stmt_, column);
    }
    const Cell& cell = cache_.at(static_cast<size_t>(column));
    return cell.type == SQLITE_INTEGER ? cell.integer
           : cell.type == SQLITE_FLOAT ? static_cast<qint64>(cell.real)
                                       : cell.bytes.toLongLong();
}

double Recordset::columnReal(int column) const {
    if (!detached_) {
        return sqlite3_column_double(stmt_, column);
    }
    const Cell& cell = cache_.at(static_cast<size_t>(column));
    return cell.type == SQLITE_FLOAT     ? cell.real
           : cell.type == SQLITE_INTEGER ? static_cast<double>(cell.integer)
                                         : cell.bytes.toDouble();
}

QByteArrayView Recordset::columnBytes(int column) const {
    if (detached_) {
        const Cell& cell = cache_.at(static_cast<size_t>(column));
        if (cell.type == SQLITE_INTEGER || cell.type == SQLITE_FLOAT) {
            // As the engine would hand a number over as text.
            cell.bytes = cell.type == SQLITE_INTEGER ? QByteArray::number(cell.integer)
                                                     : QByteArray::number(cell.real, 'g', 15);
        }
        return cell.bytes;
    }
    const auto* bytes = static_cast<const char*>(
        sqlite3_column_type(stmt_, column) == SQLITE_BLOB
            ? sqlite3_column_blob(stmt_, column)
            : static_cast<const void*>(sqlite3_column_text(stmt_, column)));
    return bytes == nullptr ? QByteArrayView()
                            : QByteArrayView(bytes, sqlite3_column_bytes(stmt_, column));
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
    switch (columnType(f.statementColumn)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        if (f.kind == Field::Plain) {
            return QVariant(static_cast<qlonglong>(columnInt(f.statementColumn)));
        }
        break;
    case SQLITE_FLOAT:
        if (f.kind == Field::Plain) {
            return QVariant(columnReal(f.statementColumn));
        }
        break;
    case SQLITE_BLOB:
        return QVariant(columnBytes(f.statementColumn).toByteArray());
    default:
        break;
    }
    return QVariant(textAt(index));
}

QString Recordset::textAt(int index) const {
    requireRow();
    const Field& f = fields_.at(static_cast<size_t>(index));
    if (columnType(f.statementColumn) == SQLITE_NULL) {
        return {};
    }
    QString text = QString::fromUtf8(columnBytes(f.statementColumn));
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

bool Recordset::nullAt(int index) const {
    requireRow();
    return columnType(fields_.at(static_cast<size_t>(index)).statementColumn) == SQLITE_NULL;
}

qint64 Recordset::intAt(int index) const {
    requireRow();
    return columnInt(fields_.at(static_cast<size_t>(index)).statementColumn);
}

double Recordset::realAt(int index) const {
    requireRow();
    return columnReal(fields_.at(static_cast<size_t>(index)).statementColumn);
}

QByteArrayView Recordset::utf8At(int index) const {
    requireRow();
    return columnBytes(fields_.at(static_cast<size_t>(index)).statementColumn);
}

void Recordset::requireWritable() const {
    if (table_.isEmpty()) {
        throw DbError(QStringLiteral("Cannot update. Database or object is read-only."));
    }
    db_.requireWrite();
    if (db_.readOnly()) {
        throw DbError(QStringLiteral("attempt to write a readonly database"), SQLITE_READONLY);
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
    editRowid_ = columnInt(rowidColumn_);
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
    Statement s(db_, sql);
    int index = 1;
    for (const auto& entry : pending_) {
        sqlite::bindValue(s.stmt, index++, entry.second);
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
    Statement s(db_, QStringLiteral("delete from %1 where rowid = ?").arg(quoteIdentifier(table_)));
    sqlite3_bind_int64(s.stmt, 1, columnInt(rowidColumn_));
    editing_ = Editing::None;
    db_.runWrite(s.stmt);
}

} // namespace hm52
