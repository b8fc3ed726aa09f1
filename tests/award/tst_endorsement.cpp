// The endorsement request: its own order of checks, its own form lines, and the conversion of
// the E listed QSOs.

#include "RequestFixtures.h"
#include "award/frmAE.h"

#include <QComboBox>
#include <QPushButton>

using namespace hm52;
using namespace hm52::test;

namespace {

const QString baseAwardMissing =
    QStringLiteral("We are sorry, you must have the Base Award before the endorsement!");
const QString notEnough =
    QStringLiteral("We are sorry, you have not enought QSOs to request an endorsement!");
const QString operatorMissing =
    QStringLiteral("Please, insert your userData in menu Utility -> userData");
const QString convertQuestion =
    QStringLiteral("Do you want to to convert the confirmed QSO in accredited QSO?");
const QString sureQuestion = QStringLiteral("Are you sure? (check the print, is it ok?)");

std::vector<Expected> endorsementForm(const QString& band, const QString& mode, int e,
                                      qint64 confirmedAndAccredited,
                                      const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
    const QString i14 = sp(14);
    std::vector<Expected> lines = formHead(
        sp(50) + QStringLiteral("MODULO RICHIESTA AVANZAMENTO DIPLOMA HM52"),
        m +
            QStringLiteral("Richiede il rilascio dell'avanzamento del diploma HM52 per aver "
                           "collegato e confermato n° ") +
            QString::number(e) + QStringLiteral(" nuovi"),
        m + QStringLiteral("quadratini dello SQUARE HM52 nella banda ") + band +
            QStringLiteral(" e nel modo ") + mode,
        confirmedAndAccredited);
    for (int i = 0; i < e; ++i) {
        lines.push_back({entry(12, listed.at(static_cast<size_t>(i))), CN, 8, false});
    }
    lines.push_back({QStringLiteral(" "), TNR, 8, false});
    const QString signer =
        i14 + QStringLiteral("Il sottoscritto") + sp(76) + QStringLiteral("Nominativo") + sp(15);
    const QString certifies =
        i14 + QStringLiteral("certifica che il Radioamatore IK0XYZ è in possesso delle QSL per "
                             "la richiesta del DIPLOMA HM52");
    const QString firma = i14 + QStringLiteral("Firma") + sp(64);
    const QString rule = i14 + QString(85, u'_');
    const QStringList closing{
        m +
            QStringLiteral("Non si allegano le QSL originali poichè già controllate da due OM "
                           "sottoelencati ma mi impegno a") +
            sp(6),
        m + QStringLiteral("farvele recapitare su vostra richiesta"),
        sp(11),
        m + QStringLiteral("Firma") + sp(85) + QStringLiteral("Data") + sp(22),
        m + QString(84, u'_'),
        sp(5),
        signer,
        certifies,
        sp(34),
        firma,
        rule,
        sp(5),
        signer,
        certifies,
        sp(35),
        firma,
        rule,
        sp(10),
        i14 + QStringLiteral("Si allega busta preindirizzata e preaffrancata per la risposta"),
    };
    for (const QString& line : closing) {
        lines.push_back({line, TNR, 12, false});
    }
    return lines;
}

struct Ae {
    TestEnv env;
    frmAE* w = nullptr;
    ContaCalls conta{*env.registry};
    Ae() { w = &env.registry->ae(); }
    void choose(const QString& band, const QString& mode) {
        auto* b = w->findChild<QComboBox*>(QStringLiteral("comboBand"));
        auto* m = w->findChild<QComboBox*>(QStringLiteral("comboMode"));
        b->setCurrentIndex(b->findText(band));
        m->setCurrentIndex(m->findText(mode));
    }
    void print() { w->findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click(); }
    qint64 qsl(const QString& state, const QString& band = QStringLiteral("HF"),
               const QString& mode = QStringLiteral("MIXED")) {
        return env.count(
            QStringLiteral("qsl='%1' and band='%2' and mode='%3'").arg(state, band, mode));
    }
};

} // namespace

class EndorsementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowStartsOnHfMixed() {
        Ae t;
        QCOMPARE(t.w->windowTitle(), QStringLiteral("Award Endorsment Italian Rules"));
        QCOMPARE(t.w->findChild<QComboBox*>(QStringLiteral("comboBand"))->currentText(),
                 QStringLiteral("HF"));
        QCOMPARE(t.w->findChild<QComboBox*>(QStringLiteral("comboMode"))->currentText(),
                 QStringLiteral("MIXED"));
        QVERIFY(controlsStandClear(t.w));
    }

    void formListsTheFirstEConfirmedAndConvertsThem() {
        Ae t;
        t.env.setOperator();
        addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("a"), 300);
        const auto confirmed =
            addQsos(t.env, 30, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        addQsos(t.env, 30, QStringLiteral("HF"), QStringLiteral("SSB"), QStringLiteral("c"));
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();

        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        QVERIFY(t.env.printers.jobs[0].ended);
        QVERIFY(sameLines(
            t.env.printers.jobs[0],
            endorsementForm(QStringLiteral("HF"), QStringLiteral("MIXED"), 25, 105, confirmed)));
        QCOMPARE(t.env.printers.jobs[0].lines[22].text.size(), 92);
        QCOMPARE(opSequence(t.env.printers.jobs[0]), requestFormOps(25, 19));
        QCOMPARE(t.env.dialogs.texts(), QStringList({convertQuestion, sureQuestion}));
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(100));
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(5));
        for (size_t i = 0; i < confirmed.size(); ++i) {
            QCOMPARE(t.env.rawField(confirmed[i].count, QStringLiteral("qsl")),
                     i < 25 ? QStringLiteral("a") : QStringLiteral("c"));
        }
        QCOMPARE(t.conta.calls, 1);

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
        addQsos(t.env, accredited, QStringLiteral("HF"), QStringLiteral("SSB"), QStringLiteral("a"),
                300);
        addQsos(t.env, confirmed, QStringLiteral("HF"), QStringLiteral("SSB"), QStringLiteral("c"));
        t.choose(QStringLiteral("HF"), QStringLiteral("SSB"));
        t.print();
        QCOMPARE(t.env.dialogs.texts(), messages);
        for (const ShownBox& box : t.env.dialogs.shown) {
            QCOMPARE(box.icon, Icon::Exclamation);
            QCOMPARE(box.title, QStringLiteral("HM52"));
        }
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.qsl(QStringLiteral("c"), QStringLiteral("HF"), QStringLiteral("SSB")),
                 qint64(confirmed));
        QCOMPARE(t.conta.calls, 0);
    }

    void printingTwiceWithoutConvertingListsTheSameQsos() {
        Ae t;
        t.env.setOperator();
        addQsos(t.env, 20, QStringLiteral("UHF"), QStringLiteral("DIGITAL"), QStringLiteral("a"),
                300);
        const auto confirmed = addQsos(t.env, 8, QStringLiteral("UHF"), QStringLiteral("DIGITAL"),
                                       QStringLiteral("c"));
        t.choose(QStringLiteral("UHF"), QStringLiteral("DIGITAL"));
        t.env.dialogs.answer(Answer::No);
        t.print();
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::No);
        t.print();
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
        const auto expected =
            endorsementForm(QStringLiteral("UHF"), QStringLiteral("DIGITAL"), 5, 28, confirmed);
        QVERIFY(sameLines(t.env.printers.jobs[0], expected));
        QVERIFY(sameLines(t.env.printers.jobs[1], expected));
        QCOMPARE(t.qsl(QStringLiteral("c"), QStringLiteral("UHF"), QStringLiteral("DIGITAL")),
                 qint64(8));
        // No: no refresh; Yes then No: one refresh.
        QCOMPARE(t.conta.calls, 1);
    }

    void aFailingPrinterConvertsNothing() {
        Ae t;
        t.env.setOperator();
        addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("a"), 300);
        addQsos(t.env, 25, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        t.env.printers.failWith = QStringLiteral("Printer offline");
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({QStringLiteral("Printer offline")}));
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(25));
    }
};

QTEST_MAIN(EndorsementTest)
#include "tst_endorsement.moc"
