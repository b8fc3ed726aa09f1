#include "browser/ListOrder.h"

#include "platform/Database.h"
#include "platform/ReadConnection.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cstring>

namespace hm52 {

namespace {

// The columns of a listing's "order by", in order: "order by call, Band, Mode, prov asc;"
// gives call, band, mode, prov.
QStringList orderColumns(const QString& sql) {
    static const QRegularExpression orderBy(QStringLiteral(R"(\border\s+by\s+(.*)$)"),
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    const auto m = orderBy.match(sql);
    if (!m.hasMatch()) {
        return {};
    }
    QStringList columns;
    static const QRegularExpression column(QStringLiteral(R"(^\s*([A-Za-z_]+)(\s+asc)?\s*;?\s*$)"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const QString& part : m.captured(1).split(u',')) {
        const auto c = column.match(part);
        if (!c.hasMatch()) {
            return {}; // descending, an expression: not followed here
        }
        columns << c.captured(1).toLower();
    }
    return columns;
}

} // namespace

ListOrder::ListOrder(std::vector<bool> noCase, std::unique_ptr<Recordset> lookup)
    : noCase_(std::move(noCase)), lookup_(std::move(lookup)) {}

ListOrder::~ListOrder() = default;

std::unique_ptr<ListOrder> ListOrder::study(Database& db, const Recordset& listing) {
    const QStringList columns = orderColumns(listing.sql());
    if (columns.isEmpty() || listing.statementText().contains(u'?')) {
        return nullptr;
    }
    // The engine's plan: one index walked in order, no sorting of its own.
    QString index;
    Recordset plan(db, QStringLiteral("EXPLAIN QUERY PLAN ") + listing.statementText());
    const int detailAt = plan.fieldIndex(QStringLiteral("detail"));
    static const QRegularExpression usingIndex(
        QStringLiteral(R"(USING (?:COVERING )?INDEX (\w+))"));
    for (; !plan.eof(); plan.moveNext()) {
        const QString detail = plan.textAt(detailAt);
        if (detail.contains(QLatin1String("TEMP B-TREE"))) {
            return nullptr;
        }
        if (const auto m = usingIndex.match(detail); m.hasMatch()) {
            index = m.captured(1);
        }
    }
    if (index.isEmpty()) {
        return nullptr;
    }
    QStringList indexed;
    Recordset info(db, QStringLiteral("PRAGMA index_info(%1)").arg(quoteIdentifier(index)));
    for (; !info.eof(); info.moveNext()) {
        indexed << info.text(QStringLiteral("name")).toLower();
    }
    if (indexed != columns) {
        return nullptr;
    }
    std::vector<bool> noCase;
    for (const QString& column : columns) {
        const QString collation = collationOf(db, "data", column);
        if (collation.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0) {
            noCase.push_back(true);
        } else if (collation.compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0) {
            noCase.push_back(false);
        } else {
            return nullptr;
        }
    }
    auto lookup = std::make_unique<Recordset>(
        db, QStringLiteral("select %1 from data where count = :key").arg(columns.join(u',')));
    return std::unique_ptr<ListOrder>(new ListOrder(std::move(noCase), std::move(lookup)));
}

bool ListOrder::valuesOf(qint32 key, std::vector<Value>& values) {
    lookup_->bind(":key", key);
    const bool found = !lookup_->eof();
    values.resize(noCase_.size());
    if (found) {
        for (size_t i = 0; i < noCase_.size(); ++i) {
            const int at = static_cast<int>(i);
            values[i].null = lookup_->nullAt(at);
            values[i].bytes = lookup_->utf8At(at).toByteArray();
        }
    }
    lookup_->finish(); // no lock held between look-ups
    return found;
}

bool ListOrder::exists(qint32 key) {
    return valuesOf(key, a_);
}

bool ListOrder::before(qint32 a, qint32 b) {
    valuesOf(a, a_);
    valuesOf(b, b_);
    for (size_t i = 0; i < noCase_.size(); ++i) {
        const Value& x = a_[i];
        const Value& y = b_[i];
        if (x.null != y.null) {
            return x.null; // no value sorts first
        }
        const int n = static_cast<int>(std::min(x.bytes.size(), y.bytes.size()));
        // As the engine compares them: NOCASE folds the ASCII letters only, then the shorter
        // text comes first.
        int c = noCase_[i]
                    ? compareNoCase(x.bytes.constData(), y.bytes.constData(), n)
                    : std::memcmp(x.bytes.constData(), y.bytes.constData(), static_cast<size_t>(n));
        if (c == 0) {
            c = static_cast<int>(x.bytes.size() - y.bytes.size());
        }
        if (c != 0) {
            return c < 0;
        }
    }
    return a < b; // then by the QSO's number, the rowid that ends every index entry
}

} // namespace hm52
