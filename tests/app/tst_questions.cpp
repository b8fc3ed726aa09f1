// Every question of the windows whose first answer deletes, replaces or converts has the safe
// answer on the button that Enter presses and on the one that Esc gives, so a stray key
// changes nothing.

#include "backup/Backup.h"
#include "support/QsoForms.h"

using namespace hm52;
using namespace hm52::test;

namespace {

enum class Scene {
    InsertReplace,
    BrowserDelete,
    BaseConvert,
    Restore,
};

// Brings the scene's questions up, answering Yes where one leads to the next.
void play(Scene scene, TestEnv& env) {
    switch (scene) {
    case Scene::InsertReplace:
        env.addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        env.registry->show(Window::InsertQSO);
        // A confirmed QSO of the sub-square, band and mode of one in the log already.
        enter(env.registry->insertQSO(), u"call=i2new;band=VHF;mode=SSB"_s);
        click(&env.registry->insertQSO(), "cmdSubmit");
        break;
    case Scene::BrowserDelete:
        browserAt(env, env.addQso({})).cmdDeleteQSO_Click();
        break;
    case Scene::BaseConvert: {
        // Ten confirmed QSOs on SAT, SSB: enough for the base award.
        env.setOperator();
        env.addQsos(10);
        env.m.logDb.execute(u"update data set band = 'SAT', mode = 'SSB', qsl = 'c'"_s);
        env.dialogs.answer(Answer::Yes);
        QWidget& w = env.registry->load(Window::BAR);
        child<QComboBox>(&w, "comboBand")->setCurrentText(u"SAT"_s);
        child<QComboBox>(&w, "comboMode")->setCurrentText(u"SSB"_s);
        click(&w, "cmdPrint");
        break;
    }
    case Scene::Restore:
        env.addQsos(3);
        backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 3, 1), {}));
        env.registry->show(Window::RestoreBackup);
        click(env.registry->loaded(Window::RestoreBackup), "cmdRestore");
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Scene)

class QuestionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyQuestionHasItsButtonsForEnterAndEsc_data() {
        QTest::addColumn<Scene>("scene");
        QTest::addColumn<QStringList>("questions"); // the start of each question's text
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<Keys>("keys");
        const Keys no{Answer::No, Answer::No};
        // The insert and the edit window ask it in the same place.
        QTest::newRow("insert: replace the confirmed QSO")
            << Scene::InsertReplace
            << QStringList({u"warning: the same locator confirmed already exist! do you want to "_s
                            u"replace it? Last QSO will be deleted"_s})
            << Buttons::YesNo << no;
        QTest::newRow("browser: delete the QSO")
            << Scene::BrowserDelete
            << QStringList({u"are you sure you want to permanently delete this QSO from the "_s
                            u"Logbook?"_s})
            << Buttons::OkCancel << Keys{Answer::Cancel, Answer::Cancel};
        // The endorsement asks them in the same place as the base award.
        QTest::newRow("base award: convert, sure")
            << Scene::BaseConvert
            << QStringList({u"Do you want to to convert the confirmed QSO in accredited QSO?"_s,
                            u"Are you sure? (check the print, is it ok?)"_s})
            << Buttons::YesNo << no;
        QTest::newRow("restore backup: replace the log")
            << Scene::Restore << QStringList({u"Put the backup of 2024-03-01 00:00:00"_s})
            << Buttons::YesNo << no;
    }

    void everyQuestionHasItsButtonsForEnterAndEsc() {
        QFETCH(Scene, scene);
        QFETCH(QStringList, questions);
        QFETCH(Buttons, buttons);
        QFETCH(Keys, keys);
        TestEnv env;
        play(scene, env);
        QStringList asked;
        for (const ShownBox& box : env.dialogs.shown) {
            if (box.buttons != Buttons::Ok) {
                asked << box.text.left(questions.value(asked.size()).size());
                QCOMPARE(box.buttons, buttons);
                QCOMPARE(box.keys, keys);
            }
        }
        QCOMPARE(asked, questions);
        // The last question unanswered, as Esc would leave it: nothing changed.
        QCOMPARE(env.dialogs.unanswered, 1);
        QCOMPARE(env.count(u"qsl = 'a'"_s), 0);
    }
};

QTEST_MAIN(QuestionsTest)
#include "tst_questions.moc"
