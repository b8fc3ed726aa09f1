#include "storage/Schema.h"

#include "platform/Database.h"

#include <QFile>
#include <QFileInfo>

namespace hm52::schema {

const QStringList& dataColumns() {
    static const QStringList list{QStringLiteral("count"),     QStringLiteral("call"),
                                  QStringLiteral("WWLocator"), QStringLiteral("place"),
                                  QStringLiteral("prov"),      QStringLiteral("mode"),
                                  QStringLiteral("band"),      QStringLiteral("date"),
                                  QStringLiteral("time"),      QStringLiteral("qsl")};
    return list;
}

const QStringList& userDataColumns() {
    static const QStringList list{
        QStringLiteral("count"),   QStringLiteral("OM/YL/SWL"), QStringLiteral("call"),
        QStringLiteral("fName"),   QStringLiteral("sName"),     QStringLiteral("address"),
        QStringLiteral("ZIPcode"), QStringLiteral("city"),      QStringLiteral("prov"),
        QStringLiteral("country"), QStringLiteral("WWLocator"), QStringLiteral("email")};
    return list;
}

const QStringList& placesColumns() {
    static const QStringList list{QStringLiteral("place"), QStringLiteral("prov"),
                                  QStringLiteral("WWLocator")};
    return list;
}

void createLog(const QString& path) {
    if (QFileInfo::exists(path)) {
        throw DbError(QStringLiteral("%1 already exists").arg(path));
    }
    // Built beside its final name and moved there only when complete, so a failure leaves
    // no half-made log behind; the move never replaces a file that appeared meanwhile.
    const QString building = path + QStringLiteral(".building");
    QFile::remove(building);
    {
        Database db;
        db.create(building);
        try {
            createLogTables(db);
        } catch (...) {
            db.close();
            QFile::remove(building);
            throw;
        }
    }
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        throw DbError(QStringLiteral("cannot create %1").arg(path));
    }
}

void createLogTables(Database& db) {
    Transaction transaction(db);
    // Text compares without regard to letter case, so searches typed in lower case find the
    // upper-case rows. `count` is the QSO's number and the row's key.
    db.execute(QStringLiteral(
        "create table data ("
        " count INTEGER PRIMARY KEY CHECK (count BETWEEN -2147483648 AND 2147483647),"
        " call TEXT COLLATE NOCASE,"
        " WWLocator TEXT COLLATE NOCASE,"
        " place TEXT COLLATE NOCASE,"
        " prov TEXT COLLATE NOCASE,"
        " mode TEXT COLLATE NOCASE,"
        " band TEXT COLLATE NOCASE,"
        " date DATE,"
        " time TIME,"
        " qsl TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("create table userData ("
                              " count INTEGER,"
                              " \"OM/YL/SWL\" TEXT COLLATE NOCASE,"
                              " call TEXT COLLATE NOCASE,"
                              " fName TEXT COLLATE NOCASE,"
                              " sName TEXT COLLATE NOCASE,"
                              " address TEXT COLLATE NOCASE,"
                              " ZIPcode TEXT COLLATE NOCASE,"
                              " city TEXT COLLATE NOCASE,"
                              " prov TEXT COLLATE NOCASE,"
                              " country TEXT COLLATE NOCASE,"
                              " WWLocator TEXT COLLATE NOCASE,"
                              " email TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("PRAGMA user_version = 1"));
    ensureLogIndexes(db);
    transaction.commit();
}

void dropLogIndexes(Database& db) {
    for (const char* name : {"data_award", "data_locator", "data_prov", "data_order_call_bm",
                             "data_order_call_mb", "data_order_place_bm", "data_order_place_mb",
                             "data_order_loc_bm", "data_order_loc_mb", "data_order_band"}) {
        db.execute(QStringLiteral("drop index if exists %1").arg(QLatin1String(name)));
    }
}

void ensureLogIndexes(Database& db) {
    if (db.readOnly()) {
        return;
    }
    // The counter and the award requests: mode, band and QSL state, in sub-square order.
    db.execute(QStringLiteral(
        "create index if not exists data_award on data (mode, band, qsl, WWLocator)"));
    // The duplicate rules and the sub-square search.
    db.execute(QStringLiteral(
        "create index if not exists data_locator on data (WWLocator, band, mode, qsl)"));
    // The province search.
    db.execute(QStringLiteral("create index if not exists data_prov on data (prov)"));
    // The browser's orders, one index each: the whole log comes in that order from the index
    // alone, QSO numbers only, with no sort. They serve the call and place searches too.
    const char* const orders[][2] = {
        {"data_order_call_bm", "call, band, mode, prov"},
        {"data_order_call_mb", "call, mode, band, prov"},
        {"data_order_place_bm", "place, band, mode, prov"},
        {"data_order_place_mb", "place, mode, band, prov"},
        {"data_order_loc_bm", "WWLocator, band, mode, prov"},
        {"data_order_loc_mb", "WWLocator, mode, band, prov"},
        {"data_order_band", "band, mode, WWLocator, prov"},
    };
    for (const auto& order : orders) {
        db.execute(QStringLiteral("create index if not exists %1 on data (%2)")
                       .arg(QLatin1String(order[0]), QLatin1String(order[1])));
    }
    // Indexes of earlier builds that these make redundant.
    for (const char* old : {"data_call", "data_place", "data_browse"}) {
        db.execute(QStringLiteral("drop index if exists %1").arg(QLatin1String(old)));
    }
}

void readFirstListingIndex(Database& db) {
    db.readThrough(QStringLiteral("select count from data order by call, band, mode, prov"));
}

void createPlaces(Database& db) {
    Transaction transaction(db);
    db.execute(QStringLiteral("create table places ("
                              " place TEXT COLLATE NOCASE,"
                              " prov TEXT COLLATE NOCASE,"
                              " WWLocator TEXT COLLATE NOCASE)"));
    db.execute(QStringLiteral("create index places_locator on places (WWLocator, place)"));
    db.execute(QStringLiteral("create index places_place on places (place)"));
    transaction.commit();
}

void verifyLog(Database& db) {
    db.requireColumns(QStringLiteral("data"), dataColumns());
    db.requireColumns(QStringLiteral("userData"), userDataColumns());
}

void verifyPlaces(Database& db) {
    db.requireColumns(QStringLiteral("places"), placesColumns());
}

} // namespace hm52::schema
