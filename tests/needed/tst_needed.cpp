// The Needed Sub-squares window: one row per sub-square with its state for the chosen mode and
// band (or any band), the QSOs behind it, its places and provinces, the counts; narrowing,
// sorting, the browser on a double-click, the map's click selecting a row, the list following
// the log, and the list printed (with its preview) and exported as CSV. (Each sub-square's
// state from its QSOs: tests/rules.)

#include "adif/frmImportADIF.h"
#include "app/principale.h"
#include "map/frmMap.h"
#include "needed/frmNeeded.h"
#include "support/QsoForms.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QTableView>

using namespace hm52;
using namespace hm52::test;

namespace {

// The Needed window opened from the award menu, on a log filled by default with a sub-square in
// every state on HF MIXED, and one on another mode.
struct Needed {
    explicit Needed(bool filled = true, const std::vector<PlaceRow>& gazetteer = smallGazetteer())
        : env(gazetteer) {
        if (filled) {
            env.addQso({.call = "I1ABC", .WWLocator = "AB", .date = "5/1/04", .qsl = "c"});
            env.addQso({.call = "I4BBB", .WWLocator = "AC", .date = "2/3/06", .qsl = "w"});
            env.addQso({.call = "I3AAA", .WWLocator = "AC", .date = "1/3/06", .qsl = "w"});
            env.addQso({.call = "IW5ZZ", .WWLocator = "XX", .date = "7/7/07", .qsl = "a"});
            env.addQso(
                {.call = "IZ6MN", .WWLocator = "MN", .mode = "SSB", .band = "VHF", .qsl = "c"});
        }
    }
    TestEnv env;
    principale main{*env.services, *env.registry, []() {}};
    frmNeeded* w = nullptr;

    void open() {
        child<QAction>(&main, "mnNeeded")->trigger();
        w = qobject_cast<frmNeeded*>(env.registry->loaded(Window::Needed));
        QVERIFY(w != nullptr && w->isVisible());
    }
    QTableView* list() const { return child<QTableView>(w, "lstNeeded"); }
    // The rows as shown, "|" between the cells.
    QStringList rows() const {
        QStringList shown;
        for (int r = 0; r < list()->model()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < list()->model()->columnCount(); ++c) {
                cells << list()->model()->index(r, c).data().toString();
            }
            shown << cells.join(u'|');
        }
        return shown;
    }
    // The row of a sub-square by its two letters.
    QString row(const QString& letters) const {
        return rows().filter(u"HM52"_s + letters + u'|').value(0);
    }
    // The sub-squares shown, in their order.
    QStringList squares() const {
        return rows().replaceInStrings(QRegularExpression(u"^HM52(..)\\|.*"_s), u"\\1"_s);
    }
    // Chooses an entry of a combo box of this window, or of another, as the operator does.
    void choose(const char* combo, const QString& text, QWidget* window = nullptr) const {
        auto* box = child<QComboBox>(window != nullptr ? window : w, combo);
        const int at = box->findText(text);
        QVERIFY2(at >= 0, qPrintable(text));
        box->setCurrentIndex(at);
        Q_EMIT box->activated(at);
    }
};

} // namespace

class NeededTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // (The counts and a worked sub-square's row as shown: the printed lines, which read them.)
    void theAwardMenuOpensOneListOfEverySubSquareWithItsStateQsosPlacesAndCounts() {
        Needed n;
        // (The entry's place in the award menu and its text: tst_mainwindow.)
        n.open();
        // (Its caption: the title of its preview, in the printing test.)
        QCOMPARE(itemTexts(child<QComboBox>(n.w, "comboState")),
                 QStringList({"all states", "not worked", "worked", "confirmed", "accredited"}));

        // Letter by letter, as the requests order them.
        QCOMPARE(n.squares().mid(0, 3), QStringList({"AA", "AB", "AC"}));
        QCOMPARE(n.row(u"AA"_s), u"HM52AA|not worked|0|||"_s);
        QCOMPARE(
            n.row(u"AB"_s),
            u"HM52AB|confirmed|1|I1ABC 05/01/04|ALFA, BRAVO, CHARLIE, PIAN D'OLMO|BD, CV, LM"_s);
    }

    // (A mode and a band chosen: the list after an import, and after a click on the map.)
    void anyBandGivesEachSubSquareItsBestStateOnEveryBand() {
        Needed n;
        n.env.addQso({.call = "IK9SAT", .WWLocator = "AC", .band = "SAT", .qsl = "c"});
        n.open();
        // Any band: each sub-square's best state on every band, each QSO with its band.
        n.choose("comboBand", u"any band"_s);
        QCOMPARE(n.row(u"AC"_s).section(u'|', 1, 3), u"confirmed|1|IK9SAT 05/01/04 SAT"_s);
        QCOMPARE(texts(n.w, "lblCounts"),
                 u"Sub-squares: worked 0, confirmed 2, accredited 1, not worked 573\n"
                 u"Requests are made band by band: choose a band to see what its "
                 u"next request needs"_s);
    }

    void theListNarrowsToOneStateAndOneProvinceAndSortsByItsHeader() {
        Needed n;
        n.open();
        n.choose("comboState", u"worked"_s);
        QCOMPARE(n.squares(), QStringList({"AC"}));
        QCOMPARE(texts(n.w, "lblListed"),
                 u"Listed: 1 of 576 sub-squares (worked, all provinces)"_s);
        n.choose("comboState", u"all states"_s);
        n.choose("comboProv", u"LM"_s);
        QCOMPARE(n.squares(), QStringList({"AB"}));
        n.choose("comboProv", u"all provinces"_s);

        // By the header, as the operator sorts: the states in their order.
        QHeaderView* header = n.list()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        QCOMPARE(n.squares().mid(573), QStringList({"AC", "AB", "XX"}));
    }

    void theListFollowsASaveADeleteAndAnImport() {
        Needed n(false);
        n.open();
        // Saved in the insert window, in the empty log.
        frmInsertQSO& insert = n.env.registry->insertQSO();
        enter(insert, u"month=1;time=0905"_s, false);
        QTest::mouseClick(insert.cmdSubmit, Qt::LeftButton);
        QCOMPARE(n.row(u"AB"_s).section(u'|', 1, 3), u"worked|1|I1ABC 05/01/04"_s);

        // Deleted from the browser, the Needed window hidden: it reads the log when shown.
        child<QPushButton>(n.w, "cmdExit")->click();
        n.env.dialogs.answer(Answer::Ok);
        browserAt(n.env, 1).cmdDeleteQSO_Click();
        n.open();
        QCOMPARE(n.row(u"AB"_s).section(u'|', 1, 3), u"not worked|0|"_s);

        // Imported: I1ABC on 2 m SSB with its card, the others elsewhere.
        n.choose("comboMode", u"SSB"_s);
        n.choose("comboBand", u"VHF"_s);
        n.env.fileDialogs.answer(adifFixture("desktop-logger.adi"));
        child<QAction>(&n.main, "mnImportADIF")->trigger();
        auto* import = qobject_cast<frmImportADIF*>(n.env.registry->loaded(Window::ImportADIF));
        QVERIFY(import != nullptr);
        QTest::mouseClick(child<QPushButton>(import, "cmdImport"), Qt::LeftButton);
        QCOMPARE(n.row(u"AB"_s).section(u'|', 1, 3), u"confirmed|1|I1ABC 15/01/23"_s);
    }

    // Another log in place of this one (a restored backup) is read anew.
    void theListFollowsARestoredLog() {
        Needed n;
        n.open();
        n.env.m.logDb.execute(u"update data set qsl = 'a'"_s);
        n.env.registry->logReplaced();
        QCOMPARE(n.row(u"AB"_s).section(u'|', 1, 1), u"accredited"_s);
    }

    // Its two QSOs and no others: the terms of an earlier search are cleared.
    void aDoubleClickListsTheSubSquaresQsosInTheBrowser() {
        Needed n;
        n.open();
        BrowserTerms& t = n.env.registry->browserTerms();
        t.searchCall = t.searchLocator = t.searchPlace = t.searchProv = u"X"_s;
        const int row = static_cast<int>(n.squares().indexOf(u"AC"_s));
        const QRect at = n.list()->visualRect(n.list()->model()->index(row, 3));
        QTest::mouseClick(n.list()->viewport(), Qt::LeftButton, {}, at.center());
        QTest::mouseDClick(n.list()->viewport(), Qt::LeftButton, {}, at.center());
        auto* browser = qobject_cast<frmUtility*>(n.env.registry->loaded(Window::Utility));
        QVERIFY(browser != nullptr && browser->isVisible());
        QCOMPARE(browser->lineCount(), 2);
    }

    // A click on the map selects its sub-square in the list, of the map's mode and band. (The
    // map and the list read one state of each sub-square: tests/rules.)
    void aClickOnTheMapSelectsItsSubSquareInTheList() {
        Needed n;
        child<QAction>(&n.main, "mnMap")->trigger();
        auto* map = qobject_cast<frmMap*>(n.env.registry->loaded(Window::Map));
        auto* grid = child<SubSquareGrid>(map, "picMap");
        n.choose("comboMode", u"SSB"_s, map);
        n.choose("comboBand", u"VHF"_s, map);
        QTest::mouseClick(grid, Qt::LeftButton, {},
                          grid->cellRect(rules::squareIndex(u"MN"_s)).center());
        QTRY_VERIFY(n.env.registry->loaded(Window::Needed) != nullptr);
        n.w = qobject_cast<frmNeeded*>(n.env.registry->loaded(Window::Needed));
        QVERIFY(n.w->isVisible());
        QCOMPARE(n.w->selectedSquare(), rules::squareIndex(u"MN"_s));
        QCOMPARE(texts(n.w, "comboMode comboBand"), u"SSB|VHF"_s);
    }

    void theListPrintsAsShownAndItsPreviewShowsThePagesItPrints() {
        Needed n;
        n.open();
        n.choose("comboState", u"worked"_s);
        QTest::mouseClick(child<QPushButton>(n.w, "cmdPrint"), Qt::LeftButton);
        const RecordedJob& job = n.env.printers.jobs.at(0);
        QVERIFY(job.ended);
        QCOMPARE(job.lines,
                 QStringList({u"HM52 - Needed Sub-squares - MIXED - HF"_s, u" "_s,
                              u"Sub-squares: worked 1, confirmed 1, accredited 1, not worked 573"_s,
                              u"Base award: 1 of 75 confirmed, 74 more needed"_s,
                              u"Listed: 1 of 576 sub-squares (worked, all provinces)"_s, u" "_s,
                              u"Sub-square | State      | QSOs | Calls and dates                | "
                              u"Places                         | Provinces"_s,
                              u"HM52AC     | worked     | 2    | I3AAA 01/03/06, I4BBB 02/03/06 | "
                              u"DELTA, PIAN D'OLMO             | MV, VLT"_s}));
        QCOMPARE(job.ops.first(), u"name Courier New"_s); // the columns stand under each other

        // The preview goes through the same job: its pages are the printed pages.
        QTest::mouseClick(child<QPushButton>(n.w, "cmdPreview"), Qt::LeftButton);
        QCOMPARE(n.env.printers.jobs.size(), size_t{2});
        const RecordedJob& printed = n.env.printers.jobs[0];
        const RecordedJob& previewed = n.env.printers.jobs[1];
        QCOMPARE(previewed.target, u"preview Needed Sub-squares"_s);
        QCOMPARE(previewed.ops, printed.ops);
        QCOMPARE(previewed.lines, printed.lines);
    }

    // The rows shown, in UTF-8, a value quoted where it holds a comma or a quote.
    void theListExportsAsShownAsCsv() {
        std::vector<PlaceRow> gazetteer = smallGazetteer();
        gazetteer.push_back({u"BORGO \"NUOVO\", ALT\u00c8"_s, u"BD"_s, u"HM52AB"_s});
        Needed n(true, gazetteer);
        n.open();
        n.choose("comboProv", u"BD"_s);
        const QString path = n.env.dir.filePath(u"needed.csv"_s);
        n.env.fileDialogs.answer(path);
        QTest::mouseClick(child<QPushButton>(n.w, "cmdExportCSV"), Qt::LeftButton);
        QVERIFY(n.env.fileDialogs.asked.at(0).suggested.endsWith(u"hm52-needed-MIXED-HF.csv"_s));
        QCOMPARE(bytesOf(path),
                 u"Sub-square,State,QSOs,Calls and dates,Places,Provinces\r\n"
                 u"HM52AB,confirmed,1,I1ABC 05/01/04,\"ALFA, BORGO \"\"NUOVO\"\", ALT\u00c8, "
                 u"BRAVO, CHARLIE, PIAN D'OLMO\",\"BD, CV, LM\"\r\n"_s.toUtf8());
        // A file that cannot be written is said.
        const QString nowhere = n.env.dir.filePath(u"no/such/folder/needed.csv"_s);
        n.env.fileDialogs.answer(nowhere);
        QTest::mouseClick(child<QPushButton>(n.w, "cmdExportCSV"), Qt::LeftButton);
        QVERIFY(n.env.dialogs.texts().value(0).startsWith(u"The list cannot be written to "_s +
                                                          nowhere + u": "_s));
    }
};

QTEST_MAIN(NeededTest)
#include "tst_needed.moc"
