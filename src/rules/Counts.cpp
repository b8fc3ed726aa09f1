#include "rules/Counts.h"

#include "platform/Database.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/QuoteSql.h"

#include <algorithm>
#include <vector>

namespace hm52::rules {

QString cellSql(const QString& mode, const QString& band, QChar qsl) {
    return QStringLiteral(" select count(*) as contatore from data where mode = '") + mode +
           QStringLiteral("' and band='") + band + QStringLiteral("' and qsl='") + qsl + u'\'';
}

qint64 cell(Module1& m, const QString& mode, const QString& band, QChar qsl) {
    const Recordset& rs = m.openShared(cellSql(mode, band, qsl));
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

int squareIndex(const QString& letters) {
    if (letters.size() != 2) {
        return -1;
    }
    const int column = letters.at(0).toUpper().unicode() - u'A';
    const int row = letters.at(1).toUpper().unicode() - u'A';
    if (column < 0 || column >= side || row < 0 || row >= side) {
        return -1;
    }
    return row * side + column;
}

QString squareLetters(int index) {
    if (index < 0 || index >= squares) {
        return {};
    }
    return QString(QChar(u'A' + index % side)) + QChar(u'A' + index / side);
}

std::optional<SquareState> stateOfQsl(const QString& qsl) {
    // The log's text comparison ignores letter case; so does every reading of a state.
    if (codes::isState(qsl, codes::accredited)) {
        return SquareState::Accredited;
    }
    if (codes::isState(qsl, codes::confirmed)) {
        return SquareState::Confirmed;
    }
    if (codes::isState(qsl, codes::worked)) {
        return SquareState::Worked;
    }
    return std::nullopt;
}

QString stateName(SquareState state) {
    switch (state) {
    case SquareState::None:
        break;
    case SquareState::Worked:
        return QStringLiteral("worked");
    case SquareState::Confirmed:
        return QStringLiteral("confirmed");
    case SquareState::Accredited:
        return QStringLiteral("accredited");
    }
    return QStringLiteral("not worked");
}

int SquareCount::inState(SquareState state) const {
    return static_cast<int>(std::count(states.begin(), states.end(), state));
}

QString SquareCount::text() const {
    QString counts =
        QStringLiteral("Sub-squares: worked %1, confirmed %2, accredited %3, not worked %4")
            .arg(inState(SquareState::Worked))
            .arg(inState(SquareState::Confirmed))
            .arg(inState(SquareState::Accredited))
            .arg(inState(SquareState::None));
    if (unknownStates > 0) {
        counts += QStringLiteral("\n%1 QSOs hold a QSL state that is not w, c or a: not shown")
                      .arg(unknownStates);
    }
    return counts;
}

namespace {

// The distinct values of a column among the QSOs that `where` selects, found in an index that
// leads with the columns of `where` and then the column: one seek per value, however many QSOs
// stand behind each. The column's own collation (letter case ignored) makes "w" and "W" one
// value.
QStringList distinctValues(Database& db, const QString& column, const QString& where) {
    const QString from = QStringLiteral(" from data where ") + where;
    Recordset rs(db, QStringLiteral("with recursive v(x) as (select min(") + column + u')' + from +
                         QStringLiteral(" union all select (select min(") + column + u')' + from +
                         QStringLiteral(" and ") + column +
                         QStringLiteral(" > v.x) from v where v.x is not null) "
                                        "select x from v where x is not null"));
    QStringList values;
    for (; !rs.eof(); rs.moveNext()) {
        values << rs.textAt(0);
    }
    return values;
}

} // namespace

QString qslCode(SquareState state) {
    switch (state) {
    case SquareState::None:
        break;
    case SquareState::Worked:
        return codes::worked;
    case SquareState::Confirmed:
        return codes::confirmed;
    case SquareState::Accredited:
        return codes::accredited;
    }
    return {};
}

SquareCount squareStates(Module1& m, const QString& mode, const QString& band) {
    SquareCount result;
    const QStringList bands = band == anyBand ? codes::bands() : QStringList{band};
    const QString group = QStringLiteral("mode = '") + mode + QStringLiteral("' and band in ('") +
                          bands.join(QStringLiteral("', '")) + QStringLiteral("')");
    // Best state first: a sub-square that has one is not asked about the lower ones. Each
    // question is one seek in the sub-square index per sub-square and band, however many QSOs
    // the log holds.
    std::vector<int> open(squares);
    for (int i = 0; i < squares; ++i) {
        open[static_cast<size_t>(i)] = i;
    }
    for (const SquareState state :
         {SquareState::Accredited, SquareState::Confirmed, SquareState::Worked}) {
        if (open.empty()) {
            break;
        }
        QStringList values;
        for (const int i : open) {
            values << QStringLiteral("('") + squareLetters(i) + QStringLiteral("')");
        }
        Recordset rs(m.logDb, QStringLiteral("with s(l) as (values ") + values.join(u',') +
                                  QStringLiteral(") select l from s where exists (select 1 "
                                                 "from data where ") +
                                  group + QStringLiteral(" and qsl = '") + qslCode(state) +
                                  QStringLiteral("' and WWLocator = s.l)"));
        for (; !rs.eof(); rs.moveNext()) {
            result.states.at(static_cast<size_t>(squareIndex(rs.textAt(0)))) = state;
        }
        std::erase_if(open, [&result](int i) {
            return result.states.at(static_cast<size_t>(i)) != SquareState::None;
        });
    }
    // The QSOs that hold no QSL state of the log: the award index gives the group's values.
    for (const QString& one : bands) {
        const QString where =
            QStringLiteral("mode = '") + mode + QStringLiteral("' and band = '") + one + u'\'';
        for (const QString& qsl : distinctValues(m.logDb, QStringLiteral("qsl"), where)) {
            if (!stateOfQsl(qsl)) {
                result.unknownStates +=
                    m.contatore(QStringLiteral("select count(*) as contatore from data where ") +
                                where + QStringLiteral(" and qsl = '") + QuoteSql(qsl) + u'\'');
            }
        }
        result.unknownStates +=
            m.contatore(QStringLiteral("select count(*) as contatore from data where ") + where +
                        QStringLiteral(" and qsl is null"));
    }
    return result;
}

} // namespace hm52::rules
