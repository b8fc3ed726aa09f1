// The engine layer's connection of its own and its page copy: what the log's check and the
// backups are built on, each promise in a test of its own.

#include "platform/ReadConnection.h"
#include "support/LogFixture.h"

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
        QTest::newRow("more rows than the limit") << 7 << 4 << 4;
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

    void theConnectionCannotWrite() {
        LogEnv env;
        env.addQsos(2);
        ReadConnection c(env.m.logDb.path());
        QVERIFY_THROWS_EXCEPTION(DbError, c.rows("delete from data"));
        QCOMPARE(env.m.logDb.scalar(u"select count(*) from data"_s).toInt(), 2);
    }

    // (The copy from the program's own connection: the backups before a change, in tst_backup.)
    void aCopyHoldsEveryRowOfTheSource() {
        LogEnv env;
        env.addQsos(300);
        const QString target = env.dir.filePath(u"copy.mdb"_s);
        ReadConnection source(env.m.logDb.path());
        QCOMPARE(source.copyTo(target), CopyEnd::Done);
        ReadConnection copy(target);
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

    void collationOfTellsEachColumnsCollation_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a text column") << u"call"_s << u"NOCASE"_s;
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
