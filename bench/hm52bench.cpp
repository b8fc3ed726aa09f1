// Measures the operator's clicks on a large log (start-up, the browser in every order, the
// counter, saving, editing and deleting a QSO, the Needed list and the QSO form's line), each
// against its target and, where the same
// work can be done directly on SQLite's C API, against that in the same run.
//
// usage: hm52bench [-n QSOS] [-p places.mdb] [-r RUNS]
// Runs offscreen; writes a sample log of QSOS QSOs (default 100000) into a temporary folder.

#include "SampleLog.h"
#include "app/Program.h"
#include "app/WindowRegistry.h"
#include "app/principale.h"
#include "award/frmAward.h"
#include "backup/Backup.h"
#include "browser/frmUtility.h"
#include "needed/frmNeeded.h"
#include "platform/Database.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"
#include "support/Recording.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
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

using namespace Qt::Literals::StringLiterals;
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

// The keys of a listing in its order, read on the C API.
std::size_t keysOnCApi(sqlite3* db, const std::string& sql, std::vector<qint32>& keys) {
    keys.clear();
    Stmt st(db, sql.c_str());
    while (sqlite3_step(st.s) == SQLITE_ROW) {
        keys.push_back(sqlite3_column_int(st.s, 0));
    }
    return keys.size();
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
        std::printf("  %-46s %9.2f %-3s %9.2f %-3s %6.2fx   %-16s %s\n", what, ours, unit, api,
                    unit, ours / api, target, ok ? "ok" : "MISSED");
    } else {
        std::printf("  %-46s %9.2f %-3s %13s %7s   %-16s %s\n", what, ours, unit, "", "", target,
                    ok ? "ok" : "MISSED");
    }
}

// The time of one call, in milliseconds.
template <class F> double timed(F&& work) {
    QElapsedTimer t;
    t.start();
    work();
    return ms(t.nsecsElapsed());
}

} // namespace

int main(int argc, char** argv) {
    int qsos = 100000;
    int runs = 9;
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
        "HM52 benchmarks: a sample log of %d QSOs (%.0f MB) written in %.1f s; medians of "
        "%d runs\n\n",
        qsos, static_cast<double>(QFileInfo(dir.filePath(QStringLiteral("data.mdb"))).size()) / 1e6,
        static_cast<double>(timer.elapsed()) / 1000.0, runs);

    // Start-up, the first of the day: the application object, the program, its databases,
    // the main window shown; the log's check and the day's backup go on behind it.
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
    program->finishStartWork();
    const double behind = ms(timer.nsecsElapsed());
    const auto copies =
        hm52::backup::backupsIn(hm52::backup::folderFor(dir.filePath(QStringLiteral("data.mdb"))));
    const bool backedUp = copies.size() == 1 && copies[0].good && copies[0].qsos == qsos;

    hm52::WindowRegistry& registry = program->registry();
    hm52::Module1& m = program->module();
    sqlite3* db = m.logDb.handle();
    hm52::principale& main = program->mainWindow();

    // Utility QSO, the first time: the browser loads and lists the whole log once.
    const double rssBefore = residentBytes();
    const double firstOpen = timed([&]() {
        main.findChild<QAction*>(QStringLiteral("mnUtiliy"))->trigger();
        settle();
    });
    const double memoryMb = (residentBytes() - rssBefore) / (1024.0 * 1024.0);
    hm52::frmUtility& browser = registry.utility();

    // showAny in every order, against the same keys read in that order on the C API.
    struct Order {
        const char* name;
        const char* option;
        const char* second;
    };
    const Order orders[] = {
        {"call, band, mode", "optCall", "optBand2"},
        {"call, mode, band", "optCall", "optMode2"},
        {"place, band, mode", "optPlace", "optBand2"},
        {"place, mode, band", "optPlace", "optMode2"},
        {"sub-square, band, mode", "optWWLocator", "optBand2"},
        {"sub-square, mode, band", "optWWLocator", "optMode2"},
        {"band, mode, sub-square", "optBand", nullptr},
    };
    std::vector<double> listOurs;
    std::vector<double> listApi;
    std::vector<qint32> keys;
    qint64 sink = 0;
    std::printf("  %-46s %13s %13s %7s   %-16s\n", "", "HM52", "C API", "ratio", "target");
    bool sameKeys = true;
    for (const Order& o : orders) {
        browser.findChild<QRadioButton*>(QString::fromLatin1(o.option))->click();
        if (o.second != nullptr) {
            browser.findChild<QRadioButton*>(QString::fromLatin1(o.second))->click();
        }
        const std::string sql = m.sharedRs->statementText().toStdString();
        std::vector<double> ours;
        std::vector<double> api;
        for (int r = 0; r < runs; ++r) {
            // A full listing each time: the search is set again, which lists anew.
            ours.push_back(timed([&]() {
                browser.findChild<QPushButton*>(QStringLiteral("cmdShowAny"))->click();
                settle();
            }));
            api.push_back(timed([&]() { sink += static_cast<qint64>(keysOnCApi(db, sql, keys)); }));
        }
        sameKeys = sameKeys && browser.lineCount() == static_cast<int>(keys.size()) &&
                   std::equal(keys.begin(), keys.end(), browser.lineKeys().begin());
        const std::string what = std::string("showAny: whole log by ") + o.name;
        row(what.c_str(), median(ours), median(api), "ms", "< 100 ms", median(ours) < 100);
    }
    browser.findChild<QRadioButton*>(QStringLiteral("optCall"))->click();
    browser.findChild<QRadioButton*>(QStringLiteral("optBand2"))->click();
    row("Utility QSO, first open", firstOpen, 0, "ms", "< 100 ms", firstOpen < 100);
    row("browser memory", memoryMb, 0, "MB", "< 30 MB", memoryMb < 30);

    // conta: the eighteen counts, against the same eighteen statements.
    main.findChild<QAction*>(QStringLiteral("mnCounter"))->trigger();
    settle();
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
    for (int r = 0; r < runs * 2; ++r) {
        contaOurs.push_back(timed([&]() { award.conta(); }));
        contaApi.push_back(timed([&]() { sink += countsOnCApi(db, countSql); }));
    }
    row("conta: the 18 counts", median(contaOurs), median(contaApi), "ms", "< 15 ms",
        median(contaOurs) < 15);

    // Saving, editing and deleting a QSO, the whole click, with the browser and the counter
    // open: validation, rules, store, and the refreshes.
    main.findChild<QAction*>(QStringLiteral("mnInsertQSO"))->trigger();
    settle();
    hm52::frmInsertQSO& insert = registry.insertQSO();
    // A sub-square whose SAT DIGITAL QSOs are not accredited, so that every worked QSO saved
    // is allowed.
    QString square;
    for (int i = 0; i < 576 && square.isEmpty(); ++i) {
        const QString letters = QString(QChar(u'A' + i % 24)) + QChar(u'A' + i / 24);
        if (m.contatore(u"select count(*) as contatore from data where WWLocator = '"_s + letters +
                        u"' and qsl = 'a' and band = 'SAT' and mode = 'DIGITAL'"_s) == 0) {
            square = letters;
        }
    }
    insert.comboBand->setCurrentText(u"SAT"_s);
    insert.comboMode->setCurrentText(u"DIGITAL"_s);
    std::vector<double> saves;
    std::vector<double> edits;
    std::vector<double> deletes;
    auto* list = browser.findChild<QListView*>(QStringLiteral("List"));
    for (int r = 0; r < runs; ++r) {
        insert.txtWWLocator->setText(square);
        insert.txtCall->setText(QStringLiteral("IZ%1BEN").arg(r));
        insert.txtDate[0]->setText(QStringLiteral("12"));
        insert.txtDate[1]->setText(QStringLiteral("11"));
        insert.txtDate[2]->setText(QStringLiteral("26"));
        insert.txtTime->setText(QStringLiteral("2130"));
        insert.comboPlace->setEditText(QStringLiteral("VALDORIA"));
        insert.optQSLworked->setChecked(true);
        const auto before = dialogs.shown.size();
        saves.push_back(timed([&]() { insert.cmdSubmit->click(); }));
        if (dialogs.shown.size() != before + 1 || dialogs.shown.back().text != u"QSO saved"_s) {
            std::fprintf(stderr, "hm52bench: the save said %s\n",
                         qPrintable(dialogs.shown.empty() ? QString() : dialogs.shown.back().text));
            return 1;
        }

        // The line of the QSO just saved, edited in the edit window, then deleted.
        const auto saved = static_cast<qint32>(
            m.logDb.scalar(QStringLiteral("select max(count) from data")).toLongLong());
        const auto& shown = browser.lineKeys();
        const int line = static_cast<int>(
            std::find(shown.begin(), shown.begin() + browser.lineCount(), saved) - shown.begin());
        list->setCurrentIndex(list->model()->index(line, 0));
        browser.findChild<QPushButton*>(QStringLiteral("cmdEditQSO"))->click();
        hm52::frmEditQSO& edit = registry.editQSO();
        edit.txtTime->setText(QStringLiteral("%1%2").arg(10 + r % 10).arg(10 + r % 40));
        const auto boxes = dialogs.shown.size();
        edits.push_back(timed([&]() { edit.cmdSubmit->click(); }));
        if (dialogs.shown.size() != boxes + 1 || dialogs.shown.back().text != u"QSO edited"_s) {
            std::fprintf(stderr, "hm52bench: the edit said %s\n",
                         qPrintable(dialogs.shown.empty() ? QString() : dialogs.shown.back().text));
            return 1;
        }

        list->setCurrentIndex(list->model()->index(line, 0));
        dialogs.answer(hm52::Answer::Ok);
        deletes.push_back(timed(
            [&]() { browser.findChild<QPushButton*>(QStringLiteral("cmdDeleteQSO"))->click(); }));
    }
    // The same save with the Radio frame filled: the exact band, frequency and mode stored
    // beside the QSO. Each QSO is taken out again after its click.
    insert.txtFreq->setText(QStringLiteral("145.950"));
    insert.comboAdifMode->setCurrentText(QStringLiteral("FT4"));
    std::vector<double> radioSaves;
    for (int r = 0; r < runs; ++r) {
        insert.txtWWLocator->setText(square);
        insert.txtCall->setText(QStringLiteral("IZ%1RIG").arg(r));
        insert.txtDate[0]->setText(QStringLiteral("12"));
        insert.txtDate[1]->setText(QStringLiteral("11"));
        insert.txtDate[2]->setText(QStringLiteral("26"));
        insert.txtTime->setText(QStringLiteral("2130"));
        insert.comboPlace->setEditText(QStringLiteral("VALDORIA"));
        insert.optQSLworked->setChecked(true);
        const auto before = dialogs.shown.size();
        radioSaves.push_back(timed([&]() { insert.cmdSubmit->click(); }));
        const qint64 saved =
            m.logDb.scalar(QStringLiteral("select max(count) from data")).toLongLong();
        const QString exact =
            m.logDb
                .scalar(QStringLiteral("select band || mode || submode from hm52_radio where "
                                       "count = %1")
                            .arg(saved))
                .toString();
        if (dialogs.shown.size() != before + 1 || dialogs.shown.back().text != u"QSO saved"_s ||
            exact != u"2mMFSKFT4"_s) {
            std::fprintf(stderr, "hm52bench: the save with the Radio frame said %s (%s)\n",
                         qPrintable(dialogs.shown.empty() ? QString() : dialogs.shown.back().text),
                         qPrintable(exact));
            return 1;
        }
        m.logDb.execute(QStringLiteral("delete from data where count = %1").arg(saved));
    }
    registry.showAny();
    row("save one QSO, the whole click", median(saves), 0, "ms", "< 50 ms", median(saves) < 50);
    row("save one QSO with the Radio frame filled", median(radioSaves), 0, "ms", "< 50 ms",
        median(radioSaves) < 50);
    row("edit one QSO, the whole click", median(edits), 0, "ms", "< 50 ms", median(edits) < 50);
    row("delete one QSO, the whole click", median(deletes), 0, "ms", "< 50 ms",
        median(deletes) < 50);

    // The Needed list: opened from the menu (loaded and listed anew each time), then every
    // band and mode chosen, each with the rows on screen painted.
    auto* neededEntry = main.findChild<QAction*>(QStringLiteral("mnNeeded"));
    std::vector<double> neededOpens;
    for (int r = 0; r < runs; ++r) {
        if (QWidget* open = registry.loaded(hm52::Window::Needed)) {
            open->close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        neededOpens.push_back(timed([&]() {
            neededEntry->trigger();
            settle();
        }));
    }
    hm52::frmNeeded& needed = registry.needed();
    const auto choose = [&needed](const char* combo, int index) {
        auto* box = needed.findChild<QComboBox*>(QString::fromLatin1(combo));
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
        settle();
    };
    std::vector<double> bandSwitches;
    std::vector<double> anyBandSwitches;
    std::vector<double> modeSwitches;
    const int bandCount = needed.findChild<QComboBox*>(QStringLiteral("comboBand"))->count();
    for (int r = 0; r < runs; ++r) {
        for (int b = 0; b < bandCount; ++b) {
            const int to = (b + 1) % bandCount; // the last is "any band"
            (to + 1 == bandCount ? anyBandSwitches : bandSwitches).push_back(timed([&]() {
                choose("comboBand", to);
            }));
        }
        for (int mode = 1; mode <= 4; ++mode) {
            modeSwitches.push_back(timed([&]() { choose("comboMode", mode % 4); }));
        }
    }
    const auto worst = [](const std::vector<double>& v) { return *std::ranges::max_element(v); };
    row("Needed: open from the menu", median(neededOpens), 0, "ms", "< 100 ms",
        median(neededOpens) < 100);
    row("Needed: choose a band (median)", median(bandSwitches), 0, "ms", "< 100 ms",
        median(bandSwitches) < 100);
    row("Needed: choose a band (slowest)", worst(bandSwitches), 0, "ms", "< 100 ms",
        worst(bandSwitches) < 100);
    row("Needed: choose any band (median)", median(anyBandSwitches), 0, "ms", "< 100 ms",
        median(anyBandSwitches) < 100);
    row("Needed: choose a mode (median)", median(modeSwitches), 0, "ms", "< 100 ms",
        median(modeSwitches) < 100);
    row("Needed: choose a mode (slowest)", worst(modeSwitches), 0, "ms", "< 100 ms",
        worst(modeSwitches) < 100);

    // The QSO form's line after the key that completes a sub-square, for the sub-square with
    // the most QSOs on HF MIXED: the key's own handlers (the place list) and the line.
    const QString busiest =
        m.logDb
            .scalar(QStringLiteral("select WWLocator from data where mode = 'MIXED' and band = "
                                   "'HF' group by WWLocator order by count(*) desc limit 1"))
            .toString();
    insert.comboBand->setCurrentText(u"HF"_s);
    insert.comboMode->setCurrentText(u"MIXED"_s);
    auto* brings = insert.findChild<QLabel*>(QStringLiteral("lblBrings"));
    std::vector<double> lines;
    for (int r = 0; r < runs * 2; ++r) {
        insert.txtWWLocator->setText(busiest.left(1));
        settle();
        const QString key = busiest.mid(1, 1);
        lines.push_back(timed([&]() {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A + (key.at(0).unicode() - u'A'),
                            Qt::NoModifier, key);
            QKeyEvent release(QEvent::KeyRelease, press.key(), Qt::NoModifier, key);
            QApplication::sendEvent(insert.txtWWLocator, &press);
            QApplication::sendEvent(insert.txtWWLocator, &release);
            settle();
        }));
        if (!brings->text().startsWith(u"HM52"_s + busiest)) {
            std::fprintf(stderr, "hm52bench: the form's line said \"%s\"\n",
                         qPrintable(brings->text()));
            return 1;
        }
    }
    row("QSO form: its line after a key", median(lines), 0, "ms", "< 16 ms", median(lines) < 16);
    std::printf("  (the line said \"%s\")\n", qPrintable(brings->text()));

    // A save with the Needed list open: the list reads the log again after it.
    std::vector<double> savesWithList;
    insert.comboBand->setCurrentText(u"SAT"_s);
    insert.comboMode->setCurrentText(u"DIGITAL"_s);
    for (int r = 0; r < runs; ++r) {
        insert.txtWWLocator->setText(square);
        insert.txtCall->setText(QStringLiteral("IZ%1NED").arg(r));
        insert.txtDate[0]->setText(QStringLiteral("12"));
        insert.txtDate[1]->setText(QStringLiteral("11"));
        insert.txtDate[2]->setText(QStringLiteral("26"));
        insert.txtTime->setText(QStringLiteral("2130"));
        insert.comboPlace->setEditText(QStringLiteral("VALDORIA"));
        insert.optQSLworked->setChecked(true);
        savesWithList.push_back(timed([&]() { insert.cmdSubmit->click(); }));
        settle();
    }
    row("save one QSO, the Needed list open", median(savesWithList), 0, "ms", "< 50 ms",
        median(savesWithList) < 50);
    row("start-up to the main window shown", startup, 0, "ms", "< 100 ms", startup < 100);
    row("check and day's backup behind it (info)", behind, 0, "ms",
        backedUp ? "backup good" : "NO BACKUP", backedUp);

    std::printf("\n  %s; the browser's keys %s those of the C API in every order\n",
                dialogs.unanswered == 0 ? "every question answered" : "UNANSWERED QUESTIONS",
                sameKeys ? "are" : "ARE NOT");
    std::printf("  (checksum %lld)\n", static_cast<long long>(sink));
    program.reset();
    return 0;
}
