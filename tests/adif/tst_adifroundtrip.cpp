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
    const char* const fields[] = {"WWLocator", "place", "prov", "mode", "band",
                                  "call",      "date",  "time", "qsl"};
    const qint64 first = env.count() + 1;
    for (qint64 count = first; count < first + size; ++count) {
        // In a braced list the values are made in their order, so the log is the same each run.
        const QString values[] = {
            random() % 500 == 0 ? pick({"A1", "ZZ"}) : QString(letter(24)) + letter(24),
            pick(places),
            pick(codes::provinces()),
            pick(codes::modes()),
            pick(codes::bands()),
            u"I%1%2%3"_s.arg(random() % 10).arg(letter(26)).arg(letter(26)) +
                (random() % 100 == 0 ? u" "_s : QString()),
            u"%1-%2-%3"_s.arg(1930 + random() % 100).arg(twoDigits(1, 12), twoDigits(1, 31)),
            u"%1:%2:00"_s.arg(twoDigits(0, 24), twoDigits(0, 60)),
            pick({codes::worked, codes::confirmed, codes::accredited})};
        rs.addNew();
        rs.setField(u"count"_s, count);
        for (int f = 0; f < 9; ++f) {
            rs.setField(QLatin1String(fields[f]), values[f]);
        }
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
        QCOMPARE(adif::importAdif(source.m, adifFixture("desktop-logger.adi"), {}).imported, 3);
        QVERIFY(adif::kept::exists(source.m.logDb));
        fillSampleLog(source, 10000, 52);
        // And QSOs as no form would log them: the same QSO twice confirmed and once accredited,
        // and values that are none of the log's codes.
        for (const char* qsl : {"c", "c", "a"}) {
            source.addQso({.WWLocator = "QQ", .band = "VHF", .qsl = qsl});
        }
        source.m.logDb.execute(
            u"update data set prov = null, time = '12:34:56' where count = 10"_s);
        source.m.logDb.execute(u"update data set date = 'sometime', WWLocator = 'ab', "_s
                               u"qsl = 'x' where count = 11"_s);

        const QByteArray file = exported(source);
        // ASCII only, every line ended by CRLF.
        QVERIFY(std::all_of(file.begin(), file.end(), [](char c) { return uchar(c) < 0x80; }));
        QCOMPARE(file.count("\r\n"), file.count('\n'));

        LogEnv target;
        const QString report = adif::importAdif(target.m, file, {}).text(u"log.adi"_s);
        QVERIFY(report.contains(u"\n\nThe file is an export of HM52 and the log was empty: its "_s
                                u"QSOs were copied as they stand, numbers included.\n\n"_s));
        QVERIFY(report.contains(u"QSO 11 holds qsl \"x\", none of the log's codes"_s));
        QCOMPARE(dump(target), dump(source));
        // Into a log that holds QSOs, the same file is held to the award's rules.
        QCOMPARE(adif::importAdif(target.m, file, {}).imported, 0);
    }

    void anImportedQsoIsExportedWithEveryFieldItsFileGave() {
        LogEnv env;
        const QByteArray original = adifFixture("desktop-logger.adi");
        QCOMPARE(adif::importAdif(env.m, original, {}).imported, 3);
        const auto before = recordsOf(original);
        const auto after = recordsOf(exported(env));
        QCOMPARE(after.size(), 3);
        for (auto qso = after.begin(); qso != after.end(); ++qso) {
            const QHash<QString, QString>& came = before.value(qso.key());
            QVERIFY2(!came.isEmpty(), qPrintable(qso.key()));
            for (auto f = came.begin(); f != came.end(); ++f) {
                // QSL_RCVD tells the log's state; CALL is written upper case and trimmed.
                if (f.key() != u"QSL_RCVD"_s && f.key() != u"CALL"_s) {
                    QCOMPARE(qso.value().value(f.key(), u"(missing)"_s), f.value());
                }
            }
        }

        // An edit drops what no longer agrees with the log; a deletion drops it all.
        const int sat =
            int(env.m.logDb.scalar(u"select count from data where band = 'SAT'"_s).toLongLong());
        {
            Transaction t(env.m.logDb);
            adif::kept::EditWatch watch(env.m.logDb, sat);
            env.m.logDb.execute(u"update data set band = 'UHF' where count = %1"_s.arg(sat));
            watch.afterEdit();
            t.commit();
        }
        const QHash<QString, QString> edited = recordsOf(exported(env)).value(u"IW3SAT"_s);
        for (const char* gone : {"BAND", "BAND_RX", "PROP_MODE", "SAT_NAME"}) {
            QVERIFY2(!edited.contains(QLatin1String(gone)), gone);
        }
        QCOMPARE(edited.value(u"APP_HM52_BAND"_s), u"UHF"_s);
        QCOMPARE(edited.value(u"MODE"_s), u"FM"_s);
        const QString kept = u"select count(*) from %1"_s.arg(QLatin1String(adif::kept::tableName));
        const qint64 keptRows = env.m.logDb.scalar(kept).toLongLong();
        env.m.logDb.execute(u"delete from data where count = %1"_s.arg(sat));
        QCOMPARE(env.m.logDb.scalar(kept).toLongLong(), keptRows - 1);
    }

    void aTypedQsoIsWrittenWithTheFieldsItsCategoriesGive() {
        LogEnv env;
        env.addQso({.mode = "CW", .band = "50 MHz", .qsl = "a"});
        env.addQso(
            {.call = " i1abc ", .place = "CITTÀ", .mode = "DIGITAL", .band = "SAT", .qsl = "w"});
        const QByteArray file = exported(env);
        QVERIFY(file.startsWith("HM52 log exported as ADIF\r\n<ADIF_VER:5>3.1.4\r\n"
                                "<PROGRAMID:4>HM52\r\n<PROGRAMVERSION:3>1.0\r\n"
                                "<CREATED_TIMESTAMP:15>20240601 120000\r\n<EOH>\r\n"));
        QVERIFY(
            file.contains("<CALL:5>I1ABC <GRIDSQUARE:6>HM52AB <QSO_DATE:8>20040105 <TIME_ON:4>0905 "
                          "<QTH:4>ALFA <STATE:2>BD <MODE:2>CW <BAND:2>6m <QSL_RCVD:1>Y "
                          "<APP_HM52_COUNT:1:N>1 <APP_HM52_BAND:6:S>50 MHz <APP_HM52_MODE:2:S>CW "
                          "<APP_HM52_QSL:1:S>a <EOR>\r\n"));
        QVERIFY(file.contains(
            "<CALL:5>I1ABC <APP_HM52_CALL:7:S> i1abc  <GRIDSQUARE:6>HM52AB "
            "<QSO_DATE:8>20040105 <TIME_ON:4>0905 <QTH:5>CITTA <APP_HM52_PLACE:10:S>CITT%C3%80 "
            "<STATE:2>BD <PROP_MODE:3>SAT <QSL_RCVD:1>N <APP_HM52_COUNT:1:N>2 "
            "<APP_HM52_BAND:3:S>SAT <APP_HM52_MODE:7:S>DIGITAL <APP_HM52_QSL:1:S>w <EOR>\r\n"));
    }
};

QTEST_MAIN(AdifRoundTripTest)
#include "tst_adifroundtrip.moc"
