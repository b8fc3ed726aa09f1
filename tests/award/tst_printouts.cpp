// The log printout line by line, and the real printer path: QPrinter writing PDF files whose
// text is read back, several pages, an unfinished job, and printers that fail.

#include "RequestFixtures.h"
#include "award/LogPrintout.h"

#include <QFile>

using namespace hm52;
using namespace hm52::test;

namespace {

QString qsoLine(const Qso& q, const QString& date, const QString& time) {
    const QString bar = u" | "_s;
    return sp(11) + col(q.call, 12) + bar + col(u"HM52"_s + q.WWLocator, 6) + bar +
           col(q.place, 29) + bar + col(q.prov, 2) + bar + col(q.band, 7) + bar + col(q.mode, 6) +
           bar + col(date, 10) + bar + col(time, 7) + bar + q.qsl;
}

} // namespace

class PrintoutsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theLogIsPrintedUnderItsHeadingBySubSquareModeBandWithTheTimeNormalised() {
        TestEnv env;
        // An empty log without an operator: the bare heading between three blank lines each
        // side, and no QSO line.
        printAllQSOs(*env.services, nullptr);
        QCOMPARE(env.printers.jobs.at(0).lines,
                 QStringList({" ", " ", " ", " ALL QSOs", " ", " ", " "}));

        // Values longer than their column are cut: the call, the place, the province of three
        // letters and DIGITAL.
        env.setOperator(u"IK0XYZ"_s);
        const std::vector<Qso> logged{
            {.WWLocator = "XX", .mode = "CW", .band = "HF", .time = "21:30"},
            {.WWLocator = "AB", .mode = "SSB", .band = "HF", .time = "09:05"},
            {.WWLocator = "AB", .mode = "MIXED", .band = "VHF", .time = "00:00"},
            {.WWLocator = "AB", .mode = "MIXED", .band = "50 MHz", .time = "23:59"},
            {.call = "IZ1234567890ABC",
             .WWLocator = "AC",
             .place = "SANTA MARIA DELLE GRAZIE AL MONTE",
             .prov = "VLT",
             .mode = "DIGITAL"}};
        for (const Qso& q : logged) {
            env.addQso(q);
        }
        printAllQSOs(*env.services, nullptr);
        QStringList expected{" ", " ", " ", sp(14) + u"ALL QSOs of IK0XYZ"_s, " ", " ", " "};
        const std::vector<std::pair<size_t, QString>> order{
            {3, u"23.59"_s}, {2, u"00.00"_s}, {1, u"09.05"_s}, {4, u"09.05"_s}, {0, u"21.30"_s}};
        for (const auto& [index, time] : order) {
            expected << qsoLine(logged[index], u"05/01/04"_s, time);
        }
        QCOMPARE(env.printers.jobs.at(1).lines, expected);
        // The size before the name; one QSO per line, printed as three items.
        QCOMPARE(opSequence(env.printers.jobs[1]),
                 QStringList({"size 8", "name Courier New", "print 3", "size 14", "print 4",
                              "size 8", "print3 5", "end"}));
    }

    // (Every line of a request form, accents, degree sign and euro with it, comes back from
    // the PDF: tst_documents.)
    void aLongLogPrintsIntoAPdfOverSeveralPagesColumnForColumn() {
        TestEnv env;
        env.setOperator();
        const auto logged = addQsos(env, 200, u"HF"_s, u"CW"_s, u"w"_s);
        const QString pdf = env.dir.filePath(u"log.pdf"_s);
        env.services->printers = [&pdf]() { return std::make_unique<QtPrinter>(pdf); };
        printAllQSOs(*env.services, nullptr);
        const QString text = pdfText(pdf);
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        // 14-point letters span more than one 8-point column: compare words only.
        QVERIFY(pages[0].simplified().contains(u"ALL QSOs of IK0XYZ"_s));
        QVERIFY(!pages[1].contains(u"ALL QSOs"_s));
        // Every QSO line whole, once, in order, whatever page it landed on.
        qsizetype from = 0;
        for (const LoggedQso& q : logged) {
            const QString wanted = qsoLine(q.qso, q.date, q.time).trimmed();
            const qsizetype at = text.indexOf(wanted, from);
            QVERIFY2(at >= 0, qPrintable(wanted));
            from = at + wanted.size();
        }
    }

    // A job left unfinished is cancelled, not printed; a file or a printer that cannot be
    // reached gives its reason. (What a request window shows when its printer fails:
    // tests/award/tst_requests.)
    void thePdfPrinterCancelsAndFailsWithItsReason() {
        QTemporaryDir dir;
        const QString half = dir.filePath(u"half.pdf"_s);
        QtPrinter(half).print(u"HALF A FORM"_s);
        QVERIFY(!QFile::exists(half) || !pdfText(half).contains(u"HALF"_s));

        const QString unwritable = dir.filePath(u"no-such-folder/form.pdf"_s);
        QtPrinter file(unwritable);
        file.print(u"x"_s);
        const QString reason = thrownBy<PrintError>([&file]() { file.endDoc(); });
        QVERIFY2(reason.contains(u"No such file or directory"_s), qPrintable(reason));
        QVERIFY(!QFile::exists(unwritable));
        QtPrinter named(QtPrinter::Target::NamedPrinter, u"no-such-printer-for-hm52"_s);
        named.print(u"x"_s);
        QCOMPARE(thrownBy<PrintError>([&named]() { named.endDoc(); }),
                 u"The printer \"no-such-printer-for-hm52\" is not installed on this system."_s);
    }
};

QTEST_MAIN(PrintoutsTest)
#include "tst_printouts.moc"
