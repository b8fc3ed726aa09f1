#pragma once

#include <QString>
#include <QStringList>

namespace hm52 {
class Database;
}

// The tables of the two files: the log `data.mdb` (tables `data` and `userData`) and the
// gazetteer `places.mdb` (table `places`).
namespace hm52::schema {

// The columns that the program reads and writes, per table.
const QStringList& dataColumns();
const QStringList& userDataColumns();
const QStringList& placesColumns();

// Creates a new, empty log (the schema and no rows) at a path where no file is. Throws
// DbError when a file is already there: an existing log is never touched.
void createLog(const QString& path);
// Creates the tables and indexes of an empty log in an open, empty database.
void createLogTables(Database& db);

// Creates a new, empty gazetteer file (table and indexes, no rows).
void createPlaces(Database& db);

// Checks that an open file is a log / a gazetteer of ours; throws DbError with the engine's
// text ("no such table: data") otherwise.
void verifyLog(Database& db);
void verifyPlaces(Database& db);

// Adds the indexes that a log written by an earlier build may lack. Never changes a row.
void ensureLogIndexes(Database& db);
// Drops the indexes that ensureLogIndexes makes: a bulk insert that comes to a good part of
// the log is faster into the bare table, with the indexes built again after it.
void dropLogIndexes(Database& db);
// Reads the index of the browser's first listing order (by call, band and mode) into the
// connection's cache, so that the first Utility QSO lists as quickly as the next ones.
void readFirstListingIndex(Database& db);

} // namespace hm52::schema
