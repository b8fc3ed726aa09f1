// Submit in the two QSO windows: the answers of the checks and of the duplicate rules (the
// rules themselves: tests/rules), writing a new QSO, or rewriting the edited one in place.

#include "support/QsoForms.h"

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
        QCOMPARE(submit(w), QStringList({accreditedExists}));
        QCOMPARE(looks(env->dialogs), QStringList({"Error Critical Ok"}));
        QCOMPARE(env->rawRows(), before);
        QVERIFY(w.isVisible());
    }

    // In both windows; a QSO of the log with another sub-square is shown as stored, then
    // cleared and typed anew. (Each check's cases, and XX accepted: tst_rules.)
    void aSubSquareOutsideAAToXXIsRefusedAndNothingWritten_data() { bothWindows(); }
    void aSubSquareOutsideAAToXXIsRefusedAndNothingWritten() {
        QFETCH(bool, editing);
        // A QSO of another program's making, with a sub-square that does not exist.
        const int stored = env->addQso({.WWLocator = "ZZ", .qsl = "w"});
        const QStringList before = env->rawRows();
        QsoForm& w = open(editing, stored);
        QCOMPARE(w.txtWWLocator->text(), editing ? u"ZZ"_s : QString());
        QTest::mouseClick(w.cmdClear, Qt::LeftButton);
        enter(w, u"locator=zz"_s);
        QCOMPARE(submit(w), QStringList({"WWLocator Field must be two letters from A to X"}));
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
        QCOMPARE(env->rawRows(), before);
        QCOMPARE(w.txtCall->text(), u"I3NEW"_s);
        QVERIFY(!env->m.logDb.inTransaction());
    }

    // ----- editing --------------------------------------------------------------------

    // (The browser and the counter following an edit: see the end-to-end road.) A call longer
    // than a typed one (an imported one) is handed over whole, not cut; 15 characters with a
    // quote pass the edit window's limit, counted before the quotes are doubled.
    void anUnchangedQsoIsStoredAgainWithoutQuestionAndTheWindowHides() {
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

        // Yes, but the rewrite fails: the other QSO stays. (No: as in the insert window.)
        env->m.logDb.execute(u"create trigger refuse before update on data begin select "
                             u"raise(abort, 'locked'); end"_s);
        QCOMPARE(submit(w, {Answer::Yes}), QStringList({replaceQuestion, "locked"}));
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
};

QTEST_MAIN(QsoTest)
#include "tst_qso.moc"
