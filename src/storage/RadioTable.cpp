#include "storage/RadioTable.h"

#include "platform/Database.h"
#include "platform/PreparedWrite.h"

namespace hm52::radiotable {

namespace {

QString sql(const char* text) {
    return QString::fromLatin1(text).arg(QLatin1String(tableName));
}

// A text as the table holds it: NULL for none.
void bindText(PreparedWrite& w, int index, const QString& text) {
    if (text.isEmpty()) {
        w.bindNull(index);
    } else {
        w.bind(index, text);
    }
}

} // namespace

bool exists(Database& db) {
    return db.scalar(sql("select count(*) from sqlite_master where type = 'table' and name = "
                         "'%1'"))
               .toLongLong() > 0;
}

void create(Database& db) {
    db.execute(sql("create table if not exists %1 (count INTEGER PRIMARY KEY, band TEXT COLLATE "
                   "NOCASE, freq REAL, mode TEXT COLLATE NOCASE, submode TEXT COLLATE NOCASE)"));
    db.execute(sql("create trigger if not exists %1_gone after delete on data begin delete from "
                   "%1 where count = old.count; end"));
}

Values read(Database& db, qint64 count) {
    Values v;
    if (!exists(db)) {
        return v;
    }
    Recordset rs(db, sql("select band, freq, mode, submode from %1 where count = %2").arg(count));
    if (!rs.eof()) {
        v.band = rs.textAt(0);
        v.freq = rs.nullAt(1) ? 0.0 : rs.realAt(1);
        v.mode = rs.textAt(2);
        v.submode = rs.textAt(3);
    }
    return v;
}

QString insertSql() {
    return sql("insert or replace into %1 (count, band, freq, mode, submode) values (?1, ?2, ?3, "
               "?4, ?5)");
}

void bindRow(PreparedWrite& insert, qint64 count, const Values& values) {
    insert.bind(1, count);
    bindText(insert, 2, values.band);
    if (values.freq > 0) {
        insert.bindReal(3, values.freq);
    } else {
        insert.bindNull(3);
    }
    bindText(insert, 4, values.mode);
    bindText(insert, 5, values.submode);
}

void write(Database& db, qint64 count, const Values& values) {
    if (values.isEmpty()) {
        if (exists(db)) {
            PreparedWrite(db, sql("delete from %1 where count = ?1")).bind(1, count).run();
        }
        return;
    }
    create(db);
    PreparedWrite insert(db, insertSql());
    bindRow(insert, count, values);
    insert.run();
}

} // namespace hm52::radiotable
