// The sample log is a log the program could have made: the award's rules hold in it and its
// exact values fit their categories.

#include "SampleLog.h"
#include "rules/Radio.h"
#include "support/LogFixture.h"

using namespace hm52;
using namespace hm52::test;
namespace radio = rules::radio;

namespace {
const QString builtPlaces = QStringLiteral(HM52_BUILD_DIR "/places.mdb");
}

class SampleLogTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theSampleLogIsOneTheProgramCouldHaveMade() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"data.mdb"_s);
        sample::writeLog(path, builtPlaces, {.qsos = 20000, .seed = 7});
        Database db;
        db.open(path, OpenMode::ReadOnly);
        // At most one confirmed or accredited QSO per sub-square, band and mode.
        QCOMPARE(db.scalar(u"select count(*) from (select 1 from data where qsl <> 'w' group by "_s
                           u"WWLocator, band, mode having count(*) > 1)"_s)
                     .toInt(),
                 0);
        QVERIFY(db.scalar(u"select count(*) from data where qsl = 'a'"_s).toInt() > 0);
        // Every exact value fits its QSO's categories; most QSOs have some, some none.
        Recordset rs(db, u"select d.band, d.mode, r.band, r.mode, r.submode from data d "_s
                         u"join hm52_radio r on r.count = d.count"_s);
        int exact = 0;
        for (; !rs.eof(); rs.moveNext(), ++exact) {
            const QString where =
                rs.textAt(0) + u' ' + rs.textAt(1) + u": "_s + rs.textAt(2) + u' ' + rs.textAt(3);
            QVERIFY2(radio::bandFits(rs.textAt(0), rs.textAt(2)), qPrintable(where));
            QVERIFY2(radio::modeFits(rs.textAt(1), {rs.textAt(3), rs.textAt(4)}),
                     qPrintable(where));
        }
        QVERIFY2(exact > 15000 && exact < 20000, qPrintable(QString::number(exact)));
    }
};

QTEST_MAIN(SampleLogTest)
#include "tst_samplelog.moc"
