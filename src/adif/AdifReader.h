#pragma once

#include "platform/AsciiText.h"

#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// Reading ADIF (.adi) files as bytes, one record at a time.
//
// The reader is lenient where writers differ and strict where a value could be misread:
// an optional header (a file whose first character is '<' has none), tags and field names in
// any letter case, fields in any order, optional type letters (<QSO_DATE:8:D>), CR, LF or
// CRLF between fields, a UTF-8 byte-order mark. Lengths count bytes; when a UTF-8 value's
// byte count cuts a character or leaves the value short of the next tag, the length is tried
// again as a count of characters. A length that would run over the record's <EOR> or over the
// next field's tag is wrong: the record is reported and reading goes on at that tag, so one
// wrong digit never swallows the records after it. A record that cannot be read carries the
// reason in `error`: it is handed on like every other record, never dropped. Tags without a
// value after the last record (<APP_LoTW_EOF>, <EOF>) are no record.
namespace hm52::adif {

// The fields the program reads; every other field is skipped.
enum class Field : std::uint8_t {
    Call,
    GridSquare,
    VuccGrids,
    QsoDate,
    TimeOn,
    Qth,
    State,
    Band,
    Freq,
    PropMode,
    Mode,
    Submode,
    QslRcvd,
    LotwQslRcvd,
    EqslQslRcvd,
    SatName,
    // This program's own application fields.
    AppCount,
    AppBand,
    AppMode,
    AppQsl,
    AppLocator,
    AppPlace,
    AppCall,
    AppProv,
    AppDate,
    AppTime,
    AppNull,
    AppImplied,
};
constexpr int fieldCount = static_cast<int>(Field::AppImplied) + 1;

// The ADIF name of a field, upper case ("QSO_DATE", "APP_HM52_BAND").
const char* fieldName(Field f);

// A value as it stands in the file: a view into the file's bytes.
struct Value {
    const char* data = nullptr;
    std::int64_t size = 0;
    bool present = false;
};

// Any field of a record as the file wrote it: its name in the file's letter case, its type
// letter (0 for none) and its value, views into the file's bytes.
struct RawField {
    std::string_view name;
    char type = 0;
    std::string_view value;
};

struct Record {
    int number = 0;            // 1 for the file's first record
    std::int64_t offset = 0;   // byte offset of the record's first tag
    int fieldsRead = 0;        // fields of the record, read or skipped
    bool charsCounted = false; // some length counted characters instead of bytes
    std::array<Value, fieldCount> values{};
    std::vector<RawField> fields; // every field, in the file's order
    QString error;                // why the record cannot be read; empty when it can

    bool has(Field f) const { return values[static_cast<int>(f)].present; }
    std::string_view view(Field f) const {
        const Value& v = values[static_cast<int>(f)];
        return {v.data, static_cast<size_t>(v.size)};
    }
    // The value as text: ASCII and UTF-8 as they are, any other bytes as Latin-1.
    QString text(Field f) const;
    void clear();
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes);

    // Reads the next record into `record`; false when the file holds no more.
    bool next(Record& record);

    std::int64_t position() const { return pos_; }
    std::int64_t size() const { return end_; }
    bool hadHeader() const { return hadHeader_; }
    int records() const { return number_; }
    // The header's PROGRAMID, as written (empty when none).
    std::string_view programId() const { return programId_; }
    // Whether any <EOR> has been read: a file without one holds no ADIF record.
    bool sawEor() const { return sawEor_; }

private:
    const char* data_;
    std::int64_t end_;
    std::int64_t pos_ = 0;
    bool inHeader_ = false;
    bool hadHeader_ = false;
    bool sawEor_ = false;
    int number_ = 0;
    std::string_view programId_;
};

// Whether a field name is the ADIF name `upperName` ("PROGRAMID"), in any letter case.
bool isName(std::string_view name, std::string_view upperName);

// Bytes to text: ASCII and valid UTF-8 as they are, anything else as Latin-1.
QString decode(const char* data, std::int64_t size);
inline QString decode(std::string_view v) {
    return decode(v.data(), static_cast<std::int64_t>(v.size()));
}
// A value as a report quotes it: its first 60 characters, then "..." when there is more.
QString shown(std::string_view v);
inline QString shownUpper(std::string_view v) {
    return shown(v).toUpper();
}

using hm52::equalsLower;

} // namespace hm52::adif
