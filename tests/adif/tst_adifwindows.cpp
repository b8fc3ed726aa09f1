// Import ADIF... and Export ADIF... from the main window's Database menu: the file dialogs,
// the options, the progress with its Cancel, the report, the refresh of the other windows.

#include "adif/frmImportADIF.h"
#include "app/principale.h"
#include "backup/Backup.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
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
        env.registry->onLogChanged([this]() { ++logChanges; });
    }
    void trigger(const char* entry) {
        window.findChild<QAction*>(QString::fromLatin1(entry))->trigger();
    }
    frmImportADIF* importWindow() { return window.findChild<frmImportADIF*>(); }
    QString report() {
        auto* shown = window.findChild<frmImportReport*>();
        return shown != nullptr && shown->isVisible()
                   ? shown->findChild<QPlainTextEdit*>(QStringLiteral("txtReport"))->toPlainText()
                   : QString();
    }
    void clickImport() {
        QTest::mouseClick(importWindow()->findChild<QPushButton*>(QStringLiteral("cmdImport")),
                          Qt::LeftButton);
    }
};

} // namespace

class AdifWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void importAsksForTheFileThenImportsWithTheChosenOptions() {
        Main main;
        main.env.fileDialogs.answer(fixturePath("desktop-logger.adi"));
        main.trigger("mnImportADIF");
        QCOMPARE(main.env.fileDialogs.asked.size(), size_t{1});
        QVERIFY(!main.env.fileDialogs.asked[0].save);
        QVERIFY(main.env.fileDialogs.asked[0].filter.contains(QStringLiteral("*.adi")));
        frmImportADIF* w = main.importWindow();
        QVERIFY(w && w->isVisible());
        QVERIFY(w->findChild<QLineEdit*>(QStringLiteral("txtFile"))
                    ->text()
                    .endsWith(QStringLiteral("desktop-logger.adi")));
        w->findChild<QCheckBox*>(QStringLiteral("chkLotw"))->setChecked(true);
        main.clickImport();

        QVERIFY(!w->isVisible());
        QCOMPARE(main.env.count(), qint64{3});
        QCOMPARE(main.env.count(QStringLiteral("call = 'IW3SAT' and qsl = 'c'")), qint64{1});
        QCOMPARE(main.logChanges, 1); // the browser and the counter were refreshed
        QVERIFY(main.report().contains(QStringLiteral("Imported: 3")));
        QVERIFY(main.report().contains(QStringLiteral("Outside the award square: 2")));
        // The log was backed up before the import.
        QCOMPARE(backup::backupsIn(backup::folderFor(main.env.m.logDb.path())).size(), 1);
        QVERIFY(main.env.dialogs.shown.empty());
    }

    void noFileChosenImportsNothing() {
        Main main;
        main.trigger("mnImportADIF");
        QCOMPARE(main.importWindow(), nullptr);
        main.env.fileDialogs.answer(fixturePath("web-logbook.adi"));
        main.trigger("mnImportADIF");
        QTest::mouseClick(main.importWindow()->findChild<QPushButton*>(QStringLiteral("cmdCancel")),
                          Qt::LeftButton);
        QCOMPARE(main.env.count(), qint64{0});
        QCOMPARE(main.logChanges, 0);
    }

    void cancelInTheProgressDialogImportsNothing() {
        Main main;
        main.env.addQso(Qso{});
        main.env.fileDialogs.answer(fixturePath("desktop-logger.adi"));
        main.trigger("mnImportADIF");
        bool cancelled = false;
        QTimer::singleShot(0, &main.window, [&]() {
            if (auto* progress =
                    main.window.findChild<QProgressDialog*>(QStringLiteral("progressImport"))) {
                progress->cancel();
                cancelled = true;
            }
        });
        main.clickImport();
        QVERIFY(cancelled);
        QCOMPARE(main.env.count(), qint64{1});
        QCOMPARE(main.logChanges, 0);
        QVERIFY(main.report().contains(QStringLiteral("cancelled: nothing was imported")));
    }

    void aFailedBackupStopsTheImportWithItsReason() {
        Main main;
        QFile blocker(main.env.dir.filePath(QStringLiteral("Backup")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        main.env.fileDialogs.answer(fixturePath("desktop-logger.adi"));
        main.trigger("mnImportADIF");
        main.clickImport();
        QCOMPARE(main.env.count(), qint64{0});
        QCOMPARE(main.env.dialogs.shown.size(), size_t{1});
        const ShownBox& box = main.env.dialogs.shown[0];
        QCOMPARE(box.icon, Icon::Critical);
        QVERIFY(box.text.startsWith(
            QStringLiteral("The log could not be backed up before the import, so nothing was "
                           "changed.")));
        QVERIFY(box.text.contains(QStringLiteral("is a file, not a folder")));
        QVERIFY(main.report().isEmpty());
    }

    void anUnreadableFileIsReported() {
        Main main;
        main.env.fileDialogs.answer(main.env.dir.filePath(QStringLiteral("missing.adi")));
        main.trigger("mnImportADIF");
        main.clickImport();
        QCOMPARE(main.env.dialogs.shown.size(), size_t{1});
        QVERIFY(main.env.dialogs.shown[0].text.startsWith(QStringLiteral("The file ")));
        QCOMPARE(main.env.count(), qint64{0});
    }

    void exportWritesTheWholeLogWhereTheOperatorChose() {
        Main main;
        main.env.addQso(Qso{});
        main.env.addQso(Qso{});
        const QString path = main.env.dir.filePath(QStringLiteral("out.adi"));
        main.env.fileDialogs.answer(path);
        main.trigger("mnExportADIF");
        QCOMPARE(main.env.fileDialogs.asked.size(), size_t{1});
        QVERIFY(main.env.fileDialogs.asked[0].save);
        QVERIFY(main.env.fileDialogs.asked[0].suggested.endsWith(QStringLiteral(".adi")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count("<EOR>"), qsizetype{2});
        QCOMPARE(main.env.dialogs.texts(),
                 QStringList({QStringLiteral("2 QSOs exported to ") + path}));
        QCOMPARE(main.env.dialogs.shown[0].icon, Icon::Information);
        main.env.m.logDb.execute(QStringLiteral("delete from data where count = 2"));
        main.env.fileDialogs.answer(path);
        main.trigger("mnExportADIF");
        QCOMPARE(main.env.dialogs.texts().last(), QStringLiteral("1 QSO exported to ") + path);
    }

    void anExportThatCannotBeWrittenSaysSo() {
        Main main;
        main.env.fileDialogs.answer(main.env.dir.filePath(QStringLiteral("no/such/folder/x.adi")));
        main.trigger("mnExportADIF");
        QCOMPARE(main.env.dialogs.shown.size(), size_t{1});
        QCOMPARE(main.env.dialogs.shown[0].icon, Icon::Critical);
        QVERIFY(main.env.dialogs.shown[0].text.startsWith(QStringLiteral("The file ")));
    }
};

QTEST_MAIN(AdifWindowsTest)
#include "tst_adifwindows.moc"
