// The rig read through Hamlib against a real rigctld of Hamlib's dummy rig: readings follow
// the rig, a rig that stops answering is said while the main thread goes on, and a rig that
// comes back is read again.

#include "rig/RigControl.h"
#include "support/Rigctld.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using namespace hm52::rig;
using namespace hm52::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RigSettings)

namespace {

constexpr int patience = 20000; // ms: generous, for a loaded machine

// The longest time between two ticks of a timer on the main thread.
struct Heartbeat {
    QTimer timer;
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    Heartbeat() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout,
                         [this]() { longestGap = std::max(longestGap, sinceLast.restart()); });
        sinceLast.start();
        timer.start();
    }
};

} // namespace

class RigControlTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void readingsFollowTheRigAndComeOnlyWhenItChanges() {
        Rigctld rigctld;
        QVERIFY2(rigctld.start(), qPrintable(rigctld.failure()));
        RigControl rig;
        QSignalSpy readings(&rig, &RigControl::readingChanged);
        rig.connectRig({2, rigctld.address(), 0}); // model 2: Hamlib's NET rigctl
        QVERIFY2(rigctld.rigctl(u"F 144300000 M USB 2400"_s), qPrintable(rigctld.failure()));
        QTRY_VERIFY_WITH_TIMEOUT(!readings.isEmpty(), patience);
        QTRY_COMPARE_WITH_TIMEOUT(readings.last(), QVariantList({qint64(144300000), u"USB"_s}),
                                  patience);
        QCOMPARE(rig.stateText(), u"Rig: connected, 144.300 MHz USB"_s);

        // The rig stays where it is: several readings later, nothing new was signalled.
        const qsizetype signalled = readings.size();
        QTest::qWait(4 * RigControl::pollMs);
        QCOMPARE(readings.size(), signalled);
    }

    void aRigThatStopsAnsweringIsSaidAndReadAgainWhenItComesBack() {
        Rigctld rigctld;
        QVERIFY2(rigctld.start(), qPrintable(rigctld.failure()));
        RigControl rig;
        rig.connectRig({2, rigctld.address(), 0});
        QVERIFY2(rigctld.rigctl(u"F 144300000"_s), qPrintable(rigctld.failure()));
        QTRY_COMPARE_WITH_TIMEOUT(rig.reading().hz, 144300000, patience);

        rigctld.kill(); // waits for the process: timed before the heartbeat starts
        Heartbeat heartbeat;
        QTRY_COMPARE_WITH_TIMEOUT(rig.state(), RigControl::State::NotAnswering, patience);
        // Tried again and again, with the main thread turning meanwhile.
        QTest::qWait(3 * RigControl::retryMs);
        QVERIFY2(heartbeat.longestGap < 2 * HamlibRig::timeoutMs,
                 qPrintable(QString::number(heartbeat.longestGap)));

        // The same rigctld again, a fresh dummy rig: read again, at its own frequency.
        QVERIFY2(rigctld.start(), qPrintable(rigctld.failure()));
        QTRY_COMPARE_WITH_TIMEOUT(rig.state(), RigControl::State::Connected, patience);
        QVERIFY(rig.reading().hz != 144300000);
    }

    // Each try of a rig that takes the connection and never answers waits out Hamlib's
    // timeouts, well over a second: on the main thread that would stop its timer as long.
    void aSilentRigNeverHoldsUpTheMainThread() {
        SilentPort silent(SilentPort::Silent);
        QVERIFY(silent.isOpen());
        RigControl rig;
        Heartbeat heartbeat;
        rig.connectRig({2, silent.address(), 0});
        QTRY_COMPARE_WITH_TIMEOUT(rig.state(), RigControl::State::NotAnswering, patience);
        QCOMPARE(rig.stateText(), u"Rig: not answering (timeout), retrying\u2026"_s);
        QTest::qWait(3 * RigControl::retryMs);
        QVERIFY2(heartbeat.longestGap < 2 * HamlibRig::timeoutMs,
                 qPrintable(QString::number(heartbeat.longestGap)));
    }

    void disconnectingSaysSoAndSignalsNoMoreReadings() {
        Rigctld rigctld;
        QVERIFY2(rigctld.start(), qPrintable(rigctld.failure()));
        RigControl rig;
        rig.connectRig({2, rigctld.address(), 0});
        QTRY_COMPARE_WITH_TIMEOUT(rig.state(), RigControl::State::Connected, patience);
        QSignalSpy readings(&rig, &RigControl::readingChanged);
        rig.disconnectRig();
        QVERIFY2(rigctld.rigctl(u"F 7074000"_s), qPrintable(rigctld.failure()));
        QTest::qWait(3 * RigControl::pollMs);
        QVERIFY(readings.isEmpty());
        QCOMPARE(rig.stateText(), u"Rig: not connected"_s);
    }

    void settingsThatCannotWorkAreSaid_data() {
        QTest::addColumn<RigSettings>("settings");
        QTest::addColumn<QString>("text");
        QTest::newRow("unknown model")
            << RigSettings{999999, u"127.0.0.1:4532"_s, 0}
            << u"Rig: Hamlib knows no rig model 999999; choose one in Utility, Rig..."_s;
        QTest::newRow("unplugged device")
            << RigSettings{1, u"/dev/hm52-no-such-rig"_s, 9600}
            << u"Rig: /dev/hm52-no-such-rig is not there (is the rig's cable plugged in?), "
               u"retrying\u2026"_s;
    }

    void settingsThatCannotWorkAreSaid() {
        QFETCH(RigSettings, settings);
        QFETCH(QString, text);
        RigControl rig;
        rig.connectRig(settings);
        QTRY_COMPARE_WITH_TIMEOUT(rig.stateText(), text, patience);
    }
};

QTEST_GUILESS_MAIN(RigControlTest)
#include "tst_rigcontrol.moc"
