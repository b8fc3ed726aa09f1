#include "award/frmAE.h"

#include "platform/Printer.h"
#include "rules/Claims.h"
#include "storage/Module1.h"
#include "ui/Services.h"

namespace hm52 {

using award::blanks;

frmAE::frmAE(Services& services, Windows& reg)
    : AwardRequestForm(services, reg, {6105, 1410, 0, 720, 4200}) {
    setObjectName(QStringLiteral("frmAE"));
    setWindowTitle(QStringLiteral("Award Endorsment Italian Rules"));
}

void frmAE::request(Output output) {
    const QString B = band();
    const QString M = mode();
    const int N = rules::baseFigure(B);
    const int E = rules::endorsementFigure(B);

    // The base award is held when N QSOs of the band and mode are accredited. Without it, or
    // without any confirmed QSO to claim, the request ends here; only the missing base award
    // is told.
    const qint64 accredited = s.m.contatore(rules::accreditedCountSql(B, M));
    bool stop = s.m.contatore(rules::confirmedCountSql(B, M)) == 0;
    if (accredited < N) {
        s.dialogs.tell(
            this,
            QStringLiteral("We are sorry, you must have the Base Award before the endorsement!"),
            Icon::Exclamation);
        stop = true;
    }
    if (stop) {
        return;
    }

    const qint64 confirmed = s.m.contatore(rules::confirmedCountSql(B, M));
    if (confirmed < E) {
        s.dialogs.tell(
            this,
            QStringLiteral("We are sorry, you have not enought QSOs to request an endorsement!"),
            Icon::Exclamation);
        stop = true;
    }
    if (s.m.contatore(rules::operatorCountSql) == 0) {
        s.dialogs.tell(this, award::operatorMissing, Icon::Exclamation);
        stop = true;
    }
    if (stop) {
        return;
    }

    const QString margin = blanks(15);
    const QString inset = blanks(14);
    award::RequestForm form;
    form.applicant = award::readApplicant(s.m.logDb);
    form.band = B;
    form.mode = M;
    form.claimed = E;
    form.entryIndent = 12;
    form.title = blanks(50) + QStringLiteral("MODULO RICHIESTA AVANZAMENTO DIPLOMA HM52");
    form.claimLine1 = margin +
                      QStringLiteral("Richiede il rilascio dell'avanzamento del diploma HM52 per "
                                     "aver collegato e confermato ") +
                      QStringLiteral("n° ") + QString::number(E) + QStringLiteral(" nuovi");
    form.claimLine2 = margin + QStringLiteral("quadratini dello SQUARE HM52 nella banda ") + B +
                      QStringLiteral(" e nel modo ") + M;
    const QString signer = inset + QStringLiteral("Il sottoscritto") + blanks(76) +
                           QStringLiteral("Nominativo") + blanks(15);
    const QString certifies = inset + QStringLiteral("certifica che il Radioamatore ") +
                              form.applicant.call +
                              QStringLiteral(" è in possesso delle QSL per la richiesta del "
                                             "DIPLOMA HM52");
    const QString signature = inset + QStringLiteral("Firma") + blanks(64);
    const QString rule = inset + QString(85, u'_');
    form.closing = {
        margin +
            QStringLiteral("Non si allegano le QSL originali poichè già controllate da due OM "
                           "sottoelencati ma mi impegno a") +
            blanks(6),
        margin + QStringLiteral("farvele recapitare su vostra richiesta"),
        blanks(11),
        margin + QStringLiteral("Firma") + blanks(85) + QStringLiteral("Data") + blanks(22),
        margin + QString(84, u'_'),
        blanks(5),
        // The first checker.
        signer,
        certifies,
        blanks(34),
        signature,
        rule,
        blanks(5),
        // The second checker.
        signer,
        certifies,
        blanks(35),
        signature,
        rule,
        blanks(10),
        // A stamped, addressed envelope for the reply.
        inset + QStringLiteral("Si allega busta preindirizzata e preaffrancata per la risposta"),
    };

    const std::unique_ptr<PrintJob> job =
        openJob(output, QStringLiteral("hm52-endorsement-%1-%2.pdf").arg(B, M).remove(u' '));
    if (!job) {
        return;
    }
    const std::vector<qint64> claimed = award::printRequestForm(s.m, job->ops(), form);
    job->end();

    if (output != Output::Preview) {
        offerConversion(claimed);
    }
}

} // namespace hm52
