// Submit in the two QSO windows: the answers of the checks and of the duplicate rules (the
// rules themselves: tests/rules), writing a new QSO, or rewriting the edited one in place.

#include "support/QsoForms.h"

#include <QClipboard>

using namespace hm52;
using namespace hm52::test;

namespace {

const QString accreditedExists =
    u"Another QSO with the same accreditated locator already exists! new qso will not be saved"_s;
const QString replaceQuestion = u"warning: the same locator confirmed already exist! do you "
                                u"want to replace it? Last QSO will be deleted"_s;

} // namespace

class QsoTest : public QObject, QsoWindows {
    Q_OBJECT

    // A confirmed QSO on VHF SSB in the log, and one of the same typed in the insert window.
    frmInsertQSO& secondConfirmed(const QString& call) {
        env->addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        frmInsertQSO& w = insert();
        enter(w, u"band=VHF;mode=SSB;call="_s + call);
        return w;
    }

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }
    void cleanup() { env.reset(); }

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

    // Twelve characters with four quotes are too long once the quotes are doubled; the checks
    // go on to the empty place.
    void refusalsAreShownAsErrorsAndKeepTheFormAndTheLogAsTheyWere() {
        frmInsertQSO& w = insert();
        enter(w, u"call=i'1'a'b'cdef;place=;band=VHF;mode=SSB"_s);
        QCOMPARE(submit(w), QStringList({"Call Field is too long", "place field cannot be null"}));
        QCOMPARE(looks(env->dialogs), QStringList(2, u"error Critical Ok"_s));
        QCOMPARE(formText(w), u"AB|I'1'A'B'CDEF|5|12|04|2130||BD|SSB|VHF|c"_s);
        QCOMPARE(QApplication::focusWidget(), w.cmdSubmit); // no box moved the focus
        QCOMPARE(env->count(), 0);
    }

    // A valid QSO, or an edit, onto the sub-square, band and mode of an accredited QSO.
    void aQsoOntoAnAccreditedCombinationIsRefused_data() { bothWindows(); }
    void aQsoOntoAnAccreditedCombinationIsRefused() {
        QFETCH(bool, editing);
        env->addQso({.mode = "SSB", .band = "UHF", .qsl = "a"});
        const int key = env->addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        const QStringList before = env->rawRows();
        QsoForm& w = open(editing, key);
        if (editing) {
            w.comboBand->setCurrentText(u"UHF"_s);
        } else {
            enter(w, u"band=UHF;mode=SSB"_s);
        }
        const QString typed = formText(w);
        QCOMPARE(submit(w), QStringList({accreditedExists}));
        QCOMPARE(looks(env->dialogs), QStringList({"Error Critical Ok"}));
        QCOMPARE(env->rawRows(), before);
        QCOMPARE(formText(w), typed);
        QVERIFY(w.isVisible());
    }

    // In both windows; a QSO of the log with another sub-square is shown as stored, then
    // cleared and typed anew. (Each check's cases and their order: tst_rules.)
    void aSubSquareOutsideAAToXXIsRefusedAndNothingWritten_data() {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("told");
        for (const bool editing : {false, true}) {
            const char* window = editing ? "edit" : "insert";
            QTest::addRow("%s zz", window)
                << editing << u"zz"_s << u"WWLocator Field must be two letters from A to X"_s;
            QTest::addRow("%s xx", window)
                << editing << u"xx"_s << (editing ? u"QSO edited"_s : u"QSO saved"_s);
        }
    }

    void aSubSquareOutsideAAToXXIsRefusedAndNothingWritten() {
        QFETCH(bool, editing);
        QFETCH(QString, typed);
        QFETCH(QString, told);
        // A QSO of another program's making, with a sub-square that does not exist.
        const int stored = env->addQso({.WWLocator = "ZZ", .qsl = "w"});
        const QStringList before = env->rawRows();
        QsoForm& w = open(editing, stored);
        QCOMPARE(w.txtWWLocator->text(), editing ? u"ZZ"_s : QString());
        QTest::mouseClick(w.cmdClear, Qt::LeftButton);
        enter(w, u"locator="_s + typed);
        QCOMPARE(submit(w), QStringList{told});
        const bool saved = told.startsWith(u"QSO "_s);
        QCOMPARE(looks(env->dialogs)[0], saved ? u"HM52 Information Ok"_s : u"error Critical Ok"_s);
        if (!saved) {
            QCOMPARE(env->rawRows(), before);
        } else {
            QCOMPARE(env->count(u"WWLocator = 'XX'"_s), 1);
            QCOMPARE(env->count(), editing ? 1 : 2);
        }
    }

    // Pasted control characters (a NUL would cut the call short): refused in both windows as
    // the other checks refuse, nothing written. (Each character's case: tst_rules.)
    void controlCharactersPastedInACallOrPlaceAreRefusedInBothWindows_data() {
        QTest::addColumn<bool>("edit");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("message");
        for (const bool edit : {false, true}) {
            const char* window = edit ? "edit: " : "insert: ";
            QTest::addRow("%sNUL in the call", window)
                << edit << u"txtCall"_s << u"i5n\0ul"_s
                << u"Call Field cannot hold control characters"_s;
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
        QsoForm& w = open(edit, key);
        if (!edit) {
            enter(w);
        }
        auto* line = box == u"txtCall"_s ? w.txtCall : w.comboPlace->lineEdit();
        line->setFocus();
        line->selectAll();
        QGuiApplication::clipboard()->setText(pasted);
        line->paste();
        QCOMPARE(line->text(), pasted.toUpper());
        QCOMPARE(submit(w), QStringList{message});
        QCOMPARE(looks(env->dialogs), QStringList({"error Critical Ok"}));
        QCOMPARE(env->rawRows(), before);
    }

    // A confirmed QSO of the sub-square, band and mode asks first; No leaves the log and the
    // form, and the confirmed rule's look-up stays in the shared slot.
    void aSecondConfirmedQsoAsksAndNoReplacesNothing() {
        frmInsertQSO& w = secondConfirmed(u"i2new"_s);
        const QStringList before = env->rawRows();
        QCOMPARE(submit(w, {Answer::No}), QStringList({replaceQuestion}));
        QCOMPARE(looks(env->dialogs), QStringList({"warning None YesNo"}));
        QCOMPARE(env->m.sharedRs->sql(), u"select * from data where mode ='SSB' and "_s
                                         u"band='VHF' and qsl='c' and WWLocator='AB';"_s);
        QCOMPARE(env->rawRows(), before);
        QCOMPARE(w.txtCall->text(), u"I2NEW"_s);
    }

    // Yes: the old QSO goes, the new one is numbered after the highest.
    void yesReplacesTheConfirmedQsoByOneNumberedAfterTheHighest() {
        frmInsertQSO& w = secondConfirmed(u"i2new"_s);
        env->addQso({.mode = "SSB", .band = "UHF", .qsl = "c"});
        const QString other = env->rawRows()[1];
        QCOMPARE(submit(w, {Answer::Yes}), QStringList({replaceQuestion, "QSO saved"}));
        QCOMPARE(env->rawRows(),
                 QStringList({other, u"3|I2NEW|AB|ALFA|BD|SSB|VHF|2004-12-05|21:30:00|c"_s}));
    }

    // A failed store leaves the QSO to be replaced in the log, and the form as typed.
    void aFailedStoreReplacesNothing() {
        frmInsertQSO& w = secondConfirmed(u"i3new"_s);
        const QStringList before = env->rawRows();
        env->m.logDb.execute(u"create trigger refuse before insert on data begin select "
                             u"raise(abort, 'disk full'); end"_s);
        QCOMPARE(submit(w, {Answer::Yes}), QStringList({replaceQuestion, "disk full"}));
        QCOMPARE(env->dialogs.shown.back().icon, Icon::Critical);
        QCOMPARE(env->rawRows(), before);
        QCOMPARE(w.txtCall->text(), u"I3NEW"_s);
        QVERIFY(!env->m.logDb.inTransaction());
    }

    // ----- editing --------------------------------------------------------------------

    // (The browser and the counter following an edit: see the end-to-end road.) A call longer
    // than a typed one (an imported one) is handed over whole, not cut; 15 characters with a
    // quote pass the edit window's limit, counted before the quotes are doubled.
    void anUnchangedQsoIsStoredAgainWithoutQuestionAndTheWindowEmpties() {
        const int key = env->addQso({.call = "HB0/IZ1'BCD/QRP",
                                     .place = "PIAN D'OLMO",
                                     .prov = "MV",
                                     .mode = "SSB",
                                     .band = "VHF",
                                     .time = "19:05"});
        const QStringList before = env->rawRows();
        frmEditQSO& w = handOver(key);
        QCOMPARE(submit(w), QStringList({"QSO edited"}));
        QCOMPARE(looks(env->dialogs), QStringList({"HM52 Information Ok"}));
        QCOMPARE(env->rawRows(), before);
        QVERIFY(!w.isVisible());
        QCOMPARE(formText(w), u"|||||||MV|SSB|VHF|c"_s);
        QCOMPARE(w.focusWidget(), w.txtWWLocator);
    }

    // Changed: rewritten under its own number, the other QSO untouched.
    void aChangedQsoIsRewrittenInPlace() {
        env->addQso({.WWLocator = "XX", .qsl = "w"});
        env->addQso({.mode = "SSB", .band = "VHF"});
        const QString untouched = env->rawRows()[1];
        frmEditQSO& w = handOver(1);
        w.txtWWLocator->setText(u"mn"_s);
        w.comboPlace->setCurrentText(u"ca' bianca"_s);
        w.comboBand->setCurrentText(u"SAT"_s);
        w.txtDate[0]->setText(u"31"_s);
        w.txtDate[1]->setText(u"02"_s);
        QCOMPARE(submit(w), QStringList({"QSO edited"}));
        QCOMPARE(
            env->rawRows(),
            QStringList({"1|I1ABC|MN|CA' BIANCA|TD|MIXED|SAT|2004-02-31|09:05:00|w", untouched}));
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

    // The QSO was accredited (stored upper case, as another program may write it) or deleted
    // while the window held it.
    void aQsoAccreditedOrGoneMeanwhileIsNotWritten_data() {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("told");
        QTest::newRow("accredited") << u"update data set qsl = 'A' where count = 1"_s
                                    << u"You cannot edit an accreditated qso!"_s;
        QTest::newRow("deleted") << u"delete from data where count = 1"_s
                                 << u"this QSO is no longer in the Logbook!"_s;
    }
    void aQsoAccreditedOrGoneMeanwhileIsNotWritten() {
        QFETCH(QString, meanwhile);
        QFETCH(QString, told);
        env->addQso({.mode = "SSB", .band = "VHF", .qsl = "c"});
        frmEditQSO& w = handOver(1);
        w.comboBand->setCurrentText(u"SHF"_s);
        env->m.logDb.execute(meanwhile);
        const QStringList before = env->rawRows();
        QCOMPARE(submit(w), QStringList({told}));
        QCOMPARE(looks(env->dialogs), QStringList({"HM52 Critical Ok"}));
        QCOMPARE(env->rawRows(), before);
        QVERIFY(w.isVisible());
    }

    // Clear keeps the key, which outlives the window; Submit then fails on the empty sub-square.
    void clearKeepsTheEditedQsosKeyBeyondTheWindow() {
        env->addQso({});
        const int worked = env->addQso({.qsl = "w"});
        frmEditQSO* edit = &handOver(worked);
        QTest::mouseClick(edit->cmdClear, Qt::LeftButton);
        QCOMPARE(submit(*edit), QStringList({"WWLocator Field must be two characters"}));
        QCOMPARE(edit->editCount, worked);
        edit->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(env->registry->editQSO().editCount, worked);
    }
};

QTEST_MAIN(QsoTest)
#include "tst_qso.moc"
