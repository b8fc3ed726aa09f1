#pragma once

#include "platform/Failure.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace hm52::sqlite {
struct Statement;
}

// The engine layer: the program talks to its tables with SQL text and cursors; this layer
// runs them on SQLite safely (every write goes through bound parameters, every change is
// committed before the call returns) and fast (cursors step their statement lazily).
namespace hm52 {

enum class OpenMode {
    ReadWrite, // an existing file, read and written; a missing file fails the open
    ReadOnly,  // an existing file, only read
};

// How a copy of a database's pages ended.
enum class CopyEnd {
    Done,    // every page is in the new file
    Stopped, // the caller asked it to stop; the new file is incomplete
};

// A column of a table: its name and declared type ("DATE" and "TIME" columns travel as
// text forms, see DateText.h).
struct Column {
    QString name;
    QString declaredType;
};

// What a connection tells and asks whoever keeps the log: whether a statement may run now,
// whether a change may be made, and that the engine found the file damaged.
class Gate {
public:
    virtual ~Gate() = default;
    // Before any statement is prepared (it may wait for the log's check to end).
    virtual void beforeRead() {}
    // Before any change of the file; refuses it by throwing DbError.
    virtual void beforeWrite() {}
    // The engine reported the file damaged; returns what the operator is told besides the
    // engine's text (empty for nothing).
    virtual QString damaged(const QString& /*engineText*/) { return {}; }
};

class Database {
public:
    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens an existing SQLite file. Throws DbError with the engine's text when the file is
    // missing, unreadable, locked or not a database. Nothing is ever created here.
    void open(const QString& path, OpenMode mode);
    // Creates a new, empty database file; throws when the file already exists.
    void create(const QString& path);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const QString& path() const { return path_; }
    bool readOnly() const { return readOnly_; }
    // Grows with every opening: a cursor made before the file was reopened is not used again.
    int generation() const { return generation_; }

    // Runs statements that return no rows (schema, pragmas). A write outside a transaction
    // is committed at once.
    void execute(const QString& sql);
    // Runs a query and returns the first column of its first row (invalid when none).
    QVariant scalar(const QString& sql);
    // Steps a query to its end and keeps nothing: the pages it reads stay in the cache.
    void readThrough(const QString& sql);
    // Checks that each table exists with at least the given columns; throws DbError with
    // the engine's text ("no such table: data", "no such column: qsl") otherwise.
    void requireColumns(const QString& table, const QStringList& columnNames);

    // Columns of a table, in table order, cached for the life of the connection.
    const std::vector<Column>& columns(const QString& table);

    // Statements kept prepared for the next use of their text.
    qsizetype cachedStatements() const { return statements_.size(); }

    bool inTransaction() const;
    // How long a statement waits for another connection's lock before it fails with
    // SQLITE_BUSY ("database is locked"); 3 s unless set.
    void setBusyTimeout(int milliseconds);
    sqlite3* handle() const { return db_; }
    // Copies every page of the file into a new database at `target`, in steps (see
    // copyPages in platform/ReadConnection.h).
    CopyEnd copyTo(const QString& target, const std::atomic_bool* cancel = nullptr);

    // The log's keeper; none for a connection that nobody keeps (the gazetteer, a tool's).
    void setGate(Gate* gate) { gate_ = gate; }
    Gate* gate() const { return gate_; }
    // Asks the gate whether a change may be made now; throws DbError when it may not.
    void requireWrite();

    // Throws DbError with the engine's text of the last failure (or `message`); a failure
    // that means the file is damaged is told to the gate first.
    [[noreturn]] void fail(int rc = 0, const QString& message = {}) const;

    // The rows of the watched table that were added, changed or deleted through this
    // connection: a serial number that grows with every such change, and the rowids changed
    // since a given serial (false when more changed than are remembered).
    void watchChanges(const char* table);
    qint64 changeSerial() const { return changeSerial_; }
    bool changedSince(qint64 serial, std::vector<qint64>& rowids) const;
    // Grows when another connection (another program) commits a change of the file.
    qint64 dataVersion();

private:
    friend class Recordset;
    friend class Transaction;
    friend struct sqlite::Statement;
    // A statement for an SQL text, from the cache of statements prepared before when one
    // is there (with the text's literals still bound); release() hands it back.
    sqlite3_stmt* prepare(const QString& sql);
    void release(sqlite3_stmt* stmt, const QString& sql);
    static void changed(void* self, int operation, const char* database, const char* table,
                        long long rowid);
    void configure();
    void runWrite(sqlite3_stmt* stmt);
    // BEGIN / COMMIT / ROLLBACK. A COMMIT that fails is rolled back: all or nothing.
    void control(const char* sql);

    sqlite3* db_ = nullptr;
    QString path_;
    bool readOnly_ = false;
    int generation_ = 0;
    Gate* gate_ = nullptr;
    QHash<QString, std::vector<Column>> columnCache_;
    QMultiHash<QString, sqlite3_stmt*> statements_;
    QByteArray watched_;
    qint64 changeSerial_ = 0;
    std::vector<qint64> recent_; // the rowids of the last changes, a ring of `remembered`
};

// All of a multi-row change or none of it: commit() makes it last; leaving the scope
// without commit() rolls it back.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool done_ = false;
};

// A cursor over one SQL text or a bare table name ("data", "userData").
//
// It steps its statement lazily and reads a field only when asked. A cursor over a whole
// table, or over "select * from <table> ...", can also add, change and delete rows; those
// writes find their row by SQLite's rowid and are stored at once.
class Recordset {
public:
    Recordset(Database& db, const QString& sqlOrTable);
    // A cursor over "select * from <table> ..." that reads only each row's rowid, in the
    // same rows and the same order: for a list that holds only its rows' keys.
    enum KeysOnly { keysOnly };
    Recordset(Database& db, const QString& selectAll, KeysOnly);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // True once the cursor is past the last row; true at once for an empty result.
    bool eof() const { return !onRow_; }
    void moveFirst();
    void moveNext();
    void moveLast();

    // The current row's value of a field, by name in any letter case. Dates come back as
    // "dd/mm/yy" and times as "H.mm.ss" text. Throws DbError for an unknown field or when
    // the cursor is not on a row.
    QVariant field(const QString& name) const;
    QString text(const QString& name) const { return field(name).toString(); }

    // Fast access for loops over many rows: resolve the index once, then read by index.
    int fieldIndex(const QString& name) const; // -1 when there is no such field
    QVariant value(int index) const;
    QString textAt(int index) const;
    qint64 intAt(int index) const;
    double realAt(int index) const;
    // The stored text of a field as UTF-8, unconverted (dates and times in their stored ISO
    // form), valid until the cursor moves: for loops that must not allocate per row.
    QByteArrayView utf8At(int index) const;
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    QString fieldName(int index) const;

    // Lets go of the engine while keeping the current row: its values stay readable (and
    // writable back by its rowid), but the statement is reset, so that the cursor holds no
    // lock on the file. Moving on runs the query again up to the next row.
    void release();
    bool released() const { return detached_; }

    // The current row's rowid (cursors over one table's rows only).
    qint64 rowid() const;
    // Binds a named parameter of the text (":key") and runs the query again from its first
    // row: one statement for many look-ups.
    void bind(const char* parameter, qint64 value);
    // Ends the current row: the statement is reset, nothing is held, eof() is true.
    void finish();
    // Reads the rowids of the current row and of every row after it into `keys` from
    // position `count` on (growing it when needed), and ends at the end of the rows.
    void readKeys(std::vector<qint32>& keys, size_t& count);

    // Writing rows (table cursors and "select * from <table>" cursors only).
    void addNew();
    void edit();
    void setField(const QString& name, const QVariant& value);
    void update();
    void deleteRow();

    const QString& sql() const { return sql_; }
    // What the engine runs for sql().
    const QString& statementText() const { return statementText_; }
    // True when the current row's field holds no value.
    bool nullAt(int index) const;

private:
    struct Field {
        QString name;
        int statementColumn;
        enum Kind { Plain, Date, Time } kind;
    };
    enum class Editing { None, Adding, Changing };
    // A value of the current row kept by release().
    struct Cell {
        int type = 0;
        qint64 integer = 0;
        double real = 0.0;
        mutable QByteArray bytes;
    };

    void step();
    void rewind();
    int columnType(int column) const;
    qint64 columnInt(int column) const;
    double columnReal(int column) const;
    QByteArrayView columnBytes(int column) const;
    void requireRow() const;
    void requireWritable() const;
    QVariant bindable(const QString& column, const QVariant& value) const;

    Database& db_;
    QString sql_;
    QString statementText_; // what the engine runs for sql_
    QString table_;         // set when the cursor can write
    int rowidColumn_ = -1;  // statement column holding the rowid
    sqlite3_stmt* stmt_ = nullptr;
    bool onRow_ = false;
    qint64 position_ = -1; // the current row's place in the result, from 0
    bool detached_ = false;
    std::vector<Cell> cache_;
    std::vector<Field> fields_;
    QHash<QString, int> byName_; // lower-case name -> index into fields_
    Editing editing_ = Editing::None;
    qint64 editRowid_ = 0;
    std::vector<std::pair<QString, QVariant>> pending_;
};

// An SQL text with its text literals taken out: `text` has ?1, ?2... in their places.
struct SqlText {
    QString text;
    std::vector<QString> literals;
};
SqlText parseLiterals(const QString& sql);

// Quotes an identifier for SQL ("OM/YL/SWL" -> "\"OM/YL/SWL\"").
QString quoteIdentifier(const QString& name);

} // namespace hm52
