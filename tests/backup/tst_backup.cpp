// Backups of the log: before a change, once a day behind the start, each checked before it
// counts and its bytes compared with those checked, the twenty made last kept whatever the
// clock said, damaged files left alone, leftovers of work cut short removed, and a backup put
// back in the log's place.

#include "app/Program.h"
#include "app/frmRestoreBackup.h"
#include "award/frmBAR.h"
#include "backup/Backup.h"
#include "browser/frmUtility.h"
#include "platform/Listing.h"
#include "storage/LogCheck.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// As many copies as are kept, one a minute from 2024-03-01 08:00; that time.
QDateTime makeKeptCopies(LogEnv& env) {
    const QDateTime start(QDate(2024, 3, 1), QTime(8, 0));
    for (int i = 0; i < backup::kept; ++i) {
        backup::makeBackup(env.m.logDb, start.addSecs(i * 60));
    }
    return start;
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
        QCOMPARE(env.dialogs.shown.back().text,
                 u"The log could not be backed up before the conversion to accredited, so "_s
                 u"nothing was changed.\n\n"_s +
                     blocker + u" is a file, not a folder"_s);

        QVERIFY(QFile::remove(blocker));
        click(&bar, "cmdPrint");
        const std::vector<backup::Copy> copies = backup::backupsIn(backupFolder(env));
        QCOMPARE(copies.size(), size_t(1));
        QCOMPARE(qsosIn(copies[0].path, "qsl = 'c'"), 10); // a copy of the log as it was
    }

    void theNewestTwentyGoodCopiesAreKeptAndDamagedFilesNeverPushOneOut() {
        LogEnv env;
        const QDateTime start = makeKeptCopies(env);
        QDir folder(backupFolder(env));
        // Files that are not good copies: one empty, one cut short, and someone else's file.
        // Named as the newest backups, they would push good ones out if counted.
        writeFile(folder.filePath(u"data-20240301-090000-n30.mdb"_s), {});
        writeFile(folder.filePath(u"data-20240301-090200-n32.mdb"_s),
                  bytesOf(folder.filePath(u"data-20240301-080500-n6.mdb"_s)).chopped(1));
        writeFile(folder.filePath(u"notes.txt"_s), "mine");

        const backup::Made made = backup::makeBackup(env.m.logDb, start.addSecs(3 * 3600));
        QCOMPARE(made.notGood, QStringList({u"data-20240301-090200-n32.mdb"_s,
                                            u"data-20240301-090000-n30.mdb"_s}));
        const QStringList now = listed(folder.path());
        QCOMPARE(now.first(), u"data-20240301-110000-n33.mdb good"_s);
        QCOMPARE(now.filter(u" good"_s).size(), backup::kept);
        QCOMPARE(now.last(), u"data-20240301-080100-n2.mdb good"_s); // the oldest good one went
        QVERIFY(folder.exists(u"notes.txt"_s));
    }

    // Daily starts with the clock ahead for a while (a dead battery, a wrong time server),
    // then right again, and the log changing every day: the copies kept are always the twenty
    // made last, so the newest states of the log, and each day's first start makes one.
    void theCopiesKeptAreTheLastMadeWhateverTheClockSaid() {
        QList<QDate> days;
        for (const auto& [from, count] :
             {std::pair(QDate(2024, 3, 1), 3), std::pair(QDate(2099, 1, 1), 23),
              std::pair(QDate(2024, 3, 4), 5)}) {
            for (int i = 0; i < count; ++i) {
                days << from.addDays(i);
            }
        }
        LogEnv env;
        const QString log = env.m.logDb.path();
        for (const QDate& day : days) {
            env.addQso(Qso{});
            QCOMPARE(dailyBackup(log, QDateTime(day, QTime(9, 0))), QString());
            // A second start that day makes none.
            QCOMPARE(dailyBackup(log, QDateTime(day, QTime(18, 0))), QString());
        }
        const std::vector<backup::Copy> copies = backup::backupsIn(backupFolder(env));
        QList<qint64> held, newest;
        for (const backup::Copy& c : copies) {
            QVERIFY(c.good);
            held << qsosIn(c.path);
        }
        for (qint64 n = days.size(); n > days.size() - backup::kept; --n) {
            newest << n;
        }
        QCOMPARE(held, newest); // newest first
    }

    // A copy whose pages changed on the disk, its size and time kept: not good from then on,
    // never counted among the twenty, never the cause of a good copy going, and not offered
    // as good for a restore.
    void aCopyChangedAfterItsCheckNeverCountsNorPushesAGoodOneOut() {
        TestEnv env;
        env.addQso({.call = "I1ABC"});
        const QDateTime start = makeKeptCopies(env);
        const QString folder = backupFolder(env);
        const QString rotted = folder + u"/data-20240301-081900-n20.mdb"_s;
        const QDateTime time = QFileInfo(rotted).lastModified();
        QByteArray bytes = bytesOf(rotted);
        const qsizetype at = bytes.lastIndexOf("I1ABC");
        QVERIFY(at > 0);
        bytes[at + 4] = 'D'; // the call a copy holds is no longer the log's
        writeFile(rotted, bytes);
        QFile file(rotted);
        QVERIFY(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(time, QFileDevice::FileModificationTime));
        file.close();
        QVERIFY(checkLogFile(rotted).good); // the engine's check alone sees nothing wrong

        // A new copy, then the rotation behind the start, its bytes compared: the changed copy
        // is not good, and the oldest good copy stays.
        backup::makeBackup(env.m.logDb, start.addSecs(3600));
        const QString oldest = folder + u"/data-20240301-080000-n1.mdb"_s;
        const backup::Made rotation =
            backup::rotate(folder, start.addSecs(3600), backup::Compare::Fingerprints);
        QCOMPARE(rotation.notGood, QStringList{QFileInfo(rotted).fileName()});
        QVERIFY(QFile::exists(oldest));

        env.registry->show(Window::RestoreBackup);
        auto* list = child<QTreeWidget>(env.registry->loaded(Window::RestoreBackup), "lstBackups");
        QCOMPARE(list->topLevelItem(1)->text(3),
                 u"damaged: the file changed after it was checked: its bytes are not the ones "_s
                 u"found good"_s);
    }

    // Whatever the day's backup has to tell, the start shows (its failure text is checked in
    // aBackupTakesTheLogsPlaceAndAFailedRestoreOrADamagedLogChangesNothing).
    void theDaysBackupIsMadeBehindTheStart() {
        TestEnv env;
        env.addQsos(5);
        // An empty file with today's name, as the newest copy.
        const QString folder = backupFolder(env);
        QDir().mkpath(folder);
        writeFile(folder + QDate::currentDate().toString(u"/'data-'yyyyMMdd'-000000-n9.mdb'"_s),
                  {});
        ProgramRun run(env.dir.path());
        QVERIFY(run.program->start());
        run.program->finishStartWork();
        const std::vector<backup::Copy> copies = backup::backupsIn(folder);
        QCOMPARE(copies.size(), size_t(2));
        QVERIFY(copies[0].good && copies[0].qsos == 5);
        // The empty file is not taken for the day's backup, and is named to the operator.
        QVERIFY(run.dialogs.texts().value(0).contains(copies[1].name));
    }

    // A restore or a copy cut short (a kill, a full disk) leaves its temporary files and the
    // engine's journals: the next start removes those, and only those.
    void theLeftoversOfWorkCutShortGoAtTheNextStartAndNothingElse() {
        TestEnv env;
        QDir().mkpath(backupFolder(env));
        const QStringList leftovers{u"Backup/data-20240301-080000.mdb.part"_s,
                                    u"Backup/data-20240301-080000-n3.mdb.part-journal"_s,
                                    u"data.mdb.restoring"_s, u"data.mdb.restoring-journal"_s};
        const QStringList others{u"Backup/notes.mdb.part"_s, u"data.mdb.restoring.txt"_s,
                                 u"mine.mdb-journal"_s};
        for (const QString& name : leftovers + others) {
            writeFile(env.dir.filePath(name), "left");
        }
        ProgramRun run(env.dir.path());
        QVERIFY(run.program->start());
        run.program->finishStartWork();
        for (const QString& name : leftovers + others) {
            QVERIFY2(QFile::exists(env.dir.filePath(name)) == others.contains(name),
                     qPrintable(name));
        }
    }

    // 5,000 files in Backup/ that are not good copies: the start's box names a few dozen.
    void theStartNamesAFewDozenFilesThatAreNotGoodCopies() {
        LogEnv env;
        const QString folder = backupFolder(env);
        QDir().mkpath(folder);
        for (int i = 0; i < 5000; ++i) {
            writeFile(folder + u"/data-20240101-%1.mdb"_s.arg(i, 6, 10, QLatin1Char('0')), {});
        }
        const QString told = dailyBackup(env.m.logDb.path(), QDateTime(QDate(2024, 3, 1), {}));
        QCOMPARE(told.count(u'\n') + 1, 3 + shownInBox);
        QVERIFY2(told.endsWith(u"\ndata-20240101-004980.mdb\nand 4980 more"_s),
                 qPrintable(told.right(80)));
    }

    void aBackupTakesTheLogsPlaceAndAFailedRestoreOrADamagedLogChangesNothing() {
        TestEnv env;
        env.addQsos(300);
        const QString log = env.m.logDb.path();
        backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 3, 1), {}));
        const QStringList before = env.rawRows();
        env.addQsos(4);
        frmUtility& browser = env.registry->utility();
        browser.showAny();

        env.registry->show(Window::RestoreBackup);
        auto& window = windowOf<frmRestoreBackup>(*env.registry, Window::RestoreBackup);
        auto* list = child<QTreeWidget>(&window, "lstBackups");
        QCOMPARE(list->topLevelItem(0)->text(0) + u' ' + list->topLevelItem(0)->text(2) + u' ' +
                     list->topLevelItem(0)->text(3),
                 u"2024-03-01 300 good"_s);
        env.dialogs.answer(Answer::Yes);
        click(&window, "cmdRestore");
        QCOMPARE(env.rawRows(), before);
        QCOMPARE(browser.lineCount(), 300); // every open window shows the log it now is
        // The log as it was is now the newest backup, with its QSOs.
        std::vector<backup::Copy> copies = backup::backupsIn(backupFolder(env));
        QCOMPARE(copies.size(), size_t(2));
        QCOMPARE(copies[0].qsos, 304);
        const backup::Copy good = copies[1]; // the one chosen

        // A restore that cannot finish: the copy beside the log cannot be written.
        QDir().mkpath(log + u".restoring/blocked"_s);
        const QString why =
            thrownBy<BackupError>([&]() { restoreBackup(*env.services, *env.registry, good); });
        QVERIFY2(why.contains(u".restoring"_s), qPrintable(why));
        QCOMPARE(env.rawRows(), before);
        QDir(log + u".restoring"_s).removeRecursively();

        // A damaged log is never backed up: the copy is checked before it counts.
        env.m.logDb.close();
        damagePages(log);
        env.m.openLog(log);
        const QStringList files = QDir(backupFolder(env)).entryList(QDir::Files);
        const QString refused = dailyBackup(log, QDateTime(QDate(2024, 3, 2), {}));
        QVERIFY2(refused.startsWith(u"Today's backup of the log could not be made."_s) &&
                     refused.contains(u"the copy is not a good log"_s),
                 qPrintable(refused));
        QCOMPARE(QDir(backupFolder(env)).entryList(QDir::Files), files);

        // A damaged log goes aside as such, counted as no backup (the rotation leaves it alone as
        // it leaves every file not named as a backup: see
        // theNewestTwentyGoodCopiesAreKeptAndDamagedFilesNeverPushOneOut).
        env.m.keeper.setDamaged(u"found damaged"_s);
        restoreBackup(*env.services, *env.registry, good, QDateTime(QDate(2024, 3, 2), {}));
        QVERIFY(QFile::exists(backupFolder(env) + u"/damaged-20240302-000000.mdb"_s));
        // The backup chosen, the log kept by the first restore and the good log kept before
        // the restore that failed.
        QCOMPARE(backup::backupsIn(backupFolder(env)).size(), size_t(3));
        QVERIFY(env.addQso(Qso{}) == 301); // the log can be written again
    }
};

QTEST_MAIN(BackupTest)
#include "tst_backup.moc"
