// Every question of the windows with the button that Enter presses and the one that Esc
// gives: a question whose first answer deletes, replaces or converts has the safe answer on
// both, so a stray key changes nothing; a question that only goes on keeps Yes on Enter.

#include "app/frmRestoreBackup.h"
#include "backup/Backup.h"
#include "support/QsoForms.h"

#include <QTreeWidget>

using namespace hm52;
using namespace hm52::test;

namespace {

enum class Scene {
    InsertReplace,
    EditReplace,
    BrowserDelete,
    BaseConvert,
    EndorsementConvert,
    Restore,
    BaseAgain,
};

const QString replaceQuestion = u"warning: the same locator confirmed already exist! do you "
                                u"want to replace it? Last QSO will be deleted"_s;
const QString convertQuestion = u"Do you want to to convert the confirmed QSO in accredited QSO?"_s;
const QString sureQuestion = u"Are you sure? (check the print, is it ok?)"_s;

// `n` QSOs on SAT, SSB, the first `accredited` of them accredited and the others confirmed.
void addSatQsos(TestEnv& env, int n, int accredited) {
    env.setOperator();
    env.addQsos(n);
    env.m.logDb.execute(u"update data set band = 'SAT', mode = 'SSB', qsl = case when count <= "_s +
                        QString::number(accredited) + u" then 'a' else 'c' end"_s);
}

void request(TestEnv& env, Window which, std::initializer_list<Answer> answers = {}) {
    env.dialogs.answer(answers);
    QWidget& w = env.registry->load(which);
    child<QComboBox>(&w, "comboBand")->setCurrentText(u"SAT"_s);
    child<QComboBox>(&w, "comboMode")->setCurrentText(u"SSB"_s);
    click(&w, "cmdPrint");
}

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
    case Scene::EditReplace:
        env.addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        // A worked QSO of the same sub-square, band and mode, turned confirmed.
        browserAt(env, env.addQso({.mode = "SSB", .band = "VHF", .qsl = "w"})).cmdEditQSO_Click();
        env.registry->editQSO().optQSLConf->setChecked(true);
        click(&env.registry->editQSO(), "cmdSubmit");
        break;
    case Scene::BrowserDelete:
        browserAt(env, env.addQso({})).cmdDeleteQSO_Click();
        break;
    case Scene::BaseConvert:
        addSatQsos(env, 10, 0);
        request(env, Window::BAR, {Answer::Yes});
        break;
    case Scene::EndorsementConvert:
        addSatQsos(env, 15, 10);
        request(env, Window::AE, {Answer::Yes});
        break;
    case Scene::Restore:
        env.addQsos(3);
        backup::makeBackup(env.m.logDb, QDateTime(QDate(2024, 3, 1), {}));
        env.registry->show(Window::RestoreBackup);
        click(env.registry->loaded(Window::RestoreBackup), "cmdRestore");
        break;
    case Scene::BaseAgain:
        addSatQsos(env, 10, 10);
        request(env, Window::BAR);
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
        QTest::newRow("insert: replace the confirmed QSO")
            << Scene::InsertReplace << QStringList({replaceQuestion}) << Buttons::YesNo << no;
        QTest::newRow("edit: replace the confirmed QSO")
            << Scene::EditReplace << QStringList({replaceQuestion}) << Buttons::YesNo << no;
        QTest::newRow("browser: delete the QSO")
            << Scene::BrowserDelete
            << QStringList({u"are you sure you want to permanently delete this QSO from the "_s
                            u"Logbook?"_s})
            << Buttons::OkCancel << Keys{Answer::Cancel, Answer::Cancel};
        QTest::newRow("base award: convert, sure")
            << Scene::BaseConvert << QStringList({convertQuestion, sureQuestion}) << Buttons::YesNo
            << no;
        QTest::newRow("endorsement: convert, sure")
            << Scene::EndorsementConvert << QStringList({convertQuestion, sureQuestion})
            << Buttons::YesNo << no;
        QTest::newRow("restore backup: replace the log")
            << Scene::Restore << QStringList({u"Put the backup of 2024-03-01 00:00:00"_s})
            << Buttons::YesNo << no;
        // Only goes on to print: keeps Yes on Enter.
        QTest::newRow("base award: requested already")
            << Scene::BaseAgain
            << QStringList({u"You have just requested this award! Do you want to request it "_s
                            u"anyway?"_s})
            << Buttons::YesNo << Keys{Answer::Yes, Answer::No};
    }

    void everyQuestionHasItsButtonsForEnterAndEsc() {
        QFETCH(Scene, scene);
        QFETCH(QStringList, questions);
        QFETCH(Buttons, buttons);
        QFETCH(Keys, keys);
        TestEnv env;
        const QStringList before = env.rawRows();
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
        if (scene != Scene::BaseAgain) {
            QCOMPARE(env.count(u"qsl = 'a'"_s), scene == Scene::EndorsementConvert ? 10 : 0);
        }
    }
};

QTEST_MAIN(QuestionsTest)
#include "tst_questions.moc"
