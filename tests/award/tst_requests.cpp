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

// The printed form of a request for a band and mode whose first n confirmed QSOs are
// `listed`, by the operator of TestEnv::setOperator; `total` counts the confirmed and the
// accredited QSOs.
QStringList requestForm(bool endorsement, const QString& band, const QString& mode, int n,
                        qint64 total, const std::vector<LoggedQso>& listed) {
    const QString m = sp(15);
    const QString square = u"SQUARE HM52 nella banda "_s + band + u" e nel modo "_s + mode;
    const QString title = endorsement ? sp(50) + u"MODULO RICHIESTA AVANZAMENTO DIPLOMA HM52"_s
                                      : sp(57) + u"MODULO RICHIESTA DIPLOMA HM52"_s;
    QStringList lines;
    lines << u" "_s << u" "_s << title << u" "_s << u" "_s
          << m + u"Alla Sezione C.R.V. di Valdoria "_s << m + u"P.O.Box 31"_s
          << m + u"40400 VALDORIA"_s << u" "_s << u" "_s
          << m + u"Il sottoscritto MARIO ROSSI con nominativo IK0XYZ"_s << m + u"VIA ROMA 1"_s
          << m + u"40400 VALDORIA VD"_s << m + u"ITALIA"_s << m + u"MARIO@EXAMPLE.ORG"_s << u" "_s;
    if (endorsement) {
        lines << m +
                     u"Richiede il rilascio dell'avanzamento del diploma HM52 per aver collegato "_s
                     u"e confermato n° "_s +
                     QString::number(n) + u" nuovi"_s
              << m + u"quadratini dello "_s + square;
    } else {
        lines
            << m + u"Richiede il rilascio del DIPLOMA HM52 per aver collegato e confermato n° "_s +
                   QString::number(n) + u" quadratini dello"_s
            << m + square;
    }
    lines << u" "_s
          << m + u"Alla data attuale i WWLocator confermati sono: "_s + QString::number(total)
          << sp(6);
    for (int i = 0; i < n; ++i) {
        lines << entry(endorsement ? 12 : 14, listed.at(static_cast<size_t>(i)));
    }
    // Closing: the applicant's signature, the blocks of the two checkers, each a blank run,
    // the signer, what he certifies, a blank run, the signature and a rule; then ten blanks.
    const QString in = endorsement ? sp(14) : m;
    const QString signer = in + u"Il sottoscritto"_s + sp(76) + u"Nominativo"_s + sp(15);
    const QString certifies = in + u"certifica che il Radioamatore IK0XYZ è in possesso delle "_s
                                   u"QSL per la richiesta del DIPLOMA HM52"_s;
    const QString firma = in + u"Firma"_s + sp(64);
    const QString rule = in + QString(endorsement ? 85 : 82, u'_');
    const QString gap = sp(endorsement ? 5 : 3);
    lines << u" "_s
          << m +
                 u"Non si allegano le QSL originali poichè già controllate da due OM "_s
                 u"sottoelencati ma mi impegno a"_s +
                 sp(endorsement ? 6 : 1)
          << m + u"farvele recapitare su vostra richiesta"_s << sp(endorsement ? 11 : 8)
          << m + u"Firma"_s + sp(endorsement ? 85 : 72) + u"Data"_s + sp(22)
          << m + QString(endorsement ? 84 : 82, u'_') << gap << signer << certifies << sp(34)
          << firma << rule << gap << signer << certifies << sp(35) << firma << rule << sp(10);
    if (endorsement) {
        return lines << in + u"Si allega busta preindirizzata e preaffrancata per la risposta"_s;
    }
    const QString box = sp(60) + QChar(0x8D) + sp(1);
    return lines << m + u"A parziale rimborso spese si allega:"_s + sp(36)
                 << box + u"€ 5,00 più 4 francobolli da € 0,45 "_s
                 << box + u"$ 5,00 più 4 francobolli da € 0,45 "_s
                 << box + u"15 francobolli da € 0,45"_s + sp(11);
}

} // namespace

class RequestsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Both windows are one form with their own titles: the rest is seen on the base award's.
    void theWindowsStartOnHfMixedWithTheirTitlesAndExitKeepsTheChoices() {
        Request t(Window::BAR);
        QCOMPARE(t.w->windowTitle(), u"Base Award Request Italian Rules"_s);
        QCOMPARE(t.env.registry->load(Window::AE).windowTitle(),
                 u"Award Endorsment Italian Rules"_s);
        auto* band = child<QComboBox>(t.w, "comboBand");
        auto* mode = child<QComboBox>(t.w, "comboMode");
        QCOMPARE(band->currentText() + mode->currentText(), u"HFMIXED"_s);
        QCOMPARE(itemTexts(band), QStringList({"HF", "50 MHz", "VHF", "UHF", "SHF", "SAT"}));
        // Exit hides the window and keeps its choices.
        showActive(t.w);
        t.choose(u"UHF"_s, u"CW"_s);
        click(t.w, "cmdExit");
        QVERIFY(!t.w->isVisible());
        QCOMPARE(texts(t.w, "comboBand comboMode"), u"UHF|CW"_s);
    }

    // (Which QSOs two Yes convert, and the counter following: tst_roads.)
    void theBaseFormListsTheFirstNConfirmedInSubSquareOrderAndIsNotConvertedTwice() {
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
        QCOMPARE(job.lines, requestForm(false, band, mode, 30, 41, logged));
        // The title bold, the list in Courier New, the fonts set before the line on which
        // they change: the size before the name for the list, the name alone after it. (The
        // endorsement's form is printed by the same code.)
        QCOMPARE(opSequence(job),
                 QStringList({"name Times New Roman", "size 12", "bold on", "print 3", "bold off",
                              "print 18", "size 8", "name Courier New", "print 30",
                              "name Times New Roman", "print 1", "size 12", "print 22", "end"}));

        // Requested again, converted the first time, with enough confirmed QSOs: declined,
        // nothing printed; then printed, and no conversion offered.
        addQsos(t.env, 29, band, mode, u"c"_s, 200);
        QCOMPARE(t.print({Answer::No}), QStringList({alreadyRequested}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(1));
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({alreadyRequested}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(2));
    }

    // Refused requests, and requests printed on a printer that fails: nothing printed, nothing
    // converted, nothing recounted.
    void refusalsComeInOrderAndPrintNothing_data() {
        QTest::addColumn<Window>("which");
        QTest::addColumn<int>("accredited");
        QTest::addColumn<int>("confirmed");
        QTest::addColumn<bool>("withOperator");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("printerFails");
        const auto add = [](const char* name, Window which, int accredited, int confirmed,
                            bool withOperator, const QStringList& messages,
                            const QString& printerFails = {}) {
            QTest::newRow(name) << which << accredited << confirmed << withOperator << messages
                                << printerFails;
        };
        using enum Window;
        add("base: 74 of 75, no operator", BAR, 0, 74, false, {mustHave(75), operatorMissing});
        add("base again, too few left, no operator", BAR, 75, 5, false,
            {alreadyRequested, mustHave(75), operatorMissing});
        add("endorsement: no base award, no confirmed, no operator", AE, 74, 0, false,
            {baseAwardMissing});
        add("endorsement: no confirmed, silent", AE, 75, 0, false, {});
        add("endorsement: 24 of 25, no operator", AE, 75, 24, false, {notEnough, operatorMissing});
        const QString offline = u"Printer offline"_s;
        add("base: printer offline", BAR, 0, 100, true, {offline}, offline);
    }

    void refusalsComeInOrderAndPrintNothing() {
        QFETCH(Window, which);
        QFETCH(int, accredited);
        QFETCH(int, confirmed);
        QFETCH(bool, withOperator);
        QFETCH(QStringList, messages);
        QFETCH(QString, printerFails);
        Request t(which);
        if (withOperator) {
            t.env.setOperator();
        }
        addQsos(t.env, accredited, u"HF"_s, u"SSB"_s, u"a"_s, 300);
        addQsos(t.env, confirmed, u"HF"_s, u"SSB"_s, u"c"_s);
        t.choose(u"HF"_s, u"SSB"_s);
        t.env.printers.failWith = printerFails;
        // Asked whether to request the award anyway, the answer is Yes.
        QCOMPARE(t.print({Answer::Yes, Answer::Yes, Answer::Yes}), messages);
        // The failing printer's job was begun, and could not end.
        QCOMPARE(t.env.printers.jobs.size(), size_t(printerFails.isEmpty() ? 0 : 1));
        QCOMPARE(t.env.count(u"qsl = 'c'"_s), confirmed);
        QCOMPARE(t.conta, 0);
    }

    void endorsementListsTheFirstEConfirmedAndConvertsAllOrNone() {
        Request t(Window::AE);
        t.env.setOperator();
        addQsos(t.env, 75, u"HF"_s, u"MIXED"_s, u"a"_s, 300);
        const auto confirmed = addQsos(t.env, 30, u"HF"_s, u"MIXED"_s, u"c"_s);
        // Declined, by No or by Yes then No: only the second refreshes, and nothing is converted
        // (the next forms list the same QSOs).
        QCOMPARE(t.print({Answer::No}), QStringList({convertQuestion}));
        QCOMPARE(t.print({Answer::Yes, Answer::No}), QStringList({convertQuestion, sureQuestion}));
        QCOMPARE(t.conta, 1);
        // A conversion that fails half-way converts none and tells the engine's reason.
        t.env.m.logDb.execute(
            u"create trigger fail10 before update on data when (select count(*) from data where "
            u"qsl='a') >= 85 begin select raise(abort, 'forced failure'); end"_s);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}),
                 QStringList({convertQuestion, sureQuestion,
                              u"forced failure\n\nNo QSO was converted: every QSO of the form is "_s
                              u"still confirmed."_s}));
        QCOMPARE(t.env.count(u"qsl = 'c'"_s), 30);
        t.env.m.logDb.execute(u"drop trigger fail10"_s);
        QCOMPARE(t.print({Answer::Yes, Answer::Yes}), QStringList({convertQuestion, sureQuestion}));
        // The fourth form still lists the first 25, as nothing was converted before.
        QCOMPARE(t.env.printers.jobs.size(), size_t(4));
        QCOMPARE(t.env.printers.jobs.back().lines,
                 requestForm(true, u"HF"_s, u"MIXED"_s, 25, 105, confirmed));
        // The first 25 by sub-square converted: the five left are the last ones.
        QCOMPARE(t.env.count(u"qsl = 'c'"_s), 5);
        QCOMPARE(t.env.count(u"qsl = 'c' and WWLocator >= '%1'"_s.arg(confirmed[25].qso.WWLocator)),
                 5);
        QCOMPARE(t.conta, 3);
    }
};

QTEST_MAIN(RequestsTest)
#include "tst_requests.moc"
