#include "app/LogPrintout.h"

#include "app/Form.h"
#include "app/Services.h"
#include "platform/Printer.h"
#include "storage/Codes.h"

namespace hm52 {

namespace {

// One QSO line after its eleven blanks: call, sub-square, place, province, band, mode, date,
// time and QSL state in columns of 12, 6, 29, 2, 7, 6, 10, 7 and 1 characters joined by
// " | ". A value longer than its column is cut to it ("DIGITAL" prints as "DIGITA", the
// three-letter province as its first two letters), so the bars stay one under another.
struct QsoLine {
    explicit QsoLine(const Recordset& rs)
        : call(rs.fieldIndex(QStringLiteral("call"))),
          locator(rs.fieldIndex(QStringLiteral("WWLocator"))),
          place(rs.fieldIndex(QStringLiteral("place"))),
          prov(rs.fieldIndex(QStringLiteral("prov"))), band(rs.fieldIndex(QStringLiteral("band"))),
          mode(rs.fieldIndex(QStringLiteral("mode"))), date(rs.fieldIndex(QStringLiteral("date"))),
          time(rs.fieldIndex(QStringLiteral("time"))), qsl(rs.fieldIndex(QStringLiteral("qsl"))) {
        line.reserve(120);
    }

    const QString& build(const Recordset& rs) {
        line.clear();
        printed::appendColumn(line, rs.textAt(call), 12);
        line += printed::columnSeparator;
        printed::appendColumn(line, codes::awardSquare + rs.textAt(locator), 6);
        line += printed::columnSeparator;
        printed::appendColumn(line, rs.textAt(place), 29);
        line += printed::columnSeparator;
        printed::appendColumn(line, rs.textAt(prov), 2);
        line += printed::columnSeparator;
        printed::appendColumn(line, rs.textAt(band), 7);
        line += printed::columnSeparator;
        printed::appendColumn(line, rs.textAt(mode), 6);
        line += printed::columnSeparator;
        printed::appendColumn(line, rs.textAt(date), 10);
        line += printed::columnSeparator;
        printed::appendColumn(line, printed::hourMinutes(rs.textAt(time)), 7);
        line += printed::columnSeparator;
        printed::appendColumn(line, rs.textAt(qsl), 1);
        return line;
    }

    int call, locator, place, prov, band, mode, date, time, qsl;
    QString line;
};

void printLog(Services& s) {
    const std::unique_ptr<PrinterOps> printer = s.printers();
    PrinterOps& p = *printer;
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
    QsoLine line(rs);
    for (; !rs.eof(); rs.moveNext()) {
        p.print(indent, line.build(rs), nothing);
    }
    p.endDoc();
}

} // namespace

void printAllQSOs(Services& s, QWidget* parent) {
    runHandler(s, parent, [&s]() { printLog(s); });
}

} // namespace hm52
