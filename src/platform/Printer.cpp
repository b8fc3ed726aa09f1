#include "platform/Printer.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace hm52 {

namespace {

// Narrow margins, so that a line of 115 characters of 8-point Courier New (552 points) fits
// across an A4 or Letter page; a printer that cannot print that close to the edge keeps its
// own minimum.
constexpr double marginMillimetres = 7.0;

QString printerStateText(QPrinter::PrinterState state) {
    switch (state) {
    case QPrinter::Idle:
        return QStringLiteral("idle");
    case QPrinter::Active:
        return QStringLiteral("active");
    case QPrinter::Aborted:
        return QStringLiteral("aborted");
    case QPrinter::Error:
        return QStringLiteral("in error");
    }
    return {};
}

// The longest start of `text` that fits in `width`, at least one character (a surrogate pair
// is never split). Prefers to break after a blank that follows some printed character, so
// that words and the line's indentation stay whole.
qsizetype fittingLength(const QString& text, const QFontMetricsF& metrics, double width) {
    // No character is wider than maxWidth(): most lines fit without being measured.
    if (static_cast<double>(text.size()) * metrics.maxWidth() <= width ||
        metrics.horizontalAdvance(text) <= width) {
        return text.size();
    }
    qsizetype low = 1;
    qsizetype high = text.size() - 1;
    qsizetype fit = 1;
    while (low <= high) {
        const qsizetype mid = (low + high) / 2;
        if (metrics.horizontalAdvance(text.left(mid)) <= width) {
            fit = mid;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    if (fit < text.size() && text.at(fit).isLowSurrogate() && fit > 1) {
        --fit;
    }
    qsizetype firstPrinted = 0;
    while (firstPrinted < fit && text.at(firstPrinted) == u' ') {
        ++firstPrinted;
    }
    for (qsizetype i = fit; i > firstPrinted; --i) {
        if (text.at(i - 1) == u' ' || (i < text.size() && text.at(i) == u' ')) {
            return i;
        }
    }
    return fit;
}

void setMargins(QPrinter& printer) {
    printer.setPageMargins(
        QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
        QPageLayout::Millimeter);
}

bool onlyBlanks(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}

} // namespace

QtPrinter::QtPrinter(const QString& pdfPath)
    : QtPrinter(pdfPath.isEmpty() ? Target::DefaultPrinter : Target::PdfFile, pdfPath) {}

QtPrinter::QtPrinter(Target target, const QString& nameOrPath) {
    owned_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_ = owned_.get();
    switch (target) {
    case Target::PdfFile: {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(nameOrPath);
        break;
    }
    case Target::DefaultPrinter: {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            failure_ = QPrinterInfo::availablePrinterNames().isEmpty()
                           ? QStringLiteral("No printer is installed on this system.")
                           : QStringLiteral("The system has no default printer.");
            return;
        }
        printer_->setPrinterName(info.printerName());
        break;
    }
    case Target::NamedPrinter: {
        const QPrinterInfo info = QPrinterInfo::printerInfo(nameOrPath);
        if (info.isNull()) {
            failure_ = QStringLiteral("The printer \"%1\" is not installed on this system.")
                           .arg(nameOrPath);
            return;
        }
        printer_->setPrinterName(info.printerName());
        break;
    }
    }
    setMargins(*printer_);
}

QtPrinter::QtPrinter(QPrinter& device) : printer_(&device) {}

QtPrinter::~QtPrinter() = default;

void QtPrinter::setUpLikeDefault(QPrinter& device) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        device.setPrinterName(info.printerName());
    }
    setMargins(device);
}

void QtPrinter::setFontName(const QString& name) {
    fontName_ = name;
}
void QtPrinter::setFontSize(double points) {
    fontSize_ = points;
}
void QtPrinter::setBold(bool on) {
    bold_ = on;
}

void QtPrinter::print(const QString& text) {
    lines_.push_back({text, fontName_, fontSize_, bold_});
}

void QtPrinter::print(const QString& a, const QString& b, const QString& c) {
    print(a + b + c);
}

void QtPrinter::fail(const QString& reason) {
    if (failure_.isEmpty()) {
        failure_ = reason;
    }
}

void QtPrinter::endDoc() {
    if (failure_.isEmpty()) {
        render();
    }
    lines_.clear();
    if (!failure_.isEmpty()) {
        throw PrintError(failure_);
    }
}

void QtPrinter::render() {
    if (owned_ && printer_->outputFormat() == QPrinter::PdfFormat) {
        // The file system's own reason beats a bare "could not begin".
        const QString path = printer_->outputFileName();
        const bool existed = QFileInfo::exists(path);
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            fail(QStringLiteral("Cannot print to \"%1\": %2").arg(path, probe.errorString()));
            return;
        }
        probe.close();
        if (!existed) {
            QFile::remove(path);
        }
    }
    QPainter painter;
    if (!painter.begin(printer_)) {
        const QString name = printer_->outputFormat() == QPrinter::PdfFormat
                                 ? printer_->outputFileName()
                                 : printer_->printerName();
        fail(QStringLiteral("The printer \"%1\" did not accept the job (printer %2).")
                 .arg(name, printerStateText(printer_->printerState())));
        return;
    }
    y_ = 0.0;
    pages_ = 1;
    const PrintedLine* fontOf = nullptr; // the line whose font is in force
    QFontMetricsF metrics(painter.font(), printer_);
    for (const PrintedLine& line : lines_) {
        if (fontOf == nullptr || line.fontName != fontOf->fontName ||
            line.fontSize != fontOf->fontSize || line.bold != fontOf->bold) {
            fontOf = &line;
            QFont font(line.fontName);
            font.setPointSizeF(line.fontSize);
            font.setBold(line.bold);
            // Blanks are part of the layout: keep every one at its own width.
            font.setKerning(false);
            painter.setFont(font);
            metrics = QFontMetricsF(painter.font(), printer_);
        }
        drawLine(painter, metrics, line.text);
        if (!failure_.isEmpty()) {
            printer_->abort();
            painter.end();
            return;
        }
    }
    if (!painter.end()) {
        fail(QStringLiteral("The print job could not be completed (printer %1).")
                 .arg(printerStateText(printer_->printerState())));
        return;
    }
    if (printer_->printerState() == QPrinter::Error) {
        fail(QStringLiteral("The printer reported an error while printing."));
    }
}

void QtPrinter::drawLine(QPainter& painter, const QFontMetricsF& metrics, const QString& text) {
    const double lineHeight = metrics.lineSpacing();
    const double pageWidth = printer_->width();
    const double pageHeight = printer_->height();
    QString rest = text;
    do {
        if (y_ > 0.0 && y_ + lineHeight > pageHeight) {
            if (!printer_->newPage()) {
                fail(QStringLiteral("The printer could not start page %1 (printer %2).")
                         .arg(pages_ + 1)
                         .arg(printerStateText(printer_->printerState())));
                return;
            }
            ++pages_;
            y_ = 0.0;
        }
        const qsizetype length = fittingLength(rest, metrics, pageWidth);
        painter.drawText(QPointF(0.0, y_ + metrics.ascent()), rest.left(length));
        y_ += lineHeight;
        rest.remove(0, length);
        if (onlyBlanks(rest)) {
            rest.clear();
        }
    } while (!rest.isEmpty());
}

} // namespace hm52
