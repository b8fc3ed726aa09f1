#include "storage/KeptFields.h"

#include "platform/Database.h"
#include "platform/PreparedWrite.h"

#include <charconv>
#include <cstring>

namespace hm52::kept {

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; };
        if (up(a[i]) != up(b[i])) {
            return false;
        }
    }
    return true;
}

namespace {

// The log's columns, in the order EditWatch reads them.
enum Column { Call, Square, Place, Prov, Mode, Band, Date, Time, Qsl, columnCount };
static_assert(columnCount == EditWatch::columns);

// The fields that speak of each column, dropped when an edit changes that column.
const std::vector<std::string_view>& namesOf(int column) {
    static const std::array<std::vector<std::string_view>, columnCount> names{{
        {},                                                                          // call
        {"GRIDSQUARE", "GRIDSQUARE_EXT", "VUCC_GRIDS"},                              // sub-square
        {"QTH"},                                                                     // place
        {"STATE", "CNTY"},                                                           // province
        {"MODE", "SUBMODE"},                                                         // mode
        {"BAND", "BAND_RX", "FREQ", "FREQ_RX", "PROP_MODE", "SAT_NAME", "SAT_MODE"}, // band
        {"QSO_DATE"},                                                                // date
        {"TIME_ON"},                                                                 // time
        {},                                                                          // qsl
    }};
    return names[static_cast<size_t>(column)];
}

QString selectOf(qint64 count) {
    return QStringLiteral("select fields from %1 where count = %2")
        .arg(QLatin1String(tableName))
        .arg(count);
}

} // namespace

bool exists(Database& db) {
    return db.scalar(QStringLiteral("select count(*) from sqlite_master where type = 'table' and "
                                    "name = '%1'")
                         .arg(QLatin1String(tableName)))
               .toLongLong() > 0;
}

void create(Database& db) {
    db.execute(QStringLiteral("create table if not exists %1 (count INTEGER PRIMARY KEY, "
                              "fields BLOB NOT NULL)")
                   .arg(QLatin1String(tableName)));
    db.execute(QStringLiteral("create trigger if not exists %1_gone after delete on data begin "
                              "delete from %1 where count = old.count; end")
                   .arg(QLatin1String(tableName)));
}

void appendField(QByteArray& out, std::string_view name, QByteArrayView value, char type,
                 char before) {
    // What follows the name is put together on the stack, and the whole field copied in at
    // once: the export writes fifteen million fields of a million QSOs.
    char rest[32];
    char* at = rest;
    *at++ = ':';
    at = std::to_chars(at, rest + sizeof rest, value.size()).ptr;
    if (type != 0) {
        *at++ = ':';
        *at++ = type;
    }
    *at++ = '>';
    const qsizetype start = out.size();
    const auto nameSize = static_cast<qsizetype>(name.size());
    const qsizetype restSize = at - rest;
    out.resize(start + (before != 0 ? 1 : 0) + 1 + nameSize + restSize + value.size());
    char* to = out.data() + start;
    if (before != 0) {
        *to++ = before;
    }
    *to++ = '<';
    std::memcpy(to, name.data(), static_cast<size_t>(nameSize));
    to += nameSize;
    std::memcpy(to, rest, static_cast<size_t>(restSize));
    to += restSize;
    if (!value.isEmpty()) {
        std::memcpy(to, value.data(), static_cast<size_t>(value.size()));
    }
}

EditWatch::EditWatch(Database& db, qint64 count) : db_(db), count_(count) {
    active_ = exists(db_);
    if (active_) {
        before_ = read();
        radioBefore_ = radiotable::read(db_, count_);
    }
}

std::array<QString, EditWatch::columns> EditWatch::read() const {
    Recordset rs(db_, QStringLiteral("select call, WWLocator, place, prov, mode, band, "
                                     "date || '', time || '', qsl from data where count = %1")
                          .arg(count_));
    std::array<QString, columns> row;
    if (!rs.eof()) {
        for (int i = 0; i < columns; ++i) {
            row[static_cast<size_t>(i)] = rs.textAt(i);
        }
    }
    return row;
}

void EditWatch::afterEdit() {
    if (!active_) {
        return;
    }
    const std::array<QString, columns> after = read();
    std::vector<std::string_view> dropped;
    for (int i = 0; i < columns; ++i) {
        if (after[static_cast<size_t>(i)] != before_[static_cast<size_t>(i)]) {
            const auto& names = namesOf(i);
            dropped.insert(dropped.end(), names.begin(), names.end());
        }
    }
    const radiotable::Values radio = radiotable::read(db_, count_);
    if (radio.band != radioBefore_.band || radio.freq != radioBefore_.freq) {
        dropped.insert(dropped.end(), namesOf(Band).begin(), namesOf(Band).end());
    }
    if (radio.mode != radioBefore_.mode || radio.submode != radioBefore_.submode) {
        dropped.insert(dropped.end(), namesOf(Mode).begin(), namesOf(Mode).end());
    }
    if (dropped.empty()) {
        return;
    }
    Recordset rs(db_, selectOf(count_));
    if (rs.eof()) {
        return;
    }
    const QByteArray fields = rs.utf8At(0).toByteArray();
    rs.finish();
    QByteArray left;
    forEachField(fields, [&](std::string_view name, char type, QByteArrayView value) {
        for (const std::string_view d : dropped) {
            if (sameName(name, d)) {
                return;
            }
        }
        appendField(left, name, value, type);
    });
    if (left == fields) {
        return;
    }
    if (left.isEmpty()) {
        PreparedWrite(
            db_, QStringLiteral("delete from %1 where count = ?1").arg(QLatin1String(tableName)))
            .bind(1, count_)
            .run();
        return;
    }
    PreparedWrite(
        db_,
        QStringLiteral("update %1 set fields = ?2 where count = ?1").arg(QLatin1String(tableName)))
        .bind(1, count_)
        .bindBlob(2, left)
        .run();
}

} // namespace hm52::kept
