// The log browser: its captions and line format, the order options and the searches with their
// query texts, the search terms that outlive the window, a large list that follows each change
// of the log; and editing and deleting the selected QSO: which line an action works on, the
// refusals of accredited QSOs, the edit window filled from the stored row, and the list after a
// deletion (which also clears the selection).

#include "app/principale.h"
#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "support/Pixels.h"
#include "support/TestEnv.h"
#include "ui/Windows.h"

#include <QMenu>
#include <QRegularExpression>

#include <random>

using namespace hm52;
using namespace hm52::test;

namespace {

// The line of each QSO of the log below, by its number: values cut to their column, a letter
// beyond ASCII one character, hours of one and of two digits. Most end alike.
const QString atNine = u"| 05/01/04   | 09.05 | c"_s;
const QStringList logLines = {
    u"I1ABC       | HM52AB | ALFA                          | BD  | "
    u"CW      | VHF    | 05/01/04   | 19.30 | c"_s,
    u"I1ABC       | HM52AB | ALFA                          | BD  | SSB     | HF     "_s + atNine,
    u"IK0BBB      | HM52AB | PIAN D'OLMO                   | LM  | MIXED   | SAT    "_s + atNine,
    u"IW2CCC      | HM52MN | CA' BIANCA                    | TD  | MIXED   | HF     "_s + atNine,
    u"IZ9DDD      | HM52AC | PIAN D'OLMO                   | MV  | "
    u"MIXED   | HF     | 05/01/04   | 00.05 | c"_s,
    u"IK2ABC/IN3/ | HM52XX | SANTA MARIA DELLE GRAZIE AL M | VLT | DIGITAL | 50 MHz "_s + atNine,
    u"I0\u00c8         | HM52XX | CITT\u00c0 DELLA PIEVE DI SANTA MA | BD  | MIXED   | HF     "_s +
        atNine};

// Clicks the line that starts with a call.
void click(frmUtility& b, const QString& call, Qt::MouseButton button = Qt::LeftButton) {
    auto* view = child<QListView>(&b, "List");
    const int line = itemTexts(view).indexOf(QRegularExpression(call + u" .*"_s));
    QVERIFY2(line >= 0, "no line of that call");
    const QPoint at = view->visualRect(view->model()->index(line, 0)).center();
    QTest::mouseClick(view->viewport(), button, {}, at);
}

// A log of two QSOs, the browser opened from the main window's menu and searched for I1ABC.
struct SearchedByCall {
    TestEnv env;
    principale main{*env.services, *env.registry, {}};
    frmUtility* b = nullptr;
    SearchedByCall() {
        env.addQsos(2);
        main.mnUtiliy_Click();
        b = &env.registry->utility();
        env.dialogs.type(u"I1ABC"_s);
        hm52::test::click(b, "cmdCall");
    }
};

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each order and each search: its query, and its lines as shown. A search by band has a
    // row of its own where its query ends unlike the list of the whole log by band.
    void eachOrderAndSearchListsItsLinesWithItsQuery_data() {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("keys");
        const auto add = [](const char* name, const char* clicks, const QStringList& answers,
                            const char* query, const QList<int>& keys) {
            QTest::newRow(name) << clicks << answers
                                << u"select * from data "_s + QLatin1String(query) << keys;
        };
        add("as loaded, and after two empty answers", "cmdPlace", {"", ""},
            "order by call, Band, Mode, prov asc;", {7, 2, 1, 3, 6, 4, 5});
        add("place and mode, kept while band greyed it", "optMode2 optBand optPlace", {},
            "order by place, Mode, Band, prov asc;", {1, 2, 4, 7, 5, 3, 6});
        add("sub-square and band", "optMode2 optBand2 optWWLocator", {},
            "order by WWLocator, Band, Mode, prov asc;", {2, 3, 1, 5, 4, 6, 7});
        add("band", "optMode2 optBand", {}, "order by band, mode, WWLocator, prov asc;",
            {6, 5, 4, 7, 2, 3, 1});
        add("call", "cmdCall", {"I1ABC"},
            "where call = 'I1ABC' order by call, Band, Mode, prov asc;", {2, 1});
        add("call in lower case, by band", "optBand cmdCall", {"i1abc"},
            "where call = 'i1abc' order by band , mode, WWLocator,prov asc;", {2, 1});
        add("sub-square", "cmdWWLocator", {"XX"},
            "where WWLocator = 'XX' order by call, Band, Mode, prov asc;", {7, 6});
        add("place and province", "cmdPlace", {"PIAN D'OLMO", "LM"},
            "where place = 'PIAN D''OLMO' and prov ='LM' order by call, Band, Mode, prov asc;",
            {3});
        add("place and province, by band", "optBand cmdPlace", {"ALFA", "BD"},
            "where place = 'ALFA' and prov ='BD' order by band, mode, prov asc;", {2, 1});
        add("place in every province", "cmdPlace", {"PIAN D'OLMO", ""},
            "where place = 'PIAN D''OLMO' order by call, mode, band,prov asc;", {3, 5});
        add("province only", "cmdPlace", {"", "BD"},
            "where prov ='BD' order by call, mode, band,prov asc;", {7, 1, 2});
    }

    void eachOrderAndSearchListsItsLinesWithItsQuery() {
        QFETCH(QString, clicks);
        QFETCH(QStringList, answers);
        QFETCH(QString, query);
        QFETCH(QList<int>, keys);
        // The log (call, sub-square, place, province, mode, band, date, time, QSL): equal calls,
        // places and sub-squares, so that the second keys decide; values longer than their
        // column, letters beyond ASCII.
        TestEnv env;
        env.addQso({"I1ABC", "AB", "ALFA", "BD", "CW", "VHF", "5/1/04", "19:30", "c"});
        env.addQso({"I1ABC", "AB", "ALFA", "BD", "SSB", "HF", "5/1/04", "09:05", "c"});
        env.addQso({"IK0BBB", "AB", "PIAN D'OLMO", "LM", "MIXED", "SAT", "5/1/04", "09:05", "c"});
        env.addQso({"IW2CCC", "MN", "CA' BIANCA", "TD", "MIXED", "HF", "5/1/04", "09:05", "c"});
        env.addQso({"IZ9DDD", "AC", "PIAN D'OLMO", "MV", "MIXED", "HF", "5/1/04", "00:05", "c"});
        env.addQso({"IK2ABC/IN3/QRP", "XX", "SANTA MARIA DELLE GRAZIE AL MONTE SOPRA IL LAGO ALTO",
                    "VLT", "DIGITAL", "50 MHz", "5/1/04", "09:05", "c"});
        env.addQso({"I0\u00c8", "XX", "CITT\u00c0 DELLA PIEVE DI SANTA MAR\u00cdA", "BD", "MIXED",
                    "HF", "5/1/04", "09:05", "c"});
        frmUtility& b = env.registry->utility();
        env.dialogs.type(answers);
        for (const QString& name : clicks.split(u' ')) {
            click(&b, qPrintable(name));
        }
        QCOMPARE(env.dialogs.unanswered, 0);
        b.lineCount(); // a hidden browser lists when it is read
        QStringList expected;
        for (const int key : keys) {
            expected << logLines.at(key - 1);
        }
        QCOMPARE(itemTexts(child<QListView>(&b, "List")), expected);
        QCOMPARE(env.m.sharedRs->sql(), query);
        // "And:" is greyed while the list is by band.
        QCOMPARE(child(&b, "optMode2")->isEnabled(), !query.contains(u"order by band"_s));
    }

    // On screen the caption's bars stand over the lines' bars.
    void theBrowserShowsItsCaptionsOverTheLines() {
        TestEnv env;
        env.addQsos(2);
        frmUtility* b = &env.registry->utility();
        QCOMPARE(b->windowTitle(), u"Utility QSO"_s);
        QCOMPARE(texts(b, "Frame3 Frame1 optCall optPlace optWWLocator optBand frame2nd optBand2 "
                          "optMode2 Frame2 cmdCall cmdPlace cmdWWLocator cmdShowAny cmdDeleteQSO "
                          "cmdEditQSO cmdExit"),
                 u" Call       |  WWLoc | Place                         |Prov | Mode    | "
                 u"Band   | Date       | Time  | Qsl|"
                 u"Order by:|Call|Place|WWLocator|Band|And:|Band|Mode|Search for:|Call|Place|"
                 u"WWlocator|Show any QSO|Delete QSO|Edit QSO|Exit"_s);
        auto* del = child<QPushButton>(b, "cmdDeleteQSO");
        QCOMPARE(del->toolTip() + child(b, "cmdEditQSO")->toolTip(),
                 u"delete selected QSO edit selected QSO "_s);
        showActive(b);
        QVERIFY(
            barsAligned(b, child<QGroupBox>(b, "Frame3"), child<QListView>(b, "List"), 1, 8, 8));
    }

    // Each search asks its terms and replaces every term kept; Show any QSO clears them.
    void eachSearchReplacesEveryKeptTerm_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QString>("terms"); // call|sub-square|place|province
        QTest::newRow("call") << u"cmdCall"_s << QStringList{"O'HARA"}
                              << QStringList{"insert call:"} << u"O''HARA|||"_s;
        QTest::newRow("sub-square")
            << u"cmdWWLocator"_s << QStringList{"A'"}
            << QStringList{"insert WWLocator (just the last two characters):"} << u"|A''||"_s;
        QTest::newRow("place") << u"cmdPlace"_s << QStringList{"CA' BIANCA", "T'D"}
                               << QStringList{"insert place:", "insert prov:"}
                               << u"||CA'' BIANCA|T''D"_s;
        QTest::newRow("any") << u"cmdShowAny"_s << QStringList() << QStringList() << u"|||"_s;
    }
    void eachSearchReplacesEveryKeptTerm() {
        QFETCH(QString, button);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, asked);
        QFETCH(QString, terms);
        TestEnv env;
        BrowserTerms& t = env.registry->browserTerms();
        t.searchCall = t.searchLocator = t.searchPlace = t.searchProv = u"X"_s;
        env.dialogs.type(typed);
        click(&env.registry->utility(), qPrintable(button));
        QCOMPARE(
            QStringList({t.searchCall, t.searchLocator, t.searchPlace, t.searchProv}).join(u'|'),
            terms);
        QCOMPARE(env.dialogs.texts(), asked);
    }

    // Cancelled prompts (nothing typed) keep the search and its list as they were, not even
    // refreshed.
    void aCancelledSearchKeepsTheSearchAndItsList() {
        SearchedByCall s;
        TestEnv& env = s.env;
        frmUtility* b = s.b;
        env.addQso({.call = "I1ABC", .band = "SAT"});
        env.dialogs.clear();
        click(b, "cmdCall");
        click(b, "cmdWWLocator");
        QCOMPARE(env.dialogs.shown.size(), size_t(2));
        QCOMPARE(env.registry->browserTerms().searchCall, u"I1ABC"_s);
        QCOMPARE(b->lineCount(), 1);
    }

    // Exit hides the window; "Utility QSO" rebuilds the hidden list with a QSO logged meanwhile.
    // The close box unloads it: loaded afresh, the first order again, the same search,
    // refreshed from the log.
    void exitKeepsTheOrderTheCloseBoxDoesNotAndTheSearchOutlivesBoth() {
        SearchedByCall s;
        TestEnv& env = s.env;
        frmUtility* b = s.b;
        click(b, "optPlace");
        click(b, "cmdExit");
        QVERIFY(!b->isVisible());
        env.addQso({.call = "I1ABC", .band = "VHF"});
        s.main.mnUtiliy_Click();
        QCOMPARE(b->lineCount(), 2);
        QVERIFY(child<QRadioButton>(b, "optPlace")->isChecked());

        b->close();
        QTest::qWait(0); // the unloaded window goes
        env.addQso({.call = "I1ABC", .band = "UHF"});
        s.main.mnUtiliy_Click();
        b = &env.registry->utility();
        QVERIFY(child<QRadioButton>(b, "optCall")->isChecked());
        QCOMPARE(b->lineCount(), 3); // of four QSOs: still searched by call
    }

    // An open browser over a large log follows each change of the log line by line, and its
    // list is always the one a full listing gives, in every order and with many equal keys.
    void theListFollowsEveryChangeExactlyInEveryOrder_data() {
        QTest::addColumn<QString>("options");
        for (const char* options :
             {"optCall optBand2", "optCall optMode2", "optPlace optBand2", "optPlace optMode2",
              "optWWLocator optBand2", "optWWLocator optMode2", "optBand"}) {
            QTest::newRow(options) << QString::fromLatin1(options);
        }
    }

    void theListFollowsEveryChangeExactlyInEveryOrder() {
        QFETCH(QString, options);
        TestEnv env;
        std::mt19937 random(7);
        auto pick = [&random](const QStringList& list) {
            return list.at(static_cast<qsizetype>(random() % list.size()));
        };
        // The changes bring many equal keys: few calls (one in lower case), places (one empty),
        // bands and modes, among QSOs alike but for their calls.
        auto someQso = [&]() {
            return Qso{.call = pick({"I1ABC", "i1abc", "IK0XYZ", "I2Z", "I3QQQ"}),
                       .WWLocator = pick({"AB", "AC", "XX"}),
                       .place = pick({"ALFA", "bravo", "CHARLIE", ""}),
                       .mode = pick({"SSB", "CW"}),
                       .band = pick({"HF", "VHF", "UHF"}),
                       .qsl = u"w"_s};
        };
        env.addQsos(400);
        frmUtility& b = env.registry->utility();
        showActive(&b);
        for (const QString& option : options.split(u' ')) {
            click(&b, qPrintable(option));
        }
        const QString sql = env.m.sharedRs->sql();

        for (int step = 0; step < 60; ++step) {
            const qint64 highest =
                env.m.logDb.scalar(u"select max(count) from data"_s).toLongLong();
            const int key = static_cast<int>(random() % highest) + 1;
            const Qso q = someQso();
            if (const auto change = random() % 3; change == 0) {
                env.addQso(q);
            } else if (change == 1) {
                env.m.logDb.execute(u"delete from data where count = %1"_s.arg(key));
            } else {
                env.m.logDb.execute(
                    u"update data set call = '%1', band = '%2', mode = '%3', "
                    u"place = '%4' where count = %5"_s.arg(q.call, q.band, q.mode, q.place)
                        .arg(key));
            }
            env.m.openShared(u"select 1 as untouched"_s);
            b.showAny();
            // The change was followed, not listed again.
            QCOMPARE(env.m.sharedRs->sql(), u"select 1 as untouched"_s);
            // The keys a full listing of the browser's query gives.
            std::vector<qint32> listed;
            for (Recordset rs(env.m.logDb, sql, Recordset::keysOnly); !rs.eof(); rs.moveNext()) {
                listed.push_back(static_cast<qint32>(rs.rowid()));
            }
            const auto shown = b.lineKeys();
            QCOMPARE(std::vector<qint32>(shown.begin(), shown.begin() + b.lineCount()), listed);
        }
    }

    // ----- editing and deleting the selected QSO --------------------------------------

    void theEditWindowIsFilledFromTheStoredRow() {
        TestEnv env;
        env.addQso({"I2XYZ", "AC", "PIAN D'OLMO", "MV", "CW", "VHF", "31/2/4", "19:05", "w"});
        // Imported with a place the gazetteer does not know: no province; confirmed, stored upper
        // case.
        const int seven = env.addQso({.call = "I3QQQ", .prov = "", .time = "07:05", .qsl = "C"});
        frmUtility& b = env.registry->utility();
        b.showAny();
        showActive(&b);

        click(b, u"I2XYZ"_s);
        click(&b, "cmdEditQSO");
        auto* edit = qobject_cast<frmEditQSO*>(env.registry->loaded(Window::EditQSO));
        QVERIFY(edit && edit->isVisible());
        QCOMPARE(formText(*edit), u"AC|I2XYZ|31|02|04|1905|PIAN D'OLMO|MV|CW|VHF|w"_s);
        // The sub-square's change handler ran: the place list holds the places of HM52AC.
        QCOMPARE(itemTexts(edit->comboPlace), QStringList({"DELTA", "PIAN D'OLMO"}));
        QCOMPARE(env.m.sharedRs->sql(), u"select * from data where count =1;"_s);

        // A second hand-over, by double-click, overwrites every field (the province saved
        // empty again, not MV); a one-digit hour gains its zero.
        showActive(&b);
        click(b, u"I3QQQ"_s);
        auto* view = child<QListView>(&b, "List");
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                           view->visualRect(view->currentIndex()).center());
        QCOMPARE(formText(*edit), u"AB|I3QQQ|05|01|04|0705|ALFA||MIXED|HF|c"_s);
        QCOMPARE(edit->editCount, seven);
        // The open edit window comes back to the front, the focus in the sub-square box.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit->txtWWLocator));
    }

    // (The counter recounted after a deletion, and the only line of a search deleted: see the
    // end-to-end road.)
    void deleteAsksTheRightButtonActsOnTheSelectedLineAndAccreditedOrVanishedQsosAreKept() {
        TestEnv env;
        env.addQso({.call = "I1AAA"});
        env.addQso({.call = "I2BBB", .qsl = "w"});
        env.addQso({.call = "I3CCC"});
        frmUtility& b = env.registry->utility();
        b.showAny();
        showActive(&b);
        auto* popup = child<QMenu>(&b, "mnPopup");
        QStringList entries{popup->title()};
        for (QAction* action : popup->actions()) {
            entries << action->objectName() + u'=' + action->text();
        }
        QCOMPARE(entries, QStringList({"Popup", "mnEditQSO=&Edit QSO", "mnDeleteQSO=&Delete QSO"}));

        // No selection: no menu.
        click(b, u"I1AAA"_s, Qt::RightButton);
        QCOMPARE(b.selectedLine(), -1);
        QVERIFY(!popup->isVisible());

        // Cancel keeps the QSO and the selection, which the menu below works on. (The
        // question's text and buttons: tst_questions.)
        click(b, u"I2BBB"_s);
        env.dialogs.answer(Answer::Cancel);
        click(&b, "cmdDeleteQSO");
        QCOMPARE(looks(env.dialogs), QStringList({"HM52 Critical OkCancel"}));
        QCOMPARE(env.count(), 3);

        // A right click on another line opens the menu for the line selected before; Ok
        // deletes that QSO alone (two are left: counted below), and the list loses the
        // selection. (The list losing the deleted line: tst_roads.)
        click(b, u"I1AAA"_s, Qt::RightButton);
        QTRY_VERIFY(popup->isVisible());
        popup->hide();
        env.dialogs.answer(Answer::Ok);
        child<QAction>(&b, "mnDeleteQSO")->trigger();
        QCOMPARE(env.count("call = 'I2BBB'"), 0);
        QCOMPARE(b.selectedLine(), -1);

        // Listed as confirmed, accredited since (stored upper case, as another program may write
        // it): each action reads the log again and refuses.
        click(b, u"I1AAA"_s);
        env.m.logDb.execute("update data set qsl = 'A' where call = 'I1AAA'");
        env.dialogs.clear();
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"You cannot edit an accreditated qso!",
                                                   "you cannot delete an accreditated QSO!"}));
        QCOMPARE(looks(env.dialogs), QStringList(2, u"HM52 Critical Ok"_s));
        QCOMPARE(env.count(), 2);

        // Deleted meanwhile: told, and the list refreshed.
        click(b, u"I3CCC"_s);
        env.m.logDb.execute("delete from data where call = 'I3CCC'");
        env.dialogs.clear();
        b.cmdEditQSO_Click();
        QCOMPARE(env.dialogs.texts(), QStringList{"this QSO is no longer in the Logbook!"});
        QCOMPARE(b.lineCount(), 1);
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
