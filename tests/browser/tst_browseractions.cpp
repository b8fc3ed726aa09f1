// Editing and deleting the selected QSO from the log browser: which line an action works
// on, the refusals of accredited QSOs, the edit window filled from the stored row, and the
// list after a deletion.

#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "support/TestEnv.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace hm52;
using namespace hm52::test;

class BrowserActionsTest : public QObject {
    Q_OBJECT

private:
    static QListView* list(frmUtility& b) { return b.findChild<QListView*>("List"); }

    static void click(frmUtility& b, int line, Qt::MouseButton button = Qt::LeftButton) {
        QListView* view = list(b);
        const QRect r = view->visualRect(view->model()->index(line, 0));
        QTest::mouseClick(view->viewport(), button, {}, r.center());
    }

    static frmUtility& openBrowser(TestEnv& env) {
        frmUtility& b = env.registry->utility();
        b.showAny();
        showActive(&b);
        return b;
    }

    static int lineOfCall(frmUtility& b, const QString& call) {
        for (int i = 0; i < b.lineCount(); ++i) {
            if (b.lineText(i).startsWith(call + u' ')) {
                return i;
            }
        }
        return -1;
    }

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

        click(b, lineOfCall(b, "I2XYZ"));
        b.findChild<QPushButton*>("cmdEditQSO")->click();
        frmEditQSO* edit = qobject_cast<frmEditQSO*>(env.registry->loaded(Window::EditQSO));
        QVERIFY(edit && edit->isVisible());
        QCOMPARE(edit->txtWWLocator->text(), QStringLiteral("AC"));
        QCOMPARE(edit->txtCall->text(), QStringLiteral("I2XYZ"));
        QCOMPARE(edit->txtTime->text(), QStringLiteral("1905"));
        QCOMPARE(edit->txtDate[0]->text(), QStringLiteral("31"));
        QCOMPARE(edit->txtDate[1]->text(), QStringLiteral("02"));
        QCOMPARE(edit->txtDate[2]->text(), QStringLiteral("04"));
        QCOMPARE(edit->comboPlace->currentText(), QStringLiteral("PIAN D'OLMO"));
        // The sub-square's change handler ran: the place list holds the places of HM52AC.
        QCOMPARE(edit->comboPlace->count(), 2);
        QCOMPARE(edit->comboPlace->itemText(0), QStringLiteral("DELTA"));
        QCOMPARE(edit->comboProv->currentText(), QStringLiteral("MV"));
        QCOMPARE(edit->comboMode->currentText(), QStringLiteral("CW"));
        QCOMPARE(edit->comboBand->currentText(), QStringLiteral("VHF"));
        QVERIFY(edit->optQSLworked->isChecked());
        QCOMPARE(edit->editCount, 1);
        QCOMPARE(env.m.sharedRs->sql(), QStringLiteral("select * from data where count =1;"));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(edit->txtWWLocator));

        // A second hand-over overwrites every field; a one-digit hour gains its zero.
        showActive(&b);
        click(b, lineOfCall(b, "I3QQQ"));
        QTest::mouseDClick(
            list(b)->viewport(), Qt::LeftButton, {},
            list(b)->visualRect(list(b)->model()->index(lineOfCall(b, "I3QQQ"), 0)).center());
        QCOMPARE(edit->txtTime->text(), QStringLiteral("0705"));
        QCOMPARE(edit->txtCall->text(), QStringLiteral("I3QQQ"));
        QCOMPARE(edit->comboProv->currentText(), QString()); // saved empty again, not MV
        QVERIFY(edit->optQSLConf->isChecked());
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
        click(b, lineOfCall(b, "I1AAA"));
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"You cannot edit an accreditated qso!",
                                                   "you cannot delete an accreditated QSO!"}));
        for (const ShownBox& box : env.dialogs.shown) {
            QCOMPARE(box.icon, Icon::Critical);
            QCOMPARE(box.title, QStringLiteral("HM52"));
            QCOMPARE(box.buttons, Buttons::Ok);
        }
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
        QCOMPARE(env.count(), 2);

        // Listed as confirmed, accredited since: the action reads the log again and refuses.
        click(b, lineOfCall(b, "I2BBB"));
        env.m.logDb.execute("update data set qsl = 'a' where call = 'I2BBB'");
        env.dialogs.clear();
        b.List_DblClick();
        QCOMPARE(env.dialogs.texts(), QStringList{"You cannot edit an accreditated qso!"});
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
    }

    void deleteAsksAndRemovesOnlyOnOk() {
        TestEnv env;
        env.addQso({.call = "I1AAA", .qsl = "c"});
        env.addQso({.call = "I2BBB", .qsl = "w"});
        frmUtility& b = openBrowser(env);
        auto* worked = env.registry->load(Window::Award).findChild<QLabel*>("lblHFw");
        QCOMPARE(worked->text(), QStringLiteral("1"));
        const int line = lineOfCall(b, "I2BBB");
        click(b, line);

        env.dialogs.answer(Answer::Cancel);
        b.findChild<QPushButton*>("cmdDeleteQSO")->click();
        QCOMPARE(env.dialogs.shown.size(), size_t(1));
        const ShownBox& question = env.dialogs.shown[0];
        QCOMPARE(question.text,
                 QStringLiteral(
                     "are you sure you want to permanently delete this QSO from the Logbook?"));
        QCOMPARE(question.icon, Icon::Critical);
        QCOMPARE(question.buttons, Buttons::OkCancel);
        QCOMPARE(question.title, QStringLiteral("HM52"));
        QCOMPARE(env.count(), 2);
        QCOMPARE(b.selectedLine(), line);

        env.dialogs.answer(Answer::Ok);
        b.cmdDeleteQSO_Click();
        QCOMPARE(env.count(), 1);
        QCOMPARE(env.count("call = 'I2BBB'"), 0);
        QCOMPARE(b.lineCount(), 1);
        QCOMPARE(b.selectedLine(), -1);
        QCOMPARE(worked->text(), QStringLiteral("0")); // the counter recounted
    }

    void deletingTheOnlyLineOfASearchLeavesAnEmptyList() {
        TestEnv env;
        env.addQso({.call = "I1AAA"});
        env.addQso({.call = "I9ONLY"});
        frmUtility& b = openBrowser(env);
        env.dialogs.type("I9ONLY");
        b.cmdCall_Click();
        QCOMPARE(b.lineCount(), 1);
        click(b, 0);
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
        auto* popup = b.findChild<QMenu*>("mnPopup");
        QVERIFY(popup);

        // No selection: no menu, and the buttons and a double-click do nothing.
        click(b, 0, Qt::RightButton);
        QCOMPARE(b.selectedLine(), -1);
        QVERIFY(!popup->isVisible());
        b.cmdEditQSO_Click();
        b.cmdDeleteQSO_Click();
        b.List_DblClick();
        QVERIFY(env.dialogs.shown.empty());
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);

        // A right click on another line opens the menu for the line selected before.
        const int first = lineOfCall(b, "I1AAA");
        const int second = lineOfCall(b, "I2BBB");
        click(b, first);
        click(b, second, Qt::RightButton);
        QCOMPARE(b.selectedLine(), first);
        QTRY_VERIFY(popup->isVisible());
        auto* deleteEntry = b.findChild<QAction*>("mnDeleteQSO");
        QCOMPARE(deleteEntry->text(), QStringLiteral("&Delete QSO"));
        QCOMPARE(b.findChild<QAction*>("mnEditQSO")->text(), QStringLiteral("&Edit QSO"));
        popup->hide();
        env.dialogs.answer(Answer::Ok);
        deleteEntry->trigger();
        QCOMPARE(env.count("call = 'I1AAA'"), 0);
        QCOMPARE(env.count("call = 'I2BBB'"), 1);
    }

    void aQsoDeletedMeanwhileIsReportedAndTheListRefreshed() {
        TestEnv env;
        env.addQso({.call = "I1AAA"});
        env.addQso({.call = "I2BBB"});
        frmUtility& b = openBrowser(env);
        click(b, lineOfCall(b, "I2BBB"));
        env.m.logDb.execute("delete from data where call = 'I2BBB'");
        b.cmdEditQSO_Click();
        QCOMPARE(env.dialogs.texts(), QStringList{"this QSO is no longer in the Logbook!"});
        QCOMPARE(b.lineCount(), 1);
        QCOMPARE(env.registry->loaded(Window::EditQSO), nullptr);
    }
};

QTEST_MAIN(BrowserActionsTest)
#include "tst_browseractions.moc"
