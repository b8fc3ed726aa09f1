#include "rules/Counts.h"

#include "platform/Database.h"
#include "storage/Codes.h"
#include "storage/Module1.h"

#include <algorithm>

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

void Standing::add(SquareState s, qint64 qsos) {
    if (s > state) {
        state = s;
        behind = qsos;
    } else if (s == state && s != SquareState::None) {
        behind += qsos;
    }
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

SquareCount squareStates(Module1& m, const QString& mode, const QString& band) {
    SquareCount result;
    std::array<Standing, squares> standing{};
    // One band at a time: each query reads its QSOs' states from the award index alone
    // (mode, band, qsl, sub-square), already in the order of its groups.
    const QStringList bands = band == anyBand ? codes::bands() : QStringList{band};
    for (const QString& one : bands) {
        Recordset rs(m.logDb,
                     QStringLiteral("select WWLocator, qsl, count(*) as contatore from data "
                                    "where mode = '") +
                         mode + QStringLiteral("' and band = '") + one +
                         QStringLiteral("' group by qsl, WWLocator"));
        for (; !rs.eof(); rs.moveNext()) {
            const qint64 qsos = rs.intAt(2);
            const std::optional<SquareState> state = stateOfQsl(rs.textAt(1));
            if (!state) {
                result.unknownStates += qsos;
                continue;
            }
            const int index = squareIndex(rs.textAt(0));
            if (index >= 0) {
                standing.at(static_cast<size_t>(index)).add(*state, qsos);
            }
        }
    }
    for (size_t i = 0; i < standing.size(); ++i) {
        result.states.at(i) = standing.at(i).state;
        result.behind.at(i) = standing.at(i).behind;
    }
    return result;
}

} // namespace hm52::rules
