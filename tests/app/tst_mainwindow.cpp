// The main window: its menu bar, the help documents and the program's end;
// start-up with missing or foreign database files; and the about box.

#include "app/Program.h"
#include "app/frmAbout.h"
#include "app/principale.h"
#include "storage/Schema.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

using namespace hm52;
using namespace hm52::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theMenuBarAndTheEnd() {
        TestEnv env;
        ProgramRun run(env.dir.path());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        QCOMPARE(w.windowTitle(), u"HM52 v1.0 ita"_s);

        // One line per menu: "name=title:" and its entries, "-" for a separator.
        QStringList seen;
        for (QAction* top : w.menuBar()->actions()) {
            QMenu* menu = top->menu();
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
                              u"ADIF...; mnRestoreBackup=&Restore Backup...; mnLinePrint=-; "_s
                              u"mnPreviewAllQSOs=Pre&view all QSOs...; mnSaveAllQSOsPdf=Save "_s
                              u"all QSOs as P&DF...;"_s,
                              u"mnAward=Award: mnCounter=&Counter; mnBAR=&Base Award Request; "
                              u"mnEndorsement=&Endorsement; mnMap=Sub-square Map; "
                              u"mnNeeded=&Needed Sub-squares...;"_s,
                              u"mnUtility=Utility: mnUserData=&User Data; mnFindPlaces=&Find on "
                              u"Places Database; mnRig=&Rig...;"_s,
                              u"mnHelp=Help: mnHelpHM52html=&Help on HM52; mnHelpHM52pdf=&Rules "
                              u"on HM52 ; mnLine=-; mnAbout=&About HM52;"_s}));
        // (F1 and the help entries open the documents beside the program: the rows of
        // aDocumentThatCannotBeOpenedIsToldWithItsPath.)
        // Exit, its button and the close box end the program without asking.
        child<QAction>(&w, "mnExit")->trigger();
        w.cmdExit_Click();
        w.close();
        QCOMPARE(run.ended, 3);
        QVERIFY(run.dialogs.shown.empty());
    }

    // F1, the two help entries and the sponsor's link: a document or an address that cannot
    // be opened is told with its path, and what to do.
    void aDocumentThatCannotBeOpenedIsToldWithItsPath_data() {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<Opening>("opening");
        QTest::addColumn<QString>("opened"); // relative to the program's folder
        QTest::addColumn<QString>("told");   // with %1 for the full path or address
        const QString missing = u"The file %1 cannot be opened: it is not there.\n\nInstall HM52 "_s
                                u"again (sudo apt install --reinstall hm52), or build it again, "_s
                                u"to bring back its help files."_s;
        const QString noProgram =
            u"The file %1 cannot be opened: no program to open it was found.\n\nInstall the "_s
            u"xdg-utils package (sudo apt install xdg-utils) and a program for this kind of "_s
            u"file, or open the file by hand."_s;
        const QString noBrowser =
            u"The web page %1 cannot be opened: no web browser was found.\n\nInstall the "_s
            u"xdg-utils package (sudo apt install xdg-utils) and a web browser, or type the "_s
            u"address into your web browser by hand."_s;
        const QString index = u"Help/index.htm"_s;
        const QString rules = u"Help/Hm52_reg_ita.pdf"_s;
        // F1 is the help entry's shortcut.
        QTest::newRow("F1, not there") << u"F1"_s << Opening::Missing << index << missing;
        QTest::newRow("rules, no opener")
            << u"mnHelpHM52pdf"_s << Opening::NoOpener << rules << noProgram;
        QTest::newRow("sponsor, no browser")
            << u"Label2"_s << Opening::NoOpener << frmAbout::siteAddress() << noBrowser;
        QTest::newRow("help, opened")
            << u"mnHelpHM52html"_s << Opening::Opened << index << QString();
    }

    void aDocumentThatCannotBeOpenedIsToldWithItsPath() {
        QFETCH(QString, trigger);
        QFETCH(Opening, opening);
        QFETCH(QString, opened);
        QFETCH(QString, told);
        TestEnv env;
        ProgramRun run(env.dir.path());
        QVERIFY(run.program->start());
        principale& w = run.program->mainWindow();
        showActive(&w);
        run.shell.result = opening;
        const QString path =
            opened.startsWith(u"http"_s) ? opened : QDir::cleanPath(env.dir.filePath(opened));
        if (trigger == u"F1"_s) {
            QTest::keyClick(w.windowHandle(), Qt::Key_F1);
        } else if (trigger == u"Label2"_s) {
            w.mnAbout_Click();
            QTest::mouseClick(
                child<QLabel>(run.program->registry().loaded(Window::About), "Label2"),
                Qt::LeftButton);
        } else {
            child<QAction>(&w, trigger.toLatin1().constData())->trigger();
        }
        QCOMPARE(run.shell.opened, QStringList({path}));
        QCOMPARE(run.dialogs.texts(),
                 told.isEmpty() ? QStringList()
                                : QStringList({told.arg(QDir::toNativeSeparators(path))}));
    }

    void startFailsWithTheEnginesTextWhenALogIsMissingOrForeign_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        // The log missing, or refused by the check of its tables, which gives the engine's own
        // text whatever is wrong (a lock held by another program, a column missing); and the
        // places database, opened and checked apart.
        for (const auto& [damage, message] :
             {std::pair{"missing data", "unable to open database file"},
              {"garbage data", "file is not a database"},
              {"foreign data", "no such table: data"},
              {"foreign places", "no such table: places"}}) {
            QTest::newRow(damage) << damage << message;
        }
    }

    void startFailsWithTheEnginesTextWhenALogIsMissingOrForeign() {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString how = damage.section(u' ', 0, 0);
        const QString target = dir.filePath(damage.section(u' ', 1) + u".mdb"_s);
        schema::createLog(dir.filePath(u"data.mdb"_s));
        writeGazetteer(dir.filePath(u"places.mdb"_s), smallGazetteer());
        QFile::remove(target);
        if (how == u"garbage"_s) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(4096, 'x')) == 4096);
        } else if (how == u"foreign"_s) {
            Database db;
            db.create(target);
            db.execute(u"create table other (x)"_s);
        }
        const QByteArray before = bytesOf(target);

        ProgramRun run(dir.path());
        QVERIFY(!run.program->start());
        QCOMPARE(run.dialogs.texts(),
                 QStringList{message + u"\n\n"_s + QDir::toNativeSeparators(target)});
        // Nothing was created in place of a missing file, nothing changed in a present one.
        QCOMPARE(QFile::exists(target), how != u"missing"_s);
        QCOMPARE(bytesOf(target), before);
    }

    // The about box: its contents, and Enter, Esc and OK hiding the same box. (Its link opens
    // the sponsor's page: the rows of aDocumentThatCannotBeOpenedIsToldWithItsPath.)
    void theAboutBoxShowsItsCreditsAndHides() {
        TestEnv env;
        env.registry->show(Window::About);
        frmAbout& w = env.registry->about();
        showActive(&w);
        QCOMPARE(w.windowTitle(), u"about HM52"_s);
        QCOMPARE(texts(&w, "lblVersion cmdOK"), u"Version 1.0 |OK"_s);
        QCOMPARE(child<QLabel>(&w, "Label2")->text(), u"Site: "_s + frmAbout::siteAddress());

        auto* ok = child<QPushButton>(&w, "cmdOK");
        for (const int key : {int(Qt::Key_Return), int(Qt::Key_Escape), 0}) {
            env.registry->show(Window::About);
            QCOMPARE(&env.registry->about(), &w); // hidden, not unloaded
            showActive(&w);
            if (key == 0) {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                QTest::keyClick(w.windowHandle(), Qt::Key(key));
            }
            QVERIFY2(!w.isVisible(), key == 0 ? "OK" : "a key");
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
