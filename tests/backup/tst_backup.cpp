// Automatic backups of the log: before a change (the conversion to accredited, an import), at
// start-up once a day, the newest twenty kept, and a failed backup stopping its operation.

#include "app/Program.h"
#include "award/frmBAR.h"
#include "backup/Backup.h"
#include "platform/Database.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

namespace {

QString backupFolder(TestEnv& env) {
    return backup::folderFor(env.m.logDb.path());
}

// The QSOs a backup holds, read through the engine as a log.
qint64 qsosIn(const QString& path) {
    Database db;
    db.open(path, OpenMode::ReadOnly);
    return db.scalar(QStringLiteral("select count(*) from data")).toLongLong();
}

void blockBackupFolder(TestEnv& env) {
    // Tests run as root, for whom no folder is read-only: a file where the folder should be
    // makes the failure real.
    QFile blocker(env.dir.filePath(QStringLiteral("Backup")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aBackupBeforeAChangeIsAReadableCopyOfTheLog() {
        TestEnv env;
        env.addQso(Qso{});
        env.addQso(Qso{});
        QVERIFY(backupBeforeChange(*env.services, nullptr,
                                   QStringLiteral("the conversion to accredited")));
        const QStringList names = backup::backupsIn(backupFolder(env));
        QCOMPARE(names.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral(R"(^data-\d{8}-\d{6}\.mdb$)"))
                    .match(names[0])
                    .hasMatch());
        QCOMPARE(qsosIn(QDir(backupFolder(env)).filePath(names[0])), qint64{2});
        QVERIFY(env.dialogs.shown.empty());
        // No partial file is left beside it.
        QCOMPARE(QDir(backupFolder(env)).entryList(QDir::Files).size(), 1);
    }

    void aFailedBackupStopsTheChangeWithItsReason() {
        TestEnv env;
        env.addQso(Qso{});
        blockBackupFolder(env);
        QVERIFY(!backupBeforeChange(*env.services, nullptr,
                                    QStringLiteral("the conversion to accredited")));
        QCOMPARE(env.dialogs.shown.size(), size_t{1});
        QCOMPARE(env.dialogs.shown[0].icon, Icon::Critical);
        QCOMPARE(env.dialogs.shown[0].text,
                 QStringLiteral("The log could not be backed up before the conversion to "
                                "accredited, so nothing was changed.\n\n") +
                     env.dir.filePath(QStringLiteral("Backup")) +
                     QStringLiteral(" is a file, not a folder"));
        QCOMPARE(env.count(), qint64{1});
    }

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
            bar.findChild<QComboBox*>("comboBand")->setCurrentText("SAT");
            env.dialogs.answer(Answer::Yes);
            env.dialogs.answer(Answer::Yes);
            bar.findChild<QPushButton*>("cmdPrint")->click();
            QCOMPARE(env.printers.jobs.size(), size_t{1});
            if (blocked) {
                QCOMPARE(env.count("qsl = 'a'"), qint64{0});
                QVERIFY(env.dialogs.shown.back().text.startsWith(
                    "The log could not be backed up before the conversion to accredited"));
            } else {
                QCOMPARE(env.count("qsl = 'a'"), qint64{10});
                const QStringList names = backup::backupsIn(backupFolder(env));
                QCOMPARE(names.size(), 1);
                Database copy;
                copy.open(QDir(backupFolder(env)).filePath(names[0]), OpenMode::ReadOnly);
                QCOMPARE(copy.scalar("select count(*) from data where qsl = 'c'").toInt(), 10);
            }
        }
    }

    void theTwentyFirstBackupRemovesTheOldest() {
        TestEnv env;
        const QDateTime start(QDate(2024, 3, 1), QTime(8, 0));
        for (int i = 0; i < backup::kept; ++i) {
            backup::makeBackup(env.m.logDb, start.addSecs(i * 60));
        }
        QDir folder(backupFolder(env));
        // Someone else's file in the folder is neither counted nor removed.
        QFile other(folder.filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        QCOMPARE(backup::backupsIn(folder.path()).size(), backup::kept);
        QVERIFY(folder.exists(QStringLiteral("data-20240301-080000.mdb")));

        backup::makeBackup(env.m.logDb, start.addSecs(backup::kept * 60));
        const QStringList names = backup::backupsIn(folder.path());
        QCOMPARE(names.size(), backup::kept);
        QVERIFY(!folder.exists(QStringLiteral("data-20240301-080000.mdb")));
        QCOMPARE(names.first(), QStringLiteral("data-20240301-080100.mdb"));
        QCOMPARE(names.last(), QStringLiteral("data-20240301-082000.mdb"));
        QVERIFY(folder.exists(QStringLiteral("notes.txt")));
    }

    void aBackupMadeAfterTheClockWasSetBackIsKept() {
        TestEnv env;
        const QDateTime late(QDate(2030, 1, 1), QTime(8, 0));
        for (int i = 0; i < backup::kept; ++i) {
            backup::makeBackup(env.m.logDb, late.addSecs(i));
        }
        const QString made = backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 3, 1), {}));
        QVERIFY(QFile::exists(made));
        const QStringList names = backup::backupsIn(backupFolder(env));
        QCOMPARE(names.size(), backup::kept);
        QCOMPARE(names.first(), QStringLiteral("data-20240301-000000.mdb"));
        QVERIFY(!names.contains(QStringLiteral("data-20300101-080000.mdb")));
    }

    void twoBackupsInOneSecondAreBothKeptInOrder() {
        TestEnv env;
        const QDateTime now(QDate(2024, 3, 1), QTime(8, 0));
        backup::makeBackup(env.m.logDb, now);
        env.addQso(Qso{});
        const QString second = backup::makeBackup(env.m.logDb, now);
        QVERIFY(second.endsWith(QStringLiteral("data-20240301-080000-2.mdb")));
        QCOMPARE(backup::backupsIn(backupFolder(env)),
                 QStringList({"data-20240301-080000.mdb", "data-20240301-080000-2.mdb"}));
        QCOMPARE(qsosIn(second), qint64{1});
    }

    void startUpBacksUpAtMostOnceADay() {
        TestEnv env;
        const QDateTime morning(QDate(2024, 3, 1), QTime(8, 0));
        dailyBackup(*env.services, nullptr, morning);
        dailyBackup(*env.services, nullptr, morning.addSecs(3600));
        QCOMPARE(backup::backupsIn(backupFolder(env)).size(), 1);
        dailyBackup(*env.services, nullptr, morning.addDays(1));
        QCOMPARE(backup::backupsIn(backupFolder(env)).size(), 2);
    }

    void startingTheProgramMakesTheDaysBackupAndGoesOnWhenItFails() {
        TestEnv env;
        {
            RecordingDialogs dialogs;
            RecordingShell shell;
            RecordingPrinters printers;
            Program program(env.folder(), dialogs, shell, printers.factory(), []() {});
            QVERIFY(program.start());
            QVERIFY(dialogs.shown.empty());
        }
        QCOMPARE(backup::backupsIn(backupFolder(env)).size(), 1);

        TestEnv blocked;
        blockBackupFolder(blocked);
        RecordingDialogs dialogs;
        RecordingShell shell;
        RecordingPrinters printers;
        Program program(blocked.folder(), dialogs, shell, printers.factory(), []() {});
        QVERIFY(program.start());
        QCOMPARE(dialogs.shown.size(), size_t{1});
        QVERIFY(dialogs.shown[0].text.startsWith(
            QStringLiteral("Today's backup of the log could not be made.")));
    }
};

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
