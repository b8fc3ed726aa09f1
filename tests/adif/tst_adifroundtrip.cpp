// Exporting a log as ADIF and importing it into an empty log gives the same log back,
// accredited QSOs, odd texts and all.

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "storage/Codes.h"
#include "support/LogFixture.h"

#include <QBuffer>
#include <QSet>

#include <random>

using namespace hm52;
using namespace hm52::test;

namespace {

// A log of `size` QSOs as the QSO forms could have made it: at most one confirmed or
// accredited QSO of each sub-square, band and mode, with any number of worked ones beside it
// (logged before it was accredited, so also after it in number order), the same QSO now and
// then logged twice, and texts with blanks at their ends.
void fillSampleLog(LogEnv& env, int size, unsigned seed) {
    std::mt19937 random(seed);
    auto letter = [&random](int n) { return QChar(static_cast<char16_t>(u'A' + random() % n)); };
    auto pick = [&random](const QStringList& list) {
        return list.at(static_cast<qsizetype>(random() % list.size()));
    };
    const QStringList places{"ALFA",
                             "PIAN D'OLMO",
                             "CITTÀ DI CASTELLO",
                             "SÃO JOSÉ <NORD>",
                             "SANTA MARIA DELLE GRAZIE AL MONTE",
                             "100% VALLE",
                             " ALFA ",
                             ""};
    const QStringList odd{"A1", "ZZ"};
    QHash<QString, QString> best; // sub-square, band, mode -> "c" or "a"
    Transaction t(env.m.logDb);
    Recordset rs(env.m.logDb, u"data"_s);
    const char* const fields[] = {"WWLocator", "place", "prov", "mode", "band",
                                  "call",      "date",  "time", "qsl"};
    int count = 0;
    while (count < size) {
        if (count > 0 && random() % 200 == 0) {
            // The last QSO once more, as a second Submit of the same form would log it.
            env.m.logDb.execute(u"insert into data select count + 1, call, "
                                u"WWLocator, place, prov, mode, band, date, time, "
                                u"'w' from data where count = %1"_s.arg(count));
            ++count;
            continue;
        }
        QString square = random() % 500 == 0 ? pick(odd) : QString(letter(24)) + letter(24);
        const QString band = pick(codes::bands());
        const QString mode = pick(codes::modes());
        QString call = u"I%1%2%3"_s.arg(random() % 10).arg(letter(26)).arg(letter(26));
        if (random() % 100 == 0) {
            call += u' ';
        }
        const QString date = u"%1-%2-%3"_s.arg(1930 + random() % 100)
                                 .arg(1 + random() % 12, 2, 10, QLatin1Char('0'))
                                 .arg(1 + random() % 31, 2, 10, QLatin1Char('0'));
        const QString time = u"%1:%2:00"_s.arg(random() % 24, 2, 10, QLatin1Char('0'))
                                 .arg(random() % 60, 2, 10, QLatin1Char('0'));
        const QString key = square + band + mode;
        QString qsl = pick({codes::worked, codes::confirmed, codes::accredited});
        if (qsl != codes::worked && best.contains(key)) {
            qsl = codes::worked;
        }
        if (qsl != codes::worked) {
            best.insert(key, qsl);
        }
        const QString values[] = {
            square, pick(places), pick(codes::provinces()), mode, band, call, date, time, qsl};
        rs.addNew();
        rs.setField(u"count"_s, ++count);
        for (int f = 0; f < 9; ++f) {
            rs.setField(QLatin1String(fields[f]), values[f]);
        }
        rs.update();
    }
    t.commit();
}

} // namespace

class AdifRoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportThenImportIntoAnEmptyLogGivesTheSameLog() {
        LogEnv source;
        fillSampleLog(source, 10000, 52);
        // The log holds what an import's rules would refuse from another writer's file.
        QVERIFY(source.m.logDb
                    .scalar(u"select count(*) from data w where w.qsl = 'w' and exists (select 1 "
                            u"from data a where a.qsl = 'a' and a.WWLocator = w.WWLocator and "
                            u"a.band = w.band and a.mode = w.mode and a.count < w.count)"_s)
                    .toInt() > 0);
        QVERIFY(source.m.logDb
                    .scalar(u"select count(*) from (select 1 from data group by "
                            u"call, WWLocator, band, mode, date, time having "
                            u"count(*) > 1)"_s)
                    .toInt() > 0);
        QByteArray file;
        {
            QBuffer buffer(&file);
            buffer.open(QIODevice::WriteOnly);
            QCOMPARE(adif::writeAdif(source.m, buffer,
                                     QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC)),
                     10000);
        }
        // ASCII only, every line ended by CRLF.
        for (const char c : file) {
            QVERIFY(static_cast<unsigned char>(c) < 0x80);
        }
        QCOMPARE(file.count("\r\n"), file.count('\n'));
        QCOMPARE(file.count("<EOR>\r\n"), qsizetype{10000});

        LogEnv target;
        const adif::ImportReport report = adif::importAdif(target.m, file, {});
        QCOMPARE(report.records, 10000);
        QCOMPARE(report.imported, 10000);
        const QStringList expected = source.rawRows();
        const QStringList got = target.rawRows();
        QCOMPARE(got.size(), expected.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            QCOMPARE(got[i], expected[i]);
        }
        QVERIFY(target.count(u"qsl = 'a'"_s) > 0);
    }

    void aQsoIsWrittenWithStandardAndOwnFields() {
        LogEnv env;
        env.addQso({.WWLocator = "MN",
                    .place = "CA' BIANCA",
                    .prov = "TD",
                    .mode = "CW",
                    .band = "50 MHz",
                    .qsl = "a"});
        env.addQso({.WWLocator = "MN",
                    .place = "CITTÀ",
                    .prov = "TD",
                    .mode = "DIGITAL",
                    .band = "SAT",
                    .qsl = "w"});
        QByteArray file;
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        adif::writeAdif(env.m, buffer, QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC));
        QVERIFY(file.startsWith("HM52 log exported as ADIF\r\n<ADIF_VER:5>3.1.4\r\n"
                                "<PROGRAMID:4>HM52\r\n<PROGRAMVERSION:3>1.0\r\n"
                                "<CREATED_TIMESTAMP:15>20240601 120000\r\n<EOH>\r\n"));
        QVERIFY(file.contains(
            "<CALL:5>I1ABC <GRIDSQUARE:6>HM52MN <QSO_DATE:8>20040105 <TIME_ON:4>0905 "
            "<QTH:10>CA' BIANCA <STATE:2>TD <MODE:2>CW <BAND:2>6m <QSL_RCVD:1>Y "
            "<APP_HM52_BAND:6:S>50 MHz <APP_HM52_MODE:2:S>CW <APP_HM52_QSL:1:S>a <EOR>\r\n"));
        QVERIFY(file.contains(
            "<QTH:5>CITTA <APP_HM52_PLACE:10:S>CITT%C3%80 <STATE:2>TD <PROP_MODE:3>SAT "
            "<QSL_RCVD:1>N <APP_HM52_BAND:3:S>SAT <APP_HM52_MODE:7:S>DIGITAL "
            "<APP_HM52_QSL:1:S>w <EOR>\r\n"));
    }
};

QTEST_MAIN(AdifRoundTripTest)
#include "tst_adifroundtrip.moc"
