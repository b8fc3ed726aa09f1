// Where the program's files live: portable beside the executable, or installed with the log
// in the user's own data folder, made at the first start only when the operator wants it.

#include "app/Program.h"
#include "app/ProgramPaths.h"
#include "app/principale.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>

using namespace hm52;
using namespace hm52::test;

namespace {

// An installed tree under a temporary folder: <prefix>/bin with no gazetteer beside it,
// <prefix>/share/hm52 with the gazetteer, and a home whose data folder is `home`.
struct Installed {
    QTemporaryDir dir;
    QString bin = dir.filePath(u"usr/bin"_s);
    QString home = dir.filePath(u"home/data"_s);
    RecordingDialogs dialogs;
    RecordingShell shell;
    RecordingPrinters printers;

    Installed() {
        QDir().mkpath(bin);
        QDir().mkpath(dir.filePath(u"usr/share/hm52"_s));
        writeGazetteer(dir.filePath(u"usr/share/hm52/places.mdb"_s), smallGazetteer());
        qputenv("XDG_DATA_HOME", home.toUtf8());
    }
    QString log() const { return home + u"/HM52/data.mdb"_s; }
    std::unique_ptr<Program> program(bool newLog = false) {
        return std::make_unique<Program>(
            ProgramPaths::forExecutable(bin), dialogs, shell, printers.factory(), []() {}, newLog);
    }
};

} // namespace

class PathsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationName(u"HM52"_s); }

    void installedItMakesItsLogOnlyOnYesAndBesideAGazetteerItIsPortable() {
        Installed tree;
        tree.dialogs.answer(Answer::No);
        QVERIFY(!tree.program()->start());
        QCOMPARE(tree.dialogs.texts(), QStringList({u"There is no HM52 log at "_s + tree.log() +
                                                    u" yet.\n\nCreate a new, empty log there?"_s}));
        QVERIFY(!QFile::exists(tree.home));

        tree.dialogs.answer(Answer::Yes);
        auto program = tree.program();
        QVERIFY(program->start());
        program->finishStartWork();
        QCOMPARE(program->module().logDb.scalar(u"select count(*) from data"_s).toInt(), 0);
        program.reset();
        // The next start finds the log and asks nothing.
        tree.dialogs.shown.clear();
        QVERIFY(tree.program()->start());
        QVERIFY(tree.dialogs.shown.empty());

        // A gazetteer beside the executable makes the program portable. (That a portable
        // program refuses a missing log, and never makes one, the main window's tests guard.)
        writeGazetteer(tree.bin + u"/places.mdb"_s, smallGazetteer());
        const ProgramPaths paths = ProgramPaths::forExecutable(tree.bin);
        QVERIFY(!paths.installed);
        QCOMPARE(paths.logFolder + u'|' + paths.dataFolder, tree.bin + u'|' + tree.bin);
    }

    void aDataFolderThatCannotBeMadeIsSaidPlainly() {
        Installed tree;
        // A file where the folder should be.
        QVERIFY(QDir().mkpath(QFileInfo(tree.home).absolutePath()) &&
                QFile(tree.home).open(QIODevice::WriteOnly));
        QVERIFY(!tree.program(true)->start());
        QCOMPARE(
            tree.dialogs.texts(),
            QStringList{u"The new log %1 cannot be created: the folder %2 cannot be made.\n\n"
                        u"HM52 keeps its log in your data folder; make sure you can write "
                        u"there (or point XDG_DATA_HOME at a folder you can write) and start "
                        u"HM52 again."_s.arg(tree.log(), QFileInfo(tree.log()).absolutePath())});
    }
};

QTEST_MAIN(PathsTest)
#include "tst_paths.moc"
