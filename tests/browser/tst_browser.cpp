// The log browser: its header and line format, the searches, the order options and their
// query texts, and the search terms that outlive the window.

#include "app/principale.h"
#include "browser/BrowserTerms.h"
#include "browser/frmUtility.h"
#include "support/Pixels.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QGroupBox>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

namespace {

// The character positions (from 1) of the column bars of a header or a line.
QList<int> bars(const QString& text) {
    QList<int> at;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'|') {
            at << static_cast<int>(i + 1);
        }
    }
    return at;
}

QString header() {
    return QStringLiteral(" Call       |  WWLoc | Place                         |Prov | Mode    | "
                          "Band   | Date       | Time  | Qsl");
}

Qso qso(const QString& call, const QString& band = QStringLiteral("HF"),
        const QString& mode = QStringLiteral("MIXED")) {
    Qso q;
    q.call = call;
    q.band = band;
    q.mode = mode;
    return q;
}

} // namespace

class BrowserTest : public QObject {
    Q_OBJECT

private:
    static frmUtility& browser(TestEnv& env) { return env.registry->utility(); }
    template <class W> static W* child(QWidget& w, const char* name) {
        auto* found = w.findChild<W*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no control %s", name);
        }
        return found;
    }
    static QString sql(TestEnv& env) { return env.m.sharedRs ? env.m.sharedRs->sql() : QString(); }
    static QStringList lines(frmUtility& b) {
        QStringList all;
        for (int i = 0; i < b.lineCount(); ++i) {
            all << b.lineText(i);
        }
        return all;
    }
    static QStringList calls(frmUtility& b) {
        QStringList all;
        for (const QString& line : lines(b)) {
            all << line.left(11).trimmed();
        }
        return all;
    }

private Q_SLOTS:
    void headerAndLinesKeepTheirBarsInTheSameColumns() {
        TestEnv env;
        Qso longOne = qso(QStringLiteral("IK2ABC/IN3/QRP"));
        longOne.place = QStringLiteral("SANTA MARIA DELLE GRAZIE AL MONTE SOPRA IL LAGO ALTO");
        longOne.prov = QStringLiteral("VLT");
        longOne.mode = QStringLiteral("DIGITAL");
        longOne.band = QStringLiteral("50 MHz");
        env.addQso(longOne);
        env.addQso(qso(QStringLiteral("I1A")));
        Qso accented = qso(QStringLiteral("I0\u00c8"));
        accented.place = QStringLiteral("CITT\u00c0 DELLA PIEVE DI SANTA MAR\u00cdA");
        env.addQso(accented);
        frmUtility& b = browser(env);
        const QString caption = child<QGroupBox>(b, "Frame3")->title();
        QCOMPARE(caption, header());
        QCOMPARE(caption.size(), 104);
        const QList<int> expected{13, 22, 54, 60, 70, 79, 92, 100};
        QCOMPARE(bars(caption), expected);
        QCOMPARE(b.lineCount(), 3);
        for (const QString& line : lines(b)) {
            QCOMPARE(line.size(), 102);
            QCOMPARE(bars(line), expected);
        }
        // Values longer than their column are cut to it.
        QCOMPARE(b.lineText(2).left(14), QStringLiteral("IK2ABC/IN3/ | "));
        QVERIFY(b.lineText(2).contains(QStringLiteral("| SANTA MARIA DELLE GRAZIE AL M | VLT |")));
        // Letters beyond ASCII count as one character each.
        QVERIFY(b.lineText(0).startsWith(QStringLiteral("I0\u00c8         | HM52AB | "
                                                        "CITT\u00c0 DELLA PIEVE DI SANTA MA | ")));

        // On screen as well: the caption's bars stand over the lines' bars.
        showActive(&b);
        const ShownBars shown =
            shownBars(&b, child<QGroupBox>(b, "Frame3"), child<QListView>(b, "List"), 1);
        QCOMPARE(shown.caption.size(), 8);
        QCOMPARE(shown.line.size(), 8);
        for (int i = 0; i < 8; ++i) {
            QVERIFY2(qAbs(shown.caption[i] - shown.line[i]) <= 1.0,
                     qPrintable(QStringLiteral("bar %1: caption at %2, line at %3")
                                    .arg(i + 1)
                                    .arg(shown.caption[i])
                                    .arg(shown.line[i])));
        }
    }

    void lineShowsEveryFieldPaddedToItsColumn_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("shown");
        QTest::newRow("hour of one digit") << "09:30"
                                           << "09.30";
        QTest::newRow("hour of two digits") << "19:30"
                                            << "19.30";
        QTest::newRow("midnight") << "00:05"
                                  << "00.05";
    }

    void lineShowsEveryFieldPaddedToItsColumn() {
        QFETCH(QString, time);
        QFETCH(QString, shown);
        TestEnv env;
        Qso q = qso(QStringLiteral("I1ABC"));
        q.time = time;
        q.date = QStringLiteral("5/1/04");
        env.addQso(q);
        frmUtility& b = browser(env);
        QCOMPARE(b.lineText(0),
                 QStringLiteral("I1ABC       | HM52AB | ALFA                         "
                                " | BD  | MIXED   | HF     | 05/01/04   | ") +
                     shown + QStringLiteral(" | c"));
    }

    void aTimeOrDateThatIsNotStoredInItsUsualFormStillFitsItsColumn() {
        TestEnv env;
        const int n = env.addQso(qso(QStringLiteral("I1ABC")));
        env.m.logDb.execute(
            QStringLiteral("update data set time = '7.5', date = 'sometime' where count = %1")
                .arg(n));
        frmUtility& b = browser(env);
        QCOMPARE(bars(b.lineText(0)), bars(header()));
        QVERIFY(b.lineText(0).contains(QStringLiteral("| sometime   | 07.5  | c")));
    }

    void anEmptyLogGivesAnEmptyList() {
        TestEnv env;
        frmUtility& b = browser(env);
        QCOMPARE(b.lineCount(), 0);
        QCOMPARE(b.lineKeys.size(), size_t(1));
    }

    void loadingOrdersByCallThenBandAndModeAndKeysFollowTheLines() {
        TestEnv env;
        const int c1 = env.addQso(qso(QStringLiteral("IZ3ZZ"), QStringLiteral("HF")));
        const int c2 = env.addQso(qso(QStringLiteral("I1ABC"), QStringLiteral("VHF")));
        const int c3 =
            env.addQso(qso(QStringLiteral("I1ABC"), QStringLiteral("HF"), QStringLiteral("SSB")));
        const int c4 =
            env.addQso(qso(QStringLiteral("I1ABC"), QStringLiteral("HF"), QStringLiteral("CW")));
        frmUtility& b = browser(env);
        QVERIFY(child<QRadioButton>(b, "optCall")->isChecked());
        QVERIFY(child<QRadioButton>(b, "optBand2")->isChecked());
        QVERIFY(child<QGroupBox>(b, "frame2nd")->isEnabled());
        QCOMPARE(sql(env),
                 QStringLiteral("select * from data order by call, Band, Mode, prov asc;"));
        QCOMPARE(b.lineKeys.size(), size_t(5)); // rows in the log plus one
        QCOMPARE(std::vector<qint32>(b.lineKeys.begin(), b.lineKeys.begin() + 4),
                 (std::vector<qint32>{c4, c3, c2, c1}));
        QCOMPARE(b.selectedLine(), -1);
    }

    void eachOrderOptionListsWithItsQuery_data() {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("main");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("order");
        // Calls stand for the rows: A at BRAVO/VHF/CW, B at ALFA/HF/SSB, C at CHARLIE/SAT/MIXED.
        QTest::newRow("call, band") << "optBand2"
                                    << "optCall"
                                    << "select * from data order by call, Band, Mode, prov asc;"
                                    << QStringList{"A", "B", "C"};
        QTest::newRow("place, mode") << "optMode2"
                                     << "optPlace"
                                     << "select * from data order by place, Mode, Band, prov asc;"
                                     << QStringList{"B", "A", "C"};
        QTest::newRow("sub-square, band")
            << "optBand2"
            << "optWWLocator"
            << "select * from data order by WWLocator, Band, Mode, prov asc;"
            << QStringList{"C", "B", "A"};
        QTest::newRow("band") << "optMode2"
                              << "optBand"
                              << "select * from data order by band, mode, WWLocator, prov asc;"
                              << QStringList{"B", "C", "A"};
    }

    void eachOrderOptionListsWithItsQuery() {
        QFETCH(QString, second);
        QFETCH(QString, main);
        QFETCH(QString, query);
        QFETCH(QStringList, order);
        TestEnv env;
        struct Row {
            const char* call;
            const char* place;
            const char* locator;
            const char* band;
            const char* mode;
        };
        for (const Row& r :
             {Row{"A", "BRAVO", "XX", "VHF", "CW"}, Row{"B", "ALFA", "MN", "HF", "SSB"},
              Row{"C", "CHARLIE", "AB", "SAT", "MIXED"}}) {
            Qso q = qso(QString::fromLatin1(r.call), QString::fromLatin1(r.band),
                        QString::fromLatin1(r.mode));
            q.place = QString::fromLatin1(r.place);
            q.WWLocator = QString::fromLatin1(r.locator);
            env.addQso(q);
        }
        frmUtility& b = browser(env);
        child<QRadioButton>(b, qPrintable(second))->click();
        child<QRadioButton>(b, qPrintable(main))->click();
        QCOMPARE(sql(env), query);
        QCOMPARE(calls(b), order);
    }

    void bandGreysAndAndKeepsItsChoiceForLater() {
        TestEnv env;
        frmUtility& b = browser(env);
        auto* frame2nd = child<QGroupBox>(b, "frame2nd");
        auto* mode2 = child<QRadioButton>(b, "optMode2");
        mode2->click();
        child<QRadioButton>(b, "optBand")->click();
        QVERIFY(!frame2nd->isEnabled());
        QVERIFY(!child<QRadioButton>(b, "optBand2")->isEnabled());
        QVERIFY(!mode2->isEnabled());
        QVERIFY(mode2->isChecked());
        child<QRadioButton>(b, "optPlace")->click();
        QVERIFY(frame2nd->isEnabled() && mode2->isEnabled());
        QVERIFY(mode2->isChecked());
        QCOMPARE(sql(env),
                 QStringLiteral("select * from data order by place, Mode, Band, prov asc;"));
    }

    void searchesListTheirRowsWithTheirQueries_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("byBand");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("call") << "cmdCall" << QStringList{"I1ABC"} << false
                              << "select * from data where call = 'I1ABC' order by call, Band, "
                                 "Mode, prov asc;"
                              << QStringList{"I1ABC", "I1ABC"};
        QTest::newRow("call in lower case, by band")
            << "cmdCall" << QStringList{"i1abc"} << true
            << "select * from data where call = 'i1abc' order by band , mode, WWLocator,prov asc;"
            << QStringList{"I1ABC", "I1ABC"};
        QTest::newRow("sub-square") << "cmdWWLocator" << QStringList{"MN"} << false
                                    << "select * from data where WWLocator = 'MN' order by call, "
                                       "Band, Mode, prov asc;"
                                    << QStringList{"IW2CCC"};
        QTest::newRow("sub-square, by band")
            << "cmdWWLocator" << QStringList{"AB"} << true
            << "select * from data where WWLocator = 'AB' order by band, mode, WWLocator, prov asc;"
            << QStringList{"I1ABC", "IK0BBB", "I1ABC"};
        QTest::newRow("place and province")
            << "cmdPlace" << QStringList{"PIAN D'OLMO", "LM"} << false
            << "select * from data where place = 'PIAN D''OLMO' and prov ='LM' order by call, "
               "Band, "
               "Mode, prov asc;"
            << QStringList{"IK0BBB"};
        QTest::newRow("place and province, by band")
            << "cmdPlace" << QStringList{"ALFA", "BD"} << true
            << "select * from data where place = 'ALFA' and prov ='BD' order by band, mode, prov "
               "asc;"
            << QStringList{"I1ABC", "I1ABC"};
        QTest::newRow("place in every province")
            << "cmdPlace" << QStringList{"PIAN D'OLMO", ""} << false
            << "select * from data where place = 'PIAN D''OLMO' order by call, mode, band,prov asc;"
            << QStringList{"IK0BBB", "IZ9DDD"};
        QTest::newRow("place in every province, by band")
            << "cmdPlace" << QStringList{"PIAN D'OLMO", ""} << true
            << "select * from data where place = 'PIAN D''OLMO' order by band, mode, WWLocator, "
               "prov asc;"
            << QStringList{"IZ9DDD", "IK0BBB"};
        QTest::newRow("province only")
            << "cmdPlace" << QStringList{"", "TD"} << false
            << "select * from data where prov ='TD' order by call, mode, band,prov asc;"
            << QStringList{"IW2CCC"};
        QTest::newRow("province only, by band")
            << "cmdPlace" << QStringList{"", "TD"} << true
            << "select * from data where prov ='TD' order by band, mode, WWLocator, prov asc;"
            << QStringList{"IW2CCC"};
        QTest::newRow("two empty answers list the whole log")
            << "cmdPlace" << QStringList{"", ""} << false
            << "select * from data order by call, Band, Mode, prov asc;"
            << QStringList{"I1ABC", "I1ABC", "IK0BBB", "IW2CCC", "IZ9DDD"};
    }

    void searchesListTheirRowsWithTheirQueries() {
        QFETCH(QString, button);
        QFETCH(QStringList, answers);
        QFETCH(bool, byBand);
        QFETCH(QString, query);
        QFETCH(QStringList, found);
        TestEnv env;
        env.addQso(qso(QStringLiteral("I1ABC"), QStringLiteral("VHF")));
        env.addQso(qso(QStringLiteral("I1ABC"), QStringLiteral("HF")));
        Qso b2 = qso(QStringLiteral("IK0BBB"), QStringLiteral("SAT"));
        b2.place = QStringLiteral("PIAN D'OLMO");
        b2.prov = QStringLiteral("LM");
        env.addQso(b2);
        Qso c = qso(QStringLiteral("IW2CCC"));
        c.WWLocator = QStringLiteral("MN");
        c.place = QStringLiteral("CA' BIANCA");
        c.prov = QStringLiteral("TD");
        env.addQso(c);
        Qso d = qso(QStringLiteral("IZ9DDD"), QStringLiteral("HF"));
        d.WWLocator = QStringLiteral("AC");
        d.place = QStringLiteral("PIAN D'OLMO");
        d.prov = QStringLiteral("MV");
        env.addQso(d);

        frmUtility& b = browser(env);
        if (byBand) {
            child<QRadioButton>(b, "optBand")->click();
        }
        for (const QString& answer : answers) {
            env.dialogs.type(answer);
        }
        child<QPushButton>(b, qPrintable(button))->click();
        QCOMPARE(env.dialogs.unanswered, 0);
        QCOMPARE(sql(env), query);
        QCOMPARE(calls(b), found);
        for (const ShownBox& box : env.dialogs.shown) {
            QCOMPARE(box.kind, ShownBox::Input);
            QCOMPARE(box.title, QStringLiteral("HM52"));
        }
    }

    void promptsAskTheirQuestionsAndKeepTermsQuoted() {
        TestEnv env;
        frmUtility& b = browser(env);
        env.dialogs.type(QStringLiteral("O'HARA"));
        child<QPushButton>(b, "cmdCall")->click();
        QCOMPARE(env.registry->browserTerms().searchCall, QStringLiteral("O''HARA"));
        env.dialogs.type(QStringLiteral("A'"));
        child<QPushButton>(b, "cmdWWLocator")->click();
        QCOMPARE(env.registry->browserTerms().searchLocator, QStringLiteral("A''"));
        QVERIFY(env.registry->browserTerms().searchCall.isEmpty());
        env.dialogs.type(QStringLiteral("CA' BIANCA"));
        env.dialogs.type(QStringLiteral("T'D"));
        child<QPushButton>(b, "cmdPlace")->click();
        const BrowserTerms& t = env.registry->browserTerms();
        QCOMPARE(t.searchPlace, QStringLiteral("CA'' BIANCA"));
        QCOMPARE(t.searchProv, QStringLiteral("T''D"));
        QVERIFY(t.searchLocator.isEmpty());
        QCOMPARE(env.dialogs.texts(),
                 QStringList({"insert call:", "insert WWLocator (just the last two characters):",
                              "insert place:", "insert prov:"}));
        child<QPushButton>(b, "cmdShowAny")->click();
        QVERIFY(t.searchPlace.isEmpty() && t.searchProv.isEmpty());
        QCOMPARE(sql(env),
                 QStringLiteral("select * from data order by call, Band, Mode, prov asc;"));
    }

    void aCancelledCallOrSubSquarePromptChangesNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::newRow("call") << "cmdCall";
        QTest::newRow("sub-square") << "cmdWWLocator";
    }

    void aCancelledCallOrSubSquarePromptChangesNothing() {
        QFETCH(QString, button);
        TestEnv env;
        env.addQso(qso(QStringLiteral("I1ABC")));
        env.addQso(qso(QStringLiteral("IK0BBB")));
        frmUtility& b = browser(env);
        env.dialogs.type(QStringLiteral("IK0BBB"));
        child<QPushButton>(b, "cmdCall")->click();
        const QString query = sql(env);
        env.addQso(qso(QStringLiteral("IK0BBB"), QStringLiteral("SAT")));
        child<QPushButton>(b, qPrintable(button))->click(); // nothing typed: cancelled
        QCOMPARE(env.dialogs.shown.size(), size_t(2));
        QCOMPARE(env.registry->browserTerms().searchCall, QStringLiteral("IK0BBB"));
        QCOMPARE(sql(env), query);
        QCOMPARE(b.lineCount(), 1); // not even refreshed
    }

    void termsOutliveExitAndTheCloseBox() {
        TestEnv env;
        env.addQso(qso(QStringLiteral("I1ABC")));
        env.addQso(qso(QStringLiteral("IK0BBB")));
        principale main(*env.services, *env.registry, {});
        main.mnUtiliy_Click();
        frmUtility* b = &browser(env);
        QVERIFY(b->isVisible());
        env.dialogs.type(QStringLiteral("IK0BBB"));
        child<QPushButton>(*b, "cmdCall")->click();
        child<QRadioButton>(*b, "optPlace")->click();

        child<QPushButton>(*b, "cmdExit")->click();
        QVERIFY(!b->isVisible());
        QCOMPARE(env.registry->loaded(Window::Utility), b);
        QCOMPARE(calls(*b), QStringList{"IK0BBB"});

        // "Utility QSO" rebuilds the hidden list: a QSO logged meanwhile is in it.
        env.addQso(qso(QStringLiteral("IK0BBB"), QStringLiteral("VHF")));
        main.mnUtiliy_Click();
        QCOMPARE(env.registry->loaded(Window::Utility), b);
        QVERIFY(b->isVisible());
        QCOMPARE(calls(*b), (QStringList{"IK0BBB", "IK0BBB"}));

        b->close();
        QCOMPARE(env.registry->loaded(Window::Utility), nullptr);
        QTest::qWait(0); // the unloaded window goes
        env.addQso(qso(QStringLiteral("IK0BBB"), QStringLiteral("SAT")));
        main.mnUtiliy_Click();
        b = &browser(env);
        QVERIFY(b->isVisible());
        // Loaded afresh: the first order again, the same search, refreshed from the log.
        QVERIFY(child<QRadioButton>(*b, "optCall")->isChecked());
        QCOMPARE(sql(env), QStringLiteral("select * from data where call = 'IK0BBB' order by "
                                          "call, Band, Mode, prov asc;"));
        QCOMPARE(calls(*b), (QStringList{"IK0BBB", "IK0BBB", "IK0BBB"}));
    }

    void showAnyThroughTheRegistryLoadsTheBrowserHidden() {
        TestEnv env;
        env.addQso(qso(QStringLiteral("I1ABC")));
        QVERIFY(env.registry->loaded(Window::Utility) == nullptr);
        env.registry->showAny();
        auto* b = qobject_cast<frmUtility*>(env.registry->loaded(Window::Utility));
        QVERIFY(b != nullptr);
        QVERIFY(!b->isVisible());
        QCOMPARE(b->lineCount(), 1);
    }

    void aRebuildClearsTheSelectionAndARightClickNeverMovesIt() {
        TestEnv env;
        for (const char* call : {"I1A", "I1B", "I1C"}) {
            env.addQso(qso(QString::fromLatin1(call)));
        }
        frmUtility& b = browser(env);
        showActive(&b);
        auto* list = child<QListView>(b, "List");
        const QRect first = list->visualRect(list->model()->index(0, 0));
        const QRect third = list->visualRect(list->model()->index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(b.selectedLine(), 0);
        QTest::mouseClick(list->viewport(), Qt::RightButton, {}, third.center());
        QCOMPARE(b.selectedLine(), 0);
        b.showAny();
        QCOMPARE(b.selectedLine(), -1);
    }

    void editAndDeleteControlsAreInPlace() {
        TestEnv env;
        frmUtility& b = browser(env);
        QCOMPARE(b.windowTitle(), QStringLiteral("Utility QSO"));
        auto* del = child<QPushButton>(b, "cmdDeleteQSO");
        auto* edit = child<QPushButton>(b, "cmdEditQSO");
        QCOMPARE(del->text(), QStringLiteral("Delete QSO"));
        QVERIFY(del->font().bold());
        QCOMPARE(del->toolTip(), QStringLiteral("delete selected QSO "));
        QCOMPARE(edit->text(), QStringLiteral("Edit QSO"));
        QCOMPARE(edit->toolTip(), QStringLiteral("edit selected QSO "));
        auto* popup = child<QMenu>(b, "mnPopup");
        QCOMPARE(popup->title(), QStringLiteral("Popup"));
        QCOMPARE(popup->actions().size(), 2);
        QCOMPARE(popup->actions().at(0)->objectName(), QStringLiteral("mnEditQSO"));
        QCOMPARE(popup->actions().at(0)->text(), QStringLiteral("&Edit QSO"));
        QCOMPARE(popup->actions().at(1)->objectName(), QStringLiteral("mnDeleteQSO"));
        QCOMPARE(popup->actions().at(1)->text(), QStringLiteral("&Delete QSO"));
        QCOMPARE(child<QPushButton>(b, "cmdWWLocator")->text(), QStringLiteral("WWlocator"));
        QCOMPARE(child<QPushButton>(b, "cmdShowAny")->text(), QStringLiteral("Show any QSO"));
    }
};

QTEST_MAIN(BrowserTest)
#include "tst_browser.moc"
