// Import ADIF... and Export ADIF... from the main window's Database menu: the file dialogs,
// the options, the progress with its Cancel, the report, the refresh of the other windows.

#include "adif/frmImportADIF.h"
#include "app/principale.h"
#include "backup/Backup.h"
#include "support/TestEnv.h"

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTimer>

using namespace hm52;
using namespace hm52::test;

namespace {

QString fixturePath(const char* name) {
    return QStringLiteral(HM52_SOURCE_DIR "/tests/adif/fixtures/") + QLatin1String(name);
}

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
    // Chooses a file in the file dialog and starts an import of it.
    void importFile(const QString& path) {
        env.fileDialogs.answer(path);
        trigger("mnImportADIF");
    }
    void clickImport() {
        QTest::mouseClick(child<QPushButton>(importWindow(), "cmdImport"), Qt::LeftButton);
    }
};

} // namespace

class AdifWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importAsksForTheFileThenImportsWithTheChosenOptions() {
        Main main;
        main.importFile(fixturePath("desktop-logger.adi"));
        QCOMPARE(main.env.fileDialogs.asked.size(), size_t{1});
        QVERIFY(!main.env.fileDialogs.asked[0].save);
        QVERIFY(main.env.fileDialogs.asked[0].filter.contains(u"*.adi"_s));
        frmImportADIF* w = main.importWindow();
        QVERIFY(w && w->isVisible());
        QVERIFY(child<QLineEdit>(w, "txtFile")->text().endsWith(u"desktop-logger.adi"_s));
        child<QCheckBox>(w, "chkLotw")->setChecked(true);
        main.clickImport();

        QVERIFY(!w->isVisible());
        QCOMPARE(main.env.count(), 3);
        QCOMPARE(main.env.count(u"call = 'IW3SAT' and qsl = 'c'"_s), 1);
        QCOMPARE(main.logChanges, 1); // the browser and the counter were refreshed
        QVERIFY(main.report().contains(u"Imported: 3"_s));
        QVERIFY(main.report().contains(u"Outside the award square: 2"_s));
        // The log was backed up before the import.
        QCOMPARE(backup::backupsIn(backup::folderFor(main.env.m.logDb.path())).size(), 1);
        QVERIFY(main.env.dialogs.shown.empty());
    }

    void noFileOrAnUnusableFileImportsOrExportsNothing() {
        Main main;
        main.trigger("mnImportADIF");
        QCOMPARE(main.importWindow(), nullptr);
        main.importFile(fixturePath("web-logbook.adi"));
        QTest::mouseClick(child<QPushButton>(main.importWindow(), "cmdCancel"), Qt::LeftButton);
        QCOMPARE(main.env.count(), 0);
        QCOMPARE(main.logChanges, 0);

        // A file that cannot be read is reported; one that cannot be written too.
        main.importFile(main.env.dir.filePath(u"missing.adi"_s));
        main.clickImport();
        main.env.fileDialogs.answer(main.env.dir.filePath(u"no/such/folder/x.adi"_s));
        main.trigger("mnExportADIF");
        QCOMPARE(looks(main.env.dialogs), QStringList(2, u"HM52 Critical Ok"_s));
        for (const QString& text : main.env.dialogs.texts()) {
            QVERIFY2(text.startsWith(u"The file "_s), qPrintable(text));
        }
        QCOMPARE(main.env.count(), 0);
    }

    void cancelInTheProgressDialogImportsNothing() {
        Main main;
        main.env.addQso(Qso{});
        main.importFile(fixturePath("desktop-logger.adi"));
        bool cancelled = false;
        QTimer::singleShot(0, &main.window, [&]() {
            if (auto* progress = main.window.findChild<QProgressDialog*>(u"progressImport"_s)) {
                progress->cancel();
                cancelled = true;
            }
        });
        main.clickImport();
        QVERIFY(cancelled);
        QCOMPARE(main.env.count(), 1);
        QCOMPARE(main.logChanges, 0);
        QVERIFY(main.report().contains(u"cancelled: nothing was imported"_s));
    }

    void aFailedBackupStopsTheImportWithItsReason() {
        Main main;
        QFile blocker(main.env.dir.filePath(u"Backup"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        main.importFile(fixturePath("desktop-logger.adi"));
        main.clickImport();
        QCOMPARE(main.env.count(), 0);
        QCOMPARE(looks(main.env.dialogs), QStringList({u"HM52 Critical Ok"_s}));
        const QString told = main.env.dialogs.texts()[0];
        QVERIFY(told.startsWith(u"The log could not be backed up before the import, so nothing "_s
                                u"was changed."_s));
        QVERIFY(told.contains(u"is a file, not a folder"_s));
        QVERIFY(main.report().isEmpty());
    }

    void exportWritesTheWholeLogWhereTheOperatorChose() {
        Main main;
        main.env.addQso(Qso{});
        main.env.addQso(Qso{});
        const QString path = main.env.dir.filePath(u"out.adi"_s);
        main.env.fileDialogs.answer(path);
        main.trigger("mnExportADIF");
        QCOMPARE(main.env.fileDialogs.asked.size(), size_t{1});
        QVERIFY(main.env.fileDialogs.asked[0].save);
        QVERIFY(main.env.fileDialogs.asked[0].suggested.endsWith(u".adi"_s));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("<EOR>"), 2);
        // The closing message says which QSOs other loggers cannot place, and why.
        QCOMPARE(main.env.dialogs.texts(),
                 QStringList({u"2 QSOs exported to "_s + path +
                              u"\n\n2 of them without BAND and 2 without MODE: the log keeps "_s
                              u"only the award's categories (HF, VHF, UHF, SHF and SAT name no "_s
                              u"single band; MIXED and DIGITAL no single mode), and those QSOs "_s
                              u"were typed or imported without them. HM52 reads its own fields "_s
                              u"back exactly."_s}));
        QCOMPARE(main.env.dialogs.shown[0].icon, Icon::Information);
        main.env.m.logDb.execute(u"delete from data where count = 2"_s);
        main.env.m.logDb.execute(u"update data set band = '50 MHz', mode = 'CW'"_s);
        main.env.fileDialogs.answer(path);
        main.trigger("mnExportADIF");
        QCOMPARE(main.env.dialogs.texts().last(), u"1 QSO exported to "_s + path);
    }
};

QTEST_MAIN(AdifWindowsTest)
#include "tst_adifwindows.moc"
