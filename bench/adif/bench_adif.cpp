// Measures the ADIF export and import at a big station's size.
//
// usage: hm52bench_adif [records]   (1,000,000 unless given)
// A file as a general logger writes it, with the usual two dozen fields and a tenth of its
// records in the award square: parsing it (target: 500 MB/s or more), and importing it into
// an empty log as the program does (map, backup, import: under 2.5 s, peak memory under
// the file's size plus 200 MB). A log of as many QSOs: exporting it (under 1.5 s), beside
// the same rows stepped and written on SQLite's C API. And the round trip of a 100,000-QSO
// log through an export into an empty log, compared with `sqlite3 .dump` where the shell is
// installed (row by row otherwise). Exits 1 when a target is missed.

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "adif/AdifReader.h"
#include "backup/Backup.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/Schema.h"
#include "tools/SampleLog.h"

#include <sqlite3.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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

// The peak of the resident memory since the last reset, in MB; resets it again.
double peakMegabytes(bool reset) {
    QFile status(QStringLiteral("/proc/self/status"));
    double peak = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:")) {
                peak = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
    }
    if (reset) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly)) {
            clear.write("5");
        }
    }
    return peak;
}

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
            }
        }
    }
    return 0;
}

// A program folder with a gazetteer and, unless `sample` is 0, a log of that many QSOs.
QString makeFolder(QTemporaryDir& dir, const QString& name, int sample) {
    QString folder = dir.filePath(name);
    QDir().mkpath(folder);
    writeGazetteer(folder + QStringLiteral("/places.mdb"));
    if (sample > 0) {
        sample::writeLog(folder + QStringLiteral("/data.mdb"),
                         folder + QStringLiteral("/places.mdb"), {.qsos = sample, .seed = 52});
    } else {
        schema::createLog(folder + QStringLiteral("/data.mdb"));
    }
    return folder;
}

// The same rows as the export, stepped and written as fields on the C API.
double cApiExport(const QString& logPath) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(logPath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(
        db,
        "select count, call, WWLocator, place, prov, mode, band, date, time, qsl from "
        "data order by count",
        -1, &stmt, nullptr);
    QByteArray out;
    char length[16];
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < 10; ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
            const int n = sqlite3_column_bytes(stmt, i);
            out += "<F:";
            out.append(length, std::snprintf(length, sizeof length, "%d", n));
            out += '>';
            out.append(text, n);
        }
        out += "<EOR>\r\n";
    }
    sqlite3_finalize(stmt);
    const double t = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    sqlite3_close(db);
    return t;
}

// The log's tables as `sqlite3 .dump` gives them, or as rows read here when the shell is not
// installed.
QByteArray dumpOf(const QString& logPath) {
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"), {logPath, QStringLiteral(".dump")});
    if (shell.waitForFinished(120000) && shell.exitStatus() == QProcess::NormalExit &&
        shell.exitCode() == 0) {
        return shell.readAllStandardOutput();
    }
    Database db;
    db.open(logPath, OpenMode::ReadOnly);
    QByteArray out;
    Recordset tables(db, QStringLiteral("select name, sql from sqlite_master order by name"));
    for (; !tables.eof(); tables.moveNext()) {
        out += tables.textAt(1).toUtf8() + '\n';
        if (tables.textAt(1).startsWith(QLatin1String("CREATE TABLE"), Qt::CaseInsensitive)) {
            Recordset rows(
                db, QStringLiteral("select * from \"%1\" order by rowid").arg(tables.textAt(0)));
            for (; !rows.eof(); rows.moveNext()) {
                for (int i = 0; i < rows.fieldCount(); ++i) {
                    out += rows.value(i).toString().toUtf8() + '|';
                }
                out += '\n';
            }
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::max(10, QByteArray(argv[1]).toInt()) : 1000000;
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
    {
        QFile in(adi);
        in.open(QIODevice::ReadOnly);
        bytes = in.readAll();
    }
    std::int64_t fields = 0;
    const double parse = bestOf(3, [&]() {
        adif::Reader reader(bytes);
        adif::Record r;
        while (reader.next(r)) {
            fields += r.fieldsRead;
        }
    });
    bytes.clear();
    bytes.squeeze();

    // As the program does it: map the file, back the log up, import.
    double import = 0;
    double peak = 0;
    adif::ImportReport report;
    for (int run = 0; run < 2; ++run) {
        const QString folder = makeFolder(dir, QStringLiteral("import%1").arg(run), 0);
        Module1 m;
        m.OpenDatabases(folder);
        const double base = residentMegabytes();
        peakMegabytes(true);
        const double t = bestOf(1, [&]() {
            // Mapped, as the import window maps it.
            QFile in(adi);
            in.open(QIODevice::ReadOnly);
            const uchar* mapped = in.map(0, in.size());
            const QByteArray copy = mapped == nullptr ? in.readAll() : QByteArray();
            const QByteArrayView file =
                mapped == nullptr
                    ? QByteArrayView(copy)
                    : QByteArrayView(reinterpret_cast<const char*>(mapped), in.size());
            backup::makeBackup(m.logDb, QDateTime::currentDateTime());
            report = adif::importAdif(m, file, {});
        });
        peak = std::max(peak, peakMegabytes(false) - base);
        import = run == 0 ? t : std::min(import, t);
    }

    // The export of a log of as many QSOs.
    const QString big = makeFolder(dir, QStringLiteral("export"), records);
    double exportTime = 0;
    {
        Module1 m;
        m.OpenDatabases(big);
        exportTime = bestOf(3, [&]() {
            QFile out(dir.filePath(QStringLiteral("export.adi")));
            out.open(QIODevice::WriteOnly);
            adif::writeAdif(m, out, QDateTime::currentDateTimeUtc());
        });
    }
    double cApi = 1e9;
    for (int i = 0; i < 3; ++i) {
        cApi = std::min(cApi, cApiExport(big + QStringLiteral("/data.mdb")));
    }

    // The round trip of a 100,000-QSO log.
    const int tripSize = std::min(records, 100000);
    const QString from = makeFolder(dir, QStringLiteral("from"), tripSize);
    const QString to = makeFolder(dir, QStringLiteral("to"), 0);
    double tripExport = 0;
    double tripImport = 0;
    {
        Module1 source;
        source.OpenDatabases(from);
        Module1 target;
        target.OpenDatabases(to);
        QByteArray file;
        tripExport = bestOf(1, [&]() {
            QBuffer buffer(&file);
            buffer.open(QIODevice::WriteOnly);
            adif::writeAdif(source, buffer, QDateTime::currentDateTimeUtc());
        });
        tripImport = bestOf(1, [&]() { adif::importAdif(target, file, {}); });
    }
    // Line for line: the schema's entries may stand in another order (an import into an
    // empty log builds its indexes again after the rows).
    const auto lines = [](const QString& log) {
        QList<QByteArray> all = dumpOf(log).split('\n');
        std::sort(all.begin(), all.end());
        return all;
    };
    const bool identical =
        lines(from + QStringLiteral("/data.mdb")) == lines(to + QStringLiteral("/data.mdb"));

    const double rate = megabytes / parse;
    const double memoryLimit = megabytes + 200;
    const bool ok =
        import < 2.5 && rate >= 500.0 && peak < memoryLimit && exportTime < 1.5 && identical;
    std::printf("ADIF file: %d records, %d in HM52, %.1f MB, %lld fields\n", records, records / 10,
                megabytes, static_cast<long long>(fields / 3));
    std::printf("parse:        %8.1f ms  (%.0f MB/s; target 500 MB/s)\n", parse * 1e3, rate);
    std::printf("import:       %8.1f ms  (target 2500 ms; imported %d, outside %d, repeats %d, "
                "refused %d, unreadable %d)\n",
                import * 1e3, report.imported, report.outside, report.repeats, report.refused,
                report.unreadable);
    std::printf("import peak:  %8.1f MB  (target under %.0f MB, the file plus 200 MB)\n", peak,
                memoryLimit);
    std::printf("export:       %8.1f ms  (%d QSOs; target 1500 ms; %.2fx the C API's %.1f ms)\n",
                exportTime * 1e3, records, exportTime / cApi, cApi * 1e3);
    std::printf("round trip:   %8.1f ms  (%d QSOs: export %.1f ms, import into an empty log "
                "%.1f ms; the two logs' dumps hold %s)\n",
                (tripExport + tripImport) * 1e3, tripSize, tripExport * 1e3, tripImport * 1e3,
                identical ? "the same lines" : "DIFFERENT LINES");
    std::printf("targets: %s\n", ok ? "met" : "MISSED");
    return ok ? 0 : 1;
}
