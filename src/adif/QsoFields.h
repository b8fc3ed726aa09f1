#pragma once

#include "storage/KeptFields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <string_view>

// The ADIF fields that stand for one QSO of the log, for the export and for the importer,
// which keeps only what these fields do not already say.
namespace hm52::adif {

// The log's columns of a QSO, as UTF-8 bytes.
enum Column { Call, Square, Place, Prov, Mode, Band, Date, Time, Qsl, columnCount };

struct LogRow {
    qint64 count = 0;
    std::array<QByteArrayView, columnCount> column{};
    unsigned nulls = 0; // a bit (1 << Column) for each column that is NULL
    // The QSO's exact values, empty (and 0) for those it does not have: ADIF band, mode and
    // submode, and the frequency in MHz.
    QByteArrayView exactBand;
    QByteArrayView exactMode;
    QByteArrayView exactSubmode;
    double freq = 0;
};

// The names of the columns in the log, in the order of Column.
const std::array<const char*, columnCount>& columnNames();

// Receives the fields one by one.
class FieldSink {
public:
    virtual ~FieldSink() = default;
    // `type` is the ADIF type letter, or 0.
    virtual void field(std::string_view name, QByteArrayView value, char type) = 0;
    // Whether another value of that standard field stands instead (a kept one): the exact
    // value then goes into this program's own field.
    virtual bool overridden(std::string_view /*name*/) const { return false; }
};

// The fields of a QSO: the standard ones that other programs read (CALL upper case and
// trimmed, GRIDSQUARE, QSO_DATE, TIME_ON, QTH, STATE, the QSO's exact MODE, SUBMODE, BAND and
// FREQ, else the MODE and BAND that its categories determine, PROP_MODE for a satellite,
// QSL_RCVD), then this program's own fields wherever a standard one would not give the stored
// value back exactly (APP_HM52_COUNT, _BAND, _MODE, _QSL always; _CALL, _LOCATOR, _PLACE,
// _PROV, _DATE, _TIME, _NULL where needed; _IMPLIED naming the BAND and MODE that came from
// the categories, not from the QSO's exact values).
void fieldsOfRow(const LogRow& row, FieldSink& sink);

// A frequency in MHz as FREQ gives it: the shortest decimal that reads back as the same number.
QByteArray frequencyField(double mhz);

// Whether the value holds only what every reader reads back unchanged: printable ASCII, no
// blank at either end, and none of '%', '<', '>' (which this program's own fields escape).
bool plainValue(QByteArrayView value);

// The fields of a text of kept fields, as the log keeps them.
using kept::appendField;
using kept::forEachField;

} // namespace hm52::adif
