// The engine layer's connection of its own and its page copy: what the log's check and the
// backups are built on, each promise in a test of its own.

#include "platform/ReadConnection.h"
#include "support/LogFixture.h"

#include <QFile>

#include <sqlite3.h>

#include <atomic>

using namespace hm52;
using namespace hm52::test;

class ReadConnectionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsGivesTheFirstColumnUpToTheLimit_data() {
        QTest::addColumn<int>("qsos");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("expected");
        QTest::newRow("fewer rows than the limit") << 3 << 20 << 3;
        QTest::newRow("as many as the limit") << 5 << 5 << 5;
        QTest::newRow("more rows than the limit") << 7 << 4 << 4;
        QTest::newRow("no rows") << 0 << 20 << 0;
    }
    void rowsGivesTheFirstColumnUpToTheLimit() {
        QFETCH(int, qsos);
        QFETCH(int, limit);
        QFETCH(int, expected);
        LogEnv env;
        env.addQsos(qsos);
        ReadConnection c(env.m.logDb.path());
        const QStringList calls = c.rows("select call from data order by count", limit);
        QCOMPARE(calls.size(), expected);
        for (int i = 0; i < calls.size(); ++i) {
            QCOMPARE(calls[i], env.m.logDb
                                   .scalar(u"select call from data order by count limit 1 "
                                           "offset %1"_s.arg(i))
                                   .toString());
        }
    }

    void aFileThatIsNotThereIsNotOpened() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"missing.mdb"_s);
        try {
            ReadConnection c(path);
            QFAIL("a missing file was opened");
        } catch (const DbError& e) {
            QCOMPARE(e.primaryCode(), SQLITE_CANTOPEN);
            QVERIFY(!e.text().isEmpty());
        }
        QVERIFY(!QFile::exists(path)); // nothing was created
    }

    void aFailingQueryThrowsTheEnginesText() {
        LogEnv env;
        ReadConnection c(env.m.logDb.path());
        try {
            c.rows("select call from nowhere");
            QFAIL("the query did not fail");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(u"no such table: nowhere"_s), qPrintable(e.text()));
        }
    }

    void theConnectionCannotWrite() {
        LogEnv env;
        env.addQsos(2);
        ReadConnection c(env.m.logDb.path());
        QVERIFY_THROWS_EXCEPTION(DbError, c.rows("delete from data"));
        QCOMPARE(env.m.logDb.scalar(u"select count(*) from data"_s).toInt(), 2);
    }

    void aCopyHoldsEveryRowOfTheSource_data() {
        QTest::addColumn<bool>("fromTheProgramsConnection");
        QTest::newRow("from a connection of its own") << false;
        QTest::newRow("from the program's connection") << true;
    }
    void aCopyHoldsEveryRowOfTheSource() {
        QFETCH(bool, fromTheProgramsConnection);
        LogEnv env;
        env.addQsos(300);
        const QString target = env.dir.filePath(u"copy.mdb"_s);
        CopyEnd end = CopyEnd::Stopped;
        if (fromTheProgramsConnection) {
            end = env.m.logDb.copyTo(target);
        } else {
            ReadConnection source(env.m.logDb.path());
            end = source.copyTo(target);
        }
        QCOMPARE(end, CopyEnd::Done);
        ReadConnection copy(target);
        QCOMPARE(copy.rows("select count(*) from data"), QStringList{u"300"_s});
        QCOMPARE(
            copy.rows("select group_concat(call) from data"),
            QStringList{env.m.logDb.scalar(u"select group_concat(call) from data"_s).toString()});
    }

    void aCopyAskedToStopEndsStopped() {
        LogEnv env;
        env.addQsos(10);
        const std::atomic_bool stop{true};
        ReadConnection source(env.m.logDb.path());
        QCOMPARE(source.copyTo(env.dir.filePath(u"copy.mdb"_s), &stop), CopyEnd::Stopped);
    }

    void aCopyIntoAFolderThatIsNotThereFails() {
        LogEnv env;
        ReadConnection source(env.m.logDb.path());
        QVERIFY_THROWS_EXCEPTION(DbError, source.copyTo(env.dir.filePath(u"no/such/copy.mdb"_s)));
    }

    void collationOfTellsEachColumnsCollation_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a text column") << u"call"_s << u"NOCASE"_s;
        QTest::newRow("the key") << u"count"_s << u"BINARY"_s;
        QTest::newRow("a column that is not there") << u"nothing"_s << QString();
    }
    void collationOfTellsEachColumnsCollation() {
        QFETCH(QString, column);
        QFETCH(QString, expected);
        LogEnv env;
        QCOMPARE(collationOf(env.m.logDb, "data", column).toUpper(), expected);
    }

    void compareNoCaseFoldsAsciiLettersOnly_data() {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<int>("sign");
        QTest::newRow("letters in either case") << "i1abc"_ba
                                                << "I1ABC"_ba << 0;
        QTest::newRow("a letter before another") << "A"_ba
                                                 << "b"_ba << -1;
        QTest::newRow("digits as they are") << "1"_ba
                                            << "2"_ba << -1;
        QTest::newRow("accented letters not folded") << "\xc3\xa8"_ba
                                                     << "\xc3\x88"_ba << 1;
    }
    void compareNoCaseFoldsAsciiLettersOnly() {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(int, sign);
        LogEnv env;
        const int c = compareNoCase(a.constData(), b.constData(), int(a.size()));
        QCOMPARE((c > 0) - (c < 0), sign);
        // As the engine itself orders them.
        const int engine = env.m.logDb
                               .scalar(u"select case when '%1' = '%2' collate nocase then 0 "
                                       "when '%1' < '%2' collate nocase then -1 else 1 end"_s.arg(
                                           QString::fromUtf8(a), QString::fromUtf8(b)))
                               .toInt();
        QCOMPARE(engine, sign);
    }
};

QTEST_MAIN(ReadConnectionTest)
#include "tst_readconnection.moc"
