// The award's rules on their own: the checks of a typed QSO, the duplicate rules of a
// sub-square, band and mode, numbering, the requests' figures, queries, claims and conversion,
// and what the map, the Needed list and the QSO form's line count.

#include "rules/Claims.h"
#include "rules/Counts.h"
#include "rules/Rules.h"
#include "rules/SubSquares.h"
#include "storage/Codes.h"
#include "support/LogFixture.h"

#include <optional>

using namespace hm52;
using namespace hm52::test;

namespace {

// The form's QSO with some boxes changed: "call=I2XYZ;day=31".
rules::TypedQso typed(const QString& changes) {
    QHash<QString, QString> v{{"locator", "AB"}, {"call", "I1ABC"}, {"day", "5"},
                              {"month", "12"},   {"year", "04"},    {"time", "2130"},
                              {"place", "ALFA"}};
    for (const QString& change : changes.split(u';', Qt::SkipEmptyParts)) {
        v[change.section(u'=', 0, 0)] = change.section(u'=', 1);
    }
    return {v["locator"], v["call"], v["day"], v["month"], v["year"], v["time"], v["place"]};
}

// A QSO written "AB 50 MHz CW c": its sub-square, band, mode and QSL state.
Qso at(const QString& text) {
    QStringList f = text.simplified().split(u' ');
    const QString locator = f.takeFirst(), qsl = f.takeLast(), mode = f.takeLast();
    return {.WWLocator = locator, .mode = mode, .band = f.join(u' '), .qsl = qsl};
}

// Adds the QSOs of a list "AB HF MIXED w; AC HF MIXED c" to the log.
void add(LogEnv& env, const QString& list) {
    for (const QString& q : list.split(u';')) {
        env.addQso(at(q));
    }
}

} // namespace

class RulesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // ----- a typed QSO ----------------------------------------------------------------

    void checksRunInOrderWithTheirMessages_data() {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QStringList>("afterQuotes"); // the insert window's count
        QTest::addColumn<QStringList>("asTyped");     // the edit window's
        // One row for each of the '|'-separated changes, all failing alike.
        const auto add = [](const QString& each, const QStringList& after,
                            const std::optional<QStringList>& asTyped = {}) {
            for (const QString& changes : each.split(u'|')) {
                QTest::newRow(changes.isEmpty() ? "valid" : qPrintable(changes))
                    << changes << after << asTyped.value_or(after);
            }
        };
        const QString tooLong = u"Call Field is too long"_s;
        const QString noDate = u"Date Fields cannot be null"_s;
        add({}, {});
        add(u"locator=A|locator=ABC"_s, {"WWLocator Field must be two characters"});
        add(u"locator=12|locator=-1"_s, {"WWLocator Field cannot be numerical"});
        // Then only AA to XX pass; a refused sub-square ends the checks.
        add(u"locator=ZZ|locator=A1|locator=Y0|locator=Q!|locator=1A|locator=AY|locator=ZZ;call=;day="_s,
            {"WWLocator Field must be two letters from A to X"});
        add(u"locator=XX|locator=AA|locator=XA"_s, {});
        add(u"call=;time="_s, {"Call Field cannot be null"}); // and the checks end
        add(u"call=I'1'A'BCDEFG"_s, {});                      // 12 with 3 quotes
        add(u"call=I'1'A'B'CDEF;day=;month=;year="_s, {tooLong, noDate}, QStringList{noDate});
        add(u"call="_s + QString(16, u'X'), {tooLong});
        add(u"month="_s, {noDate});
        add(u"day=-1|month=1.|year=O4"_s, {"date fields must be numeric"});
        // The last one: a date failure ends the checks.
        add(u"day=0|day=32|month=0|month=13|day=0;time="_s, {"error in date field format"});
        add(u"day=31;month=2;year=9"_s, {});
        add(u"time="_s, {"time field cannot be null"});
        add(u"time=21.3|time=-130"_s, {"time field must be numeric"});
        add(u"time=123"_s, {"time field must be 4 numbers"});
        add(u"time=2400|time=2360"_s, {"error in time field format"});
        add(u"time=0000|time=0030|time=2359"_s, {});
        add(u"place="_s, {"place field cannot be null"});
        add(u"place="_s + QString(50, u'X'), {});
        add(u"place="_s + QString(51, u'X'), {"place field is too long"});
        // Control characters: after the field's own checks; a call's end the checks.
        add(u"call=I5N\0UL|call=I5\x1bNUL;time=|call=I5NUL\x7f"_s,
            {"Call Field cannot hold control characters"});
        add(u"place=ALFA\t1"_s, {"place field cannot hold control characters"});
    }

    void checksRunInOrderWithTheirMessages() {
        QFETCH(QString, changes);
        QFETCH(QStringList, afterQuotes);
        QFETCH(QStringList, asTyped);
        QCOMPARE(rules::failedChecks(typed(changes), rules::Lengths::AfterQuotes), afterQuotes);
        QCOMPARE(rules::failedChecks(typed(changes), rules::Lengths::AsTyped), asTyped);
    }

    // ----- the duplicate rules --------------------------------------------------------

    void theLogsDuplicatesAreThoseOfTheSameSubSquareBandAndMode() {
        LogEnv env;
        env.addQso(at(u"AB VHF SSB a"_s));
        const qint64 first = env.addQso(at(u"CD VHF SSB c"_s));
        const qint64 second = env.addQso(at(u"CD VHF SSB c"_s)); // as an old log may hold
        add(env, u"CD VHF SSB w; CD VHF SSB a; CD UHF SSB c; CD VHF CW c"_s);
        using namespace rules::duplicates;
        // Another band's, mode's or sub-square's accredited QSO does not count.
        QVERIFY(accredited(env.m, u"AB"_s, u"VHF"_s, u"SSB"_s));
        for (const char* other : {"AB UHF SSB", "AB VHF CW", "MN VHF SSB"}) {
            const QStringList group = QString::fromLatin1(other).split(u' ');
            QVERIFY2(!accredited(env.m, group[0], group[1], group[2]), other);
        }
        // The numbers of the other confirmed QSOs, the first found first (the edited one left
        // out: tst_qso). A worked QSO opens no look-up.
        const auto others = [&env](const QString& qsl, const QString& except) {
            env.m.sharedRs.reset();
            const auto n = otherConfirmed(env.m, u"SSB"_s, u"VHF"_s, qsl, u"CD"_s, except);
            return std::pair(QList<qint64>(n.begin(), n.end()), env.m.sharedRs != nullptr);
        };
        QCOMPARE(others(u"c"_s, u"';"_s), std::pair(QList{first, second}, true));
        QCOMPARE(others(u"w"_s, u"';"_s), std::pair(QList<qint64>(), false));
    }

    // ----- numbering ------------------------------------------------------------------

    void aNewQsoIsNumberedAfterTheHighestUntilNoNumberIsLeft() {
        LogEnv env;
        QCOMPARE(rules::nextCount(env.m), 1);
        for (int i = 1; i <= 3; ++i) {
            env.addQsoWithCount(rules::nextCount(env.m), {});
        }
        QCOMPARE(rules::nextCount(env.m), 4);
        env.m.logDb.execute(u"delete from data where count = 3"_s);
        QCOMPARE(rules::nextCount(env.m), 3); // the highest number is reused after its deletion
        env.m.logDb.execute(u"delete from data where count = 1"_s);
        QCOMPARE(rules::nextCount(env.m), 3); // lower gaps never are
        env.addQsoWithCount(2147483646, {});
        QCOMPARE(rules::nextCount(env.m), 2147483647);
        // An import's numbers count on from one reading of the log, to the last number.
        rules::Numbering numbers(env.m);
        QCOMPARE(numbers.next(), 2147483647);
        const QString noneLeft = u"the log has no QSO number left after 2147483647"_s;
        QCOMPARE(thrownBy<DbError>([&numbers]() { numbers.next(); }), noneLeft);
        env.addQsoWithCount(2147483647, {});
        QCOMPARE(thrownBy<DbError>([&env]() { rules::nextCount(env.m); }), noneLeft);
    }

    // ----- the requests ---------------------------------------------------------------

    void eachBandHasItsFiguresAndTheNextRequestWhatItNeeds() {
        QStringList figures;
        for (const QString& band : codes::bands() + QStringList{u"50MHz"_s}) {
            figures << u"%1 %2/%3"_s.arg(band, QString::number(rules::baseFigure(band)),
                                         QString::number(rules::endorsementFigure(band)));
        }
        QCOMPARE(figures, QStringList({"HF 75/25", "50 MHz 30/10", "VHF 30/10", "UHF 20/5",
                                       "SHF 10/5", "SAT 10/5", "50MHz 0/0"}));
        // The next request, and how many more it needs.
        QStringList texts;
        const int statuses[][4] = {{75, 25, 80, 74}, {10, 5, 2, 20}};
        for (const auto& [base, endorsement, confirmed, accredited] : statuses) {
            texts << rules::RequestStatus{base, endorsement, confirmed, accredited}.text();
        }
        QCOMPARE(texts, QStringList({"Base award: 75 of 75 confirmed, can be requested",
                                     "Endorsement 3: 2 of 5 confirmed, 3 more needed"}));
    }

    void theRequestsCountAndClaimTheirBandAndModeInSubSquareOrder() {
        LogEnv env;
        QCOMPARE(rules::confirmedCountSql(u"50 MHz"_s, u"CW"_s),
                 u"select count(*) as contatore from data where mode = 'CW' and qsl = 'c' and "
                 u"band = '50 MHz'"_s);
        QCOMPARE(rules::confirmedListSql(u"50 MHz"_s, u"CW"_s),
                 u"select * from data where mode = 'CW' and qsl = 'c' and band = '50 MHz' order "
                 u"by WWLocator"_s);
        for (const char* locator : {"XA", "BC", "AD", "MN"}) {
            Qso claimable = at(u"%1 50 MHz CW c"_s.arg(QLatin1String(locator)));
            claimable.call = u"I"_s + claimable.WWLocator;
            env.addQso(claimable);
        }
        add(env, u"AA 50 MHz CW a; AB 50 MHz CW w; AC 50 MHz MIXED c; AD HF CW c; AE HF CW a"_s);
        const rules::RequestStatus s = rules::requestStatus(env.m, u"50 MHz"_s, u"CW"_s);
        QCOMPARE(QList<qint64>({s.base, s.endorsement, s.confirmed, s.accredited}),
                 QList<qint64>({30, 10, 4, 1}));
        const auto claimed = [&env](int n) {
            QStringList all;
            for (const rules::ClaimedQso& q : rules::claim(env.m, u"50 MHz"_s, u"CW"_s, n)) {
                all << u"%1|%2|%3|%4|%5|%6|%7"_s.arg(QString::number(q.count), q.call, q.locator,
                                                     q.place, q.prov, q.date, q.time);
            }
            return all;
        };
        QCOMPARE(claimed(3), QStringList({"3|IAD|AD|ALFA|BD|05/01/04|9.05.00",
                                          "2|IBC|BC|ALFA|BD|05/01/04|9.05.00",
                                          "4|IMN|MN|ALFA|BD|05/01/04|9.05.00"}));
    }

    void aConversionTurnsEveryClaimedQsoAccreditedOrNone() {
        LogEnv env;
        // The last stored upper case, as another program may write it: confirmed all the same.
        for (const char* qsl : {"c", "c", "w", "C"}) {
            env.addQso({.qsl = qsl});
        }
        const QString qsls =
            u"select group_concat(qsl, '') from (select qsl from data order by count)"_s;
        const auto states = [&env, &qsls]() { return env.m.logDb.scalar(qsls).toString(); };
        // A QSO that is no longer confirmed stops the whole conversion.
        const std::vector<qint64> counts{1, 2, 3};
        QCOMPARE(thrownBy<DbError>([&]() { rules::convertToAccredited(env.m.logDb, counts); }),
                 u"QSO number 3 is no longer a confirmed QSO of the log."_s);
        QCOMPARE(states(), u"ccwC"_s);
        QVERIFY(!env.m.logDb.inTransaction());
        rules::convertToAccredited(env.m.logDb, {4, 1});
        QCOMPARE(states(), u"acwa"_s);
    }

    // ----- one sub-square's state, as the map, the Needed list and the QSO form read it -----

    // QSOs "band mode qsl" of the sub-square AB, the band and mode asked for, and the state
    // they give with the number of QSOs behind it.
    void aSubSquaresStateIsTheBestOfItsQsosOfThatBandAndMode_data() {
        QTest::addColumn<QString>("qsos");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("behind");
        const auto row = [](const char* name, const char* qsos, const QString& band,
                            const char* mode, const char* state, int behind) {
            QTest::newRow(name) << QString::fromLatin1(qsos) << band << QString::fromLatin1(mode)
                                << QString::fromLatin1(state) << behind;
        };
        const QString any = rules::anyBand;
        row("none", "", "HF", "MIXED", "not worked", 0);
        row("worked only, a QSO of no state beside", "HF MIXED w; HF MIXED x; HF MIXED w", "HF",
            "MIXED", "worked", 2);
        row("a confirmed and a worked QSO", "HF MIXED w; HF MIXED c", "HF", "MIXED", "confirmed",
            1);
        row("accredited above all", "HF MIXED c; HF MIXED a; HF MIXED w", "HF", "MIXED",
            "accredited", 1);
        row("no other band, and MIXED a mode of its own",
            "VHF MIXED a; HF SSB c; HF CW a; HF MIXED w", "HF", "MIXED", "worked", 1);
        row("any band: the best of the six", "HF MIXED w; VHF MIXED c; SAT MIXED c; 40m MIXED a",
            any, "MIXED", "confirmed", 2);
    }

    void aSubSquaresStateIsTheBestOfItsQsosOfThatBandAndMode() {
        QFETCH(QString, qsos);
        QFETCH(QString, band);
        QFETCH(QString, mode);
        QFETCH(QString, state);
        QFETCH(int, behind);
        LogEnv env;
        std::vector<rules::SquareQso> given;
        for (const QString& text : qsos.split(u';', Qt::SkipEmptyParts)) {
            Qso q = at(u"AB "_s + text);
            given.push_back({env.addQso(q), u"I1ABC"_s, u"05/01/04"_s, q.band, q.mode, q.qsl});
            // The same QSO in the last sub-square changes nothing here, and stands alike there.
            q.WWLocator = u"XX"_s;
            env.addQso(q);
        }
        // From the QSOs themselves, from the sub-square's QSOs in the log, in the states of
        // the whole square, and from the log's QSOs in the state that the whole square gives
        // (as the Needed list reads them): the same state, the same QSOs behind it.
        const rules::SquareStates all = rules::squareStates(env.m, mode, band).states;
        const rules::SquareState whole = all.at(static_cast<size_t>(rules::squareIndex(u"AB"_s)));
        QCOMPARE(rules::stateName(whole), state);
        QCOMPARE(all.at(static_cast<size_t>(rules::squareIndex(u"XX"_s))), whole);
        for (const rules::SquareStanding& read :
             {rules::standingOf(given, mode, band),
              rules::standingOf(rules::squareQsos(env.m, u"AB"_s, mode, band), mode, band),
              rules::standingOf(rules::squareQsos(env.m, u"AB"_s, mode, band, {}, whole), mode,
                                band)}) {
            QCOMPARE(rules::stateName(read.state), state);
            QCOMPARE(static_cast<int>(read.behind.size()), behind);
            for (const rules::SquareQso& qso : read.behind) {
                QCOMPARE(rules::stateOfQsl(qso.qsl), read.state);
            }
        }
    }

    // The four counts add up to the whole square; QSOs of no state are said apart.
    void theFourCountsOfABandAndModeAreSaidWithTheQsosOfNoState() {
        LogEnv env;
        add(env, u"AB HF MIXED w; AC HF MIXED c; AD HF MIXED a; AD HF MIXED w; XX VHF SSB c;"_s
                 u"A1 HF MIXED c; MN HF MIXED ?"_s);
        QCOMPARE(rules::squareStates(env.m, u"MIXED"_s, u"HF"_s).text(),
                 u"Sub-squares: worked 1, confirmed 1, accredited 1, not worked 573\n"
                 u"1 QSOs hold a QSL state that is not w, c or a: not shown"_s);
    }
};

QTEST_MAIN(RulesTest)
#include "tst_rules.moc"
