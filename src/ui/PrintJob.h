#pragma once

#include "platform/Printer.h"

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace hm52 {

struct Services;

// Where a print command sends its pages: the system's default printer, a preview on the
// screen, or a PDF file that the operator chooses. The three have the same pages.
enum class Output { Printer, Preview, Pdf };

// One print command's job on its output. A long job shows how far it is (the QSOs read, the
// pages made) in an application-modal box, so that no other handler can run meanwhile, and
// the event loop turns now and then, so that the windows stay painted.
class PrintJob {
public:
    // `title` names the job in its boxes. A PDF file is asked for first (the file dialog
    // suggests `pdfName` in the program's folder); when the operator cancels, no job opens.
    PrintJob(Services& s, QWidget* parent, Output output, const QString& title,
             const QString& pdfName = {});
    ~PrintJob();
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;

    // False when the operator cancelled the choice of the PDF file.
    bool opened() const { return ops_ != nullptr; }
    PrinterOps& ops() { return *ops_; }

    // While the job's lines are gathered: `done` of `total` QSOs read. Cheap enough for every
    // QSO: the box and the event loop are served only every turnEveryMs.
    void readQsos(qint64 done, qint64 total);
    // Ends the job (PrinterOps::endDoc): it is printed, previewed or written. Throws
    // PrintError as endDoc() does.
    void end();

    // How long a job runs before its progress shows, and how often the event loop turns.
    static constexpr int showAfterMs = 300;
    static constexpr int turnEveryMs = 40;

private:
    void madePages(int made, int pages);
    void turn(int done, int total, const QString& text);

    QWidget* parent_;
    QString title_;
    std::unique_ptr<PrinterOps> ops_;
    std::unique_ptr<QProgressDialog> progress_;
    qint64 qsosRead_ = 0;
    qint64 qsosTotal_ = -1; // none read

    QElapsedTimer sinceStart_;
    QElapsedTimer sinceTurn_;
};

} // namespace hm52
