// Importing ADIF files into the log: what each writer's quirks give, the award's rules,
// confirmations, and that a failed import leaves the log as it was. Exporting a log and importing
// it into an empty log gives the same log back, accredited QSOs, odd texts and all; an imported QSO
// is exported with what its file said.

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "adif/AdifReader.h"
#include "adif/KeptFields.h"
#include "storage/Codes.h"
#include "support/LogFixture.h"

#include <random>

using namespace hm52;
using namespace hm52::test;
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
    std::ranges::transform(list, std::back_inserter(out),
                           [](const auto& n) { return u"%1:%2"_s.arg(n.record).arg(n.reason); });
    return out;
}

// Records in the award square on 2 m SSB, one for each "CALL SUB-SQUARE DATE TIME" of a
// ';'-separated list, with a QSL received unless a fifth word gives another QSL_RCVD.
QByteArray records(const char* list) {
    QByteArray out;
    for (const QByteArray& entry : QByteArray(list).split(';')) {
        const QList<QByteArray> f = entry.simplified().split(' ');
        out += "<CALL:" + QByteArray::number(f[0].size()) + '>' + f[0] + "<GRIDSQUARE:6>HM52" +
               f[1] + "<QSO_DATE:8>" + f[2] + "<TIME_ON:4>" + f[3] +
               "<BAND:2>2m<MODE:3>SSB<QSL_RCVD:1>" + f.value(4, "Y") + "<QTH:4>ALFA<EOR>\n";
    }
    return out;
}

// `size` QSOs after the highest of the log, with every code of the log, any date and time,
// and places with quotes, accents, '<', '%', blanks at their ends, too long or none.
void fillSampleLog(LogEnv& env, int size, unsigned seed) {
    std::mt19937 random(seed);
    auto letter = [&random](int n) { return QChar(static_cast<char16_t>(u'A' + random() % n)); };
    auto pick = [&random](const auto& list) { return list.at(random() % list.size()); };
    auto twoDigits = [&random](unsigned from, unsigned n) {
        return u"%1"_s.arg(from + random() % n, 2, 10, QLatin1Char('0'));
    };
    const QStringList places({"ALFA", "PIAN D'OLMO", "CITTÀ DI CASTELLO", "SÃO JOSÉ <NORD>",
                              "SANTA MARIA DELLE GRAZIE AL MONTE", "100% VALLE", " ALFA ", ""});
    Transaction t(env.m.logDb);
    for (int i = 0; i < size; ++i) {
        env.addQso(
            {.call = u"I%1%2%3"_s.arg(random() % 10).arg(letter(26)).arg(letter(26)),
             .WWLocator = QString(letter(24)) + letter(24),
             .place = pick(places),
             .prov = pick(codes::provinces()),
             .mode = pick(codes::modes()),
             .band = pick(codes::bands()),
             .date =
                 u"%1-%2-%3"_s.arg(1930 + random() % 100).arg(twoDigits(1, 12), twoDigits(1, 31)),
             .time = u"%1:%2:00"_s.arg(twoDigits(0, 24), twoDigits(0, 60)),
             .qsl = pick(QStringList{codes::worked, codes::confirmed, codes::accredited})});
    }
    t.commit();
}

// Every table of a log, its definition and its rows with their types, as the engine's
// shell would dump them.
QStringList dump(LogEnv& env) {
    QStringList out;
    Recordset tables(env.m.logDb, u"select name, sql, type from sqlite_master order by name"_s);
    for (; !tables.eof(); tables.moveNext()) {
        out << tables.textAt(1);
        if (tables.textAt(2) == u"table"_s) {
            QStringList quoted;
            for (const Column& c : env.m.logDb.columns(tables.textAt(0))) {
                quoted << u"quote(\"%1\")"_s.arg(c.name);
            }
            Recordset rows(env.m.logDb, u"select %1 from \"%2\" order by rowid"_s.arg(
                                            quoted.join(u" || '|' || "_s), tables.textAt(0)));
            for (; !rows.eof(); rows.moveNext()) {
                out << rows.textAt(0);
            }
        }
    }
    return out;
}

// The records of a file by their CALL (upper case), each as its fields by name.
QHash<QString, QHash<QString, QString>> recordsOf(const QByteArray& file) {
    QHash<QString, QHash<QString, QString>> out;
    adif::Reader reader(file);
    adif::Record r;
    while (reader.next(r)) {
        QHash<QString, QString> fields;
        for (const adif::RawField& f : r.fields) {
            fields.insert(adif::decode(f.name).toUpper(), adif::decode(f.value));
        }
        out.insert(fields.value(u"CALL"_s).trimmed().toUpper(), fields);
    }
    return out;
}

} // namespace

class AdifImportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void utf8LengthsDamageRepeatsAndRulesAreEachAccountedFor() {
        LogEnv env;
        const ImportReport report =
            adif::importAdif(env.m, bytesOf(adifFixture("utf8-and-damage.adi")), {});
        // Unknown places in a sub-square of two provinces get none.
        QCOMPARE(env.rawRows(),
                 QStringList({"1|I6UTF|MN|CITTÀ||CW|UHF|2021-01-01|08:00:00|c",
                              "2|I6CHR|MN|SÃO JOSÉ||SSB|UHF|2021-01-02|08:00:00|w"}));
        // A band the award does not count is the award's refusal, not a reading failure; a
        // "%2" in the file's name is shown as it is.
        QCOMPARE(report.text(u"utf8%2.adi"_s),
                 u"Import of utf8%2.adi: 8 records\n\nImported: 2\nOutside the award square: 0\n"_s
                 u"Repeats of QSOs already in the log: 1\nRefused by the award's rules: 2\n"_s
                 u"Unreadable: 3\n\n1 record gave lengths in characters instead of bytes; it "_s
                 u"was read by characters.\n\nRefused by the award's rules:\n"_s
                 u"  record 5 (line 7): BAND 630m is not one of the award's bands\n"_s
                 u"  record 7 (line 9): I6TWO HM52MN UHF CW: a confirmed QSO of this "_s
                 u"sub-square, band and mode is already in the log (QSO 1)\n\nUnreadable:\n"_s
                 u"  record 3 (line 5): the length 3 of QTH cuts a UTF-8 character\n"_s
                 u"  record 4 (line 6): TIME_ON \"2561\" is not a time\n"_s
                 u"  record 8 (line 10): the file ends before <EOR>\n"_s);
    }

    // (A wrong length is the reader's: tst_adifreader.)
    void aFileThatIsNoAdifIsSaidSoAndImportsNothing() {
        LogEnv env;
        const ImportReport r =
            adif::importAdif(env.m, QByteArray("\x89PNG\r\n\x1a\n\0\0<<>>:", 16), {});
        QCOMPARE(env.count(), 0);
        QCOMPARE(r.text(u"x.txt"_s),
                 u"Import of x.txt: the file holds no ADIF records (no <EOR> tag), so nothing "_s
                 u"was imported. Choose an ADIF file (.adi) written by a logger or a QSL "_s
                 u"service."_s);
    }

    // A long value is shown cut, and notes beyond the limit are only counted: the report
    // stays short.
    void aLongReportIsCutShort() {
        LogEnv env;
        const QByteArray file = "<CALL:2000>" + QByteArray(2000, 'K') +
                                "<GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101<TIME_ON:4>1000<EOR>" +
                                QByteArray("<EOR>").repeated(ImportReport::noteLimit + 1);
        const QString text = adif::importAdif(env.m, file, {}).text(u"long.adi"_s);
        QVERIFY(text.contains(u"CALL \"%1...\""_s.arg(QString(60, u'K'))));
        QVERIFY(text.endsWith(u"\n  and 2 more\n"_s));
    }

    // A call holding a control character (a NUL would cut it short) is no call: the record is
    // unreadable, the reason showing the characters; the rest is imported.
    void aControlCharacterInACallMakesTheRecordUnreadable() {
        LogEnv env;
        const QByteArray file = QByteArray("<CALL:6>I5N\0UL", 14) +
                                "<GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101<TIME_ON:4>1000"
                                "<BAND:2>2m<MODE:3>SSB<EOR>" +
                                records("I5GOD AC 20240101 1100");
        const ImportReport report = adif::importAdif(env.m, file, {});
        QCOMPARE(counts(report),
                 u"records 2 imported 1 outside 0 repeats 0 refused 0 unreadable 1 chars 0"_s);
        QCOMPARE(notes(report.unreadableNotes),
                 QStringList{u"1:CALL \"I5N\u2400UL\" holds a control character"_s});
        QCOMPARE(env.count(), 1);
        QCOMPARE(env.count("call = 'I5GOD'"), 1);
    }

    // The rule of who stands is wired in: a worked record against an accredited QSO is
    // refused with its reason, and the log's QSO stays. (Each case of the rule, other bands
    // and modes beside: tst_standing, oneQsoOfAGroupStands.)
    void theAwardsRulesHoldAgainstTheLog() {
        LogEnv env;
        env.addQso({.WWLocator = "AB", .mode = "SSB", .band = "VHF", .qsl = "a"});
        const ImportReport r = adif::importAdif(env.m, records("I9NEW AB 20240101 1000 N"), {});
        QCOMPARE(notes(r.refusedNotes),
                 QStringList{u"1:I9NEW HM52AB VHF SSB: the sub-square is already accredited on "_s
                             u"this band and mode (QSO 1)"_s});
        QCOMPARE(env.rawRows(), QStringList{u"1|I1ABC|AB|ALFA|BD|SSB|VHF|2004-01-05|09:05:00|a"_s});
    }

    // (A cancel at the last question, after every record was written, is in
    // tst_adifwindows: importAsksForTheFileThenImportsWithTheChosenOptions.)
    void anEngineFailureLeavesTheLogAsItWas() {
        LogEnv env;
        env.addQso(Qso{});
        // A trigger makes the second insert fail.
        env.m.logDb.execute(u"create trigger refuse before insert on data when new.count = 3 "_s
                            u"begin select raise(abort, 'disk refused the row'); end"_s);
        QCOMPARE(thrownBy<DbError>([&env]() {
                     adif::importAdif(env.m, bytesOf(adifFixture("desktop-logger.adi")), {});
                 }),
                 u"disk refused the row"_s);
        QCOMPARE(env.count(), 1);
        QVERIFY(!env.m.logDb.inTransaction());
    }

    // A QSL service's report against a log of worked QSOs: the nearest worked QSO within
    // half an hour turns confirmed, across midnight too, unless its group already stands.
    void confirmationsTurnWorkedQsosConfirmed() {
        LogEnv env;
        for (const char* logged :
             {"I1AAA AB 10:00", "I1BBB AC 23:50", "I1CCC AD 10:00", "I1CCC AD 10:40",
              "I1DDD AE 10:00", "I1EEE AE 09:00 c", "I1FFF AF 10:00"}) {
            const QStringList f = QString::fromLatin1(logged).split(u' ');
            env.addQso({.call = f[0],
                        .WWLocator = f[1],
                        .mode = "SSB",
                        .band = "VHF",
                        .date = "15/1/23",
                        .time = f[2],
                        .qsl = f.value(3, u"w"_s)});
        }
        const ImportReport r = adif::importAdif(
            env.m,
            records("I1AAA AB 20230115 1029; I1BBB AC 20230116 0015; I1CCC AD 20230115 1025;"
                    "I1DDD AE 20230115 1000; I1FFF AF 20230115 1031"),
            {});
        // One record 31 minutes apart: a QSO of its own.
        QVERIFY(r.text(u"qsl.adi"_s)
                    .contains(u"Imported: 1\nConfirmations applied: 3 (QSOs 1, 2, 4 now "_s
                              u"confirmed)\n"_s));
        // QSOs 1, 2, 4 confirmed, 8 imported confirmed beside 6; all others still worked.
        QCOMPARE(env.count(u"qsl = 'c' and count in (1, 2, 4, 6, 8)"_s), 5);
        QCOMPARE(env.count(u"qsl <> 'w'"_s), 5);
        QCOMPARE(notes(r.refusedNotes),
                 QStringList{u"4:I1DDD HM52AE VHF SSB: confirms QSO 5, which stays worked: QSO 6 "_s
                             u"is already confirmed on this sub-square, band and mode"_s});
    }

    // Another writer's record with no mode would come in as MIXED beside the QSO it is; a
    // submode alone is a mode, and this program's own records name their mode in a field of
    // their own.
    void aRecordWithoutModeIsUnreadableWithItsReason() {
        LogEnv env;
        const QByteArray head = "<GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101<BAND:2>2m";
        const ImportReport r = adif::importAdif(
            env.m,
            "<CALL:5>I1NOM<TIME_ON:4>1000" + head + "<MODE:1> <EOR>\n<CALL:5>I1SUB<TIME_ON:4>1001" +
                head + "<SUBMODE:3>FT4<EOR>\n<CALL:5>I1OWN<TIME_ON:4>1002" + head +
                "<APP_HM52_BAND:3:S>VHF<APP_HM52_MODE:7:S>DIGITAL<APP_HM52_QSL:1:S>w<EOR>\n",
            {});
        QCOMPARE(notes(r.unreadableNotes), QStringList({"1:no MODE"}));
        QCOMPARE(env.rawRows(), QStringList({"1|I1SUB|AB|||DIGITAL|VHF|2024-01-01|10:01:00|w",
                                             "2|I1OWN|AB|||DIGITAL|VHF|2024-01-01|10:02:00|w"}));
        QCOMPARE(env.radioRows(), QStringList({"1|2m||MFSK|FT4", "2|2m|||"}));
    }

    // Blanks around values, tags after the last record, a satellite named without PROP_MODE,
    // and two confirmed QSOs of one group listed newest first.
    void realFilesAreReadAsTheyMean() {
        LogEnv env;
        const QByteArray file =
            "<PROGRAMID:4>LOTW<EOH>\n" + records("I1NEW AB 20240301 1000; I1OLD AB 20240101 1000") +
            "<CALL:5>I1SAT<GRIDSQUARE:6>HM52AC<QSO_DATE:8>20240101<TIME_ON:4>1000<BAND:2>2m"
            "<SAT_NAME:5>AO-91<MODE:2>FM<EOR>\n<CALL:8> i1abc  <GRIDSQUARE:6>HM52AB"
            "<QSO_DATE:8>20240101<TIME_ON:4>1000<BAND:3>20m<MODE:2>CW<QTH:6> Alfa <EOR>\n"
            "<CALL:5>I1ABC<GRIDSQUARE:6>HM52AB<QSO_DATE:8>20240101<TIME_ON:4>1000<BAND:3>20m"
            "<MODE:2>CW<EOR>\n<APP_LoTW_EOF>\n<EOF>\n";
        const ImportReport r = adif::importAdif(env.m, file, {});
        QCOMPARE(counts(r), u"records 5 imported 3 outside 0 repeats 1 refused 1 unreadable 0 "_s
                            u"chars 0"_s);
        QCOMPARE(env.rawRows(), QStringList({"1|I1OLD|AB|ALFA|BD|SSB|VHF|2024-01-01|10:00:00|c",
                                             "2|I1SAT|AC|||MIXED|SAT|2024-01-01|10:00:00|w",
                                             "3|I1ABC|AB|ALFA|BD|CW|HF|2024-01-01|10:00:00|w"}));
    }

    // A desktop logger's file (header, byte-order mark, mixed line ends, what the log's
    // columns cannot hold) and a web logbook's (no header, lower case), numbered after the
    // highest QSO of the log; then the log exported and imported into an empty log.
    void importedAndTypedQsosExportedAndImportedIntoAnEmptyLogGiveTheSameLog() {
        LogEnv source;
        source.addQsoWithCount(7, {.call = "I1SEV"});
        // A four-character grid, and a grid elsewhere, are outside. IW3SAT's QSL came through
        // LoTW only: worked, unless the option is ticked (tst_adifwindows, with every QSO
        // MIXED).
        const QByteArray original = bytesOf(adifFixture("desktop-logger.adi"));
        QCOMPARE(counts(adif::importAdif(source.m, original, {})),
                 u"records 5 imported 3 outside 2 repeats 0 refused 0 unreadable 0 chars 0"_s);
        adif::importAdif(source.m, bytesOf(adifFixture("web-logbook.adi")), {});
        // A STATE that is none of our provinces: the gazetteer's province of the place. The
        // first I5WEB QSO's QSL came through eQSL only: worked, until the option is ticked.
        QCOMPARE(source.rawRows(),
                 QStringList({"7|I1SEV|AB|ALFA|BD|MIXED|HF|2004-01-05|09:05:00|c",
                              "8|I1ABC|AB|ALFA|BD|SSB|VHF|2023-01-15|09:30:00|c",
                              "9|IK2AAA|AC|DELTA|VLT|DIGITAL|UHF|2023-01-16|10:15:00|w",
                              "10|IW3SAT|XX|SAN MARCO|RV|MIXED|SAT|2023-01-17|12:00:00|w",
                              "11|I5WEB|MN|CA' BIANCA|TD|DIGITAL|50 MHz|2022-05-05|07:05:00|w",
                              "12|I5WEB|MN|CA' BIANCA|TD|CW|HF|2022-05-06|07:05:00|c"}));
        QCOMPARE(counts(adif::importAdif(source.m, original, {})),
                 u"records 5 imported 0 outside 2 repeats 3 refused 0 unreadable 0 chars 0"_s);
        adif::importAdif(source.m, bytesOf(adifFixture("web-logbook.adi")), {.eqslCounts = true});
        QCOMPARE(source.rawField(11, u"qsl"_s), u"c"_s);

        // Typed QSOs, written with the fields their categories give.
        source.addQso({.call = "I1TYP", .mode = "CW", .band = "50 MHz", .qsl = "a"});
        source.addQso(
            {.call = " i1xyz ", .place = "CITTÀ", .mode = "DIGITAL", .band = "SAT", .qsl = "w"});
        fillSampleLog(source, 10000, 52);
        // And QSOs as no form would log them: the same QSO twice confirmed and once accredited,
        // and values that are none of the log's codes.
        for (const char* qsl : {"c", "c", "a"}) {
            source.addQso({.call = "I9QQ", .WWLocator = "QQ", .band = "VHF", .qsl = qsl});
        }
        source.m.logDb.execute(
            u"update data set prov = null, time = '12:34:56' where count = 20"_s);
        source.m.logDb.execute(u"update data set date = 'sometime', WWLocator = 'ab', "_s
                               u"qsl = 'x' where count = 21"_s);

        const QByteArray file = exportedAdif(source.m);
        // ASCII only, every line ended by CRLF.
        QVERIFY(std::all_of(file.begin(), file.end(), [](char c) { return uchar(c) < 0x80; }));
        QCOMPARE(file.count("\r\n"), file.count('\n'));
        QVERIFY(file.startsWith("HM52 log exported as ADIF\r\n<ADIF_VER:5>3.1.4\r\n"
                                "<PROGRAMID:4>HM52\r\n<PROGRAMVERSION:3>1.0\r\n"
                                "<CREATED_TIMESTAMP:15>20240601 120000\r\n<EOH>\r\n"));
        QVERIFY(
            file.contains("<CALL:5>I1TYP <GRIDSQUARE:6>HM52AB <QSO_DATE:8>20040105 <TIME_ON:4>0905 "
                          "<QTH:4>ALFA <STATE:2>BD <MODE:2>CW <BAND:2>6m <QSL_RCVD:1>Y "
                          "<APP_HM52_COUNT:2:N>13 <APP_HM52_BAND:6:S>50 MHz <APP_HM52_MODE:2:S>CW "
                          "<APP_HM52_QSL:1:S>a <APP_HM52_IMPLIED:9:S>BAND,MODE <EOR>\r\n"));
        QVERIFY(file.contains(
            "<CALL:5>I1XYZ <APP_HM52_CALL:7:S> i1xyz  <GRIDSQUARE:6>HM52AB "
            "<QSO_DATE:8>20040105 <TIME_ON:4>0905 <QTH:5>CITTA <APP_HM52_PLACE:10:S>CITT%C3%80 "
            "<STATE:2>BD <PROP_MODE:3>SAT <QSL_RCVD:1>N <APP_HM52_COUNT:2:N>14 "
            "<APP_HM52_BAND:3:S>SAT <APP_HM52_MODE:7:S>DIGITAL <APP_HM52_QSL:1:S>w <EOR>\r\n"));
        // An imported QSO is exported with every field its file gave (QSL_RCVD tells the
        // log's state; CALL is written upper case and trimmed).
        const auto after = recordsOf(file);
        for (const QString& call : {u"I1ABC"_s, u"IK2AAA"_s, u"IW3SAT"_s}) {
            const QHash<QString, QString> came = recordsOf(original).value(call);
            QVERIFY2(came.size() > 5, qPrintable(call));
            for (auto f = came.begin(); f != came.end(); ++f) {
                if (f.key() != u"QSL_RCVD"_s && f.key() != u"CALL"_s) {
                    QCOMPARE(after.value(call).value(f.key(), u"(missing)"_s), f.value());
                }
            }
        }

        LogEnv target;
        const QString report = adif::importAdif(target.m, file, {}).text(u"log.adi"_s);
        QVERIFY(report.contains(u"\n\nThe file is an export of HM52 and the log was empty: its "_s
                                u"QSOs were copied as they stand, numbers included.\n\n"_s));
        QVERIFY(report.contains(u"QSO 21 holds qsl \"x\", none of the log's codes"_s));
        QCOMPARE(dump(target), dump(source));
        // Into a log that holds QSOs, the same file is held to the award's rules.
        QCOMPARE(adif::importAdif(target.m, file, {}).imported, 0);

        // A deleted QSO's kept fields go with it. (What an edit drops: tst_radioframe.)
        const QString kept = u"select count(*) from %1"_s.arg(QLatin1String(adif::kept::tableName));
        const qint64 keptRows = source.m.logDb.scalar(kept).toLongLong();
        source.m.logDb.execute(u"delete from data where count = 10"_s);
        QCOMPARE(source.m.logDb.scalar(kept).toLongLong(), keptRows - 1);
    }
};

QTEST_MAIN(AdifImportTest)
#include "tst_adifimport.moc"
