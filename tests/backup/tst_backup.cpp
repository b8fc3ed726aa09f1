// Backups of the log: before a change, once a day behind the start, each checked before it
// counts, the newest twenty good ones kept, damaged files left alone, leftovers of a copy cut
// short removed, and a backup put back in the log's place.

#include "app/Program.h"
#include "app/frmRestoreBackup.h"
#include "award/frmBAR.h"
#include "backup/Backup.h"
#include "browser/frmUtility.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTreeWidget>

using namespace hm52;
using namespace hm52::test;

namespace {

QString backupFolder(LogEnv& env) {
    return backup::folderFor(env.m.logDb.path());
}

// The backups of a folder, newest first, as "name good|damaged".
QStringList listed(const QString& folder) {
    QStringList out;
    for (const backup::Copy& c : backup::backupsIn(folder)) {
        out << c.name + (c.good ? u" good"_s : u" damaged"_s);
    }
    return out;
}

// The QSOs a file holds, read through the engine.
qint64 qsosIn(const QString& path, const char* where = "1") {
    Database db;
    db.open(path, OpenMode::ReadOnly);
    return db.scalar(u"select count(*) from data where "_s + QLatin1String(where)).toLongLong();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class BackupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The conversion of a printed base award request: backed up first, or not at all.
    void aConversionIsBackedUpFirstAndStoppedWhenTheBackupFails() {
        TestEnv env;
        env.setOperator();
        for (int i = 0; i < 10; ++i) {
            env.addQso({.WWLocator = QString(QChar(u'A' + i)) + u'A', .band = "SAT"});
        }
        // Tests run as root, for whom no folder is read-only: a file where the folder should
        // be makes the failure real.
        const QString blocker = env.dir.filePath(u"Backup"_s);
        writeFile(blocker, {});
        frmBAR& bar = env.registry->bar();
        child<QComboBox>(&bar, "comboBand")->setCurrentText("SAT");
        env.dialogs.answer({Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
        click(&bar, "cmdPrint");
        QCOMPARE(env.count("qsl = 'a'"), 0);
        QCOMPARE(looks(env.dialogs).last(), u"HM52 Critical Ok"_s);
        QCOMPARE(env.dialogs.shown.back().text,
                 u"The log could not be backed up before the conversion to accredited, so "_s
                 u"nothing was changed.\n\n"_s +
                     blocker + u" is a file, not a folder"_s);

        QVERIFY(QFile::remove(blocker));
        click(&bar, "cmdPrint");
        QCOMPARE(env.count("qsl = 'a'"), 10);
        const std::vector<backup::Copy> copies = backup::backupsIn(backupFolder(env));
        QCOMPARE(copies.size(), size_t(1));
        // A copy of the log as it was, and no temporary file beside it.
        QCOMPARE(qsosIn(copies[0].path, "qsl = 'c'"), 10);
        QCOMPARE(QDir(backupFolder(env)).entryList({u"*.mdb*"_s}, QDir::Files).size(), 1);
    }

    void theNewestTwentyGoodCopiesAreKeptAndDamagedFilesNeverPushOneOut() {
        LogEnv env;
        const QDateTime start(QDate(2024, 3, 1), QTime(8, 0));
        for (int i = 0; i < backup::kept; ++i) {
            backup::makeBackup(env.m.logDb, start.addSecs(i * 60));
        }
        QDir folder(backupFolder(env));
        // Files that are not good copies: one empty, one of noise, one cut short, and someone
        // else's file. Named as the newest backups, they would push good ones out if counted.
        writeFile(folder.filePath(u"data-20240301-090000.mdb"_s), {});
        writeFile(folder.filePath(u"data-20240301-090100.mdb"_s), QByteArray(8192, 'x'));
        writeFile(folder.filePath(u"data-20240301-090200.mdb"_s),
                  bytesOf(folder.filePath(u"data-20240301-080500.mdb"_s)).chopped(1));
        writeFile(folder.filePath(u"notes.txt"_s), "mine");

        const backup::Made made = backup::makeBackup(env.m.logDb, start.addSecs(3 * 3600));
        QCOMPARE(made.notGood,
                 QStringList({u"data-20240301-090200.mdb"_s, u"data-20240301-090100.mdb"_s,
                              u"data-20240301-090000.mdb"_s}));
        const QStringList now = listed(folder.path());
        QCOMPARE(now.first(), u"data-20240301-110000.mdb good"_s);
        QCOMPARE(now.filter(u" damaged"_s).size(), 3);
        QCOMPARE(now.filter(u" good"_s).size(), backup::kept);
        QCOMPARE(now.last(), u"data-20240301-080100.mdb good"_s); // the oldest good one went
        QVERIFY(folder.exists(u"notes.txt"_s));

        // Made after the clock was set back: the oldest by its name, and kept all the same.
        backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 2, 1), {}));
        QCOMPARE(listed(folder.path()).last(), u"data-20240201-000000.mdb good"_s);
        QVERIFY(!folder.exists(u"data-20240301-080100.mdb"_s));

        // Two in one second are both kept, and each holds the log of its moment.
        env.addQso(Qso{});
        const QString second = backup::makeBackup(env.m.logDb, start.addSecs(3 * 3600)).path;
        QVERIFY(second.endsWith(u"data-20240301-110000-2.mdb"_s));
        QCOMPARE(qsosIn(second), 1);
        QCOMPARE(qsosIn(folder.filePath(u"data-20240301-110000.mdb"_s)), 0);
    }

    // Whatever the day's backup has to tell, the start shows (its failure text is checked in
    // aBackupTakesTheLogsPlaceAndAFailedRestoreOrADamagedLogChangesNothing).
    void theDaysBackupIsMadeOnceADayBehindTheStartAndLeftoversGo() {
        TestEnv env;
        env.addQsos(5);
        // A copy cut short by a crash, and an empty file with today's name.
        const QString folder = backupFolder(env);
        QDir().mkpath(folder);
        writeFile(folder + u"/data-20240301-080000.mdb.part"_s, "half");
        writeFile(folder + QDate::currentDate().toString(u"/'data-'yyyyMMdd'-000000.mdb'"_s), {});
        ProgramRun run(env.dir.path());
        QVERIFY(run.program->start());
        run.program->finishStartWork();
        QVERIFY(!QFile::exists(folder + u"/data-20240301-080000.mdb.part"_s));
        const std::vector<backup::Copy> copies = backup::backupsIn(folder);
        QCOMPARE(copies.size(), size_t(2));
        QVERIFY(copies[0].good && copies[0].qsos == 5);
        // The empty file is not taken for the day's backup, and is named to the operator.
        QCOMPARE(run.dialogs.texts().size(), 1);
        QVERIFY(run.dialogs.texts()[0].contains(copies[1].name));
        // At most once a day.
        const QDateTime morning(QDate(2024, 3, 1), QTime(8, 0));
        const QString log = env.m.logDb.path();
        QVERIFY(dailyBackup(log, morning).contains(copies[1].name));
        QCOMPARE(dailyBackup(log, morning.addSecs(3600)), QString());
        QCOMPARE(backup::backupsIn(folder).size(), size_t(3));
        dailyBackup(log, morning.addDays(1));
        QCOMPARE(backup::backupsIn(folder).size(), size_t(4));
    }

    void aBackupTakesTheLogsPlaceAndAFailedRestoreOrADamagedLogChangesNothing() {
        TestEnv env;
        env.addQsos(300);
        const QString log = env.m.logDb.path();
        const QString then = backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 3, 1), {})).path;
        const QStringList before = env.rawRows();
        env.addQsos(4);
        frmUtility& browser = env.registry->utility();
        browser.showAny();
        QCOMPARE(browser.lineCount(), 304);

        env.registry->show(Window::RestoreBackup);
        auto& window = windowOf<frmRestoreBackup>(*env.registry, Window::RestoreBackup);
        auto* list = child<QTreeWidget>(&window, "lstBackups");
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0) + u' ' + list->topLevelItem(0)->text(2) + u' ' +
                     list->topLevelItem(0)->text(3),
                 u"2024-03-01 300 good"_s);
        env.dialogs.answer(Answer::Yes);
        click(&window, "cmdRestore");
        QCOMPARE(env.rawRows(), before);
        QCOMPARE(browser.lineCount(), 300); // every open window shows the log it now is
        QVERIFY(env.dialogs.texts().last().startsWith(u"The backup of 2024-03-01"_s));
        // The log as it was is now the newest backup, with its QSOs.
        std::vector<backup::Copy> copies = backup::backupsIn(backupFolder(env));
        QCOMPARE(copies.size(), size_t(2));
        QCOMPARE(copies[0].qsos, 304);
        QCOMPARE(copies[1].path, then);
        const backup::Copy good = copies[1];

        // A restore that cannot finish: the copy beside the log cannot be written.
        QDir().mkpath(log + u".restoring/blocked"_s);
        const QString why =
            thrownBy<BackupError>([&]() { restoreBackup(*env.services, *env.registry, good); });
        QVERIFY2(why.contains(u".restoring"_s), qPrintable(why));
        QCOMPARE(env.rawRows(), before);
        QDir(log + u".restoring"_s).removeRecursively();

        // A damaged log is never backed up, neither when asked nor by the start.
        env.m.logDb.close();
        damagePages(log);
        env.m.openLog(log);
        const QStringList files = QDir(backupFolder(env)).entryList(QDir::Files);
        const QString refused = thrownBy<BackupError>(
            [&]() { backup::makeBackup(env.m.logDb, QDateTime::currentDateTime()); });
        QVERIFY2(refused.contains(u"the copy is not a good log"_s), qPrintable(refused));
        const std::atomic_bool running{false}; // as the start calls it, with a stop flag not set
        QVERIFY(dailyBackup(log, QDateTime(QDate(2024, 3, 2), {}), &running)
                    .startsWith(u"Today's backup of the log could not be made."_s));
        QCOMPARE(QDir(backupFolder(env)).entryList(QDir::Files), files);

        // A damaged log goes aside as such, counted as no backup and left by the rotation.
        env.m.setDamaged(u"found damaged"_s);
        restoreBackup(*env.services, *env.registry, good, QDateTime(QDate(2024, 3, 2), {}));
        QCOMPARE(env.m.trust(), LogTrust::Trusted);
        QCOMPARE(env.rawRows(), before);
        QVERIFY(QFile::exists(backupFolder(env) + u"/damaged-20240302-000000.mdb"_s));
        // The backup chosen, the log kept by the first restore and the good log kept before
        // the restore that failed.
        QCOMPARE(backup::backupsIn(backupFolder(env)).size(), size_t(3));
        for (int i = 0; i < backup::kept + 1; ++i) {
            backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 3, 3), {}).addSecs(i));
        }
        QVERIFY(QFile::exists(backupFolder(env) + u"/damaged-20240302-000000.mdb"_s));
        QVERIFY(env.addQso(Qso{}) == 301); // the log can be written again
    }
};

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
