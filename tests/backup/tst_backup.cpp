// Automatic backups of the log: before a change (the conversion to accredited, an import), at
// start-up once a day, the newest twenty kept, and a failed backup stopping its operation.

#include "app/Program.h"
#include "award/frmBAR.h"
#include "backup/Backup.h"
#include "platform/Database.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>

using namespace hm52;
using namespace hm52::test;

namespace {

QString backupFolder(TestEnv& env) {
    return backup::folderFor(env.m.logDb.path());
}

// The QSOs a backup holds, read through the engine as a log.
qint64 qsosIn(const QString& path, const char* where = "1") {
    Database db;
    db.open(path, OpenMode::ReadOnly);
    return db.scalar(u"select count(*) from data where "_s + QLatin1String(where)).toLongLong();
}

void blockBackupFolder(TestEnv& env) {
    // Tests run as root, for whom no folder is read-only: a file where the folder should be
    // makes the failure real.
    QFile blocker(env.dir.filePath(u"Backup"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The conversion of a printed base award request: backed up first, or not at all.
    void aConversionIsBackedUpFirstAndStoppedWhenTheBackupFails() {
        for (const bool blocked : {false, true}) {
            TestEnv env;
            env.setOperator();
            for (int i = 0; i < 10; ++i) {
                env.addQso({.WWLocator = QString(QChar(u'A' + i)) + u'A', .band = "SAT"});
            }
            if (blocked) {
                blockBackupFolder(env);
            }
            frmBAR& bar = env.registry->bar();
            child<QComboBox>(&bar, "comboBand")->setCurrentText("SAT");
            env.dialogs.answer(Answer::Yes);
            env.dialogs.answer(Answer::Yes);
            click(&bar, "cmdPrint");
            QCOMPARE(env.printers.jobs.size(), size_t(1));
            if (blocked) {
                QCOMPARE(env.count("qsl = 'a'"), 0);
                QCOMPARE(look(env.dialogs.shown.back()), u"HM52 Critical Ok"_s);
                QCOMPARE(env.dialogs.shown.back().text,
                         u"The log could not be backed up before the conversion to accredited, "_s
                         u"so nothing was changed.\n\n"_s +
                             env.dir.filePath(u"Backup"_s) + u" is a file, not a folder"_s);
            } else {
                QCOMPARE(env.count("qsl = 'a'"), 10);
                const QStringList names = backup::backupsIn(backupFolder(env));
                QCOMPARE(names.size(), 1);
                QVERIFY(
                    QRegularExpression(u"^data-\\d{8}-\\d{6}\\.mdb$"_s).match(names[0]).hasMatch());
                // A readable copy of the log as it was, and no partial file beside it.
                QCOMPARE(qsosIn(QDir(backupFolder(env)).filePath(names[0]), "qsl = 'c'"), 10);
                QCOMPARE(QDir(backupFolder(env)).entryList(QDir::Files).size(), 1);
            }
        }
    }

    void theTwentyFirstBackupRemovesTheOldestButNeverTheOneJustMade() {
        TestEnv env;
        const QDateTime start(QDate(2024, 3, 1), QTime(8, 0));
        for (int i = 0; i < backup::kept; ++i) {
            backup::makeBackup(env.m.logDb, start.addSecs(i * 60));
        }
        QDir folder(backupFolder(env));
        // Someone else's file in the folder is neither counted nor removed.
        QFile other(folder.filePath(u"notes.txt"_s));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QCOMPARE(backup::backupsIn(folder.path()).size(), backup::kept);
        QVERIFY(folder.exists(u"data-20240301-080000.mdb"_s));

        backup::makeBackup(env.m.logDb, start.addSecs(backup::kept * 60));
        QStringList names = backup::backupsIn(folder.path());
        QCOMPARE(names.size(), backup::kept);
        QVERIFY(!folder.exists(u"data-20240301-080000.mdb"_s));
        QCOMPARE(names.first(), u"data-20240301-080100.mdb"_s);
        QCOMPARE(names.last(), u"data-20240301-082000.mdb"_s);
        QVERIFY(folder.exists(u"notes.txt"_s));

        // Made after the clock was set back: the oldest by its name, and kept.
        const QString made = backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 2, 1), {}));
        QVERIFY(QFile::exists(made));
        names = backup::backupsIn(folder.path());
        QCOMPARE(names.size(), backup::kept);
        QCOMPARE(names.first(), u"data-20240201-000000.mdb"_s);
        QVERIFY(!names.contains(u"data-20240301-080100.mdb"_s));

        // Two in one second are both kept, in order.
        env.addQso(Qso{});
        const QString second = backup::makeBackup(env.m.logDb, start.addSecs(backup::kept * 60));
        QVERIFY(second.endsWith(u"data-20240301-082000-2.mdb"_s));
        names = backup::backupsIn(folder.path());
        QCOMPARE(names.mid(names.size() - 2),
                 QStringList({"data-20240301-082000.mdb", "data-20240301-082000-2.mdb"}));
        QCOMPARE(qsosIn(second), 1);
    }

    void startingTheProgramMakesTheDaysBackupOnceADayAndGoesOnWhenItFails() {
        for (const bool blocked : {false, true}) {
            TestEnv env;
            if (blocked) {
                blockBackupFolder(env);
            }
            ProgramRun run(env.folder());
            QVERIFY(run.program->start());
            if (blocked) {
                QCOMPARE(run.dialogs.texts().size(), 1);
                QVERIFY(run.dialogs.texts()[0].startsWith(
                    u"Today's backup of the log could not be made."_s));
            } else {
                QVERIFY(run.dialogs.shown.empty());
                QCOMPARE(backup::backupsIn(backupFolder(env)).size(), 1);
                // At most once a day.
                const QDateTime morning(QDate(2024, 3, 1), QTime(8, 0));
                dailyBackup(*env.services, nullptr, morning);
                dailyBackup(*env.services, nullptr, morning.addSecs(3600));
                QCOMPARE(backup::backupsIn(backupFolder(env)).size(), 2);
                dailyBackup(*env.services, nullptr, morning.addDays(1));
                QCOMPARE(backup::backupsIn(backupFolder(env)).size(), 3);
            }
        }
    }
};

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
