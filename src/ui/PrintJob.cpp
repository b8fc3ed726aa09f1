#include "ui/PrintJob.h"

#include "ui/Services.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

#include <limits>

namespace hm52 {

namespace {

// The progress of a job that cannot be stopped half-way: no Cancel, and neither Esc nor the
// close box takes it away while the job runs.
class JobProgress final : public QProgressDialog {
public:
    explicit JobProgress(QWidget* parent) : QProgressDialog(parent) {
        setObjectName(QStringLiteral("progressPrint"));
        setCancelButton(nullptr);
        setWindowModality(Qt::ApplicationModal);
        setAutoClose(false);
        setAutoReset(false);
        // Shown by the job itself, after showAfterMs.
        setMinimumDuration(std::numeric_limits<int>::max());
        hide();
    }

protected:
    void reject() override {}
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

std::unique_ptr<PrinterOps> openJob(Services& s, QWidget* parent, Output output,
                                    const QString& title, const QString& pdfName) {
    if (output == Output::Printer) {
        return s.printers();
    }
    DocumentTarget target;
    if (output == Output::Preview) {
        target.kind = DocumentTarget::Kind::Preview;
        target.parent = parent;
        target.title = title;
    } else {
        target.path = fileDialogsOr(s.files).savePath(
            parent, QStringLiteral("Save as PDF"), QDir(s.programFolder).filePath(pdfName),
            QStringLiteral("PDF files (*.pdf);;All files (*)"));
        if (target.path.isEmpty()) {
            return nullptr;
        }
    }
    return s.documents ? s.documents(target) : std::make_unique<QtPrinter>(target);
}

} // namespace

PrintJob::PrintJob(Services& s, QWidget* parent, Output output, const QString& title,
                   const QString& pdfName)
    : parent_(parent), title_(title), ops_(openJob(s, parent, output, title, pdfName)) {
    if (ops_) {
        ops_->setProgress([this](int made, int pages) { madePages(made, pages); });
    }
    sinceStart_.start();
    sinceTurn_.start();
}

PrintJob::~PrintJob() = default;

void PrintJob::readQsos(qint64 done, qint64 total) {
    qsosRead_ = done;
    qsosTotal_ = total;
    if (sinceTurn_.elapsed() >= turnEveryMs) {
        turn(static_cast<int>(done * 1000 / std::max<qint64>(total, 1)), 1000, {});
    }
}

void PrintJob::madePages(int made, int pages) {
    if (made < pages && sinceTurn_.elapsed() >= turnEveryMs) {
        turn(made, pages, QStringLiteral("Pages made: %1 of %2").arg(made).arg(pages));
    }
    if (made == pages && progress_) {
        // A preview makes its pages again when asked to: its progress shows again then.
        progress_->hide();
        sinceStart_.start();
    }
}

void PrintJob::turn(int done, int total, const QString& text) {
    sinceTurn_.start();
    if (!progress_) {
        progress_ = std::make_unique<JobProgress>(parent_);
        progress_->setWindowTitle(title_);
    }
    const QString read = qsosTotal_ < 0
                             ? QString()
                             : QStringLiteral("QSOs read: %1 of %2").arg(qsosRead_).arg(qsosTotal_);
    progress_->setLabelText(read.isEmpty() || text.isEmpty() ? read + text : read + u'\n' + text);
    progress_->setRange(0, total);
    progress_->setValue(done);
    if (!progress_->isVisible() && done < total && sinceStart_.elapsed() >= showAfterMs) {
        progress_->show();
    }
    // Until the modal box shows, no click or key may reach a window and start a handler
    // inside this one.
    QCoreApplication::processEvents(progress_->isVisible() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
}

void PrintJob::end() {
    ops_->endDoc();
    if (progress_) {
        progress_->hide();
    }
}

} // namespace hm52
