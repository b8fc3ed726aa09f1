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
    {"app_hm52_band", Field::AppBand},
    {"app_hm52_mode", Field::AppMode},
    {"app_hm52_qsl", Field::AppQsl},
    {"app_hm52_locator", Field::AppLocator},
    {"app_hm52_place", Field::AppPlace},
    {"app_hm52_call", Field::AppCall},
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

// The field a name stands for, or -1 when the program does not read it.
int lookup(const char* name, std::int64_t length) {
    if (length <= 0 || static_cast<size_t>(length) > longestName) {
        return -1;
    }
    char lower[longestName];
    for (std::int64_t i = 0; i < length; ++i) {
        const char c = name[i];
        lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    const std::string_view key(lower, static_cast<size_t>(length));
    for (const Known& k : knownFields) {
        if (k.name == key) {
            return static_cast<int>(k.field);
        }
    }
    return -1;
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
                                        "APP_HM52_BAND",
                                        "APP_HM52_MODE",
                                        "APP_HM52_QSL",
                                        "APP_HM52_LOCATOR",
                                        "APP_HM52_PLACE",
                                        "APP_HM52_CALL"};
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

bool equalsLower(std::string_view value, std::string_view lowerWord) {
    if (value.size() != lowerWord.size()) {
        return false;
    }
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
        if (c != lowerWord[i]) {
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
    auto fail = [&r](const QString& reason) {
        if (r.error.isEmpty()) {
            r.error = reason;
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
            if (started && (!inHeader_ || knownSeen)) {
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
                    ++p;
                }
            }
            if (digits == 0 || digits > 9 || p >= end_ || data_[p] != '>') {
                if (!isEor && !isEoh) {
                    if (!started) {
                        started = true;
                        r.offset = tagStart;
                    }
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
            r.clear();
            started = false;
            knownSeen = false;
            continue;
        }

        if (!started) {
            started = true;
            r.offset = tagStart;
        }
        ++r.fieldsRead;
        const std::int64_t valueStart = p;
        if (length > end_ - valueStart) {
            fail(QStringLiteral("the file ends inside %1").arg(decode(name).toUpper()));
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
                             .arg(decode(name).toUpper()));
                    pos_ = byteEnd;
                    continue;
                }
            }
        }
        const int index = lookup(name.data(), nameLength);
        if (index >= 0) {
            knownSeen = true;
            Value& v = r.values[static_cast<size_t>(index)];
            if (!v.present) {
                v = Value{data_ + valueStart, valueEnd - valueStart, true};
            }
        }
        pos_ = valueEnd;
    }
}

} // namespace hm52::adif
