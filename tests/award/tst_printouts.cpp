// The log printout line by line, and the real printer path: QPrinter writing PDF files whose
// text is read back, several pages, and printers that fail.

#include "RequestFixtures.h"
#include "app/LogPrintout.h"
#include "award/frmBAR.h"

#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>

using namespace hm52;
using namespace hm52::test;

namespace {

// The text of a PDF file as pdftotext gives it back in 8-point fixed-pitch columns; pages
// are separated by form feeds.
QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-fixed"), QStringLiteral("4.8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        qWarning("pdftotext failed: %s", p.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The heading part of the printout: three blank lines, the heading, three blank lines.
std::vector<Expected> printoutHead(const QString& heading) {
    return {
        {QStringLiteral(" "), CN, 8, false},  {QStringLiteral(" "), CN, 8, false},
        {QStringLiteral(" "), CN, 8, false},  {heading, CN, 14, false},
        {QStringLiteral(" "), CN, 14, false}, {QStringLiteral(" "), CN, 14, false},
        {QStringLiteral(" "), CN, 14, false},
    };
}

// The printout's operations with `qsos` QSO lines.
QStringList printoutOps(int qsos) {
    QStringList ops{QStringLiteral("size 8"),  QStringLiteral("name Courier New"),
                    QStringLiteral("print 3"), QStringLiteral("size 14"),
                    QStringLiteral("print 4"), QStringLiteral("size 8")};
    if (qsos > 0) {
        ops << QStringLiteral("print3 %1").arg(qsos);
    }
    ops << QStringLiteral("end");
    return ops;
}

QString qsoLine(const Qso& q, const QString& date, const QString& time) {
    return sp(11) + col(q.call, 12) + QStringLiteral(" | ") +
           col(QStringLiteral("HM52") + q.WWLocator, 6) + QStringLiteral(" | ") + col(q.place, 29) +
           QStringLiteral(" | ") + col(q.prov, 2) + QStringLiteral(" | ") + col(q.band, 7) +
           QStringLiteral(" | ") + col(q.mode, 6) + QStringLiteral(" | ") + col(date, 10) +
           QStringLiteral(" | ") + col(time, 7) + QStringLiteral(" | ") + q.qsl;
}

} // namespace

class PrintoutsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyLogPrintsTheHeadingUnderTheOperatorsCall() {
        TestEnv env;
        env.setOperator(QStringLiteral("IK0XYZ"));
        printAllQSOs(*env.services, nullptr);
        QCOMPARE(env.printers.jobs.size(), size_t(1));
        const RecordedJob& job = env.printers.jobs[0];
        QVERIFY(job.ended);
        QVERIFY(sameLines(job, printoutHead(sp(14) + QStringLiteral("ALL QSOs of IK0XYZ"))));
        // Size first, then the name; no QSO line.
        QCOMPARE(opSequence(job), printoutOps(0));
        QVERIFY(env.dialogs.shown.empty());
    }

    void withoutOperatorRecordTheHeadingIsBare() {
        TestEnv env;
        Qso q;
        q.call = QStringLiteral("IW3ABC");
        q.time = QStringLiteral("21:30");
        env.addQso(q);
        printAllQSOs(*env.services, nullptr);
        std::vector<Expected> expected = printoutHead(QStringLiteral(" ALL QSOs"));
        expected.push_back(
            {qsoLine(q, QStringLiteral("05/01/04"), QStringLiteral("21.30")), CN, 8, false});
        QVERIFY(sameLines(env.printers.jobs.at(0), expected));
        // One QSO per line, printed as three items.
        QCOMPARE(opSequence(env.printers.jobs[0]), printoutOps(1));
    }

    void qsoLinesAreOrderedBySubSquareModeBandWithTheTimeNormalised() {
        TestEnv env;
        env.setOperator();
        auto make = [](const QString& loc, const QString& mode, const QString& band,
                       const QString& time) {
            Qso q;
            q.WWLocator = loc;
            q.mode = mode;
            q.band = band;
            q.time = time;
            return q;
        };
        const std::vector<Qso> logged{
            make(QStringLiteral("XX"), QStringLiteral("CW"), QStringLiteral("HF"),
                 QStringLiteral("21:30")),
            make(QStringLiteral("AB"), QStringLiteral("SSB"), QStringLiteral("HF"),
                 QStringLiteral("09:05")),
            make(QStringLiteral("AB"), QStringLiteral("MIXED"), QStringLiteral("VHF"),
                 QStringLiteral("00:00")),
            make(QStringLiteral("AB"), QStringLiteral("MIXED"), QStringLiteral("50 MHz"),
                 QStringLiteral("23:59")),
            make(QStringLiteral("AB"), QStringLiteral("CW"), QStringLiteral("SAT"),
                 QStringLiteral("10:00")),
        };
        for (const Qso& q : logged) {
            env.addQso(q);
        }
        printAllQSOs(*env.services, nullptr);
        std::vector<Expected> expected =
            printoutHead(sp(14) + QStringLiteral("ALL QSOs of IK0XYZ"));
        const std::vector<std::pair<size_t, QString>> order{{4, QStringLiteral("10.00")},
                                                            {3, QStringLiteral("23.59")},
                                                            {2, QStringLiteral("00.00")},
                                                            {1, QStringLiteral("09.05")},
                                                            {0, QStringLiteral("21.30")}};
        for (const auto& [index, time] : order) {
            expected.push_back(
                {qsoLine(logged[index], QStringLiteral("05/01/04"), time), CN, 8, false});
        }
        QVERIFY(sameLines(env.printers.jobs.at(0), expected));
        QCOMPARE(opSequence(env.printers.jobs[0]), printoutOps(5));
        for (size_t i = 7; i < expected.size(); ++i) {
            QCOMPARE(env.printers.jobs[0].lines[i].text.size(), 115);
        }
    }

    void valuesLongerThanTheirColumnAreCut() {
        TestEnv env;
        Qso q;
        q.call = QStringLiteral("IZ1234567890ABC");
        q.place = QStringLiteral("SANTA MARIA DELLE GRAZIE AL MONTE");
        q.prov = QStringLiteral("VLT");
        q.mode = QStringLiteral("DIGITAL");
        env.addQso(q);
        printAllQSOs(*env.services, nullptr);
        const QString line = env.printers.jobs.at(0).lines.at(7).text;
        QCOMPARE(line, sp(11) + QStringLiteral("IZ1234567890 | HM52AB | SANTA MARIA DELLE GRAZIE "
                                               "AL M | VL | HF      | DIGITA | 05/01/04   | "
                                               "09.05   | c"));
    }

    void aFailingPrinterIsToldAndTheProgramGoesOn() {
        TestEnv env;
        env.printers.failWith = QStringLiteral("No printer is installed on this system.");
        printAllQSOs(*env.services, nullptr);
        QCOMPARE(env.dialogs.texts(),
                 QStringList({QStringLiteral("No printer is installed on this system.")}));
        QCOMPARE(env.dialogs.shown[0].icon, Icon::Critical);
    }

    void aRealFormPrintsItsLinesAccentsAndEuroIntoAPdf() {
        TestEnv env;
        env.setOperator();
        const auto confirmed =
            addQsos(env, 10, QStringLiteral("SAT"), QStringLiteral("SSB"), QStringLiteral("c"));
        const QString pdf = env.dir.filePath(QStringLiteral("form.pdf"));
        env.services->printers = [pdf]() { return std::make_unique<QtPrinter>(pdf); };
        frmBAR& w = env.registry->bar();
        w.findChild<QComboBox*>(QStringLiteral("comboBand"))->setCurrentText(QStringLiteral("SAT"));
        w.findChild<QComboBox*>(QStringLiteral("comboMode"))->setCurrentText(QStringLiteral("SSB"));
        w.findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click();
        QCOMPARE(env.dialogs.texts(),
                 QStringList({QStringLiteral(
                     "Do you want to to convert the confirmed QSO in accredited QSO?")}));

        const QString text = pdfText(pdf);
        QVERIFY(!text.isEmpty());
        QCOMPARE(text.count(u'\f'), 1); // one page
        const QStringList lines = text.split(u'\n');
        auto has = [&lines](const QString& wanted) {
            for (const QString& line : lines) {
                if (line.simplified() == wanted.simplified()) {
                    return true;
                }
            }
            qWarning("not in the PDF: %s", qPrintable(wanted));
            return false;
        };
        QVERIFY(has(QStringLiteral("MODULO RICHIESTA DIPLOMA HM52")));
        QVERIFY(has(QStringLiteral("Il sottoscritto MARIO ROSSI con nominativo IK0XYZ")));
        QVERIFY(has(QStringLiteral("Richiede il rilascio del DIPLOMA HM52 per aver collegato e "
                                   "confermato n° 10 quadratini dello")));
        QVERIFY(has(QStringLiteral("Non si allegano le QSL originali poichè già controllate da "
                                   "due OM sottoelencati ma mi impegno a")));
        QVERIFY(has(QStringLiteral("certifica che il Radioamatore IK0XYZ è in possesso delle QSL "
                                   "per la richiesta del DIPLOMA HM52")));
        QVERIFY(text.contains(QStringLiteral("€ 5,00 più 4 francobolli da € 0,45")));
        QVERIFY(text.contains(QStringLiteral("$ 5,00 più 4 francobolli da € 0,45")));
        QVERIFY(text.contains(QStringLiteral("15 francobolli da € 0,45")));
        // The Courier New entries come back column for column, one under the other.
        qsizetype bar = -1;
        for (const LoggedQso& q : confirmed) {
            const QString wanted = entry(0, q);
            const auto found = std::find_if(lines.begin(), lines.end(),
                                            [&](const QString& l) { return l.contains(wanted); });
            QVERIFY2(found != lines.end(), qPrintable(wanted));
            const qsizetype at = found->indexOf(u'|');
            QVERIFY(bar < 0 || at == bar);
            bar = at;
        }
    }

    void aLongPrintoutRunsOverSeveralPagesWithEveryLine() {
        TestEnv env;
        env.setOperator();
        const auto logged =
            addQsos(env, 200, QStringLiteral("HF"), QStringLiteral("CW"), QStringLiteral("w"));
        const QString pdf = env.dir.filePath(QStringLiteral("log.pdf"));
        env.services->printers = [pdf]() { return std::make_unique<QtPrinter>(pdf); };
        printAllQSOs(*env.services, nullptr);
        QVERIFY(env.dialogs.shown.empty());
        const QString text = pdfText(pdf);
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        // 14-point letters span more than one 8-point column: compare words only.
        QVERIFY(pages[0].simplified().contains(QStringLiteral("ALL QSOs of IK0XYZ")));
        QVERIFY(!pages[1].contains(QStringLiteral("ALL QSOs")));
        // Every QSO line whole, once, in order, whatever page it landed on.
        qsizetype from = 0;
        for (const LoggedQso& q : logged) {
            const QString wanted = qsoLine(q.qso, q.date, q.time).trimmed();
            const qsizetype at = text.indexOf(wanted, from);
            QVERIFY2(at >= 0, qPrintable(wanted));
            from = at + wanted.size();
        }
    }

    void aLineWiderThanThePageGoesOnBelowWithNothingLost() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("wide.pdf"));
        QtPrinter printer(pdf);
        printer.setFontName(CN);
        printer.setFontSize(8);
        QString wide;
        for (int i = 0; i < 30; ++i) {
            wide += QStringLiteral("WORD%1 ").arg(i, 2, 10, QChar(u'0'));
        }
        printer.print(wide.trimmed());
        printer.endDoc();
        const QString text = pdfText(pdf).simplified();
        QCOMPARE(text, wide.simplified());
        QVERIFY(pdfText(pdf).trimmed().count(u'\n') >= 1);
    }

    void printersThatCannotPrintGiveTheSystemsReason() {
        QtPrinter missing(QtPrinter::Target::NamedPrinter,
                          QStringLiteral("no-such-printer-for-hm52"));
        missing.print(QStringLiteral("x"));
        try {
            missing.endDoc();
            QFAIL("a missing printer printed");
        } catch (const PrintError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("no-such-printer-for-hm52")),
                     qPrintable(e.text()));
        }

        QTemporaryDir dir;
        const QString unwritable = dir.filePath(QStringLiteral("no-such-folder/form.pdf"));
        QtPrinter file(unwritable);
        file.print(QStringLiteral("x"));
        try {
            file.endDoc();
            QFAIL("an unwritable file printed");
        } catch (const PrintError& e) {
            QVERIFY2(e.text().contains(QStringLiteral("No such file or directory")),
                     qPrintable(e.text()));
        }
        QVERIFY(!QFile::exists(unwritable));
    }

    void aJobLeftUnfinishedIsCancelledNotPrinted() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("half.pdf"));
        {
            QtPrinter printer(pdf);
            printer.print(QStringLiteral("HALF A FORM"));
        }
        QVERIFY(!QFile::exists(pdf) || !pdfText(pdf).contains(QStringLiteral("HALF")));
    }

    void aRequestOnAPrinterThatFailsConvertsNothing() {
        TestEnv env;
        env.setOperator();
        addQsos(env, 75, QStringLiteral("HF"), QStringLiteral("MIXED"), QStringLiteral("c"));
        env.services->printers = []() {
            return std::make_unique<QtPrinter>(QtPrinter::Target::NamedPrinter,
                                               QStringLiteral("no-such-printer-for-hm52"));
        };
        env.dialogs.answer(Answer::Yes);
        env.dialogs.answer(Answer::Yes);
        env.registry->bar().findChild<QPushButton*>(QStringLiteral("cmdPrint"))->click();
        QCOMPARE(env.dialogs.shown.size(), size_t(1));
        QVERIFY(env.dialogs.shown[0].text.contains(QStringLiteral("no-such-printer-for-hm52")));
        QCOMPARE(env.count(QStringLiteral("qsl='c'")), qint64(75));
    }
};

QTEST_MAIN(PrintoutsTest)
#include "tst_printouts.moc"
