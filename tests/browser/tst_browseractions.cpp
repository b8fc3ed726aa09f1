// Editing and deleting the selected QSO from the log browser: which line an action works
// on, the refusals of accredited QSOs, the edit window filled from the stored row, and the
// list after a deletion.

#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "support/TestEnv.h"

#include <QMenu>

using namespace hm52;
using namespace hm52::test;

namespace {

// A browser on the whole log, active.
frmUtility& openBrowser(TestEnv& env) {
    frmUtility& b = env.registry->utility();
    b.showAny();
    showActive(&b);
    return b;
}

// Clicks the line that starts with a call.
void click(frmUtility& b, const QString& call, Qt::MouseButton button = Qt::LeftButton,
           bool twice = false) {
    auto* view = child<QListView>(&b, "List");
    for (int i = 0; i < b.lineCount(); ++i) {
        if (b.lineText(i).startsWith(call + u' ')) {
            const QPoint at = view->visualRect(view->model()->index(i, 0)).center();
            if (twice) {
                QTest::mouseDClick(view->viewport(), button, {}, at);
            } else {
                QTest::mouseClick(view->viewport(), button, {}, at);
            }
            return;
        }
    }
    QFAIL("no line of that call");
}

} // namespace

class BrowserActionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theEditWindowIsFilledFromTheStoredRow() {
        TestEnv env;
        env.addQso({.call = "I2XYZ",
                    .WWLocator = "AC",
                    .place = "PIAN D'OLMO",
                    .prov = "MV",
                    .mode = "CW",
                    .band = "VHF",
                    .date = "31/2/4",
                    .time = "19:05",
                    .qsl = "w"});
        // Imported with a place the gazetteer does not know: no province.
        const int seven = env.addQso({.call = "I3QQQ", .prov = "", .time = "07:05", .qsl = "c"});
        frmUtility& b = openBrowser(env);

        click(b, u"I2XYZ"_s);
        click(&b, "cmdEditQSO");
        auto* edit = qobject_cast<frmEditQSO*>(env.registry->loaded(Window::EditQSO));
        QVERIFY(edit && edit->isVisible());
        QCOMPARE(formText(*edit), u"AC|I2XYZ|31|02|04|1905|PIAN D'OLMO|MV|CW|VHF|w"_s);
        // The sub-square's change handler ran: the place list holds the places of HM52AC.
        QCOMPARE(itemTexts(edit->comboPlace), QStringList({"DELTA", "PIAN D'OLMO"}));
        QCOMPARE(edit->editCount, 1);
        QCOMPARE(env.m.sharedRs->sql(), u"select * from data where count =1;"_s);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit->txtWWLocator));

        // A second hand-over, by double-click, overwrites every field (the province saved
        // empty again, not MV); a one-digit hour gains its zero.
        showActive(&b);
        click(b, u"I3QQQ"_s);
        click(b, u"I3QQQ"_s, Qt::LeftButton, true);
        QCOMPARE(formText(*edit), u"AB|I3QQQ|05|01|04|0705|ALFA||MIXED|HF|c"_s);
        QCOMPARE(edit->editCount, seven);
        QVERIFY(env.dialogs.shown.empty());
        // The open edit window comes back to the front, the focus in the sub-square box.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(edit));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit->txtWWLocator));
    }

    void accreditedQsosAreNeitherEditedNorDeleted() {
        TestEnv env;
        env.addQso({.call = "I1AAA", .qsl = "a"});
        env.addQso({.call = "I2BBB", .qsl = "c"});
        frmUtility& b = openBrowser(env);
        click(b, u"I1AAA"_s);
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"You cannot edit an accreditated qso!",
                                                   "you cannot delete an accreditated QSO!"}));
        QCOMPARE(looks(env.dialogs), QStringList(2, u"HM52 Critical Ok"_s));
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
        QCOMPARE(env.count(), 2);

        // Listed as confirmed, accredited since: the action reads the log again and refuses.
        click(b, u"I2BBB"_s);
        env.m.logDb.execute("update data set qsl = 'a' where call = 'I2BBB'");
        env.dialogs.clear();
        b.List_DblClick();
        QCOMPARE(env.dialogs.texts(), QStringList{"You cannot edit an accreditated qso!"});
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
    }

    void deleteAsksAndRemovesOnlyOnOkDownToAnEmptySearch() {
        TestEnv env;
        env.addQso({.call = "I1AAA", .qsl = "c"});
        env.addQso({.call = "I2BBB", .qsl = "w"});
        frmUtility& b = openBrowser(env);
        auto* worked = child<QLabel>(&env.registry->load(Window::Award), "lblHFw");
        QCOMPARE(worked->text(), u"1"_s);
        click(b, u"I2BBB"_s);
        const int line = b.selectedLine();
        QVERIFY(b.lineText(line).startsWith(u"I2BBB"_s));

        env.dialogs.answer(Answer::Cancel);
        click(&b, "cmdDeleteQSO");
        QCOMPARE(env.dialogs.texts(),
                 QStringList({"are you sure you want to permanently delete this QSO from the "
                              "Logbook?"}));
        QCOMPARE(looks(env.dialogs), QStringList({"HM52 Critical OkCancel"}));
        QCOMPARE(env.count(), 2);
        QCOMPARE(b.selectedLine(), line);

        env.dialogs.answer(Answer::Ok);
        b.cmdDeleteQSO_Click();
        QCOMPARE(env.count(), 1);
        QCOMPARE(env.count("call = 'I2BBB'"), 0);
        QCOMPARE(b.lineCount(), 1);
        QCOMPARE(b.selectedLine(), -1);
        QCOMPARE(worked->text(), u"0"_s); // the counter recounted

        // The only line of a search deleted: an empty list.
        env.addQso({.call = "I9ONLY"});
        env.dialogs.type(u"I9ONLY"_s);
        b.cmdCall_Click();
        QCOMPARE(b.lineCount(), 1);
        click(b, u"I9ONLY"_s);
        env.dialogs.answer(Answer::Ok);
        b.cmdDeleteQSO_Click();
        QCOMPARE(b.lineCount(), 0);
        QCOMPARE(env.count(), 1);
    }

    void theRightButtonActsOnTheSelectedLineAndNeverSelects() {
        TestEnv env;
        env.addQso({.call = "I1AAA"});
        env.addQso({.call = "I2BBB"});
        frmUtility& b = openBrowser(env);
        auto* popup = child<QMenu>(&b, "mnPopup");
        QStringList entries;
        for (QAction* action : popup->actions()) {
            entries << action->objectName() + u'=' + action->text();
        }
        QCOMPARE(popup->title(), u"Popup"_s);
        QCOMPARE(entries, QStringList({"mnEditQSO=&Edit QSO", "mnDeleteQSO=&Delete QSO"}));

        // No selection: no menu, and the buttons and a double-click do nothing.
        click(b, u"I1AAA"_s, Qt::RightButton);
        QCOMPARE(b.selectedLine(), -1);
        QVERIFY(!popup->isVisible());
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        b.List_DblClick();
        QVERIFY(env.dialogs.shown.empty());
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);

        // A right click on another line opens the menu for the line selected before.
        click(b, u"I1AAA"_s);
        const int first = b.selectedLine();
        click(b, u"I2BBB"_s, Qt::RightButton);
        QCOMPARE(b.selectedLine(), first);
        QTRY_VERIFY(popup->isVisible());
        popup->hide();
        env.dialogs.answer(Answer::Ok);
        child<QAction>(&b, "mnDeleteQSO")->trigger();
        QCOMPARE(env.count("call = 'I1AAA'"), 0);
        QCOMPARE(env.count("call = 'I2BBB'"), 1);
    }

    void aQsoDeletedMeanwhileIsReportedAndTheListRefreshed() {
        TestEnv env;
        env.addQso({.call = "I1AAA"});
        env.addQso({.call = "I2BBB"});
        frmUtility& b = openBrowser(env);
        click(b, u"I2BBB"_s);
        env.m.logDb.execute("delete from data where call = 'I2BBB'");
        b.cmdEditQSO_Click();
        QCOMPARE(env.dialogs.texts(), QStringList{"this QSO is no longer in the Logbook!"});
        QCOMPARE(b.lineCount(), 1);
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
    }
};

QTEST_MAIN(BrowserActionsTest)
#include "tst_browseractions.moc"
