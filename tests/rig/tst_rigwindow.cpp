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

QString chosenModel(const frmRig& w) {
    const QTreeWidgetItem* item = child<QTreeWidget>(&w, "lstRigModels")->currentItem();
    return item != nullptr ? item->text(2) : QString();
}

} // namespace

class RigWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env; // made afresh for every case

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { env = std::make_unique<TestEnv>(); }
    void cleanup() { env.reset(); }

    void theSearchFiltersHamlibsModels_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("maker and model") << u"hamlib net rig"_s << u"2"_s;
        QTest::newRow("nothing") << u"xyzzy"_s << QString();
    }

    void theSearchFiltersHamlibsModels() {
        QFETCH(QString, search);
        QFETCH(QString, chosen);
        frmRig& w = shownWithModels(*env);
        const int all = shownModels(w).size();
        QTest::keyClicks(child<QLineEdit>(&w, "txtRigSearch"), search);
        const QStringList shown = shownModels(w);
        QVERIFY(shown.size() < all);
        for (const QString& row : shown) {
            for (const QString& word : search.split(u' ')) {
                QVERIFY2(row.contains(word, Qt::CaseInsensitive), qPrintable(row));
            }
        }
        // A search that leaves one model chooses it.
        QCOMPARE(shown.size() == 1 ? shown.first().section(u'|', 2) : QString(), chosen);
        QCOMPARE(chosenModel(w), chosen);
        child<QLineEdit>(&w, "txtRigSearch")->clear();
        QCOMPARE(shownModels(w).size(), all);
    }

    void connectingWithSettingsThatCannotWorkIsRefused_data() {
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty port") << u"NET rigctl"_s << QString() << noPort << u"txtRigPort"_s;
        QTest::newRow("no model") << u"xyzzy"_s << u"localhost:4532"_s
                                  << u"Choose your rig's model in the list (type part of its "
                                     u"name or its number in the search box to find it)."_s
                                  << u"txtRigSearch"_s;
        QTest::newRow("unknown model number")
            << u"999999"_s << u"localhost:4532"_s
            << u"Hamlib knows no rig model 999999. Choose your rig's model in the list (type "
               u"part of its name in the search box to find it)."_s
            << u"txtRigSearch"_s;
    }

    void connectingWithSettingsThatCannotWorkIsRefused() {
        QFETCH(QString, search);
        QFETCH(QString, port);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        frmRig& w = shownWithModels(*env);
        showActive(&w);
        QTest::keyClicks(child<QLineEdit>(&w, "txtRigSearch"), search);
        child<QLineEdit>(&w, "txtRigPort")->setText(port);
        click(&w, "cmdConnect");
        QCOMPARE(env->dialogs.texts(), QStringList{message});
        QCOMPARE(looks(env->dialogs), QStringList{u"Rig Critical Ok"_s});
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(texts(&w, "lblRigState"), u"Rig: not connected"_s);
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
        QCOMPARE(QApplication::focusWidget()->objectName(), u"txtRigPort"_s);
        typeAtFocus(rigctld.address());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(env->dialogs.shown.empty());
        QCOMPARE(env->rigSettings.saved(), (RigSettings{2, rigctld.address(), 0}));
        QVERIFY(env->rigSettings.connectAtStart());

        QTRY_VERIFY_WITH_TIMEOUT(texts(&w, "lblRigState").startsWith(u"Rig: connected, "_s),
                                 patience);
        click(&w, "cmdDisconnect");
        QCOMPARE(texts(&w, "lblRigState"), u"Rig: not connected"_s);
        QVERIFY(!env->rigSettings.connectAtStart());
        QCOMPARE(env->rigSettings.saved(), (RigSettings{2, rigctld.address(), 0}));
        click(&w, "cmdExit");
        QVERIFY(!w.isVisible());
    }

    void theWindowShowsTheSettingsInForce() {
        env->rigSettings.save({2, u"localhost:4532"_s, 19200}, false);
        frmRig& w = shownWithModels(*env);
        QCOMPARE(texts(&w, "txtRigPort comboRigSpeed"), u"localhost:4532|19200"_s);
        QCOMPARE(chosenModel(w), u"2"_s);
    }

    void aRigGivenForTheRunIsNotSavedOnConnect() {
        const RigSettings saved{1, u"localhost:4532"_s, 0};
        env->rigSettings.save(saved, false);
        env->rigSettings.setSession({2, u"localhost:4533"_s, {}});
        frmRig& w = shownWithModels(*env);
        QCOMPARE(texts(&w, "txtRigPort"), u"localhost:4533"_s);
        click(&w, "cmdConnect");
        QCOMPARE(env->rig.settings(), (RigSettings{2, u"localhost:4533"_s, 0}));
        QCOMPARE(env->rigSettings.saved(), saved);
        QVERIFY(!env->rigSettings.connectAtStart());

        // Changed by hand, the settings are the operator's choice, and saved.
        child<QLineEdit>(&w, "txtRigPort")->setText(u"localhost:4534"_s);
        click(&w, "cmdConnect");
        QCOMPARE(env->rigSettings.saved(), (RigSettings{2, u"localhost:4534"_s, 0}));
        QVERIFY(env->dialogs.shown.empty());
    }

    void theProgramConnectsTheRigAtStartWhenTheSettingsSaySo_data() {
        QTest::addColumn<bool>("connectAtStart");
        QTest::addColumn<QString>("commandLinePort");
        QTest::addColumn<QString>("state");
        QTest::newRow("saved, connected")
            << true << QString() << u"Rig: connecting to localhost:4532\u2026"_s;
        QTest::newRow("saved, disconnected") << false << QString() << u"Rig: not connected"_s;
        QTest::newRow("command line")
            << false << u"localhost:4533"_s << u"Rig: connecting to localhost:4533\u2026"_s;
    }

    void theProgramConnectsTheRigAtStartWhenTheSettingsSaySo() {
        QFETCH(bool, connectAtStart);
        QFETCH(QString, commandLinePort);
        QFETCH(QString, state);
        const QString path = env->dir.filePath(u"rig.conf"_s);
        RigSettingsStore(path).save({2, u"localhost:4532"_s, 0}, connectAtStart);
        ProgramRun run(env->dir.path());
        QString error;
        run.program->setRig(path, parseOverrides({}, commandLinePort, {}, &error));
        QVERIFY(run.program->start());
        QCOMPARE(run.program->rig().stateText(), state);
        QCOMPARE(RigSettingsStore(path).saved(), (RigSettings{2, u"localhost:4532"_s, 0}));
    }

    // A model with no port anywhere: said once the main window is up, and nothing is tried.
    void aRigGivenWithoutItsPortIsSaidAtStart() {
        ProgramRun run(env->dir.path());
        QString error;
        run.program->setRig({}, parseOverrides(u"2"_s, {}, {}, &error));
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
        QCOMPARE(w.lblRig->text(), env->rig.stateText());

        // The rig goes: the QSO and the last reading stay.
        rigctld.kill();
        QTRY_VERIFY_WITH_TIMEOUT(w.lblRig->text().contains(u"not answering"_s), patience);
        QCOMPARE(radioText(w), u"VHF|2m|144.300|SSB|USB"_s);
        QCOMPARE(boxState(w.txtCall), u"I1ABC *"_s);
        QCOMPARE(formText(w).section(u'|', 0, 6), typed.section(u'|', 0, 6));
    }
};

QTEST_MAIN(RigWindowTest)
#include "tst_rigwindow.moc"
