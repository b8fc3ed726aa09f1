// Import ADIF... and Export ADIF... from the main window's Database menu: the file dialogs,
// the options, the progress with its Cancel, the report, the refresh of the other windows.

#include "adif/frmImportADIF.h"
#include "app/principale.h"
#include "backup/Backup.h"
#include "storage/RadioTable.h"
#include "support/TestEnv.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>

#include <cerrno>

using namespace hm52;
using namespace hm52::test;

namespace {

struct Main {
    TestEnv env;
    principale window{*env.services, *env.registry, []() {}};
    int logChanges = 0;
    Main() {
        QObject::connect(env.registry.get(), &WindowRegistry::counted, [this]() { ++logChanges; });
    }
    void trigger(const char* entry) { child<QAction>(&window, entry)->trigger(); }
    frmImportADIF* importWindow() {
        return qobject_cast<frmImportADIF*>(env.registry->loaded(Window::ImportADIF));
    }
    QString report() {
        auto* shown = env.registry->loaded(Window::ImportReport);
        return shown != nullptr && shown->isVisible()
                   ? child<QPlainTextEdit>(shown, "txtReport")->toPlainText()
                   : QString();
    }
    // Opens a menu entry, choosing the path in the file dialog that it shows.
    void withFile(const char* entry, const QString& path) {
        env.fileDialogs.answer(path);
        trigger(entry);
    }
    void clickImport() {
        QTest::mouseClick(child<QPushButton>(importWindow(), "cmdImport"), Qt::LeftButton);
    }
};

} // namespace

class AdifWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A cancel in the progress dialog, after every record was written, imports nothing; the
    // next import imports with the options chosen.
    void importAsksForTheFileThenImportsWithTheChosenOptions() {
        Main main;
        main.withFile("mnImportADIF", adifFixture("desktop-logger.adi"));
        QVERIFY(main.env.fileDialogs.asked.at(0).filter.contains(u"*.adi"_s));
        frmImportADIF* w = main.importWindow();
        QVERIFY(w && w->isVisible());
        // Only a cancel of the progress dialog gives the report below.
        QTimer::singleShot(0, &main.window, [&main]() {
            if (auto* progress = main.window.findChild<QProgressDialog*>(u"progressImport"_s)) {
                progress->cancel();
            }
        });
        main.clickImport();
        QCOMPARE(main.env.count(), 0);
        QCOMPARE(main.logChanges, 0);
        QCOMPARE(main.report(), u"Import of desktop-logger.adi cancelled: nothing was imported."_s);

        main.withFile("mnImportADIF", adifFixture("desktop-logger.adi"));
        child<QCheckBox>(w, "chkLotw")->setChecked(true);
        child<QCheckBox>(w, "chkAllMixed")->setChecked(true);
        main.clickImport();
        QVERIFY(!w->isVisible());
        QCOMPARE(main.env.count(u"mode = 'MIXED'"_s), 3);
        // LoTW's QSL confirms IW3SAT; QSL_RCVD=V leaves IK2AAA worked.
        QCOMPARE(main.env.rawField(3, u"qsl"_s), u"c"_s);
        QCOMPARE(main.env.rawField(2, u"qsl"_s), u"w"_s);
        QCOMPARE(main.logChanges, 1); // the browser and the counter were refreshed
        // The log was empty, so these three are all its QSOs.
        QVERIFY(main.report().contains(u"\nImported: 3\n"_s));
        // The log was backed up before each import.
        QCOMPARE(backup::backupsIn(backup::folderFor(main.env.m.logDb.path())).size(), 2);
    }

    void noFileAnUnusableFileOrAFailedBackupImportsOrExportsNothing() {
        Main main;
        main.trigger("mnImportADIF");
        QCOMPARE(main.importWindow(), nullptr);
        main.withFile("mnImportADIF", adifFixture("web-logbook.adi"));
        QTest::mouseClick(child<QPushButton>(main.importWindow(), "cmdCancel"), Qt::LeftButton);
        QCOMPARE(main.logChanges, 0);

        // A file that cannot be read is reported; one that cannot be written too.
        const QString missing = main.env.dir.filePath(u"missing.adi"_s);
        main.withFile("mnImportADIF", missing);
        main.clickImport();
        const QString nowhere = main.env.dir.filePath(u"no/such/folder/x.adi"_s);
        main.withFile("mnExportADIF", nowhere);
        const QString reason = qt_error_string(ENOENT);
        QCOMPARE(main.env.dialogs.texts(),
                 QStringList({u"The file %1 cannot be read: %2"_s.arg(missing, reason),
                              u"The file %1 cannot be written: %2"_s.arg(nowhere, reason)}));

        // A backup that cannot be made stops the import with its reason.
        QFile blocker(main.env.dir.filePath(u"Backup"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        main.withFile("mnImportADIF", adifFixture("desktop-logger.adi"));
        main.clickImport();
        QCOMPARE(looks(main.env.dialogs), QStringList(3, u"HM52 Critical Ok"_s));
        QCOMPARE(
            main.env.dialogs.texts().last(),
            u"The log could not be backed up before the import, so nothing was changed.\n\n"_s +
                blocker.fileName() + u" is a file, not a folder"_s);
        QCOMPARE(main.env.count(), 0);
        QVERIFY(main.report().isEmpty());
    }

    void exportWritesTheWholeLogWhereTheOperatorChose() {
        Main main;
        main.env.addQso({.mode = "CW", .band = "50 MHz"});
        const QString path = main.env.dir.filePath(u"out.adi"_s);
        main.withFile("mnExportADIF", path);
        QCOMPARE(main.env.dialogs.texts(), QStringList({u"1 QSO exported to "_s + path}));
        // The closing message says which QSOs other loggers cannot place, and why.
        // Only QSOs without exact values count: HF and MIXED with 20m and FM does not.
        main.env.addQso({.mode = "CW"});
        main.env.addQso(Qso{});
        radiotable::write(main.env.m.logDb, main.env.addQso(Qso{}),
                          {.band = u"20m"_s, .mode = u"FM"_s});
        main.withFile("mnExportADIF", path);
        QCOMPARE(bytesOf(path).count("<EOR>"), 4);
        QCOMPARE(main.env.dialogs.texts().last(),
                 u"4 QSOs exported to "_s + path +
                     u"\n\n2 of them without BAND and 1 without MODE: those QSOs hold only the "_s
                     u"award's categories (HF, VHF, UHF, SHF and SAT name no single band; MIXED "_s
                     u"and DIGITAL no single mode), typed without the exact band and mode of the "_s
                     u"Radio frame or imported without them. HM52 reads its own fields back "_s
                     u"exactly."_s);
    }
};

QTEST_MAIN(AdifWindowsTest)
#include "tst_adifwindows.moc"
