#include "storage/Module1.h"

#include "storage/QuoteSql.h"
#include "storage/Schema.h"

namespace hm52 {

void Module1::OpenDatabases(const QString& programFolder) {
    const QString logPath = joinPath(programFolder, QStringLiteral("data.mdb"));
    const QString placesPath = joinPath(programFolder, QStringLiteral("places.mdb"));
    try {
        logDb.open(logPath, OpenMode::ReadWrite);
        schema::verifyLog(logDb);
        schema::ensureLogIndexes(logDb);
    } catch (const DbError& e) {
        logDb.close();
        throw DbError(e.text() + QStringLiteral("\n\n") + logPath);
    }
    try {
        placesDb.open(placesPath, OpenMode::ReadOnly);
        schema::verifyPlaces(placesDb);
    } catch (const DbError& e) {
        logDb.close();
        placesDb.close();
        throw DbError(e.text() + QStringLiteral("\n\n") + placesPath);
    }
}

Recordset& Module1::openShared(const QString& sqlOrTable) {
    sharedRs.reset();
    sharedRs = std::make_unique<Recordset>(logDb, sqlOrTable);
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

qint64 Module1::contatore(const QString& sql) {
    Recordset rs(logDb, sql);
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

qint64 Module1::placesContatore(const QString& sql) {
    Recordset rs(placesDb, sql);
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

} // namespace hm52
