// The QSO form in its two windows: input assistance while typing, the checks and the award's
// duplicate rules of Submit, numbering, and the edit window's rewrite of a QSO in place.

#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"
#include "storage/Codes.h"
#include "support/TestEnv.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>

using namespace hm52;
using namespace hm52::test;

namespace {

// Types into a box the way the operator does: focus first, then the keys.
void type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
}

// Types each character into whichever control has the focus at that moment.
void typeAtFocus(const QString& text) {
    for (const QChar c : text) {
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
}

// A QSO as the operator types it, in lower case where letters go.
struct Entry {
    QString locator = QStringLiteral("ab");
    QString call = QStringLiteral("i1abc");
    QString day = QStringLiteral("5");
    QString month = QStringLiteral("12");
    QString year = QStringLiteral("04");
    QString time = QStringLiteral("2130");
    QString place = QStringLiteral("alfa");
    QString band = QStringLiteral("HF");
    QString mode = QStringLiteral("MIXED");
    bool confirmed = true;
};

void enter(QsoForm& w, const Entry& e) {
    type(w.txtWWLocator, e.locator);
    type(w.txtCall, e.call);
    type(w.txtDate[0], e.day);
    type(w.txtDate[1], e.month);
    type(w.txtDate[2], e.year);
    type(w.txtTime, e.time);
    type(w.comboPlace, e.place);
    w.comboBand->setCurrentText(e.band);
    w.comboMode->setCurrentText(e.mode);
    (e.confirmed ? w.optQSLConf : w.optQSLworked)->setChecked(true);
}

Qso qso(const QString& loc, const QString& band, const QString& mode, const QString& qsl) {
    Qso q;
    q.WWLocator = loc;
    q.band = band;
    q.mode = mode;
    q.qsl = qsl;
    return q;
}

// Hands a QSO of the log to the edit window as the operator does: its line selected in the
// active log browser, then "Edit QSO".
frmEditQSO& handOver(TestEnv& env, int count) {
    frmUtility& b = env.registry->utility();
    b.showAny();
    showActive(&b);
    const auto line = std::find(b.lineKeys.begin(), b.lineKeys.begin() + b.lineCount(), count) -
                      b.lineKeys.begin();
    auto* list = b.findChild<QListView*>(QStringLiteral("List"));
    list->setCurrentIndex(list->model()->index(static_cast<int>(line), 0));
    b.cmdEditQSO_Click();
    return env.registry->editQSO();
}

// The text of one of the award counter's cells, e.g. "lblHFw".
QString cell(TestEnv& env, const char* name) {
    return env.registry->load(Window::Award).findChild<QLabel*>(QLatin1String(name))->text();
}

QString row(TestEnv& env, int count) {
    Recordset rs(env.m.logDb, QStringLiteral("select * from data where count = %1").arg(count));
    if (rs.eof()) {
        return QStringLiteral("(none)");
    }
    QStringList fields;
    for (const char* name :
         {"WWLocator", "call", "date", "time", "place", "prov", "mode", "band", "qsl"}) {
        fields << rs.text(QLatin1String(name));
    }
    return fields.join(u'|');
}

QStringList items(QComboBox* combo) {
    QStringList list;
    for (int i = 0; i < combo->count(); ++i) {
        list << combo->itemText(i);
    }
    return list;
}

const QStringList abPlaces{QStringLiteral("ALFA"), QStringLiteral("BRAVO"),
                           QStringLiteral("CHARLIE"), QStringLiteral("PIAN D'OLMO")};

} // namespace

class QsoTest : public QObject {
    Q_OBJECT

    struct Insert {
        TestEnv env;
        frmInsertQSO* w = nullptr;
        Insert() {
            env.registry->show(Window::InsertQSO);
            w = &env.registry->insertQSO();
            showActive(w);
        }
        // Clicks Submit; the texts of the boxes it showed.
        QStringList submit() {
            const auto before = static_cast<qsizetype>(env.dialogs.shown.size());
            QTest::mouseClick(w->cmdSubmit, Qt::LeftButton);
            return env.dialogs.texts().mid(before);
        }
    };

private Q_SLOTS:
    // ----- the form -------------------------------------------------------------------

    void bothWindowsCarryTheSameControlsInTheirFrames() {
        TestEnv env;
        for (QsoForm* w : {static_cast<QsoForm*>(&env.registry->insertQSO()),
                           static_cast<QsoForm*>(&env.registry->editQSO())}) {
            QStringList captions;
            for (auto* frame : w->findChildren<QGroupBox*>()) {
                if (!frame->title().isEmpty()) {
                    captions << frame->title();
                }
            }
            QCOMPARE(captions, QStringList({"WWLocator", "Call", "date (dd/mm/yy)", "Time (hhmm)",
                                            "Place", "Prov", "Mode", "Band", "QSL"}));
            QCOMPARE(w->findChild<QLabel*>("Label3")->text(), QStringLiteral("HM52"));
            QCOMPARE(w->findChild<QLabel*>("Label1")->text(), QStringLiteral("/"));
            QCOMPARE(w->findChild<QLabel*>("Label2")->text(), QStringLiteral("/"));
            QCOMPARE(w->optQSLConf->text(), QStringLiteral("confirmed"));
            QCOMPARE(w->optQSLworked->text(), QStringLiteral("worked"));
            QCOMPARE(w->cmdClear->text(), QStringLiteral("Clear"));
            QCOMPARE(w->cmdSubmit->text(), QStringLiteral("Submit"));
            QCOMPARE(w->cmdExit->text(), QStringLiteral("Exit"));
            // Sub-square to time on the left, place to QSL on the right, the buttons in a
            // column beside them: Clear, Submit, Exit from top to bottom.
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            const auto pos = [w](QWidget* c) { return c->mapTo(w, QPoint(0, 0)); };
            QVERIFY(pos(w->txtWWLocator).y() < pos(w->txtCall).y());
            QVERIFY(pos(w->txtCall).y() < pos(w->txtDate[0]).y());
            QVERIFY(pos(w->txtDate[0]).y() < pos(w->txtTime).y());
            QVERIFY(pos(w->txtCall).x() + w->txtCall->width() < pos(w->comboPlace).x());
            QVERIFY(pos(w->comboPlace).y() < pos(w->comboProv).y());
            QVERIFY(pos(w->comboProv).y() < pos(w->comboMode).y());
            QVERIFY(pos(w->comboMode).y() < pos(w->comboBand).y());
            QVERIFY(pos(w->comboBand).y() < pos(w->optQSLConf).y());
            QVERIFY(pos(w->optQSLConf).y() < pos(w->optQSLworked).y());
            QVERIFY(pos(w->comboPlace).x() + w->comboPlace->width() < pos(w->cmdClear).x());
            QVERIFY(pos(w->cmdClear).y() < pos(w->cmdSubmit).y());
            QVERIFY(pos(w->cmdSubmit).y() < pos(w->cmdExit).y());
            QCOMPARE(w->findChild<QLineEdit*>("txtDate(2)"), w->txtDate[2]);
            QCOMPARE(items(w->comboMode), QStringList({"MIXED", "SSB", "CW", "DIGITAL"}));
            QCOMPARE(items(w->comboBand),
                     QStringList({"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}));
            QCOMPARE(items(w->comboProv), codes::provinces());
            QVERIFY(w->comboPlace->isEditable() && !w->comboProv->isEditable());
            // Tab order: the inputs, then Submit, Clear, Exit.
            QStringList order;
            QWidget* at = w->txtWWLocator;
            for (int i = 0; i < 15; ++i, at = at->nextInFocusChain()) {
                while (at->focusPolicy() == Qt::NoFocus || at->focusProxy()) {
                    at = at->nextInFocusChain();
                }
                order << at->objectName();
            }
            QCOMPARE(order, QStringList({"txtWWLocator", "txtCall", "txtDate(0)", "txtDate(1)",
                                         "txtDate(2)", "txtTime", "comboPlace", "comboProv",
                                         "comboMode", "comboBand", "optQSLConf", "optQSLworked",
                                         "cmdSubmit", "cmdClear", "cmdExit"}));
        }
        QCOMPARE(env.registry->insertQSO().windowTitle(), QStringLiteral("Insert QSO"));
        QCOMPARE(env.registry->editQSO().windowTitle(), QStringLiteral("Edit QSO"));
    }

    void subSquareIsUpperCasedMovesOnAndFillsThePlaceList() {
        Insert run;
        frmInsertQSO& w = *run.w;
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        typeAtFocus(QStringLiteral("a"));
        QCOMPARE(w.txtWWLocator->text(), QStringLiteral("A"));
        QVERIFY(items(w.comboPlace).isEmpty());
        typeAtFocus(QStringLiteral("b"));
        QCOMPARE(w.txtWWLocator->text(), QStringLiteral("AB"));
        QCOMPARE(QApplication::focusWidget(), w.txtCall);
        QCOMPARE(items(w.comboPlace), abPlaces);
        QCOMPARE(w.comboPlace->currentText(), QString());

        QTest::mouseClick(w.txtWWLocator, Qt::LeftButton);
        QCOMPARE(w.txtWWLocator->selectedText(), QStringLiteral("AB"));
        typeAtFocus(QStringLiteral("c"));
        QCOMPARE(w.txtWWLocator->text(), QStringLiteral("C"));
        QVERIFY(items(w.comboPlace).isEmpty());
    }

    void pastedSubSquareIsCutToTwoAndSelected() {
        Insert run;
        frmInsertQSO& w = *run.w;
        w.txtWWLocator->insert(QStringLiteral("abc"));
        QCOMPARE(w.txtWWLocator->text(), QStringLiteral("AB"));
        QCOMPARE(w.txtWWLocator->selectedText(), QStringLiteral("AB"));
        QCOMPARE(w.txtWWLocator->selectionStart(), 0);
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        QCOMPARE(items(w.comboPlace), abPlaces);

        // A quote is a letter like any other to the gazetteer look-up.
        typeAtFocus(QStringLiteral("a'"));
        QCOMPARE(w.txtWWLocator->text(), QStringLiteral("A'"));
        QVERIFY(items(w.comboPlace).isEmpty());
        QVERIFY(run.env.dialogs.shown.empty());
    }

    void typedPlaceSurvivesTheRebuildOfTheList() {
        Insert run;
        frmInsertQSO& w = *run.w;
        w.comboProv->setCurrentText(QStringLiteral("TD"));
        type(w.comboPlace, QStringLiteral("somewhere"));
        type(w.txtWWLocator, QStringLiteral("ab"));
        QCOMPARE(items(w.comboPlace), abPlaces);
        QCOMPARE(w.comboPlace->currentText(), QStringLiteral("SOMEWHERE"));
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("TD"));
        // The look-ups went to the gazetteer through auxRs.
        QVERIFY(run.env.m.auxRs);
    }

    void callMovesOnAtTwelveAndIsCutToElevenAtThirteen() {
        Insert run;
        frmInsertQSO& w = *run.w;
        type(w.txtCall, QStringLiteral("iz1abcdefgh"));
        QCOMPARE(QApplication::focusWidget(), w.txtCall);
        QTest::keyClicks(w.txtCall, QStringLiteral("i"));
        QCOMPARE(w.txtCall->text(), QStringLiteral("IZ1ABCDEFGHI"));
        QCOMPARE(QApplication::focusWidget(), w.txtDate[0]);

        QTest::mouseClick(w.txtCall, Qt::LeftButton);
        QCOMPARE(w.txtCall->selectedText(), QStringLiteral("IZ1ABCDEFGHI"));
        w.txtCall->setText(QStringLiteral("iz1abcdefghij"));
        QCOMPARE(w.txtCall->text(), QStringLiteral("IZ1ABCDEFGH"));
        QCOMPARE(w.txtCall->selectedText(), QStringLiteral("IZ1ABCDEFGH"));
        QCOMPARE(QApplication::focusWidget(), w.txtCall);
    }

    void dateAndTimeDigitsFlowFromTheDayBoxToThePlace() {
        Insert run;
        frmInsertQSO& w = *run.w;
        w.txtDate[0]->setFocus();
        typeAtFocus(QStringLiteral("0512042130"));
        QCOMPARE(w.txtDate[0]->text(), QStringLiteral("05"));
        QCOMPARE(w.txtDate[1]->text(), QStringLiteral("12"));
        QCOMPARE(w.txtDate[2]->text(), QStringLiteral("04"));
        QCOMPARE(w.txtTime->text(), QStringLiteral("2130"));
        QCOMPARE(QApplication::focusWidget(), w.comboPlace);

        // A fifth character in the time box leaves the four, selected.
        w.txtTime->setFocus();
        w.txtTime->end(false);
        typeAtFocus(QStringLiteral("5"));
        QCOMPARE(w.txtTime->text(), QStringLiteral("2130"));
        QCOMPARE(w.txtTime->selectedText(), QStringLiteral("2130"));
        QCOMPARE(QApplication::focusWidget(), w.txtTime);
        typeAtFocus(QStringLiteral("0"));
        QCOMPARE(w.txtTime->text(), QStringLiteral("0"));

        // A click selects a full box only.
        QTest::mouseClick(w.txtDate[1], Qt::LeftButton);
        QCOMPARE(w.txtDate[1]->selectedText(), QStringLiteral("12"));
        w.txtDate[2]->setText(QStringLiteral("4"));
        QTest::mouseClick(w.txtDate[2], Qt::LeftButton);
        QVERIFY(!w.txtDate[2]->hasSelectedText());
    }

    void provinceFollowsTypedAndChosenPlaces() {
        Insert run;
        frmInsertQSO& w = *run.w;
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("BD"));
        type(w.comboPlace, QStringLiteral("bravo"));
        QCOMPARE(w.comboPlace->currentText(), QStringLiteral("BRAVO"));
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("CV"));
        w.comboPlace->clearEditText();
        type(w.comboPlace, QStringLiteral("pian d'olmo")); // first row of two: LM
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("LM"));
        w.comboPlace->clearEditText();
        type(w.comboPlace, QStringLiteral("nowhere"));
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("LM"));

        // Chosen from the list of the sub-square.
        type(w.txtWWLocator, QStringLiteral("xx"));
        w.comboPlace->showPopup();
        QAbstractItemView* view = w.comboPlace->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex echo = view->model()->index(0, 0);
        QCOMPARE(echo.data().toString(), QStringLiteral("ECHO"));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(echo).center());
        QCOMPARE(w.comboPlace->currentText(), QStringLiteral("ECHO"));
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("SD"));
        QVERIFY(run.env.dialogs.shown.empty());
    }

    void caretStaysAfterTheTypedCharacterOnInsertAndGoesToTheEndOnEdit() {
        TestEnv env;
        for (bool edit : {false, true}) {
            QsoForm& w = edit ? static_cast<QsoForm&>(env.registry->editQSO())
                              : static_cast<QsoForm&>(env.registry->insertQSO());
            showActive(&w);
            for (QWidget* box :
                 {static_cast<QWidget*>(w.txtCall), static_cast<QWidget*>(w.comboPlace)}) {
                QLineEdit* line = box == w.comboPlace ? w.comboPlace->lineEdit() : w.txtCall;
                type(box, QStringLiteral("i1abc"));
                line->setCursorPosition(2);
                QTest::keyClicks(box, QStringLiteral("x"));
                QCOMPARE(line->text(), QStringLiteral("I1XABC"));
                QCOMPARE(line->cursorPosition(), edit ? 6 : 3);
            }
            w.txtWWLocator->setFocus();
            QTest::keyClicks(w.txtWWLocator, QStringLiteral("b"));
            w.txtWWLocator->setFocus();
            w.txtWWLocator->setCursorPosition(0);
            QTest::keyClicks(w.txtWWLocator, QStringLiteral("a"));
            QCOMPARE(w.txtWWLocator->text(), QStringLiteral("AB"));
            QCOMPARE(w.txtWWLocator->cursorPosition(), edit ? 2 : 1);
            w.hide();
        }
    }

    void clearKeepsBandModeAndProvinceAndTheCloseBoxRestoresDefaults() {
        Insert run;
        frmInsertQSO* w = run.w;
        Entry e;
        e.place = QStringLiteral("delta");
        e.band = QStringLiteral("VHF");
        e.mode = QStringLiteral("CW");
        e.confirmed = false;
        enter(*w, e);
        QCOMPARE(w->comboProv->currentText(), QStringLiteral("VLT"));
        QTest::mouseClick(w->cmdClear, Qt::LeftButton);
        for (QLineEdit* box : {w->txtWWLocator, w->txtCall, w->txtDate[0], w->txtDate[1],
                               w->txtDate[2], w->txtTime}) {
            QCOMPARE(box->text(), QString());
        }
        QCOMPARE(w->comboPlace->currentText(), QString());
        QCOMPARE(w->comboPlace->count(), 0);
        QVERIFY(w->optQSLConf->isChecked());
        QCOMPARE(w->comboBand->currentText(), QStringLiteral("VHF"));
        QCOMPARE(w->comboMode->currentText(), QStringLiteral("CW"));
        QCOMPARE(w->comboProv->currentText(), QStringLiteral("VLT"));
        QCOMPARE(QApplication::focusWidget(), w->txtWWLocator);

        // Exit hides and keeps the selections.
        enter(*w, e);
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(run.env.registry->loaded(Window::InsertQSO), w);
        QCOMPARE(w->txtCall->text(), QString());
        QCOMPARE(w->comboBand->currentText(), QStringLiteral("VHF"));

        // The close box unloads; the next showing starts from the defaults.
        run.env.registry->show(Window::InsertQSO);
        enter(*w, e);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!run.env.registry->loaded(Window::InsertQSO));
        run.env.registry->show(Window::InsertQSO);
        w = &run.env.registry->insertQSO();
        QCOMPARE(w->comboBand->currentText(), QStringLiteral("HF"));
        QCOMPARE(w->comboMode->currentText(), QStringLiteral("MIXED"));
        QCOMPARE(w->comboProv->currentText(), codes::provinces().first());
        QVERIFY(w->optQSLConf->isChecked());
        QCOMPARE(w->txtCall->text(), QString());
        QVERIFY(run.env.dialogs.shown.empty());
    }

    // ----- saving a new QSO -----------------------------------------------------------

    void savedQsoIsStoredAsTypedAndTheFormEmpties() {
        Insert run;
        frmInsertQSO& w = *run.w;
        Entry e;
        e.place = QStringLiteral("pian d'olmo");
        e.band = QStringLiteral("50 MHz");
        e.mode = QStringLiteral("DIGITAL");
        enter(w, e);
        QVERIFY(!run.env.registry->loaded(Window::Utility));
        QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        const ShownBox& saved = run.env.dialogs.shown.front();
        QCOMPARE(saved.icon, Icon::Information);
        QCOMPARE(saved.title, QStringLiteral("HM52"));
        QCOMPARE(row(run.env, 1),
                 QStringLiteral("AB|I1ABC|05/12/04|21.30.00|PIAN D'OLMO|LM|DIGITAL|50 MHz|c"));
        QCOMPARE(w.txtWWLocator->text(), QString());
        QCOMPARE(w.comboPlace->currentText(), QString());
        QCOMPARE(w.comboBand->currentText(), QStringLiteral("50 MHz"));
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        // The browser and the counter were loaded (hidden) to refresh.
        QVERIFY(run.env.registry->loaded(Window::Utility));
        QVERIFY(run.env.registry->loaded(Window::Award));
        QVERIFY(!run.env.registry->loaded(Window::Utility)->isVisible());
    }

    void anOpenBrowserKeepsItsSearchAndTheCounterIncludesTheSavedQso() {
        Insert run;
        frmUtility& b = run.env.registry->utility();
        run.env.dialogs.type(QStringLiteral("I1ABC"));
        b.cmdCall_Click();
        QCOMPARE(b.lineCount(), 0);
        QCOMPARE(cell(run.env, "lblHFc"), QStringLiteral("0"));
        enter(*run.w, Entry{});
        run.submit();
        enter(*run.w, Entry{.locator = "cd", .call = "i2zzz"});
        run.submit();
        QCOMPARE(run.env.count(), 2);
        QCOMPARE(b.lineCount(), 1);
        QVERIFY(b.lineText(0).startsWith(QStringLiteral("I1ABC       | HM52AB |")));
        QCOMPARE(cell(run.env, "lblHFc"), QStringLiteral("2"));
    }

    void aDayItsMonthDoesNotHaveIsKeptAsTyped() {
        Insert run;
        Entry e;
        e.day = QStringLiteral("31");
        e.month = QStringLiteral("2");
        e.year = QStringLiteral("4");
        e.time = QStringLiteral("0905");
        enter(*run.w, e);
        QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        QCOMPARE(run.env.rawField(1, QStringLiteral("date")), QStringLiteral("2004-02-31"));
        QVERIFY(row(run.env, 1).contains(QStringLiteral("|31/02/04|9.05.00|")));
    }

    void checksRunInOrderWithTheirMessages_data() {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QStringList>("messages");
        const auto with = [](auto change) {
            Entry e;
            change(e);
            return e;
        };
        const QStringList saved{"QSO saved"};
        QTest::newRow("one letter") << with([](Entry& e) { e.locator = "a"; })
                                    << QStringList{"WWLocator Field must be two characters"};
        QTest::newRow("numeric sub-square") << with([](Entry& e) { e.locator = "12"; })
                                            << QStringList{"WWLocator Field cannot be numerical"};
        QTest::newRow("A1 sub-square") << with([](Entry& e) { e.locator = "a1"; }) << saved;
        QTest::newRow("no call") << with([](Entry& e) { e.call = ""; })
                                 << QStringList{"Call Field cannot be null"};
        QTest::newRow("12 with 3 quotes")
            << with([](Entry& e) { e.call = "i'1'a'bcdefg"; }) << saved;
        QTest::newRow("12 with 4 quotes, no date") << with([](Entry& e) {
            e.call = "i'1'a'b'cdef";
            e.day = e.month = e.year = "";
        }) << QStringList{"Call Field is too long", "Date Fields cannot be null"};
        QTest::newRow("12 with 4 quotes, no place") << with([](Entry& e) {
            e.call = "i'1'a'b'cdef";
            e.place = "";
        }) << QStringList{"Call Field is too long", "place field cannot be null"};
        QTest::newRow("no month") << with([](Entry& e) { e.month = ""; })
                                  << QStringList{"Date Fields cannot be null"};
        QTest::newRow("signed day")
            << with([](Entry& e) { e.day = "-1"; }) << QStringList{"date fields must be numeric"};
        QTest::newRow("decimal month")
            << with([](Entry& e) { e.month = "1."; }) << QStringList{"date fields must be numeric"};
        QTest::newRow("letter year")
            << with([](Entry& e) { e.year = "o4"; }) << QStringList{"date fields must be numeric"};
        for (const auto& date : {std::pair{"0", "5"}, {"32", "5"}, {"5", "0"}, {"5", "13"}}) {
            QTest::addRow("date %s/%s", date.first, date.second) << with([&date](Entry& e) {
                e.day = date.first;
                e.month = date.second;
            }) << QStringList{"error in date field format"};
        }
        QTest::newRow("31/12, one-digit year") << with([](Entry& e) {
            e.day = "31";
            e.year = "9";
        }) << saved;
        QTest::newRow("no time") << with([](Entry& e) { e.time = ""; })
                                 << QStringList{"time field cannot be null"};
        QTest::newRow("decimal time")
            << with([](Entry& e) { e.time = "21.3"; }) << QStringList{"time field must be numeric"};
        QTest::newRow("signed time")
            << with([](Entry& e) { e.time = "-130"; }) << QStringList{"time field must be numeric"};
        QTest::newRow("time 123") << with([](Entry& e) { e.time = "123"; })
                                  << QStringList{"time field must be 4 numbers"};
        for (const char* time : {"2400", "2360"}) {
            QTest::addRow("time %s", time) << with([&](Entry& e) { e.time = time; })
                                           << QStringList{"error in time field format"};
        }
        for (const char* time : {"0000", "0030", "2359"}) {
            QTest::addRow("time %s", time) << with([&](Entry& e) { e.time = time; }) << saved;
        }
        QTest::newRow("no place") << with([](Entry& e) { e.place = ""; })
                                  << QStringList{"place field cannot be null"};
        QTest::newRow("place 50 with a quote")
            << with([](Entry& e) { e.place = "ca' " + QString(46, u'x'); })
            << QStringList{"place field is too long"};
        QTest::newRow("place 50") << with([](Entry& e) { e.place = QString(50, u'x'); }) << saved;
    }

    void checksRunInOrderWithTheirMessages() {
        QFETCH(Entry, entry);
        QFETCH(QStringList, messages);
        Insert run;
        enter(*run.w, entry);
        QCOMPARE(run.submit(), messages);
        const bool saved = messages == QStringList{"QSO saved"};
        QCOMPARE(run.env.count(), saved ? 1 : 0);
        if (!saved) {
            for (const ShownBox& box : run.env.dialogs.shown) {
                QCOMPARE(box.title, QStringLiteral("error"));
                QCOMPARE(box.icon, Icon::Critical);
                QCOMPARE(box.buttons, Buttons::Ok);
            }
            // The form is kept and no box moved the focus.
            QCOMPARE(run.w->txtCall->text(), entry.call.toUpper());
            QCOMPARE(QApplication::focusWidget(), run.w->cmdSubmit);
        }
    }

    void accreditedSubSquareIsRefusedOnItsBandAndModeOnly() {
        Insert run;
        run.env.addQso(qso(QStringLiteral("AB"), QStringLiteral("VHF"), QStringLiteral("SSB"),
                           QStringLiteral("a")));
        for (bool confirmed : {true, false}) {
            Entry e;
            e.band = QStringLiteral("VHF");
            e.mode = QStringLiteral("SSB");
            e.confirmed = confirmed;
            enter(*run.w, e);
            QCOMPARE(run.submit(), QStringList({"Another QSO with the same accreditated locator "
                                                "already exists! new qso will not be saved"}));
            QCOMPARE(run.env.dialogs.shown.back().title, QStringLiteral("Error"));
            QCOMPARE(run.env.dialogs.shown.back().icon, Icon::Critical);
            QCOMPARE(run.env.count(), 1);
            run.w->cancella();
        }
        for (const auto& [band, mode] : {std::pair{"UHF", "SSB"}, {"VHF", "CW"}}) {
            Entry e;
            e.band = QLatin1String(band);
            e.mode = QLatin1String(mode);
            enter(*run.w, e);
            QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        }
        QCOMPARE(run.env.count(), 3);
    }

    void secondConfirmedQsoReplacesTheFirstOnlyOnYes() {
        Insert run;
        const int old = run.env.addQso(qso("AB", "VHF", "SSB", "c"));
        const int other = run.env.addQso(qso("AB", "UHF", "SSB", "c"));
        Entry e;
        e.band = QStringLiteral("VHF");
        e.mode = QStringLiteral("SSB");
        e.call = QStringLiteral("i2new");
        enter(*run.w, e);
        const QString question = QStringLiteral("warning: the same locator confirmed already "
                                                "exist! do you want to replace it? Last QSO will "
                                                "be deleted");
        run.env.dialogs.answer(Answer::No);
        QCOMPARE(run.submit(), QStringList({question}));
        const ShownBox& asked = run.env.dialogs.shown.front();
        QCOMPARE(asked.title, QStringLiteral("warning"));
        QCOMPARE(asked.buttons, Buttons::YesNo);
        QCOMPARE(asked.icon, Icon::None);
        QCOMPARE(run.env.count(), 2);
        QCOMPARE(run.w->txtCall->text(), QStringLiteral("I2NEW"));

        run.env.dialogs.answer(Answer::Yes);
        QCOMPARE(run.submit(), QStringList({question, "QSO saved"}));
        QCOMPARE(row(run.env, old), QStringLiteral("(none)"));
        QVERIFY(row(run.env, other) != QStringLiteral("(none)"));
        QCOMPARE(run.env.count("call = 'I2NEW' and band = 'VHF' and qsl = 'c'"), 1);
        QCOMPARE(run.env.count(), 2);

        // A worked QSO is never compared.
        e.confirmed = false;
        enter(*run.w, e);
        QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        QCOMPARE(run.env.count(), 3);
    }

    void failedStoreLeavesTheReplacedQsoInTheLog() {
        Insert run;
        const int old = run.env.addQso(qso("AB", "HF", "MIXED", "c"));
        const QString before = row(run.env, old);
        run.env.m.logDb.execute(QStringLiteral(
            "create trigger refuse before insert on data begin select raise(abort, 'disk "
            "full'); end"));
        enter(*run.w, Entry{});
        run.env.dialogs.answer(Answer::Yes);
        const QStringList shown = run.submit();
        QCOMPARE(shown.size(), qsizetype{2});
        QCOMPARE(shown[1], QStringLiteral("disk full"));
        QCOMPARE(run.env.dialogs.shown[1].icon, Icon::Critical);
        QCOMPARE(row(run.env, old), before);
        QCOMPARE(run.env.count(), 1);
        QCOMPARE(run.w->txtCall->text(), QStringLiteral("I1ABC")); // typed QSO still there
        QVERIFY(!run.env.m.logDb.inTransaction());
    }

    void numberingTakesTheHighestPlusOne() {
        Insert run;
        enter(*run.w, Entry{});
        run.submit();
        QCOMPARE(run.env.count("count = 1"), 1);
        for (int i = 2; i <= 7; ++i) {
            run.env.addQsoWithCount(i, qso("CD", "HF", "MIXED", "w"));
        }
        enter(*run.w, Entry{.locator = "xx", .confirmed = false});
        run.submit();
        QCOMPARE(row(run.env, 8).left(3), QStringLiteral("XX|"));
        run.env.m.logDb.execute(QStringLiteral("delete from data where count = 8"));
        enter(*run.w, Entry{.locator = "mn", .confirmed = false});
        run.submit();
        QCOMPARE(row(run.env, 8).left(3), QStringLiteral("MN|"));
        QCOMPARE(run.env.count(), 8);
    }

    // ----- editing --------------------------------------------------------------------

    void unchangedConfirmedQsoIsStoredAgainWithoutQuestion() {
        TestEnv env;
        env.addQso(qso("XX", "HF", "MIXED", "w"));
        Qso q = qso("AB", "VHF", "SSB", "c");
        // Longer than a typed call (an imported one): handed over whole, not cut; 15
        // characters with a quote pass the edit window's limit.
        q.call = QStringLiteral("HB0/IZ1'BCD/QRP");
        q.place = QStringLiteral("PIAN D'OLMO");
        q.prov = QStringLiteral("MV");
        q.time = QStringLiteral("19:05");
        const int key = env.addQso(q);
        const QString before = row(env, key);
        frmEditQSO& w = handOver(env, key);
        QCOMPARE(w.txtCall->text(), q.call);
        QCOMPARE(w.txtTime->text(), QStringLiteral("1905"));
        QCOMPARE(w.comboProv->currentText(), QStringLiteral("MV"));
        // Shown from the active browser, the edit window comes to the front with the focus in
        // the sub-square box.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&w));
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        QTest::mouseClick(w.cmdSubmit, Qt::LeftButton);
        QCOMPARE(env.dialogs.texts(), QStringList({"QSO edited"}));
        QCOMPARE(env.dialogs.shown.front().icon, Icon::Information);
        QCOMPARE(env.dialogs.shown.front().title, QStringLiteral("HM52"));
        QCOMPARE(row(env, key), before);
        QCOMPARE(env.count(), 2);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.txtCall->text(), QString());
        QCOMPARE(w.focusWidget(), w.txtWWLocator);
        QCOMPARE(w.editCount, key);
    }

    void changedQsoIsRewrittenInPlaceAndTheBrowserAndCounterFollow() {
        TestEnv env;
        const int key = env.addQso(qso("AB", "HF", "MIXED", "w"));
        Qso other = qso("CD", "HF", "MIXED", "w");
        other.call = QStringLiteral("I2ZZZ");
        env.addQso(other);
        frmUtility& b = env.registry->utility();
        env.dialogs.type(QStringLiteral("I1ABC"));
        b.cmdCall_Click();
        QCOMPARE(cell(env, "lblHFw"), QStringLiteral("2"));

        frmEditQSO& w = handOver(env, key);
        env.dialogs.clear();
        w.txtWWLocator->setText(QStringLiteral("mn"));
        w.comboPlace->setCurrentText(QStringLiteral("ca' bianca"));
        w.comboBand->setCurrentText(QStringLiteral("SAT"));
        w.txtDate[0]->setText(QStringLiteral("31"));
        w.txtDate[1]->setText(QStringLiteral("02"));
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"QSO edited"}));
        QCOMPARE(row(env, key),
                 QStringLiteral("MN|I1ABC|31/02/04|9.05.00|CA' BIANCA|TD|MIXED|SAT|w"));
        QCOMPARE(env.count(), 2);
        // The browser keeps its call search and shows the changed QSO; the counter recounted.
        QCOMPARE(b.lineCount(), 1);
        QVERIFY(b.lineText(0).contains(QStringLiteral("| HM52MN | CA' BIANCA")));
        QVERIFY(b.lineText(0).contains(QStringLiteral("| SAT    |")));
        QCOMPARE(cell(env, "lblHFw"), QStringLiteral("1"));
        QCOMPARE(cell(env, "lblSatellitew"), QStringLiteral("1"));
    }

    void workedTurnedConfirmedAsksAndOnlyAStoredYesRemovesTheOther() {
        TestEnv env;
        const int other = env.addQso(qso("AB", "VHF", "SSB", "c"));
        const int key = env.addQso(qso("AB", "VHF", "SSB", "w"));
        frmEditQSO& w = handOver(env, key);
        w.optQSLConf->setChecked(true);
        env.dialogs.answer(Answer::No);
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.shown.at(0).title, QStringLiteral("warning"));
        QCOMPARE(env.rawField(other, QStringLiteral("qsl")), QStringLiteral("c"));
        QCOMPARE(env.rawField(key, QStringLiteral("qsl")), QStringLiteral("w"));

        // Yes, but the rewrite fails: the other QSO stays.
        env.m.logDb.execute(QStringLiteral(
            "create trigger refuse before update on data begin select raise(abort, 'locked'); "
            "end"));
        env.dialogs.answer(Answer::Yes);
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts().last(), QStringLiteral("locked"));
        QCOMPARE(env.rawField(other, QStringLiteral("qsl")), QStringLiteral("c"));
        QCOMPARE(env.rawField(key, QStringLiteral("qsl")), QStringLiteral("w"));
        QVERIFY(w.isVisible() && w.optQSLConf->isChecked());

        env.m.logDb.execute(QStringLiteral("drop trigger refuse"));
        env.dialogs.answer(Answer::Yes);
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts().last(), QStringLiteral("QSO edited"));
        QCOMPARE(row(env, other), QStringLiteral("(none)"));
        QCOMPARE(env.rawField(key, QStringLiteral("qsl")), QStringLiteral("c"));
        QCOMPARE(env.count(), 1);
        QVERIFY(!w.isVisible());
    }

    void editRefusesAnAccreditedCombinationAndAQsoClaimedOrDeletedMeanwhile() {
        TestEnv env;
        env.addQso(qso("AB", "UHF", "SSB", "a"));
        const int key = env.addQso(qso("AB", "VHF", "SSB", "c"));
        frmEditQSO& w = handOver(env, key);
        w.comboBand->setCurrentText(QStringLiteral("UHF"));
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts(),
                 QStringList({"Another QSO with the same accreditated locator already exists! "
                              "new qso will not be saved"}));
        QCOMPARE(env.dialogs.shown.front().title, QStringLiteral("Error"));

        w.comboBand->setCurrentText(QStringLiteral("SHF"));
        env.m.logDb.execute(QStringLiteral("update data set qsl = 'a' where count = %1").arg(key));
        env.dialogs.clear();
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"You cannot edit an accreditated qso!"}));
        QCOMPARE(env.rawField(key, QStringLiteral("qsl")), QStringLiteral("a"));
        QCOMPARE(env.rawField(key, QStringLiteral("band")), QStringLiteral("VHF"));

        env.m.logDb.execute(QStringLiteral("delete from data where count = %1").arg(key));
        env.dialogs.clear();
        w.cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"this QSO is no longer in the Logbook!"}));
        QCOMPARE(env.dialogs.shown.front().icon, Icon::Critical);
        QCOMPARE(env.count(), 1);
        QVERIFY(w.isVisible());
    }

    void editCountsLengthLimitsBeforeQuotesAndOutlivesTheWindow() {
        TestEnv env;
        const int key = env.addQso(qso("AB", "HF", "MIXED", "w"));
        frmEditQSO* w = &handOver(env, key);
        w->txtCall->setText(QStringLiteral("I'1'A'B'CDEF"));
        w->comboPlace->setCurrentText(QStringLiteral("CA' ") + QString(46, u'X'));
        w->cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"QSO edited"}));
        QCOMPARE(env.rawField(key, QStringLiteral("call")), QStringLiteral("I'1'A'B'CDEF"));

        // Clear keeps the key; Submit then fails on the empty sub-square.
        w = &handOver(env, key);
        QTest::mouseClick(w->cmdClear, Qt::LeftButton);
        env.dialogs.clear();
        w->cmdSubmit_Click();
        QCOMPARE(env.dialogs.texts(), QStringList({"WWLocator Field must be two characters"}));
        QCOMPARE(w->editCount, key);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(env.registry->editQSO().editCount, key);
    }
};

QTEST_MAIN(QsoTest)
#include "tst_qso.moc"
