#pragma once

#include "storage/RadioTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <string_view>

namespace hm52 {
class Database;
}

// What an ADIF file said of a QSO that the log's own columns cannot hold (its frequency, RST,
// name, comment, QSL dates...), kept in a table of its own keyed by the QSO's number, so that
// an export gives it back as it came. The table is made by the first import that keeps
// anything; a QSO's kept fields go with it when it is deleted. The fields are kept as one
// text of "<NAME:length>value" fields.
namespace hm52::kept {

inline constexpr const char* tableName = "hm52_adif_fields";

bool exists(Database& db);
// Makes the table (and what deletes a QSO's kept fields with it) when it is not there yet.
void create(Database& db);

// Whether two field names are the same, ASCII letters in either case.
bool sameName(std::string_view a, std::string_view b);

// Appends "<NAME:length>value" or "<NAME:length:T>value", after the character `before` when
// one is given.
void appendField(QByteArray& out, std::string_view name, QByteArrayView value, char type = 0,
                 char before = 0);

// Calls `each(name, type, value)` for every field of a text of fields written by
// appendField; stops at the first that is not well formed.
template <class Each> void forEachField(QByteArrayView text, Each&& each);

// Watches an edit of one QSO: the kept fields that spoke of a column the edit changed
// (BAND, FREQ and PROP_MODE of the band, MODE and SUBMODE of the mode...), or of an exact
// value it changed, no longer agree with the log and are dropped.
class EditWatch {
public:
    EditWatch(Database& db, qint64 count);
    // Call after the edited row is stored, in the same transaction.
    void afterEdit();
    // The log's columns it compares.
    static constexpr int columns = 9;

private:
    std::array<QString, columns> read() const;
    Database& db_;
    qint64 count_;
    bool active_ = false;
    std::array<QString, columns> before_;
    radiotable::Values radioBefore_;
};

// ---------------------------------------------------------------------------------------

template <class Each> void forEachField(QByteArrayView text, Each&& each) {
    qsizetype at = 0;
    const qsizetype end = text.size();
    while (at < end && text[at] == '<') {
        const qsizetype colon = text.indexOf(':', at);
        const qsizetype close = text.indexOf('>', at);
        if (colon < 0 || close < 0 || colon > close) {
            return;
        }
        const QByteArrayView lengthAndType = text.sliced(colon + 1, close - colon - 1);
        const qsizetype second = lengthAndType.indexOf(':');
        bool ok = false;
        const qsizetype length =
            (second < 0 ? lengthAndType : lengthAndType.first(second)).toLongLong(&ok);
        if (!ok || length < 0 || length > end - close - 1) {
            return;
        }
        const char type =
            second >= 0 && second + 1 < lengthAndType.size() ? lengthAndType[second + 1] : '\0';
        const QByteArrayView name = text.sliced(at + 1, colon - at - 1);
        each(std::string_view(name.data(), static_cast<size_t>(name.size())), type,
             text.sliced(close + 1, length));
        at = close + 1 + length;
    }
}

} // namespace hm52::kept
