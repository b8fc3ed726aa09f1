// Trusting the log: nothing holds it between the operator's actions, one program per log, a
// damaged log caught before it is trusted (and later, when the engine finds it), and a log
// that cannot be written opened for looking only.

#include "app/Program.h"
#include "app/principale.h"
#include "backup/Backup.h"
#include "browser/frmUtility.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace hm52;
using namespace hm52::test;

namespace {

// Whether another program can write the log at once, without waiting: while the log is held,
// the engine answers "database is locked".
bool writableFromOutside(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const bool written =
        sqlite3_exec(db, "update data set place = place", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return written;
}

// Writes a log's lock as a program that died left it: `lock` with the process of its first
// line replaced by one that is gone.
void writeStaleLock(const QString& log, QByteArray& lock) {
    QProcess gone;
    gone.start(u"true"_s, {});
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    lock.replace(0, lock.indexOf('\n'), QByteArray::number(deadPid));
    QFile file(log + u".lock"_s);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lock) == lock.size());
}

// Runs as an ordinary user for its lifetime when the tests run as root, for whom no file is
// read-only.
struct OrdinaryUser {
    const bool root = geteuid() == 0;
    OrdinaryUser() {
        QVERIFY(!root || (setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0));
    }
    ~OrdinaryUser() { QVERIFY(!root || (setresuid(0, 0, 0) == 0 && setresgid(0, 0, 0) == 0)); }
};

} // namespace

class TrustTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each menu entry shows its window; each window that reads or writes the log leaves it
    // free once its action is done. Every handler of every window ends through the one guard
    // that frees the log, as these do.
    void eachMenuEntryShowsItsWindowAndEveryWindowsActionLeavesTheLogFree() {
        TestEnv env;
        env.addQso({.WWLocator = u"AB"_s, .qsl = u"a"_s});
        env.addQso({.WWLocator = u"AC"_s, .qsl = u"c"_s});
        principale main(*env.services, *env.registry, []() {});
        const QString log = env.m.logDb.path();
        // The counter's recount and the map drawn at once, among them.
        for (const auto& [entry, window] : {std::pair{"mnInsertQSO", Window::InsertQSO},
                                            {"mnUtiliy", Window::Utility},
                                            {"mnCounter", Window::Award},
                                            {"mnBAR", Window::BAR},
                                            {"mnEndorsement", Window::AE},
                                            {"mnMap", Window::Map},
                                            {"mnUserData", Window::UserData},
                                            {"mnFindPlaces", Window::FindPlaces},
                                            {"mnAbout", Window::About},
                                            {"mnRestoreBackup", Window::RestoreBackup},
                                            {"mnRig", Window::Rig}}) {
            child<QAction>(&main, entry)->trigger();
            const QWidget* opened = env.registry->loaded(window);
            QVERIFY2(opened && opened->isVisible(), entry);
            QVERIFY2(writableFromOutside(log), entry);
        }
    }

    void aSecondStartOnTheSameLogIsRefusedAndAStaleLockIsNot() {
        TestEnv env;
        env.addQsos(3);
        const QString log = env.m.logDb.path();
        QByteArray lock;
        {
            ProgramRun first(env.dir.path());
            QVERIFY(first.program->start());
            first.program->finishStartWork();
            // The start's reads behind the window (the first listing's index read ahead among
            // them) leave the log free.
            QVERIFY(writableFromOutside(log));
            const QByteArray before = bytesOf(log);
            lock = bytesOf(log + u".lock"_s);
            ProgramRun second(env.dir.path());
            QVERIFY(!second.program->start());
            QCOMPARE(second.dialogs.texts(),
                     QStringList{u"The log %1 is already open in another HM52 (process %2). Close "
                                 u"that one, or go on working there: two programs writing one log "
                                 u"would damage it."_s.arg(QDir::toNativeSeparators(log))
                                     .arg(getpid())});
            QCOMPARE(bytesOf(log), before);
        }
        // The same lock left by a program that died: its process is gone.
        writeStaleLock(log, lock);
        ProgramRun next(env.dir.path());
        QVERIFY2(next.program->start(), qPrintable(next.dialogs.texts().join(u'\n')));
    }

    // Pages overwritten before the start, which the check at start finds before any figure is
    // shown, or while the program runs, which the engine finds. Once found, nothing is written
    // to it; found at start, it is not even backed up. (A copy cut short, the check's other
    // finding: the backups' tests.)
    void aDamagedLogIsToldOnceAndNeverWritten_data() {
        QTest::addColumn<bool>("later");
        QTest::addColumn<QString>("finding");
        QTest::newRow("damaged before the start") << false << u"Page"_s;
        QTest::newRow("damaged while running") << true << u"database disk image is malformed"_s;
    }

    void aDamagedLogIsToldOnceAndNeverWritten() {
        QFETCH(bool, later);
        QFETCH(QString, finding);
        TestEnv env;
        env.addQsos(later ? 2000 : 400); // the printout reads every page of a long log
        const QString log = env.m.logDb.path();
        env.m.logDb.close();
        if (!later) {
            damagePages(log);
        }
        ProgramRun run(env.dir.path());
        QVERIFY(run.program->start());
        if (later) {
            run.program->finishStartWork();
            damagePages(log); // behind the program's back
        }
        const QByteArray damaged = bytesOf(log);
        // The counter waits the check's verdict.
        child<QAction>(&run.program->mainWindow(), later ? "mnPrintAllQSOs" : "mnCounter")
            ->trigger();
        const QString head = u"The log %1 is damaged"_s.arg(QDir::toNativeSeparators(log));
        const QString tail = u"\n\nHM52 will write nothing to it: every change is refused. To go "_s
                             u"back to a good copy, choose Database > Restore Backup..., which "_s
                             u"keeps the damaged log beside the backups."_s;
        const QString refused = thrownBy<DbError>(
            [&]() { run.program->module().logDb.execute(u"delete from data"_s); });
        QVERIFY2(refused.startsWith(head + u": "_s) && refused.contains(finding) &&
                     refused.endsWith(tail),
                 qPrintable(refused));
        // Told once: with the check's finding, or after the failure that found it.
        QCOMPARE(run.dialogs.texts().filter(head),
                 QStringList{later ? finding + u"\n\n"_s + head + u'.' + tail : refused});
        run.program->finishStartWork();
        QCOMPARE(bytesOf(log), damaged);
        QCOMPARE(backup::backupsIn(backup::folderFor(log)).size(), size_t(later ? 1 : 0));
    }

    // Values that are none of the log's codes (a cut log turned a qsl into a NUL byte) are
    // never exported as a good state, and the export names them.
    void oddStoredValuesAreNamedByTheExport() {
        TestEnv env;
        env.addQso({});
        env.m.logDb.execute(u"update data set qsl = char(0) where count = 1"_s);
        adif::ExportReport report;
        const QByteArray file = exportedAdif(env.m, &report);
        QVERIFY(!file.contains("QSL_RCVD"));
        QCOMPARE(report.oddValues, QStringList({u"QSO 1: qsl \"\u2400\""_s}));
    }

    void aLogThatCannotBeWrittenIsOpenedForLookingOnly_data() {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::addColumn<bool>("staleLock"); // left there by a program that died
        QTest::newRow("read-only file") << false << false;
        QTest::newRow("read-only folder") << true << false;
        // The lock cannot be taken over: the log opens for looking, as any log there does.
        QTest::newRow("read-only folder, stale lock") << true << true;
    }

    void aLogThatCannotBeWrittenIsOpenedForLookingOnly() {
        QFETCH(bool, folderReadOnly);
        QFETCH(bool, staleLock);
        TestEnv env;
        env.addQsos(5);
        const QString log = QDir::toNativeSeparators(env.m.logDb.path());
        const QString why =
            folderReadOnly
                ? u"its folder %1 is read-only"_s.arg(QDir::toNativeSeparators(env.dir.path()))
                : u"the file is read-only"_s;
        env.m.logDb.close();
        QByteArray lock; // none, unless one was left
        if (staleLock) {
            {
                QLockFile live(log + u".lock"_s);
                QVERIFY(live.tryLock(0));
                lock = bytesOf(log + u".lock"_s);
            }
            writeStaleLock(log, lock);
        }
        QVERIFY(::chmod(env.dir.path().toUtf8().constData(), folderReadOnly ? 0555 : 0755) == 0);
        QVERIFY(::chmod(log.toUtf8().constData(), folderReadOnly ? 0666 : 0444) == 0);
        const QByteArray before = bytesOf(log);
        {
            const OrdinaryUser user;
            ProgramRun run(env.dir.path());
            QVERIFY(run.program->start());
            QCOMPARE(run.dialogs.texts(),
                     QStringList{u"The log %1 cannot be written: %2.\n\nHM52 opens it for "
                                 u"looking only: every change is refused."_s.arg(log, why)});
            run.program->finishStartWork();
            // Looking works; a change is refused with a clear message.
            QCOMPARE(run.program->registry().utility().lineCount(), 5);
            const QString refused = thrownBy<DbError>(
                [&]() { run.program->module().logDb.execute(u"delete from data"_s); });
            QVERIFY2(refused.contains(u"is open for looking only"_s), qPrintable(refused));
        }
        QVERIFY(::chmod(env.dir.path().toUtf8().constData(), 0700) == 0);
        QCOMPARE(bytesOf(log), before);
        QCOMPARE(bytesOf(log + u".lock"_s), lock); // removed at the end, or left as it was
    }
};

QTEST_MAIN(TrustTest)
#include "tst_trust.moc"
