#include "rules/Claims.h"

#include "platform/Database.h"
#include "storage/Codes.h"
#include "storage/Module1.h"

#include <algorithm>

namespace hm52::rules {

namespace {

struct Figures {
    int base;
    int endorsement;
};

Figures figures(const QString& band) {
    static const int base[] = {75, 30, 30, 20, 10, 10};
    static const int endorsement[] = {25, 10, 10, 5, 5, 5};
    const auto at = codes::bands().indexOf(band);
    if (at < 0) {
        return {0, 0};
    }
    return {base[at], endorsement[at]};
}

QString bandModeWhere(const QString& band, const QString& mode, const QString& qsl) {
    return QStringLiteral("where mode = '") + mode + QStringLiteral("' and qsl = '") + qsl +
           QStringLiteral("' and band = '") + band + u'\'';
}

} // namespace

int baseFigure(const QString& band) {
    return figures(band).base;
}
int endorsementFigure(const QString& band) {
    return figures(band).endorsement;
}

QString accreditedCountSql(const QString& band, const QString& mode) {
    return QStringLiteral("select count(*) as contatore from data ") +
           bandModeWhere(band, mode, codes::accredited);
}

QString confirmedCountSql(const QString& band, const QString& mode) {
    return QStringLiteral("select count(*) as contatore from data ") +
           bandModeWhere(band, mode, codes::confirmed);
}

QString confirmedListSql(const QString& band, const QString& mode) {
    return QStringLiteral("select * from data ") + bandModeWhere(band, mode, codes::confirmed) +
           QStringLiteral(" order by WWLocator");
}

std::vector<ClaimedQso> claim(Module1& m, const QString& band, const QString& mode, int n) {
    std::vector<ClaimedQso> claimed;
    claimed.reserve(static_cast<size_t>(std::max(n, 0)));
    Recordset list(m.logDb, confirmedListSql(band, mode));
    const int count = list.fieldIndex(QStringLiteral("count"));
    const int call = list.fieldIndex(QStringLiteral("call"));
    const int locator = list.fieldIndex(QStringLiteral("WWLocator"));
    const int place = list.fieldIndex(QStringLiteral("place"));
    const int prov = list.fieldIndex(QStringLiteral("prov"));
    const int date = list.fieldIndex(QStringLiteral("date"));
    const int time = list.fieldIndex(QStringLiteral("time"));
    for (int i = 0; i < n && !list.eof(); ++i) {
        claimed.push_back({list.intAt(count), list.textAt(call), list.textAt(locator),
                           list.textAt(place), list.textAt(prov), list.textAt(date),
                           list.textAt(time)});
        list.moveNext();
    }
    return claimed;
}

void convertToAccredited(Database& logDb, const std::vector<qint64>& counts) {
    Transaction transaction(logDb);
    for (const qint64 number : counts) {
        Recordset row(logDb, QStringLiteral("select * from data where count = ") +
                                 QString::number(number));
        if (row.eof() || !codes::isState(row.text(QStringLiteral("qsl")), codes::confirmed)) {
            throw DbError(QStringLiteral("QSO number %1 is no longer a confirmed QSO of the log.")
                              .arg(number));
        }
        row.edit();
        row.setField(QStringLiteral("qsl"), codes::accredited);
        row.update();
    }
    transaction.commit();
}

int RequestStatus::nextRequest() const {
    if (!baseHeld() || endorsement <= 0) {
        return 0;
    }
    return static_cast<int>((accredited - base) / endorsement) + 1;
}

QString RequestStatus::text() const {
    const QString request = baseHeld() ? QStringLiteral("Endorsement %1").arg(nextRequest())
                                       : QStringLiteral("Base award");
    const qint64 towardIt = std::min<qint64>(confirmed, needed());
    const QString state = canRequest() ? QStringLiteral("can be requested")
                                       : QStringLiteral("%1 more needed").arg(needed() - confirmed);
    return QStringLiteral("%1: %2 of %3 confirmed, %4")
        .arg(request, QString::number(towardIt), QString::number(needed()), state);
}

RequestStatus requestStatus(Module1& m, const QString& band, const QString& mode) {
    RequestStatus status;
    status.base = baseFigure(band);
    status.endorsement = endorsementFigure(band);
    status.confirmed = m.contatore(confirmedCountSql(band, mode));
    status.accredited = m.contatore(accreditedCountSql(band, mode));
    return status;
}

} // namespace hm52::rules
