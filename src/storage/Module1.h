#pragma once

#include "platform/Database.h"
#include "storage/LogKeeper.h"

#include <QString>

#include <memory>

namespace hm52 {

// The program-wide database state of one run: the two open files and the two result-set
// slots that windows reopen on their own queries, and the keeper of the log's trust.
// `main` owns one; every test builds its own on its own files.
class Module1 {
public:
    Module1();
    ~Module1();
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    Database logDb;    // data.mdb beside the executable, read and written
    Database placesDb; // places.mdb beside the executable, only read

    // The last result set a window opened for its own use; each opening replaces it.
    std::unique_ptr<Recordset> sharedRs;
    std::unique_ptr<Recordset> auxRs;

    // Opens data.mdb and places.mdb in the program's folder. Throws DbError with the
    // engine's text when either is missing, locked, unreadable or not ours. Nothing is ever
    // created or written here; the log is trusted as it is until startCheck().
    void OpenDatabases(const QString& programFolder);
    // The log from one folder, the gazetteer from another (an installed program).
    void OpenDatabases(const QString& logFolder, const QString& dataFolder);
    void openLog(const QString& path, OpenMode mode = OpenMode::ReadWrite);
    void openPlaces(const QString& path);

    // Reopens a slot on a query of the log (or of the gazetteer) and returns the new cursor.
    // The previous cursor of the slot is released first.
    Recordset& openShared(const QString& sqlOrTable);
    // The same for a "select * from data ..." listing read only by its rows' keys.
    Recordset& openSharedKeys(const QString& selectAll);
    Recordset& openAux(const QString& sqlOrTable);
    Recordset& openAuxPlaces(const QString& sql);
    // Lets the slots' cursors go of the files: their rows stay readable, no lock is held.
    void releaseCursors();
    // Closes the slots' cursors.
    void closeCursors();

    // Runs a "select count(...) as contatore ..." text and returns `contatore`.
    qint64 contatore(const QString& sql);
    qint64 placesContatore(const QString& sql);

    // How far the log can be trusted, its check and the gate of its statements.
    LogKeeper keeper;
};

} // namespace hm52
