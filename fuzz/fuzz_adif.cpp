// libFuzzer entry for the whole ADIF import: any bytes must be read to the end without a
// crash, a hang or a read outside the input, every record numbered once and in order; then
// imported into a log on a temporary file (mapping, the award's rules, the kept fields),
// every record accounted for in the report, whose text stays short.

#include "adif/AdifFields.h"
#include "adif/AdifImport.h"
#include "adif/AdifReader.h"
#include "platform/Database.h"
#include "rules/Radio.h"
#include "storage/Module1.h"
#include "storage/Schema.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace hm52::adif;

namespace {
void require(bool condition) {
    if (!condition) {
        std::abort();
    }
}
// A log and a gazetteer on temporary files, made once for the whole run.
struct Logs {
    QTemporaryDir dir;
    hm52::Module1 m;
    Logs() {
        hm52::schema::createLog(dir.filePath(QStringLiteral("data.mdb")));
        hm52::Database places;
        places.create(dir.filePath(QStringLiteral("places.mdb")));
        hm52::schema::createPlaces(places);
        places.execute(QStringLiteral("insert into places (place, prov, WWLocator) values "
                                      "('ALFA', 'BD', 'HM52AB')"));
        places.close();
        m.OpenDatabases(dir.path());
        m.logDb.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    }
};

// Imports the bytes into an empty log, or (by the first byte) into one that holds a QSO, so
// that both the exact copy of our own files and the award's rules run.
void importAll(QByteArrayView bytes) {
    static Logs logs;
    hm52::Database& db = logs.m.logDb;
    db.execute(QStringLiteral("delete from data"));
    if (!bytes.isEmpty() && (bytes[0] & 1) != 0) {
        db.execute(QStringLiteral("insert into data values (1, 'I1ABC', 'AB', 'ALFA', 'BD', "
                                  "'SSB', 'VHF', '2024-01-01', '10:00:00', 'c')"));
    }
    const qint64 before = db.scalar(QStringLiteral("select count(*) from data")).toLongLong();
    ImportOptions options;
    options.lotwCounts = bytes.size() > 1 && (bytes[1] & 1) != 0;
    const ImportReport r = importAdif(logs.m, bytes, options);
    require(r.imported + r.confirmations + r.outside + r.repeats + r.refused + r.unreadable ==
            r.records);
    require(db.scalar(QStringLiteral("select count(*) from data")).toLongLong() ==
            before + r.imported);
    require(r.refusedNotes.size() <= size_t(ImportReport::noteLimit) &&
            r.unreadableNotes.size() <= size_t(ImportReport::noteLimit));
    // Three lists of notes of a few hundred characters at the most.
    require(r.text(QStringLiteral("fuzz.adi")).size() < 3 * ImportReport::noteLimit * 600 + 2000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Reader reader(bytes);
    Record r;
    std::int64_t last = reader.position();
    int handed = 0;
    QString reason;
    while (reader.next(r)) {
        ++handed;
        require(r.number == handed);
        require(handed <= static_cast<int>(size) + 1);
        require(reader.position() > last || reader.position() == reader.size());
        last = reader.position();
        require(r.offset >= 0 && r.offset <= static_cast<std::int64_t>(size));
        for (const Value& v : r.values) {
            if (v.present) {
                require(v.size >= 0);
                require(v.data >= bytes.data() && v.data + v.size <= bytes.data() + bytes.size());
            }
        }
        subSquareOf(r.view(Field::GridSquare));
        subSquareOfList(r.view(Field::VuccGrids));
        hm52::rules::radio::categoryOfBand(r.view(Field::Band));
        double mhz = 0;
        if (frequencyOf(r.view(Field::Freq), &mhz)) {
            hm52::rules::radio::bandOfFrequency(mhz);
        }
        hm52::rules::radio::categoryOfMode(r.view(Field::Mode), r.view(Field::Submode));
        hm52::rules::radio::adifMode(r.view(Field::Mode), r.view(Field::Submode));
        storedDateOf(r.view(Field::QsoDate), &reason);
        formTimeOf(r.view(Field::TimeOn), &reason);
        fromPercent(r.view(Field::AppPlace));
        asciiOf(r.text(Field::Qth));
    }
    require(reader.records() == handed);
    require(reader.position() == reader.size());
    importAll(bytes);
    return 0;
}
