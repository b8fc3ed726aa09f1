#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace hm52 {
class Module1;
}

// Bringing the HM52 contacts of an ADIF file into the log, under the award's rules.
namespace hm52::adif {

struct ImportOptions {
    bool allMixed = false;   // log every QSO as MIXED
    bool lotwCounts = false; // LOTW_QSL_RCVD=Y confirms the QSO
    bool eqslCounts = false; // EQSL_QSL_RCVD=Y confirms the QSO
};

// One record that was not imported, and why.
struct ImportNote {
    int record = 0; // 1 for the file's first record
    int line = 0;   // the line its first field stands on, from 1
    QString reason;
};

struct ImportReport {
    // Every record of the file; the six counts below add up to it.
    int records = 0;
    int imported = 0;
    int confirmations = 0; // worked QSOs of the log that a record confirmed
    int outside = 0;       // no sub-square of the award square
    int repeats = 0;       // the same call, sub-square, band, mode, date and time already logged
    int refused = 0;       // against the award's rules
    int unreadable = 0;
    int charsCounted = 0;       // records read with lengths counted in characters
    bool exactCopy = false;     // this program's own file copied into an empty log
    bool noRecords = false;     // the file holds no ADIF record at all
    std::vector<int> confirmed; // the numbers of the QSOs the confirmations turned confirmed
    std::vector<ImportNote> refusedNotes;
    std::vector<ImportNote> unreadableNotes;
    std::vector<ImportNote> valueNotes; // values that are none of the log's codes
    int valueCount = 0;                 // all of those, listed or not
    bool cancelled = false;             // nothing was imported

    // The most notes of each kind that the report lists; the others are counted.
    static constexpr int noteLimit = 300;

    // The report as the operator reads it.
    QString text(const QString& fileName) const;
};

// Called now and then with the bytes read so far and the file's size; returns false to
// cancel the import.
using ImportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Imports the ADIF bytes into the log of `m` in one transaction: all of it, or nothing when
// cancelled or when the engine fails (DbError is thrown then). A record that says a QSL was
// received and matches a worked QSO of the log (call, sub-square, band and mode, within 30
// minutes) confirms that QSO instead of coming in beside it. A file of this program's own
// export is a copy of a log: into an empty log it comes back row for row, numbers included.
ImportReport importAdif(Module1& m, QByteArrayView bytes, const ImportOptions& options,
                        const ImportProgress& progress = {});

} // namespace hm52::adif
