// The Rig window: Hamlib's models searched, settings that cannot work refused with what to do,
// Connect saving and the state line following the rig; and the rig connected at the program's
// start when the settings or the command line say so.

#include "app/Program.h"
#include "rigwindow/frmRig.h"
#include "support/QsoForms.h"
#include "support/Rigctld.h"

#include <QStandardPaths>
#include <QTreeWidget>

using namespace hm52;
using namespace hm52::rig;
using namespace hm52::test;

namespace {

constexpr int patience = 20000; // ms

const QString noPort = u"Type the rig's port: its serial device (such as /dev/ttyUSB0) or the "
                       u"host:port of a rigctld (such as localhost:4532)."_s;

// The window shown, with Hamlib's models listed.
frmRig& shownWithModels(TestEnv& env) {
    env.registry->show(Window::Rig);
    auto& w = env.registry->rigWindow();
    const auto* list = child<QTreeWidget>(&w, "lstRigModels");
    if (!QTest::qWaitFor([list]() { return list->topLevelItemCount() > 0; }, patience)) {
        qFatal("Hamlib's models were not listed");
    }
    return w;
}

// The rows the search leaves, as "manufacturer|model|number".
QStringList shownModels(const frmRig& w) {
    QStringList shown;
    for (const auto* item :
         child<QTreeWidget>(&w, "lstRigModels")->findItems({}, Qt::MatchContains)) {
        if (!item->isHidden()) {
            shown << item->text(0) + u'|' + item->text(1) + u'|' + item->text(2);
        }
    }
    return shown;
}

} // namespace

class RigWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env; // made afresh for every case

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { env = std::make_unique<TestEnv>(); }
    void cleanup() { env.reset(); }

    // (A search that leaves one model chooses it: connecting by keyboard below.)
    void theSearchFiltersHamlibsModels() {
        frmRig& w = shownWithModels(*env);
        QTest::keyClicks(child<QLineEdit>(&w, "txtRigSearch"), u"hamlib net rig"_s);
        QCOMPARE(shownModels(w), QStringList{u"Hamlib|NET rigctl|2"_s});
    }

    void connectingWithSettingsThatCannotWorkIsRefused_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty port") << u"NET rigctl"_s << noPort << u"txtRigPort"_s;
        QTest::newRow("unknown model number")
            << u"999999"_s
            << u"Hamlib knows no rig model 999999. Choose your rig's model in the list (type "
               u"part of its name in the search box to find it)."_s
            << u"txtRigSearch"_s;
    }

    void connectingWithSettingsThatCannotWorkIsRefused() {
        QFETCH(QString, search);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        frmRig& w = shownWithModels(*env);
        showActive(&w);
        QTest::keyClicks(child<QLineEdit>(&w, "txtRigSearch"), search);
        click(&w, "cmdConnect");
        QCOMPARE(env->dialogs.texts(), QStringList{message});
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(env->rigSettings.saved().isEmpty());
    }

    // By keyboard alone: the search, the port, Enter. (The state's texts as the rig changes:
    // tst_rigcontrol.)
    void connectingSavesTheSettingsAndTheStateLineFollowsTheRig() {
        Rigctld rigctld;
        QVERIFY2(rigctld.start(), qPrintable(rigctld.failure()));
        frmRig& w = shownWithModels(*env);
        showActive(&w);
        typeAtFocus(u"NET rigctl"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        typeAtFocus(rigctld.address());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(env->rigSettings.saved(), (RigSettings{2, rigctld.address(), 0}));
        QVERIFY(env->rigSettings.connectAtStart());

        QTRY_VERIFY_WITH_TIMEOUT(texts(&w, "lblRigState").startsWith(u"Rig: connected, "_s),
                                 patience);
        click(&w, "cmdDisconnect");
        QCOMPARE(texts(&w, "lblRigState"), u"Rig: not connected"_s);
        QVERIFY(!env->rigSettings.connectAtStart());
        click(&w, "cmdExit");
        QVERIFY(!w.isVisible());
    }

    // The window shows the settings in force, the saved ones with those given for the run over
    // them; connecting with these keeps the run's out of the file.
    void aRigGivenForTheRunIsShownAndNotSavedOnConnect() {
        const RigSettings saved{1, u"localhost:4532"_s, 19200};
        env->rigSettings.save(saved, false);
        env->rigSettings.setSession({2, u"localhost:4533"_s, {}});
        click(&shownWithModels(*env), "cmdConnect"); // with what the window shows
        QCOMPARE(env->rig.settings(), (RigSettings{2, u"localhost:4533"_s, 19200}));
        QCOMPARE(env->rigSettings.saved(), saved);
    }

    void theProgramConnectsTheRigAtStartWhenTheSettingsSaySo_data() {
        QTest::addColumn<bool>("connectAtStart");
        QTest::addColumn<QString>("state");
        QTest::newRow("connected") << true << u"Rig: connecting to localhost:4532\u2026"_s;
        QTest::newRow("disconnected by hand") << false << u"Rig: not connected"_s;
    }

    void theProgramConnectsTheRigAtStartWhenTheSettingsSaySo() {
        QFETCH(bool, connectAtStart);
        QFETCH(QString, state);
        const QString path = env->dir.filePath(u"rig.conf"_s);
        RigSettingsStore(path).save({2, u"localhost:4532"_s, 0}, connectAtStart);
        ProgramRun run(env->dir.path());
        run.program->setRig(path, {});
        QVERIFY(run.program->start());
        QCOMPARE(run.program->rig().stateText(), state);
    }

    // A model with no port anywhere: said once the main window is up, and nothing is tried.
    void aRigGivenWithoutItsPortIsSaidAtStart() {
        ProgramRun run(env->dir.path());
        run.program->setRig({}, parseOverrides(u"2"_s, {}, {}, nullptr));
        QVERIFY(run.program->start());
        QTRY_COMPARE(run.dialogs.texts(), QStringList{u"The rig cannot be connected: "_s + noPort +
                                                      u"\n\nSet it in Utility, Rig..."_s});
        QCOMPARE(run.program->rig().state(), RigControl::State::NotConnected);
    }

    // An open QSO form follows the real rig; a rig that stops answering is said beside the
    // Radio frame and the typed QSO stays whole (the fields untouched by a reading and the main
    // thread turning while the rig is away: tst_radioframe, tst_rigcontrol).
    void anOpenQsoFormFollowsTheRigAndKeepsItsQsoWhenTheRigGoes() {
        Rigctld rigctld;
        QVERIFY2(rigctld.start(), qPrintable(rigctld.failure()));
        env->registry->show(Window::InsertQSO);
        frmInsertQSO& w = env->registry->insertQSO();
        showActive(&w);
        typeAtFocus(u"abi1abc"_s); // the sub-square, then the call
        const QString typed = formText(w);

        env->rig.connectRig({2, rigctld.address(), 0});
        QVERIFY2(rigctld.rigctl(u"F 144300000 M USB 2400"_s), qPrintable(rigctld.failure()));
        QTRY_COMPARE_WITH_TIMEOUT(radioText(w), u"VHF|2m|144.300|SSB|USB"_s, patience);

        // The rig goes: the QSO and the last reading stay.
        rigctld.kill();
        QTRY_VERIFY_WITH_TIMEOUT(w.lblRig->text().contains(u"not answering"_s), patience);
        QCOMPARE(radioText(w), u"VHF|2m|144.300|SSB|USB"_s);
        QCOMPARE(formText(w).section(u'|', 0, 6), typed.section(u'|', 0, 6));
    }
};

QTEST_MAIN(RigWindowTest)
#include "tst_rigwindow.moc"
