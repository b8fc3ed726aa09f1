// A whole road through the program, driven from the main window's menus as an operator would:
// a QSO logged, seen in the browser and the counter, edited and deleted. (A request's
// conversion recounting the counter: tests/award, the requests' and the counter's own.)

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
        Run() : ProgramRun(files.folder()) {
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
        QStringList lines() {
            return itemTexts(child<QListView>(Window::Utility, "List")->model());
        }
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
        QVERIFY(run.lines().isEmpty());
        run.menu("mnCounter");
        QCOMPARE(run.cell("lblHFc"), u"0"_s);

        // Log a QSO from an empty form, typing as the operator does.
        run.menu("mnInsertQSO");
        QWidget* insert = run.window(Window::InsertQSO);
        showActive(insert);
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

        // The open browser lists it under its kept search; the open counter counts it.
        QCOMPARE(run.lines().size(), 1);
        QVERIFY(run.lines()[0].startsWith("I5NEW       | HM52AB | CHARLIE"));
        QVERIFY(run.lines()[0].contains("| 05/12/04   | 21.30 | c"));
        QCOMPARE(run.cell("lblHFc"), u"1"_s);

        // Edit it from the browser: move it to VHF.
        showActive(run.window(Window::Utility));
        run.selectLine(0);
        run.child<QPushButton>(Window::Utility, "cmdEditQSO")->click();
        QCOMPARE(run.child<QLineEdit>(Window::EditQSO, "txtTime")->text(), u"2130"_s);
        run.child<QComboBox>(Window::EditQSO, "comboBand")->setCurrentText("VHF");
        run.child<QPushButton>(Window::EditQSO, "cmdSubmit")->click();
        QCOMPARE(run.dialogs.texts().last(), u"QSO edited"_s);
        QVERIFY(run.lines()[0].contains("| VHF    |"));
        QCOMPARE(run.cell("lblHFc"), u"0"_s);
        QCOMPARE(run.cell("lblVHFc"), u"1"_s);

        // Delete it.
        run.selectLine(0);
        run.dialogs.answer(Answer::Ok);
        run.child<QPushButton>(Window::Utility, "cmdDeleteQSO")->click();
        QVERIFY(run.lines().isEmpty());
        QCOMPARE(run.cell("lblVHFc"), u"0"_s);
        QCOMPARE(run.files.count(), qint64{1});
        QCOMPARE(run.dialogs.unanswered, 0);
    }
};

QTEST_MAIN(RoadsTest)
#include "tst_roads.moc"
