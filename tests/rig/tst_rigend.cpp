// The end of the rig's control never waits long for a rig that does not answer. In a program
// of its own: the worker left behind holds Hamlib until its connection gives up, minutes later.

#include "rig/RigControl.h"
#include "support/Rigctld.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTest>

#include <memory>

using namespace hm52::rig;
using namespace hm52::test;
using namespace Qt::StringLiterals;

class RigEndTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // A host that takes no connection holds Hamlib's connect for minutes.
    void theEndWaitsForNoRigThatDoesNotAnswer() {
        SilentPort hanging(SilentPort::Hanging);
        QVERIFY(hanging.isOpen());
        auto rig = std::make_unique<RigControl>();
        rig->connectRig({2, hanging.address(), 0});
        // The worker is inside Hamlib's connect by now.
        QTest::qWait(RigControl::pollMs);
        QCOMPARE(rig->state(), RigControl::State::Connecting);
        QElapsedTimer ending;
        ending.start();
        rig.reset();
        // Far less than the connect's minutes; the bound itself is the program's to choose.
        QVERIFY2(ending.elapsed() < 30000, qPrintable(QString::number(ending.elapsed())));
    }
};

QTEST_GUILESS_MAIN(RigEndTest)
#include "tst_rigend.moc"
