// The endorsement request: its own order of checks, its own form lines, and the conversion of
// the E listed QSOs.

#include "RequestFixtures.h"
#include "award/frmAE.h"

using namespace hm52;
using namespace hm52::test;

namespace {

const QString baseAwardMissing =
    u"We are sorry, you must have the Base Award before the endorsement!"_s;
const QString notEnough = u"We are sorry, you have not enought QSOs to request an endorsement!"_s;

std::vector<Expected> endorsementForm(const QString& band, const QString& mode, int e,
                                      qint64 confirmedAndAccredited,
                                      const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
    const QString i14 = sp(14);
    std::vector<Expected> lines = formHead(
        sp(50) + u"MODULO RICHIESTA AVANZAMENTO DIPLOMA HM52"_s,
        m +
            u"Richiede il rilascio dell'avanzamento del diploma HM52 per aver collegato "_s
            u"e confermato n° "_s +
            QString::number(e) + u" nuovi"_s,
        m + u"quadratini dello SQUARE HM52 nella banda "_s + band + u" e nel modo "_s + mode,
        confirmedAndAccredited);
    for (int i = 0; i < e; ++i) {
        lines.push_back({entry(12, listed.at(static_cast<size_t>(i))), CN, 8, false});
    }
    lines.push_back({u" "_s, TNR, 8, false});
    const QString signer = i14 + u"Il sottoscritto"_s + sp(76) + u"Nominativo"_s + sp(15);
    const QString certifies = i14 + u"certifica che il Radioamatore IK0XYZ è in possesso delle "_s
                                    u"QSL per la richiesta del DIPLOMA HM52"_s;
    const QString firma = i14 + u"Firma"_s + sp(64);
    const QString rule = i14 + QString(85, u'_');
    addLines(lines,
             {m +
                  u"Non si allegano le QSL originali poichè già controllate da due OM "
                  u"sottoelencati ma mi impegno a"_s +
                  sp(6),
              m + u"farvele recapitare su vostra richiesta"_s, sp(11),
              m + u"Firma"_s + sp(85) + u"Data"_s + sp(22), m + QString(84, u'_'), sp(5), signer,
              certifies, sp(34), firma, rule, sp(5), signer, certifies, sp(35), firma, rule, sp(10),
              i14 + u"Si allega busta preindirizzata e preaffrancata per la risposta"_s},
             TNR, 12);
    return lines;
}

struct Ae : Request {
    Ae() : Request(Window::AE) {}
};

} // namespace

class EndorsementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowStartsOnHfMixed() {
        Ae t;
        QCOMPARE(t.w->windowTitle(), u"Award Endorsment Italian Rules"_s);
        QCOMPARE(child<QComboBox>(t.w, "comboBand")->currentText() +
                     child<QComboBox>(t.w, "comboMode")->currentText(),
                 u"HFMIXED"_s);
        QVERIFY(controlsStandClear(t.w));
    }

    void formListsTheFirstEConfirmedAndConvertsThem() {
        Ae t;
        t.env.setOperator();
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"a"_s, 300);
        const auto confirmed = addQsos(t.env, 30, u"HF"_s, u"MIXED"_s, u"c"_s);
        addQsos(t.env, 30, u"HF"_s, u"SSB"_s, u"c"_s);
        t.answer({Answer::Yes, Answer::Yes});
        t.print();

        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        const RecordedJob& job = t.env.printers.jobs[0];
        QVERIFY(job.ended);
        QVERIFY(sameLines(job, endorsementForm(u"HF"_s, u"MIXED"_s, 25, 105, confirmed)));
        QCOMPARE(job.lines[22].text.size(), 92);
        QCOMPARE(opSequence(job), requestFormOps(25, 19));
        QCOMPARE(t.env.dialogs.texts(), QStringList({convertQuestion, sureQuestion}));
        QCOMPARE(t.qsl(u"a"_s), 100);
        QCOMPARE(t.qsl(u"c"_s), 5);
        for (size_t i = 0; i < confirmed.size(); ++i) {
            QCOMPARE(t.env.rawField(confirmed[i].count, u"qsl"_s), i < 25 ? u"a"_s : u"c"_s);
        }
        QCOMPARE(t.conta, 1);

        // A further endorsement waits for 20 more confirmed QSOs.
        t.env.dialogs.clear();
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({notEnough}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
    }

    void refusalsComeInTheirOrder_data() {
        QTest::addColumn<int>("accredited");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<bool>("withOperator");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("74 accredited") << 74 << 30 << true << QStringList{baseAwardMissing};
        QTest::newRow("no base award, no operator")
            << 10 << 30 << false << QStringList{baseAwardMissing};
        QTest::newRow("no base award, no confirmed")
            << 0 << 0 << true << QStringList{baseAwardMissing};
        QTest::newRow("base award, no confirmed: silent") << 75 << 0 << false << QStringList{};
        QTest::newRow("24 of 25") << 75 << 24 << true << QStringList{notEnough};
        QTest::newRow("24 of 25, no operator")
            << 75 << 24 << false << QStringList{notEnough, operatorMissing};
        QTest::newRow("enough, no operator") << 75 << 25 << false << QStringList{operatorMissing};
    }

    void refusalsComeInTheirOrder() {
        QFETCH(int, accredited);
        QFETCH(int, confirmed);
        QFETCH(bool, withOperator);
        QFETCH(QStringList, messages);
        Ae t;
        if (withOperator) {
            t.env.setOperator();
        }
        addQsos(t.env, accredited, u"HF"_s, u"SSB"_s, u"a"_s, 300);
        addQsos(t.env, confirmed, u"HF"_s, u"SSB"_s, u"c"_s);
        t.choose(u"HF"_s, u"SSB"_s);
        t.print();
        QCOMPARE(t.env.dialogs.texts(), messages);
        QCOMPARE(looks(t.env.dialogs), QStringList(messages.size(), u"HM52 Exclamation Ok"_s));
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.qsl(u"c"_s, u"HF"_s, u"SSB"_s), confirmed);
        QCOMPARE(t.conta, 0);
    }

    void printingTwiceWithoutConvertingListsTheSameQsos() {
        Ae t;
        t.env.setOperator();
        addQsos(t.env, 20, u"UHF"_s, u"DIGITAL"_s, u"a"_s, 300);
        const auto confirmed = addQsos(t.env, 8, u"UHF"_s, u"DIGITAL"_s, u"c"_s);
        t.choose(u"UHF"_s, u"DIGITAL"_s);
        t.answer({Answer::No});
        t.print();
        t.answer({Answer::Yes, Answer::No});
        t.print();
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
        const auto expected = endorsementForm(u"UHF"_s, u"DIGITAL"_s, 5, 28, confirmed);
        QVERIFY(sameLines(t.env.printers.jobs[0], expected));
        QVERIFY(sameLines(t.env.printers.jobs[1], expected));
        QCOMPARE(t.qsl(u"c"_s, u"UHF"_s, u"DIGITAL"_s), 8);
        // No: no refresh; Yes then No: one refresh.
        QCOMPARE(t.conta, 1);
    }

    void aFailingPrinterConvertsNothing() {
        Ae t;
        t.env.setOperator();
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"a"_s, 300);
        addQsos(t.env, 25, u"HF"_s, u"MIXED"_s, u"c"_s);
        t.env.printers.failWith = u"Printer offline"_s;
        t.answer({Answer::Yes, Answer::Yes});
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({"Printer offline"}));
        QCOMPARE(t.qsl(u"c"_s), 25);
    }
};

QTEST_MAIN(EndorsementTest)
#include "tst_endorsement.moc"
