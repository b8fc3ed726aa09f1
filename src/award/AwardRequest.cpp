#include "award/AwardRequest.h"

#include "platform/Database.h"
#include "platform/Printer.h"
#include "rules/Claims.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "ui/Backups.h"
#include "ui/FixedWidth.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace hm52 {

namespace award {

namespace {

const QString timesNewRoman = QStringLiteral("Times New Roman");
const QString courierNew = QStringLiteral("Courier New");

} // namespace

Applicant readApplicant(Database& logDb) {
    Recordset rs(logDb, QStringLiteral("userData"));
    Applicant a;
    if (rs.eof()) {
        return a;
    }
    a.call = rs.text(QStringLiteral("call"));
    a.fName = rs.text(QStringLiteral("fName"));
    a.sName = rs.text(QStringLiteral("sName"));
    a.address = rs.text(QStringLiteral("address"));
    a.ZIPcode = rs.text(QStringLiteral("ZIPcode"));
    a.city = rs.text(QStringLiteral("city"));
    a.prov = rs.text(QStringLiteral("prov"));
    a.country = rs.text(QStringLiteral("country"));
    a.email = rs.text(QStringLiteral("email"));
    return a;
}

QString claimedEntry(int indent, const QString& call, const QString& locator, const QString& place,
                     const QString& prov, const QString& date, const QString& time) {
    return fixed::Line(indent)
        .column(call, 12)
        .column(codes::awardSquare + locator, 6)
        .column(place, 29)
        .column(prov, 3)
        .column(date, 10)
        .column(fixed::hourMinutes(time), 5)
        .text();
}

std::vector<qint64> printRequestForm(Module1& m, PrinterOps& p, const RequestForm& form) {
    const Applicant& a = form.applicant;
    const QString margin = blanks(15);
    const QString blankLine = QStringLiteral(" ");

    p.setFontName(timesNewRoman);
    p.setFontSize(12);
    p.setBold(true);
    p.print(blankLine);
    p.print(blankLine);
    p.print(form.title);
    p.setBold(false);
    p.print(blankLine);
    p.print(blankLine);
    // The sponsor.
    p.print(margin + QStringLiteral("Alla Sezione C.R.V. di Valdoria") + blanks(1));
    p.print(margin + QStringLiteral("P.O.Box 31"));
    p.print(margin + QStringLiteral("40400 VALDORIA"));
    p.print(blankLine);
    p.print(blankLine);
    // The applicant.
    p.print(margin + QStringLiteral("Il sottoscritto ") + a.fName + u' ' + a.sName +
            QStringLiteral(" con nominativo ") + a.call);
    p.print(margin + a.address);
    p.print(margin + a.ZIPcode + u' ' + a.city + u' ' + a.prov);
    p.print(margin + a.country);
    p.print(margin + a.email);
    p.print(blankLine);
    // The claim.
    p.print(form.claimLine1);
    p.print(form.claimLine2);
    p.print(blankLine);
    const qint64 confirmed = m.contatore(rules::confirmedCountSql(form.band, form.mode));
    const qint64 accredited = m.contatore(rules::accreditedCountSql(form.band, form.mode));
    p.print(margin + QStringLiteral("Alla data attuale i WWLocator confermati sono: ") +
            QString::number(confirmed + accredited));
    p.print(blanks(6));

    // The claimed QSOs: the first ones of the confirmed list, in order of their sub-square
    // letters. Their numbers are kept so that exactly these rows are converted later.
    p.setFontSize(8);
    p.setFontName(courierNew);
    std::vector<qint64> listed;
    for (const rules::ClaimedQso& q : rules::claim(m, form.band, form.mode, form.claimed)) {
        p.print(claimedEntry(form.entryIndent, q.call, q.locator, q.place, q.prov, q.date, q.time));
        listed.push_back(q.count);
    }
    p.setFontName(timesNewRoman);
    p.print(blankLine);
    p.setFontSize(12);
    for (const QString& line : form.closing) {
        p.print(line);
    }
    return listed;
}

} // namespace award

// ---------------------------------------------------------------------------------------

AwardRequestForm::AwardRequestForm(Services& services, Windows& reg, const Placing& placing)
    : Form(services, reg) {
    // A frame whose style draws its caption above the border keeps its list below the
    // caption and the border; the frames, and the buttons under them, grow down as needed.
    int framesBottom = 0;
    auto makeFrame = [this, &placing, &framesBottom](const char* name, const QString& caption,
                                                     int left, const char* comboName,
                                                     const QStringList& items, QComboBox*& combo) {
        auto* frame = new QGroupBox(caption, this);
        frame->setObjectName(QLatin1String(name));
        combo = new QComboBox(frame);
        combo->setObjectName(QLatin1String(comboName));
        combo->setEditable(false);
        combo->addItems(items);
        const QMargins margins = frame->contentsMargins();
        const int comboTop = std::max(tw(240), margins.top());
        const int comboHeight = combo->sizeHint().height();
        combo->setGeometry(tw(120), comboTop, tw(2415), comboHeight);
        frame->setGeometry(tw(left), tw(placing.framesTop), tw(2655),
                           std::max(tw(615), comboTop + comboHeight + margins.bottom() + 2));
        framesBottom = std::max(framesBottom, frame->geometry().bottom() + 1);
        return frame;
    };
    Frame7 =
        makeFrame("Frame7", QStringLiteral("Mode"), 120, "comboMode", codes::modes(), comboMode);
    Frame8 =
        makeFrame("Frame8", QStringLiteral("Band"), 3120, "comboBand", codes::bands(), comboBand);

    const int buttonsTop = std::max(tw(placing.buttonsTop), framesBottom + tw(105));
    cmdPrint = new QPushButton(QStringLiteral("Print"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPrint->setGeometry(tw(120), buttonsTop, tw(2295), tw(495));
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setGeometry(tw(placing.exitLeft), buttonsTop, tw(1455), tw(495));
    // A row of our own under the standard buttons, after them in the tab order: "Preview"
    // under "Print", "Save as PDF..." beside it.
    const int moreTop = buttonsTop + tw(495) + tw(105);
    cmdPreview = new QPushButton(QStringLiteral("Pre&view"), this);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdPreview->setGeometry(tw(120), moreTop, tw(2295), tw(495));
    cmdSavePdf = new QPushButton(QStringLiteral("Save as P&DF..."), this);
    cmdSavePdf->setObjectName(QStringLiteral("cmdSavePdf"));
    cmdSavePdf->setGeometry(tw(2535), moreTop, tw(1665), tw(495));
    setFixedSize(tw(placing.width),
                 tw(placing.height) + moreTop - tw(placing.buttonsTop) + tw(495) + tw(105));

    on(cmdPrint, &QPushButton::clicked, &AwardRequestForm::cmdPrint_Click);
    on(cmdExit, &QPushButton::clicked, &AwardRequestForm::cmdExit_Click);
    on(cmdPreview, &QPushButton::clicked, &AwardRequestForm::cmdPreview_Click);
    on(cmdSavePdf, &QPushButton::clicked, &AwardRequestForm::cmdSavePdf_Click);
}

void AwardRequestForm::Form_Load() {
    comboBand->setCurrentIndex(comboBand->findText(QStringLiteral("HF")));
    comboMode->setCurrentIndex(comboMode->findText(QStringLiteral("MIXED")));
}

void AwardRequestForm::cmdExit_Click() {
    hide();
}

void AwardRequestForm::cmdPrint_Click() {
    request(Output::Printer);
}
void AwardRequestForm::cmdPreview_Click() {
    request(Output::Preview);
}
void AwardRequestForm::cmdSavePdf_Click() {
    request(Output::Pdf);
}

std::unique_ptr<PrintJob> AwardRequestForm::openJob(Output output, const QString& pdfName) {
    const QString title =
        output == Output::Preview ? QStringLiteral("Preview - ") + windowTitle() : windowTitle();
    auto job = std::make_unique<PrintJob>(s, this, output, title, pdfName);
    if (!job->opened()) {
        job.reset();
    }
    return job;
}

QString AwardRequestForm::band() const {
    return comboBand->currentText();
}
QString AwardRequestForm::mode() const {
    return comboMode->currentText();
}

void AwardRequestForm::offerConversion(const std::vector<qint64>& claimed) {
    // Yes converts QSOs for good: a stray Enter or Esc answers No to either question.
    if (!s.dialogs.askBeforeChange(this, award::convertQuestion)) {
        return;
    }
    if (s.dialogs.askBeforeChange(this, award::sureQuestion) &&
        backupBeforeChange(s, this, QStringLiteral("the conversion to accredited"))) {
        try {
            rules::convertToAccredited(s.m.logDb, claimed);
        } catch (const DbError& e) {
            s.dialogs.tell(this,
                           e.text() + QStringLiteral("\n\nNo QSO was converted: every QSO of "
                                                     "the form is still confirmed."),
                           Icon::Critical);
        }
    }
    registry.conta();
}

} // namespace hm52
