// Measures the refresh chain and the start-up on a large log, each against the same work
// done directly on SQLite's C API in the same run.
//
// usage: hm52bench [-n QSOS] [-p places.mdb] [-r RUNS]
// Runs offscreen; writes a sample log of QSOS QSOs (default 100000) into a temporary folder.

#include "SampleLog.h"
#include "app/Program.h"
#include "app/WindowRegistry.h"
#include "app/principale.h"
#include "award/frmAward.h"
#include "browser/frmUtility.h"
#include "platform/Database.h"
#include "support/Recording.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWidget>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using hm52::Program;

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Resident memory of this process, in bytes.
double residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE))
                             : 0;
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

// ---------------------------------------------------------------------------------------
// The same work on the C API

struct Stmt {
    sqlite3_stmt* s = nullptr;
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "hm52bench: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
    }
    ~Stmt() { sqlite3_finalize(s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
};

// The counter's eighteen statements, each prepared, stepped once and finalized.
qint64 countsOnCApi(sqlite3* db, const std::vector<std::string>& statements) {
    qint64 sum = 0;
    for (const std::string& sql : statements) {
        Stmt st(db, sql.c_str());
        if (sqlite3_step(st.s) == SQLITE_ROW) {
            sum += sqlite3_column_int64(st.s, 0);
        }
    }
    return sum;
}

// Writes a UTF-8 value left-aligned in `width` characters.
void put(std::string& out, const unsigned char* text, int bytes, int width) {
    int chars = 0;
    int i = 0;
    while (i < bytes && chars < width) {
        int len = 1;
        const unsigned char c = text[i];
        if (c >= 0xf0) {
            len = 4;
        } else if (c >= 0xe0) {
            len = 3;
        } else if (c >= 0xc0) {
            len = 2;
        }
        out.append(reinterpret_cast<const char*>(text + i), static_cast<std::size_t>(len));
        i += len;
        ++chars;
    }
    out.append(static_cast<std::size_t>(width - chars), ' ');
}

// The listing: the bare query stepped and every row's line formatted into one buffer, with
// the keys beside it.
std::size_t listingOnCApi(sqlite3* db, const std::string& sql, std::string& lines,
                          std::vector<qint32>& keys) {
    lines.clear();
    keys.clear();
    Stmt st(db, sql.c_str());
    std::size_t rows = 0;
    char date[9];
    char time[6];
    while (sqlite3_step(st.s) == SQLITE_ROW) {
        // select * from data: count call WWLocator place prov mode band date time qsl
        const auto text = [&](int c) { return sqlite3_column_text(st.s, c); };
        const auto bytes = [&](int c) { return sqlite3_column_bytes(st.s, c); };
        put(lines, text(1), bytes(1), 11);
        lines += " | HM52";
        put(lines, text(2), bytes(2), 2);
        lines += " | ";
        put(lines, text(3), bytes(3), 29);
        lines += " | ";
        put(lines, text(4), bytes(4), 3);
        lines += " | ";
        put(lines, text(5), bytes(5), 7);
        lines += " | ";
        put(lines, text(6), bytes(6), 6);
        lines += " | ";
        const unsigned char* d = text(7); // yyyy-mm-dd -> dd/mm/yy
        if (bytes(7) == 10) {
            const char v[8] = {char(d[8]), char(d[9]), '/',        char(d[5]),
                               char(d[6]), '/',        char(d[2]), char(d[3])};
            std::memcpy(date, v, 8);
            date[8] = 0;
            put(lines, reinterpret_cast<const unsigned char*>(date), 8, 10);
        } else {
            put(lines, d, bytes(7), 10);
        }
        lines += " | ";
        const unsigned char* t = text(8); // hh:mm:ss -> hh.mm
        if (bytes(8) >= 5) {
            const char v[5] = {char(t[0]), char(t[1]), '.', char(t[3]), char(t[4])};
            std::memcpy(time, v, 5);
            time[5] = 0;
            put(lines, reinterpret_cast<const unsigned char*>(time), 5, 5);
        } else {
            put(lines, t, bytes(8), 5);
        }
        lines += " | ";
        put(lines, text(9), bytes(9), 1);
        keys.push_back(sqlite3_column_int(st.s, 0));
        ++rows;
    }
    return rows;
}

QString findPlaces(const QString& given, const char* argv0) {
    if (!given.isEmpty()) {
        return given;
    }
    QString beside = QFileInfo(QString::fromLocal8Bit(argv0))
                         .absoluteDir()
                         .filePath(QStringLiteral("../places.mdb"));
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    return QStringLiteral(HM52_BUILD_DIR "/places.mdb");
}

void row(const char* what, double ours, double api, const char* unit, const char* target, bool ok) {
    if (api > 0) {
        std::printf("  %-40s %9.2f %-3s %9.2f %-3s %6.2fx   %-22s %s\n", what, ours, unit, api,
                    unit, ours / api, target, ok ? "ok" : "MISSED");
    } else {
        std::printf("  %-40s %9.2f %-3s %13s %7s   %-22s %s\n", what, ours, unit, "", "", target,
                    ok ? "ok" : "MISSED");
    }
}

} // namespace

int main(int argc, char** argv) {
    int qsos = 100000;
    int runs = 15;
    QString placesArg;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "-n") == 0 && hasValue) {
            qsos = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "-p") == 0 && hasValue) {
            placesArg = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "-r") == 0 && hasValue) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: hm52bench [-n QSOS] [-p places.mdb] [-r RUNS]\n");
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // The program folder: the gazetteer and a sample log.
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "hm52bench: no temporary folder\n");
        return 1;
    }
    const QString places = findPlaces(placesArg, argv[0]);
    if (!QFile::copy(places, dir.filePath(QStringLiteral("places.mdb")))) {
        std::fprintf(stderr, "hm52bench: cannot copy the gazetteer %s\n", qPrintable(places));
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    try {
        hm52::sample::Options options;
        options.qsos = qsos;
        hm52::sample::writeLog(dir.filePath(QStringLiteral("data.mdb")),
                               dir.filePath(QStringLiteral("places.mdb")), options);
    } catch (const hm52::DbError& e) {
        std::fprintf(stderr, "hm52bench: %s\n", qPrintable(e.text()));
        return 1;
    }
    std::printf(
        "HM52 benchmarks: a sample log of %d QSOs written in %.1f s; medians of %d runs\n\n", qsos,
        static_cast<double>(timer.elapsed()) / 1000.0, runs);

    // Start-up: the application object, the program, its databases, the main window shown.
    timer.restart();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    hm52::RecordingDialogs dialogs;
    hm52::RecordingShell shell;
    hm52::RecordingPrinters printers;
    auto program =
        std::make_unique<Program>(dir.path(), dialogs, shell, printers.factory(), []() {});
    if (!program->start()) {
        std::fprintf(stderr, "hm52bench: %s\n", qPrintable(dialogs.texts().join(u'\n')));
        return 1;
    }
    program->mainWindow().show();
    settle();
    const double startup = ms(timer.nsecsElapsed());

    hm52::WindowRegistry& registry = program->registry();
    hm52::Module1& m = program->module();
    sqlite3* db = m.logDb.handle();

    // conta: the eighteen counts, against the same eighteen statements.
    hm52::frmAward& award = registry.award();
    std::vector<std::string> countSql;
    for (const char* band : {"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}) {
        for (const char* qsl : {"w", "c", "a"}) {
            countSql.push_back(std::string(" select count(*) as contatore from data where mode = "
                                           "'MIXED' and band='") +
                               band + "' and qsl='" + qsl + "'");
        }
    }
    std::vector<double> contaOurs;
    std::vector<double> contaApi;
    qint64 sink = 0;
    for (int r = 0; r < runs * 4; ++r) {
        timer.restart();
        award.conta();
        contaOurs.push_back(ms(timer.nsecsElapsed()));
        timer.restart();
        sink += countsOnCApi(db, countSql);
        contaApi.push_back(ms(timer.nsecsElapsed()));
    }

    // showAny: the whole log ordered by call, then band and mode (the browser's first order).
    const double rssBefore = residentBytes();
    hm52::frmUtility& browser = registry.utility();
    registry.show(hm52::Window::Utility);
    settle();
    const double rssAfter = residentBytes();
    const std::string listingSql = m.sharedRs->sql().toStdString();
    std::vector<double> listOurs;
    std::vector<double> listApi;
    std::string lines;
    std::vector<qint32> keys;
    for (int r = 0; r < runs; ++r) {
        timer.restart();
        browser.showAny();
        settle();
        listOurs.push_back(ms(timer.nsecsElapsed()));
        timer.restart();
        sink += static_cast<qint64>(listingOnCApi(db, listingSql, lines, keys));
        listApi.push_back(ms(timer.nsecsElapsed()));
    }
    // The other main keys, for information: no index covers them.
    std::vector<double> byPlace;
    std::vector<double> byPlaceApi;
    auto* optPlace = browser.findChild<QRadioButton*>(QStringLiteral("optPlace"));
    optPlace->click();
    const std::string placeSql = m.sharedRs->sql().toStdString();
    for (int r = 0; r < std::max(3, runs / 3); ++r) {
        timer.restart();
        browser.showAny();
        settle();
        byPlace.push_back(ms(timer.nsecsElapsed()));
        timer.restart();
        sink += static_cast<qint64>(listingOnCApi(db, placeSql, lines, keys));
        byPlaceApi.push_back(ms(timer.nsecsElapsed()));
    }
    browser.findChild<QRadioButton*>(QStringLiteral("optCall"))->click();
    const double rssEnd = residentBytes();
    sink += static_cast<qint64>(listingOnCApi(db, listingSql, lines, keys));

    // The browser and the plain loop made the same lines.
    const std::string firstLine = browser.lineText(0).toStdString();
    const bool sameLines = browser.lineCount() == static_cast<int>(keys.size()) &&
                           lines.compare(0, firstLine.size(), firstLine) == 0 &&
                           browser.lineKeys.at(0) == keys.at(0);

    const double contaMs = median(contaOurs);
    const double contaApiMs = median(contaApi);
    const double listMs = median(listOurs);
    const double listApiMs = median(listApi);
    const double memoryMb = (rssAfter - rssBefore) / (1024.0 * 1024.0);

    std::printf("  %-40s %13s %13s %7s   %-22s\n", "", "HM52", "C API", "ratio", "target");
    row("conta: the 18 counts", contaMs, contaApiMs, "ms", "<= 1.5x, < 5 ms",
        contaMs <= 1.5 * contaApiMs && contaMs < 5);
    row("showAny: whole log by call, band", listMs, listApiMs, "ms", "<= 3x, < 300 ms",
        listMs <= 3 * listApiMs && listMs < 300);
    row("showAny: whole log by place (info)", median(byPlace), median(byPlaceApi), "ms", "", true);
    row("browser memory holding the lines", memoryMb, 0, "MB", "<= 50 MB", memoryMb <= 50);
    row("memory after every listing (info)", (rssEnd - rssBefore) / (1024.0 * 1024.0), 0, "MB",
        "engine cache included", true);
    row("start-up to the main window shown", startup, 0, "ms", "< 500 ms", startup < 500);
    std::printf("\n  listing: %d lines (%s), query: %s\n", browser.lineCount(),
                sameLines ? "checked" : "unchecked", listingSql.c_str());
    std::printf("  (checksum %lld)\n", static_cast<long long>(sink));
    program.reset();
    return 0;
}
