// Exporting a log as ADIF and importing it into an empty log gives the same log back,
// accredited QSOs, odd texts and all; an imported QSO is exported with what its file said.

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "adif/AdifReader.h"
#include "adif/KeptFields.h"
#include "storage/Codes.h"
#include "support/LogFixture.h"

#include <QBuffer>

#include <random>

using namespace hm52;
using namespace hm52::test;

namespace {

// `size` QSOs after those of a log, with every code of the log, texts with quotes, accents, '<' and
// '%' and blanks at their ends, now and then a sub-square that is none.
void fillSampleLog(LogEnv& env, int size, unsigned seed) {
    std::mt19937 random(seed);
    auto letter = [&random](int n) { return QChar(static_cast<char16_t>(u'A' + random() % n)); };
    auto pick = [&random](const QStringList& list) {
        return list.at(static_cast<qsizetype>(random() % list.size()));
    };
    auto twoDigits = [&random](unsigned from, unsigned n) {
        return u"%1"_s.arg(from + random() % n, 2, 10, QLatin1Char('0'));
    };
    const QStringList places({"ALFA", "PIAN D'OLMO", "CITTÀ DI CASTELLO", "SÃO JOSÉ <NORD>",
                              "SANTA MARIA DELLE GRAZIE AL MONTE", "100% VALLE", " ALFA ", ""});
    Transaction t(env.m.logDb);
    Recordset rs(env.m.logDb, u"data"_s);
    for (qint64 count = env.count() + 1, end = count + size; count < end; ++count) {
        rs.addNew();
        rs.setField(u"count"_s, count);
        rs.setField(u"WWLocator"_s,
                    random() % 500 == 0 ? pick({"A1", "ZZ"}) : QString(letter(24)) + letter(24));
        rs.setField(u"place"_s, pick(places));
        rs.setField(u"prov"_s, pick(codes::provinces()));
        rs.setField(u"mode"_s, pick(codes::modes()));
        rs.setField(u"band"_s, pick(codes::bands()));
        rs.setField(u"call"_s, u"I%1%2%3"_s.arg(random() % 10).arg(letter(26)).arg(letter(26)) +
                                   (random() % 100 == 0 ? u" "_s : QString()));
        rs.setField(
            u"date"_s,
            u"%1-%2-%3"_s.arg(1930 + random() % 100).arg(twoDigits(1, 12), twoDigits(1, 31)));
        rs.setField(u"time"_s, u"%1:%2:00"_s.arg(twoDigits(0, 24), twoDigits(0, 60)));
        rs.setField(u"qsl"_s, pick({codes::worked, codes::confirmed, codes::accredited}));
        rs.update();
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
        const QString name = tables.textAt(0);
        if (tables.textAt(2) != u"table"_s) {
            continue;
        }
        QStringList quoted;
        for (const Column& c : env.m.logDb.columns(name)) {
            quoted << u"quote(\"%1\")"_s.arg(c.name);
        }
        Recordset rows(env.m.logDb, u"select %1 from \"%2\" order by rowid"_s.arg(
                                        quoted.join(u" || '|' || "_s), name));
        for (; !rows.eof(); rows.moveNext()) {
            out << rows.textAt(0);
        }
    }
    return out;
}

// The log written as ADIF.
QByteArray exported(LogEnv& env) {
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    adif::writeAdif(env.m, buffer, QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC));
    return file;
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

class AdifRoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportThenImportIntoAnEmptyLogGivesTheSameLog() {
        LogEnv source;
        // QSOs from another logger's file, with what the log's columns cannot hold.
        const QByteArray original = adifFixture("desktop-logger.adi");
        QCOMPARE(adif::importAdif(source.m, original, {}).imported, 3);
        QVERIFY(adif::kept::exists(source.m.logDb));
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
            u"update data set prov = null, time = '12:34:56' where count = 10"_s);
        source.m.logDb.execute(u"update data set date = 'sometime', WWLocator = 'ab', "_s
                               u"qsl = 'x' where count = 11"_s);

        const QByteArray file = exported(source);
        // ASCII only, every line ended by CRLF.
        QVERIFY(std::all_of(file.begin(), file.end(), [](char c) { return uchar(c) < 0x80; }));
        QCOMPARE(file.count("\r\n"), file.count('\n'));
        QVERIFY(file.startsWith("HM52 log exported as ADIF\r\n<ADIF_VER:5>3.1.4\r\n"
                                "<PROGRAMID:4>HM52\r\n<PROGRAMVERSION:3>1.0\r\n"
                                "<CREATED_TIMESTAMP:15>20240601 120000\r\n<EOH>\r\n"));
        QVERIFY(
            file.contains("<CALL:5>I1TYP <GRIDSQUARE:6>HM52AB <QSO_DATE:8>20040105 <TIME_ON:4>0905 "
                          "<QTH:4>ALFA <STATE:2>BD <MODE:2>CW <BAND:2>6m <QSL_RCVD:1>Y "
                          "<APP_HM52_COUNT:1:N>4 <APP_HM52_BAND:6:S>50 MHz <APP_HM52_MODE:2:S>CW "
                          "<APP_HM52_QSL:1:S>a <EOR>\r\n"));
        QVERIFY(file.contains(
            "<CALL:5>I1XYZ <APP_HM52_CALL:7:S> i1xyz  <GRIDSQUARE:6>HM52AB "
            "<QSO_DATE:8>20040105 <TIME_ON:4>0905 <QTH:5>CITTA <APP_HM52_PLACE:10:S>CITT%C3%80 "
            "<STATE:2>BD <PROP_MODE:3>SAT <QSL_RCVD:1>N <APP_HM52_COUNT:1:N>5 "
            "<APP_HM52_BAND:3:S>SAT <APP_HM52_MODE:7:S>DIGITAL <APP_HM52_QSL:1:S>w <EOR>\r\n"));
        // An imported QSO is exported with every field its file gave (QSL_RCVD tells the
        // log's state; CALL is written upper case and trimmed).
        const auto before = recordsOf(original);
        const auto after = recordsOf(file);
        for (const QString& call : {u"I1ABC"_s, u"IK2AAA"_s, u"IW3SAT"_s}) {
            const QHash<QString, QString>& came = before.value(call);
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
        QVERIFY(report.contains(u"QSO 11 holds qsl \"x\", none of the log's codes"_s));
        QCOMPARE(dump(target), dump(source));
        // Into a log that holds QSOs, the same file is held to the award's rules.
        QCOMPARE(adif::importAdif(target.m, file, {}).imported, 0);

        // An edit drops what no longer agrees with the log; a deletion drops it all.
        const int sat = int(
            source.m.logDb.scalar(u"select count from data where call = 'IW3SAT'"_s).toLongLong());
        {
            Transaction t(source.m.logDb);
            adif::kept::EditWatch watch(source.m.logDb, sat);
            source.m.logDb.execute(u"update data set band = 'UHF' where count = %1"_s.arg(sat));
            watch.afterEdit();
            t.commit();
        }
        const QHash<QString, QString> edited = recordsOf(exported(source)).value(u"IW3SAT"_s);
        for (const char* gone : {"BAND", "BAND_RX", "PROP_MODE", "SAT_NAME"}) {
            QVERIFY2(!edited.contains(QLatin1String(gone)), gone);
        }
        QCOMPARE(edited.value(u"APP_HM52_BAND"_s), u"UHF"_s);
        QCOMPARE(edited.value(u"MODE"_s), u"FM"_s);
        const QString kept = u"select count(*) from %1"_s.arg(QLatin1String(adif::kept::tableName));
        const qint64 keptRows = source.m.logDb.scalar(kept).toLongLong();
        source.m.logDb.execute(u"delete from data where count = %1"_s.arg(sat));
        QCOMPARE(source.m.logDb.scalar(kept).toLongLong(), keptRows - 1);
    }
};

QTEST_MAIN(AdifRoundTripTest)
#include "tst_adifroundtrip.moc"
