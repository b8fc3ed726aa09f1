// The Radio frame of the QSO form: the exact band, frequency and mode beside the award's
// categories, never contradicting them; stored beside the QSO, shown again and changed in the
// edit window; checked on Submit after the form's own checks; following a rig; and a log typed
// with them leaving as ADIF with BAND and MODE on every record and coming back exactly.

#include "adif/AdifImport.h"
#include "storage/RadioTable.h"
#include "support/QsoForms.h"

using namespace hm52;
using namespace hm52::test;

namespace {

// Steps on the form, "what=value;...": band and mode (the categories), freq (typed), adif and
// amode (exact band and mode chosen; "-" chooses the empty entry).
void apply(QsoForm& w, const QString& steps) {
    for (const QString& step : steps.split(u';', Qt::SkipEmptyParts)) {
        const QString what = step.section(u'=', 0, 0);
        const QString value = step.section(u'=', 1) == u"-"_s ? QString() : step.section(u'=', 1);
        if (what == u"freq"_s) {
            w.txtFreq->clear();
            type(w.txtFreq, value);
        } else {
            QComboBox* box = what == u"band"_s   ? w.comboBand
                             : what == u"mode"_s ? w.comboMode
                             : what == u"adif"_s ? w.comboAdifBand
                                                 : w.comboAdifMode;
            QVERIFY2(box->findText(value) >= 0, qPrintable(step));
            box->setCurrentIndex(box->findText(value));
        }
    }
}

// The records of an ADIF text.
QList<QByteArray> recordsOf(const QByteArray& file) {
    QList<QByteArray> out = file.mid(file.indexOf("<EOH>") + 5).split('\n');
    out.removeIf([](const QByteArray& line) { return !line.contains("<EOR>"); });
    return out;
}

} // namespace

class RadioFrameTest : public QObject, QsoWindows {
    Q_OBJECT

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }
    void cleanup() { env.reset(); }

    // The frame and the rig's line start empty (its controls following Exit in the tab order:
    // tst_qsoform).
    void theFrameHasItsCaptionsAndStartsEmpty_data() { bothWindows(); }
    void theFrameHasItsCaptionsAndStartsEmpty() {
        QFETCH(bool, editing);
        QsoForm* w = &form(editing);
        QCOMPARE(texts(w, "FrameRadio lblAdifBand lblFreq lblAdifMode lblRig"),
                 u"Radio|Band|Frequency (MHz)|Mode|"_s);
        QCOMPARE(radioText(*w), u"HF|||MIXED|"_s);
        QCOMPARE(itemTexts(w->comboAdifBand), QStringList({"", "160m", "80m", "60m", "40m", "30m",
                                                           "20m", "17m", "15m", "12m", "10m"}));
    }

    // Each row: steps from a fresh form, and the categories with the frame afterwards.
    void categoriesAndExactValuesNeverContradict_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");
        const char* const rows[][3] = {
            {"frequency picks band and category", "freq=144.3", "VHF|2m|144.3|MIXED|"},
            {"SAT keeps its category", "band=SAT;freq=145.9", "SAT|2m|145.9|MIXED|"},
            {"no band yet", "adif=20m;freq=13", "HF|20m|13|MIXED|"},
            {"category empties band and frequency", "freq=14.074;band=VHF", "VHF|||MIXED|"},
            {"another exact band empties the frequency", "freq=14.074;adif=40m", "HF|40m||MIXED|"},
            {"mode category that excludes the mode", "amode=USB;mode=CW", "HF|||CW|"},
            {"mode category that keeps it", "mode=SSB;amode=USB;mode=MIXED", "HF|||MIXED|USB"},
        };
        for (const auto& row : rows) {
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
        }
    }

    void categoriesAndExactValuesNeverContradict() {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        frmInsertQSO& w = insert();
        apply(w, steps);
        QCOMPARE(radioText(w), shown);
    }

    // A confirmed QSO replaced on Yes goes with its exact values; the new one keeps its own.
    void aReplacedQsoTakesItsExactValuesWithIt() {
        frmInsertQSO& w = insert();
        enter(w, u"band=VHF;mode=SSB"_s);
        apply(w, u"freq=144.300;amode=USB"_s);
        QCOMPARE(submit(w), QStringList({"QSO saved"}));
        env->addQso(Qso{}); // the replaced QSO is not the last: its number is not reused
        enter(w, u"call=i2new;band=VHF;mode=SSB"_s);
        apply(w, u"amode=LSB"_s);
        env->dialogs.answer({Answer::Yes});
        QCOMPARE(submit(w).last(), u"QSO saved"_s);
        QCOMPARE(env->radioRows(), QStringList({"3|2m|144.3|SSB|LSB"}));
    }

    // A log of an earlier build has no table of exact values.
    void aLogWithoutTheTableIsRead() {
        QCOMPARE(radioText(handOver(env->addQso(Qso{}))), u"HF|||MIXED|"_s);
        QVERIFY(env->dialogs.shown.empty());
    }

    // Left empty, the frame changes nothing: the row as before, nothing beside it.
    void aQsoTypedWithoutTheFrameIsStoredAsBefore() {
        frmInsertQSO& w = insert();
        enter(w, u"band=VHF;mode=SSB"_s);
        QCOMPARE(submit(w), QStringList({"QSO saved"}));
        QCOMPARE(env->rawRows(), QStringList({"1|I1ABC|AB|ALFA|BD|SSB|VHF|2004-12-05|21:30:00|c"}));
        QVERIFY(!radiotable::exists(env->m.logDb));
    }

    // Stored beside the QSO, and kept for the next QSO like band and mode (the other fields
    // kept: tst_qso).
    void exactValuesAreStoredAndKeptForTheNextQso() {
        frmInsertQSO& w = insert();
        enter(w, u"mode=SSB"_s);
        apply(w, u"freq=144.300;amode=USB"_s);
        QCOMPARE(submit(w), QStringList({"QSO saved"}));
        QCOMPARE(env->rawRows(), QStringList({"1|I1ABC|AB|ALFA|BD|SSB|VHF|2004-12-05|21:30:00|c"}));
        QCOMPARE(env->radioRows(), QStringList({"1|2m|144.3|SSB|USB"}));
        QCOMPARE(radioText(w), u"VHF|2m|144.300|SSB|USB"_s);
    }

    // The edit window shows them, and empties them for a QSO that has none.
    void theEditWindowShowsEachQsosOwnExactValues() {
        const int exact = env->addQso({.mode = u"SSB"_s, .band = u"VHF"_s});
        radiotable::write(env->m.logDb, exact,
                          {.band = u"2m"_s, .freq = 144.3, .mode = u"SSB"_s, .submode = u"USB"_s});
        const int plain = env->addQso({.call = u"I2NO"_s, .mode = u"CW"_s, .band = u"UHF"_s});
        frmEditQSO* e = &handOver(exact);
        QCOMPARE(radioText(*e), u"VHF|2m|144.300|SSB|USB"_s);
        handOver(plain);
        QCOMPARE(radioText(*e), u"UHF|||CW|"_s);
    }

    void theEditWindowChangesAndRemovesExactValues() {
        const int key = env->addQso({.mode = u"SSB"_s, .band = u"VHF"_s});
        radiotable::write(env->m.logDb, key,
                          {.band = u"2m"_s, .freq = 144.3, .mode = u"SSB"_s, .submode = u"USB"_s});
        frmEditQSO* e = &handOver(key);
        apply(*e, u"amode=LSB;freq="_s);
        QCOMPARE(submit(*e), QStringList({"QSO edited"}));
        QCOMPARE(env->radioRows(), QStringList({"1|2m||SSB|LSB"}));
        e = &handOver(key);
        apply(*e, u"adif=-;amode=-"_s);
        QCOMPARE(submit(*e), QStringList({"QSO edited"}));
        QVERIFY(env->radioRows().isEmpty());
    }

    // The close box: a new load starts empty, so no old frequency goes with the next QSO.
    void aWindowLoadedAgainStartsWithTheFrameEmpty() {
        frmInsertQSO* w = &insert();
        apply(*w, u"freq=144.300;amode=USB"_s);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w = &insert();
        QCOMPARE(radioText(*w), u"HF|||MIXED|"_s);
    }

    // After every check of the form, and only when they pass.
    void submitChecksTheFrequencyAfterTheFormsChecks_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a number")
            << u"freq=14.0.7"_s << u"i1abc"_s
            << u"frequency field must be a number of MHz, such as 144.300"_s;
        QTest::newRow("in no band")
            << u"freq=13.9"_s << u"i1abc"_s << u"frequency field is in no amateur band"_s;
        QTest::newRow("not a satellite band")
            << u"band=SAT;freq=14.2"_s << u"i1abc"_s
            << u"frequency field is in the 20m band, not one of the SAT bands"_s;
        QTest::newRow("the form's own check first")
            << u"freq=abc"_s << QString() << u"Call Field cannot be null"_s;
    }

    void submitChecksTheFrequencyAfterTheFormsChecks() {
        QFETCH(QString, steps);
        QFETCH(QString, call);
        QFETCH(QString, message);
        frmInsertQSO& w = insert();
        enter(w, u"call="_s + call);
        apply(w, steps);
        QCOMPARE(submit(w), QStringList({message}));
        QCOMPARE(looks(env->dialogs), QStringList({"error Critical Ok"}));
        QCOMPARE(env->count(), 0);
    }

    // Rig readings fill the frame and the categories; the operator's choice wins until the rig
    // changes; the box being typed in keeps its focus, caret and selection, and no other field
    // changes.
    void theRigIsFollowedUntilTheOperatorChooses() {
        frmInsertQSO& w = insert();
        enter(w);
        w.txtCall->setFocus();
        w.txtCall->setSelection(1, 2);
        const QString fields = formText(w).section(u'|', 0, 7);
        const QString call = boxState(w.txtCall);
        w.followRig(144300000, u"USB"_s);
        QCOMPARE(radioText(w), u"VHF|2m|144.300|SSB|USB"_s);
        w.comboMode->setCurrentText(u"CW"_s);
        w.followRig(144300000, u"USB"_s);
        QCOMPARE(radioText(w), u"VHF|2m|144.300|CW|"_s);
        w.followRig(144300000, u"LSB"_s);
        QCOMPARE(radioText(w), u"VHF|2m|144.300|SSB|LSB"_s);
        // A data mode the rig cannot name leaves the exact mode to the operator.
        w.followRig(14074000, u"PKTUSB"_s);
        QCOMPARE(radioText(w), u"HF|20m|14.074|DIGITAL|"_s);
        QCOMPARE(boxState(w.txtCall), call);
        QCOMPARE(formText(w).section(u'|', 0, 7), fields);
        QVERIFY(env->dialogs.shown.empty());
    }

    // A frequency being typed is the operator's (the rig's state beside the frame: tst_rigwindow).
    void aFrequencyBeingTypedIsTheOperators() {
        frmInsertQSO& w = insert();
        w.followRig(145500000, u"FM"_s);
        type(w.txtFreq, u"1"_s);
        w.followRig(7074000, QString());
        QCOMPARE(boxState(w.txtFreq), u"145.5001 *"_s);
        QVERIFY(env->dialogs.shown.empty());
    }

    // The kept fields of an imported QSO that spoke of its band go when the edit changes its
    // exact band.
    void anEditOfAnImportedQsosExactBandDropsWhatNoLongerAgrees() {
        adif::importAdif(env->m, bytesOf(adifFixture("desktop-logger.adi")), {});
        frmEditQSO& e = handOver(3); // IW3SAT, uplink on 2 m, BAND_RX 70cm
        QCOMPARE(radioText(e), u"SAT|2m||MIXED|FM"_s);
        apply(e, u"adif=23cm"_s);
        QCOMPARE(submit(e), QStringList({"QSO edited"}));
        const QByteArray record = recordsOf(exportedAdif(env->m)).at(2);
        QVERIFY(record.contains("<BAND:4>23cm") && record.contains("<MODE:2>FM"));
        QVERIFY(!record.contains("BAND_RX") && !record.contains("SAT_NAME"));
    }

    void aLogTypedWithExactValuesLeavesWithBandAndModeAndComesBackExactly() {
        frmInsertQSO& w = insert();
        const char* const typed[][2] = {{"call=i1aaa;mode=SSB", "freq=144.3;amode=USB"},
                                        {"call=i1bbb;mode=DIGITAL", "freq=14.074;amode=FT4"},
                                        {"call=i1ddd;band=50 MHz;mode=CW", ""}};
        for (const auto& [qso, frame] : typed) {
            enter(w, QString::fromLatin1(qso));
            apply(w, QString::fromLatin1(frame));
            QCOMPARE(submit(w).last(), u"QSO saved"_s);
        }
        const QByteArray file = exportedAdif(env->m);
        const QList<QByteArray> records = recordsOf(file);
        QCOMPARE(records.size(), 3);
        for (const QByteArray& r : records) {
            QVERIFY2(r.contains("<BAND:") && r.contains("<MODE:"), r.constData());
        }
        QVERIFY(records[1].contains("<MODE:4>MFSK <SUBMODE:3>FT4 <BAND:3>20m <FREQ:6>14.074"));

        LogEnv copy;
        adif::importAdif(copy.m, file, {});
        QCOMPARE(copy.rawRows(), env->rawRows());
        QCOMPARE(copy.radioRows(), env->radioRows());
    }
};

QTEST_MAIN(RadioFrameTest)
#include "tst_radioframe.moc"
