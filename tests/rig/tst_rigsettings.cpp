// Where the rig's settings live: the settings file round-trips, and wrong command-line values
// and settings that cannot work are said. (The command line's settings serving one run without
// being written: tst_rigwindow.)

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

    // Saved in a folder of its own, made when missing. (A rig disconnected by hand stays so at
    // the next start: tst_rigwindow.)
    void theSettingsFileRoundTrips() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"HM52/rig.conf"_s);
        QCOMPARE(RigSettingsStore(path).save(ft817, true), QString());
        const RigSettingsStore read(path);
        QCOMPARE(read.saved(), ft817);
        QVERIFY(read.connectAtStart());
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
        const QString notHostPort = u"\"%1\" is neither a serial device (a path such as "
                                    u"/dev/ttyUSB0) nor the host:port of a rigctld (such as "
                                    u"localhost:4532)."_s;
        QTest::newRow("no model") << RigSettings{0, u"/dev/ttyUSB0"_s, 0} << noModel;
        QTest::newRow("host alone")
            << RigSettings{2, u"localhost"_s, 0} << notHostPort.arg(u"localhost"_s);
        QTest::newRow("device") << ft817 << QString();
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
