// Importing ADIF files into the log: what each writer's quirks give, the award's rules, the
// options, and that a failed import leaves the log as it was.

#include "adif/AdifImport.h"
#include "support/LogFixture.h"

#include <QFile>

using namespace hm52;
using namespace hm52::test;
using adif::ImportOptions;
using adif::ImportReport;

namespace {

// The report's counts in one line.
QString counts(const ImportReport& r) {
    return QString::asprintf("records %d imported %d outside %d repeats %d refused %d "
                             "unreadable %d chars %d",
                             r.records, r.imported, r.outside, r.repeats, r.refused, r.unreadable,
                             r.charsCounted);
}

QStringList notes(const std::vector<adif::ImportNote>& list) {
    QStringList out;
    for (const auto& n : list) {
        out << u"%1:%2"_s.arg(n.record).arg(n.reason);
    }
    return out;
}

// One record in the award square on 2 m SSB, by default with a QSL received.
QByteArray confirmation(const char* call, const char* square, const char* date, const char* time,
                        const QByteArray& qslReceived = "Y") {
    return QByteArray("<CALL:") + QByteArray::number(qstrlen(call)) + '>' + call +
           "<GRIDSQUARE:6>HM52" + square + "<QSO_DATE:8>" + date + "<TIME_ON:4>" + time +
           "<BAND:2>2m<MODE:3>SSB<QSL_RCVD:1>" + qslReceived + "<QTH:4>ALFA<EOR>\n";
}

} // namespace

class AdifImportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void desktopLoggerFileWithHeaderBomAndMixedLineEndsAndTheSameFileTwice() {
        LogEnv env;
        // A four-character grid, and a grid elsewhere, are outside.
        QCOMPARE(counts(adif::importAdif(env.m, adifFixture("desktop-logger.adi"), {})),
                 u"records 5 imported 3 outside 2 repeats 0 refused 0 unreadable 0 chars 0"_s);
        QCOMPARE(env.rawRows(),
                 QStringList({"1|I1ABC|AB|ALFA|BD|SSB|VHF|2023-01-15|09:30:00|c",
                              "2|IK2AAA|AC|DELTA|VLT|DIGITAL|UHF|2023-01-16|10:15:00|w",
                              "3|IW3SAT|XX|SAN MARCO|RV|MIXED|SAT|2023-01-17|12:00:00|w"}));
        QCOMPARE(counts(adif::importAdif(env.m, adifFixture("desktop-logger.adi"), {})),
                 u"records 5 imported 0 outside 2 repeats 3 refused 0 unreadable 0 chars 0"_s);
        QCOMPARE(env.count(), 3);
    }

    void webLogbookWithoutHeaderInLowerCaseNumberedAfterTheHighest() {
        LogEnv env;
        env.addQsoWithCount(7, Qso{});
        env.addQsoWithCount(3, Qso{});
        QCOMPARE(adif::importAdif(env.m, adifFixture("web-logbook.adi"), {}).imported, 2);
        // A STATE that is none of our provinces: the gazetteer's province of the place.
        QCOMPARE(env.rawRows(),
                 QStringList({"3|I1ABC|AB|ALFA|BD|MIXED|HF|2004-01-05|09:05:00|c",
                              "7|I1ABC|AB|ALFA|BD|MIXED|HF|2004-01-05|09:05:00|c",
                              "8|I5WEB|MN|CA' BIANCA|TD|DIGITAL|50 MHz|2022-05-05|07:05:00|w",
                              "9|I5WEB|MN|CA' BIANCA|TD|CW|HF|2022-05-06|07:05:00|c"}));
    }

    // Without the options both files were read above: IW3SAT (LoTW only) and I5WEB's first
    // QSO (eQSL only) stayed worked, and the modes were the file's.
    void lotwAndEqslConfirmOnlyWhenTickedAndEveryQsoIsMixedWhenAsked() {
        LogEnv env;
        adif::importAdif(env.m, adifFixture("desktop-logger.adi"),
                         {.allMixed = true, .lotwCounts = true});
        QCOMPARE(env.rawField(3, u"qsl"_s), u"c"_s); // LoTW only
        QCOMPARE(env.rawField(2, u"qsl"_s), u"w"_s); // QSL_RCVD=V
        QCOMPARE(env.count(u"mode = 'MIXED'"_s), 3);
        LogEnv web;
        adif::importAdif(web.m, adifFixture("web-logbook.adi"), {.eqslCounts = true});
        QCOMPARE(web.rawField(1, u"qsl"_s), u"c"_s);
    }

    void utf8LengthsDamageRepeatsAndRulesAreEachAccountedFor() {
        LogEnv env;
        const ImportReport report = adif::importAdif(env.m, adifFixture("utf8-and-damage.adi"), {});
        QCOMPARE(counts(report),
                 u"records 8 imported 2 outside 0 repeats 1 refused 2 unreadable 3 chars 1"_s);
        // Unknown places in a sub-square of two provinces get none.
        QCOMPARE(env.rawRows(),
                 QStringList({"1|I6UTF|MN|CITTÀ||CW|UHF|2021-01-01|08:00:00|c",
                              "2|I6CHR|MN|SÃO JOSÉ||SSB|UHF|2021-01-02|08:00:00|w"}));
        QCOMPARE(notes(report.unreadableNotes),
                 QStringList({"3:the length 3 of QTH cuts a UTF-8 character",
                              "4:TIME_ON \"2561\" is not a time", "8:the file ends before <EOR>"}));
        // A band the award does not count is the award's refusal, not a reading failure.
        QCOMPARE(notes(report.refusedNotes),
                 QStringList({"5:BAND 630m is not one of the award's bands",
                              "7:I6TWO HM52MN UHF CW: a confirmed QSO of this sub-square, band "
                              "and mode is already in the log (QSO 1)"}));
        // A "%2" in the file's name is shown as it is.
        const QString text = report.text(u"utf8%2.adi"_s);
        QVERIFY(text.startsWith(u"Import of utf8%2.adi: 8 records\n"_s));
        QVERIFY(text.contains(u"Unreadable: 3"_s));
        QVERIFY(text.contains(u"\n1 record gave lengths in characters instead of bytes; it was "_s
                              u"read by characters.\n"_s));
        QVERIFY(text.contains(u"record 8 (line 10): the file ends before <EOR>"_s));
    }

    void theAwardsRulesHoldAgainstTheLog_data() {
        QTest::addColumn<QString>("standing"); // QSL state of the logged QSO of AB, VHF, SSB
        QTest::addColumn<QByteArray>("qsl");   // QSL_RCVD of the imported one
        QTest::addColumn<int>("imported");
        QTest::newRow("accredited refuses worked") << "a" << QByteArray("N") << 0;
        QTest::newRow("accredited refuses confirmed") << "a" << QByteArray("Y") << 0;
        QTest::newRow("confirmed refuses confirmed") << "c" << QByteArray("Y") << 0;
        QTest::newRow("confirmed takes worked") << "c" << QByteArray("N") << 1;
        QTest::newRow("worked takes confirmed") << "w" << QByteArray("Y") << 1;
    }

    void theAwardsRulesHoldAgainstTheLog() {
        QFETCH(QString, standing);
        QFETCH(QByteArray, qsl);
        QFETCH(int, imported);
        LogEnv env;
        env.addQso({.mode = "SSB", .band = "VHF", .qsl = standing});
        const QByteArray file = confirmation("I9NEW", "AB", "20240101", "1000", qsl);
        const ImportReport report = adif::importAdif(env.m, file, {});
        QCOMPARE(report.imported, imported);
        QCOMPARE(report.refused, 1 - imported);
        QCOMPARE(env.count(), 1 + imported);
        QCOMPARE(env.rawField(1, u"qsl"_s), standing); // the older stays
        // The same QSO on another band or mode is no business of these rules.
        const ImportReport other =
            adif::importAdif(env.m, QByteArray(file).replace("<BAND:2>2m", "<BAND:4>70cm"), {});
        QCOMPARE(other.imported, 1);
    }

    void blanksAroundAnotherWritersValuesAreNoPartOfThem() {
        LogEnv env;
        const QByteArray padded = "<CALL:8> i1abc  <GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101"
                                  "<TIME_ON:4>1000<BAND:3>20m<MODE:2>CW<QTH:6> Alfa <EOR>";
        QCOMPARE(adif::importAdif(env.m, padded, {}).imported, 1);
        QCOMPARE(env.rawRows(), QStringList({"1|I1ABC|AB|ALFA|BD|CW|HF|2024-01-01|10:00:00|w"}));
        const ImportReport again = adif::importAdif(
            env.m, QByteArray(padded).replace("<CALL:8> i1abc  ", "<CALL:5>I1ABC"), {});
        QCOMPARE(again.repeats, 1);
    }

    // (A cancel at the last question, after every record was written, is in
    // tst_adifwindows: cancelInTheProgressDialogImportsNothing.)
    void anEngineFailureLeavesTheLogAsItWas() {
        LogEnv env;
        env.addQso(Qso{});
        // A trigger makes the second insert fail.
        env.m.logDb.execute(u"create trigger refuse before insert on data when new.count = 3 "_s
                            u"begin select raise(abort, 'disk refused the row'); end"_s);
        QCOMPARE(thrownBy<DbError>(
                     [&env]() { adif::importAdif(env.m, adifFixture("desktop-logger.adi"), {}); }),
                 u"disk refused the row"_s);
        QCOMPARE(env.count(), 1);
        QVERIFY(!env.m.logDb.inTransaction());
    }

    // A QSL service's report against a log of worked QSOs: the nearest worked QSO within
    // half an hour turns confirmed, across midnight too, unless its group already stands.
    void confirmationsTurnWorkedQsosConfirmed() {
        LogEnv env;
        Qso q{.mode = "SSB", .band = "VHF", .date = "15/1/23", .qsl = "w"};
        for (const char* logged : {"I1AAA AB 10:00", "I1BBB AC 23:50", "I1CCC AD 10:00",
                                   "I1CCC AD 10:40", "I1DDD AE 10:00", "I1EEE AE 09:00 c",
                                   "I1FFF AF 10:00", "I1GGG AG 10:00", "I1GGG AG 12:00"}) {
            const QStringList f = QString::fromLatin1(logged).split(u' ');
            q.call = f[0];
            q.WWLocator = f[1];
            q.time = f[2];
            q.qsl = f.value(3, u"w"_s);
            env.addQso(q);
        }
        const QByteArray report = confirmation("I1AAA", "AB", "20230115", "1029") +
                                  confirmation("I1BBB", "AC", "20230116", "0015") +
                                  confirmation("I1CCC", "AD", "20230115", "1025") +
                                  confirmation("I1DDD", "AE", "20230115", "1000") +
                                  confirmation("I1FFF", "AF", "20230115", "1031") +
                                  // Two confirmations of one group: the older one stands.
                                  confirmation("I1GGG", "AG", "20230115", "1205") +
                                  confirmation("I1GGG", "AG", "20230115", "1005");
        const ImportReport r = adif::importAdif(env.m, report, {});
        QCOMPARE(r.confirmations, 4);
        QCOMPARE(r.confirmed, (std::vector<int>{1, 2, 4, 8}));
        QCOMPARE(r.imported, 1); // 31 minutes apart: a QSO of its own
        QCOMPARE(r.refused, 2);
        // QSOs 1, 2, 4, 8 confirmed, 10 imported confirmed beside 6; all others still worked.
        QCOMPARE(env.count(u"qsl = 'c' and count in (1, 2, 4, 6, 8, 10)"_s), 6);
        QCOMPARE(env.count(u"qsl <> 'w'"_s), 6);
        QCOMPARE(notes(r.refusedNotes),
                 QStringList({"4:I1DDD HM52AE VHF SSB: confirms QSO 5, which stays worked: QSO 6 "
                              "is already confirmed on this sub-square, band and mode",
                              "6:I1GGG HM52AG VHF SSB: confirms QSO 9, which stays worked: QSO 8 "
                              "is already confirmed on this sub-square, band and mode"}));
        QVERIFY(r.text(u"qsl.adi"_s)
                    .contains(u"Imported: 1\nConfirmations applied: 4 (QSOs 1, 2, 4, 8 now "_s
                              u"confirmed)\n"_s));
        // The same report again: nothing left to confirm.
        const ImportReport again = adif::importAdif(env.m, report, {});
        QCOMPARE(again.confirmations, 0);
        QCOMPARE(again.imported, 0);
    }

    // Tags after the last record, a satellite named without PROP_MODE, and two confirmed QSOs
    // of one group listed newest first.
    void realFilesAreReadAsTheyMean() {
        LogEnv env;
        const QByteArray file =
            "<PROGRAMID:4>LOTW<EOH>\n" + confirmation("I1NEW", "AB", "20240301", "1000") +
            confirmation("I1OLD", "AB", "20240101", "1000") +
            "<CALL:5>I1SAT<GRIDSQUARE:6>HM52AC<QSO_DATE:8>20240101<TIME_ON:4>1000<BAND:2>2m"
            "<SAT_NAME:5>AO-91<MODE:2>FM<EOR>\n<APP_LoTW_EOF>\n<EOF>\n";
        const ImportReport r = adif::importAdif(env.m, file, {});
        QCOMPARE(counts(r), u"records 3 imported 2 outside 0 repeats 0 refused 1 unreadable 0 "_s
                            u"chars 0"_s);
        QCOMPARE(env.rawRows(), QStringList({"1|I1OLD|AB|ALFA|BD|SSB|VHF|2024-01-01|10:00:00|c",
                                             "2|I1SAT|AC|||MIXED|SAT|2024-01-01|10:00:00|w"}));
        QCOMPARE(notes(r.refusedNotes),
                 QStringList({"1:I1NEW HM52AB VHF SSB: a confirmed QSO of this sub-square, band "
                              "and mode is already in the log (QSO 1)"}));
    }

    // A wrong length, a file that is no ADIF, a huge value and millions of empty records:
    // every record is accounted for and the report stays short.
    void damagedAndHugeFilesAreReportedInShortText() {
        LogEnv env;
        QByteArray swallowing = confirmation("I1BAD", "AB", "20240101", "1000");
        swallowing.replace("<QTH:4>ALFA", "<COMMENT:210000>twenty-one characters");
        for (int i = 0; i < 300; ++i) {
            swallowing += confirmation(qPrintable(u"I%1X"_s.arg(i)), "AC", "20240101", "1000");
        }
        ImportReport r = adif::importAdif(env.m, swallowing, {});
        QCOMPARE(counts(r), u"records 301 imported 1 outside 0 repeats 0 refused 299 "_s
                            u"unreadable 1 chars 0"_s);
        QVERIFY(notes(r.unreadableNotes)[0].startsWith(
            u"1:the length 210000 of COMMENT runs over the record's end"_s));
        QVERIFY(r.text(u"x.adi"_s).contains(u"Refused by the award's rules: 299\n"_s));

        for (const QByteArray& noAdif :
             {QByteArray("a letter, not a log\n"), QByteArray("\x89PNG\r\n\x1a\n\0\0<<>>:", 16)}) {
            r = adif::importAdif(env.m, noAdif, {});
            QVERIFY(r.noRecords);
            QCOMPARE(r.text(u"x.txt"_s),
                     u"Import of x.txt: the file holds no ADIF records (no <EOR> tag), so "_s
                     u"nothing was imported. Choose an ADIF file (.adi) written by a logger or "_s
                     u"a QSL service."_s);
        }

        QByteArray huge = "<CALL:20000000>" + QByteArray(20000000, 'K') +
                          "<GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101<TIME_ON:4>1000<EOR>";
        huge += QByteArray("<EOR>").repeated(2000000);
        r = adif::importAdif(env.m, huge, {});
        QCOMPARE(r.imported + r.confirmations + r.outside + r.repeats + r.refused + r.unreadable,
                 r.records);
        QVERIFY(r.unreadableNotes.size() <= size_t(ImportReport::noteLimit));
        const QString text = r.text(u"huge.adi"_s);
        QVERIFY2(text.size() < 60000, qPrintable(QString::number(text.size())));
        QVERIFY(text.contains(u"CALL \"KKKKK"_s));
        QCOMPARE(r.records, 2000001);
        QVERIFY(text.contains(u"  and %1 more\n"_s.arg(r.unreadable - ImportReport::noteLimit)));
    }
};

QTEST_MAIN(AdifImportTest)
#include "tst_adifimport.moc"
