// The base award request: the checks and their messages, the printed form line by line, and
// the conversion of exactly the listed QSOs, all of them or none.

#include "RequestFixtures.h"
#include "award/frmBAR.h"

#include <QComboBox>
#include <QPushButton>

using namespace hm52;
using namespace hm52::test;

namespace {

const QString alreadyRequested =
    QStringLiteral("You have just requested this award! Do you want to request it anyway?");
const QString convertQuestion =
    QStringLiteral("Do you want to to convert the confirmed QSO in accredited QSO?");
const QString sureQuestion = QStringLiteral("Are you sure? (check the print, is it ok?)");
const QString operatorMissing =
    QStringLiteral("Please, insert your userData in menu Utility -> userData");

QString mustHave(int n) {
    return QStringLiteral("We are sorry, you must have %1 or more QSOs!").arg(n);
}

// The base form for a band and mode whose first N confirmed QSOs are `listed`.
std::vector<Expected> baseForm(const QString& band, const QString& mode, int n,
                               qint64 confirmedAndAccredited,
                               const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
    std::vector<Expected> lines =
        formHead(sp(57) + QStringLiteral("MODULO RICHIESTA DIPLOMA HM52"),
                 m +
                     QStringLiteral("Richiede il rilascio del DIPLOMA HM52 per aver collegato e "
                                    "confermato n° ") +
                     QString::number(n) + QStringLiteral(" quadratini dello"),
                 m + QStringLiteral("SQUARE HM52 nella banda ") + band +
                     QStringLiteral(" e nel modo ") + mode,
                 confirmedAndAccredited);
    for (int i = 0; i < n; ++i) {
        lines.push_back({entry(14, listed.at(static_cast<size_t>(i))), CN, 8, false});
    }
    lines.push_back({QStringLiteral(" "), TNR, 8, false});
    const QString signer =
        m + QStringLiteral("Il sottoscritto") + sp(76) + QStringLiteral("Nominativo") + sp(15);
    const QString certifies =
        m + QStringLiteral("certifica che il Radioamatore IK0XYZ è in possesso delle QSL per la "
                           "richiesta del DIPLOMA HM52");
    const QString firma = m + QStringLiteral("Firma") + sp(64);
    const QString rule = m + QString(82, u'_');
    const QString box = sp(60) + QChar(0x8D) + sp(1);
    const QStringList closing{
        m + QStringLiteral("Non si allegano le QSL originali poichè già controllate da due OM "
                           "sottoelencati ma mi impegno a "),
        m + QStringLiteral("farvele recapitare su vostra richiesta"),
        sp(8),
        m + QStringLiteral("Firma") + sp(72) + QStringLiteral("Data") + sp(22),
        rule,
        sp(3),
        signer,
        certifies,
        sp(34),
        firma,
        rule,
        sp(3),
        signer,
        certifies,
        sp(35),
        firma,
        rule,
        sp(10),
        m + QStringLiteral("A parziale rimborso spese si allega:") + sp(36),
        box + QStringLiteral("€ 5,00 più 4 francobolli da € 0,45 "),
        box + QStringLiteral("$ 5,00 più 4 francobolli da € 0,45 "),
        box + QStringLiteral("15 francobolli da € 0,45") + sp(11),
    };
    for (const QString& line : closing) {
        lines.push_back({line, TNR, 12, false});
    }
    return lines;
}

struct Bar {
    TestEnv env;
    frmBAR* w = nullptr;
    ContaCalls conta{*env.registry};
    Bar() { w = &env.registry->bar(); }
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

class BaseRequestTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowStartsOnHfMixedWithItsControls() {
        Bar t;
        QCOMPARE(t.w->windowTitle(), QStringLiteral("Base Award Request Italian Rules"));
        auto* band = t.w->findChild<QComboBox*>(QStringLiteral("comboBand"));
        auto* mode = t.w->findChild<QComboBox*>(QStringLiteral("comboMode"));
        QCOMPARE(band->currentText(), QStringLiteral("HF"));
        QCOMPARE(mode->currentText(), QStringLiteral("MIXED"));
        QVERIFY(!band->isEditable() && !mode->isEditable());
        QCOMPARE(band->count(), 6);
        QCOMPARE(band->itemText(1), QStringLiteral("50 MHz"));
        QCOMPARE(mode->count(), 4);
        QVERIFY(controlsStandClear(t.w));
        // Exit hides the window and keeps its choices.
        showActive(t.w);
        t.choose(QStringLiteral("UHF"), QStringLiteral("CW"));
        t.w->findChild<QPushButton*>(QStringLiteral("cmdExit"))->click();
        QVERIFY(!t.w->isVisible());
        QCOMPARE(&t.env.registry->bar(), t.w);
        QCOMPARE(band->currentText(), QStringLiteral("UHF"));
    }

    void formListsTheFirstNConfirmedInSubSquareOrderWithEveryLineAndFont() {
        Bar t;
        t.env.setOperator();
        const auto confirmed =
            addQsos(t.env, 80, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        addQsos(t.env, 10, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("a"), 100);
        // Other modes, bands and states are neither listed nor counted.
        addQsos(t.env, 5, QStringLiteral("HF"), QStringLiteral("SSB"), QStringLiteral("c"));
        addQsos(t.env, 5, QStringLiteral("VHF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        addQsos(t.env, 5, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("w"), 200);
        t.print();

        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        const RecordedJob& job = t.env.printers.jobs[0];
        QVERIFY(job.ended);
        QVERIFY(sameLines(
            job, baseForm(QStringLiteral("HF"), QStringLiteral("MIXED"), 75, 90, confirmed)));
        // Line 17 carries N, line 20 confirmed plus accredited.
        QVERIFY(job.lines[16].text.endsWith(QStringLiteral("n° 75 quadratini dello")));
        QVERIFY(job.lines[19].text.endsWith(QStringLiteral("sono: 90")));
        // The fonts are set before the line on which they change, in this order: the size
        // before the name for the list, the name alone after it.
        QCOMPARE(opSequence(job), requestFormOps(75, 22));
        QCOMPARE(t.env.dialogs.texts(), QStringList({convertQuestion}));
    }

    void twoYesAnswersAccreditExactlyTheListedQsos() {
        Bar t;
        t.env.setOperator();
        const auto confirmed =
            addQsos(t.env, 80, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        addQsos(t.env, 3, QStringLiteral("HF"), QStringLiteral("SSB"), QStringLiteral("c"));
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();

        QCOMPARE(t.env.dialogs.texts(), QStringList({convertQuestion, sureQuestion}));
        for (const ShownBox& box : t.env.dialogs.shown) {
            QCOMPARE(box.icon, Icon::None);
            QCOMPARE(box.buttons, Buttons::YesNo);
            QCOMPARE(box.title, QStringLiteral("HM52"));
        }
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(75));
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(5));
        QCOMPARE(t.qsl(QStringLiteral("c"), QStringLiteral("HF"), QStringLiteral("SSB")),
                 qint64(3));
        for (size_t i = 0; i < confirmed.size(); ++i) {
            QCOMPARE(t.env.rawField(confirmed[i].count, QStringLiteral("qsl")),
                     i < 75 ? QStringLiteral("a") : QStringLiteral("c"));
        }
        QCOMPARE(t.conta.calls, 1);
    }

    void declinedConversionChangesNothing_data() {
        QTest::addColumn<bool>("firstYes");
        QTest::addColumn<int>("refreshes");
        QTest::newRow("No") << false << 0;
        QTest::newRow("Yes then No") << true << 1;
    }

    void declinedConversionChangesNothing() {
        QFETCH(bool, firstYes);
        QFETCH(int, refreshes);
        Bar t;
        t.env.setOperator();
        addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        t.env.dialogs.answer(firstYes ? Answer::Yes : Answer::No);
        t.env.dialogs.answer(Answer::No);
        t.print();
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(75));
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(0));
        QCOMPARE(t.conta.calls, refreshes);
        QCOMPARE(t.env.dialogs.shown.size(), size_t(firstYes ? 2 : 1));
    }

    void refusalsComeInOrderAndPrintNothing_data() {
        QTest::addColumn<QString>("band");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<bool>("withOperator");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("74 of 75") << "HF" << 74 << true << QStringList{mustHave(75)};
        QTest::newRow("none, no operator")
            << "HF" << 0 << false << QStringList{mustHave(75), operatorMissing};
        QTest::newRow("enough, no operator") << "HF" << 80 << false << QStringList{operatorMissing};
        QTest::newRow("50 MHz 29 of 30") << "50 MHz" << 29 << true << QStringList{mustHave(30)};
        QTest::newRow("SAT none") << "SAT" << 0 << true << QStringList{mustHave(10)};
    }

    void refusalsComeInOrderAndPrintNothing() {
        QFETCH(QString, band);
        QFETCH(int, confirmed);
        QFETCH(bool, withOperator);
        QFETCH(QStringList, messages);
        Bar t;
        if (withOperator) {
            t.env.setOperator();
        }
        addQsos(t.env, confirmed, band, QStringLiteral("CW"), QStringLiteral("c"));
        t.choose(band, QStringLiteral("CW"));
        t.print();
        QCOMPARE(t.env.dialogs.texts(), messages);
        for (const ShownBox& box : t.env.dialogs.shown) {
            QCOMPARE(box.icon, Icon::Exclamation);
            QCOMPARE(box.buttons, Buttons::Ok);
            QCOMPARE(box.title, QStringLiteral("HM52"));
        }
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.qsl(QStringLiteral("c"), band, QStringLiteral("CW")), qint64(confirmed));
    }

    void fiftyMegahertzClaimsThirtyAndNamesTheBandWithItsBlank() {
        Bar t;
        t.env.setOperator();
        const auto confirmed =
            addQsos(t.env, 31, QStringLiteral("50 MHz"), QStringLiteral("CW"), QStringLiteral("c"));
        t.choose(QStringLiteral("50 MHz"), QStringLiteral("CW"));
        t.print();
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        QVERIFY(
            sameLines(t.env.printers.jobs[0],
                      baseForm(QStringLiteral("50 MHz"), QStringLiteral("CW"), 30, 31, confirmed)));
    }

    void aSecondRequestAsksFirstAndPrintsWithoutConversion() {
        Bar t;
        t.env.setOperator();
        addQsos(t.env, 80, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(75));

        // No: nothing at all.
        t.env.dialogs.clear();
        t.env.dialogs.answer(Answer::No);
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({alreadyRequested}));
        QCOMPARE(t.env.dialogs.shown[0].icon, Icon::None);
        QCOMPARE(t.env.dialogs.shown[0].buttons, Buttons::YesNo);
        QCOMPARE(t.env.dialogs.shown[0].title, QStringLiteral("HM52"));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));

        // Yes with only 5 confirmed left: the same refusal as a new request, nothing printed.
        t.env.dialogs.clear();
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({alreadyRequested, mustHave(75)}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));

        // Yes with enough confirmed: printed, and no conversion question.
        const auto more = addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"),
                                  QStringLiteral("c"), 300);
        t.env.dialogs.clear();
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({alreadyRequested}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
        QVERIFY(t.env.printers.jobs[1].ended);
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(80));
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(75));
        QCOMPARE(t.conta.calls, 1);
    }

    void aRepeatedRequestWithoutOperatorRecordStopsWithItsMessage() {
        Bar t;
        addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("a"));
        addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"), 100);
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.env.dialogs.texts(), QStringList({alreadyRequested, operatorMissing}));
        QVERIFY(t.env.printers.jobs.empty());
    }

    void aFailingConversionLeavesEveryQsoConfirmedAndSaysWhy() {
        Bar t;
        t.env.setOperator();
        addQsos(t.env, 80, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        t.env.m.logDb.execute(QStringLiteral(
            "create trigger fail40 before update on data when (select count(*) from data where "
            "qsl='a') >= 39 begin select raise(abort, 'forced failure'); end"));
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(80));
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(0));
        QCOMPARE(t.env.dialogs.shown.size(), size_t(3));
        const ShownBox& error = t.env.dialogs.shown[2];
        QVERIFY2(error.text.startsWith(QStringLiteral("forced failure")), qPrintable(error.text));
        QCOMPARE(error.icon, Icon::Critical);
        // The log is usable afterwards: no transaction was left open.
        QVERIFY(!t.env.m.logDb.inTransaction());
        t.env.m.logDb.execute(QStringLiteral("drop trigger fail40"));
        t.env.dialogs.clear();
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.qsl(QStringLiteral("a")), qint64(75));
    }

    void aFailingPrinterShowsItsReasonAndAsksNothing() {
        Bar t;
        t.env.setOperator();
        addQsos(t.env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        t.env.printers.failWith = QStringLiteral("The printer is out of paper.");
        t.env.dialogs.answer(Answer::Yes);
        t.env.dialogs.answer(Answer::Yes);
        t.print();
        QCOMPARE(t.env.dialogs.texts(),
                 QStringList({QStringLiteral("The printer is out of paper.")}));
        QCOMPARE(t.env.dialogs.shown[0].icon, Icon::Critical);
        QCOMPARE(t.qsl(QStringLiteral("c")), qint64(75));
        QCOMPARE(t.conta.calls, 0);
    }

    void entriesCutLongValuesToTheirColumns() {
        Bar t;
        t.env.setOperator();
        for (int i = 0; i < 9; ++i) {
            Qso q;
            q.WWLocator = letters(i + 1);
            q.band = QStringLiteral("SHF");
            t.env.addQso(q);
        }
        Qso longest;
        longest.WWLocator = QStringLiteral("AA");
        longest.band = QStringLiteral("SHF");
        longest.call = QStringLiteral("IZ1234567890ABC");                         // 15
        longest.place = QStringLiteral("SANTA MARIA DELLE GRAZIE AL MONTE ALTO"); // 38
        longest.time = QStringLiteral("21:30");
        t.env.addQso(longest);
        t.choose(QStringLiteral("SHF"), QStringLiteral("MIXED"));
        t.print();
        const RecordedJob& job = t.env.printers.jobs.at(0);
        // Call 15 characters in a column of 12, place 38 in a column of 29.
        QCOMPARE(job.lines.at(21).text,
                 sp(14) + QStringLiteral("IZ1234567890 | HM52AA | SANTA MARIA DELLE GRAZIE AL M "
                                         "| BD  | 05/01/04   | 21.30"));
        QCOMPARE(job.lines.at(22).text.size(), 94);
    }
};

QTEST_MAIN(BaseRequestTest)
#include "tst_baserequest.moc"
