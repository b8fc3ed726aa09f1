// Exporting a log as ADIF and importing it into an empty log gives the same log back,
// accredited QSOs, odd texts and all.

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "storage/Codes.h"
#include "support/TestEnv.h"

#include <QBuffer>
#include <QSet>
#include <QTest>

#include <random>

using namespace hm52;
using namespace hm52::test;

namespace {

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

// A log of `size` QSOs as the QSO forms could have made it: at most one confirmed or
// accredited QSO of each sub-square, band and mode, with any number of worked ones beside it
// (logged before it was accredited, so also after it in number order), the same QSO now and
// then logged twice, and texts with blanks at their ends.
void fillSampleLog(TestEnv& env, int size, unsigned seed) {
    std::mt19937 random(seed);
    auto letter = [&random](int n) { return QChar(static_cast<char16_t>(u'A' + random() % n)); };
    auto pick = [&random](const QStringList& list) {
        return list.at(static_cast<qsizetype>(random() % list.size()));
    };
    const QStringList places{QStringLiteral("ALFA"),
                             QStringLiteral("PIAN D'OLMO"),
                             QStringLiteral("CITTÀ DI CASTELLO"),
                             QStringLiteral("SÃO JOSÉ <NORD>"),
                             QStringLiteral("SANTA MARIA DELLE GRAZIE AL MONTE"),
                             QStringLiteral("100% VALLE"),
                             QStringLiteral(" ALFA "),
                             QStringLiteral("")};
    const QStringList odd{QStringLiteral("A1"), QStringLiteral("ZZ")};
    QHash<QString, QString> best; // sub-square, band, mode -> "c" or "a"
    Transaction t(env.m.logDb);
    Recordset rs(env.m.logDb, QStringLiteral("data"));
    int count = 0;
    while (count < size) {
        if (count > 0 && random() % 200 == 0) {
            // The last QSO once more, as a second Submit of the same form would log it.
            env.m.logDb.execute(QStringLiteral("insert into data select count + 1, call, "
                                               "WWLocator, place, prov, mode, band, date, time, "
                                               "'w' from data where count = %1")
                                    .arg(count));
            ++count;
            continue;
        }
        QString square = random() % 500 == 0 ? pick(odd) : QString(letter(24)) + letter(24);
        const QString band = pick(codes::bands());
        const QString mode = pick(codes::modes());
        QString call = QStringLiteral("I%1%2%3").arg(random() % 10).arg(letter(26)).arg(letter(26));
        if (random() % 100 == 0) {
            call += u' ';
        }
        const QString date = QStringLiteral("%1-%2-%3")
                                 .arg(1930 + random() % 100)
                                 .arg(1 + random() % 12, 2, 10, QLatin1Char('0'))
                                 .arg(1 + random() % 31, 2, 10, QLatin1Char('0'));
        const QString time = QStringLiteral("%1:%2:00")
                                 .arg(random() % 24, 2, 10, QLatin1Char('0'))
                                 .arg(random() % 60, 2, 10, QLatin1Char('0'));
        const QString key = square + band + mode;
        QString qsl = pick({codes::worked, codes::confirmed, codes::accredited});
        if (qsl != codes::worked && best.contains(key)) {
            qsl = codes::worked;
        }
        if (qsl != codes::worked) {
            best.insert(key, qsl);
        }
        rs.addNew();
        rs.setField(QStringLiteral("count"), ++count);
        rs.setField(QStringLiteral("WWLocator"), square);
        rs.setField(QStringLiteral("place"), pick(places));
        rs.setField(QStringLiteral("prov"), pick(codes::provinces()));
        rs.setField(QStringLiteral("mode"), mode);
        rs.setField(QStringLiteral("band"), band);
        rs.setField(QStringLiteral("call"), call);
        rs.setField(QStringLiteral("date"), date);
        rs.setField(QStringLiteral("time"), time);
        rs.setField(QStringLiteral("qsl"), qsl);
        rs.update();
    }
    t.commit();
}

} // namespace

class AdifRoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportThenImportIntoAnEmptyLogGivesTheSameLog() {
        TestEnv source;
        fillSampleLog(source, 10000, 52);
        // The log holds what an import's rules would refuse from another writer's file.
        QVERIFY(source.m.logDb
                    .scalar(QStringLiteral(
                        "select count(*) from data w where w.qsl = 'w' and exists (select 1 "
                        "from data a where a.qsl = 'a' and a.WWLocator = w.WWLocator and "
                        "a.band = w.band and a.mode = w.mode and a.count < w.count)"))
                    .toInt() > 0);
        QVERIFY(source.m.logDb
                    .scalar(QStringLiteral("select count(*) from (select 1 from data group by "
                                           "call, WWLocator, band, mode, date, time having "
                                           "count(*) > 1)"))
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

        TestEnv target;
        const adif::ImportReport report = adif::importAdif(target.m, file, {});
        QCOMPARE(report.records, 10000);
        QCOMPARE(report.imported, 10000);
        const QStringList expected = rows(source);
        const QStringList got = rows(target);
        QCOMPARE(got.size(), expected.size());
        for (qsizetype i = 0; i < got.size(); ++i) {
            QCOMPARE(got[i], expected[i]);
        }
        QVERIFY(target.count(QStringLiteral("qsl = 'a'")) > 0);
    }

    void aQsoIsWrittenWithStandardAndOwnFields() {
        TestEnv env;
        Qso q;
        q.call = QStringLiteral("I1ABC");
        q.WWLocator = QStringLiteral("MN");
        q.place = QStringLiteral("CA' BIANCA");
        q.prov = QStringLiteral("TD");
        q.mode = QStringLiteral("CW");
        q.band = QStringLiteral("50 MHz");
        q.date = QStringLiteral("5/1/04");
        q.time = QStringLiteral("09:05");
        q.qsl = QStringLiteral("a");
        env.addQso(q);
        q.mode = QStringLiteral("DIGITAL");
        q.band = QStringLiteral("SAT");
        q.qsl = QStringLiteral("w");
        q.place = QStringLiteral("CITTÀ");
        env.addQso(q);
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
