#pragma once

#include "platform/Failure.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QFontMetricsF;
class QPainter;
class QPrinter;
class QWidget;

namespace hm52 {

// The six printer operations the program uses. One object is one print job: the first
// operation opens it, endDoc() completes it and hands it to the printer. A job whose object
// goes away without endDoc() (a handler that failed half-way) is cancelled, never printed.
class PrinterOps {
public:
    virtual ~PrinterOps() = default;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool on) = 0;
    // Prints a text at the left margin of a new line, below the previous one.
    virtual void print(const QString& text) = 0;
    // Prints three texts one after the other on one line.
    virtual void print(const QString& a, const QString& b, const QString& c) = 0;
    // Completes the job. Throws PrintError with the reason when the job could not be
    // printed (no printer, a printer that refused the job, a page that failed).
    virtual void endDoc() = 0;

    // Told how far the making of the pages is (pages made, pages in all), at the start and
    // after each page, so that a long job can show its progress and keep the windows
    // painted. A job that makes no pages of its own never calls it.
    using PageProgress = std::function<void(int made, int pages)>;
    virtual void setProgress(PageProgress /*progress*/) {}
};

// Makes one print job per print command, for the system's default printer.
using PrinterFactory = std::function<std::unique_ptr<PrinterOps>()>;

// Where a job goes instead of the printer: a preview on the screen, or a PDF file. Either has
// the pages the default printer would print.
struct DocumentTarget {
    enum class Kind { Preview, PdfFile };
    Kind kind = Kind::PdfFile;
    QString path;              // the PDF file
    QWidget* parent = nullptr; // the window the preview belongs to
    QString title;             // the preview's title
};
// Makes one job for a preview or a PDF file.
using DocumentFactory = std::function<std::unique_ptr<PrinterOps>(const DocumentTarget&)>;

// One printed line with the font in force for it.
struct PrintedLine {
    QString text;
    QString fontName;
    double fontSize = 0.0;
    bool bold = false;
};

// The real printer: draws each line with QPainter on a QPrinter, starting a new page when one
// is full. A line wider than the page goes on over as many lines as it needs (after its last
// blank that fits, or after the last character that fits).
//
// The lines are kept until endDoc(), which hands the whole job to the device at once: a job
// that is never completed (a handler that failed half-way) never reaches the printer. Every
// failure (no such printer, a file that cannot be written, a device that refuses the job or a
// page) is reported by endDoc() with its reason.
class QtPrinter final : public PrinterOps {
public:
    enum class Target {
        DefaultPrinter, // the system's default printer
        NamedPrinter,   // a printer of the system, by name
        PdfFile,        // a PDF file
    };

    // Empty path: the system's default printer; otherwise a PDF file at that path.
    explicit QtPrinter(const QString& pdfPath = {});
    QtPrinter(Target target, const QString& nameOrPath);
    // A PDF file, or a preview whose endDoc() shows the pages in a modal print preview (a
    // preview only looks: it has no printing and no page set-up of its own).
    explicit QtPrinter(const DocumentTarget& target);
    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void print(const QString& text) override;
    void print(const QString& a, const QString& b, const QString& c) override;
    void endDoc() override;
    void setProgress(PageProgress progress) override { progress_ = std::move(progress); }

    // Pages of the completed job.
    int pages() const { return pages_; }

private:
    // One line of a page as laid out: the printed line it belongs to and its text.
    struct Row {
        const PrintedLine* line;
        QString text;
        double baseline; // in device pixels from the page's top
    };
    void render(QPrinter& device);
    std::vector<std::vector<Row>> layOut(QPainter& painter, QPrinter& device);
    bool probePdfFile();
    void preview();
    void fail(const QString& reason);

    std::unique_ptr<QPrinter> printer_;
    QWidget* previewParent_ = nullptr;
    QString previewTitle_;
    bool preview_ = false;
    PageProgress progress_;
    std::vector<PrintedLine> lines_;
    QString fontName_ = QStringLiteral("Courier New");
    double fontSize_ = 10.0;
    bool bold_ = false;
    int pages_ = 0;
    QString failure_;
};

} // namespace hm52
