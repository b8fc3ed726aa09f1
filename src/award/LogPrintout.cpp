#include "award/LogPrintout.h"

#include "platform/Printer.h"
#include "storage/Codes.h"
#include "ui/FixedWidth.h"
#include "ui/Form.h"
#include "ui/Services.h"

#include <QDate>

namespace hm52 {

namespace {

// One QSO line after its eleven blanks: call, sub-square, place, province, band, mode, date,
// time and QSL state in columns of 12, 6, 29, 2, 7, 6, 10, 7 and 1 characters. A value longer
// than its column is cut to it ("DIGITAL" prints as "DIGITA", the three-letter province as its
// first two letters), so the bars stay one under another.
struct QsoLine {
    explicit QsoLine(const Recordset& rs) {
        const char* const names[] = {"call", "WWLocator", "place", "prov", "band",
                                     "mode", "date",      "time",  "qsl"};
        for (int i = 0; i < 9; ++i) {
            at[i] = rs.fieldIndex(QLatin1String(names[i]));
        }
    }
    QString build(const Recordset& rs) const {
        return fixed::Line()
            .column(rs.textAt(at[0]), 12)
            .column(codes::awardSquare + rs.textAt(at[1]), 6)
            .column(rs.textAt(at[2]), 29)
            .column(rs.textAt(at[3]), 2)
            .column(rs.textAt(at[4]), 7)
            .column(rs.textAt(at[5]), 6)
            .column(rs.textAt(at[6]), 10)
            .column(fixed::hourMinutes(rs.textAt(at[7])), 7)
            .column(rs.textAt(at[8]), 1)
            .text();
    }
    int at[9] = {};
};

QString jobTitle(Output output) {
    switch (output) {
    case Output::Printer:
        break;
    case Output::Preview:
        return QStringLiteral("Preview all QSOs");
    case Output::Pdf:
        return QStringLiteral("Save all QSOs as PDF");
    }
    return QStringLiteral("Print all QSOs");
}

void printLog(Services& s, QWidget* parent, Output output) {
    PrintJob job(s, parent, output, jobTitle(output),
                 QStringLiteral("hm52-log-%1.pdf")
                     .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    if (!job.opened()) {
        return;
    }
    PrinterOps& p = job.ops();
    const QString blankLine = QStringLiteral(" ");

    p.setFontSize(8);
    p.setFontName(QStringLiteral("Courier New"));
    QString operatorCall;
    {
        Recordset& rs = s.m.openShared(QStringLiteral("select call from userData"));
        if (!rs.eof()) {
            operatorCall = rs.text(QStringLiteral("call"));
        }
    }
    p.print(blankLine);
    p.print(blankLine);
    p.print(blankLine);
    const qint64 calls =
        s.m.contatore(QStringLiteral("select count(call) as contatore from userData"));
    p.setFontSize(14);
    if (calls != 0) {
        p.print(QStringLiteral("              ALL QSOs of ") + operatorCall);
    } else {
        p.print(QStringLiteral(" ALL QSOs"));
    }
    Recordset& rs =
        s.m.openShared(QStringLiteral("select * from data order by WWLocator, mode, band"));
    p.print(blankLine);
    p.print(blankLine);
    p.print(blankLine);
    p.setFontSize(8);

    const QString indent(11, u' ');
    const QString nothing;
    const QsoLine line(rs);
    const qint64 qsos = s.m.contatore(QStringLiteral("select count(*) as contatore from data"));
    qint64 read = 0;
    for (; !rs.eof(); rs.moveNext()) {
        p.print(indent, line.build(rs), nothing);
        job.readQsos(++read, qsos);
    }
    job.end();
}

} // namespace

void printAllQSOs(Services& s, QWidget* parent, Output output) {
    runHandler(s, parent, [&s, parent, output]() { printLog(s, parent, output); });
}

} // namespace hm52
