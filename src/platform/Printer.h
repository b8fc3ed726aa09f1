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
};

// Makes one print job per print command.
using PrinterFactory = std::function<std::unique_ptr<PrinterOps>()>;

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
    // Draws the job on a device that the caller set up and keeps (a print preview's pages,
    // or the printer that its Print button chose), exactly as it would print it.
    explicit QtPrinter(QPrinter& device);
    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void print(const QString& text) override;
    void print(const QString& a, const QString& b, const QString& c) override;
    void endDoc() override;

    // Pages of the completed job.
    int pages() const { return pages_; }

    // Sets a device up as a job for the system's default printer is set up (its printer when
    // there is one, the page margins), so that a preview on it shows the printed pages.
    static void setUpLikeDefault(QPrinter& device);

private:
    void render();
    void drawLine(QPainter& painter, const QFontMetricsF& metrics, const QString& text);
    void fail(const QString& reason);

    std::unique_ptr<QPrinter> owned_;
    QPrinter* printer_ = nullptr; // the owned device, or the caller's
    std::vector<PrintedLine> lines_;
    QString fontName_ = QStringLiteral("Courier New");
    double fontSize_ = 10.0;
    bool bold_ = false;
    double y_ = 0.0; // top of the next line, in device pixels
    int pages_ = 0;
    QString failure_;
};

} // namespace hm52
