// The QSO form in its two windows: input assistance while typing; Submit showing the answers of
// the checks and of the duplicate rules (the rules themselves: tests/rules) and writing a new
// QSO, or rewriting the edited one in place.

#include "browser/frmUtility.h"
#include "qso/frmEditQSO.h"
#include "qso/frmInsertQSO.h"
#include "storage/Codes.h"
#include "support/TestEnv.h"

#include <QClipboard>

#include <algorithm>

using namespace hm52;
using namespace hm52::test;

namespace {

// Types into a box the way the operator does: focus first, then the keys.
void type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClicks(box, text);
}

// Types a QSO as the operator does, in lower case where letters go: the default one with some
// boxes changed ("call=i2xyz;day=31"), confirmed or worked.
void enter(QsoForm& w, const QString& changes = {}, bool confirmed = true) {
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

const QStringList abPlaces{u"ALFA"_s, u"BRAVO"_s, u"CHARLIE"_s, u"PIAN D'OLMO"_s};
const QString accreditedExists =
    u"Another QSO with the same accreditated locator already exists! new qso will not be saved"_s;
const QString replaceQuestion = u"warning: the same locator confirmed already exist! do you "
                                u"want to replace it? Last QSO will be deleted"_s;

} // namespace

class QsoTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env; // a log and windows of its own for every case

    // The insert window, shown and active.
    frmInsertQSO& insert() {
        env->registry->show(Window::InsertQSO);
        frmInsertQSO& w = env->registry->insertQSO();
        showActive(&w);
        return w;
    }

    // Hands a QSO of the log to the edit window as the operator does: its line selected in the
    // active log browser, then "Edit QSO".
    frmEditQSO& handOver(int count) {
        frmUtility& b = env->registry->utility();
        b.showAny();
        showActive(&b);
        const auto line = std::ranges::find(b.lineKeys(), count) - b.lineKeys().begin();
        auto* list = child<QListView>(&b, "List");
        list->setCurrentIndex(list->model()->index(static_cast<int>(line), 0));
        b.cmdEditQSO_Click();
        return env->registry->editQSO();
    }

    // Clicks Submit, the question answered with `answers`; the texts of the boxes it showed.
    QStringList submit(QsoForm& w, std::initializer_list<Answer> answers = {}) {
        env->dialogs.answer(answers);
        const auto before = static_cast<qsizetype>(env->dialogs.shown.size());
        QTest::mouseClick(w.cmdSubmit, Qt::LeftButton);
        return env->dialogs.texts().mid(before);
    }

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }
    void cleanup() { env.reset(); }

    // ----- the form -------------------------------------------------------------------

    // Both windows carry the same controls; the caret stays after a typed character on insert
    // and goes to the end on edit.
    void bothWindowsCarryTheSameControlsInTheirFramesAndPlaceTheCaretTheirWay() {
        const std::vector<std::tuple<QsoForm*, QString, int>> windows{
            {&env->registry->insertQSO(), u"Insert QSO"_s, 3},
            {&env->registry->editQSO(), u"Edit QSO"_s, 6}};
        for (const auto& [w, title, caret] : windows) {
            QCOMPARE(w->windowTitle(), title);
            QCOMPARE(
                texts(w, "FrameWWLocator FrameCall FrameDate FrameTime FramePlace FrameProv "
                         "FrameMode FrameBand FrameQSL Label3 Label1 Label2 optQSLConf "
                         "optQSLworked cmdClear cmdSubmit cmdExit"),
                u"WWLocator|Call|date (dd/mm/yy)|Time (hhmm)|Place|Prov|Mode|Band|QSL|HM52|/|/|"
                u"confirmed|worked|Clear|Submit|Exit"_s);
            // Sub-square to time on the left, place to QSL on the right, the buttons in a
            // column beside them: Clear, Submit, Exit from top to bottom.
            showActive(w);
            const auto pos = [form = w](QWidget* c) { return c->mapTo(form, QPoint(0, 0)); };
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
            for (QWidget* at = w->txtWWLocator; order.size() < 15; at = at->nextInFocusChain()) {
                if (at->focusPolicy() != Qt::NoFocus && !at->focusProxy()) {
                    order << at->objectName();
                }
            }
            QCOMPARE(order, QStringList({"txtWWLocator", "txtCall", "txtDate(0)", "txtDate(1)",
                                         "txtDate(2)", "txtTime", "comboPlace", "comboProv",
                                         "comboMode", "comboBand", "optQSLConf", "optQSLworked",
                                         "cmdSubmit", "cmdClear", "cmdExit"}));
            for (QWidget* box : std::initializer_list<QWidget*>{w->txtCall, w->comboPlace}) {
                QLineEdit* line = box == w->comboPlace ? w->comboPlace->lineEdit() : w->txtCall;
                type(box, u"i1abc"_s);
                line->setCursorPosition(2);
                QTest::keyClicks(box, u"x"_s);
                QCOMPARE(line->text(), u"I1XABC"_s);
                QCOMPARE(line->cursorPosition(), caret);
            }
            w->hide();
        }
    }

    void subSquareIsUpperCasedCutToTwoMovesOnAndFillsThePlaceList() {
        frmInsertQSO& w = insert();
        QCOMPARE(boxState(w.txtWWLocator), u" *"_s);
        typeAtFocus(u"a"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"A *"_s);
        QVERIFY(itemTexts(w.comboPlace).isEmpty());
        typeAtFocus(u"b"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"AB"_s);
        QCOMPARE(boxState(w.txtCall), u" *"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);

        QTest::mouseClick(w.txtWWLocator, Qt::LeftButton);
        QCOMPARE(boxState(w.txtWWLocator), u"AB [AB] *"_s);
        typeAtFocus(u"c"_s);
        QCOMPARE(w.txtWWLocator->text(), u"C"_s);
        QVERIFY(itemTexts(w.comboPlace).isEmpty());

        // Pasted: cut to two, selected from the start, the focus kept.
        w.txtWWLocator->clear();
        w.txtWWLocator->insert(u"abc"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"AB [AB] *"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);

        // A quote is a letter like any other to the gazetteer look-up.
        typeAtFocus(u"a'"_s);
        QCOMPARE(w.txtWWLocator->text(), u"A'"_s);
        QVERIFY(itemTexts(w.comboPlace).isEmpty());
        QVERIFY(env->dialogs.shown.empty());
    }

    void callMovesOnAtTwelveAndIsCutAtThirteenDateAndTimeDigitsFlowOn() {
        frmInsertQSO& w = insert();
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
        frmInsertQSO& w = insert();
        type(w.comboPlace, u"bravo"_s);
        QCOMPARE(w.comboPlace->currentText(), u"BRAVO"_s);
        QCOMPARE(w.comboProv->currentText(), u"CV"_s);
        w.comboPlace->clearEditText();
        type(w.comboPlace, u"nowhere"_s);
        QCOMPARE(w.comboProv->currentText(), u"CV"_s);

        // A typed place and province survive the rebuild of the list; the look-ups go to the
        // gazetteer through auxRs.
        w.comboProv->setCurrentText(u"TD"_s);
        type(w.txtWWLocator, u"ab"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);
        QCOMPARE(w.comboPlace->currentText(), u"NOWHERE"_s);
        QCOMPARE(w.comboProv->currentText(), u"TD"_s);
        QVERIFY(env->m.auxRs);

        // Chosen from the list of the sub-square.
        w.txtWWLocator->clear();
        type(w.txtWWLocator, u"xx"_s);
        QCOMPARE(itemTexts(w.comboPlace).value(0), u"ECHO"_s);
        QTest::keyClick(w.comboPlace, Qt::Key_Down);
        QCOMPARE(w.comboPlace->currentText(), u"ECHO"_s);
        QCOMPARE(w.comboProv->currentText(), u"SD"_s);
        QVERIFY(env->dialogs.shown.empty());
    }

    void clearKeepsBandModeAndProvinceAndTheCloseBoxRestoresDefaults() {
        frmInsertQSO* w = &insert();
        const QString e = u"place=delta;band=VHF;mode=CW"_s;
        enter(*w, e, false);
        QTest::mouseClick(w->cmdClear, Qt::LeftButton);
        const QString cleared = u"|||||||VLT|CW|VHF|c"_s;
        QCOMPARE(formText(*w), cleared);
        QCOMPARE(w->comboPlace->count(), 0);
        QCOMPARE(QApplication::focusWidget(), w->txtWWLocator);

        // Exit hides and keeps the selections.
        enter(*w, e, false);
        QTest::mouseClick(w->cmdExit, Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(env->registry->loaded(Window::InsertQSO), w);
        QCOMPARE(formText(*w), cleared);

        // The close box unloads; the next showing starts from the defaults.
        env->registry->show(Window::InsertQSO);
        enter(*w, e, false);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!env->registry->loaded(Window::InsertQSO));
        w = &insert();
        QCOMPARE(formText(*w), u"|||||||"_s + codes::provinces().first() + u"|MIXED|HF|c"_s);
        QVERIFY(env->dialogs.shown.empty());
    }

    // ----- saving a new QSO -----------------------------------------------------------

    void savedQsoIsStoredAsTypedAndTheFormEmpties() {
        frmInsertQSO& w = insert();
        // The gazetteer holds the place twice; the province of its first row follows it.
        enter(w, u"place=pian d'olmo;band=50 MHz;mode=DIGITAL"_s);
        QVERIFY(!env->registry->loaded(Window::Utility));
        QCOMPARE(submit(w), QStringList({"QSO saved"}));
        QCOMPARE(looks(env->dialogs), QStringList({"HM52 Information Ok"}));
        QCOMPARE(env->rawRows(),
                 QStringList({"1|I1ABC|AB|PIAN D'OLMO|LM|DIGITAL|50 MHz|2004-12-05|21:30:00|c"}));
        QCOMPARE(formText(w), u"|||||||LM|DIGITAL|50 MHz|c"_s);
        QCOMPARE(QApplication::focusWidget(), w.txtWWLocator);
        // The browser and the counter were loaded (hidden) to refresh.
        const QWidget* browser = env->registry->loaded(Window::Utility);
        QVERIFY(browser && !browser->isVisible() && env->registry->loaded(Window::Award));
    }

    void refusalsAreShownAsErrorsAndKeepTheFormAndTheLogAsTheyWere() {
        frmInsertQSO& w = insert();
        env->addQso({.mode = "SSB", .band = "VHF", .qsl = "a"});
        // Twelve characters with four quotes are too long once the quotes are doubled; the
        // checks go on to the empty place.
        enter(w, u"call=i'1'a'b'cdef;place=;band=VHF;mode=SSB"_s);
        QCOMPARE(submit(w), QStringList({"Call Field is too long", "place field cannot be null"}));
        QCOMPARE(looks(env->dialogs), QStringList(2, u"error Critical Ok"_s));
        const QString typed = u"AB|I'1'A'B'CDEF|5|12|04|2130||BD|SSB|VHF|c"_s;
        QCOMPARE(formText(w), typed);
        QCOMPARE(QApplication::focusWidget(), w.cmdSubmit); // no box moved the focus

        // Valid, but the sub-square is accredited on this band and mode.
        w.txtCall->setText(u"I1ABC"_s);
        w.comboPlace->setCurrentText(u"ALFA"_s);
        env->dialogs.clear();
        QCOMPARE(submit(w), QStringList({accreditedExists}));
        QCOMPARE(looks(env->dialogs), QStringList({"Error Critical Ok"}));
        QCOMPARE(formText(w), u"AB|I1ABC|5|12|04|2130|ALFA|BD|SSB|VHF|c"_s);
        QCOMPARE(env->count(), 1);
    }

    // Only AA to XX are sub-squares, in both windows, checked after the length and the number
    // test and before the call. A QSO of the log with another sub-square is shown as stored.
    void aSubSquareOutsideAAToXXIsRefusedAndNothingWritten_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("told");
        const QStringList notLetters{u"WWLocator Field must be two letters from A to X"_s};
        for (const bool editing : {false, true}) {
            const char* window = editing ? "edit" : "insert";
            const auto row = [&](const char* typed, const QStringList& told) {
                QTest::addRow("%s %s", window, typed)
                    << editing << QString::fromLatin1(typed) << told;
            };
            row("zz", notLetters);
            row("a1", notLetters);
            row("y0", notLetters);
            row("zz;call=", notLetters); // before the call's checks
            row("12", {u"WWLocator Field cannot be numerical"_s});
            row("a", {u"WWLocator Field must be two characters"_s});
            row("xx", {editing ? u"QSO edited"_s : u"QSO saved"_s});
        }
    }

    void aSubSquareOutsideAAToXXIsRefusedAndNothingWritten() {
        QFETCH(bool, editing);
        QFETCH(QString, typed);
        QFETCH(QStringList, told);
        // A QSO of another program's making, with a sub-square that does not exist.
        const int stored = env->addQso({.WWLocator = "ZZ", .qsl = "w"});
        const QStringList before = env->rawRows();
        QsoForm* w = nullptr;
        if (editing) {
            w = &handOver(stored);
            QCOMPARE(w->txtWWLocator->text(), u"ZZ"_s);
            w->txtWWLocator->clear();
            const QStringList changes = typed.split(u';');
            type(w->txtWWLocator, changes[0]);
            if (changes.size() > 1) {
                w->txtCall->clear();
            }
        } else {
            w = &insert();
            enter(*w, u"locator="_s + typed);
        }
        QCOMPARE(submit(*w), told);
        const bool saved = told[0].startsWith(u"QSO "_s);
        QCOMPARE(looks(env->dialogs)[0], saved ? u"HM52 Information Ok"_s : u"error Critical Ok"_s);
        if (!saved) {
            QCOMPARE(env->rawRows(), before);
        } else {
            QCOMPARE(env->count(u"WWLocator = 'XX'"_s), 1);
            QCOMPARE(env->count(), editing ? 1 : 2);
        }
    }

    // Pasted control characters (a NUL would cut the call short, ESC shows as nothing):
    // refused in both windows as the other checks refuse, nothing written.
    void controlCharactersPastedInACallOrPlaceAreRefusedInBothWindows_data() {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("message");
        const QString call = u"Call Field cannot hold control characters"_s;
        for (const bool edit : {false, true}) {
            const char* window = edit ? "edit: " : "insert: ";
            QTest::addRow("%sNUL in the call", window)
                << edit << u"txtCall"_s << u"i5n\0ul"_s << call;
            QTest::addRow("%sESC in the call", window)
                << edit << u"txtCall"_s << u"i5\x1b[0mnul"_s << call;
            QTest::addRow("%sBEL in the place", window)
                << edit << u"comboPlace"_s << u"alfa\a"_s
                << u"place field cannot hold control characters"_s;
        }
    }

    void controlCharactersPastedInACallOrPlaceAreRefusedInBothWindows() {
        QFETCH(bool, edit);
        QFETCH(QString, box);
        QFETCH(QString, pasted);
        QFETCH(QString, message);
        const int key = env->addQso({});
        const QStringList before = env->rawRows();
        QsoForm* w = &insert();
        if (edit) {
            w = &handOver(key);
        } else {
            enter(*w);
        }
        auto* line = box == u"txtCall"_s ? child<QLineEdit>(w, "txtCall")
                                         : child<QComboBox>(w, "comboPlace")->lineEdit();
        line->setFocus();
        line->selectAll();
        QGuiApplication::clipboard()->setText(pasted);
        line->paste();
        QCOMPARE(line->text(), pasted.toUpper());
        QCOMPARE(submit(*w), QStringList{message});
        QCOMPARE(looks(env->dialogs), QStringList({"error Critical Ok"}));
        QCOMPARE(env->rawRows(), before);
    }

    void aSecondConfirmedQsoReplacesTheFirstOnlyOnYesAndAFailedStoreReplacesNothing() {
        frmInsertQSO& w = insert();
        env->addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        env->addQso({.mode = "SSB", .band = "UHF", .qsl = "c"});
        const QStringList before = env->rawRows();
        enter(w, u"band=VHF;mode=SSB;call=i2new"_s);
        QCOMPARE(submit(w, {Answer::No}), QStringList({replaceQuestion}));
        QCOMPARE(looks(env->dialogs), QStringList({"warning None YesNo"}));
        // The confirmed rule's look-up, as the window leaves it.
        QCOMPARE(env->m.sharedRs->sql(), u"select * from data where mode ='SSB' and "_s
                                         u"band='VHF' and qsl='c' and WWLocator='AB';"_s);
        QCOMPARE(env->rawRows(), before);

        // Yes (the form kept after No): the old QSO goes, the new one is numbered after the
        // highest.
        QCOMPARE(submit(w, {Answer::Yes}), QStringList({replaceQuestion, "QSO saved"}));
        const QStringList after{before[1], u"3|I2NEW|AB|ALFA|BD|SSB|VHF|2004-12-05|21:30:00|c"_s};
        QCOMPARE(env->rawRows(), after);

        // A failed store leaves the QSO to be replaced in the log, and the form as typed.
        env->m.logDb.execute(u"create trigger refuse before insert on data begin select "
                             u"raise(abort, 'disk full'); end"_s);
        enter(w, u"band=VHF;mode=SSB;call=i3new"_s);
        QCOMPARE(submit(w, {Answer::Yes}), QStringList({replaceQuestion, "disk full"}));
        QCOMPARE(env->dialogs.shown.back().icon, Icon::Critical);
        QCOMPARE(env->rawRows(), after);
        QCOMPARE(w.txtCall->text(), u"I3NEW"_s);
        QVERIFY(!env->m.logDb.inTransaction());
    }

    // ----- editing --------------------------------------------------------------------

    // (The browser and the counter following an edit: see the end-to-end road.)
    void anUnchangedConfirmedQsoIsStoredAgainWithoutQuestionAChangedOneInPlace() {
        env->addQso({.WWLocator = "XX", .qsl = "w"});
        // Longer than a typed call (an imported one): handed over whole, not cut; 15
        // characters with a quote pass the edit window's limit, counted before the quotes are
        // doubled.
        const Qso q{.call = "HB0/IZ1'BCD/QRP",
                    .place = "PIAN D'OLMO",
                    .prov = "MV",
                    .mode = "SSB",
                    .band = "VHF",
                    .time = "19:05"};
        const int key = env->addQso(q);
        const QStringList before = env->rawRows();
        frmEditQSO& w = handOver(key);
        QCOMPARE(submit(w), QStringList({"QSO edited"}));
        QCOMPARE(looks(env->dialogs), QStringList({"HM52 Information Ok"}));
        QCOMPARE(env->rawRows(), before);
        QVERIFY(!w.isVisible());
        QCOMPARE(formText(w), u"|||||||MV|SSB|VHF|c"_s);
        QCOMPARE(w.focusWidget(), w.txtWWLocator);

        // Changed: rewritten under its own number, the other QSO untouched.
        handOver(1);
        w.txtWWLocator->setText(u"mn"_s);
        w.comboPlace->setCurrentText(u"ca' bianca"_s);
        w.comboBand->setCurrentText(u"SAT"_s);
        w.txtDate[0]->setText(u"31"_s);
        w.txtDate[1]->setText(u"02"_s);
        QCOMPARE(submit(w), QStringList({"QSO edited"}));
        QCOMPARE(
            env->rawRows(),
            QStringList({"1|I1ABC|MN|CA' BIANCA|TD|MIXED|SAT|2004-02-31|09:05:00|w", before[1]}));
    }

    void workedTurnedConfirmedAsksAndOnlyAStoredYesRemovesTheOther() {
        env->addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        const int key = env->addQso({.mode = "SSB", .band = "VHF", .qsl = "w"});
        const QStringList before = env->rawRows();
        frmEditQSO& w = handOver(key);
        w.optQSLConf->setChecked(true);
        QCOMPARE(submit(w, {Answer::No}), QStringList({replaceQuestion}));
        QCOMPARE(env->rawRows(), before);

        // Yes, but the rewrite fails: the other QSO stays.
        env->m.logDb.execute(u"create trigger refuse before update on data begin select "
                             u"raise(abort, 'locked'); end"_s);
        QCOMPARE(submit(w, {Answer::Yes}).last(), u"locked"_s);
        QCOMPARE(env->rawRows(), before);
        QVERIFY(w.isVisible() && w.optQSLConf->isChecked());

        env->m.logDb.execute(u"drop trigger refuse"_s);
        QCOMPARE(submit(w, {Answer::Yes}).last(), u"QSO edited"_s);
        QCOMPARE(env->rawRows(), QStringList({"2|I1ABC|AB|ALFA|BD|SSB|VHF|2004-01-05|09:05:00|c"}));
    }

    void editRefusesAnAccreditedCombinationOrAQsoGoneMeanwhileAndClearKeepsTheKey() {
        env->addQso({.mode = "SSB", .band = "UHF", .qsl = "a"});
        const int key = env->addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        const int worked = env->addQso({.qsl = "w"});
        frmEditQSO& w = handOver(key);
        w.comboBand->setCurrentText(u"UHF"_s);
        QCOMPARE(submit(w), QStringList({accreditedExists}));

        w.comboBand->setCurrentText(u"SHF"_s);
        // Accredited meanwhile, stored upper case as another program may write it.
        env->m.logDb.execute(u"update data set qsl = 'A' where count = %1"_s.arg(key));
        QCOMPARE(submit(w), QStringList({"You cannot edit an accreditated qso!"}));
        QCOMPARE(env->rawField(key, u"qsl"_s) + env->rawField(key, u"band"_s), u"AVHF"_s);

        env->m.logDb.execute(u"delete from data where count = %1"_s.arg(key));
        QCOMPARE(submit(w), QStringList({"this QSO is no longer in the Logbook!"}));
        QCOMPARE(looks(env->dialogs),
                 QStringList({"Error Critical Ok", "HM52 Critical Ok", "HM52 Critical Ok"}));
        QCOMPARE(env->count(), 2);
        QVERIFY(w.isVisible());

        // Clear keeps the key, which outlives the window; Submit then fails on the empty
        // sub-square.
        frmEditQSO* edit = &handOver(worked);
        QTest::mouseClick(edit->cmdClear, Qt::LeftButton);
        QCOMPARE(submit(*edit), QStringList({"WWLocator Field must be two characters"}));
        QCOMPARE(edit->editCount, worked);
        edit->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(env->registry->editQSO().editCount, worked);
    }

    // ----- the line under the form --------------------------------------------------------

    // What a QSO of the typed sub-square would bring on HF MIXED; the typing goes on as it does
    // without the line: the focus moves on, nothing is selected, no box is shown.
    void theLineUnderTheFormSaysWhatTheTypedSubSquareBrings_data() {
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("line");
        QTest::newRow("new") << u"mn"_s << u"HM52MN on HF MIXED: new sub-square"_s;
        QTest::newRow("worked") << u"ac"_s << u"HM52AC on HF MIXED: worked 2 times, no card yet"_s;
        QTest::newRow("confirmed") << u"ab"_s << u"HM52AB on HF MIXED: confirmed (QSO 3)"_s;
        QTest::newRow("confirmed twice")
            << u"bd"_s << u"HM52BD on HF MIXED: confirmed (QSOs 7, 8)"_s;
        QTest::newRow("accredited")
            << u"xx"_s << u"HM52XX on HF MIXED: accredited: a new QSO will be refused"_s;
        QTest::newRow("no sub-square") << u"a1"_s << QString();
        QTest::newRow("one letter") << u"a"_s << QString();
    }

    void theLineUnderTheFormSaysWhatTheTypedSubSquareBrings() {
        QFETCH(QString, letters);
        QFETCH(QString, line);
        env->addQso({.WWLocator = "AC", .qsl = "w"});
        env->addQso({.WWLocator = "AC", .qsl = "w"});
        env->addQso({.WWLocator = "AB", .qsl = "c"});
        env->addQso({.WWLocator = "AB", .qsl = "w"});
        env->addQso({.WWLocator = "XX", .qsl = "a"});
        env->addQso({.WWLocator = "MN", .band = "VHF", .qsl = "a"});
        env->addQso({.WWLocator = "BD", .qsl = "c"});
        env->addQso({.WWLocator = "BD", .qsl = "c"});
        frmInsertQSO& w = insert();
        QTest::keyClicks(w.txtWWLocator, letters.left(1));
        QCOMPARE(w.lblBrings->text(), QString());
        typeAtFocus(letters.mid(1));
        const QString typed = letters.toUpper() + (letters.size() < 2 ? u" *"_s : QString());
        QCOMPARE(boxState(w.txtWWLocator), typed);
        QTRY_COMPARE(w.lblBrings->text(), line);
        QCOMPARE(boxState(w.txtWWLocator), typed);
        QCOMPARE(boxState(w.txtCall), letters.size() < 2 ? QString() : u" *"_s);
        QVERIFY(env->dialogs.shown.empty());
    }

    // The line follows the band and mode, stands under the form outside its frames and its tab
    // order, empties with the form, and in the edit window leaves the edited QSO out.
    void theLineFollowsBandAndModeAndLeavesTheEditedQsoOut() {
        const int confirmed = env->addQso({.qsl = "c"});
        const int worked = env->addQso({.qsl = "w"});
        frmInsertQSO& w = insert();
        typeAtFocus(u"ab"_s);
        QTRY_COMPARE(w.lblBrings->text(),
                     u"HM52AB on HF MIXED: confirmed (QSO %1)"_s.arg(confirmed));
        w.comboBand->setCurrentText(u"VHF"_s);
        QTRY_COMPARE(w.lblBrings->text(), u"HM52AB on VHF MIXED: new sub-square"_s);
        w.comboBand->setCurrentText(u"HF"_s);
        w.comboMode->setCurrentText(u"SSB"_s);
        QTRY_COMPARE(w.lblBrings->text(), u"HM52AB on HF SSB: new sub-square"_s);
        QCOMPARE(w.lblBrings->focusPolicy(), Qt::NoFocus);
        for (QWidget* up = w.lblBrings->parentWidget(); up != &w; up = up->parentWidget()) {
            QVERIFY(qobject_cast<QGroupBox*>(up) == nullptr);
        }
        const auto bottom = [&w](QWidget* c) { return c->mapTo(&w, QPoint(0, c->height())).y(); };
        QVERIFY(w.lblBrings->mapTo(&w, QPoint(0, 0)).y() >= bottom(child(&w, "Frame1")));
        QVERIFY(w.lblBrings->mapTo(&w, QPoint(0, 0)).y() >= bottom(w.cmdExit));
        QTest::mouseClick(w.cmdClear, Qt::LeftButton);
        QTRY_COMPARE(w.lblBrings->text(), QString());

        // The edited QSO is left out: the other QSO of its sub-square is what stands.
        frmEditQSO& edit = handOver(confirmed);
        QTRY_COMPARE(edit.lblBrings->text(), u"HM52AB on HF MIXED: worked once, no card yet"_s);
        handOver(worked);
        QTRY_COMPARE(edit.lblBrings->text(),
                     u"HM52AB on HF MIXED: confirmed (QSO %1)"_s.arg(confirmed));
        // A change of the log is said at once.
        env->m.logDb.execute(u"update data set qsl = 'a' where count = %1"_s.arg(confirmed));
        env->registry->conta();
        QCOMPARE(edit.lblBrings->text(),
                 u"HM52AB on HF MIXED: accredited: a new QSO will be refused"_s);
        QVERIFY(env->dialogs.shown.empty());
    }
};

QTEST_MAIN(QsoTest)
#include "tst_qso.moc"
