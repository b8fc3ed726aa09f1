#include "storage/Module1.h"

#include "storage/QuoteSql.h"
#include "storage/Schema.h"

#include <QDir>

namespace hm52 {

Module1::Module1() : keeper(logDb) {}

Module1::~Module1() {
    // The check's thread ends before the slots and the files go.
    keeper.cancelAfterCheck();
    keeper.joinWorker();
    sharedRs.reset();
    auxRs.reset();
}

void Module1::OpenDatabases(const QString& programFolder) {
    OpenDatabases(programFolder, programFolder);
}

void Module1::OpenDatabases(const QString& logFolder, const QString& dataFolder) {
    openLog(joinPath(logFolder, QStringLiteral("data.mdb")));
    try {
        openPlaces(joinPath(dataFolder, QStringLiteral("places.mdb")));
    } catch (const DbError&) {
        logDb.close();
        throw;
    }
}

void Module1::openLog(const QString& path, OpenMode mode) {
    mode = keeper.modeFor(path, mode);
    try {
        logDb.open(path, mode);
        schema::verifyLog(logDb);
    } catch (const DbError& e) {
        logDb.close();
        throw DbError(e.text() + QStringLiteral("\n\n") + QDir::toNativeSeparators(path));
    }
    keeper.attach();
    logDb.watchChanges("data");
}

void Module1::openPlaces(const QString& path) {
    try {
        placesDb.open(path, OpenMode::ReadOnly);
        schema::verifyPlaces(placesDb);
    } catch (const DbError& e) {
        placesDb.close();
        throw DbError(e.text() + QStringLiteral("\n\n") + QDir::toNativeSeparators(path));
    }
}

Recordset& Module1::openShared(const QString& sqlOrTable) {
    sharedRs.reset();
    sharedRs = std::make_unique<Recordset>(logDb, sqlOrTable);
    return *sharedRs;
}

Recordset& Module1::openSharedKeys(const QString& selectAll) {
    sharedRs.reset();
    sharedRs = std::make_unique<Recordset>(logDb, selectAll, Recordset::keysOnly);
    return *sharedRs;
}

Recordset& Module1::openAux(const QString& sqlOrTable) {
    auxRs.reset();
    auxRs = std::make_unique<Recordset>(logDb, sqlOrTable);
    return *auxRs;
}

Recordset& Module1::openAuxPlaces(const QString& sql) {
    auxRs.reset();
    auxRs = std::make_unique<Recordset>(placesDb, sql);
    return *auxRs;
}

void Module1::releaseCursors() {
    for (const auto* slot : {&sharedRs, &auxRs}) {
        if (*slot) {
            (*slot)->release();
        }
    }
}

void Module1::closeCursors() {
    sharedRs.reset();
    auxRs.reset();
}

qint64 Module1::contatore(const QString& sql) {
    Recordset rs(logDb, sql);
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

qint64 Module1::placesContatore(const QString& sql) {
    Recordset rs(placesDb, sql);
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

} // namespace hm52
