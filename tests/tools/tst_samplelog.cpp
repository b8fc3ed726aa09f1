// The sample log is a log the program could have made: the award's rules hold in it, its
// exact values fit their categories, and the tool finds the gazetteer of an installed program.

#include "SampleLog.h"
#include "rules/Claims.h"
#include "rules/Radio.h"
#include "storage/Codes.h"
#include "support/LogFixture.h"

#include <QDir>
#include <QFile>

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
        // Accredited by whole requests: the base award, then endorsements.
        qint64 accredited = 0;
        for (const QString& band : codes::bands()) {
            for (const QString& mode : codes::modes()) {
                const qint64 a = db.scalar(rules::accreditedCountSql(band, mode)).toLongLong();
                const int n = rules::baseFigure(band);
                QVERIFY2(a == 0 || (a >= n && (a - n) % rules::endorsementFigure(band) == 0),
                         qPrintable(band + u' ' + mode));
                accredited += a;
            }
        }
        QVERIFY(accredited > 0);
        // Every exact value fits its QSO's categories; most QSOs have some, some none.
        Recordset rs(db, u"select d.band, d.mode, r.band, r.freq, r.mode, r.submode from data d "_s
                         u"join hm52_radio r on r.count = d.count"_s);
        int exact = 0;
        for (; !rs.eof(); rs.moveNext(), ++exact) {
            const QString where = rs.textAt(0) + u' ' + rs.textAt(1) + u": "_s + rs.textAt(2) +
                                  u' ' + rs.textAt(3) + u' ' + rs.textAt(4);
            QVERIFY2(radio::bandFits(rs.textAt(0), rs.textAt(2)), qPrintable(where));
            QVERIFY2(radio::modeFits(rs.textAt(1), {rs.textAt(4), rs.textAt(5)}),
                     qPrintable(where));
            double low = 0;
            double high = 0;
            QVERIFY2(rs.nullAt(3) || (radio::edgesOf(rs.textAt(2), &low, &high) &&
                                      rs.realAt(3) >= low && rs.realAt(3) <= high),
                     qPrintable(where));
        }
        QVERIFY2(exact > 15000 && exact < 20000, qPrintable(QString::number(exact)));
    }

    void theGazetteerOfAnInstalledProgramIsFound() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(u"usr/bin"_s) &&
                QDir(dir.path()).mkpath(u"usr/share/hm52"_s) && QDir(dir.path()).mkpath(u"logs"_s));
        const QString installed = dir.filePath(u"usr/share/hm52/places.mdb"_s);
        QVERIFY(QFile::copy(builtPlaces, installed));
        const QString log = dir.filePath(u"logs/data.mdb"_s);
        QCOMPARE(sample::findGazetteer(log, dir.filePath(u"usr/bin"_s)), installed);
        const QString beside = dir.filePath(u"logs/places.mdb"_s);
        QVERIFY(QFile::copy(builtPlaces, beside));
        QCOMPARE(sample::findGazetteer(log, dir.filePath(u"usr/bin"_s)), beside);
    }
};

QTEST_MAIN(SampleLogTest)
#include "tst_samplelog.moc"
