// The engine layer on its own: transactions, the text literals lifted into parameters, the
// statement cache, a cursor letting go of its lock, the engine's result codes, and the busy and
// read-only paths. Each case sets up its own log and checks one promise.

#include "support/LogFixture.h"

#include <QFile>

#include <sqlite3.h>

using namespace hm52;
using namespace hm52::test;

namespace {

// A second connection on the same file, as another program would hold it; it gives up at
// once when the file is locked.
struct OtherProgram {
    explicit OtherProgram(const QString& path, OpenMode mode = OpenMode::ReadWrite) {
        db.open(path, mode);
        db.setBusyTimeout(0);
    }
    Database db;
};

// The codes of the error a call throws: {primary, extended}, or {-1, -1} when none is thrown.
template <class F> QList<int> codesOf(F&& call) {
    try {
        call();
    } catch (const DbError& e) {
        return {e.primaryCode(), e.extendedCode()};
    }
    return {-1, -1};
}

} // namespace

class EngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // --- Transactions --------------------------------------------------------------------

    void aCommittedTransactionKeepsEveryChange() {
        LogEnv env;
        env.addQsos(3);
        Transaction t(env.m.logDb);
        env.m.logDb.execute("update data set qsl = 'a' where count <= 2");
        env.m.logDb.execute("delete from data where count = 3");
        t.commit();
        OtherProgram other(env.m.logDb.path(), OpenMode::ReadOnly);
        QCOMPARE(other.db.scalar("select group_concat(qsl, '') from data").toString(), u"aa"_s);
    }

    void aSecondTransactionInsideTheFirstIsRefusedAndTheFirstGoesOn() {
        LogEnv env;
        env.addQsos(2);
        Transaction outer(env.m.logDb);
        env.m.logDb.execute("update data set qsl = 'c' where count = 1");
        QCOMPARE(thrownBy<DbError>([&env]() { Transaction inner(env.m.logDb); }),
                 u"a transaction is already open"_s);
        QVERIFY(env.m.logDb.inTransaction());
        env.m.logDb.execute("update data set qsl = 'c' where count = 2");
        outer.commit();
        QCOMPARE(env.count("qsl = 'c'"), 2);
    }

    void aStatementThatFailsInsideATransactionLeavesEveryRowAsItWas() {
        LogEnv env;
        env.addQsos(3);
        const QStringList before = env.rawRows();
        env.m.logDb.execute("create trigger stop before update on data when new.count = 3 "
                            "begin select raise(abort, 'forced failure'); end");
        QCOMPARE(thrownBy<DbError>([&env]() {
                     Transaction t(env.m.logDb);
                     env.m.logDb.execute("update data set qsl = 'a' where count < 3");
                     env.m.logDb.execute("update data set qsl = 'a' where count = 3");
                     t.commit();
                 }),
                 u"forced failure"_s);
        QCOMPARE(env.rawRows(), before);
        QVERIFY(!env.m.logDb.inTransaction());
    }

    // --- Text literals become parameters -------------------------------------------------

    void textLiteralsAreLiftedIntoParameters_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("text");         // what the engine is given
        QTest::addColumn<QStringList>("literals"); // the values bound, in order
        const auto row = [](const char* name, const QString& sql, const QString& text,
                            const QStringList& literals) {
            QTest::newRow(name) << sql << text << literals;
        };
        row("a doubled quote is one quote of the value",
            u"select * from data where place = 'PIAN D''OLMO'"_s,
            u"select * from data where place = ?1"_s, {u"PIAN D'OLMO"_s});
        row("several, in order", u"select * from data where mode ='SSB' and band='HF';"_s,
            u"select * from data where mode =?1 and band=?2;"_s, {u"SSB"_s, u"HF"_s});
        row("quoted names stay names",
            u"select \"OM/YL/SWL\", [a'b], `c'd` from userData where call = 'X'"_s,
            u"select \"OM/YL/SWL\", [a'b], `c'd` from userData where call = ?1"_s, {u"X"_s});
        row("an unterminated literal is left for the engine",
            u"select * from data where call = 'abc"_s, u"select * from data where call = 'abc"_s,
            {});
        row("statements that are no query keep their text",
            u"create table t (a text default 'x')"_s, u"create table t (a text default 'x')"_s, {});
    }

    void textLiteralsAreLiftedIntoParameters() {
        QFETCH(QString, sql);
        QFETCH(QString, text);
        QFETCH(QStringList, literals);
        const SqlText parsed = parseLiterals(sql);
        QCOMPARE(parsed.text, text);
        QCOMPARE(QStringList(parsed.literals.begin(), parsed.literals.end()), literals);
    }

    void aLiftedValueReachesTheTableExactly() {
        LogEnv env;
        const int n = env.addQso({});
        const QString value = u"A'B\"C; drop table data; --"_s;
        env.m.logDb.execute(u"update data set place = '"_s +
                            QString(value).replace(u"'"_s, u"''"_s) + u"' where count = "_s +
                            QString::number(n));
        QCOMPARE(env.rawField(n, "place"), value);
    }

    // --- The statement cache -------------------------------------------------------------

    void theSameTextRunsAgainOnOneKeptStatement() {
        LogEnv env;
        env.addQsos(2);
        const QString sql = u"select count(*) from data where qsl = 'w'"_s;
        QCOMPARE(env.m.logDb.scalar(sql).toInt(), 2);
        const qsizetype kept = env.m.logDb.cachedStatements();
        env.m.logDb.execute("update data set qsl = 'c' where count = 1");
        QCOMPARE(env.m.logDb.scalar(sql).toInt(), 1);
        QCOMPARE(env.m.logDb.cachedStatements(), kept + 1); // the update's, not a second one
    }

    void aKeptStatementHoldsNoLock() {
        LogEnv env;
        env.addQsos(3);
        env.m.logDb.scalar("select call from data order by count");
        QVERIFY(env.m.logDb.cachedStatements() > 0);
        OtherProgram other(env.m.logDb.path());
        other.db.execute("update data set qsl = 'c'");
        QCOMPARE(env.count("qsl = 'c'"), 3);
    }

    // --- A cursor and its lock -----------------------------------------------------------

    void aReleasedCursorLetsGoOfTheFileAndGoesOnWhereItWas() {
        LogEnv env;
        env.addQsos(3);
        Recordset reader(env.m.logDb, "select * from data order by count");
        reader.moveNext();
        reader.release();
        QVERIFY(reader.released());
        OtherProgram other(env.m.logDb.path());
        other.db.execute("update data set qsl = 'c'");
        QCOMPARE(reader.text("call"), u"I1ABC"_s); // the row as it was read
        reader.moveNext();
        QCOMPARE(reader.text("call"), u"I2ABC"_s);
        QCOMPARE(reader.text("qsl"), u"c"_s); // read again after the other's change
    }

    // --- The engine's result codes -------------------------------------------------------

    void aFailureCarriesTheEnginesResultCodes_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("primary");
        QTest::addColumn<int>("extended");
        QTest::newRow("syntax") << u"selec * from data"_s << SQLITE_ERROR << SQLITE_ERROR;
        QTest::newRow("a number taken") << u"insert into data (count) values (1)"_s
                                        << SQLITE_CONSTRAINT << SQLITE_CONSTRAINT_PRIMARYKEY;
    }

    void aFailureCarriesTheEnginesResultCodes() {
        QFETCH(QString, sql);
        QFETCH(int, primary);
        QFETCH(int, extended);
        LogEnv env;
        env.addQso({});
        QCOMPARE(codesOf([&]() { env.m.logDb.execute(sql); }), (QList<int>{primary, extended}));
    }

    // A missing file is never made by an open; bytes that are no database are not read.
    void opensThatFailCarryTheEnginesResultCodes_data() {
        QTest::addColumn<QByteArray>("bytes"); // the file's content; none: no file
        QTest::addColumn<int>("primary");
        QTest::newRow("missing") << QByteArray() << SQLITE_CANTOPEN;
        QTest::newRow("not a database") << QByteArray(4096, 'x') << SQLITE_NOTADB;
    }

    void opensThatFailCarryTheEnginesResultCodes() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, primary);
        LogEnv env;
        const QString path = env.dir.filePath("other.mdb");
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        Database db;
        QCOMPARE(codesOf([&]() { db.open(path, OpenMode::ReadWrite); }).first(), primary);
        QCOMPARE(QFile::exists(path), !bytes.isEmpty());
    }

    void creatingOverAnExistingFileIsRefusedAndLeavesItAlone() {
        LogEnv env;
        env.addQsos(2);
        const QByteArray before = bytesOf(env.m.logDb.path());
        Database db;
        QVERIFY_THROWS_EXCEPTION(DbError, db.create(env.m.logDb.path()));
        QCOMPARE(bytesOf(env.m.logDb.path()), before);
        QCOMPARE(env.count(), 2);
    }

    // --- Busy and read-only --------------------------------------------------------------

    void aWriteWhileAnotherProgramWritesFailsBusyAndWritesNothing() {
        LogEnv env;
        env.addQsos(2);
        OtherProgram other(env.m.logDb.path());
        Transaction holding(other.db);
        other.db.execute("update data set call = 'OTHER' where count = 1");
        env.m.logDb.setBusyTimeout(50);
        QCOMPARE(codesOf([&env]() { env.m.logDb.execute("update data set qsl = 'c'"); }),
                 (QList<int>{SQLITE_BUSY, SQLITE_BUSY}));
        QVERIFY(!env.m.logDb.inTransaction());
        holding.commit();
        env.m.logDb.execute("update data set qsl = 'c'");
        QCOMPARE(env.count("qsl = 'c'"), 2);
    }

    void aFileOpenedForReadingRefusesEveryWriteAndStillReads() {
        LogEnv env;
        env.addQsos(2);
        OtherProgram reader(env.m.logDb.path(), OpenMode::ReadOnly);
        QCOMPARE(codesOf([&reader]() { reader.db.execute("update data set qsl = 'c'"); }).first(),
                 SQLITE_READONLY);
        QCOMPARE(reader.db.scalar("select count(*) from data").toInt(), 2);
        QCOMPARE(env.count("qsl = 'c'"), 0);
    }
};

QTEST_MAIN(EngineTest)
#include "tst_engine.moc"
