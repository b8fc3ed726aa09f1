// Measures the ADIF import on a file as a general logger writes it: 100,000 records with
// the usual two dozen fields, 10,000 of them in the award square.
//
// usage: hm52bench_adif [records]
// Prints the time to read the file's bytes, to parse them, and to import them into an empty
// log (gazetteer, rules, numbering, one transaction), against the targets: import under 2 s,
// parsing at 50 MB/s or more and within 3x of reading. Exits 1 when a target is missed.

#include "adif/AdifImport.h"
#include "adif/AdifReader.h"
#include "backup/Backup.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace hm52;

namespace {

QByteArray field(const char* name, const QByteArray& value) {
    return QByteArray("<") + name + ':' + QByteArray::number(value.size()) + '>' + value + ' ';
}

QByteArray makeFile(int records, int inSquare) {
    std::mt19937 random(20240601);
    const char* const bands[] = {"160m", "80m", "40m",  "20m",  "15m", "10m",
                                 "6m",   "2m",  "70cm", "23cm", "3cm"};
    const char* const freqs[] = {"1.840",  "3.573",   "7.074",   "14.074",   "21.074",   "28.074",
                                 "50.313", "144.174", "432.174", "1296.200", "10368.100"};
    const char* const modes[] = {"SSB", "CW", "FT8", "MFSK", "RTTY", "FM"};
    const char* const places[] = {"VALDORIA", "PIAN D'OLMO", "CITT\xC3\x80 ALTA", "SAN MARCO",
                                  "OLMINA"};
    QByteArray out =
        "Exported by a general logger\r\n<ADIF_VER:5>3.1.4\r\n<PROGRAMID:7>LOGGER1\r\n<EOH>\r\n";
    out.reserve(qsizetype{records} * 420);
    for (int i = 0; i < records; ++i) {
        // Every tenth record in the award square, the others all over the world.
        const bool ours = inSquare > 0 && i % (records / inSquare) == 0;
        const int b = static_cast<int>(random() % std::size(bands));
        QByteArray grid;
        if (ours) {
            grid = QByteArray("HM52") + char('A' + random() % 24) + char('A' + random() % 24);
        } else {
            grid = QByteArray() + char('A' + random() % 18) + char('A' + random() % 18) +
                   char('0' + random() % 10) + char('0' + random() % 10) +
                   char('a' + random() % 24) + char('a' + random() % 24);
            if (grid.startsWith("HM52")) {
                grid[0] = 'J';
            }
        }
        const QByteArray call = QByteArray("I") + char('0' + random() % 10) +
                                char('A' + random() % 26) + char('A' + random() % 26) +
                                char('A' + random() % 26);
        const QByteArray date = QByteArray::number(2000 + random() % 25) +
                                QByteArray::number(101 + random() % 12).right(2) +
                                QByteArray::number(101 + random() % 28).right(2);
        const QByteArray time = QByteArray::number(100 + random() % 24).right(2) +
                                QByteArray::number(100 + random() % 60).right(2) +
                                QByteArray::number(100 + random() % 60).right(2);
        out += field("CALL", call);
        out += field("QSO_DATE", date);
        out += field("TIME_ON", time);
        out += field("TIME_OFF", time);
        out += field("BAND", bands[b]);
        out += field("FREQ", freqs[b]);
        out += field("MODE", modes[random() % std::size(modes)]);
        out += field("RST_SENT", "59");
        out += field("RST_RCVD", "57");
        out += field("GRIDSQUARE", grid);
        out += field("NAME", "Mario Rossi");
        out += field("QTH", places[random() % std::size(places)]);
        out += field("COUNTRY", "Italy");
        out += field("DXCC", "248");
        out += field("CQZ", "15");
        out += field("ITUZ", "28");
        out += field("OPERATOR", "IK0XYZ");
        out += field("STATION_CALLSIGN", "IK0XYZ");
        out += field("MY_GRIDSQUARE", "JN61fv");
        out += field("TX_PWR", "100");
        out += field("QSL_SENT", "Y");
        out += field("QSL_RCVD", random() % 2 ? "Y" : "N");
        out += field("LOTW_QSL_RCVD", random() % 2 ? "Y" : "N");
        out += field("COMMENT", "tnx fer QSO, 73 es gl");
        out += "<EOR>\r\n";
    }
    return out;
}

void writeGazetteer(const QString& path) {
    Database db;
    db.create(path);
    schema::createPlaces(db);
    QFile csv(QStringLiteral(HM52_SOURCE_DIR "/data/places.csv"));
    if (!csv.open(QIODevice::ReadOnly)) {
        return;
    }
    Transaction t(db);
    Recordset rs(db, QStringLiteral("places"));
    csv.readLine();
    while (!csv.atEnd()) {
        const QStringList row = QString::fromUtf8(csv.readLine()).trimmed().split(u',');
        if (row.size() != 3) {
            continue;
        }
        rs.addNew();
        rs.setField(QStringLiteral("place"), row[0]);
        rs.setField(QStringLiteral("prov"), row[1]);
        rs.setField(QStringLiteral("WWLocator"), row[2]);
        rs.update();
    }
    t.commit();
}

template <class F> double bestOf(int runs, F&& f) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::max(10, QByteArray(argv[1]).toInt()) : 100000;
    QTemporaryDir dir;
    const QString adi = dir.filePath(QStringLiteral("big.adi"));
    {
        QFile out(adi);
        if (!out.open(QIODevice::WriteOnly) || out.write(makeFile(records, records / 10)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(adi));
            return 2;
        }
    }
    const double megabytes = static_cast<double>(QFileInfo(adi).size()) / 1e6;

    QByteArray bytes;
    const double read = bestOf(5, [&]() {
        QFile in(adi);
        in.open(QIODevice::ReadOnly);
        bytes = in.readAll();
    });

    std::int64_t fields = 0;
    const double parse = bestOf(5, [&]() {
        adif::Reader reader(bytes);
        adif::Record r;
        while (reader.next(r)) {
            fields += r.fieldsRead;
        }
    });

    double import = 0;
    adif::ImportReport report;
    for (int run = 0; run < 3; ++run) {
        const QString folder = dir.filePath(QStringLiteral("run%1").arg(run));
        QDir().mkpath(folder);
        schema::createLog(folder + QStringLiteral("/data.mdb"));
        writeGazetteer(folder + QStringLiteral("/places.mdb"));
        Module1 m;
        m.OpenDatabases(folder);
        // As the program does it: read the file, back the log up, import.
        const double t = bestOf(1, [&]() {
            QFile in(adi);
            in.open(QIODevice::ReadOnly);
            const QByteArray file = in.readAll();
            backup::makeBackup(m.logDb, QDateTime::currentDateTime());
            report = adif::importAdif(m, file, {});
        });
        import = run == 0 ? t : std::min(import, t);
    }

    const double rate = megabytes / parse;
    std::printf("ADIF file: %d records, %d in HM52, %.1f MB, %lld fields\n", records, records / 10,
                megabytes, static_cast<long long>(fields / 5));
    std::printf("read bytes:   %8.1f ms\n", read * 1e3);
    std::printf("parse:        %8.1f ms  (%.0f MB/s, %.2fx reading)\n", parse * 1e3, rate,
                parse / read);
    std::printf("import:       %8.1f ms  (imported %d, outside %d, repeats %d, refused %d, "
                "unreadable %d)\n",
                import * 1e3, report.imported, report.outside, report.repeats, report.refused,
                report.unreadable);
    const bool ok = import < 2.0 && rate >= 50.0 && parse <= 3.0 * read;
    std::printf("targets (import < 2 s, parse >= 50 MB/s, parse <= 3x read): %s\n",
                ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}
