// The award's rules on their own: the checks of a typed QSO, the duplicate rules of a
// sub-square, band and mode, numbering, the requests' figures, queries, claims and conversion,
// and what the counter, the map, the Needed list and the QSO form's line count.

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

Qso at(const char* locator, const char* mode, const char* band, const char* qsl) {
    return {.WWLocator = locator, .mode = mode, .band = band, .qsl = qsl};
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
        const auto add = [](const QString& changes, const QStringList& after,
                            const std::optional<QStringList>& asTyped = {}) {
            QTest::newRow(changes.isEmpty() ? "valid" : qPrintable(changes))
                << changes << after << asTyped.value_or(after);
        };
        // Rows that fail alike, one for each change.
        const auto addEach = [&add](const QStringList& each, const QStringList& after) {
            for (const QString& changes : each) {
                add(changes, after);
            }
        };
        const QString tooLong = u"Call Field is too long"_s;
        const QString noDate = u"Date Fields cannot be null"_s;
        const QString noPlace = u"place field cannot be null"_s;
        const QString placeTooLong = u"place field is too long"_s;
        add({}, {});
        addEach({"locator=A", "locator=ABC"}, {"WWLocator Field must be two characters"});
        addEach({"locator=12", "locator=-1"}, {"WWLocator Field cannot be numerical"});
        // Then only AA to XX pass; a refused sub-square ends the checks.
        addEach({"locator=ZZ", "locator=A1", "locator=Y0", "locator=Q!", "locator=1A", "locator=AY",
                 "locator=ZZ;call=;day="},
                {"WWLocator Field must be two letters from A to X"});
        addEach({"locator=XX", "locator=AA", "locator=XA"}, {});
        add(u"call=;time="_s, {"Call Field cannot be null"}); // and the checks end
        add(u"call=I'1'A'BCDEFG"_s, {});                      // 12 with 3 quotes
        add(u"call=I'1'A'B'CDEF;day=;month=;year="_s, {tooLong, noDate}, QStringList{noDate});
        add(u"call=I'1'A'B'CDEF;place="_s, {tooLong, noPlace}, QStringList{noPlace});
        add(u"call=HB0/IZ1'BCD/QRP"_s, {tooLong}, QStringList());
        add(u"call="_s + QString(16, u'X'), {tooLong});
        add(u"month="_s, {noDate});
        addEach({"day=-1", "month=1.", "year=O4"}, {"date fields must be numeric"});
        // The last one: a date failure ends the checks.
        addEach({"day=0", "day=32", "month=0", "month=13", "day=0;time="},
                {"error in date field format"});
        add(u"day=31;month=2;year=9"_s, {});
        add(u"time="_s, {"time field cannot be null"});
        addEach({"time=21.3", "time=-130"}, {"time field must be numeric"});
        add(u"time=123"_s, {"time field must be 4 numbers"});
        addEach({"time=2400", "time=2360"}, {"error in time field format"});
        addEach({"time=0000", "time=0030", "time=2359"}, {});
        add(u"place="_s, {noPlace});
        add(u"place="_s + QString(50, u'X'), {});
        add(u"place="_s + QString(51, u'X'), {placeTooLong});
        add(u"place=CA' "_s + QString(46, u'X'), {placeTooLong}, QStringList());
        // Control characters: after the field's own checks; a call's end the checks.
        const QString callControl = u"Call Field cannot hold control characters"_s;
        addEach({u"call=I5N\0UL"_s, u"call=I5\x1bNUL;time="_s, u"call=I5NUL\x7f"_s}, {callControl});
        add(u"call=I'1'A'B'CDE\x1f"_s, {tooLong, callControl}, QStringList{callControl});
        add(u"call=;place=\x07"_s, {"Call Field cannot be null"});
        add(u"place=ALFA\t1"_s, {"place field cannot hold control characters"});
        add(u"place=\x1b"_s + QString(50, u'X'), {placeTooLong});
    }

    void checksRunInOrderWithTheirMessages() {
        QFETCH(QString, changes);
        QFETCH(QStringList, afterQuotes);
        QFETCH(QStringList, asTyped);
        QCOMPARE(rules::failedChecks(typed(changes), rules::Lengths::AfterQuotes), afterQuotes);
        QCOMPARE(rules::failedChecks(typed(changes), rules::Lengths::AsTyped), asTyped);
    }

    // ----- the duplicate rules --------------------------------------------------------

    void theLogsDuplicatesAreThoseOfTheSameSubSquareBandAndModeAndAnImportGroupsThem() {
        LogEnv env;
        env.addQso(at("AB", "SSB", "VHF", "a"));
        const int first = env.addQso(at("CD", "SSB", "VHF", "c"));
        const int second = env.addQso(at("CD", "SSB", "VHF", "c")); // as an old log may hold
        // The last one written outside the program.
        for (const Qso& other :
             {at("CD", "SSB", "VHF", "w"), at("CD", "SSB", "VHF", "a"), at("CD", "SSB", "UHF", "c"),
              at("CD", "CW", "VHF", "c"), at("XX", "CW", "HF", "w"), at("MN", "CW", "HF", "C")}) {
            env.addQso(other);
        }
        using namespace rules::duplicates;
        QVERIFY(accredited(env.m, u"AB"_s, u"VHF"_s, u"SSB"_s));
        QVERIFY(!accredited(env.m, u"AB"_s, u"UHF"_s, u"SSB"_s));
        QVERIFY(!accredited(env.m, u"AB"_s, u"VHF"_s, u"CW"_s));
        QVERIFY(!accredited(env.m, u"A'"_s, u"VHF"_s, u"SSB"_s));
        // The numbers of the other confirmed QSOs, the first found first; the edited one left
        // out. A worked QSO opens no look-up.
        const auto others = [&env](const QString& qsl, const QString& except) {
            env.m.sharedRs.reset();
            QStringList numbers;
            for (const qint64 n : otherConfirmed(env.m, u"SSB"_s, u"VHF"_s, qsl, u"CD"_s, except)) {
                numbers << QString::number(n);
            }
            return numbers.join(u' ') + (env.m.sharedRs ? u" opened"_s : QString());
        };
        QCOMPARE(others(u"c"_s, u"';"_s), u"%1 %2 opened"_s.arg(first).arg(second));
        QCOMPARE(others(u"c"_s, u"' and count <> %1;"_s.arg(first)), u"%1 opened"_s.arg(second));
        QCOMPARE(others(u"w"_s, u"';"_s), QString());
        QVERIFY(otherConfirmed(env.m, u"SSB"_s, u"VHF"_s, u"c"_s, u"C'"_s, u"';"_s).empty());
        // The replacement deletes by number, and only that QSO.
        const qint64 before = env.count();
        replace(env.m, first);
        QCOMPARE(env.count(), before - 1);
        QCOMPARE(env.count(u"count = %1"_s.arg(first)), 0);

        // An import's groups hold the same log's confirmed and accredited QSOs.
        rules::Groups groups;
        groups.load(env.m);
        const auto held = [&groups](const char* locator, const char* band, const char* mode) {
            const rules::Group& g =
                groups.of(QLatin1String(locator), QLatin1String(band), QLatin1String(mode));
            return QString(g.confirmed ? u"c"_s : u""_s) + (g.accredited ? u"a"_s : u""_s);
        };
        QCOMPARE(held("ab", "VHF", "SSB"), u"a"_s);
        QCOMPARE(held("CD", "VHF", "SSB"), u"ca"_s);
        QCOMPARE(held("AB", "UHF", "SSB") + held("AB", "VHF", "CW") + held("XX", "HF", "CW"),
                 QString());
        QCOMPARE(held("MN", "HF", "CW"), u"c"_s);
        groups.add(u"XX"_s, u"HF"_s, u"CW"_s, u"w"_s);
        QCOMPARE(held("XX", "HF", "CW"), QString());
        groups.add(u"XX"_s, u"HF"_s, u"CW"_s, u"a"_s);
        groups.add(u"xx"_s, u"HF"_s, u"CW"_s, u"c"_s);
        QCOMPARE(held("XX", "HF", "CW"), u"ca"_s);
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
        env.addQsoWithCount(7, {});
        QCOMPARE(rules::nextCount(env.m), 8);
        // Many in a row count on from one reading of the log.
        rules::Numbering numbers(env.m);
        env.addQsoWithCount(20, {});
        QCOMPARE(numbers.next(), 8);
        QCOMPARE(numbers.next(), 9);

        env.addQsoWithCount(2147483646, {});
        rules::Numbering last(env.m);
        QCOMPARE(last.next(), 2147483647);
        const QString noneLeft = u"the log has no QSO number left after 2147483647"_s;
        QCOMPARE(thrownBy<DbError>([&last]() { last.next(); }), noneLeft);
        env.addQsoWithCount(2147483647, {});
        QCOMPARE(thrownBy<DbError>([&env]() { rules::nextCount(env.m); }), noneLeft);
    }

    // ----- the requests ---------------------------------------------------------------

    void eachBandHasItsFiguresAndTheNextRequestWhatItNeeds() {
        QStringList figures;
        for (const QString& band : codes::bands() + QStringList{u"50MHz"_s, QString()}) {
            figures << u"%1 %2/%3"_s.arg(band, QString::number(rules::baseFigure(band)),
                                         QString::number(rules::endorsementFigure(band)));
        }
        QCOMPARE(figures, QStringList({"HF 75/25", "50 MHz 30/10", "VHF 30/10", "UHF 20/5",
                                       "SHF 10/5", "SAT 10/5", "50MHz 0/0", " 0/0"}));
        // The next request, and how many more it needs.
        QStringList texts;
        const int statuses[][4] = {
            {75, 25, 12, 0}, {75, 25, 80, 74}, {10, 5, 2, 10}, {10, 5, 5, 14}, {10, 5, 0, 20}};
        for (const auto& [base, endorsement, confirmed, accredited] : statuses) {
            texts << rules::RequestStatus{base, endorsement, confirmed, accredited}.text();
        }
        QCOMPARE(texts, QStringList({"Base award: 12 of 75 confirmed, 63 more needed",
                                     "Base award: 75 of 75 confirmed, can be requested",
                                     "Endorsement 1: 2 of 5 confirmed, 3 more needed",
                                     "Endorsement 1: 5 of 5 confirmed, can be requested",
                                     "Endorsement 3: 0 of 5 confirmed, 5 more needed"}));
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
            Qso claimable = at(locator, "CW", "50 MHz", "c");
            claimable.call = u"I"_s + claimable.WWLocator;
            claimable.place = u"PIAN D'OLMO"_s;
            claimable.time = u"21:30"_s;
            env.addQso(claimable);
        }
        for (const Qso& other : {at("AA", "CW", "50 MHz", "a"), at("AB", "CW", "50 MHz", "w"),
                                 at("AC", "MIXED", "50 MHz", "c"), at("AD", "CW", "HF", "c"),
                                 at("AE", "SSB", "50 MHz", "a"), at("AF", "CW", "HF", "a")}) {
            env.addQso(other);
        }
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
        QCOMPARE(claimed(3), QStringList({"3|IAD|AD|PIAN D'OLMO|BD|05/01/04|21.30.00",
                                          "2|IBC|BC|PIAN D'OLMO|BD|05/01/04|21.30.00",
                                          "4|IMN|MN|PIAN D'OLMO|BD|05/01/04|21.30.00"}));
        QCOMPARE(claimed(9).size(), 4);
        QVERIFY(claimed(0).isEmpty());
    }

    void aConversionTurnsEveryClaimedQsoAccreditedOrNone() {
        LogEnv env;
        // The last stored upper case, as another program may write it: confirmed all the same.
        for (const char* qsl : {"c", "c", "w", "C"}) {
            env.addQso({.qsl = qsl});
        }
        const auto states = [&env]() {
            return env.m.logDb
                .scalar(
                    u"select group_concat(qsl, '') from (select qsl from data order by count)"_s)
                .toString();
        };
        // A worked QSO, or one no longer in the log, stops the whole conversion.
        for (const qint64 wrong : {3, 9}) {
            const std::vector<qint64> counts{1, 2, wrong};
            QCOMPARE(thrownBy<DbError>([&]() { rules::convertToAccredited(env.m.logDb, counts); }),
                     u"QSO number %1 is no longer a confirmed QSO of the log."_s.arg(wrong));
            QCOMPARE(states(), u"ccwC"_s);
            QVERIFY(!env.m.logDb.inTransaction());
        }
        rules::convertToAccredited(env.m.logDb, {4, 1});
        QCOMPARE(states(), u"acwa"_s);
    }

    // ----- what the counter and the map count -----------------------------------------

    void eachQsoCountsInOneCellOfItsBandModeAndState() {
        LogEnv env;
        for (const Qso& q : {at("AB", "MIXED", "HF", "w"), at("AC", "MIXED", "HF", "w"),
                             at("AB", "MIXED", "HF", "c"), at("AB", "MIXED", "HF", "a"),
                             at("AB", "MIXED", "SAT", "a"), at("AB", "MIXED", "UHF", "c"),
                             at("AB", "SSB", "HF", "w"), at("AB", "CW", "50 MHz", "c"),
                             at("AB", "DIGITAL", "SHF", "a"),
                             // A band that is none of the six is counted nowhere.
                             at("AB", "MIXED", "40m", "c"), at("AB", "CW", "50MHz", "c")}) {
            env.addQso(q);
        }
        QStringList counted;
        for (const QString& mode : codes::modes()) {
            for (const QString& band : codes::bands()) {
                for (const QChar qsl : u"wca"_s) {
                    if (const qint64 n = rules::cell(env.m, mode, band, qsl)) {
                        counted << u"%1 %2 %3: %4"_s.arg(mode, band, QString(qsl)).arg(n);
                    }
                }
            }
        }
        QCOMPARE(counted, QStringList({"MIXED HF w: 2", "MIXED HF c: 1", "MIXED HF a: 1",
                                       "MIXED UHF c: 1", "MIXED SAT a: 1", "SSB HF w: 1",
                                       "CW 50 MHz c: 1", "DIGITAL SHF a: 1"}));
    }

    void twoLettersNameASubSquareColumnFirst() {
        QStringList named;
        for (const char* letters :
             {"AA", "BA", "XA", "AB", "ab", "XX", "AY", "YA", "A", "ABC", "", "1A"}) {
            const int index = rules::squareIndex(QLatin1String(letters));
            named << QLatin1String(letters) + u'=' + QString::number(index) +
                         rules::squareLetters(index);
        }
        QCOMPARE(named,
                 QStringList({"AA=0AA", "BA=1BA", "XA=23XA", "AB=24AB", "ab=24AB", "XX=575XX",
                              "AY=-1", "YA=-1", "A=-1", "ABC=-1", "=-1", "1A=-1"}));
        QCOMPARE(rules::squareLetters(rules::squares), QString());
    }

    void aSubSquareTakesTheBestStateOfItsQsos() {
        LogEnv env;
        for (const Qso& q : {at("AB", "MIXED", "HF", "w"), at("AB", "MIXED", "HF", "c"),
                             at("AB", "MIXED", "HF", "w"), at("AC", "MIXED", "HF", "a"),
                             at("AC", "MIXED", "HF", "c"), at("XX", "MIXED", "HF", "w"),
                             at("MN", "MIXED", "HF", "C"), at("MN", "SSB", "HF", "a"),
                             at("BD", "MIXED", "VHF", "a"), at("A1", "MIXED", "HF", "c"),
                             at("CD", "MIXED", "HF", "x")}) {
            env.addQso(q);
        }
        const rules::SquareCount count = rules::squareStates(env.m, u"MIXED"_s, u"HF"_s);
        QStringList states;
        for (int i = 0; i < rules::squares; ++i) {
            if (const auto state = count.states.at(static_cast<size_t>(i));
                state != rules::SquareState::None) {
                states << rules::squareLetters(i) + u'=' + QString::number(int(state));
            }
        }
        // 1 worked, 2 confirmed, 3 accredited.
        QCOMPARE(states, QStringList({"AB=2", "AC=3", "MN=2", "XX=1"}));
        QCOMPARE(count.unknownStates, 1);
    }

    // ----- one sub-square's state, as the map, the Needed list and the QSO form read it -----

    // QSOs "band mode qsl" of the sub-square AB, the band and mode asked for, and the state
    // they give with the number of QSOs behind it.
    void aSubSquaresStateIsTheBestOfItsQsosOfThatBandAndMode_data() {
        QTest::addColumn<QStringList>("qsos");
        QTest::addColumn<QString>("band");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("behind");
        const QString any = rules::anyBand;
        QTest::newRow("none") << QStringList{} << u"HF"_s << u"MIXED"_s << u"not worked"_s << 0;
        QTest::newRow("worked only")
            << QStringList{"HF MIXED w", "HF MIXED w"} << u"HF"_s << u"MIXED"_s << u"worked"_s << 2;
        QTest::newRow("a confirmed and a worked QSO")
            << QStringList{"HF MIXED w", "HF MIXED c"} << u"HF"_s << u"MIXED"_s << u"confirmed"_s
            << 1;
        QTest::newRow("accredited above all")
            << QStringList{"HF MIXED c", "HF MIXED a", "HF MIXED w"} << u"HF"_s << u"MIXED"_s
            << u"accredited"_s << 1;
        QTest::newRow("any case") << QStringList{"hf mixed C"} << u"HF"_s << u"MIXED"_s
                                  << u"confirmed"_s << 1;
        QTest::newRow("no other band") << QStringList{"VHF MIXED a", "HF MIXED w"} << u"HF"_s
                                       << u"MIXED"_s << u"worked"_s << 1;
        QTest::newRow("no other mode")
            << QStringList{"HF SSB c", "HF MIXED w"} << u"HF"_s << u"MIXED"_s << u"worked"_s << 1;
        QTest::newRow("MIXED a mode of its own")
            << QStringList{"HF SSB c", "HF CW a", "HF DIGITAL w"} << u"HF"_s << u"MIXED"_s
            << u"not worked"_s << 0;
        QTest::newRow("SSB without MIXED")
            << QStringList{"HF MIXED a", "HF SSB w"} << u"HF"_s << u"SSB"_s << u"worked"_s << 1;
        QTest::newRow("any band: the best band")
            << QStringList{"HF MIXED w", "VHF MIXED c", "SAT MIXED c", "UHF SSB a"} << any
            << u"MIXED"_s << u"confirmed"_s << 2;
        QTest::newRow("any band: worked on two")
            << QStringList{"HF MIXED w", "50 MHz MIXED w"} << any << u"MIXED"_s << u"worked"_s << 2;
        QTest::newRow("any band: only the six")
            << QStringList{"40m MIXED a", "SHF MIXED w"} << any << u"MIXED"_s << u"worked"_s << 1;
        QTest::newRow("no QSL state")
            << QStringList{"HF MIXED x", "HF MIXED w"} << u"HF"_s << u"MIXED"_s << u"worked"_s << 1;
    }

    void aSubSquaresStateIsTheBestOfItsQsosOfThatBandAndMode() {
        QFETCH(QStringList, qsos);
        QFETCH(QString, band);
        QFETCH(QString, mode);
        QFETCH(QString, state);
        QFETCH(int, behind);
        LogEnv env;
        std::vector<rules::SquareQso> given;
        for (const QString& q : qsos) {
            const QStringList f = q.split(u' ');
            const QString qsoBand = f.size() == 4 ? f[0] + u' ' + f[1] : f[0]; // "50 MHz"
            const QString qsoMode = f.at(f.size() - 2);
            const QString qsl = f.last();
            const int count = env.addQso({.mode = qsoMode, .band = qsoBand, .qsl = qsl});
            given.push_back({count, u"I1ABC"_s, u"05/01/04"_s, qsoBand, qsoMode, qsl});
            // The same QSO in another sub-square changes nothing here.
            env.addQso({.WWLocator = "AC", .mode = qsoMode, .band = qsoBand, .qsl = qsl});
        }
        // From the QSOs themselves, from the sub-square's QSOs in the log, in the states of
        // the whole square, and from the log's QSOs in the state that the whole square gives
        // (as the Needed list reads them): the same state, the same QSOs behind it.
        const auto ab = static_cast<size_t>(rules::squareIndex(u"AB"_s));
        const rules::SquareState whole = rules::squareStates(env.m, mode, band).states.at(ab);
        QCOMPARE(rules::stateName(whole), state);
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

    void theFourCountsAddUpToTheWholeSquareOnEveryBandAndMode() {
        LogEnv env;
        for (const Qso& q : {at("AB", "MIXED", "HF", "w"), at("AC", "MIXED", "HF", "c"),
                             at("AD", "MIXED", "HF", "a"), at("AD", "MIXED", "HF", "w"),
                             at("XX", "SSB", "VHF", "c"), at("XX", "MIXED", "SAT", "w"),
                             at("A1", "MIXED", "HF", "c"), at("MN", "MIXED", "HF", "?")}) {
            env.addQso(q);
        }
        for (const QString& mode : codes::modes()) {
            for (const QString& band : codes::bands() + QStringList{rules::anyBand}) {
                const rules::SquareCount c = rules::squareStates(env.m, mode, band);
                int sum = 0;
                for (const auto s :
                     {rules::SquareState::None, rules::SquareState::Worked,
                      rules::SquareState::Confirmed, rules::SquareState::Accredited}) {
                    sum += c.inState(s);
                }
                QCOMPARE(sum, rules::squares);
            }
        }
        QCOMPARE(rules::squareStates(env.m, u"MIXED"_s, u"HF"_s).text(),
                 u"Sub-squares: worked 1, confirmed 1, accredited 1, not worked 573\n"
                 u"1 QSOs hold a QSL state that is not w, c or a: not shown"_s);
        QCOMPARE(rules::squareStates(env.m, u"MIXED"_s, rules::anyBand).text(),
                 u"Sub-squares: worked 2, confirmed 1, accredited 1, not worked 572\n"
                 u"1 QSOs hold a QSL state that is not w, c or a: not shown"_s);
    }
};

QTEST_MAIN(RulesTest)
#include "tst_rules.moc"
