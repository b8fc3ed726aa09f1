// Beside each printout, a preview and a PDF file with the printed pages line for line, the
// PDF asking the questions of a printed form; a cancelled PDF that makes nothing and a preview
// that asks nothing; and a long printout that shows its progress while the event loop turns.

#include "RequestFixtures.h"
#include "award/LogPrintout.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>

using namespace hm52;
using namespace hm52::test;

namespace {

enum class Printout { Log, Base, Endorsement };

// A log ready for one printout, and the printout run on an output.
struct Printing {
    TestEnv env;
    Printout which;
    QWidget* window = nullptr;

    explicit Printing(Printout printout, int logSize = 200) : which(printout) {
        env.setOperator();
        if (which == Printout::Log) {
            env.addQsos(logSize);
            return;
        }
        if (which == Printout::Endorsement) {
            addQsos(env, 10, u"SAT"_s, u"SSB"_s, u"a"_s, 300);
        }
        addQsos(env, 12, u"SAT"_s, u"SSB"_s, u"c"_s);
        window = &env.registry->load(which == Printout::Base ? Window::BAR : Window::AE);
        child<QComboBox>(window, "comboBand")->setCurrentText(u"SAT"_s);
        child<QComboBox>(window, "comboMode")->setCurrentText(u"SSB"_s);
    }
    // The texts of the boxes shown, the questions answered with `answers`.
    QStringList run(Output output, std::initializer_list<Answer> answers = {}) {
        env.dialogs.answer(answers);
        const auto before = static_cast<qsizetype>(env.dialogs.shown.size());
        if (which == Printout::Log) {
            printAllQSOs(*env.services, nullptr, output);
        } else {
            click(window, output == Output::Printer   ? "cmdPrint"
                          : output == Output::Preview ? "cmdPreview"
                                                      : "cmdSavePdf");
        }
        return env.dialogs.texts().mid(before);
    }
};

// Real jobs: the printer writes `printed`, previews and PDF files are the program's own.
void useRealJobs(Printing& t, const QString& printed) {
    t.env.services->printers = [printed]() { return std::make_unique<QtPrinter>(printed); };
    t.env.services->documents = [](const DocumentTarget& target) {
        return std::make_unique<QtPrinter>(target);
    };
}

// Watches for the next preview; once it shows, has its own printer paint its pages into `file`
// and closes it.
void readNextPreview(QTimer& poll, const QString& file) {
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&poll, file]() {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll.stop();
        QPrinter* printer = dialog->printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(file);
        Q_EMIT dialog->paintRequested(printer);
        dialog->reject();
    });
    poll.start();
}

} // namespace

Q_DECLARE_METATYPE(Printout)

class DocumentsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void previewAndPdfHaveThePrintedPagesLineForLine_data() {
        QTest::addColumn<Printout>("which");
        QTest::newRow("all QSOs") << Printout::Log;
        QTest::newRow("base award") << Printout::Base;
    }

    void previewAndPdfHaveThePrintedPagesLineForLine() {
        QFETCH(Printout, which);
        Printing t(which);
        const QString printed = t.env.dir.filePath(u"printed.pdf"_s);
        useRealJobs(t, printed);
        const QStringList questions = t.run(Output::Printer, {Answer::No});
        const QString pages = pdfText(printed);

        // Every printed line is on the pages, in order (the form's proportional lines word for
        // word, the fixed-pitch ones whole).
        RecordingPrinters recording;
        t.env.services->printers = recording.factory();
        t.run(Output::Printer, {Answer::No});
        qsizetype from = 0;
        const QString flat = pages.simplified();
        for (const QString& line : recording.jobs.at(0).lines) {
            // The tick boxes' character prints as the font's glyph: its words are read. (A blank
            // line is found where the last one ended.)
            const qsizetype at = flat.indexOf(QString(line).remove(QChar(0x8D)).simplified(), from);
            QVERIFY2(at >= 0, qPrintable(line));
            from = at;
        }

        // Saved as a PDF file: the same pages, line for line, blank for blank.
        useRealJobs(t, printed);
        const QString saved = t.env.dir.filePath(u"saved.pdf"_s);
        t.env.fileDialogs.answer(saved);
        QCOMPARE(t.run(Output::Pdf, {Answer::No}), questions);
        QCOMPARE(pdfText(saved), pages);

        // Previewed: the same pages, as the preview's own printer paints them, and no question
        // after it.
        QTimer poll;
        const QString previewed = t.env.dir.filePath(u"previewed.pdf"_s);
        readNextPreview(poll, previewed);
        QCOMPARE(t.run(Output::Preview), QStringList());
        QCOMPARE(pdfText(previewed), pages);
    }

    void aCancelledPdfMakesNothingAndAPreviewAsksNothing_data() {
        QTest::addColumn<Printout>("which");
        QTest::newRow("base award") << Printout::Base;
        QTest::newRow("endorsement") << Printout::Endorsement;
    }

    void aCancelledPdfMakesNothingAndAPreviewAsksNothing() {
        QFETCH(Printout, which);
        Printing t(which);
        QCOMPARE(texts(t.window, "cmdPreview cmdSavePdf"), u"Pre&view|Save as P&DF..."_s);
        // The file's choice cancelled: nothing made, nothing asked.
        QCOMPARE(t.run(Output::Pdf, {Answer::Yes, Answer::Yes}), QStringList());
        QVERIFY(t.env.printers.jobs.empty());
        const RecordingFileDialogs::Asked& asked = t.env.fileDialogs.asked.at(0);
        QCOMPARE(asked.filter, u"PDF files (*.pdf);;All files (*)"_s);
        QVERIFY(asked.suggested.endsWith(which == Printout::Base
                                             ? u"/hm52-base-award-SAT-SSB.pdf"_s
                                             : u"/hm52-endorsement-SAT-SSB.pdf"_s));

        // Previewed with the award requested already and QSOs enough for the form: nothing
        // asked, not even whether to request the award again.
        addQsos(t.env, 10, u"SAT"_s, u"SSB"_s, u"a"_s, 100);
        QCOMPARE(t.run(Output::Preview, {Answer::Yes, Answer::Yes}), QStringList());
        QCOMPARE(t.env.printers.jobs.at(0).target,
                 u"preview Preview - "_s + t.window->windowTitle());
    }

    void aLongPrintoutShowsItsProgressWhileTheEventLoopTurns() {
        Printing t(Printout::Log, 20000);
        const QString printed = t.env.dir.filePath(u"long.pdf"_s);
        useRealJobs(t, printed);
        int turns = 0;
        QStringList shown;
        QTimer tick;
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [&]() {
            ++turns;
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress != nullptr && progress->isVisible() &&
                (shown.isEmpty() || shown.last() != progress->labelText())) {
                QCOMPARE(progress->windowModality(), Qt::ApplicationModal);
                shown << progress->labelText();
            }
        });
        tick.start(); // the event loop turns only while printing
        t.run(Output::Printer);
        tick.stop();
        const auto pages = pdfText(printed).count(u'\f');
        QVERIFY2(turns > 10, qPrintable(QString::number(turns)));
        // The QSOs read, then the pages made, each counted up to its whole.
        const QStringList made = shown.filter(u"Pages made: "_s);
        QVERIFY2(!made.isEmpty(), qPrintable(shown.join(u" / "_s)));
        QVERIFY(made.last().startsWith(u"QSOs read: 20000 of 20000\nPages made: "_s));
        QVERIFY(made.last().endsWith(u" of %1"_s.arg(pages)));
        // Gone once the job has ended.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
