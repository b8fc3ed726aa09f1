#pragma once

#include "platform/Database.h"

#include <QString>

#include <memory>

namespace hm52 {

// The program-wide database state of one run: the two open files and the two result-set
// slots that windows reopen on their own queries. `main` owns one; every test builds its
// own on its own files.
class Module1 {
public:
    Database logDb;    // data.mdb beside the executable, read and written
    Database placesDb; // places.mdb beside the executable, only read

    // The last result set a window opened for its own use; each opening replaces it.
    std::unique_ptr<Recordset> sharedRs;
    std::unique_ptr<Recordset> auxRs;

    // Opens data.mdb and places.mdb in the program's folder. Throws DbError with the
    // engine's text when either is missing, locked, unreadable or not ours; nothing is
    // created or changed then.
    void OpenDatabases(const QString& programFolder);

    // Reopens a slot on a query of the log (or of the gazetteer) and returns the new cursor.
    // The previous cursor of the slot is released first.
    Recordset& openShared(const QString& sqlOrTable);
    Recordset& openAux(const QString& sqlOrTable);
    Recordset& openAuxPlaces(const QString& sql);

    // Runs a "select count(...) as contatore ..." text and returns `contatore`.
    qint64 contatore(const QString& sql);
    qint64 placesContatore(const QString& sql);
};

} // namespace hm52
