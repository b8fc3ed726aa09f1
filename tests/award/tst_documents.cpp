// Beside each printout, a preview and a PDF file with the printed pages line for line; a
// request made by saving its form as a PDF, with the questions of a printed one, and a preview
// that asks nothing; and a long printout that shows its progress while the event loop turns.

#include "RequestFixtures.h"
#include "award/LogPrintout.h"

#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
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
    std::vector<LoggedQso> claimable;

    explicit Printing(Printout printout, int logSize = 200) : which(printout) {
        env.setOperator();
        if (which == Printout::Log) {
            // Written by the engine in one statement: a long log in a moment.
            env.m.logDb.execute(
                u"with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "_s
                u"insert into data select i, 'I' || i || 'QSO', char(65 + i % 24, 65 + i / 24 "_s
                u"% 24), 'PLACE ' || i, 'BD', 'CW', 'HF', '2004-01-05', '09:05:00', 'w' from n"_s
                    .arg(logSize));
            return;
        }
        if (which == Printout::Endorsement) {
            addQsos(env, 10, u"SAT"_s, u"SSB"_s, u"a"_s, 300);
        }
        claimable = addQsos(env, 12, u"SAT"_s, u"SSB"_s, u"c"_s);
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
    qint64 accredited() { return env.count(u"qsl = 'a'"_s); }
};

// Real jobs: the printer writes `printed`, previews and PDF files are the program's own.
void useRealJobs(Printing& t, const QString& printed) {
    t.env.services->printers = [printed]() { return std::make_unique<QtPrinter>(printed); };
    t.env.services->documents = [](const DocumentTarget& target) {
        return std::make_unique<QtPrinter>(target);
    };
}

// Watches for the next preview; once it shows, reads its page count and its visible actions,
// has its own printer paint its pages into `file` and closes it.
void readNextPreview(QTimer& poll, int& pages, QStringList& actions, const QString& file) {
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&poll, &pages, &actions, file]() {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll.stop();
        pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
        for (const QAction* action : dialog->findChildren<QAction*>()) {
            if (action->isVisible() && !action->text().isEmpty()) {
                actions << action->text();
            }
        }
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
        QTest::newRow("endorsement") << Printout::Endorsement;
    }

    void previewAndPdfHaveThePrintedPagesLineForLine() {
        QFETCH(Printout, which);
        Printing t(which);
        const QString printed = t.env.dir.filePath(u"printed.pdf"_s);
        useRealJobs(t, printed);
        const QStringList questions = t.run(Output::Printer, {Answer::No});
        const QString pages = pdfText(printed);
        QVERIFY(!pages.isEmpty());

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

        // Previewed: the same pages, as the preview's own printer paints them; only looking,
        // with no printing of its own, and no question after it.
        QTimer poll;
        int previewPages = -1;
        QStringList actions;
        const QString previewed = t.env.dir.filePath(u"previewed.pdf"_s);
        readNextPreview(poll, previewPages, actions, previewed);
        QCOMPARE(t.run(Output::Preview), QStringList());
        QCOMPARE(previewPages, int(pages.count(u'\f')));
        QVERIFY2(!actions.contains(u"Print"_s) && !actions.contains(u"Page setup"_s),
                 qPrintable(actions.join(u", "_s)));
        QCOMPARE(pdfText(previewed), pages);
        QCOMPARE(t.accredited(), which == Printout::Endorsement ? 10 : 0);
    }

    void aPdfMakesTheRequestAsPrintingDoesAndAPreviewAsksNothing_data() {
        QTest::addColumn<Printout>("which");
        QTest::addColumn<int>("claimed");
        QTest::newRow("base award") << Printout::Base << 10;
        QTest::newRow("endorsement") << Printout::Endorsement << 5;
    }

    void aPdfMakesTheRequestAsPrintingDoesAndAPreviewAsksNothing() {
        QFETCH(Printout, which);
        QFETCH(int, claimed);
        Printing t(which);
        const qint64 before = t.accredited();
        const QString title = t.window->windowTitle();
        // The file's choice cancelled: nothing made, nothing asked.
        QCOMPARE(t.run(Output::Pdf, {Answer::Yes, Answer::Yes}), QStringList());
        QVERIFY(t.env.printers.jobs.empty());
        QCOMPARE(t.env.fileDialogs.asked.size(), size_t(1));
        QVERIFY(t.env.fileDialogs.asked[0].save);
        QCOMPARE(t.env.fileDialogs.asked[0].filter, u"PDF files (*.pdf);;All files (*)"_s);
        QVERIFY(t.env.fileDialogs.asked[0].suggested.endsWith(
            which == Printout::Base ? u"/hm52-base-award-SAT-SSB.pdf"_s
                                    : u"/hm52-endorsement-SAT-SSB.pdf"_s));

        // A preview: the printed form, and nothing asked.
        t.env.dialogs.clear();
        QCOMPARE(t.run(Output::Preview, {Answer::Yes, Answer::Yes}), QStringList());
        QCOMPARE(t.env.printers.jobs.at(0).target, u"preview Preview - "_s + title);
        // Printed, then saved: the same form, then the same questions; two Yes convert.
        t.env.dialogs.clear();
        QCOMPARE(t.run(Output::Printer, {Answer::No}), QStringList({convertQuestion}));
        const QString file = t.env.dir.filePath(u"request.pdf"_s);
        t.env.fileDialogs.answer(file);
        QCOMPARE(t.run(Output::Pdf, {Answer::Yes, Answer::Yes}),
                 QStringList({convertQuestion, sureQuestion}));
        QCOMPARE(t.env.printers.jobs.size(), size_t(3));
        const RecordedJob& preview = t.env.printers.jobs[0];
        const RecordedJob& print = t.env.printers.jobs[1];
        const RecordedJob& pdf = t.env.printers.jobs[2];
        QCOMPARE(pdf.target, u"pdf "_s + file);
        QVERIFY(preview.ended && print.ended && pdf.ended);
        QCOMPARE(preview.ops, print.ops);
        QCOMPARE(preview.lines, print.lines);
        QCOMPARE(pdf.lines, print.lines);
        QCOMPARE(t.accredited(), before + claimed);
        // Previewed again after the request, with QSOs enough: still nothing asked, not even
        // whether to request the award again.
        addQsos(t.env, 10, u"SAT"_s, u"SSB"_s, u"c"_s, 100);
        QCOMPARE(t.run(Output::Preview, {Answer::Yes, Answer::Yes}), QStringList());
        QCOMPARE(t.env.printers.jobs.size(), size_t(4));
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
        QVERIFY2(pages > 200, qPrintable(QString::number(pages)));
        QVERIFY2(turns > 10, qPrintable(QString::number(turns)));
        // The QSOs read, then the pages made, each counted up to its whole.
        const QStringList read = shown.filter(u"QSOs read: "_s);
        const QStringList made = shown.filter(u"Pages made: "_s);
        QVERIFY2(!made.isEmpty(), qPrintable(shown.join(u" / "_s)));
        QVERIFY(made.last().startsWith(u"QSOs read: 20000 of 20000\nPages made: "_s));
        QVERIFY(made.last().endsWith(u" of %1"_s.arg(pages)));
        QVERIFY(read.isEmpty() || read.first().contains(u" of 20000"_s));
        QVERIFY(t.env.dialogs.shown.empty());
        // Gone once the job has ended.
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // The new buttons stand under the standard ones, after them in the tab order.
    void theNewButtonsFollowTheStandardOnes_data() {
        aPdfMakesTheRequestAsPrintingDoesAndAPreviewAsksNothing_data(); // the two request forms
    }

    void theNewButtonsFollowTheStandardOnes() {
        QFETCH(Printout, which);
        Printing t(which, 0);
        QCOMPARE(texts(t.window, "cmdPrint cmdExit cmdPreview cmdSavePdf"),
                 u"Print|Exit|Pre&view|Save as P&DF..."_s);
        // (No control out of its window or over another: tst_requests.)
        QCOMPARE(tabOrder(child(t.window, "comboMode"), 6),
                 QStringList({"comboMode", "comboBand", "cmdPrint", "cmdExit", "cmdPreview",
                              "cmdSavePdf"}));
        const QRect print = child(t.window, "cmdPrint")->geometry();
        const QRect preview = child(t.window, "cmdPreview")->geometry();
        const QRect pdf = child(t.window, "cmdSavePdf")->geometry();
        QVERIFY(preview.top() > print.bottom() && pdf.top() == preview.top());
        QVERIFY(!preview.intersects(pdf) && t.window->rect().contains(pdf));
    }
};

QTEST_MAIN(DocumentsTest)
#include "tst_documents.moc"
