#pragma once

#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"
#include "support/TestEnv.h"

#include <algorithm>

// Driving the QSO windows as the operator does, for the tests of the windows that hold a QSO.
namespace hm52::test {

// Types into a box the way the operator does: focus first, then the keys.
inline void type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
}

// The shown log browser with a QSO's line selected.
inline frmUtility& browserAt(TestEnv& env, int count) {
    frmUtility& b = env.registry->utility();
    b.showAny();
    showActive(&b);
    const auto line = std::ranges::find(b.lineKeys(), count) - b.lineKeys().begin();
    auto* list = child<QListView>(&b, "List");
    list->setCurrentIndex(list->model()->index(static_cast<int>(line), 0));
    return b;
}

// The categories and the Radio frame as shown: "band|exact band|frequency|mode|exact mode".
inline QString radioText(const QsoForm& w) {
    return texts(&w, "comboBand comboAdifBand txtFreq comboMode comboAdifMode");
}

// Types a QSO as the operator does, in lower case where letters go: a valid one of the
// sub-square AB with some boxes changed ("call=i2xyz;day=31"), confirmed or worked.
inline void enter(QsoForm& w, const QString& changes = {}, bool confirmed = true) {
    QHash<QString, QString> v{{"locator", "ab"}, {"call", "i1abc"}, {"day", "5"},
                              {"month", "12"},   {"year", "04"},    {"time", "2130"},
                              {"place", "alfa"}, {"band", "HF"},    {"mode", "MIXED"}};
    for (const QString& change : changes.split(u';', Qt::SkipEmptyParts)) {
        v[change.section(u'=', 0, 0)] = change.section(u'=', 1);
    }
    type(w.txtWWLocator, v["locator"]);
    type(w.txtCall, v["call"]);
    type(w.txtDate[0], v["day"]);
    type(w.txtDate[1], v["month"]);
    type(w.txtDate[2], v["year"]);
    type(w.txtTime, v["time"]);
    type(w.comboPlace, v["place"]);
    w.comboBand->setCurrentText(v["band"]);
    w.comboMode->setCurrentText(v["mode"]);
    (confirmed ? w.optQSLConf : w.optQSLworked)->setChecked(true);
}

// One row for each of the two QSO windows, insert and edit, as the column "editing".
inline void bothWindows() {
    QTest::addColumn<bool>("editing");
    QTest::newRow("insert") << false;
    QTest::newRow("edit") << true;
}

// A log and its windows of their own for every case of a test of the QSO windows (made in the
// test's init(), dropped in its cleanup()).
struct QsoWindows {
    std::unique_ptr<TestEnv> env;

    // One of the two windows.
    QsoForm& form(bool editing) {
        return editing ? static_cast<QsoForm&>(env->registry->editQSO())
                       : env->registry->insertQSO();
    }
    // The insert window, shown and active.
    frmInsertQSO& insert() {
        env->registry->show(Window::InsertQSO);
        frmInsertQSO& w = env->registry->insertQSO();
        showActive(&w);
        return w;
    }
    // Hands a QSO of the log to the edit window: its line selected in the browser, then
    // "Edit QSO".
    frmEditQSO& handOver(int count) {
        browserAt(*env, count).cmdEditQSO_Click();
        return env->registry->editQSO();
    }
    // The edit window holding the QSO `count`, or the insert window shown.
    QsoForm& open(bool editing, int count) {
        return editing ? static_cast<QsoForm&>(handOver(count)) : insert();
    }
    // Clicks Submit, questions answered with `answers`; the texts of the boxes it showed.
    QStringList submit(QsoForm& w, std::initializer_list<Answer> answers = {}) {
        env->dialogs.answer(answers);
        const auto before = static_cast<qsizetype>(env->dialogs.shown.size());
        QTest::mouseClick(w.cmdSubmit, Qt::LeftButton);
        return env->dialogs.texts().mid(before);
    }
};

} // namespace hm52::test
