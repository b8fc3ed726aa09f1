// The two award requests, base award and endorsement: the checks and their messages in each
// one's order, the printed forms line by line, and the conversion of exactly the listed QSOs,
// all of them or none. (Which QSOs a request claims, and the conversion on its own:
// tests/rules.)

#include "RequestFixtures.h"
#include "award/frmAE.h"
#include "award/frmBAR.h"

using namespace hm52;
using namespace hm52::test;

namespace {

const QString alreadyRequested =
    u"You have just requested this award! Do you want to request it anyway?"_s;
const QString baseAwardMissing =
    u"We are sorry, you must have the Base Award before the endorsement!"_s;
const QString notEnough = u"We are sorry, you have not enought QSOs to request an endorsement!"_s;

QString mustHave(int n) {
    return u"We are sorry, you must have %1 or more QSOs!"_s.arg(n);
}

// The two checkers' blocks that close both forms, each a blank run, the signer, what he
// certifies, a blank run, the signature and a rule; then ten blanks.
QStringList checkers(const QString& indent, int rule, int gap) {
    const QString signer = indent + u"Il sottoscritto"_s + sp(76) + u"Nominativo"_s + sp(15);
    const QString certifies = indent + u"certifica che il Radioamatore IK0XYZ è in possesso "_s
                                       u"delle QSL per la richiesta del DIPLOMA HM52"_s;
    const QString firma = indent + u"Firma"_s + sp(64);
    const QString line = indent + QString(rule, u'_');
    return {sp(gap), signer,    certifies, sp(34), firma, line,  sp(gap),
            signer,  certifies, sp(35),    firma,  line,  sp(10)};
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
    const QString box = sp(60) + QChar(0x8D) + sp(1);
    return lines << u" "_s
                 << m + u"Non si allegano le QSL originali poichè già controllate da due OM "
                        u"sottoelencati ma mi impegno a "_s
                 << m + u"farvele recapitare su vostra richiesta"_s << sp(8)
                 << m + u"Firma"_s + sp(72) + u"Data"_s + sp(22) << m + QString(82, u'_')
                 << checkers(m, 82, 3) << m + u"A parziale rimborso spese si allega:"_s + sp(36)
                 << box + u"€ 5,00 più 4 francobolli da € 0,45 "_s
                 << box + u"$ 5,00 più 4 francobolli da € 0,45 "_s
                 << box + u"15 francobolli da € 0,45"_s + sp(11);
}

QStringList endorsementForm(const QString& band, const QString& mode, int e,
                            qint64 confirmedAndAccredited, const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
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
    return lines << u" "_s
                 << m +
                        u"Non si allegano le QSL originali poichè già controllate da due OM "
                        u"sottoelencati ma mi impegno a"_s +
                        sp(6)
                 << m + u"farvele recapitare su vostra richiesta"_s << sp(11)
                 << m + u"Firma"_s + sp(85) + u"Data"_s + sp(22) << m + QString(84, u'_')
                 << checkers(sp(14), 85, 5)
                 << sp(14) + u"Si allega busta preindirizzata e preaffrancata per la risposta"_s;
}

// Every QSO of `logged` accredited if among the first `converted`, else still confirmed.
void checkConverted(TestEnv& env, const std::vector<LoggedQso>& logged, size_t converted) {
    for (size_t i = 0; i < logged.size(); ++i) {
        QCOMPARE(env.rawField(logged[i].count, u"qsl"_s), i < converted ? u"a"_s : u"c"_s);
    }
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
            QCOMPARE(misplacedControls(t.w), QStringList());
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
        // The band named with its blank: 30 of 31 confirmed QSOs claimed; the head counts the
        // accredited ones too.
        const QString band = u"50 MHz"_s;
        const QString mode = u"CW"_s;
        Request t(Window::BAR);
        t.env.setOperator();
        const auto logged = addQsos(t.env, 31, band, mode, u"c"_s);
        addQsos(t.env, 10, band, mode, u"a"_s, 100);
        t.choose(band, mode);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({convertQuestion, sureQuestion}));
        const RecordedJob& job = t.env.printers.jobs.at(0);
        QCOMPARE(job.texts(), baseForm(band, mode, 30, 41, logged));
        // The title bold, the list in Courier New, the fonts set before the line on which
        // they change: the size before the name for the list, the name alone after it.
        QCOMPARE(opSequence(job), requestFormOps(30, 22));
        QCOMPARE(looks(t.env.dialogs), QStringList(2, u"HM52 None YesNo"_s));
        checkConverted(t.env, logged, 30);
        QCOMPARE(t.conta, 1);

        // Requested again with enough confirmed QSOs: printed, and no conversion offered.
        addQsos(t.env, 29, band, mode, u"c"_s, 200);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({alreadyRequested}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
        QCOMPARE(t.qsl(u"c"_s, band, mode), 30);
        QCOMPARE(t.conta, 1);
    }

    void refusalsComeInOrderAndPrintNothing_data() {
        QTest::addColumn<Window>("which");
        QTest::addColumn<int>("accredited");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<bool>("withOperator");
        QTest::addColumn<QStringList>("messages");
        const auto add = [](const char* name, Window which, int accredited, int confirmed,
                            bool withOperator, const QStringList& messages) {
            QTest::newRow(name) << which << accredited << confirmed << withOperator << messages;
        };
        const Window bar = Window::BAR;
        const Window ae = Window::AE;
        add("base: 74 of 75, no operator", bar, 0, 74, false, {mustHave(75), operatorMissing});
        add("base: enough, no operator", bar, 0, 80, false, {operatorMissing});
        add("base again, no operator", bar, 75, 75, false, {alreadyRequested, operatorMissing});
        add("base again, too few left", bar, 75, 5, true, {alreadyRequested, mustHave(75)});
        add("endorsement: 74 accredited, no operator", ae, 74, 30, false, {baseAwardMissing});
        add("endorsement: no base award, no confirmed", ae, 0, 0, true, {baseAwardMissing});
        add("endorsement: no confirmed, silent", ae, 75, 0, false, {});
        add("endorsement: 24 of 25, no operator", ae, 75, 24, false, {notEnough, operatorMissing});
        add("endorsement: enough, no operator", ae, 75, 25, false, {operatorMissing});
    }

    void refusalsComeInOrderAndPrintNothing() {
        QFETCH(Window, which);
        QFETCH(int, accredited);
        QFETCH(int, confirmed);
        QFETCH(bool, withOperator);
        QFETCH(QStringList, messages);
        Request t(which);
        if (withOperator) {
            t.env.setOperator();
        }
        addQsos(t.env, accredited, u"HF"_s, u"SSB"_s, u"a"_s, 300);
        addQsos(t.env, confirmed, u"HF"_s, u"SSB"_s, u"c"_s);
        t.choose(u"HF"_s, u"SSB"_s);
        QCOMPARE(t.print({Answer::Yes}), messages); // Yes: to request it again
        QStringList expectedLooks;
        for (const QString& message : messages) {
            expectedLooks << (message == alreadyRequested ? u"HM52 None YesNo"_s
                                                          : u"HM52 Exclamation Ok"_s);
        }
        QCOMPARE(looks(t.env.dialogs), expectedLooks);
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.qsl(u"c"_s, u"HF"_s, u"SSB"_s), confirmed);
        QCOMPARE(t.conta, 0);
    }

    void endorsementListsTheFirstEConfirmedCutToTheirColumnsAndConvertsAllOrNone() {
        Request t(Window::AE);
        t.env.setOperator();
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"a"_s, 300);
        // First in sub-square order, a call of 15 characters in a column of 12 and a place
        // of 38 in a column of 29.
        const Qso longOne{.call = "IZ1234567890ABC",
                          .WWLocator = "AA",
                          .place = "SANTA MARIA DELLE GRAZIE AL MONTE ALTO",
                          .time = "21:30"};
        std::vector<LoggedQso> confirmed{{t.env.addQso(longOne), longOne, "05/01/04", "21.30"}};
        for (const LoggedQso& q : addQsos(t.env, 29, u"HF"_s, u"MIXED"_s, u"c"_s, 1)) {
            confirmed.push_back(q);
        }
        // Declined, by No or by Yes then No: nothing converted; only the second refreshes.
        QCOMPARE(t.print({Answer::No}), QStringList({convertQuestion}));
        QCOMPARE(t.print({Answer::Yes, Answer::No}), QStringList({convertQuestion, sureQuestion}));
        QCOMPARE(t.conta, 1);
        checkConverted(t.env, confirmed, 0);
        // A conversion that fails half-way converts none and tells the engine's reason.
        t.env.m.logDb.execute(
            u"create trigger fail10 before update on data when (select count(*) from data where "
            u"qsl='a') >= 85 begin select raise(abort, 'forced failure'); end"_s);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}),
                 QStringList({convertQuestion, sureQuestion,
                              u"forced failure\n\nNo QSO was converted: every QSO of the form is "_s
                              u"still confirmed."_s}));
        QCOMPARE(look(t.env.dialogs.shown.back()), u"HM52 Critical Ok"_s);
        checkConverted(t.env, confirmed, 0);
        t.env.m.logDb.execute(u"drop trigger fail10"_s);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({convertQuestion, sureQuestion}));

        // Each time the same form, as nothing was converted before.
        QCOMPARE(t.env.printers.jobs.size(), size_t(4));
        for (const RecordedJob& job : t.env.printers.jobs) {
            QVERIFY(job.ended);
            QCOMPARE(job.texts(), endorsementForm(u"HF"_s, u"MIXED"_s, 25, 105, confirmed));
        }
        QCOMPARE(opSequence(t.env.printers.jobs[3]), requestFormOps(25, 19));
        QCOMPARE(t.qsl(u"a"_s), 100);
        checkConverted(t.env, confirmed, 25);
        QCOMPARE(t.conta, 3);
    }

    void aRequestOnAFailingPrinterAsksNothingAndConvertsNothing() {
        for (const Window which : {Window::BAR, Window::AE}) {
            const bool endorsement = which == Window::AE;
            Request t(which);
            t.env.setOperator();
            addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, endorsement ? u"a"_s : u"c"_s, 300);
            addQsos(t.env, 25, u"HF"_s, u"MIXED"_s, u"c"_s);
            t.env.printers.failWith = u"Printer offline"_s;
            QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({"Printer offline"}));
            QCOMPARE(looks(t.env.dialogs), QStringList({"HM52 Critical Ok"}));
            QCOMPARE(t.qsl(u"c"_s), endorsement ? 25 : 100);
            QCOMPARE(t.conta, 0);
        }
    }
};

QTEST_MAIN(RequestsTest)
#include "tst_requests.moc"
