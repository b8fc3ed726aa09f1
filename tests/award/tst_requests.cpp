// The two award requests, base award and endorsement: the checks and their messages in each
// one's order, the printed forms line by line, and the conversion of exactly the listed QSOs,
// all of them or none.

#include "RequestFixtures.h"
#include "award/frmAE.h"
#include "award/frmBAR.h"

using namespace hm52;
using namespace hm52::test;

namespace {

const QString alreadyRequested =
    u"You have just requested this award! Do you want to request it anyway?"_s;

QString mustHave(int n) {
    return u"We are sorry, you must have %1 or more QSOs!"_s.arg(n);
}

// The base form for a band and mode whose first N confirmed QSOs are `listed`.
QStringList baseForm(const QString& band, const QString& mode, int n, qint64 confirmedAndAccredited,
                     const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
    QStringList lines = formHead(
        sp(57) + u"MODULO RICHIESTA DIPLOMA HM52"_s,
        m + u"Richiede il rilascio del DIPLOMA HM52 per aver collegato e confermato n° "_s +
            QString::number(n) + u" quadratini dello"_s,
        m + u"SQUARE HM52 nella banda "_s + band + u" e nel modo "_s + mode,
        confirmedAndAccredited);
    for (int i = 0; i < n; ++i) {
        lines << entry(14, listed.at(static_cast<size_t>(i)));
    }
    const QString signer = m + u"Il sottoscritto"_s + sp(76) + u"Nominativo"_s + sp(15);
    const QString certifies = m + u"certifica che il Radioamatore IK0XYZ è in possesso delle QSL "_s
                                  u"per la richiesta del DIPLOMA HM52"_s;
    const QString firma = m + u"Firma"_s + sp(64);
    const QString rule = m + QString(82, u'_');
    const QString box = sp(60) + QChar(0x8D) + sp(1);
    return lines << u" "_s
                 << m + u"Non si allegano le QSL originali poichè già controllate da due OM "
                        u"sottoelencati ma mi impegno a "_s
                 << m + u"farvele recapitare su vostra richiesta"_s << sp(8)
                 << m + u"Firma"_s + sp(72) + u"Data"_s + sp(22) << rule << sp(3) << signer
                 << certifies << sp(34) << firma << rule << sp(3) << signer << certifies << sp(35)
                 << firma << rule << sp(10)
                 << m + u"A parziale rimborso spese si allega:"_s + sp(36)
                 << box + u"€ 5,00 più 4 francobolli da € 0,45 "_s
                 << box + u"$ 5,00 più 4 francobolli da € 0,45 "_s
                 << box + u"15 francobolli da € 0,45"_s + sp(11);
}

const QString baseAwardMissing =
    u"We are sorry, you must have the Base Award before the endorsement!"_s;
const QString notEnough = u"We are sorry, you have not enought QSOs to request an endorsement!"_s;

QStringList endorsementForm(const QString& band, const QString& mode, int e,
                            qint64 confirmedAndAccredited, const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
    const QString i14 = sp(14);
    QStringList lines = formHead(
        sp(50) + u"MODULO RICHIESTA AVANZAMENTO DIPLOMA HM52"_s,
        m +
            u"Richiede il rilascio dell'avanzamento del diploma HM52 per aver collegato "_s
            u"e confermato n° "_s +
            QString::number(e) + u" nuovi"_s,
        m + u"quadratini dello SQUARE HM52 nella banda "_s + band + u" e nel modo "_s + mode,
        confirmedAndAccredited);
    for (int i = 0; i < e; ++i) {
        lines << entry(12, listed.at(static_cast<size_t>(i)));
    }
    const QString signer = i14 + u"Il sottoscritto"_s + sp(76) + u"Nominativo"_s + sp(15);
    const QString certifies = i14 + u"certifica che il Radioamatore IK0XYZ è in possesso delle "_s
                                    u"QSL per la richiesta del DIPLOMA HM52"_s;
    const QString firma = i14 + u"Firma"_s + sp(64);
    const QString rule = i14 + QString(85, u'_');
    return lines << u" "_s
                 << m +
                        u"Non si allegano le QSL originali poichè già controllate da due OM "
                        u"sottoelencati ma mi impegno a"_s +
                        sp(6)
                 << m + u"farvele recapitare su vostra richiesta"_s << sp(11)
                 << m + u"Firma"_s + sp(85) + u"Data"_s + sp(22) << m + QString(84, u'_') << sp(5)
                 << signer << certifies << sp(34) << firma << rule << sp(5) << signer << certifies
                 << sp(35) << firma << rule << sp(10)
                 << i14 + u"Si allega busta preindirizzata e preaffrancata per la risposta"_s;
}

} // namespace

class RequestsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bothWindowsStartOnHfMixedWithTheirControls() {
        for (const auto& [which, title] :
             {std::pair{Window::BAR, "Base Award Request Italian Rules"},
              {Window::AE, "Award Endorsment Italian Rules"}}) {
            Request t(which);
            QCOMPARE(t.w->windowTitle(), QLatin1String(title));
            auto* band = child<QComboBox>(t.w, "comboBand");
            auto* mode = child<QComboBox>(t.w, "comboMode");
            QCOMPARE(band->currentText() + mode->currentText(), u"HFMIXED"_s);
            QVERIFY(!band->isEditable() && !mode->isEditable());
            QCOMPARE(itemTexts(band), QStringList({"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}));
            QCOMPARE(mode->count(), 4);
            QVERIFY(controlsStandClear(t.w));
            // Exit hides the window and keeps its choices.
            showActive(t.w);
            t.choose(u"UHF"_s, u"CW"_s);
            click(t.w, "cmdExit");
            QVERIFY(!t.w->isVisible());
            QCOMPARE(&t.env.registry->load(which), t.w);
            QCOMPARE(band->currentText(), u"UHF"_s);
        }
    }

    void formListsTheFirstNConfirmedInSubSquareOrderAndTwoYesConvertThem() {
        // The band named with its blank: 30 of 31 confirmed QSOs claimed.
        const QString band = u"50 MHz"_s;
        const QString mode = u"CW"_s;
        Request t(Window::BAR);
        t.env.setOperator();
        const auto logged = addQsos(t.env, 31, band, mode, u"c"_s);
        addQsos(t.env, 10, band, mode, u"a"_s, 100);
        // Other modes, bands and states are neither listed nor counted nor converted.
        addQsos(t.env, 5, u"HF"_s, mode, u"c"_s);
        addQsos(t.env, 5, band, u"MIXED"_s, u"c"_s);
        addQsos(t.env, 5, band, mode, u"w"_s, 200);
        t.choose(band, mode);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({convertQuestion, sureQuestion}));

        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        const RecordedJob& job = t.env.printers.jobs[0];
        QVERIFY(job.ended);
        QCOMPARE(job.texts(), baseForm(band, mode, 30, 41, logged));
        // The title bold, the list in Courier New, the fonts set before the line on which
        // they change: the size before the name for the list, the name alone after it.
        QCOMPARE(opSequence(job), requestFormOps(30, 22));
        QCOMPARE(looks(t.env.dialogs), QStringList(2, u"HM52 None YesNo"_s));
        QCOMPARE(t.qsl(u"a"_s, band, mode), 40);
        QCOMPARE(t.qsl(u"c"_s, band, mode), 1);
        QCOMPARE(t.qsl(u"w"_s, band, mode), 5);
        QCOMPARE(t.env.count(u"qsl = 'c' and (mode = 'MIXED' or band = 'HF')"_s), 10);
        for (size_t i = 0; i < logged.size(); ++i) {
            QCOMPARE(t.env.rawField(logged[i].count, u"qsl"_s), i < 30 ? u"a"_s : u"c"_s);
        }
        QCOMPARE(t.conta, 1);
    }

    void refusalsComeInOrderAndPrintNothing_data() {
        QTest::addColumn<int>("accredited");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<bool>("withOperator");
        QTest::addColumn<QStringList>("messages");
        const auto add = [](const char* name, int accredited, int confirmed, bool withOperator,
                            const QStringList& messages) {
            QTest::newRow(name) << accredited << confirmed << withOperator << messages;
        };
        add("74 of 75", 0, 74, true, {mustHave(75)});
        add("none, no operator", 0, 0, false, {mustHave(75), operatorMissing});
        add("enough, no operator", 0, 80, false, {operatorMissing});
        add("requested again, no operator", 75, 75, false, {alreadyRequested, operatorMissing});
    }

    void refusalsComeInOrderAndPrintNothing() {
        QFETCH(int, accredited);
        QFETCH(int, confirmed);
        QFETCH(bool, withOperator);
        QFETCH(QStringList, messages);
        Request t(Window::BAR);
        if (withOperator) {
            t.env.setOperator();
        }
        const QString band = u"HF"_s;
        addQsos(t.env, accredited, band, u"CW"_s, u"a"_s, 100);
        addQsos(t.env, confirmed, band, u"CW"_s, u"c"_s);
        t.choose(band, u"CW"_s);
        QCOMPARE(t.print({Answer::Yes}), messages); // Yes: to request it again
        QStringList expectedLooks;
        for (const QString& message : messages) {
            expectedLooks << (message == alreadyRequested ? u"HM52 None YesNo"_s
                                                          : u"HM52 Exclamation Ok"_s);
        }
        QCOMPARE(looks(t.env.dialogs), expectedLooks);
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.qsl(u"c"_s, band, u"CW"_s), confirmed);
    }

    void aSecondRequestAsksFirstAndPrintsWithoutConversion() {
        Request t(Window::BAR);
        t.env.setOperator();
        addQsos(t.env, 80, u"HF"_s, u"MIXED"_s, u"c"_s);
        t.print({Answer::Yes, Answer::Yes});
        QCOMPARE(t.qsl(u"a"_s), 75);

        // No: nothing at all.
        t.env.dialogs.clear();
        QCOMPARE(t.print({Answer::No}), QStringList({alreadyRequested}));
        QCOMPARE(looks(t.env.dialogs), QStringList({"HM52 None YesNo"}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));

        // Yes with only 5 confirmed left: the same refusal as a new request, nothing printed.
        QCOMPARE(t.print({Answer::Yes}), QStringList({alreadyRequested, mustHave(75)}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));

        // Yes with enough confirmed: printed, and no conversion question.
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"c"_s, 300);
        QCOMPARE(t.print({Answer::Yes}), QStringList({alreadyRequested}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
        QVERIFY(t.env.printers.jobs[1].ended);
        QCOMPARE(t.qsl(u"c"_s), 80);
        QCOMPARE(t.qsl(u"a"_s), 75);
        QCOMPARE(t.conta, 1);
    }

    void aFailingConversionLeavesEveryQsoConfirmedAndSaysWhy() {
        Request t(Window::BAR);
        t.env.setOperator();
        addQsos(t.env, 80, u"HF"_s, u"MIXED"_s, u"c"_s);
        t.env.m.logDb.execute(
            u"create trigger fail40 before update on data when (select count(*) from data where "
            u"qsl='a') >= 39 begin select raise(abort, 'forced failure'); end"_s);
        const QStringList shown = t.print({Answer::Yes, Answer::Yes});
        QCOMPARE(t.qsl(u"c"_s), 80);
        QCOMPARE(t.qsl(u"a"_s), 0);
        QCOMPARE(shown.size(), 3);
        QVERIFY2(shown[2].startsWith(u"forced failure"_s), qPrintable(shown[2]));
        QCOMPARE(t.env.dialogs.shown[2].icon, Icon::Critical);
        // The log is usable afterwards: no transaction was left open.
        QVERIFY(!t.env.m.logDb.inTransaction());
        t.env.m.logDb.execute(u"drop trigger fail40"_s);
        t.print({Answer::Yes, Answer::Yes});
        QCOMPARE(t.qsl(u"a"_s), 75);
    }

    void entriesCutLongValuesToTheirColumns() {
        Request t(Window::BAR);
        t.env.setOperator();
        for (int i = 0; i < 9; ++i) {
            t.env.addQso({.WWLocator = letters(i + 1), .band = "SHF"});
        }
        // Call 15 characters in a column of 12, place 38 in a column of 29.
        t.env.addQso({.call = "IZ1234567890ABC",
                      .WWLocator = "AA",
                      .place = "SANTA MARIA DELLE GRAZIE AL MONTE ALTO",
                      .band = "SHF",
                      .time = "21:30"});
        t.choose(u"SHF"_s, u"MIXED"_s);
        t.print();
        const RecordedJob& job = t.env.printers.jobs.at(0);
        QCOMPARE(job.lines.at(21).text, sp(14) + u"IZ1234567890 | HM52AA | SANTA MARIA DELLE "_s
                                                 u"GRAZIE AL M | BD  | 05/01/04   | 21.30"_s);
        QCOMPARE(job.lines.at(22).text.size(), 94);
    }

    // ----- the endorsement ---------------------------------------------------------------

    void endorsementListsTheFirstEConfirmedAndConvertsThem() {
        Request t(Window::AE);
        t.env.setOperator();
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"a"_s, 300);
        const auto confirmed = addQsos(t.env, 30, u"HF"_s, u"MIXED"_s, u"c"_s);
        addQsos(t.env, 30, u"HF"_s, u"SSB"_s, u"c"_s);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({convertQuestion, sureQuestion}));

        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        const RecordedJob& job = t.env.printers.jobs[0];
        QVERIFY(job.ended);
        QCOMPARE(job.texts(), endorsementForm(u"HF"_s, u"MIXED"_s, 25, 105, confirmed));
        QCOMPARE(job.lines[22].text.size(), 92);
        QCOMPARE(opSequence(job), requestFormOps(25, 19));
        QCOMPARE(t.qsl(u"a"_s), 100);
        QCOMPARE(t.qsl(u"c"_s), 5);
        for (size_t i = 0; i < confirmed.size(); ++i) {
            QCOMPARE(t.env.rawField(confirmed[i].count, u"qsl"_s), i < 25 ? u"a"_s : u"c"_s);
        }
        QCOMPARE(t.conta, 1);

        // A further endorsement waits for 20 more confirmed QSOs.
        QCOMPARE(t.print(), QStringList({notEnough}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
    }

    void endorsementRefusalsComeInTheirOrder_data() {
        QTest::addColumn<int>("accredited");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<bool>("withOperator");
        QTest::addColumn<QStringList>("messages");
        const auto add = [](const char* name, int accredited, int confirmed, bool withOperator,
                            const QStringList& messages) {
            QTest::newRow(name) << accredited << confirmed << withOperator << messages;
        };
        add("74 accredited", 74, 30, true, {baseAwardMissing});
        add("no base award, no operator", 10, 30, false, {baseAwardMissing});
        add("no base award, no confirmed", 0, 0, true, {baseAwardMissing});
        add("base award, no confirmed: silent", 75, 0, false, {});
        add("24 of 25", 75, 24, true, {notEnough});
        add("24 of 25, no operator", 75, 24, false, {notEnough, operatorMissing});
        add("enough, no operator", 75, 25, false, {operatorMissing});
    }

    void endorsementRefusalsComeInTheirOrder() {
        QFETCH(int, accredited);
        QFETCH(int, confirmed);
        QFETCH(bool, withOperator);
        QFETCH(QStringList, messages);
        Request t(Window::AE);
        if (withOperator) {
            t.env.setOperator();
        }
        addQsos(t.env, accredited, u"HF"_s, u"SSB"_s, u"a"_s, 300);
        addQsos(t.env, confirmed, u"HF"_s, u"SSB"_s, u"c"_s);
        t.choose(u"HF"_s, u"SSB"_s);
        QCOMPARE(t.print(), messages);
        QCOMPARE(looks(t.env.dialogs), QStringList(messages.size(), u"HM52 Exclamation Ok"_s));
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.qsl(u"c"_s, u"HF"_s, u"SSB"_s), confirmed);
        QCOMPARE(t.conta, 0);
    }

    void aDeclinedConversionChangesNothingAndAReprintListsTheSameQsos() {
        Request t(Window::AE);
        t.env.setOperator();
        addQsos(t.env, 20, u"UHF"_s, u"DIGITAL"_s, u"a"_s, 300);
        const auto confirmed = addQsos(t.env, 8, u"UHF"_s, u"DIGITAL"_s, u"c"_s);
        t.choose(u"UHF"_s, u"DIGITAL"_s);
        t.print({Answer::No});
        t.print({Answer::Yes, Answer::No});
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
        QStringList listed;
        for (size_t i = 0; i < 5; ++i) {
            listed << entry(12, confirmed[i]);
        }
        QCOMPARE(t.env.printers.jobs[0].texts().mid(21, 6), listed + QStringList{" "});
        QCOMPARE(t.env.printers.jobs[1].texts(), t.env.printers.jobs[0].texts());
        // Declined, by No or by Yes then No: nothing converted; only the second refreshes.
        QCOMPARE(t.qsl(u"c"_s, u"UHF"_s, u"DIGITAL"_s), 8);
        QCOMPARE(t.conta, 1);
    }

    void anEndorsementOnAFailingPrinterConvertsNothing() {
        Request t(Window::AE);
        t.env.setOperator();
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"a"_s, 300);
        addQsos(t.env, 25, u"HF"_s, u"MIXED"_s, u"c"_s);
        t.env.printers.failWith = u"Printer offline"_s;
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({"Printer offline"}));
        QCOMPARE(t.qsl(u"c"_s), 25);
    }
};

QTEST_MAIN(RequestsTest)
#include "tst_requests.moc"
