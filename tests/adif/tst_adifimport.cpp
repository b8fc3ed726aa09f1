// Importing ADIF files into the log: what each writer's quirks give, the award's rules, the
// options, and that a cancelled or failed import leaves the log as it was.

#include "adif/AdifImport.h"
#include "support/TestEnv.h"

#include <QFile>
#include <QTest>

using namespace hm52;
using namespace hm52::test;
using adif::ImportOptions;
using adif::ImportReport;

namespace {

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(HM52_SOURCE_DIR "/tests/adif/fixtures/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("missing fixture %s", name);
    }
    return file.readAll();
}

// The log's rows in number order: count, call, sub-square, place, province, mode, band,
// stored date and time, QSL state.
QStringList rows(TestEnv& env) {
    Recordset rs(env.m.logDb,
                 QStringLiteral("select count || '|' || call || '|' || WWLocator || '|' || place "
                                "|| '|' || prov || '|' || mode || '|' || band || '|' || date || "
                                "'|' || time || '|' || qsl as r from data order by count"));
    QStringList out;
    for (; !rs.eof(); rs.moveNext()) {
        out << rs.textAt(0);
    }
    return out;
}

QStringList notes(const std::vector<adif::ImportNote>& list) {
    QStringList out;
    for (const auto& n : list) {
        out << QStringLiteral("%1:%2").arg(n.record).arg(n.reason);
    }
    return out;
}

} // namespace

class AdifImportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void desktopLoggerFileWithHeaderBomAndMixedLineEnds() {
        TestEnv env;
        const ImportReport report = adif::importAdif(env.m, fixture("desktop-logger.adi"), {});
        QCOMPARE(report.records, 5);
        QCOMPARE(report.imported, 3);
        QCOMPARE(report.outside, 2); // a four-character grid, and a grid elsewhere
        QCOMPARE(report.unreadable, 0);
        QCOMPARE(rows(env),
                 QStringList({"1|I1ABC|AB|ALFA|BD|SSB|VHF|2023-01-15|09:30:00|c",
                              "2|IK2AAA|AC|DELTA|VLT|DIGITAL|UHF|2023-01-16|10:15:00|w",
                              "3|IW3SAT|XX|SAN MARCO|RV|MIXED|SAT|2023-01-17|12:00:00|w"}));
    }

    void lotwAndEqslConfirmOnlyWhenTicked() {
        TestEnv env;
        ImportOptions options;
        options.lotwCounts = true;
        adif::importAdif(env.m, fixture("desktop-logger.adi"), options);
        QCOMPARE(env.rawField(3, QStringLiteral("qsl")), QStringLiteral("c")); // LoTW only
        QCOMPARE(env.rawField(2, QStringLiteral("qsl")), QStringLiteral("w")); // QSL_RCVD=V

        TestEnv web;
        adif::importAdif(web.m, fixture("web-logbook.adi"), {});
        QCOMPARE(web.rawField(1, QStringLiteral("qsl")), QStringLiteral("w"));
        TestEnv webEqsl;
        options = {};
        options.eqslCounts = true;
        adif::importAdif(webEqsl.m, fixture("web-logbook.adi"), options);
        QCOMPARE(webEqsl.rawField(1, QStringLiteral("qsl")), QStringLiteral("c"));
    }

    void webLogbookWithoutHeaderInLowerCase() {
        TestEnv env;
        const ImportReport report = adif::importAdif(env.m, fixture("web-logbook.adi"), {});
        QCOMPARE(report.imported, 2);
        // A STATE that is none of our provinces: the gazetteer's province of the place.
        QCOMPARE(rows(env),
                 QStringList({"1|I5WEB|MN|CA' BIANCA|TD|DIGITAL|50 MHz|2022-05-05|07:05:00|w",
                              "2|I5WEB|MN|CA' BIANCA|TD|CW|HF|2022-05-06|07:05:00|c"}));
    }

    void utf8LengthsDamageRepeatsAndRulesAreEachAccountedFor() {
        TestEnv env;
        const ImportReport report = adif::importAdif(env.m, fixture("utf8-and-damage.adi"), {});
        QCOMPARE(report.records, 8);
        QCOMPARE(report.imported, 2);
        QCOMPARE(report.repeats, 1);
        QCOMPARE(report.refused, 1);
        QCOMPARE(report.unreadable, 4);
        QCOMPARE(report.outside, 0);
        QCOMPARE(report.charsCounted, 1);
        // Unknown places in a sub-square of two provinces get none.
        QCOMPARE(rows(env), QStringList({"1|I6UTF|MN|CITTÀ||CW|UHF|2021-01-01|08:00:00|c",
                                         "2|I6CHR|MN|SÃO JOSÉ||SSB|UHF|2021-01-02|08:00:00|w"}));
        QCOMPARE(notes(report.unreadableNotes),
                 QStringList({"3:the length 3 of QTH cuts a UTF-8 character",
                              "4:TIME_ON \"2561\" is not a time",
                              "5:BAND 630m is not one of the award's bands",
                              "8:the file ends before <EOR>"}));
        QCOMPARE(notes(report.refusedNotes),
                 QStringList({"7:I6TWO HM52MN UHF CW: a confirmed QSO of this sub-square, band "
                              "and mode is already in the log"}));
        // A "%2" in the file's name is shown as it is.
        const QString text = report.text(QStringLiteral("utf8%2.adi"));
        QVERIFY(text.startsWith(QStringLiteral("Import of utf8%2.adi: 8 records\n")));
        QVERIFY(text.contains(QStringLiteral("Unreadable: 4")));
        QVERIFY(text.contains(QStringLiteral("\n1 record gave lengths in characters instead of "
                                             "bytes; it was read by characters.\n")));
        QVERIFY(text.contains(QStringLiteral("record 8 (line 10): the file ends before <EOR>")));
    }

    void theAwardsRulesHoldAgainstTheLog_data() {
        QTest::addColumn<QString>("standing"); // QSL state of the logged QSO of AB, VHF, SSB
        QTest::addColumn<QByteArray>("qsl");   // QSL_RCVD of the imported one
        QTest::addColumn<int>("imported");
        QTest::addColumn<int>("refused");
        QTest::newRow("accredited refuses worked") << "a" << QByteArray("N") << 0 << 1;
        QTest::newRow("accredited refuses confirmed") << "a" << QByteArray("Y") << 0 << 1;
        QTest::newRow("confirmed refuses confirmed") << "c" << QByteArray("Y") << 0 << 1;
        QTest::newRow("confirmed takes worked") << "c" << QByteArray("N") << 1 << 0;
        QTest::newRow("worked takes confirmed") << "w" << QByteArray("Y") << 1 << 0;
    }

    void theAwardsRulesHoldAgainstTheLog() {
        QFETCH(QString, standing);
        QFETCH(QByteArray, qsl);
        QFETCH(int, imported);
        QFETCH(int, refused);
        TestEnv env;
        Qso logged;
        logged.band = QStringLiteral("VHF");
        logged.mode = QStringLiteral("SSB");
        logged.qsl = standing;
        env.addQso(logged);
        const QByteArray file = "<CALL:5>I9NEW<GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101"
                                "<TIME_ON:4>1000<BAND:2>2m<MODE:3>SSB<QSL_RCVD:1>" +
                                qsl + "<QTH:4>ALFA<EOR>";
        const ImportReport report = adif::importAdif(env.m, file, {});
        QCOMPARE(report.imported, imported);
        QCOMPARE(report.refused, refused);
        QCOMPARE(env.count(), qint64{1 + imported});
        QCOMPARE(env.rawField(1, QStringLiteral("qsl")), standing); // the older stays
        // The same QSO on another band or mode is no business of these rules.
        const ImportReport other =
            adif::importAdif(env.m, QByteArray(file).replace("<BAND:2>2m", "<BAND:4>70cm"), {});
        QCOMPARE(other.imported, 1);
    }

    void blanksAroundAnotherWritersValuesAreNoPartOfThem() {
        TestEnv env;
        const QByteArray padded = "<CALL:8> i1abc  <GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101"
                                  "<TIME_ON:4>1000<BAND:3>20m<MODE:2>CW<QTH:6> Alfa <EOR>";
        QCOMPARE(adif::importAdif(env.m, padded, {}).imported, 1);
        QCOMPARE(env.rawField(1, QStringLiteral("call")), QStringLiteral("I1ABC"));
        QCOMPARE(env.rawField(1, QStringLiteral("place")), QStringLiteral("ALFA"));
        QCOMPARE(env.rawField(1, QStringLiteral("prov")), QStringLiteral("BD"));
        const ImportReport again = adif::importAdif(
            env.m, QByteArray(padded).replace("<CALL:8> i1abc  ", "<CALL:5>I1ABC"), {});
        QCOMPARE(again.repeats, 1);
    }

    void numbersFollowTheHighestInTheLog() {
        TestEnv env;
        env.addQsoWithCount(7, Qso{});
        env.addQsoWithCount(3, Qso{});
        adif::importAdif(env.m, fixture("web-logbook.adi"), {});
        QCOMPARE(env.m.logDb.scalar(QStringLiteral("select group_concat(count) from data")),
                 QVariant(QStringLiteral("3,7,8,9")));
    }

    void everyQsoAsMixedWhenAsked() {
        TestEnv env;
        ImportOptions options;
        options.allMixed = true;
        adif::importAdif(env.m, fixture("desktop-logger.adi"), options);
        QCOMPARE(env.count(QStringLiteral("mode = 'MIXED'")), qint64{3});
    }

    void importingTheSameFileTwiceAddsNothing() {
        TestEnv env;
        adif::importAdif(env.m, fixture("desktop-logger.adi"), {});
        const ImportReport again = adif::importAdif(env.m, fixture("desktop-logger.adi"), {});
        QCOMPARE(again.imported, 0);
        QCOMPARE(again.repeats, 3);
        QCOMPARE(env.count(), qint64{3});
    }

    void cancellingLeavesTheLogAsItWas() {
        TestEnv env;
        env.addQso(Qso{});
        int calls = 0;
        // Cancel at the last question, after every record has been written.
        const ImportReport report =
            adif::importAdif(env.m, fixture("desktop-logger.adi"), {},
                             [&calls](std::int64_t done, std::int64_t total) {
                                 ++calls;
                                 return done < total;
                             });
        QVERIFY(report.cancelled);
        QCOMPARE(report.imported, 0);
        QVERIFY(calls > 0);
        QCOMPARE(env.count(), qint64{1});
        QVERIFY(!env.m.logDb.inTransaction());
        QVERIFY(
            report.text(QStringLiteral("x.adi")).contains(QStringLiteral("nothing was imported")));
    }

    void anEngineFailureLeavesTheLogAsItWas() {
        TestEnv env;
        // A trigger makes the second insert fail.
        env.m.logDb.execute(
            QStringLiteral("create trigger refuse before insert on data when new.count = 2 "
                           "begin select raise(abort, 'disk refused the row'); end"));
        try {
            adif::importAdif(env.m, fixture("desktop-logger.adi"), {});
            QFAIL("the engine's failure went unreported");
        } catch (const DbError& e) {
            QCOMPARE(e.text(), QStringLiteral("disk refused the row"));
        }
        QCOMPARE(env.count(), qint64{0});
        QVERIFY(!env.m.logDb.inTransaction());
    }

    void anythingReadMakesTheFiveCountsAddUp() {
        TestEnv env;
        QByteArray all = fixture("desktop-logger.adi") + fixture("web-logbook.adi") +
                         fixture("utf8-and-damage.adi");
        const ImportReport r = adif::importAdif(env.m, all, {});
        QCOMPARE(r.imported + r.outside + r.repeats + r.refused + r.unreadable, r.records);
        QCOMPARE(r.imported, static_cast<int>(env.count()));
    }
};

QTEST_MAIN(AdifImportTest)
#include "tst_adifimport.moc"
