#include "platform/Printer.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>

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

bool onlyBlanks(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}

QFont fontOf(const PrintedLine& line) {
    QFont font(line.fontName);
    font.setPointSizeF(line.fontSize);
    font.setBold(line.bold);
    // Blanks are part of the layout: keep every one at its own width.
    font.setKerning(false);
    return font;
}

bool sameFont(const PrintedLine& a, const PrintedLine& b) {
    return a.fontName == b.fontName && a.fontSize == b.fontSize && a.bold == b.bold;
}

// A PDF file or a preview has the pages of the default printer, when there is one.
void takeDefaultPage(QPrinter& printer) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        printer.setPageSize(info.defaultPageSize());
    }
}

void setMargins(QPrinter& printer) {
    printer.setPageMargins(
        QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
        QPageLayout::Millimeter);
}

} // namespace

QtPrinter::QtPrinter(const QString& pdfPath)
    : QtPrinter(pdfPath.isEmpty() ? Target::DefaultPrinter : Target::PdfFile, pdfPath) {}

QtPrinter::QtPrinter(Target target, const QString& nameOrPath) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    switch (target) {
    case Target::PdfFile: {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(nameOrPath);
        takeDefaultPage(*printer_);
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

QtPrinter::QtPrinter(const DocumentTarget& target) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (target.kind == DocumentTarget::Kind::PdfFile) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(target.path);
        takeDefaultPage(*printer_);
    } else {
        // The preview shows the default printer's pages; without a printer, the usual paper.
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull()) {
            printer_->setPrinterName(info.printerName());
        }
        preview_ = true;
        previewParent_ = target.parent;
        previewTitle_ = target.title;
    }
    setMargins(*printer_);
}

QtPrinter::~QtPrinter() = default;

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
        if (preview_) {
            preview();
        } else if (printer_->outputFormat() != QPrinter::PdfFormat || probePdfFile()) {
            render(*printer_);
        }
    }
    lines_.clear();
    if (!failure_.isEmpty()) {
        throw PrintError(failure_);
    }
}

bool QtPrinter::probePdfFile() {
    // The file system's own reason beats a bare "could not begin".
    const QString path = printer_->outputFileName();
    const bool existed = QFileInfo::exists(path);
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fail(QStringLiteral("Cannot print to \"%1\": %2").arg(path, probe.errorString()));
        return false;
    }
    probe.close();
    if (!existed) {
        QFile::remove(path);
    }
    return true;
}

void QtPrinter::preview() {
    QPrintPreviewDialog dialog(printer_.get(), previewParent_);
    dialog.setObjectName(QStringLiteral("printPreview"));
    dialog.setWindowTitle(previewTitle_);
    // Printing and page set-up belong to the program's own print commands: a preview only
    // looks, at the pages those commands make.
    const QString hidden[] = {QCoreApplication::translate("QPrintPreviewDialog", "Print"),
                              QCoreApplication::translate("QPrintPreviewDialog", "Page setup")};
    for (QAction* action : dialog.findChildren<QAction*>()) {
        if (action->text() == hidden[0] || action->text() == hidden[1]) {
            action->setVisible(false);
            action->setEnabled(false);
        }
    }
    const QScreen* screen =
        previewParent_ != nullptr ? previewParent_->screen() : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        dialog.resize(screen->availableGeometry().size() * 3 / 4);
    }
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter* device) { render(*device); });
    dialog.exec();
}

std::vector<std::vector<QtPrinter::Row>> QtPrinter::layOut(QPainter& painter, QPrinter& device) {
    std::vector<std::vector<Row>> pages(1);
    const double pageWidth = device.width();
    const double pageHeight = device.height();
    double y = 0.0; // top of the next line, in device pixels
    const PrintedLine* fontOfLine = nullptr;
    QFontMetricsF metrics(painter.font(), &device);
    for (const PrintedLine& line : lines_) {
        if (fontOfLine == nullptr || !sameFont(*fontOfLine, line)) {
            fontOfLine = &line;
            painter.setFont(fontOf(line));
            metrics = QFontMetricsF(painter.font(), &device);
        }
        const double lineHeight = metrics.lineSpacing();
        QString rest = line.text;
        do {
            if (y > 0.0 && y + lineHeight > pageHeight) {
                pages.emplace_back();
                y = 0.0;
            }
            const qsizetype length = fittingLength(rest, metrics, pageWidth);
            pages.back().push_back({&line, rest.left(length), y + metrics.ascent()});
            y += lineHeight;
            rest.remove(0, length);
            if (onlyBlanks(rest)) {
                rest.clear();
            }
        } while (!rest.isEmpty());
    }
    return pages;
}

void QtPrinter::render(QPrinter& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        const QString name = device.outputFormat() == QPrinter::PdfFormat ? device.outputFileName()
                                                                          : device.printerName();
        fail(QStringLiteral("The printer \"%1\" did not accept the job (printer %2).")
                 .arg(name, printerStateText(device.printerState())));
        return;
    }
    const std::vector<std::vector<Row>> laidOut = layOut(painter, device);
    pages_ = static_cast<int>(laidOut.size());
    if (progress_) {
        progress_(0, pages_);
    }
    const PrintedLine* fontOfLine = nullptr;
    for (size_t page = 0; page < laidOut.size(); ++page) {
        if (page > 0 && !device.newPage()) {
            fail(QStringLiteral("The printer could not start page %1 (printer %2).")
                     .arg(page + 1)
                     .arg(printerStateText(device.printerState())));
            device.abort();
            painter.end();
            return;
        }
        for (const Row& row : laidOut[page]) {
            if (fontOfLine == nullptr || !sameFont(*fontOfLine, *row.line)) {
                fontOfLine = row.line;
                painter.setFont(fontOf(*row.line));
            }
            painter.drawText(QPointF(0.0, row.baseline), row.text);
        }
        if (progress_) {
            progress_(static_cast<int>(page) + 1, pages_);
        }
    }
    if (!painter.end()) {
        fail(QStringLiteral("The print job could not be completed (printer %1).")
                 .arg(printerStateText(device.printerState())));
        return;
    }
    if (device.printerState() == QPrinter::Error) {
        fail(QStringLiteral("The printer reported an error while printing."));
    }
}

} // namespace hm52
