// The award counter: eighteen cells per mode, the QSOs each cell counts, the award's figures
// beside them, and the recount that other windows call whether or not the counter is showing.

#include "award/frmAward.h"
#include "support/TestEnv.h"

using namespace hm52;
using namespace hm52::test;

namespace {

const char* const bands[6] = {"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"};

// The eighteen cells, band by band, worked / confirmed / accredited.
QStringList cells(QWidget& w) {
    return texts(&w, "lblHFw lblHFc lblHFa lbl50MHzw lbl50MHzc lbl50MHza lblVHFw lblVHFc lblVHFa "
                     "lblUHFw lblUHFc lblUHFa lblSHFw lblSHFc lblSHFa lblSatellitew lblSatellitec "
                     "lblSatellitea")
        .split(u'|');
}

} // namespace

class CounterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsItsCaptionsAndTheCellsOfTheChosenModeAndRecountsEvenHidden() {
        TestEnv env;
        // Other windows' recount loads the counter hidden.
        QVERIFY(env.registry->loaded(Window::Award) == nullptr);
        env.registry->conta();
        auto* hidden = qobject_cast<frmAward*>(env.registry->loaded(Window::Award));
        QVERIFY(hidden != nullptr && !hidden->isVisible());
        env.registry->show(Window::Award);
        frmAward& w = env.registry->award();
        QCOMPARE(&w, hidden); // the same window, shown
        auto* mode = child<QComboBox>(&w, "Combo1");
        QCOMPARE(w.windowTitle(), u"Award Italian Rules"_s);
        QCOMPARE(itemTexts(mode), QStringList({"MIXED", "SSB", "CW", "DIGITAL"}));
        QCOMPARE(texts(&w, "Label2 Label3 Label1 Frame1 Frame2 Frame3 Frame4 Frame5 Frame6 Frame7 "
                           "Frame9 Frame10 cmdExit"),
                 u"WORKED|CONFIRMED|ACCREDITATED|HF|50 MHz|VHF|UHF|SHF|SAT|mode|Base Award "
                 u"Request|Endorsement|Exit"_s);
        // The base award's figures, then the endorsement's.
        QCOMPARE(
            texts(&w, "Label4 Label5 Label6 Label8 Label7 Label9 Label15 Label14 Label13 Label11 "
                      "Label12 Label10")
                .split(u'|'),
            QStringList(
                {"HF:...............................75", "50 MHz:.......................30",
                 "VHF:............................30", "UHF:............................20",
                 "SHF:............................10", "SAT:............................10",
                 "HF:...............................25", "50 MHz:.......................10",
                 "VHF:............................10", "UHF:..............................5",
                 "SHF:..............................5", "SAT:..............................5"}));

        // Cell k (band by band, worked / confirmed / accredited) gets k + 1 QSOs of MIXED, so
        // that every label shows a count of its own; one QSO of CW is confirmed on 50 MHz.
        QStringList ascending;
        Transaction batch(env.m.logDb);
        for (int k = 0; k < 18; ++k) {
            for (int n = 0; n <= k; ++n) {
                env.addQso({.band = bands[k / 3], .qsl = QString(QChar(u"wca"[k % 3]))});
            }
            ascending << QString::number(k + 1);
        }
        env.addQso({.mode = "CW", .band = "50 MHz", .qsl = "c"});
        batch.commit();
        QCOMPARE(cells(w), QStringList(18, u"0"_s)); // not recounted yet
        // Choosing the shown mode again recounts.
        Q_EMIT mode->activated(mode->currentIndex());
        QCOMPARE(cells(w), ascending);
        // Another mode chosen, here from code, as the operator's pick does.
        mode->setCurrentText(u"CW"_s);
        QStringList cw(18, u"0"_s);
        cw[4] = u"1"_s;
        QCOMPARE(cells(w), cw);
        // After a recount the shared slot holds the last cell's query.
        QCOMPARE(env.m.sharedRs->sql(), u" select count(*) as contatore from data where mode = "_s
                                        u"'CW' and band='SAT' and qsl='a'"_s);

        // Exit hides it and keeps the mode; the recount goes on while it is hidden.
        click(&w, "cmdExit");
        QVERIFY(!w.isVisible());
        env.addQso({.mode = "CW", .band = "50 MHz", .qsl = "c"});
        env.registry->conta();
        env.registry->show(Window::Award);
        QCOMPARE(mode->currentText(), u"CW"_s);
        cw[4] = u"2"_s;
        QCOMPARE(cells(w), cw);
    }
};

QTEST_MAIN(CounterTest)
#include "tst_counter.moc"
