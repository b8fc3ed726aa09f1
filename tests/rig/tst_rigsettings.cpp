// Where the rig's settings live: the settings file round-trips, the command line's settings
// serve one run without being written, and settings that cannot work are said.

#include "rig/RigSettings.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace hm52::rig;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RigSettings)

namespace {

const RigSettings ft817{1020, u"/dev/ttyUSB0"_s, 9600};

} // namespace

class RigSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Saved in a folder of its own, made when missing; a rig disconnected by hand stays so at
    // the next start.
    void theSettingsFileRoundTrips_data() {
        QTest::addColumn<bool>("connect");
        QTest::newRow("connected") << true;
        QTest::newRow("disconnected by hand") << false;
    }
    void theSettingsFileRoundTrips() {
        QFETCH(bool, connect);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"HM52/rig.conf"_s);
        QCOMPARE(RigSettingsStore(path).save(ft817, connect), QString());
        const RigSettingsStore read(path);
        QCOMPARE(read.saved(), ft817);
        QCOMPARE(read.connectAtStart(), connect);
        QCOMPARE(read.startsConnected(), connect);
    }

    void noSettingsFileMeansNoRigAtStart() {
        QTemporaryDir dir;
        const RigSettingsStore store(dir.filePath(u"rig.conf"_s));
        QVERIFY(store.saved().isEmpty() && !store.startsConnected());
        QVERIFY(!QFile::exists(store.path()));
    }

    void theCommandLineOverridesForOneRunWithoutBeingSaved() {
        QTemporaryDir dir;
        RigSettingsStore store(dir.filePath(u"rig.conf"_s));
        store.save(ft817, false);
        QString error;
        store.setSession(parseOverrides(u"2"_s, u"127.0.0.1:4532"_s, {}, &error));
        QCOMPARE(error, QString());
        const RigSettings session{2, u"127.0.0.1:4532"_s, 9600};
        QCOMPARE(store.inForce(), session);
        QVERIFY(store.startsConnected());
        // Connecting with the session's own settings keeps them out of the file; any other
        // choice is the operator's, and is saved.
        QVERIFY(!store.savesOnConnect(session));
        QVERIFY(store.savesOnConnect({2, u"127.0.0.1:4533"_s, 9600}));
        QCOMPARE(RigSettingsStore(store.path()).saved(), ft817);
    }

    void theCommandLinesWrongValuesAreSaid_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("error");
        QTest::newRow("model") << u"ft817"_s << QString()
                               << u"--rig-model takes the rig's number in Hamlib's list (rigctl "
                                  u"-l lists them), not \"ft817\""_s;
        QTest::newRow("speed") << u"2"_s << u"1234"_s
                               << u"--rig-speed takes one of 1200, 2400, 4800, 9600, 19200, "
                                  u"38400, 57600, 115200 (or 0 for the rig's own), not \"1234\""_s;
    }

    void theCommandLinesWrongValuesAreSaid() {
        QFETCH(QString, model);
        QFETCH(QString, speed);
        QFETCH(QString, error);
        QString said;
        parseOverrides(model, u"/dev/ttyUSB0"_s, speed, &said);
        QCOMPARE(said, error);
    }

    void settingsThatCannotWorkAreSaid_data() {
        QTest::addColumn<RigSettings>("settings");
        QTest::addColumn<QString>("problem");
        const QString noModel = u"Choose your rig's model in the list (type part of its name or "
                                u"its number in the search box to find it)."_s;
        const QString noPort = u"Type the rig's port: its serial device (such as /dev/ttyUSB0) "
                               u"or the host:port of a rigctld (such as localhost:4532)."_s;
        const QString notHostPort = u"\"%1\" is neither a serial device (a path such as "
                                    u"/dev/ttyUSB0) nor the host:port of a rigctld (such as "
                                    u"localhost:4532)."_s;
        QTest::newRow("no model") << RigSettings{0, u"/dev/ttyUSB0"_s, 0} << noModel;
        QTest::newRow("no port") << RigSettings{2, u"  "_s, 0} << noPort;
        QTest::newRow("host alone")
            << RigSettings{2, u"localhost"_s, 0} << notHostPort.arg(u"localhost"_s);
        QTest::newRow("port out of range")
            << RigSettings{2, u"localhost:70000"_s, 0} << notHostPort.arg(u"localhost:70000"_s);
        QTest::newRow("device") << ft817 << QString();
        QTest::newRow("rigctld") << RigSettings{2, u"localhost:4532"_s, 0} << QString();
    }

    void settingsThatCannotWorkAreSaid() {
        QFETCH(RigSettings, settings);
        QFETCH(QString, problem);
        QCOMPARE(settingsProblem(settings), problem);
    }

    void aSettingsFileThatCannotBeWrittenIsSaid() {
        QTemporaryDir dir;
        QVERIFY(QFile(dir.filePath(u"HM52"_s)).open(QIODevice::WriteOnly)); // where the folder goes
        const QString path = dir.filePath(u"HM52/rig.conf"_s);
        QCOMPARE(RigSettingsStore(path).save(ft817, true),
                 u"The rig settings could not be written to %1: check that you can write in "
                 u"that folder."_s.arg(path));
    }
};

QTEST_GUILESS_MAIN(RigSettingsTest)
#include "tst_rigsettings.moc"
