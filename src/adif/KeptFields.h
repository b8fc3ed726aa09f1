#pragma once

#include "adif/QsoFields.h"
#include "storage/KeptFields.h"

#include <QByteArray>
#include <QString>

// The importer's side of the kept fields (storage/KeptFields.h): what of a record is worth
// keeping.
namespace hm52::adif::kept {

using hm52::kept::create;
using hm52::kept::EditWatch;
using hm52::kept::exists;
using hm52::kept::tableName;

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

} // namespace hm52::adif::kept
