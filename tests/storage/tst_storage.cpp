// The storage module: quoting typed text for SQL, the program folder's paths, opening the two
// files, and the gazetteer that ships with the program.

#include "storage/Codes.h"
#include "storage/QuoteSql.h"
#include "storage/Schema.h"
#include "support/LogFixture.h"

#include <QRandomGenerator>
#include <QRegularExpression>
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
        QCOMPARE(env.count(), 2);
    }

    // QuoteSql doubles every single quote, and whatever an operator types comes back unchanged
    // through a query built by concatenation with it: quotes, NULs, non-ASCII text, very long
    // text.
    void anyTypedTextSurvivesAnInsertAndASelectByLiteral() {
        for (const auto& [text, quoted] : {std::pair{"I1ABC", "I1ABC"},
                                           {"'A'B'", "''A''B''"},
                                           {"D''O", "D''''O"},
                                           {"CA' PERÙ", "CA'' PERÙ"}}) {
            QCOMPARE(QuoteSql(QString::fromUtf8(text)), QString::fromUtf8(quoted));
        }
        LogEnv env;
        QRandomGenerator random(52);
        const QString alphabet = u"'\"aZ9 ;-%_?*()[]`\\/\tèÙ€ß日本\u008d"_s + QChar(u'\0');
        QList<QString> samples{QString(), u"'"_s, u"x' or '1'='1"_s, QString::fromUtf16(u"a\0b", 3),
                               QString(10000, u'\'')};
        for (int i = 0; i < 300; ++i) {
            QString s;
            for (int k = 0, length = i < 290 ? random.bounded(40) : 10000; k < length; ++k) {
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
        QCOMPARE(m.logDb.path(), env.dir.path() + u"/data.mdb"_s);
        QCOMPARE(m.placesDb.path(), env.dir.path() + u"/places.mdb"_s);
        m.keeper.startCheck();
        QCOMPARE(m.keeper.awaitCheck(), LogTrust::Trusted);
        QCOMPARE(
            m.logDb.scalar("select count(*) from sqlite_master where name = 'data_award'").toInt(),
            1);
        QCOMPARE(m.logDb.scalar("select call from data").toString(), u"OLD"_s);
    }

    // The gazetteer that ships with the program as built from data/places.csv, with every
    // province code.
    void theShippedGazetteerCoversTheSquareWithTheNineProvinces() {
        Database places;
        places.open(QStringLiteral(HM52_BUILD_DIR "/places.mdb"), OpenMode::ReadOnly);
        schema::verifyPlaces(places);
        QCOMPARE(places.scalar("select count(*) from places").toLongLong(),
                 bytesOf(u"" HM52_SOURCE_DIR "/data/places.csv"_s).count('\n') - 1);

        QSet<QString> provinces;
        QSet<QString> squares;
        QHash<QString, QSet<QString>> squaresOfName;
        Recordset rs(places, "places");
        const QRegularExpression subSquare("^HM52[A-X]{2}$");
        for (; !rs.eof(); rs.moveNext()) {
            const QString square = rs.text("WWLocator");
            QVERIFY2(subSquare.match(square).hasMatch(), qPrintable(square));
            provinces << rs.text("prov");
            squares << square;
            squaresOfName[rs.text("place")] << square;
        }
        QCOMPARE(provinces, QSet<QString>(codes::provinces().begin(), codes::provinces().end()));
        QVERIFY(squares.size() > 400);
        QVERIFY(squaresOfName.value("PIAN D'OLMO").size() >= 2);
    }
};

QTEST_MAIN(StorageTest)
#include "tst_storage.moc"
