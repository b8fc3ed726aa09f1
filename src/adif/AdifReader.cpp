#include "adif/AdifReader.h"

#include <cstring>

namespace hm52::adif {

namespace {

struct Known {
    std::string_view name; // lower case
    Field field;
};

constexpr Known knownFields[] = {
    {"call", Field::Call},
    {"gridsquare", Field::GridSquare},
    {"vucc_grids", Field::VuccGrids},
    {"qso_date", Field::QsoDate},
    {"time_on", Field::TimeOn},
    {"qth", Field::Qth},
    {"state", Field::State},
    {"band", Field::Band},
    {"freq", Field::Freq},
    {"prop_mode", Field::PropMode},
    {"mode", Field::Mode},
    {"submode", Field::Submode},
    {"qsl_rcvd", Field::QslRcvd},
    {"lotw_qsl_rcvd", Field::LotwQslRcvd},
    {"eqsl_qsl_rcvd", Field::EqslQslRcvd},
    {"sat_name", Field::SatName},
    {"app_hm52_count", Field::AppCount},
    {"app_hm52_band", Field::AppBand},
    {"app_hm52_mode", Field::AppMode},
    {"app_hm52_qsl", Field::AppQsl},
    {"app_hm52_locator", Field::AppLocator},
    {"app_hm52_place", Field::AppPlace},
    {"app_hm52_call", Field::AppCall},
    {"app_hm52_prov", Field::AppProv},
    {"app_hm52_date", Field::AppDate},
    {"app_hm52_time", Field::AppTime},
    {"app_hm52_null", Field::AppNull},
    {"app_hm52_implied", Field::AppImplied},
};
static_assert(std::size(knownFields) == static_cast<size_t>(fieldCount));

constexpr size_t longestName = 16;

// Characters of a field name: letters, digits and underscores.
struct NameTable {
    bool name[256] = {};
    constexpr NameTable() {
        for (int c = 'a'; c <= 'z'; ++c) {
            name[c] = true;
            name[c - 'a' + 'A'] = true;
        }
        for (int c = '0'; c <= '9'; ++c) {
            name[c] = true;
        }
        name[static_cast<unsigned char>('_')] = true;
    }
};
constexpr NameTable nameTable;

inline unsigned char byteAt(const char* data, std::int64_t i) {
    return static_cast<unsigned char>(data[i]);
}

inline bool isSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

inline bool isContinuation(unsigned char c) {
    return (c & 0xC0U) == 0x80U;
}

// The known names by length, so that a name is compared only with those of its length.
struct ByLength {
    std::array<std::array<std::int8_t, 16>, longestName + 1> index{};
    ByLength() {
        for (auto& list : index) {
            list.fill(-1);
        }
        for (const Known& k : knownFields) {
            auto& list = index[k.name.size()];
            size_t free = 0;
            while (list[free] >= 0) {
                ++free;
            }
            list[free] = static_cast<std::int8_t>(k.field);
        }
    }
};

// The field a name stands for, or -1 when the program does not read it.
int lookup(const char* name, std::int64_t length) {
    static const ByLength byLength;
    if (length <= 0 || static_cast<size_t>(length) > longestName) {
        return -1;
    }
    const std::string_view key(name, static_cast<size_t>(length));
    for (const std::int8_t f : byLength.index[static_cast<size_t>(length)]) {
        if (f < 0) {
            break;
        }
        if (equalsLower(key, knownFields[f].name)) {
            return f;
        }
    }
    return -1;
}

// Whether the bytes at `at` begin a tag that ends a record or starts a field: <EOR>, <EOH>,
// or <NAME:digits> with an optional type letter. `what` gets the tag as it stands.
bool tagAt(const char* data, std::int64_t at, std::int64_t end, std::string_view* what) {
    std::int64_t p = at + 1;
    if (p >= end || !((data[p] >= 'A' && data[p] <= 'Z') || (data[p] >= 'a' && data[p] <= 'z'))) {
        return false;
    }
    while (p < end && nameTable.name[byteAt(data, p)]) {
        ++p;
    }
    const std::string_view name(data + at + 1, static_cast<size_t>(p - at - 1));
    if (p < end && data[p] == '>' && (equalsLower(name, "eor") || equalsLower(name, "eoh"))) {
        *what = std::string_view(data + at, static_cast<size_t>(p - at + 1));
        return true;
    }
    if (p >= end || data[p] != ':') {
        return false;
    }
    ++p;
    const std::int64_t digits = p;
    while (p < end && p - digits < 10 && data[p] >= '0' && data[p] <= '9') {
        ++p;
    }
    if (p == digits) {
        return false;
    }
    if (p + 1 < end && data[p] == ':' &&
        ((data[p + 1] >= 'A' && data[p + 1] <= 'Z') ||
         (data[p + 1] >= 'a' && data[p + 1] <= 'z'))) {
        p += 2;
    }
    if (p >= end || data[p] != '>') {
        return false;
    }
    *what = std::string_view(data + at, static_cast<size_t>(p - at + 1));
    return true;
}

// Length of the UTF-8 sequence at p (1 to 4), or 0 when no valid sequence starts there.
int sequenceAt(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = *p;
    if (lead < 0x80U) {
        return 1;
    }
    int length = 0;
    unsigned char low = 0x80U;
    unsigned char high = 0xBFU;
    if (lead >= 0xC2U && lead <= 0xDFU) {
        length = 2;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
        length = 3;
        if (lead == 0xE0U) {
            low = 0xA0U;
        } else if (lead == 0xEDU) {
            high = 0x9FU;
        }
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
        length = 4;
        if (lead == 0xF0U) {
            low = 0x90U;
        } else if (lead == 0xF4U) {
            high = 0x8FU;
        }
    } else {
        return 0;
    }
    if (end - p < length) {
        return 0;
    }
    if (p[1] < low || p[1] > high) {
        return 0;
    }
    for (int i = 2; i < length; ++i) {
        if (!isContinuation(p[i])) {
            return 0;
        }
    }
    return length;
}

bool validUtf8(const char* data, std::int64_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* end = p + size;
    while (p < end) {
        const int n = sequenceAt(p, end);
        if (n == 0) {
            return false;
        }
        p += n;
    }
    return true;
}

} // namespace

const char* fieldName(Field f) {
    static const char* const names[] = {"CALL",
                                        "GRIDSQUARE",
                                        "VUCC_GRIDS",
                                        "QSO_DATE",
                                        "TIME_ON",
                                        "QTH",
                                        "STATE",
                                        "BAND",
                                        "FREQ",
                                        "PROP_MODE",
                                        "MODE",
                                        "SUBMODE",
                                        "QSL_RCVD",
                                        "LOTW_QSL_RCVD",
                                        "EQSL_QSL_RCVD",
                                        "SAT_NAME",
                                        "APP_HM52_COUNT",
                                        "APP_HM52_BAND",
                                        "APP_HM52_MODE",
                                        "APP_HM52_QSL",
                                        "APP_HM52_LOCATOR",
                                        "APP_HM52_PLACE",
                                        "APP_HM52_CALL",
                                        "APP_HM52_PROV",
                                        "APP_HM52_DATE",
                                        "APP_HM52_TIME",
                                        "APP_HM52_NULL",
                                        "APP_HM52_IMPLIED"};
    static_assert(std::size(names) == static_cast<size_t>(fieldCount));
    return names[static_cast<int>(f)];
}

QString decode(const char* data, std::int64_t size) {
    const auto n = static_cast<qsizetype>(size);
    for (std::int64_t i = 0; i < size; ++i) {
        if (byteAt(data, i) >= 0x80U) {
            return validUtf8(data, size) ? QString::fromUtf8(data, n)
                                         : QString::fromLatin1(data, n);
        }
    }
    return QString::fromLatin1(data, n);
}

QString shown(std::string_view v) {
    constexpr qsizetype limit = 60;
    // Four bytes per character at the most; the cut falls before a character, not inside it.
    size_t cut = std::min<size_t>(v.size(), limit * 4);
    while (cut > 0 && cut < v.size() && isContinuation(static_cast<unsigned char>(v[cut]))) {
        --cut;
    }
    QString text = decode(v.substr(0, cut));
    if (cut == v.size() && text.size() <= limit) {
        return text;
    }
    return text.left(limit) + QStringLiteral("...");
}

bool isName(std::string_view name, std::string_view upperName) {
    if (name.size() != upperName.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - ('a' - 'A'));
        }
        if (c != upperName[i]) {
            return false;
        }
    }
    return true;
}

QString Record::text(Field f) const {
    const Value& v = values[static_cast<int>(f)];
    return decode(v.data, v.size);
}

void Record::clear() {
    number = 0;
    offset = 0;
    fieldsRead = 0;
    charsCounted = false;
    values.fill(Value{});
    fields.clear();
    error.clear();
}

Reader::Reader(QByteArrayView bytes) : data_(bytes.data()), end_(bytes.size()) {
    if (end_ >= 3 && byteAt(data_, 0) == 0xEFU && byteAt(data_, 1) == 0xBBU &&
        byteAt(data_, 2) == 0xBFU) {
        pos_ = 3;
    }
    // A file whose first character is '<' has no header; any other has one, ended by <EOH>.
    inHeader_ = pos_ < end_ && data_[pos_] != '<';
}

bool Reader::next(Record& r) {
    r.clear();
    bool started = false;   // a field of this record (or of the header) has been seen
    bool knownSeen = false; // one of them is a field the program reads
    bool valued = false;    // one of them has a value: tags alone after the last record are none
    auto fail = [&r](const QString& reason) {
        if (r.error.isEmpty()) {
            r.error = reason;
        }
    };
    auto start = [&started, &r](std::int64_t at) {
        if (!started) {
            started = true;
            r.offset = at;
        }
    };
    // A value is followed by blanks and line ends, then the next tag or the end of the file.
    auto boundary = [this](std::int64_t at) {
        while (at < end_ && isSpace(byteAt(data_, at))) {
            ++at;
        }
        return at == end_ || data_[at] == '<';
    };

    while (true) {
        const void* found = pos_ < end_
                                ? std::memchr(data_ + pos_, '<', static_cast<size_t>(end_ - pos_))
                                : nullptr;
        if (found == nullptr) {
            pos_ = end_;
            if (started && (valued || !r.error.isEmpty()) && (!inHeader_ || knownSeen)) {
                inHeader_ = false;
                fail(QStringLiteral("the file ends before <EOR>"));
                r.number = ++number_;
                return true;
            }
            return false;
        }
        const std::int64_t tagStart = static_cast<const char*>(found) - data_;
        std::int64_t p = tagStart + 1;
        const std::int64_t nameStart = p;
        while (p < end_ && nameTable.name[byteAt(data_, p)]) {
            ++p;
        }
        const std::int64_t nameLength = p - nameStart;
        if (nameLength == 0 || p >= end_ || (data_[p] != '>' && data_[p] != ':')) {
            pos_ = p; // a '<' in free text, not a tag
            continue;
        }
        const std::string_view name(data_ + nameStart, static_cast<size_t>(nameLength));
        const bool isEor = equalsLower(name, "eor");
        const bool isEoh = equalsLower(name, "eoh");

        std::int64_t length = 0;
        char type = 0;
        if (data_[p] == ':') {
            ++p;
            int digits = 0;
            while (p < end_ && data_[p] >= '0' && data_[p] <= '9' && digits < 10) {
                length = length * 10 + (data_[p] - '0');
                ++p;
                ++digits;
            }
            if (p < end_ && data_[p] == ':') {
                ++p;
                while (p < end_ && ((data_[p] >= 'A' && data_[p] <= 'Z') ||
                                    (data_[p] >= 'a' && data_[p] <= 'z'))) {
                    if (type == 0) {
                        type = data_[p];
                    }
                    ++p;
                }
            }
            if (digits == 0 || digits > 9 || p >= end_ || data_[p] != '>') {
                if (!isEor && !isEoh) {
                    start(tagStart);
                    const std::int64_t shown = std::min<std::int64_t>(p - tagStart + 1, 40);
                    fail(QStringLiteral("a damaged field tag %1")
                             .arg(decode(data_ + tagStart, std::min(shown, end_ - tagStart))));
                }
                pos_ = p;
                continue;
            }
        }
        ++p; // past '>'

        if (isEor && length == 0) {
            pos_ = p;
            sawEor_ = true;
            inHeader_ = false; // an <EOR> before any <EOH>: the file had no header after all
            if (!started) {
                r.offset = tagStart;
                fail(QStringLiteral("an empty record"));
            }
            r.number = ++number_;
            return true;
        }
        if (isEoh && length == 0) {
            // Whatever came before was the header, unless a record had begun: then that
            // record was cut short by the header of a second file.
            pos_ = p;
            const bool cutRecord = started && knownSeen && !inHeader_;
            inHeader_ = false;
            hadHeader_ = true;
            if (cutRecord) {
                fail(QStringLiteral("a header <EOH> stands where the record's <EOR> should be"));
                r.number = ++number_;
                return true;
            }
            for (const RawField& f : r.fields) {
                if (isName(f.name, "PROGRAMID")) {
                    programId_ = f.value;
                }
            }
            r.clear();
            started = false;
            knownSeen = false;
            valued = false;
            continue;
        }

        start(tagStart);
        ++r.fieldsRead;
        const std::int64_t valueStart = p;
        // A length that runs over the end of the record, or over the next field's tag, is
        // wrong (one digit too many, say): the field is dropped and reading goes on at that tag.
        const std::int64_t spanEnd = std::min(end_, valueStart + length);
        bool overrun = false;
        for (std::int64_t at = valueStart; at < spanEnd && !overrun;) {
            const void* lt = std::memchr(data_ + at, '<', static_cast<size_t>(spanEnd - at));
            if (lt == nullptr) {
                break;
            }
            const std::int64_t q = static_cast<const char*>(lt) - data_;
            std::string_view tag;
            if (tagAt(data_, q, end_, &tag)) {
                const bool ends = equalsLower(tag, "<eor>") || equalsLower(tag, "<eoh>");
                const QString what = QStringLiteral("the length %1 of %2")
                                         .arg(QString::number(length), shownUpper(name));
                fail(ends ? what + QStringLiteral(" runs over the record's end")
                          : what + QStringLiteral(" runs over the next field ") +
                                decode(tag.substr(0, std::min<size_t>(tag.size(), 40))));
                pos_ = q;
                overrun = true;
            }
            at = q + 1;
        }
        if (overrun) {
            valued = true;
            continue;
        }
        if (length > end_ - valueStart) {
            fail(QStringLiteral("the file ends inside %1").arg(shownUpper(name)));
            valued = true;
            pos_ = end_;
            continue;
        }
        const std::int64_t byteEnd = valueStart + length;
        std::int64_t valueEnd = byteEnd;
        if (!boundary(byteEnd)) {
            // The value is followed by something other than the next tag. With UTF-8 in it,
            // the writer may have counted characters: count again that way.
            bool high = byteEnd < end_ && byteAt(data_, byteEnd) >= 0x80U;
            for (std::int64_t i = valueStart; !high && i < byteEnd; ++i) {
                high = byteAt(data_, i) >= 0x80U;
            }
            if (high) {
                const auto* q = reinterpret_cast<const unsigned char*>(data_ + valueStart);
                const auto* stop = reinterpret_cast<const unsigned char*>(data_ + end_);
                std::int64_t chars = 0;
                while (chars < length && q < stop) {
                    const int n = sequenceAt(q, stop);
                    if (n == 0) {
                        break;
                    }
                    q += n;
                    ++chars;
                }
                const std::int64_t charEnd = reinterpret_cast<const char*>(q) - data_;
                if (chars == length && boundary(charEnd)) {
                    valueEnd = charEnd;
                    r.charsCounted = true;
                } else if (byteEnd < end_ && isContinuation(byteAt(data_, byteEnd))) {
                    fail(QStringLiteral("the length %1 of %2 cuts a UTF-8 character")
                             .arg(length)
                             .arg(shownUpper(name)));
                    valued = true;
                    pos_ = byteEnd;
                    continue;
                }
            }
        }
        const std::string_view value(data_ + valueStart,
                                     static_cast<size_t>(valueEnd - valueStart));
        valued = valued || !value.empty();
        r.fields.push_back({name, type, value});
        const int index = lookup(name.data(), nameLength);
        if (index >= 0) {
            knownSeen = true;
            Value& v = r.values[static_cast<size_t>(index)];
            if (!v.present) {
                v = Value{value.data(), static_cast<std::int64_t>(value.size()), true};
            }
        }
        pos_ = valueEnd;
    }
}

} // namespace hm52::adif
