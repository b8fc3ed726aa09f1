// The main window: its menu bar, the help documents, one instance per window, and the
// program's end; start-up with missing or foreign database files.

#include "app/Program.h"
#include "app/principale.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    struct Run {
        RecordingDialogs dialogs;
        RecordingShell shell;
        RecordingPrinters printers;
        int ended = 0;
        std::unique_ptr<Program> program;
        explicit Run(const QString& folder) {
            program = std::make_unique<Program>(folder, dialogs, shell, printers.factory(),
                                                [this]() { ++ended; });
        }
    };

private Q_SLOTS:
    void menuBarHasEveryEntryInOrder() {
        TestEnv env;
        Run run(env.folder());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        QCOMPARE(w.windowTitle(), QStringLiteral("HM52 v1.0 ita"));

        QStringList seen;
        for (QAction* top : w.menuBar()->actions()) {
            QMenu* menu = top->menu();
            QVERIFY(menu);
            seen << menu->objectName() + u'=' + menu->title();
            for (QAction* entry : menu->actions()) {
                seen << QStringLiteral("  ") + entry->objectName() + u'=' +
                            (entry->isSeparator() ? QStringLiteral("-") : entry->text());
            }
        }
        const QStringList expected{
            QStringLiteral("mnDatabase=Database"),
            QStringLiteral("  mnInsertQSO=&Insert QSO"),
            QStringLiteral("  mnUtiliy=&Utility QSO"),
            QStringLiteral("  mnPrintAllQSOs=&Print all QSOs"),
            QStringLiteral("  mnLine2=-"),
            QStringLiteral("  mnExit=&Exit"),
            QStringLiteral("  mnLineADIF=-"),
            QStringLiteral("  mnImportADIF=Import ADIF..."),
            QStringLiteral("  mnExportADIF=Export ADIF..."),
            QStringLiteral("mnAward=Award"),
            QStringLiteral("  mnCounter=&Counter"),
            QStringLiteral("  mnBAR=&Base Award Request"),
            QStringLiteral("  mnEndorsement=&Endorsement"),
            QStringLiteral("  mnMap=Sub-square Map"),
            QStringLiteral("mnUtility=Utility"),
            QStringLiteral("  mnUserData=&User Data"),
            QStringLiteral("  mnFindPlaces=&Find on Places Database"),
            QStringLiteral("mnHelp=Help"),
            QStringLiteral("  mnHelpHM52html=&Help on HM52"),
            QStringLiteral("  mnHelpHM52pdf=&Rules on HM52 "),
            QStringLiteral("  mnLine=-"),
            QStringLiteral("  mnAbout=&About HM52"),
        };
        for (int i = 0; i < expected.size(); ++i) {
            QVERIFY2(i < seen.size(), qPrintable(expected[i]));
            QCOMPARE(seen[i], expected[i]);
        }
        QCOMPARE(seen.size(), expected.size());
        auto* help = w.findChild<QAction*>(QStringLiteral("mnHelpHM52html"));
        QCOMPARE(help->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void theCertificateShowsWholeWithItsWordingAndProportions() {
        TestEnv env;
        Run run(env.folder());
        QVERIFY(run.program->start());
        auto* picture = run.program->mainWindow().findChild<QLabel*>(QStringLiteral("Picture1"));
        const QImage shown = picture->pixmap().toImage();
        QVERIFY(picture->contentsRect().width() >= shown.width() &&
                picture->contentsRect().height() >= shown.height());
        QVERIFY(qAbs(double(shown.width()) / shown.height() - 410.0 / 288.0) < 0.02);
        // The wording right of the award square is inked on the parchment.
        int ink = 0;
        for (int y = shown.height() * 31 / 100; y < shown.height() * 76 / 100; ++y) {
            for (int x = shown.width() * 47 / 100; x < shown.width() * 96 / 100; ++x) {
                ink += qGray(shown.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        QVERIFY2(ink > 100, qPrintable(QString::number(ink)));
    }

    void f1AndHelpEntriesOpenTheDocumentsBesideTheProgram() {
        TestEnv env;
        Run run(env.folder());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        showActive(&w);
        QTest::keyClick(w.windowHandle(), Qt::Key_F1);
        w.findChild<QAction*>(QStringLiteral("mnHelpHM52pdf"))->trigger();
        QCOMPARE(run.shell.opened,
                 QStringList({env.folder() + QStringLiteral("/Help/index.htm"),
                              env.folder() + QStringLiteral("/Help/Hm52_reg_ita.pdf")}));
    }

    void exitEndsTheProgramWithoutAsking() {
        TestEnv env;
        Run run(env.folder());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        w.findChild<QAction*>(QStringLiteral("mnExit"))->trigger();
        w.cmdExit_Click();
        w.show();
        w.close();
        QCOMPARE(run.ended, 3);
        QVERIFY(run.dialogs.shown.empty());
    }

    void aWindowExistsOnceAndIsLoadedAfreshAfterItsCloseBox() {
        TestEnv env;
        Run run(env.folder());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        WindowRegistry& registry = run.program->registry();
        w.findChild<QAction*>(QStringLiteral("mnCounter"))->trigger();
        QWidget* first = registry.loaded(Window::Award);
        QVERIFY(first && first->isVisible());
        w.findChild<QAction*>(QStringLiteral("mnCounter"))->trigger();
        QCOMPARE(registry.loaded(Window::Award), first);
        const auto tops = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(tops.begin(), tops.end(),
                          [](QWidget* t) { return t->objectName() == QLatin1String("frmAward"); }),
            1);
        first->close();
        QCOMPARE(registry.loaded(Window::Award), nullptr);
        w.findChild<QAction*>(QStringLiteral("mnCounter"))->trigger();
        QVERIFY(registry.loaded(Window::Award) != nullptr);
    }

    void startFailsWithTheEnginesTextWhenALogIsMissingOrForeign_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing log") << "missing data"
                                     << "unable to open database file";
        QTest::newRow("missing gazetteer") << "missing places"
                                           << "unable to open database file";
        QTest::newRow("log is not a database") << "garbage data"
                                               << "file is not a database";
        QTest::newRow("log without our tables") << "foreign data"
                                                << "no such table: data";
        QTest::newRow("gazetteer without our tables") << "foreign places"
                                                      << "no such table: places";
        QTest::newRow("log missing a column") << "old data"
                                              << "no such column: qsl";
        QTest::newRow("log locked by another program") << "locked data"
                                                       << "database is locked";
        QTest::newRow("log unreadable") << "unreadable data"
                                        << "unable to open database file";
    }

    void startFailsWithTheEnginesTextWhenALogIsMissingOrForeign() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("data.mdb"));
        const QString places = dir.filePath(QStringLiteral("places.mdb"));
        writeEmptyLog(data);
        writeGazetteer(places, smallGazetteer());
        const QString target = damage.endsWith(QLatin1String("data")) ? data : places;
        Database locker;
        if (damage.startsWith(QLatin1String("locked"))) {
            locker.open(target, OpenMode::ReadWrite);
            locker.execute(QStringLiteral("BEGIN EXCLUSIVE"));
        } else if (damage.startsWith(QLatin1String("unreadable"))) {
            // Tests run as root, who reads any file: a folder in the file's place is what
            // no one can read as a database.
            QFile::remove(target);
            QVERIFY(QDir().mkdir(target));
        } else if (damage.startsWith(QLatin1String("missing"))) {
            QFile::remove(target);
        } else if (damage.startsWith(QLatin1String("garbage"))) {
            QFile::remove(target);
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else {
            QFile::remove(target);
            Database db;
            db.create(target);
            if (damage.startsWith(QLatin1String("old"))) {
                db.execute(QStringLiteral(
                    "create table data (count INTEGER, call TEXT, WWLocator TEXT, place TEXT, "
                    "prov TEXT, mode TEXT, band TEXT, date DATE, time TIME)"));
            } else {
                db.execute(QStringLiteral("create table other (x)"));
            }
        }
        QFile before(target);
        const QByteArray bytesBefore =
            before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
        before.close();

        Run run(dir.path());
        QVERIFY(!run.program->start());
        QCOMPARE(run.dialogs.shown.size(), size_t(1));
        QVERIFY2(run.dialogs.shown[0].text.startsWith(message),
                 qPrintable(run.dialogs.shown[0].text));
        QVERIFY(run.dialogs.shown[0].text.contains(target));
        QCOMPARE(run.dialogs.shown[0].icon, Icon::Critical);
        QVERIFY(!run.program->mainWindow().isVisible());
        // Nothing was created in place of a missing file, nothing changed in a present one.
        QFile after(target);
        if (damage.startsWith(QLatin1String("missing"))) {
            QVERIFY(!after.exists());
        } else if (damage.startsWith(QLatin1String("unreadable"))) {
            QVERIFY(QFileInfo(target).isDir());
        } else {
            QVERIFY(after.open(QIODevice::ReadOnly));
            QCOMPARE(after.readAll(), bytesBefore);
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
