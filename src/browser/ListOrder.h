#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace hm52 {

class Database;
class Recordset;

// The order of a listing of the whole log, followed row by row: when an index of the log
// holds exactly the listing's order columns, its rows come in that index's order (the order
// columns as the log compares them, then the QSO's number), so the place of one changed QSO
// can be found among the listed ones without listing the whole log again.
class ListOrder {
public:
    ~ListOrder();
    ListOrder(const ListOrder&) = delete;
    ListOrder& operator=(const ListOrder&) = delete;

    // Studies a listing as the engine runs it; none when its order cannot be followed (no
    // index gives it whole, or its columns compare in a way not known here).
    static std::unique_ptr<ListOrder> study(Database& db, const Recordset& listing);

    // The QSO is in the log; and whether QSO a comes before QSO b in the listing.
    bool exists(qint32 key);
    bool before(qint32 a, qint32 b);

private:
    struct Value {
        bool null = false;
        QByteArray bytes;
    };
    ListOrder(std::vector<bool> noCase, std::unique_ptr<Recordset> lookup);
    bool valuesOf(qint32 key, std::vector<Value>& values);

    std::vector<bool> noCase_; // per order column: compared without regard to letter case
    std::unique_ptr<Recordset> lookup_;
    std::vector<Value> a_;
    std::vector<Value> b_;
};

} // namespace hm52
