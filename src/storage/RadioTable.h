#pragma once

#include <QString>

namespace hm52 {
class Database;
class PreparedWrite;
} // namespace hm52

// A QSO's exact band, frequency and mode beside the award's categories that `data` holds: a
// table of its own, keyed by the QSO's number, one row for each QSO that has any of them, no
// row for one that has none. Its rows go with their QSOs when these are deleted.
//
// The first exact value written to a log makes the table, in that write's transaction. Readers
// take a log without it (a new one, an earlier build's, one that cannot be written) for a log
// whose QSOs have no exact values.
namespace hm52::radiotable {

inline constexpr const char* tableName = "hm52_radio";

// The exact values of one QSO: the ADIF band ("20m"), the frequency in MHz (0 for none), and
// the ADIF mode and submode ("SSB" and "USB"). Empty texts for what it does not have.
struct Values {
    QString band{};
    double freq = 0;
    QString mode{};
    QString submode{};

    bool isEmpty() const {
        return band.isEmpty() && freq <= 0 && mode.isEmpty() && submode.isEmpty();
    }
    friend bool operator==(const Values&, const Values&) = default;
};

bool exists(Database& db);
// Makes the table, and what deletes a QSO's row with it, when they are not there yet.
void create(Database& db);

// The exact values of a QSO; empty when it has none, or when the log has no such table.
Values read(Database& db, qint64 count);

// Stores the exact values of a QSO in place of those it had; empty values remove its row. Run
// it in the transaction that writes the QSO's own row.
void write(Database& db, qint64 count, const Values& values);

// The statement that adds one QSO's row, for the loops that add many, and the values of one
// run of it (NULL for what the QSO does not have).
QString insertSql();
void bindRow(PreparedWrite& insert, qint64 count, const Values& values);

} // namespace hm52::radiotable
