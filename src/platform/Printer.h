#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

class QPainter;
class QPrinter;

namespace hm52 {

// A printer that is missing or fails; what() is the system's reason.
class PrintError : public std::runtime_error {
public:
    explicit PrintError(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// The six printer operations the program uses. One object is one print job: the first
// operation opens it, endDoc() completes it and hands it to the printer.
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

// The real printer: draws each line with QPainter on a QPrinter (the system's default
// printer, or a PDF file when a path is given), starting a new page when one is full.
class QtPrinter final : public PrinterOps {
public:
    // Empty path: the system's default printer.
    explicit QtPrinter(const QString& pdfPath = {});
    ~QtPrinter() override;
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void print(const QString& text) override;
    void print(const QString& a, const QString& b, const QString& c) override;
    void endDoc() override;

private:
    bool begin();
    void applyFont();

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QString fontName_ = QStringLiteral("Courier New");
    double fontSize_ = 10.0;
    bool bold_ = false;
    double y_ = 0.0; // top of the next line, in device pixels
    bool started_ = false;
    QString failure_;
};

// One printed line as the recording printer saw it, with the font in force.
struct PrintedLine {
    QString text;
    QString fontName;
    double fontSize = 0.0;
    bool bold = false;
};

// One operation as the recording printer saw it.
struct PrinterOp {
    enum Kind { FontName, FontSize, Bold, PrintOne, PrintThree, EndDoc } kind;
    QStringList texts; // the font name, or the printed text(s)
    double size = 0.0;
    bool on = false;
};

// A finished or unfinished job of the recording printer.
struct RecordedJob {
    std::vector<PrinterOp> ops;
    std::vector<PrintedLine> lines;
    bool ended = false;
    QStringList texts() const;
};

// For tests: keeps every job and every operation; can be told to fail.
class RecordingPrinters {
public:
    PrinterFactory factory();
    std::vector<RecordedJob> jobs;
    // When set, every job's endDoc() throws PrintError with this reason.
    QString failWith;
};

} // namespace hm52
