// The storage module: quoting typed text for SQL, the program folder's paths, opening the two
// files, and the gazetteer that ships with the program.

#include "storage/Codes.h"
#include "storage/QuoteSql.h"
#include "storage/Schema.h"
#include "support/LogFixture.h"

#include <QRandomGenerator>
#include <QSet>

using namespace hm52;
using namespace hm52::test;

class StorageTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A new log never takes the place of a file that is there, a log or not.
    void aNewLogNeverReplacesAFile() {
        LogEnv env;
        env.addQsos(2);
        const QByteArray before = bytesOf(env.m.logDb.path());
        QVERIFY_THROWS_EXCEPTION(DbError, schema::createLog(env.m.logDb.path()));
        QCOMPARE(bytesOf(env.m.logDb.path()), before);
    }

    // QuoteSql doubles every single quote, and whatever an operator types comes back unchanged
    // through a query built by concatenation with it: quotes, NULs, non-ASCII text, very long
    // text.
    void anyTypedTextSurvivesAnInsertAndASelectByLiteral() {
        QCOMPARE(QuoteSql(u"PIAN D'OLMO"_s), u"PIAN D''OLMO"_s);
        LogEnv env;
        QRandomGenerator random(52);
        const QString alphabet = u"'\"aZ9 ;-%_?*()[]`\\/\tèÙ€ß日本\u008d"_s + QChar(u'\0');
        QList<QString> samples{QString(), u"x' or '1'='1"_s, QString(10000, u'\'')};
        for (int i = 0; i < 300; ++i) {
            QString s;
            for (int k = 0, length = random.bounded(40); k < length; ++k) {
                s += alphabet.at(random.bounded(alphabet.size()));
            }
            samples << s;
        }
        for (const QString& text : samples) {
            env.m.logDb.execute("delete from data");
            env.m.logDb.execute("insert into data (count, call, place) values (1, '" +
                                QuoteSql(text) + "', 'X')");
            Recordset rs(env.m.logDb, "select * from data where call = '" + QuoteSql(text) + "';");
            QVERIFY2(!rs.eof(), qPrintable(u"not found: "_s + text.left(40)));
            QCOMPARE(rs.text("call"), text);
        }
    }

    // Both files are found in a folder ending in a separator, and a log from an earlier build
    // gets its indexes without losing a row.
    void openingFindsBothFilesAndGivesAnEarlierBuildsLogItsIndexes() {
        QCOMPARE(joinPath("c:\\", "Help/index.htm"), u"c:\\Help/index.htm"_s);
        LogEnv env;
        env.addQso({.call = "OLD"});
        env.m.logDb.execute("drop index data_award");
        Module1 m;
        m.OpenDatabases(env.dir.path() + u'/');
        QCOMPARE(m.placesDb.path(), env.dir.path() + u"/places.mdb"_s);
        m.keeper.startCheck();
        QCOMPARE(m.keeper.awaitCheck(), LogTrust::Trusted);
        const char* index = "select count(*) from sqlite_master where name = 'data_award'";
        QCOMPARE(m.logDb.scalar(index).toInt(), 1);
        QCOMPARE(m.logDb.scalar("select call from data").toString(), u"OLD"_s);
    }

    // The gazetteer that ships with the program: every row of data/places.csv (each checked by
    // mkplaces as it builds the file), with every province code.
    void theShippedGazetteerHoldsEveryPlaceWithTheNineProvinces() {
        Database places;
        places.open(QStringLiteral(HM52_BUILD_DIR "/places.mdb"), OpenMode::ReadOnly);
        QCOMPARE(places.scalar("select count(*) from places").toLongLong(),
                 bytesOf(u"" HM52_SOURCE_DIR "/data/places.csv"_s).count('\n') - 1);

        QSet<QString> provinces;
        Recordset rs(places, "places");
        for (; !rs.eof(); rs.moveNext()) {
            provinces << rs.text("prov");
        }
        QCOMPARE(provinces, QSet<QString>(codes::provinces().begin(), codes::provinces().end()));
    }
};

QTEST_MAIN(StorageTest)
#include "tst_storage.moc"
