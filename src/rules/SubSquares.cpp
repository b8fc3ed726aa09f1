#include "rules/SubSquares.h"

#include "platform/Database.h"
#include "rules/Claims.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/QuoteSql.h"

#include <algorithm>

namespace hm52::rules {

namespace {

bool sameText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

bool takes(const SquareQso& qso, const QString& mode, const QString& band) {
    if (!sameText(qso.mode, mode)) {
        return false;
    }
    if (band == anyBand) {
        return codes::bands().contains(qso.band, Qt::CaseInsensitive);
    }
    return sameText(qso.band, band);
}

SquareStanding standingOf(const std::vector<SquareQso>& qsos, const QString& mode,
                          const QString& band) {
    SquareStanding standing;
    for (const SquareQso& qso : qsos) {
        if (const auto state = stateOfQsl(qso.qsl); state && takes(qso, mode, band)) {
            standing.state = std::max(standing.state, *state);
        }
    }
    if (standing.state != SquareState::None) {
        for (const SquareQso& qso : qsos) {
            if (stateOfQsl(qso.qsl) == standing.state && takes(qso, mode, band)) {
                standing.behind.push_back(qso);
            }
        }
    }
    return standing;
}

std::vector<SquareQso> squareQsos(Module1& m, const QString& letters, const QString& mode,
                                  const QString& band, std::optional<qint64> except,
                                  std::optional<SquareState> only) {
    // The sub-square index (sub-square, band, mode, QSL state) finds the few QSOs of one
    // sub-square among any number, for anyBand one band after another.
    QString sql = QStringLiteral("select count, call, date, time, band, mode, qsl from data "
                                 "where WWLocator = '") +
                  QuoteSql(letters) + u'\'';
    if (band == anyBand) {
        sql += QStringLiteral(" and band in ('") + codes::bands().join(QStringLiteral("', '")) +
               QStringLiteral("')");
    } else {
        sql += QStringLiteral(" and band = '") + band + u'\'';
    }
    sql += QStringLiteral(" and mode = '") + mode + u'\'';
    if (except) {
        sql += QStringLiteral(" and count <> ") + QString::number(*except);
    }
    if (only && *only != SquareState::None) {
        sql += QStringLiteral(" and qsl = '") + qslCode(*only) + u'\'';
    }
    sql += QStringLiteral(" order by date, time, count");
    std::vector<SquareQso> qsos;
    Recordset rs(m.logDb, sql);
    for (; !rs.eof(); rs.moveNext()) {
        qsos.push_back(
            {rs.intAt(0), rs.textAt(1), rs.textAt(2), rs.textAt(4), rs.textAt(5), rs.textAt(6)});
    }
    return qsos;
}

QString qsoText(const SquareQso& qso, bool withBand) {
    QString text = qso.call + u' ' + qso.date;
    if (withBand) {
        text += u' ' + qso.band;
    }
    return text;
}

QString behindText(const SquareStanding& standing, bool withBand) {
    QStringList texts;
    for (const SquareQso& qso : standing.behind) {
        texts << qsoText(qso, withBand);
    }
    return texts.join(QStringLiteral(", "));
}

QString bringsText(const QString& letters, const QString& band, const QString& mode,
                   const SquareStanding& standing) {
    const QString head = codes::awardSquare + letters.toUpper() + QStringLiteral(" on ") + band +
                         u' ' + mode + QStringLiteral(": ");
    const auto qsos = static_cast<qint64>(standing.behind.size());
    switch (standing.state) {
    case SquareState::None:
        break;
    case SquareState::Worked:
        return head + (qsos == 1 ? QStringLiteral("worked once, no card yet")
                                 : QStringLiteral("worked %1 times, no card yet").arg(qsos));
    case SquareState::Confirmed: {
        QStringList numbers;
        for (const SquareQso& qso : standing.behind) {
            numbers << QString::number(qso.count);
        }
        return head + QStringLiteral("confirmed (%1 %2)")
                          .arg(qsos == 1 ? QStringLiteral("QSO") : QStringLiteral("QSOs"),
                               numbers.join(QStringLiteral(", ")));
    }
    case SquareState::Accredited:
        return head + QStringLiteral("accredited: a new QSO will be refused");
    }
    return head + QStringLiteral("new sub-square");
}

QString brings(Module1& m, const QString& letters, const QString& band, const QString& mode,
               std::optional<qint64> except) {
    if (letters.size() != 2 || squareIndex(letters) < 0) {
        return {};
    }
    try {
        return bringsText(letters, band, mode,
                          standingOf(squareQsos(m, letters, mode, band, except), mode, band));
    } catch (const Failure& e) {
        // A line beside the form says its failure there, never in a box that would take the
        // focus from the typing.
        return codes::awardSquare + letters.toUpper() +
               QStringLiteral(": the log cannot be read: ") + e.text();
    }
}

QString progressText(Module1& m, const QString& band, const QString& mode) {
    if (band == anyBand) {
        return QStringLiteral("Requests are made band by band: choose a band to see what its "
                              "next request needs");
    }
    return requestStatus(m, band, mode).text();
}

} // namespace hm52::rules
