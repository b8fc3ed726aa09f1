#include "award/frmBAR.h"

#include "platform/Printer.h"
#include "rules/Claims.h"
#include "storage/Module1.h"
#include "ui/Services.h"

namespace hm52 {

using award::blanks;

frmBAR::frmBAR(Services& services, Windows& reg)
    : AwardRequestForm(services, reg, {5925, 1710, 120, 960, 4320}) {
    setObjectName(QStringLiteral("frmBAR"));
    setWindowTitle(QStringLiteral("Base Award Request Italian Rules"));
}

void frmBAR::request(Output output) {
    const QString B = band();
    const QString M = mode();
    const int N = rules::baseFigure(B);

    // Enough accredited QSOs: the award was requested already. A preview only looks: it asks
    // nothing.
    const bool newRequest = s.m.contatore(rules::accreditedCountSql(B, M)) < N;
    if (!newRequest && output != Output::Preview &&
        !s.dialogs.askYesNo(this, QStringLiteral("You have just requested this award! Do you "
                                                 "want to request it anyway?"))) {
        return;
    }

    // The form lists N confirmed QSOs and the operator's record: without them it is not
    // printed, whether the request is new or repeated. Every failing check has its say.
    bool stop = false;
    const qint64 confirmed = s.m.contatore(rules::confirmedCountSql(B, M));
    if (confirmed < N) {
        s.dialogs.tell(this,
                       QStringLiteral("We are sorry, you must have ") + QString::number(N) +
                           QStringLiteral(" or more QSOs!"),
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
    award::RequestForm form;
    form.applicant = award::readApplicant(s.m.logDb);
    form.band = B;
    form.mode = M;
    form.claimed = N;
    form.entryIndent = 14;
    form.title = blanks(57) + QStringLiteral("MODULO RICHIESTA DIPLOMA HM52");
    form.claimLine1 = margin +
                      QStringLiteral("Richiede il rilascio del DIPLOMA HM52 per aver collegato e "
                                     "confermato n° ") +
                      QString::number(N) + QStringLiteral(" quadratini dello");
    form.claimLine2 = margin + QStringLiteral("SQUARE HM52 nella banda ") + B +
                      QStringLiteral(" e nel modo ") + M;
    const QString signer = margin + QStringLiteral("Il sottoscritto") + blanks(76) +
                           QStringLiteral("Nominativo") + blanks(15);
    const QString certifies = margin + QStringLiteral("certifica che il Radioamatore ") +
                              form.applicant.call +
                              QStringLiteral(" è in possesso delle QSL per la richiesta del "
                                             "DIPLOMA HM52");
    const QString signature = margin + QStringLiteral("Firma") + blanks(64);
    const QString rule = margin + QString(82, u'_');
    const QString tick = blanks(60) + QChar(0x008D) + blanks(1);
    form.closing = {
        margin +
            QStringLiteral("Non si allegano le QSL originali poichè già controllate da due OM "
                           "sottoelencati ma mi impegno a") +
            blanks(1),
        margin + QStringLiteral("farvele recapitare su vostra richiesta"),
        blanks(8),
        margin + QStringLiteral("Firma") + blanks(72) + QStringLiteral("Data") + blanks(22),
        rule,
        blanks(3),
        // The first checker.
        signer,
        certifies,
        blanks(34),
        signature,
        rule,
        blanks(3),
        // The second checker.
        signer,
        certifies,
        blanks(35),
        signature,
        rule,
        blanks(10),
        // The reimbursement, every option every time.
        margin + QStringLiteral("A parziale rimborso spese si allega:") + blanks(36),
        tick + QStringLiteral("€ 5,00 più 4 francobolli da € 0,45") + blanks(1),
        tick + QStringLiteral("$ 5,00 più 4 francobolli da € 0,45") + blanks(1),
        tick + QStringLiteral("15 francobolli da € 0,45") + blanks(11),
    };

    const std::unique_ptr<PrintJob> job =
        openJob(output, QStringLiteral("hm52-base-award-%1-%2.pdf").arg(B, M).remove(u' '));
    if (!job) {
        return;
    }
    const std::vector<qint64> claimed = award::printRequestForm(s.m, job->ops(), form);
    job->end();

    if (newRequest && output != Output::Preview) {
        offerConversion(claimed);
    }
}

} // namespace hm52
