// Whole roads through the program, driven from the main window's menus as an operator would:
// a QSO logged, seen in the browser and the counter, edited and deleted; a base award
// requested, printed and converted, and the counter moved.

#include "app/Program.h"
#include "app/principale.h"
#include "support/TestEnv.h"

#include <QAbstractItemView>

using namespace hm52;
using namespace hm52::test;

class RoadsTest : public QObject {
    Q_OBJECT

    // A program started on a folder of its own, with recording seams.
    struct Files {
        TestEnv files; // the folder with an empty log and the small gazetteer
    };
    struct Run : Files, ProgramRun {
        Run() : ProgramRun(files.dir.path()) {
            if (!program->start()) {
                qFatal("the program did not start");
            }
            program->mainWindow().show();
        }
        void menu(const char* entry) {
            hm52::test::child<QAction>(&program->mainWindow(), entry)->trigger();
        }
        QWidget* window(Window w) { return program->registry().loaded(w); }
        template <class T> T* child(Window w, const char* name) {
            return hm52::test::child<T>(window(w), name);
        }
        QString cell(const char* label) { return child<QLabel>(Window::Award, label)->text(); }
        QStringList lines() { return itemTexts(child<QListView>(Window::Utility, "List")); }
        void selectLine(int line) {
            auto* list = child<QListView>(Window::Utility, "List");
            const QRect r = list->visualRect(list->model()->index(line, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        }
    };

private Q_SLOTS:
    void aQsoIsLoggedSeenEditedAndDeleted() {
        Run run;
        run.files.addQso({.call = "I1OLD", .WWLocator = "XX", .band = "UHF"});
        // The browser is open on a search, the counter on its first mode.
        run.dialogs.type("I5NEW");
        run.menu("mnUtiliy");
        run.child<QPushButton>(Window::Utility, "cmdCall")->click();
        run.menu("mnCounter");

        // Log a QSO from an empty form, typing as the operator does.
        run.menu("mnInsertQSO");
        showActive(run.window(Window::InsertQSO));
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), u"txtWWLocator"_s);
        typeAtFocus("ab");
        typeAtFocus("i5new");
        run.child<QLineEdit>(Window::InsertQSO, "txtDate(0)")->setFocus();
        typeAtFocus("0512042130");
        auto* place = run.child<QComboBox>(Window::InsertQSO, "comboPlace");
        place->setCurrentIndex(place->findText("CHARLIE"));
        Q_EMIT place->activated(place->currentIndex());
        run.child<QPushButton>(Window::InsertQSO, "cmdSubmit")->click();
        QCOMPARE(run.dialogs.texts().last(), u"QSO saved"_s);
        QCOMPARE(run.files.count("call = 'I5NEW' and prov = 'BD' and qsl = 'c'"), qint64{1});

        // The open browser lists it under its kept search.
        QCOMPARE(run.lines().size(), 1);
        QVERIFY(run.lines()[0].startsWith("I5NEW       | HM52AB | CHARLIE"));

        // Edit it from the browser: move it to VHF.
        showActive(run.window(Window::Utility));
        run.selectLine(0);
        run.child<QPushButton>(Window::Utility, "cmdEditQSO")->click();
        run.child<QComboBox>(Window::EditQSO, "comboBand")->setCurrentText("VHF");
        run.child<QPushButton>(Window::EditQSO, "cmdSubmit")->click();
        QCOMPARE(run.dialogs.texts().last(), u"QSO edited"_s);
        QVERIFY(run.lines()[0].contains("| VHF    |"));
        QCOMPARE(run.cell("lblVHFc"), u"1"_s);

        // Delete it.
        run.selectLine(0);
        run.dialogs.answer(Answer::Ok);
        run.child<QPushButton>(Window::Utility, "cmdDeleteQSO")->click();
        QVERIFY(run.lines().isEmpty());
        QCOMPARE(run.cell("lblVHFc"), u"0"_s);
        QCOMPARE(run.files.count(), qint64{1});
    }

    void aBaseAwardIsRequestedPrintedAndConverted() {
        Run run;
        run.files.setOperator();
        {
            Transaction batch(run.files.m.logDb);
            for (int i = 0; i < 80; ++i) {
                const QString letters = QString(QChar(u'A' + i / 24)) + QChar(u'A' + i % 24);
                run.files.addQso(
                    {.call = u"I%1X"_s.arg(i), .WWLocator = letters, .mode = "SSB", .band = "HF"});
            }
            batch.commit();
        }
        run.menu("mnCounter");
        run.child<QComboBox>(Window::Award, "Combo1")->setCurrentText("SSB");

        run.menu("mnBAR");
        run.child<QComboBox>(Window::BAR, "comboMode")->setCurrentText("SSB");
        run.dialogs.answer(Answer::Yes);
        run.dialogs.answer(Answer::Yes);
        run.child<QPushButton>(Window::BAR, "cmdPrint")->click();

        QCOMPARE(run.printers.jobs.size(), size_t{1});
        QCOMPARE(run.dialogs.shown.size(), size_t{2}); // the two questions (tst_questions)
        QCOMPARE(run.cell("lblHFa"), u"75"_s);
        QCOMPARE(run.cell("lblHFc"), u"5"_s);
        // The five left confirmed are the last sub-squares by their letters.
        QCOMPARE(run.files.count("qsl = 'c' and WWLocator >= 'DD'"), qint64{5});
    }
};

QTEST_MAIN(RoadsTest)
#include "tst_roads.moc"
