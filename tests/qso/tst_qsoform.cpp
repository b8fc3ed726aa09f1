// The QSO form in its two windows as the operator types: captions, layout, tab order, input
// assistance while typing, Clear, Exit and the close box, and the line under the form that says
// what the typed sub-square brings.

#include "storage/Codes.h"
#include "support/QsoForms.h"

using namespace hm52;
using namespace hm52::test;

namespace {

const QStringList abPlaces{u"ALFA"_s, u"BRAVO"_s, u"CHARLIE"_s, u"PIAN D'OLMO"_s};

} // namespace

class QsoFormTest : public QObject, QsoWindows {
    Q_OBJECT

    // One of the two windows, shown and active.
    QsoForm& shown(bool editing) {
        QsoForm& w = form(editing);
        showActive(&w);
        return w;
    }

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }
    void cleanup() { env.reset(); }

    // ----- the form -------------------------------------------------------------------

    void eachWindowShowsTheSameCaptionsAndLists_data() { bothWindows(); }
    void eachWindowShowsTheSameCaptionsAndLists() {
        QFETCH(bool, editing);
        QsoForm& w = shown(editing);
        QCOMPARE(w.windowTitle(), editing ? u"Edit QSO"_s : u"Insert QSO"_s);
        QCOMPARE(texts(&w, "FrameWWLocator FrameCall FrameDate FrameTime FramePlace FrameProv "
                           "FrameMode FrameBand FrameQSL Label3 Label1 Label2 optQSLConf "
                           "optQSLworked cmdClear cmdSubmit cmdExit"),
                 u"WWLocator|Call|date (dd/mm/yy)|Time (hhmm)|Place|Prov|Mode|Band|QSL|HM52|/|/|"
                 u"confirmed|worked|Clear|Submit|Exit"_s);
        QCOMPARE(itemTexts(w.comboMode), QStringList({"MIXED", "SSB", "CW", "DIGITAL"}));
        QCOMPARE(itemTexts(w.comboBand), QStringList({"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}));
        QCOMPARE(itemTexts(w.comboProv), codes::provinces());
    }

    // Then the Radio frame's controls.
    void eachWindowsTabOrderRunsThroughTheInputsThenSubmitClearExit_data() { bothWindows(); }
    void eachWindowsTabOrderRunsThroughTheInputsThenSubmitClearExit() {
        QFETCH(bool, editing);
        QsoForm& w = shown(editing);
        QCOMPARE(tabOrder(w.txtWWLocator, 18),
                 QStringList({"txtWWLocator", "txtCall", "txtDate(0)", "txtDate(1)", "txtDate(2)",
                              "txtTime", "comboPlace", "comboProv", "comboMode", "comboBand",
                              "optQSLConf", "optQSLworked", "cmdSubmit", "cmdClear", "cmdExit",
                              "comboAdifBand", "txtFreq", "comboAdifMode"}));
    }

    // A character typed inside the call: the caret stays after it on insert and goes to the end
    // on edit. (The place box is upper-cased by the same code.)
    void theCaretFollowsEachWindowsWay_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<int>("caret");
        QTest::newRow("insert") << false << 3;
        QTest::newRow("edit") << true << 6;
    }
    void theCaretFollowsEachWindowsWay() {
        QFETCH(bool, editing);
        QFETCH(int, caret);
        QsoForm& w = shown(editing);
        type(w.txtCall, u"i1abc"_s);
        w.txtCall->setCursorPosition(2);
        QTest::keyClicks(w.txtCall, u"x"_s);
        QCOMPARE(w.txtCall->text(), u"I1XABC"_s);
        QCOMPARE(w.txtCall->cursorPosition(), caret);
    }

    // Pasted: cut to two, selected from the start, the focus kept.
    void aPastedSubSquareIsCutToTwoAndSelected() {
        frmInsertQSO& w = insert();
        w.txtWWLocator->insert(u"abc"_s);
        QCOMPARE(boxState(w.txtWWLocator), u"AB [AB] *"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);
    }

    void theCallMovesOnAtTwelveAndIsCutAtThirteen() {
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
    }

    // Date and time digits flow from the day box to the place; a fifth character in the time
    // box leaves the four, selected.
    void dateAndTimeDigitsFlowOnAndTheTimeTakesFour() {
        frmInsertQSO& w = insert();
        w.txtDate[0]->setFocus();
        typeAtFocus(u"0512042130"_s);
        QCOMPARE(formText(w), u"||05|12|04|2130||BD|MIXED|HF|c"_s);
        QCOMPARE(QApplication::focusWidget(), w.comboPlace);
        w.txtTime->setFocus();
        w.txtTime->end(false);
        typeAtFocus(u"5"_s);
        QCOMPARE(boxState(w.txtTime), u"2130 [2130] *"_s);
        typeAtFocus(u"0"_s);
        QCOMPARE(w.txtTime->text(), u"0"_s);
    }

    void theProvinceFollowsATypedPlaceOfTheGazetteerOnly() {
        frmInsertQSO& w = insert();
        type(w.comboPlace, u"bravo"_s);
        QCOMPARE(w.comboPlace->currentText(), u"BRAVO"_s);
        QCOMPARE(w.comboProv->currentText(), u"CV"_s);
        w.comboPlace->clearEditText();
        type(w.comboPlace, u"nowhere"_s);
        QCOMPARE(w.comboProv->currentText(), u"CV"_s);
    }

    void aTypedPlaceAndProvinceSurviveTheRebuildOfTheList() {
        frmInsertQSO& w = insert();
        type(w.comboPlace, u"nowhere"_s);
        w.comboProv->setCurrentText(u"TD"_s);
        type(w.txtWWLocator, u"ab"_s);
        QCOMPARE(itemTexts(w.comboPlace), abPlaces);
        QCOMPARE(w.comboPlace->currentText(), u"NOWHERE"_s);
        QCOMPARE(w.comboProv->currentText(), u"TD"_s);
    }

    void aPlaceChosenFromTheListBringsItsProvince() {
        frmInsertQSO& w = insert();
        type(w.txtWWLocator, u"xx"_s);
        QCOMPARE(itemTexts(w.comboPlace).value(0), u"ECHO"_s);
        QTest::keyClick(w.comboPlace, Qt::Key_Down);
        QCOMPARE(w.comboPlace->currentText(), u"ECHO"_s);
        QCOMPARE(w.comboProv->currentText(), u"SD"_s);
    }

    // Clear and Exit keep band, mode and province; the close box unloads, and the next showing
    // starts from the defaults.
    void clearExitAndTheCloseBoxEachLeaveTheirForm_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("form");
        QTest::newRow("Clear") << u"cmdClear"_s << u"|||||||VLT|CW|VHF|c"_s;
        QTest::newRow("Exit") << u"cmdExit"_s << u"|||||||VLT|CW|VHF|c"_s;
        QTest::newRow("close box")
            << QString() << u"|||||||"_s + codes::provinces().first() + u"|MIXED|HF|c"_s;
    }
    void clearExitAndTheCloseBoxEachLeaveTheirForm() {
        QFETCH(QString, how);
        QFETCH(QString, form);
        frmInsertQSO* w = &insert();
        enter(*w, u"place=delta;band=VHF;mode=CW"_s, false);
        if (how.isEmpty()) {
            w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!env->registry->loaded(Window::InsertQSO));
            w = &insert();
        } else {
            click(w, how.toLatin1().constData());
        }
        QCOMPARE(formText(*w), form);
        QCOMPARE(w->isVisible(), how != u"cmdExit"_s);
        QCOMPARE(env->registry->loaded(Window::InsertQSO), w);
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
    }

    void theLineUnderTheFormSaysWhatTheTypedSubSquareBrings() {
        QFETCH(QString, letters);
        QFETCH(QString, line);
        // QSOs 1 to 8: sub-square, band, QSL.
        for (const QString& qso :
             u"AC HF w,AC HF w,AB HF c,AB HF w,XX HF a,MN VHF a,BD HF c,BD HF c"_s.split(u',')) {
            const QStringList q = qso.split(u' ');
            env->addQso({.WWLocator = q[0], .band = q[1], .qsl = q[2]});
        }
        frmInsertQSO& w = insert();
        QTest::keyClicks(w.txtWWLocator, letters.left(1));
        QCOMPARE(w.lblBrings->text(), QString()); // one letter says nothing
        typeAtFocus(letters.mid(1));
        QTRY_COMPARE(w.lblBrings->text(), line);
        QCOMPARE(boxState(w.txtWWLocator), letters.toUpper());
        QCOMPARE(boxState(w.txtCall), u" *"_s);
        QVERIFY(env->dialogs.shown.empty());
    }

    // The line follows the band and mode, and empties with the form.
    void theLineFollowsBandAndModeAndEmptiesWithTheForm() {
        env->addQso({.qsl = "c"}); // on HF MIXED
        frmInsertQSO& w = insert();
        typeAtFocus(u"ab"_s);
        w.comboBand->setCurrentText(u"VHF"_s);
        QTRY_COMPARE(w.lblBrings->text(), u"HM52AB on VHF MIXED: new sub-square"_s);
        w.comboBand->setCurrentText(u"HF"_s);
        w.comboMode->setCurrentText(u"SSB"_s);
        QTRY_COMPARE(w.lblBrings->text(), u"HM52AB on HF SSB: new sub-square"_s);
        QTest::mouseClick(w.cmdClear, Qt::LeftButton);
        QTRY_COMPARE(w.lblBrings->text(), QString());
    }

    // In the edit window the edited QSO is left out: the other QSO of its sub-square is what
    // stands; a change of the log is said at once.
    void theEditWindowsLineLeavesTheEditedQsoOutAndFollowsTheLog() {
        const int confirmed = env->addQso({.qsl = "c"});
        const int worked = env->addQso({.qsl = "w"});
        frmEditQSO& edit = handOver(confirmed);
        QTRY_COMPARE(edit.lblBrings->text(), u"HM52AB on HF MIXED: worked once, no card yet"_s);
        env->m.logDb.execute(u"update data set qsl = 'a' where count = %1"_s.arg(worked));
        env->registry->conta();
        QCOMPARE(edit.lblBrings->text(),
                 u"HM52AB on HF MIXED: accredited: a new QSO will be refused"_s);
    }
};

QTEST_MAIN(QsoFormTest)
#include "tst_qsoform.moc"
