// The QSO form in its two windows: input assistance while typing, the checks and the award's
// duplicate rules of Submit, numbering, and the edit window's rewrite of a QSO in place.

#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"
#include "storage/Codes.h"
#include "support/TestEnv.h"

#include <QAbstractItemView>

#include <algorithm>

using namespace hm52;
using namespace hm52::test;

namespace {

// Types into a box the way the operator does: focus first, then the keys.
void type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
}

// A QSO as the operator types it, in lower case where letters go.
struct Entry {
    QString locator = u"ab"_s;
    QString call = u"i1abc"_s;
    QString day = u"5"_s;
    QString month = u"12"_s;
    QString year = u"04"_s;
    QString time = u"2130"_s;
    QString place = u"alfa"_s;
    QString band = u"HF"_s;
    QString mode = u"MIXED"_s;
    bool confirmed = true;
};

// The default entry with some boxes changed: "call=i2xyz;day=31".
Entry with(const QString& changes) {
    Entry e;
    const std::pair<const char*, QString Entry::*> boxes[] = {
        {"locator", &Entry::locator}, {"call", &Entry::call}, {"day", &Entry::day},
        {"month", &Entry::month},     {"year", &Entry::year}, {"time", &Entry::time},
        {"place", &Entry::place},     {"band", &Entry::band}, {"mode", &Entry::mode}};
    for (const QString& change : changes.split(u';', Qt::SkipEmptyParts)) {
        for (const auto& box : boxes) {
            if (change.section(u'=', 0, 0) == QLatin1String(box.first)) {
                e.*box.second = change.section(u'=', 1);
            }
        }
    }
    return e;
}

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

// Hands a QSO of the log to the edit window as the operator does: its line selected in the
// active log browser, then "Edit QSO".
frmEditQSO& handOver(TestEnv& env, int count) {
    frmUtility& b = env.registry->utility();
    b.showAny();
    showActive(&b);
    const auto line = std::find(b.lineKeys().begin(), b.lineKeys().begin() + b.lineCount(), count) -
                      b.lineKeys().begin();
    auto* list = child<QListView>(&b, "List");
    list->setCurrentIndex(list->model()->index(static_cast<int>(line), 0));
    b.cmdEditQSO_Click();
    return env.registry->editQSO();
}

// Clicks Submit, the question answered with `answers`; the texts of the boxes it showed.
QStringList submit(TestEnv& env, QsoForm& w, std::initializer_list<Answer> answers = {}) {
    for (Answer a : answers) {
        env.dialogs.answer(a);
    }
    const auto before = static_cast<qsizetype>(env.dialogs.shown.size());
    QTest::mouseClick(w.cmdSubmit, Qt::LeftButton);
    return env.dialogs.texts().mid(before);
}

// A QSO as read back: "AB|I1ABC|05/12/04|21.30.00|ALFA|BD|MIXED|HF|c", or "(none)".
QString row(TestEnv& env, int count) {
    Recordset rs(env.m.logDb, u"select * from data where count = %1"_s.arg(count));
    if (rs.eof()) {
        return u"(none)"_s;
    }
    QStringList fields;
    for (const char* name :
         {"WWLocator", "call", "date", "time", "place", "prov", "mode", "band", "qsl"}) {
        fields << rs.text(QLatin1String(name));
    }
    return fields.join(u'|');
}

const QStringList abPlaces{u"ALFA"_s, u"BRAVO"_s, u"CHARLIE"_s, u"PIAN D'OLMO"_s};
const QString accreditedExists =
    u"Another QSO with the same accreditated locator already exists! new qso will not be saved"_s;

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
        QStringList submit(std::initializer_list<Answer> answers = {}) {
            return ::submit(env, *w, answers);
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
            QCOMPARE(
                (QStringList{child<QLabel>(w, "Label3")->text(), child<QLabel>(w, "Label1")->text(),
                             child<QLabel>(w, "Label2")->text(), w->optQSLConf->text(),
                             w->optQSLworked->text(), w->cmdClear->text(), w->cmdSubmit->text(),
                             w->cmdExit->text()}),
                QStringList({"HM52", "/", "/", "confirmed", "worked", "Clear", "Submit", "Exit"}));
            // Sub-square to time on the left, place to QSL on the right, the buttons in a
            // column beside them: Clear, Submit, Exit from top to bottom.
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
            const auto pos = [w](QWidget* c) { return c->mapTo(w, QPoint(0, 0)); };
            const std::vector<std::vector<QWidget*>> columns{
                {w->txtWWLocator, w->txtCall, w->txtDate[0], w->txtTime},
                {w->comboPlace, w->comboProv, w->comboMode, w->comboBand, w->optQSLConf,
                 w->optQSLworked},
                {w->cmdClear, w->cmdSubmit, w->cmdExit}};
            for (const auto& column : columns) {
                for (size_t i = 1; i < column.size(); ++i) {
                    QVERIFY2(pos(column[i - 1]).y() < pos(column[i]).y(),
                             qPrintable(column[i]->objectName()));
                }
            }
            QVERIFY(pos(w->txtCall).x() + w->txtCall->width() < pos(w->comboPlace).x());
            QVERIFY(pos(w->comboPlace).x() + w->comboPlace->width() < pos(w->cmdClear).x());
            QCOMPARE(itemTexts(w->comboMode), QStringList({"MIXED", "SSB", "CW", "DIGITAL"}));
            QCOMPARE(itemTexts(w->comboBand),
                     QStringList({"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}));
            QCOMPARE(itemTexts(w->comboProv), codes::provinces());
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
        QCOMPARE(env.registry->insertQSO().windowTitle(), u"Insert QSO"_s);
        QCOMPARE(env.registry->editQSO().windowTitle(), u"Edit QSO"_s);
    }

    void subSquareIsUpperCasedCutToTwoMovesOnAndFillsThePlaceList() {
        Insert run;
        frmInsertQSO& w = *run.w;
        QCOMPARE(boxState(w.txtWWLocator), u" *"_s);
        typeAtFocus(u"a"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"A *"_s);
        QVERIFY(itemTexts(w.comboPlace).isEmpty());
        typeAtFocus(u"b"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"AB"_s);
        QCOMPARE(boxState(w.txtCall), u" *"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);
        QCOMPARE(w.comboPlace->currentText(), QString());

        QTest::mouseClick(w.txtWWLocator, Qt::LeftButton);
        QCOMPARE(boxState(w.txtWWLocator), u"AB [AB] *"_s);
        typeAtFocus(u"c"_s);
        QCOMPARE(w.txtWWLocator->text(), u"C"_s);
        QVERIFY(itemTexts(w.comboPlace).isEmpty());

        // Pasted: cut to two, selected from the start, the focus kept.
        w.txtWWLocator->clear();
        w.txtWWLocator->insert(u"abc"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"AB [AB] *"_s);
        QCOMPARE(w.txtWWLocator->selectionStart(), 0);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);

        // A quote is a letter like any other to the gazetteer look-up.
        typeAtFocus(u"a'"_s);
        QCOMPARE(w.txtWWLocator->text(), u"A'"_s);
        QVERIFY(itemTexts(w.comboPlace).isEmpty());
        QVERIFY(run.env.dialogs.shown.empty());
    }

    void callMovesOnAtTwelveAndIsCutAtThirteenDateAndTimeDigitsFlowOn() {
        Insert run;
        frmInsertQSO& w = *run.w;
        type(w.txtCall, u"iz1abcdefgh"_s);
        QCOMPARE(boxState(w.txtCall), u"IZ1ABCDEFGH *"_s);
        QTest::keyClicks(w.txtCall, u"i"_s);
        QCOMPARE(boxState(w.txtCall), u"IZ1ABCDEFGHI"_s);
        QCOMPARE(QApplication::focusWidget(), w.txtDate[0]);

        QTest::mouseClick(w.txtCall, Qt::LeftButton);
        QCOMPARE(boxState(w.txtCall), u"IZ1ABCDEFGHI [IZ1ABCDEFGHI] *"_s);
        w.txtCall->setText(u"iz1abcdefghij"_s);
        QCOMPARE(boxState(w.txtCall), u"IZ1ABCDEFGH [IZ1ABCDEFGH] *"_s);

        // Date and time digits flow from the day box to the place.
        w.txtCall->clear();
        w.txtDate[0]->setFocus();
        typeAtFocus(u"0512042130"_s);
        QCOMPARE(formText(w), u"||05|12|04|2130||BD|MIXED|HF|c"_s);
        QCOMPARE(QApplication::focusWidget(), w.comboPlace);

        // A fifth character in the time box leaves the four, selected.
        w.txtTime->setFocus();
        w.txtTime->end(false);
        typeAtFocus(u"5"_s);
        QCOMPARE(boxState(w.txtTime), u"2130 [2130] *"_s);
        typeAtFocus(u"0"_s);
        QCOMPARE(w.txtTime->text(), u"0"_s);

        // A click selects a full box only.
        QTest::mouseClick(w.txtDate[1], Qt::LeftButton);
        QCOMPARE(boxState(w.txtDate[1]), u"12 [12] *"_s);
        w.txtDate[2]->setText(u"4"_s);
        QTest::mouseClick(w.txtDate[2], Qt::LeftButton);
        QCOMPARE(boxState(w.txtDate[2]), u"4 *"_s);
    }

    void provinceFollowsTypedAndChosenPlacesAndTypedPlacesSurviveTheList() {
        Insert run;
        frmInsertQSO& w = *run.w;
        QCOMPARE(w.comboProv->currentText(), u"BD"_s);
        type(w.comboPlace, u"bravo"_s);
        QCOMPARE(w.comboPlace->currentText(), u"BRAVO"_s);
        QCOMPARE(w.comboProv->currentText(), u"CV"_s);
        w.comboPlace->clearEditText();
        type(w.comboPlace, u"pian d'olmo"_s); // first row of two: LM
        QCOMPARE(w.comboProv->currentText(), u"LM"_s);
        w.comboPlace->clearEditText();
        type(w.comboPlace, u"nowhere"_s);
        QCOMPARE(w.comboProv->currentText(), u"LM"_s);

        // A typed place and province survive the rebuild of the list; the look-ups go to the
        // gazetteer through auxRs.
        w.comboProv->setCurrentText(u"TD"_s);
        type(w.txtWWLocator, u"ab"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);
        QCOMPARE(w.comboPlace->currentText(), u"NOWHERE"_s);
        QCOMPARE(w.comboProv->currentText(), u"TD"_s);
        QVERIFY(run.env.m.auxRs);

        // Chosen from the list of the sub-square.
        w.txtWWLocator->clear();
        type(w.txtWWLocator, u"xx"_s);
        w.comboPlace->showPopup();
        QAbstractItemView* view = w.comboPlace->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window()));
        const QModelIndex echo = view->model()->index(0, 0);
        QCOMPARE(echo.data().toString(), u"ECHO"_s);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(echo).center());
        QCOMPARE(w.comboPlace->currentText(), u"ECHO"_s);
        QCOMPARE(w.comboProv->currentText(), u"SD"_s);
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
                type(box, u"i1abc"_s);
                line->setCursorPosition(2);
                QTest::keyClicks(box, u"x"_s);
                QCOMPARE(line->text(), u"I1XABC"_s);
                QCOMPARE(line->cursorPosition(), edit ? 6 : 3);
            }
            type(w.txtWWLocator, u"b"_s);
            w.txtWWLocator->setFocus();
            w.txtWWLocator->setCursorPosition(0);
            QTest::keyClicks(w.txtWWLocator, u"a"_s);
            QCOMPARE(w.txtWWLocator->text(), u"AB"_s);
            QCOMPARE(w.txtWWLocator->cursorPosition(), edit ? 2 : 1);
            w.hide();
        }
    }

    void clearKeepsBandModeAndProvinceAndTheCloseBoxRestoresDefaults() {
        Insert run;
        frmInsertQSO* w = run.w;
        Entry e = with(u"place=delta;band=VHF;mode=CW"_s);
        e.confirmed = false;
        enter(*w, e);
        QCOMPARE(formText(*w), u"AB|I1ABC|5|12|04|2130|DELTA|VLT|CW|VHF|w"_s);
        QTest::mouseClick(w->cmdClear, Qt::LeftButton);
        const QString cleared = u"|||||||VLT|CW|VHF|c"_s;
        QCOMPARE(formText(*w), cleared);
        QCOMPARE(w->comboPlace->count(), 0);
        QCOMPARE(QApplication::focusWidget(), w->txtWWLocator);

        // Exit hides and keeps the selections.
        enter(*w, e);
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(run.env.registry->loaded(Window::InsertQSO), w);
        QCOMPARE(formText(*w), cleared);

        // The close box unloads; the next showing starts from the defaults.
        run.env.registry->show(Window::InsertQSO);
        enter(*w, e);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!run.env.registry->loaded(Window::InsertQSO));
        run.env.registry->show(Window::InsertQSO);
        w = &run.env.registry->insertQSO();
        QCOMPARE(formText(*w), u"|||||||"_s + codes::provinces().first() + u"|MIXED|HF|c"_s);
        QVERIFY(run.env.dialogs.shown.empty());
    }

    // ----- saving a new QSO -----------------------------------------------------------

    void savedQsoIsStoredAsTypedAndTheFormEmpties() {
        Insert run;
        frmInsertQSO& w = *run.w;
        enter(w, with(u"place=pian d'olmo;band=50 MHz;mode=DIGITAL"_s));
        QVERIFY(!run.env.registry->loaded(Window::Utility));
        QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        QCOMPARE(looks(run.env.dialogs), QStringList({"HM52 Information Ok"}));
        QCOMPARE(row(run.env, 1), u"AB|I1ABC|05/12/04|21.30.00|PIAN D'OLMO|LM|DIGITAL|50 MHz|c"_s);
        QCOMPARE(formText(w), u"|||||||LM|DIGITAL|50 MHz|c"_s);
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        // The browser and the counter were loaded (hidden) to refresh.
        QVERIFY(run.env.registry->loaded(Window::Utility));
        QVERIFY(run.env.registry->loaded(Window::Award));
        QVERIFY(!run.env.registry->loaded(Window::Utility)->isVisible());

        // A day its month does not have is kept as typed, a one-digit year and hour too.
        enter(w, with(u"day=31;month=2;year=4;time=0905"_s));
        QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        QCOMPARE(run.env.rawField(2, u"date"_s), u"2004-02-31"_s);
        QVERIFY(row(run.env, 2).contains(u"|31/02/04|9.05.00|"_s));
    }

    void checksRunInOrderWithTheirMessages_data() {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QStringList>("messages");
        const QStringList saved{"QSO saved"};
        const auto add = [](const char* name, const QString& changes, const QStringList& shown) {
            QTest::newRow(name) << changes << shown;
        };
        add("one letter", u"locator=a"_s, {"WWLocator Field must be two characters"});
        add("numeric sub-square", u"locator=12"_s, {"WWLocator Field cannot be numerical"});
        add("A1 sub-square", u"locator=a1"_s, saved);
        add("no call", u"call="_s, {"Call Field cannot be null"});
        add("12 with 3 quotes", u"call=i'1'a'bcdefg"_s, saved);
        add("12 with 4 quotes, no date", u"call=i'1'a'b'cdef;day=;month=;year="_s,
            {"Call Field is too long", "Date Fields cannot be null"});
        add("12 with 4 quotes, no place", u"call=i'1'a'b'cdef;place="_s,
            {"Call Field is too long", "place field cannot be null"});
        add("no month", u"month="_s, {"Date Fields cannot be null"});
        add("signed day", u"day=-1"_s, {"date fields must be numeric"});
        add("decimal month", u"month=1."_s, {"date fields must be numeric"});
        add("letter year", u"year=o4"_s, {"date fields must be numeric"});
        for (const char* date : {"day=0", "day=32", "month=0", "month=13"}) {
            add(date, QLatin1String(date), {"error in date field format"});
        }
        add("31/12, one-digit year", u"day=31;year=9"_s, saved);
        add("no time", u"time="_s, {"time field cannot be null"});
        add("decimal time", u"time=21.3"_s, {"time field must be numeric"});
        add("signed time", u"time=-130"_s, {"time field must be numeric"});
        add("time 123", u"time=123"_s, {"time field must be 4 numbers"});
        for (const char* time : {"time=2400", "time=2360"}) {
            add(time, QLatin1String(time), {"error in time field format"});
        }
        for (const char* time : {"time=0000", "time=0030", "time=2359"}) {
            add(time, QLatin1String(time), saved);
        }
        add("no place", u"place="_s, {"place field cannot be null"});
        add("place 50 with a quote", u"place=ca' "_s + QString(46, u'x'),
            {"place field is too long"});
        add("place 50", u"place="_s + QString(50, u'x'), saved);
    }

    void checksRunInOrderWithTheirMessages() {
        QFETCH(QString, changes);
        QFETCH(QStringList, messages);
        Insert run;
        const Entry entry = with(changes);
        enter(*run.w, entry);
        QCOMPARE(run.submit(), messages);
        const bool saved = messages == QStringList{"QSO saved"};
        QCOMPARE(run.env.count(), saved ? 1 : 0);
        if (!saved) {
            QCOMPARE(looks(run.env.dialogs), QStringList(messages.size(), u"error Critical Ok"_s));
            // The form is kept and no box moved the focus.
            QCOMPARE(run.w->txtCall->text(), entry.call.toUpper());
            QCOMPARE(QApplication::focusWidget(), run.w->cmdSubmit);
        }
    }

    void accreditedSubSquareIsRefusedOnItsBandAndModeOnly() {
        Insert run;
        run.env.addQso({.mode = "SSB", .band = "VHF", .qsl = "a"});
        for (bool confirmed : {true, false}) {
            Entry e = with(u"band=VHF;mode=SSB"_s);
            e.confirmed = confirmed;
            enter(*run.w, e);
            QCOMPARE(run.submit(), QStringList({accreditedExists}));
            QCOMPARE(look(run.env.dialogs.shown.back()), u"Error Critical Ok"_s);
            QCOMPARE(run.env.count(), 1);
            run.w->cancella();
        }
        for (const char* other : {"band=UHF;mode=SSB", "band=VHF;mode=CW"}) {
            enter(*run.w, with(QLatin1String(other)));
            QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        }
        QCOMPARE(run.env.count(), 3);
    }

    void secondConfirmedQsoReplacesTheFirstOnlyOnYesAndAFailedStoreReplacesNothing() {
        Insert run;
        const int old = run.env.addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        const int other = run.env.addQso({.mode = "SSB", .band = "UHF", .qsl = "c"});
        Entry e = with(u"band=VHF;mode=SSB;call=i2new"_s);
        enter(*run.w, e);
        const QString question = u"warning: the same locator confirmed already exist! do you "
                                 u"want to replace it? Last QSO will be deleted"_s;
        QCOMPARE(run.submit({Answer::No}), QStringList({question}));
        QCOMPARE(looks(run.env.dialogs), QStringList({"warning None YesNo"}));
        QCOMPARE(run.env.count(), 2);
        QCOMPARE(run.w->txtCall->text(), u"I2NEW"_s);

        QCOMPARE(run.submit({Answer::Yes}), QStringList({question, "QSO saved"}));
        QCOMPARE(row(run.env, old), u"(none)"_s);
        QVERIFY(row(run.env, other) != u"(none)"_s);
        QCOMPARE(run.env.count("call = 'I2NEW' and band = 'VHF' and qsl = 'c'"), 1);
        QCOMPARE(run.env.count(), 2);

        // A failed store leaves the QSO to be replaced in the log, and the form as typed.
        const QString before = row(run.env, 3);
        run.env.m.logDb.execute(u"create trigger refuse before insert on data begin select "
                                u"raise(abort, 'disk full'); end"_s);
        enter(*run.w, with(u"band=VHF;mode=SSB;call=i3new"_s));
        QCOMPARE(run.submit({Answer::Yes}), QStringList({question, "disk full"}));
        QCOMPARE(run.env.dialogs.shown.back().icon, Icon::Critical);
        QCOMPARE(row(run.env, 3), before);
        QCOMPARE(run.env.count(), 2);
        QCOMPARE(run.w->txtCall->text(), u"I3NEW"_s);
        QVERIFY(!run.env.m.logDb.inTransaction());
        run.env.m.logDb.execute(u"drop trigger refuse"_s);
        run.w->cancella();

        // A worked QSO is never compared.
        e.confirmed = false;
        enter(*run.w, e);
        QCOMPARE(run.submit(), QStringList({"QSO saved"}));
        QCOMPARE(run.env.count(), 3);
    }

    void numberingTakesTheHighestPlusOne() {
        Insert run;
        enter(*run.w, Entry{});
        run.submit();
        QCOMPARE(run.env.count("count = 1"), 1);
        for (int i = 2; i <= 7; ++i) {
            run.env.addQsoWithCount(i, {.WWLocator = "CD", .qsl = "w"});
        }
        for (const char* locator : {"xx", "mn"}) {
            Entry e = with(u"locator="_s + QLatin1String(locator));
            e.confirmed = false;
            enter(*run.w, e);
            run.submit();
            QCOMPARE(row(run.env, 8).left(3), e.locator.toUpper() + u'|');
            // The highest number, deleted, is given again.
            run.env.m.logDb.execute(u"delete from data where count = 8 and WWLocator = 'XX'"_s);
        }
        QCOMPARE(run.env.count(), 8);
    }

    // ----- editing --------------------------------------------------------------------

    void unchangedConfirmedQsoIsStoredAgainWithoutQuestion() {
        TestEnv env;
        env.addQso({.WWLocator = "XX", .qsl = "w"});
        // Longer than a typed call (an imported one): handed over whole, not cut; 15
        // characters with a quote pass the edit window's limit.
        const Qso q{.call = "HB0/IZ1'BCD/QRP",
                    .place = "PIAN D'OLMO",
                    .prov = "MV",
                    .mode = "SSB",
                    .band = "VHF",
                    .time = "19:05"};
        const int key = env.addQso(q);
        const QString before = row(env, key);
        frmEditQSO& w = handOver(env, key);
        QCOMPARE(formText(w), u"AB|HB0/IZ1'BCD/QRP|05|01|04|1905|PIAN D'OLMO|MV|SSB|VHF|c"_s);
        // Shown from the active browser, the edit window comes to the front with the focus in
        // the sub-square box.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&w));
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        QTest::mouseClick(w.cmdSubmit, Qt::LeftButton);
        QCOMPARE(env.dialogs.texts(), QStringList({"QSO edited"}));
        QCOMPARE(looks(env.dialogs), QStringList({"HM52 Information Ok"}));
        QCOMPARE(row(env, key), before);
        QCOMPARE(env.count(), 2);
        QVERIFY(!w.isVisible());
        QCOMPARE(formText(w), u"|||||||MV|SSB|VHF|c"_s);
        QCOMPARE(w.focusWidget(), w.txtWWLocator);
        QCOMPARE(w.editCount, key);
    }

    // (The browser and the counter following an edit: see the end-to-end road.)
    void changedQsoIsRewrittenInPlace() {
        TestEnv env;
        const int key = env.addQso({.qsl = "w"});
        env.addQso({.call = "I2ZZZ", .WWLocator = "CD", .qsl = "w"});
        frmEditQSO& w = handOver(env, key);
        w.txtWWLocator->setText(u"mn"_s);
        w.comboPlace->setCurrentText(u"ca' bianca"_s);
        w.comboBand->setCurrentText(u"SAT"_s);
        w.txtDate[0]->setText(u"31"_s);
        w.txtDate[1]->setText(u"02"_s);
        QCOMPARE(submit(env, w), QStringList({"QSO edited"}));
        QCOMPARE(row(env, key), u"MN|I1ABC|31/02/04|9.05.00|CA' BIANCA|TD|MIXED|SAT|w"_s);
        QCOMPARE(env.count(), 2);
    }

    void workedTurnedConfirmedAsksAndOnlyAStoredYesRemovesTheOther() {
        TestEnv env;
        const int other = env.addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        const int key = env.addQso({.mode = "SSB", .band = "VHF", .qsl = "w"});
        const auto qsls = [&]() {
            return env.rawField(other, u"qsl"_s) + env.rawField(key, u"qsl"_s);
        };
        frmEditQSO& w = handOver(env, key);
        w.optQSLConf->setChecked(true);
        QCOMPARE(submit(env, w, {Answer::No}).size(), 1);
        QCOMPARE(env.dialogs.shown.at(0).title, u"warning"_s);
        QCOMPARE(qsls(), u"cw"_s);

        // Yes, but the rewrite fails: the other QSO stays.
        env.m.logDb.execute(u"create trigger refuse before update on data begin select "
                            u"raise(abort, 'locked'); end"_s);
        QCOMPARE(submit(env, w, {Answer::Yes}).last(), u"locked"_s);
        QCOMPARE(qsls(), u"cw"_s);
        QVERIFY(w.isVisible() && w.optQSLConf->isChecked());

        env.m.logDb.execute(u"drop trigger refuse"_s);
        QCOMPARE(submit(env, w, {Answer::Yes}).last(), u"QSO edited"_s);
        QCOMPARE(row(env, other), u"(none)"_s);
        QCOMPARE(env.rawField(key, u"qsl"_s), u"c"_s);
        QCOMPARE(env.count(), 1);
        QVERIFY(!w.isVisible());
    }

    void editRefusesAnAccreditedCombinationOrAQsoGoneMeanwhileAndCountsLimitsBeforeQuotes() {
        TestEnv env;
        env.addQso({.mode = "SSB", .band = "UHF", .qsl = "a"});
        const int key = env.addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        const int worked = env.addQso({.qsl = "w"});
        frmEditQSO& w = handOver(env, key);
        w.comboBand->setCurrentText(u"UHF"_s);
        QCOMPARE(submit(env, w), QStringList({accreditedExists}));
        QCOMPARE(env.dialogs.shown.front().title, u"Error"_s);

        w.comboBand->setCurrentText(u"SHF"_s);
        env.m.logDb.execute(u"update data set qsl = 'a' where count = %1"_s.arg(key));
        QCOMPARE(submit(env, w), QStringList({"You cannot edit an accreditated qso!"}));
        QCOMPARE(env.rawField(key, u"qsl"_s) + env.rawField(key, u"band"_s), u"aVHF"_s);

        env.m.logDb.execute(u"delete from data where count = %1"_s.arg(key));
        QCOMPARE(submit(env, w), QStringList({"this QSO is no longer in the Logbook!"}));
        QCOMPARE(env.dialogs.shown.back().icon, Icon::Critical);
        QCOMPARE(env.count(), 2);
        QVERIFY(w.isVisible());

        // Length limits count before quotes are doubled.
        frmEditQSO* edit = &handOver(env, worked);
        edit->txtCall->setText(u"I'1'A'B'CDEF"_s);
        edit->comboPlace->setCurrentText(u"CA' "_s + QString(46, u'X'));
        QCOMPARE(submit(env, *edit), QStringList({"QSO edited"}));
        QCOMPARE(env.rawField(worked, u"call"_s), u"I'1'A'B'CDEF"_s);

        // Clear keeps the key, which outlives the window; Submit then fails on the empty
        // sub-square.
        edit = &handOver(env, worked);
        QTest::mouseClick(edit->cmdClear, Qt::LeftButton);
        QCOMPARE(submit(env, *edit), QStringList({"WWLocator Field must be two characters"}));
        QCOMPARE(edit->editCount, worked);
        edit->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(env.registry->editQSO().editCount, worked);
    }
};

QTEST_MAIN(QsoTest)
#include "tst_qso.moc"
