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

SquareCount squareStates(Module1& m, const QString& mode, const QString& band) {
    SquareCount result;
    Recordset rs(m.logDb, QStringLiteral("select WWLocator, qsl from data where mode = '") + mode +
                              QStringLiteral("' and band = '") + band + QStringLiteral("'"));
    const int squareAt = rs.fieldIndex(QStringLiteral("WWLocator"));
    const int qslAt = rs.fieldIndex(QStringLiteral("qsl"));
    for (; !rs.eof(); rs.moveNext()) {
        const int index = squareIndex(rs.textAt(squareAt));
        if (index < 0) {
            continue;
        }
        // The log's text comparison ignores letter case; so does this count.
        const QString qsl = rs.textAt(qslAt).toLower();
        SquareState state = SquareState::None;
        if (qsl == codes::accredited) {
            state = SquareState::Accredited;
        } else if (qsl == codes::confirmed) {
            state = SquareState::Confirmed;
        } else if (qsl == codes::worked) {
            state = SquareState::Worked;
        } else {
            ++result.unknownStates;
            continue;
        }
        SquareState& best = result.states.at(static_cast<size_t>(index));
        best = std::max(best, state);
    }
    return result;
}

} // namespace hm52::rules
