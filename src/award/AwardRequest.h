#pragma once

#include "ui/Form.h"
#include "ui/PrintJob.h"

#include <QString>
#include <QStringList>

#include <vector>

class QComboBox;
class QGroupBox;
class QPushButton;

// What the base award request (frmBAR) and the endorsement request (frmAE) share: their
// messages, the printed form around its claim, the list of claimed QSOs, the offer to convert
// them into accredited ones, and the window with its two lists.
namespace hm52 {

class Database;
class Module1;
class PrinterOps;

namespace award {

// The messages and questions both requests show.
inline const QString operatorMissing =
    QStringLiteral("Please, insert your userData in menu Utility -> userData");
inline const QString convertQuestion =
    QStringLiteral("Do you want to to convert the confirmed QSO in accredited QSO?");
inline const QString sureQuestion = QStringLiteral("Are you sure? (check the print, is it ok?)");

// Blanks, as the form's lines count them.
inline QString blanks(int n) {
    return QString(n, u' ');
}

// The operator record as the form prints it: the first row of `userData`. A field that holds
// no value prints as an empty text.
struct Applicant {
    QString call, fName, sName, address, ZIPcode, city, prov, country, email;
};
Applicant readApplicant(Database& logDb);

// The parts of a request form that differ between the base award and an endorsement.
struct RequestForm {
    Applicant applicant; // the operator record the form prints (readApplicant)
    QString band;
    QString mode;
    QString title;       // line 3, printed bold, with its leading blanks
    QString claimLine1;  // line 17
    QString claimLine2;  // line 18
    int claimed = 0;     // how many confirmed QSOs the form lists and claims
    int entryIndent = 0; // blanks in front of each listed QSO
    QStringList closing; // the lines after the list, in Times New Roman 12
};

// One listed QSO: `indent` blanks, then call, sub-square, place, province, date and time in
// columns of 12, 6, 29, 3, 10 and 5 characters joined by " | ". A value longer than its
// column is cut to it.
QString claimedEntry(int indent, const QString& call, const QString& locator, const QString& place,
                     const QString& prov, const QString& date, const QString& time);

// Prints the whole form on one print job (without ending it) and returns the `count` of
// every QSO it lists, in the order listed: the QSOs the request claims (rules::claim).
std::vector<qint64> printRequestForm(Module1& m, PrinterOps& printer, const RequestForm& form);

} // namespace award

// The window of a request: the mode and band lists, "Print" and "Exit", then "Preview" and
// "Save as PDF...". The two requests differ in their placing and in their request.
class AwardRequestForm : public Form {
    Q_OBJECT
public:
    // Selects "HF" and "MIXED".
    void Form_Load() override;
    // Prints the request (and offers the conversion) for the chosen band and mode.
    void cmdPrint_Click();
    // Hides the window; it stays loaded with its choices.
    void cmdExit_Click();
    // The form as Print would print it, in a preview; nothing is asked after it.
    void cmdPreview_Click();
    // The request made by saving the form as a PDF file: the conversion is offered after it
    // as after printing.
    void cmdSavePdf_Click();

protected:
    // Places in twips: the client area, the top of the two frames and of the buttons, and the
    // left edge of "Exit".
    struct Placing {
        int width;
        int height;
        int framesTop;
        int buttonsTop;
        int exitLeft;
    };
    AwardRequestForm(Services& services, Windows& registry, const Placing& placing);

    QString band() const;
    QString mode() const;

    // The request for the chosen band and mode on its output.
    virtual void request(Output output) = 0;
    // The job of a request on its output, named after the window; not opened when the
    // operator cancels the choice of the PDF file. `pdfName` names the file suggested.
    std::unique_ptr<PrintJob> openJob(Output output, const QString& pdfName);

    // After a printed form: the two questions, the conversion on two Yes answers, and the
    // counter's recount after either answer to the second question. A conversion that fails
    // says why and changes nothing.
    void offerConversion(const std::vector<qint64>& claimed);

    QGroupBox* Frame7 = nullptr;
    QComboBox* comboMode = nullptr;
    QGroupBox* Frame8 = nullptr;
    QComboBox* comboBand = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdSavePdf = nullptr;
};

} // namespace hm52
