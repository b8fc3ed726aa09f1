#pragma once

#include "adif/QsoFields.h"
#include "storage/RadioTable.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace hm52 {
class Database;
}

// What an ADIF file said of a QSO that the log's own columns cannot hold (its frequency, RST,
// name, comment, QSL dates...), kept in a table of its own keyed by the QSO's number, so that
// an export gives it back as it came. The table is made by the first import that keeps
// anything; a QSO's kept fields go with it when it is deleted.
namespace hm52::adif::kept {

inline constexpr const char* tableName = "hm52_adif_fields";

bool exists(Database& db);
// Makes the table (and what deletes a QSO's kept fields with it) when it is not there yet.
void create(Database& db);

// The fields of an imported record worth keeping: all but this program's own, CALL and
// QSL_RCVD (written from the log), those the log's columns give back exactly, and the BAND,
// FREQ, MODE and SUBMODE whose values the QSO's exact values hold. Names in upper case,
// values as the file wrote them.
class Keeper : public FieldSink {
public:
    // What the log's columns of the QSO will write; call before keep().
    void setRow(const LogRow& row);
    void keep(std::string_view name, char type, std::string_view value, QByteArray& out) const;
    void field(std::string_view name, QByteArrayView value, char type) override;

private:
    struct Written {
        std::string_view name;
        QByteArray value;
    };
    std::vector<Written> written_;
    bool exactBand_ = false;
    bool exactFreq_ = false;
    bool exactMode_ = false;
};

// Watches an edit of one QSO: the kept fields that spoke of a column the edit changed
// (BAND, FREQ and PROP_MODE of the band, MODE and SUBMODE of the mode...), or of an exact
// value it changed, no longer agree with the log and are dropped.
class EditWatch {
public:
    EditWatch(Database& db, qint64 count);
    // Call after the edited row is stored, in the same transaction.
    void afterEdit();

private:
    std::array<QString, columnCount> read() const;
    Database& db_;
    qint64 count_;
    bool active_ = false;
    std::array<QString, columnCount> before_;
    radiotable::Values radioBefore_;
};

} // namespace hm52::adif::kept
