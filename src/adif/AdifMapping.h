#pragma once

#include "adif/AdifImport.h"
#include "storage/RadioTable.h"

#include <QHash>
#include <QString>

namespace hm52 {
class Module1;
}

// How one ADIF record becomes one QSO of the log.
namespace hm52::adif {

struct Record;

// The gazetteer: the province of a place (its first row), and of a sub-square whose places
// all lie in one province.
struct Gazetteer {
    QHash<QString, QString> provinceOfPlace;
    QHash<QString, QString> provinceOfSquare; // empty text: places in several provinces

    void load(Module1& m);
    QString province(const QString& place, const QString& square) const;
};

// One QSO as it goes into the log.
struct Qso {
    QString square, call, place, prov, mode, band, date, time, qsl;
    bool own = false;         // this program's own fields gave its QSL state
    qint64 count = 0;         // the number it had in a log of this program's own, else 0
    unsigned nulls = 0;       // the columns that were NULL in that log
    qint64 seconds = -1;      // date and time as seconds, for matching; -1 when unreadable
    radiotable::Values exact; // the exact band, frequency and mode that fit the categories
};

// The sub-square letters of a record in the award square ("AB"); empty for one outside it.
// Our own files name an odd sub-square in a field of their own.
QString squareOf(const Record& r, bool exact);

enum class Mapped { Yes, Unreadable, Refused };

// Maps a record in the award square to a QSO under the award's categories, with the exact
// values it gives. Unreadable (a field cannot be read, or another writer's record has no
// MODE) or Refused (a band the award does not count) with the reason.
Mapped mapRecord(const Record& r, const QString& square, const ImportOptions& options,
                 const Gazetteer& gazetteer, Qso& q, QString& reason);

// A record of this program's own export as the log held it, every value exactly; false when
// the record lacks our own fields (then it is mapped as any other).
bool exactRecord(const Record& r, const QString& square, Qso& q, QString& reason);

// Seconds since 1970 of a stored "YYYY-MM-DD" and "HH:MM:SS"; -1 when either is not one.
qint64 secondsOf(QStringView date, QStringView time);

} // namespace hm52::adif
