#include "platform/Printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace hm52 {

QtPrinter::QtPrinter(const QString& pdfPath) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (!pdfPath.isEmpty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfPath);
        return;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        failure_ = QStringLiteral("No printer is installed: the system has no default printer.");
        return;
    }
    printer_->setPrinterName(info.printerName());
}

QtPrinter::~QtPrinter() {
    if (painter_ && painter_->isActive()) {
        painter_->end();
    }
}

bool QtPrinter::begin() {
    if (started_) {
        return failure_.isEmpty();
    }
    started_ = true;
    if (!failure_.isEmpty()) {
        return false;
    }
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_.get())) {
        const QString name = printer_->outputFileName().isEmpty() ? printer_->printerName()
                                                                  : printer_->outputFileName();
        failure_ = QStringLiteral("The printer \"%1\" refused the job (it is not ready, not "
                                  "reachable, or cannot be written).")
                       .arg(name);
        return false;
    }
    y_ = 0.0;
    applyFont();
    return true;
}

void QtPrinter::applyFont() {
    if (!painter_ || !painter_->isActive()) {
        return;
    }
    QFont font(fontName_);
    font.setPointSizeF(fontSize_);
    font.setBold(bold_);
    painter_->setFont(font);
}

void QtPrinter::setFontName(const QString& name) {
    fontName_ = name;
    applyFont();
}

void QtPrinter::setFontSize(double points) {
    fontSize_ = points;
    applyFont();
}

void QtPrinter::setBold(bool on) {
    bold_ = on;
    applyFont();
}

void QtPrinter::print(const QString& text) {
    if (!begin()) {
        return;
    }
    const QFontMetricsF metrics(painter_->font(), printer_.get());
    const double lineHeight = metrics.lineSpacing();
    const double pageHeight = printer_->height();
    if (y_ > 0.0 && y_ + lineHeight > pageHeight) {
        if (!printer_->newPage()) {
            failure_ = QStringLiteral("The printer could not start a new page.");
            return;
        }
        y_ = 0.0;
    }
    painter_->drawText(QPointF(0.0, y_ + metrics.ascent()), text);
    y_ += lineHeight;
}

void QtPrinter::print(const QString& a, const QString& b, const QString& c) {
    print(a + b + c);
}

void QtPrinter::endDoc() {
    begin();
    if (failure_.isEmpty() && painter_ && painter_->isActive() && !painter_->end()) {
        failure_ = QStringLiteral("The print job could not be completed.");
    }
    if (failure_.isEmpty() && printer_->printerState() == QPrinter::Error) {
        failure_ = QStringLiteral("The printer reported an error while printing.");
    }
    if (!failure_.isEmpty()) {
        throw PrintError(failure_);
    }
}

// ---------------------------------------------------------------------------------------

QStringList RecordedJob::texts() const {
    QStringList list;
    for (const PrintedLine& line : lines) {
        list << line.text;
    }
    return list;
}

namespace {

class RecordingPrinter final : public PrinterOps {
public:
    RecordingPrinter(RecordingPrinters& owner, size_t job) : owner_(owner), job_(job) {}

    void setFontName(const QString& name) override {
        name_ = name;
        job().ops.push_back({PrinterOp::FontName, {name}, 0.0, false});
    }
    void setFontSize(double points) override {
        size_ = points;
        job().ops.push_back({PrinterOp::FontSize, {}, points, false});
    }
    void setBold(bool on) override {
        bold_ = on;
        job().ops.push_back({PrinterOp::Bold, {}, 0.0, on});
    }
    void print(const QString& text) override {
        job().ops.push_back({PrinterOp::PrintOne, {text}, 0.0, false});
        job().lines.push_back({text, name_, size_, bold_});
    }
    void print(const QString& a, const QString& b, const QString& c) override {
        job().ops.push_back({PrinterOp::PrintThree, {a, b, c}, 0.0, false});
        job().lines.push_back({a + b + c, name_, size_, bold_});
    }
    void endDoc() override {
        job().ops.push_back({PrinterOp::EndDoc, {}, 0.0, false});
        if (!owner_.failWith.isEmpty()) {
            throw PrintError(owner_.failWith);
        }
        job().ended = true;
    }

private:
    RecordedJob& job() { return owner_.jobs.at(job_); }

    RecordingPrinters& owner_;
    size_t job_;
    QString name_;
    double size_ = 0.0;
    bool bold_ = false;
};

} // namespace

PrinterFactory RecordingPrinters::factory() {
    return [this]() -> std::unique_ptr<PrinterOps> {
        jobs.emplace_back();
        return std::make_unique<RecordingPrinter>(*this, jobs.size() - 1);
    };
}

} // namespace hm52
