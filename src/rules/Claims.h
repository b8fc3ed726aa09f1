#pragma once

#include <QString>

#include <vector>

namespace hm52 {
class Database;
class Module1;
} // namespace hm52

// What the award's requests claim: the figures of each band, the queries that count and list
// the QSOs of a band and mode, which confirmed QSOs a request claims, and their conversion to
// accredited once the request is printed.
namespace hm52::rules {

// The figures of a band: the base figure N (QSOs the base award claims) and the endorsement
// figure E (QSOs each endorsement claims); 0 for a text that is not one of the six bands.
int baseFigure(const QString& band);
int endorsementFigure(const QString& band);

// The queries of the requests, band and mode as the lists hold them (no quote can stand in
// them).
QString accreditedCountSql(const QString& band, const QString& mode);
QString confirmedCountSql(const QString& band, const QString& mode);
QString confirmedListSql(const QString& band, const QString& mode);
inline const QString operatorCountSql =
    QStringLiteral("select count(*) as contatore from userData");

// One claimed QSO, with the fields the request form lists, as the engine hands them back.
struct ClaimedQso {
    qint64 count = 0;
    QString call, locator, place, prov, date, time;
};

// The QSOs a request claims: the first `n` confirmed QSOs of the band and mode in order of
// their sub-square letters (fewer when the log holds fewer).
std::vector<ClaimedQso> claim(Module1& m, const QString& band, const QString& mode, int n);

// Turns the claimed QSOs from confirmed into accredited, all of them or none: a QSO that is
// no longer a confirmed one, or any failure of the engine, leaves every one as it was and
// throws DbError.
void convertToAccredited(Database& logDb, const std::vector<qint64>& counts);

// Where a band and mode stand toward their next request, counted as the requests count.
struct RequestStatus {
    int base = 0;        // N
    int endorsement = 0; // E
    qint64 confirmed = 0;
    qint64 accredited = 0;
    bool baseHeld() const { return accredited >= base; }
    // The next request: 0 for the base award, k for the k-th endorsement.
    int nextRequest() const;
    // How many QSOs the next request claims, and whether the log holds them confirmed.
    int needed() const { return baseHeld() ? endorsement : base; }
    bool canRequest() const { return confirmed >= needed(); }
    // The status as one line: "Base award: 12 of 75 confirmed, 63 more needed",
    // "Endorsement 2: 5 of 5 confirmed, can be requested".
    QString text() const;
};
RequestStatus requestStatus(Module1& m, const QString& band, const QString& mode);

} // namespace hm52::rules
