// Trusting the log: nothing holds it between the operator's actions, one program per log, a
// damaged log caught before it is trusted (and later, when the engine finds it), and a log
// that cannot be written opened for looking only.

#include "adif/AdifExport.h"
#include "app/Program.h"
#include "app/principale.h"
#include "award/frmBAR.h"
#include "backup/Backup.h"
#include "browser/frmUtility.h"
#include "operator/frmUserData.h"
#include "qso/frmInsertQSO.h"
#include "support/TestEnv.h"

#include <QBuffer>
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

// What another program gets when it writes the log at once, without waiting: "ok", or the
// engine's complaint ("database is locked").
QString writeFromOutside(const QString& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, "update data set place = place", nullptr, nullptr, &error);
    const QString said = rc == SQLITE_OK ? u"ok"_s : QString::fromUtf8(error);
    sqlite3_free(error);
    sqlite3_close(db);
    return said;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs as an ordinary user for its lifetime when the tests run as root, for whom no file is
// read-only.
class OrdinaryUser {
public:
    OrdinaryUser() {
        if (geteuid() == 0) {
            asRoot_ = true;
            QVERIFY(setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0);
        }
    }
    ~OrdinaryUser() {
        if (asRoot_) {
            QVERIFY(setresuid(0, 0, 0) == 0 && setresgid(0, 0, 0) == 0);
        }
    }
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    bool asRoot_ = false;
};

void fill(LogEnv& env, int qsos) {
    Transaction t(env.m.logDb);
    for (int i = 0; i < qsos; ++i) {
        env.addQsoWithCount(i + 1, {.call = u"I%1XYZ"_s.arg(i), .qsl = u"w"_s});
    }
    t.commit();
}

} // namespace

class TrustTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void afterEveryWindowsActionAnotherProgramCanWriteTheLogAtOnce() {
        TestEnv env;
        env.addQso({.WWLocator = u"AB"_s, .qsl = u"a"_s});
        env.addQso({.WWLocator = u"AC"_s, .qsl = u"c"_s});
        principale main(*env.services, *env.registry, []() {});
        const QString log = env.m.logDb.path();
        auto after = [&](const char* what) { QVERIFY2(writeFromOutside(log) == u"ok"_s, what); };

        child<QAction>(&main, "mnCounter")->trigger();
        after("the counter's recount");
        child<QComboBox>(env.registry->loaded(Window::Award), "Combo1")->setCurrentIndex(1);
        after("another mode counted");

        child<QAction>(&main, "mnUtiliy")->trigger();
        frmUtility& browser = env.registry->utility();
        auto* list = child<QListView>(&browser, "List");
        list->setCurrentIndex(list->model()->index(0, 0)); // the accredited QSO, by call
        env.dialogs.clear();
        click(&browser, "cmdEditQSO");
        QCOMPARE(env.dialogs.texts(), QStringList{u"You cannot edit an accreditated qso!"_s});
        after("the browser's refusal to edit");

        child<QAction>(&main, "mnInsertQSO")->trigger();
        frmInsertQSO& insert = env.registry->insertQSO();
        QTest::keyClicks(insert.txtWWLocator, u"ab"_s);
        QTest::keyClicks(insert.comboPlace, u"alfa"_s);
        after("typing in the QSO form");

        child<QAction>(&main, "mnBAR")->trigger();
        click(env.registry->loaded(Window::BAR), "cmdPrint");
        after("a request refused");

        child<QAction>(&main, "mnUserData")->trigger();
        frmUserData& user = env.registry->userData();
        for (const char* box : {"txtAddress", "txtCall", "txtCity", "txtCountry", "txtfName",
                                "txtsName", "txtZipCode", "txtProv", "txtWWLocator"}) {
            child<QLineEdit>(&user, box)->setText(u"X"_s);
        }
        click(&user, "cmdSubmit");
        after("the operator's record saved and shown");

        child<QAction>(&main, "mnMap")->trigger();
        after("the map drawn");
    }

    void aSecondStartOnTheSameLogIsRefusedAndAStaleLockIsNot() {
        TestEnv env;
        fill(env, 3);
        {
            ProgramRun first(env.folder());
            QVERIFY(first.program->start());
            first.program->finishStartWork();
            const QByteArray before = bytesOf(env.m.logDb.path());
            ProgramRun second(env.folder());
            QVERIFY(!second.program->start());
            QCOMPARE(second.dialogs.texts().size(), 1);
            QVERIFY2(second.dialogs.texts()[0].contains(
                         u"is already open in another HM52 (process %1)"_s.arg(getpid())),
                     qPrintable(second.dialogs.texts()[0]));
            QCOMPARE(bytesOf(env.m.logDb.path()), before);
        }
        // A lock left by a program that died: its process is gone.
        const QString lockPath = env.m.logDb.path() + u".lock"_s;
        QProcess gone;
        gone.start(u"true"_s, {});
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QByteArray lock;
        {
            QLockFile held(lockPath);
            QVERIFY(held.tryLock());
            lock = bytesOf(lockPath);
        }
        lock.replace(0, lock.indexOf('\n'), QByteArray::number(deadPid));
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lock);
        file.close();
        ProgramRun next(env.folder());
        QVERIFY2(next.program->start(), qPrintable(next.dialogs.texts().join(u'\n')));
        QVERIFY(next.dialogs.shown.empty());
    }

    void aDamagedLogIsToldBeforeAnyFigureIsShownAndNeverWrittenNorBackedUp_data() {
        QTest::addColumn<bool>("cutShort");
        QTest::newRow("damaged pages") << false;
        QTest::newRow("one byte short") << true;
    }

    void aDamagedLogIsToldBeforeAnyFigureIsShownAndNeverWrittenNorBackedUp() {
        QFETCH(bool, cutShort);
        TestEnv env;
        fill(env, 400);
        const QString log = env.m.logDb.path();
        env.m.logDb.close();
        cutShort ? cutLastByte(log) : damagePages(log);
        const QByteArray damaged = bytesOf(log);

        ProgramRun run(env.folder());
        QVERIFY(run.program->start());
        principale& main = run.program->mainWindow();
        child<QAction>(&main, "mnCounter")->trigger(); // the counter waits for the verdict
        QVERIFY(!run.dialogs.shown.empty());
        const QString told = run.dialogs.shown.front().text;
        QVERIFY2(told.startsWith(u"The log %1 is damaged: "_s.arg(QDir::toNativeSeparators(log))),
                 qPrintable(told));
        QVERIFY(told.contains(cutShort ? u"cut short"_s : u"Page"_s));
        QVERIFY(told.contains(u"Restore Backup"_s));
        QCOMPARE(run.program->module().trust(), LogTrust::Damaged);

        // Every change is refused, and the file stays as it was.
        child<QAction>(&main, "mnInsertQSO")->trigger();
        frmInsertQSO& insert = run.program->registry().insertQSO();
        QTest::keyClicks(insert.txtWWLocator, u"ab"_s);
        QTest::keyClicks(insert.txtCall, u"i1abc"_s);
        for (QLineEdit* box : {insert.txtDate[0], insert.txtDate[1], insert.txtDate[2]}) {
            box->setText(u"10"_s);
        }
        insert.txtTime->setText(u"1000"_s);
        insert.comboPlace->setEditText(u"ALFA"_s);
        run.dialogs.clear();
        click(&insert, "cmdSubmit");
        QVERIFY(run.dialogs.texts().join(u'\n').contains(u"HM52 will write nothing to it"_s));
        run.program->finishStartWork();
        QCOMPARE(bytesOf(log), damaged);
        QVERIFY(backup::backupsIn(backup::folderFor(log)).empty());
    }

    void theEngineFindingTheLogDamagedLaterStopsEveryWrite() {
        TestEnv env;
        fill(env, 2000);
        const QString log = env.m.logDb.path();
        ProgramRun run(env.folder());
        QVERIFY(run.program->start());
        run.program->finishStartWork();
        QCOMPARE(run.program->module().trust(), LogTrust::Trusted);
        damagePages(log); // while the program runs, behind its back
        run.dialogs.clear();
        child<QAction>(&run.program->mainWindow(), "mnPrintAllQSOs")->trigger();
        QCOMPARE(run.program->module().trust(), LogTrust::Damaged);
        QVERIFY(run.dialogs.texts().join(u'\n').contains(u"HM52 will write nothing to it"_s));
        QVERIFY(thrownBy<DbError>([&]() {
                    run.program->module().logDb.execute(u"delete from data"_s);
                }).contains(u"is damaged"_s));
    }

    // Values that are none of the log's codes (a cut log turned a qsl into a NUL byte) are
    // shown as what they are, never as a good state, and the export names them.
    void oddStoredValuesAreShownAsTheyAre() {
        TestEnv env;
        env.addQso({});
        env.m.logDb.execute(u"update data set qsl = char(0) where count = 1"_s);
        frmUtility& b = env.registry->utility();
        QVERIFY(b.lineText(0).endsWith(u"| \u2400"_s));
        QByteArray file;
        QBuffer buffer(&file);
        buffer.open(QIODevice::WriteOnly);
        const adif::ExportReport report = adif::writeAdif(env.m, buffer, QDateTime());
        QVERIFY(!file.contains("QSL_RCVD"));
        QCOMPARE(report.oddValues, QStringList({u"QSO 1: qsl \"\u2400\""_s}));
    }

    void aLogThatCannotBeWrittenIsOpenedForLookingOnly_data() {
        QTest::addColumn<bool>("folderReadOnly");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }

    void aLogThatCannotBeWrittenIsOpenedForLookingOnly() {
        QFETCH(bool, folderReadOnly);
        TestEnv env;
        fill(env, 5);
        const QString log = env.m.logDb.path();
        env.m.logDb.close();
        QVERIFY(::chmod(env.folder().toUtf8().constData(), folderReadOnly ? 0555 : 0755) == 0);
        QVERIFY(::chmod(log.toUtf8().constData(), folderReadOnly ? 0666 : 0444) == 0);
        const QByteArray before = bytesOf(log);
        {
            const OrdinaryUser user;
            ProgramRun run(env.folder());
            QVERIFY(run.program->start());
            QCOMPARE(run.dialogs.texts().size(), 1);
            QVERIFY2(run.dialogs.texts()[0].contains(folderReadOnly ? u"its folder"_s
                                                                    : u"the file is read-only"_s),
                     qPrintable(run.dialogs.texts()[0]));
            QVERIFY(run.dialogs.texts()[0].contains(u"for looking only"_s));
            run.program->finishStartWork();
            // Looking works; every change is refused with a clear message.
            child<QAction>(&run.program->mainWindow(), "mnUtiliy")->trigger();
            QCOMPARE(run.program->registry().utility().lineCount(), 5);
            run.dialogs.clear();
            auto& browser = run.program->registry().utility();
            auto* list = child<QListView>(&browser, "List");
            list->setCurrentIndex(list->model()->index(0, 0));
            run.dialogs.answer(Answer::Ok);
            click(&browser, "cmdDeleteQSO");
            QVERIFY(run.dialogs.texts().last().contains(u"is open for looking only"_s));
            QCOMPARE(run.program->registry().utility().lineCount(), 5);
        }
        QVERIFY(::chmod(env.folder().toUtf8().constData(), 0700) == 0);
        QCOMPARE(bytesOf(log), before);
    }
};

QTEST_MAIN(TrustTest)
#include "tst_trust.moc"
