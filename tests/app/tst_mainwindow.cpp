// The main window: its menu bar, the help documents, one instance per window, and the
// program's end; start-up with missing or foreign database files; and the about box.

#include "app/Program.h"
#include "app/frmAbout.h"
#include "app/principale.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>

using namespace hm52;
using namespace hm52::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void menuBarHasEveryEntryInOrderAndTheCertificateShowsWhole() {
        TestEnv env;
        ProgramRun run(env.folder());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        QCOMPARE(w.windowTitle(), u"HM52 v1.0 ita"_s);

        // One line per menu: "name=title:" and its entries, "-" for a separator.
        QStringList seen;
        for (QAction* top : w.menuBar()->actions()) {
            QMenu* menu = top->menu();
            QVERIFY(menu);
            QString line = menu->objectName() + u'=' + menu->title() + u':';
            for (QAction* entry : menu->actions()) {
                line += u' ' + entry->objectName() + u'=' +
                        (entry->isSeparator() ? u"-"_s : entry->text()) + u';';
            }
            seen << line;
        }
        QCOMPARE(seen,
                 QStringList({u"mnDatabase=Database: mnInsertQSO=&Insert QSO; mnUtiliy=&Utility "
                              u"QSO; mnPrintAllQSOs=&Print all QSOs; mnLine2=-; mnExit=&Exit; "
                              u"mnLineADIF=-; mnImportADIF=I&mport ADIF...; mnExportADIF=E&xport "
                              u"ADIF...; mnRestoreBackup=&Restore Backup...;"_s,
                              u"mnAward=Award: mnCounter=&Counter; mnBAR=&Base Award Request; "
                              u"mnEndorsement=&Endorsement; mnMap=Sub-square Map;"_s,
                              u"mnUtility=Utility: mnUserData=&User Data; mnFindPlaces=&Find on "
                              u"Places Database;"_s,
                              u"mnHelp=Help: mnHelpHM52html=&Help on HM52; mnHelpHM52pdf=&Rules "
                              u"on HM52 ; mnLine=-; mnAbout=&About HM52;"_s}));
        QCOMPARE(child<QAction>(&w, "mnHelpHM52html")->shortcut(), QKeySequence(Qt::Key_F1));
        // No two entries of a menu share an access key.
        for (QAction* top : w.menuBar()->actions()) {
            QStringList keys;
            for (QAction* entry : top->menu()->actions()) {
                const qsizetype amp = entry->text().indexOf(u'&');
                if (amp >= 0) {
                    keys << entry->text().mid(amp + 1, 1).toLower();
                }
            }
            const auto withKeys = keys.size();
            keys.removeDuplicates();
            QCOMPARE(keys.size(), withKeys);
        }

        // The certificate shows whole, with its wording and its proportions.
        auto* picture = child<QLabel>(&run.program->mainWindow(), "Picture1");
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

    void helpOpensTheDocumentsAWindowExistsOnceAndExitEndsWithoutAsking() {
        TestEnv env;
        ProgramRun run(env.folder());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        showActive(&w);
        // F1 and the help entries open the documents beside the program.
        QTest::keyClick(w.windowHandle(), Qt::Key_F1);
        child<QAction>(&w, "mnHelpHM52pdf")->trigger();
        QCOMPARE(run.shell.opened, QStringList({env.folder() + u"/Help/index.htm"_s,
                                                env.folder() + u"/Help/Hm52_reg_ita.pdf"_s}));

        // A window exists once, and is loaded afresh after its close box.
        WindowRegistry& registry = run.program->registry();
        child<QAction>(&w, "mnCounter")->trigger();
        QWidget* first = registry.loaded(Window::Award);
        QVERIFY(first && first->isVisible());
        child<QAction>(&w, "mnCounter")->trigger();
        QCOMPARE(registry.loaded(Window::Award), first);
        const auto tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(),
                               [](QWidget* t) { return t->objectName() == u"frmAward"_s; }),
                 1);
        first->close();
        QCOMPARE(registry.loaded(Window::Award), nullptr);
        child<QAction>(&w, "mnCounter")->trigger();
        QVERIFY(registry.loaded(Window::Award) != nullptr);

        // Exit, its button and the close box end the program without asking.
        child<QAction>(&w, "mnExit")->trigger();
        w.cmdExit_Click();
        w.close();
        QCOMPARE(run.ended, 3);
        QVERIFY(run.dialogs.shown.empty());
    }

    void startFailsWithTheEnginesTextWhenALogIsMissingOrForeign_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        for (const auto& [damage, message] :
             {std::pair{"missing data", "unable to open database file"},
              {"missing places", "unable to open database file"},
              {"garbage data", "file is not a database"},
              {"foreign data", "no such table: data"},
              {"foreign places", "no such table: places"},
              {"old data", "no such column: qsl"},
              {"locked data", "database is locked"},
              {"unreadable data", "unable to open database file"}}) {
            QTest::newRow(damage) << damage << message;
        }
    }

    void startFailsWithTheEnginesTextWhenALogIsMissingOrForeign() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString how = damage.section(u' ', 0, 0);
        const QString target = dir.filePath(damage.section(u' ', 1) + u".mdb"_s);
        writeEmptyLog(dir.filePath(u"data.mdb"_s));
        writeGazetteer(dir.filePath(u"places.mdb"_s), smallGazetteer());
        Database locker;
        if (how == u"locked"_s) {
            locker.open(target, OpenMode::ReadWrite);
            locker.execute(u"BEGIN EXCLUSIVE"_s);
        } else {
            QFile::remove(target);
        }
        if (how == u"unreadable"_s) {
            // Tests run as root, who reads any file: a folder in the file's place is what
            // no one can read as a database.
            QVERIFY(QDir().mkdir(target));
        } else if (how == u"garbage"_s) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        } else if (how == u"old"_s || how == u"foreign"_s) {
            Database db;
            db.create(target);
            db.execute(how == u"old"_s
                           ? u"create table data (count INTEGER, call TEXT, WWLocator "_s
                             u"TEXT, place TEXT, prov TEXT, mode TEXT, band TEXT, "_s
                             u"date DATE, time TIME)"_s
                           : u"create table other (x)"_s);
        }
        const auto bytes = [&target]() {
            QFile file(target);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
        };
        const QByteArray before = bytes();

        ProgramRun run(dir.path());
        QVERIFY(!run.program->start());
        QCOMPARE(run.dialogs.texts().size(), 1);
        QVERIFY2(run.dialogs.texts()[0].startsWith(message), qPrintable(run.dialogs.texts()[0]));
        QVERIFY(run.dialogs.texts()[0].contains(target));
        QCOMPARE(run.dialogs.shown[0].icon, Icon::Critical);
        QVERIFY(!run.program->mainWindow().isVisible());
        // Nothing was created in place of a missing file, nothing changed in a present one.
        QCOMPARE(bytes(), before);
        QCOMPARE(QFileInfo(target).isDir(), how == u"unreadable"_s);
        QCOMPARE(QFile::exists(target), how != u"missing"_s);
    }

    // ----- the about box: its contents, the link to the sponsor's page, the keys and buttons
    // that close it

    void showsVersionCreditsPicturesAndTheSiteWhoseLinkOpensItEachTime() {
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        QCOMPARE(w.windowTitle(), u"about HM52"_s);
        QVERIFY(!w.isModal());
        QCOMPARE(texts(&w, "lblVersion cmdOK"), u"Version 1.0 |OK"_s);
        QVERIFY(!child<QLabel>(&w, "lblDescription")->text().isEmpty());
        QLabel* link = child<QLabel>(&w, "Label2");
        QVERIFY(link->text().startsWith(u"Site: http"_s));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        for (const char* name : {"lblVersion", "lblDescription", "Label2"}) {
            QVERIFY(child<QLabel>(&w, name)->font().bold());
        }
        QCOMPARE(child<QLabel>(&w, "Picture2")->pixmap().size(), QSize(64, 111));
        QCOMPARE(child<QLabel>(&w, "Picture1")->pixmap().size(), QSize(321, 64));

        // The link opens the site each time; the box stays.
        const QString address = link->text().mid(6);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(env.shell.opened, QStringList({address, address}));
        QVERIFY(w.isVisible());
        QVERIFY(env.dialogs.shown.empty());
    }

    void enterEscAndOkHideTheSameBoxAndTheCloseBoxUnloadsIt_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("OK") << 0;
    }

    void enterEscAndOkHideTheSameBoxAndTheCloseBoxUnloadsIt() {
        QFETCH(int, key);
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        auto* ok = child<QPushButton>(&w, "cmdOK");
        QVERIFY(ok->isDefault());
        if (key == 0) {
            QTest::mouseClick(ok, Qt::LeftButton);
        } else {
            QTest::keyClick(w.windowHandle(), Qt::Key(key));
        }
        QVERIFY(!w.isVisible());
        env.registry->show(Window::About);
        QCOMPARE(&env.registry->about(), &w); // hidden, not unloaded

        w.close();
        QVERIFY(env.registry->loaded(Window::About) == nullptr);
        env.registry->show(Window::About);
        QVERIFY(env.registry->loaded(Window::About) != nullptr);
        QVERIFY(env.registry->loaded(Window::About)->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
