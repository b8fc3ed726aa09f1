// The engine layer: cursors, the text forms of dates and times, and that every
// change is on disk when the call returns. (The SQL the windows build runs in their own tests.)

#include "support/LogFixture.h"

using namespace hm52;
using namespace hm52::test;

class DatabaseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void datesAndTimesReadBackInTheirTextForms_data() {
        QTest::addColumn<QStringList>("forms"); // as written, as read back, the stored date
        const auto add = [](const char* name, const QStringList& forms) {
            QTest::newRow(name) << forms;
        };
        add("one-digit day and month", {"5/1/04", "09:05", "05/01/04", "9.05.00", "2004-01-05"});
        add("century boundary 29", {"1/1/29", "23:59", "01/01/29", "23.59.00", "2029-01-01"});
        add("century boundary 30", {"1/1/30", "10:00", "01/01/30", "10.00.00", "1930-01-01"});
        add("a day the month lacks is kept as typed",
            {"31/2/04", "12:00", "31/02/04", "12.00.00", "2004-02-31"});
    }

    void datesAndTimesReadBackInTheirTextForms() {
        QFETCH(QStringList, forms);
        LogEnv env;
        const int n = env.addQso({.date = forms[0], .time = forms[1]});
        Recordset rs(env.m.logDb, u"select * from data where count =%1;"_s.arg(n));
        QCOMPARE((QStringList{rs.text("date"), rs.text("time"), env.rawField(n, "date")}),
                 forms.mid(2));
    }

    void aTextThatIsNoDateOrTimeIsRefusedNotGuessed_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        for (const char* bad : {"32/1/04", "1/13/04", "a/1/04", "1/1", ""}) {
            QTest::addRow("date \"%s\"", bad) << QString::fromLatin1(bad) << u"09:05"_s;
        }
        for (const char* bad : {"24:00", "12:60", "1:5", ""}) {
            QTest::addRow("time \"%s\"", bad) << u"5/1/04"_s << QString::fromLatin1(bad);
        }
    }

    void aTextThatIsNoDateOrTimeIsRefusedNotGuessed() {
        QFETCH(QString, date);
        QFETCH(QString, time);
        LogEnv env;
        QVERIFY_THROWS_EXCEPTION(DbError, env.addQso({.date = date, .time = time}));
        QCOMPARE(env.count(), 0);
    }

    void aFieldThatIsNotThereIsRefused() {
        LogEnv env;
        env.addQsos(1);
        Recordset rs(env.m.logDb, "select * from data");
        QVERIFY_THROWS_EXCEPTION(DbError, rs.field("nosuchfield"));
    }

    // A count query is not a table's rows, and the gazetteer is only read.
    void aWriteWhereNoneCanBeMadeIsRefusedInTheEnginesWords() {
        LogEnv env;
        env.addQsos(1);
        Recordset counted(env.m.logDb, "select count(*) as contatore from data");
        QCOMPARE(thrownBy<DbError>([&counted]() { counted.edit(); }),
                 u"Cannot update. Database or object is read-only."_s);
        Recordset places(env.m.placesDb, "select * from places");
        QCOMPARE(thrownBy<DbError>([&places]() { places.deleteRow(); }),
                 u"attempt to write a readonly database"_s);
    }

    void aChangeIsOnDiskWhileAnotherCursorIsOpen() {
        LogEnv env;
        env.addQsos(5);
        // A cursor left on its first row, as the windows leave theirs in the shared slots.
        Recordset reader(env.m.logDb, "select * from data order by count asc");
        env.addQso({.call = "NEW1"}); // a new row through a cursor on the table
        env.m.logDb.execute("update data set call = 'NEW2' where count = 1");

        Database other; // the file as it is now, not as the open handle still sees it
        other.open(env.m.logDb.path(), OpenMode::ReadOnly);
        QCOMPARE(other.scalar("select count(*) from data where call like 'NEW%'").toInt(), 2);
    }
};

QTEST_MAIN(DatabaseTest)
#include "tst_database.moc"
