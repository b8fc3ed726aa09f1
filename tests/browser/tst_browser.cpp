// The log browser: its header and line format, the searches, the order options and their
// query texts, the search terms that outlive the window; and editing and deleting the selected
// QSO: which line an action works on, the refusals of accredited QSOs, the edit window filled
// from the stored row, and the list after a deletion (which also clears the selection).

#include "app/principale.h"
#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "support/Pixels.h"
#include "support/TestEnv.h"
#include "ui/Windows.h"

#include <QMenu>

using namespace hm52;
using namespace hm52::test;

namespace {

const QString header = u" Call       |  WWLoc | Place                         |Prov | Mode    | "
                       u"Band   | Date       | Time  | Qsl"_s;
const QString byCall = u"select * from data order by call, Band, Mode, prov asc;"_s;

// The listing query a hidden browser ran once it was read.
QString sql(TestEnv& env) {
    env.registry->utility().lineCount();
    return env.m.sharedRs ? env.m.sharedRs->sql() : QString();
}

QStringList lines(frmUtility& b) {
    QStringList all;
    for (int i = 0; i < b.lineCount(); ++i) {
        all << b.lineText(i);
    }
    return all;
}

QStringList calls(frmUtility& b) {
    QStringList all;
    for (const QString& line : lines(b)) {
        all << line.left(11).trimmed();
    }
    return all;
}

// A browser on the whole log, active.
frmUtility& openBrowser(TestEnv& env) {
    frmUtility& b = env.registry->utility();
    b.showAny();
    showActive(&b);
    return b;
}

// Clicks the line that starts with a call.
void click(frmUtility& b, const QString& call, Qt::MouseButton button = Qt::LeftButton,
           bool twice = false) {
    auto* view = child<QListView>(&b, "List");
    for (int i = 0; i < b.lineCount(); ++i) {
        if (b.lineText(i).startsWith(call + u' ')) {
            const QPoint at = view->visualRect(view->model()->index(i, 0)).center();
            if (twice) {
                QTest::mouseDClick(view->viewport(), button, {}, at);
            } else {
                QTest::mouseClick(view->viewport(), button, {}, at);
            }
            return;
        }
    }
    QFAIL("no line of that call");
}

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headerAndLinesShowEveryFieldUnderTheSameBars() {
        TestEnv env;
        env.addQso({.call = "I1B", .time = "19:30"});
        env.addQso({.call = "I1C", .time = "00:05"});
        env.addQso({.call = "I1D"});
        env.m.logDb.execute(u"update data set time = '7.5', date = 'sometime' where count = 3"_s);
        env.addQso({.call = "IK2ABC/IN3/QRP",
                    .place = "SANTA MARIA DELLE GRAZIE AL MONTE SOPRA IL LAGO ALTO",
                    .prov = "VLT",
                    .mode = "DIGITAL",
                    .band = "50 MHz"});
        env.addQso({.call = "I0\u00c8", .place = "CITT\u00c0 DELLA PIEVE DI SANTA MAR\u00cdA"});
        frmUtility& b = env.registry->utility();
        QCOMPARE(child<QGroupBox>(&b, "Frame3")->title(), header);
        const auto line = [](const char* call, const char* date, const char* time) {
            return QLatin1String(call) +
                   u"         | HM52AB | ALFA                          | BD  | "_s
                   u"MIXED   | HF     | "_s +
                   QLatin1String(date) + u" | "_s + QLatin1String(time) + u" | c"_s;
        };
        // Values longer than their column are cut to it; letters beyond ASCII count as one
        // character each; a time or date stored oddly still fits its column.
        QCOMPARE(
            lines(b),
            QStringList({u"I0\u00c8         | HM52AB | CITT\u00c0 DELLA PIEVE DI SANTA MA | "
                         u"BD  | MIXED   | HF     | 05/01/04   | 09.05 | c"_s,
                         line("I1B", "05/01/04  ", "19.30"), line("I1C", "05/01/04  ", "00.05"),
                         line("I1D", "sometime  ", "07.5 "),
                         u"IK2ABC/IN3/ | HM52AB | SANTA MARIA DELLE GRAZIE AL M | VLT | "
                         u"DIGITAL | 50 MHz | 05/01/04   | 09.05 | c"_s}));
        // On screen as well: the caption's bars stand over the lines' bars.
        showActive(&b);
        QVERIFY(barsAligned(
            shownBars(&b, child<QGroupBox>(&b, "Frame3"), child<QListView>(&b, "List"), 1), 8, 8));
    }

    void eachOrderListsWithItsQueryAndKeysFollowTheLines_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("keys");
        const auto add = [](const char* options, const QString& query, const QList<int>& keys) {
            QTest::newRow(*options ? options : "as loaded")
                << QString::fromLatin1(options) << query << keys;
        };
        add("", byCall, {2, 1, 4, 3});
        add("optMode2 optCall", u"select * from data order by call, Mode, Band, prov asc;"_s,
            {1, 2, 4, 3});
        add("optMode2 optPlace", u"select * from data order by place, Mode, Band, prov asc;"_s,
            {2, 1, 4, 3});
        add("optBand2 optWWLocator",
            u"select * from data order by WWLocator, Band, Mode, prov asc;"_s, {4, 3, 2, 1});
        add("optMode2 optBand", u"select * from data order by band, mode, WWLocator, prov asc;"_s,
            {2, 4, 3, 1});
    }

    void eachOrderListsWithItsQueryAndKeysFollowTheLines() {
        QFETCH(QString, options);
        QFETCH(QString, query);
        QFETCH(QList<int>, keys);
        TestEnv env;
        env.addQso(
            {.call = "I1A", .WWLocator = "XX", .place = "BRAVO", .mode = "CW", .band = "VHF"});
        env.addQso(
            {.call = "I1A", .WWLocator = "MN", .place = "ALFA", .mode = "SSB", .band = "HF"});
        env.addQso({.call = "I1C", .place = "CHARLIE", .mode = "MIXED", .band = "SAT"});
        env.addQso({.call = "I1C", .place = "CHARLIE", .mode = "CW", .band = "SAT"});
        frmUtility& b = env.registry->utility();
        for (const QString& option : options.split(u' ', Qt::SkipEmptyParts)) {
            click(&b, qPrintable(option));
        }
        QCOMPARE(sql(env), query);
        QCOMPARE(b.lineKeys().size(), size_t(5)); // rows in the log plus one
        QCOMPARE(QList<int>(b.lineKeys().begin(), b.lineKeys().begin() + 4), keys);
    }

    void bandGreysAndAndKeepsItsChoiceForLater() {
        TestEnv env;
        frmUtility& b = env.registry->utility();
        auto* frame2nd = child(&b, "frame2nd");
        auto* mode2 = child<QRadioButton>(&b, "optMode2");
        // Loaded by call, then band and mode.
        QVERIFY(child<QRadioButton>(&b, "optCall")->isChecked() &&
                child<QRadioButton>(&b, "optBand2")->isChecked() && frame2nd->isEnabled());
        mode2->click();
        click(&b, "optBand");
        QVERIFY(!frame2nd->isEnabled());
        QVERIFY(!child(&b, "optBand2")->isEnabled());
        QVERIFY(!mode2->isEnabled());
        QVERIFY(mode2->isChecked());
        click(&b, "optPlace");
        QVERIFY(frame2nd->isEnabled() && mode2->isEnabled());
        QVERIFY(mode2->isChecked());
    }

    void searchesListTheirRowsWithTheirQueries_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("byBand");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("found");
        const auto add = [](const char* name, const char* button, const QStringList& answers,
                            bool byBand, const char* where, const QStringList& found) {
            QTest::newRow(name) << button << answers << byBand
                                << u"select * from data "_s + QLatin1String(where) << found;
        };
        add("call", "cmdCall", {"I1ABC"}, false,
            "where call = 'I1ABC' order by call, Band, Mode, prov asc;", {"I1ABC", "I1ABC"});
        add("call in lower case, by band", "cmdCall", {"i1abc"}, true,
            "where call = 'i1abc' order by band , mode, WWLocator,prov asc;", {"I1ABC", "I1ABC"});
        add("sub-square", "cmdWWLocator", {"MN"}, false,
            "where WWLocator = 'MN' order by call, Band, Mode, prov asc;", {"IW2CCC"});
        add("sub-square, by band", "cmdWWLocator", {"AB"}, true,
            "where WWLocator = 'AB' order by band, mode, WWLocator, prov asc;",
            {"I1ABC", "IK0BBB", "I1ABC"});
        add("place and province", "cmdPlace", {"PIAN D'OLMO", "LM"}, false,
            "where place = 'PIAN D''OLMO' and prov ='LM' order by call, Band, Mode, prov asc;",
            {"IK0BBB"});
        add("place and province, by band", "cmdPlace", {"ALFA", "BD"}, true,
            "where place = 'ALFA' and prov ='BD' order by band, mode, prov asc;",
            {"I1ABC", "I1ABC"});
        add("place in every province", "cmdPlace", {"PIAN D'OLMO", ""}, false,
            "where place = 'PIAN D''OLMO' order by call, mode, band,prov asc;",
            {"IK0BBB", "IZ9DDD"});
        add("place in every province, by band", "cmdPlace", {"PIAN D'OLMO", ""}, true,
            "where place = 'PIAN D''OLMO' order by band, mode, WWLocator, prov asc;",
            {"IZ9DDD", "IK0BBB"});
        add("province only", "cmdPlace", {"", "TD"}, false,
            "where prov ='TD' order by call, mode, band,prov asc;", {"IW2CCC"});
        add("province only, by band", "cmdPlace", {"", "TD"}, true,
            "where prov ='TD' order by band, mode, WWLocator, prov asc;", {"IW2CCC"});
        add("two empty answers list the whole log", "cmdPlace", {"", ""}, false,
            "order by call, Band, Mode, prov asc;",
            {"I1ABC", "I1ABC", "IK0BBB", "IW2CCC", "IZ9DDD"});
    }

    void searchesListTheirRowsWithTheirQueries() {
        QFETCH(QString, button);
        QFETCH(QStringList, answers);
        QFETCH(bool, byBand);
        QFETCH(QString, query);
        QFETCH(QStringList, found);
        TestEnv env;
        env.addQso({.band = "VHF"});
        env.addQso({.band = "HF"});
        env.addQso({.call = "IK0BBB", .place = "PIAN D'OLMO", .prov = "LM", .band = "SAT"});
        env.addQso({.call = "IW2CCC", .WWLocator = "MN", .place = "CA' BIANCA", .prov = "TD"});
        env.addQso({.call = "IZ9DDD", .WWLocator = "AC", .place = "PIAN D'OLMO", .prov = "MV"});
        frmUtility& b = env.registry->utility();
        if (byBand) {
            click(&b, "optBand");
        }
        for (const QString& answer : answers) {
            env.dialogs.type(answer);
        }
        click(&b, qPrintable(button));
        QCOMPARE(env.dialogs.unanswered, 0);
        QCOMPARE(sql(env), query);
        QCOMPARE(calls(b), found);
        for (const ShownBox& box : env.dialogs.shown) {
            QCOMPARE(box.kind, ShownBox::Input);
            QCOMPARE(box.title, u"HM52"_s);
        }
    }

    void promptsAskKeepTermsQuotedAndACancelledCallOrSubSquarePromptChangesNothing() {
        TestEnv env;
        env.addQso({.call = "I1ABC"});
        env.addQso({.call = "IK0BBB"});
        frmUtility& b = env.registry->utility();
        const BrowserTerms& t = env.registry->browserTerms();
        env.dialogs.type(u"O'HARA"_s);
        click(&b, "cmdCall");
        QCOMPARE(t.searchCall, u"O''HARA"_s);
        env.dialogs.type(u"A'"_s);
        click(&b, "cmdWWLocator");
        QCOMPARE(t.searchLocator, u"A''"_s);
        QVERIFY(t.searchCall.isEmpty());
        env.dialogs.type(u"CA' BIANCA"_s);
        env.dialogs.type(u"T'D"_s);
        click(&b, "cmdPlace");
        QCOMPARE(t.searchPlace + u'|' + t.searchProv, u"CA'' BIANCA|T''D"_s);
        QVERIFY(t.searchLocator.isEmpty());
        QCOMPARE(env.dialogs.texts(),
                 QStringList({"insert call:", "insert WWLocator (just the last two characters):",
                              "insert place:", "insert prov:"}));
        click(&b, "cmdShowAny");
        QVERIFY(t.searchPlace.isEmpty() && t.searchProv.isEmpty());

        // Cancelled prompts (nothing typed) keep the search, its query and its list as they
        // were, not even refreshed.
        env.dialogs.type(u"IK0BBB"_s);
        click(&b, "cmdCall");
        const QString query = sql(env);
        env.addQso({.call = "IK0BBB", .band = "SAT"});
        env.dialogs.clear();
        click(&b, "cmdCall");
        click(&b, "cmdWWLocator");
        QCOMPARE(env.dialogs.shown.size(), size_t(2));
        QCOMPARE(t.searchCall, u"IK0BBB"_s);
        QCOMPARE(sql(env), query);
        QCOMPARE(b.lineCount(), 1);
    }

    void termsOutliveExitAndTheCloseBox() {
        TestEnv env;
        env.addQso({.call = "I1ABC"});
        env.addQso({.call = "IK0BBB"});
        principale main(*env.services, *env.registry, {});
        main.mnUtiliy_Click();
        frmUtility* b = &env.registry->utility();
        env.dialogs.type(u"IK0BBB"_s);
        click(b, "cmdCall");
        click(b, "optPlace");

        click(b, "cmdExit");
        QVERIFY(!b->isVisible());
        QCOMPARE(env.registry->loaded(Window::Utility), b);

        // "Utility QSO" rebuilds the hidden list: a QSO logged meanwhile is in it.
        env.addQso({.call = "IK0BBB", .band = "VHF"});
        main.mnUtiliy_Click();
        QCOMPARE(env.registry->loaded(Window::Utility), b);
        QVERIFY(b->isVisible());
        QCOMPARE(calls(*b), (QStringList{"IK0BBB", "IK0BBB"}));

        b->close();
        QCOMPARE(env.registry->loaded(Window::Utility), nullptr);
        QTest::qWait(0); // the unloaded window goes
        env.addQso({.call = "IK0BBB", .band = "SAT"});
        main.mnUtiliy_Click();
        b = &env.registry->utility();
        QVERIFY(b->isVisible());
        // Loaded afresh: the first order again, the same search, refreshed from the log.
        QVERIFY(child<QRadioButton>(b, "optCall")->isChecked());
        QCOMPARE(calls(*b), (QStringList{"IK0BBB", "IK0BBB", "IK0BBB"}));
    }

    void showAnyThroughTheRegistryLoadsTheBrowserHiddenWithItsCaptions() {
        TestEnv env;
        QVERIFY(env.registry->loaded(Window::Utility) == nullptr);
        env.registry->showAny();
        auto* b = qobject_cast<frmUtility*>(env.registry->loaded(Window::Utility));
        QVERIFY(b != nullptr && !b->isVisible());
        QCOMPARE(b->lineCount(), 0);
        QCOMPARE(b->lineKeys().size(), size_t(1));
        env.addQso({});
        env.registry->showAny();
        QCOMPARE(b->lineCount(), 1);

        QCOMPARE(b->windowTitle(), u"Utility QSO"_s);
        QCOMPARE(texts(b, "Frame1 optCall optPlace optWWLocator optBand frame2nd optBand2 optMode2 "
                          "Frame2 cmdCall cmdPlace cmdWWLocator cmdShowAny cmdDeleteQSO cmdEditQSO "
                          "cmdExit"),
                 u"Order by:|Call|Place|WWLocator|Band|And:|Band|Mode|Search for:|Call|Place|"
                 u"WWlocator|Show any QSO|Delete QSO|Edit QSO|Exit"_s);
        auto* del = child<QPushButton>(b, "cmdDeleteQSO");
        QCOMPARE(del->toolTip() + child(b, "cmdEditQSO")->toolTip(),
                 u"delete selected QSO edit selected QSO "_s);
        QVERIFY(del->font().bold());
    }

    // ----- editing and deleting the selected QSO --------------------------------------

    void theEditWindowIsFilledFromTheStoredRow() {
        TestEnv env;
        env.addQso({.call = "I2XYZ",
                    .WWLocator = "AC",
                    .place = "PIAN D'OLMO",
                    .prov = "MV",
                    .mode = "CW",
                    .band = "VHF",
                    .date = "31/2/4",
                    .time = "19:05",
                    .qsl = "w"});
        // Imported with a place the gazetteer does not know: no province.
        const int seven = env.addQso({.call = "I3QQQ", .prov = "", .time = "07:05", .qsl = "c"});
        frmUtility& b = openBrowser(env);

        click(b, u"I2XYZ"_s);
        click(&b, "cmdEditQSO");
        auto* edit = qobject_cast<frmEditQSO*>(env.registry->loaded(Window::EditQSO));
        QVERIFY(edit && edit->isVisible());
        QCOMPARE(formText(*edit), u"AC|I2XYZ|31|02|04|1905|PIAN D'OLMO|MV|CW|VHF|w"_s);
        // The sub-square's change handler ran: the place list holds the places of HM52AC.
        QCOMPARE(itemTexts(edit->comboPlace), QStringList({"DELTA", "PIAN D'OLMO"}));
        QCOMPARE(edit->editCount, 1);
        QCOMPARE(env.m.sharedRs->sql(), u"select * from data where count =1;"_s);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit->txtWWLocator));

        // A second hand-over, by double-click, overwrites every field (the province saved
        // empty again, not MV); a one-digit hour gains its zero.
        showActive(&b);
        click(b, u"I3QQQ"_s);
        click(b, u"I3QQQ"_s, Qt::LeftButton, true);
        QCOMPARE(formText(*edit), u"AB|I3QQQ|05|01|04|0705|ALFA||MIXED|HF|c"_s);
        QCOMPARE(edit->editCount, seven);
        QVERIFY(env.dialogs.shown.empty());
        // The open edit window comes back to the front, the focus in the sub-square box.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(edit));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit->txtWWLocator));
    }

    void accreditedOrVanishedQsosAreNeitherEditedNorDeleted() {
        TestEnv env;
        env.addQso({.call = "I1AAA", .qsl = "c"});
        env.addQso({.call = "I3CCC"});
        frmUtility& b = openBrowser(env);
        // Listed as confirmed, accredited since: each action reads the log again and refuses.
        click(b, u"I1AAA"_s);
        env.m.logDb.execute("update data set qsl = 'a' where call = 'I1AAA'");
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        b.List_DblClick();
        QCOMPARE(env.dialogs.texts(), QStringList({"You cannot edit an accreditated qso!",
                                                   "you cannot delete an accreditated QSO!",
                                                   "You cannot edit an accreditated qso!"}));
        QCOMPARE(looks(env.dialogs), QStringList(3, u"HM52 Critical Ok"_s));
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
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

    // (The counter recounted after a deletion, and the only line of a search deleted: see the
    // end-to-end road.)
    void deleteAsksAndTheRightButtonActsOnTheSelectedLineAndNeverSelects() {
        TestEnv env;
        env.addQso({.call = "I1AAA"});
        env.addQso({.call = "I2BBB", .qsl = "w"});
        frmUtility& b = openBrowser(env);
        auto* popup = child<QMenu>(&b, "mnPopup");
        QStringList entries;
        for (QAction* action : popup->actions()) {
            entries << action->objectName() + u'=' + action->text();
        }
        QCOMPARE(popup->title(), u"Popup"_s);
        QCOMPARE(entries, QStringList({"mnEditQSO=&Edit QSO", "mnDeleteQSO=&Delete QSO"}));

        // No selection: no menu, and the buttons and a double-click do nothing.
        click(b, u"I1AAA"_s, Qt::RightButton);
        QCOMPARE(b.selectedLine(), -1);
        QVERIFY(!popup->isVisible());
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        b.List_DblClick();
        QVERIFY(env.dialogs.shown.empty());
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);

        // Cancel keeps the QSO and the selection.
        click(b, u"I2BBB"_s);
        const int line = b.selectedLine();
        env.dialogs.answer(Answer::Cancel);
        click(&b, "cmdDeleteQSO");
        QCOMPARE(env.dialogs.texts(),
                 QStringList({"are you sure you want to permanently delete this QSO from the "
                              "Logbook?"}));
        QCOMPARE(looks(env.dialogs), QStringList({"HM52 Critical OkCancel"}));
        QCOMPARE(env.count(), 2);
        QCOMPARE(b.selectedLine(), line);

        // A right click on another line opens the menu for the line selected before; Ok
        // deletes that QSO alone, and the list loses its line and the selection.
        click(b, u"I1AAA"_s, Qt::RightButton);
        QCOMPARE(b.selectedLine(), line);
        QTRY_VERIFY(popup->isVisible());
        popup->hide();
        env.dialogs.answer(Answer::Ok);
        child<QAction>(&b, "mnDeleteQSO")->trigger();
        QCOMPARE(env.count("call = 'I2BBB'"), 0);
        QCOMPARE(env.count(), 1);
        QCOMPARE(b.lineCount(), 1);
        QCOMPARE(b.selectedLine(), -1);
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
