#include "adif/AdifFields.h"

#include "adif/AdifReader.h"

#include <QByteArray>

#include <charconv>
#include <cmath>

namespace hm52::adif {

namespace {

inline char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string_view trimmed(std::string_view v) {
    while (!v.empty() &&
           (v.front() == ' ' || v.front() == '\t' || v.front() == '\r' || v.front() == '\n')) {
        v.remove_prefix(1);
    }
    while (!v.empty() &&
           (v.back() == ' ' || v.back() == '\t' || v.back() == '\r' || v.back() == '\n')) {
        v.remove_suffix(1);
    }
    return v;
}

bool isLetterAX(char c) {
    return (c >= 'A' && c <= 'X') || (c >= 'a' && c <= 'x');
}

} // namespace

QString subSquareOf(std::string_view grid) {
    grid = trimmed(grid);
    if (grid.size() != 6 && grid.size() != 8 && grid.size() != 10) {
        return {};
    }
    if (upper(grid[0]) != 'H' || upper(grid[1]) != 'M' || grid[2] != '5' || grid[3] != '2') {
        return {};
    }
    if (!isLetterAX(grid[4]) || !isLetterAX(grid[5])) {
        return {};
    }
    if (grid.size() >= 8 && (grid[6] < '0' || grid[6] > '9' || grid[7] < '0' || grid[7] > '9')) {
        return {};
    }
    const char letters[2] = {upper(grid[4]), upper(grid[5])};
    return QString::fromLatin1(letters, 2);
}

QString subSquareOfList(std::string_view grids) {
    while (!grids.empty()) {
        const size_t comma = grids.find(',');
        QString found = subSquareOf(grids.substr(0, comma));
        if (!found.isEmpty() || comma == std::string_view::npos) {
            return found;
        }
        grids.remove_prefix(comma + 1);
    }
    return {};
}

bool isSubSquare(const QString& letters) {
    return letters.size() == 2 && letters[0].unicode() < 128 && letters[1].unicode() < 128 &&
           isLetterAX(static_cast<char>(letters[0].unicode())) &&
           isLetterAX(static_cast<char>(letters[1].unicode()));
}

bool frequencyOf(std::string_view freq, double* mhz) {
    // Read in place: the importer asks for every record.
    std::string_view v = trimmed(freq);
    if (!v.empty() && v.front() == '+') {
        v.remove_prefix(1);
    }
    const char* const end = v.data() + v.size();
    const auto read = std::from_chars(v.data(), end, *mhz);
    return read.ec == std::errc() && read.ptr == end && std::isfinite(*mhz);
}

namespace {
int digitsOf(std::string_view v, size_t at, size_t count) {
    int value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (v[i] < '0' || v[i] > '9') {
            return -1;
        }
        value = value * 10 + (v[i] - '0');
    }
    return value;
}
} // namespace

namespace {

// The last decimal digit of a number that is not negative.
char16_t digit(int n) {
    return static_cast<char16_t>(u'0' + n % 10);
}

// Why a QSO_DATE cannot be stored, or empty when it can; `year`, `month` and `day` get it.
QString dateFault(std::string_view v, int& year, int& month, int& day) {
    year = v.size() == 8 ? digitsOf(v, 0, 4) : -1;
    month = v.size() == 8 ? digitsOf(v, 4, 2) : -1;
    day = v.size() == 8 ? digitsOf(v, 6, 2) : -1;
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31) {
        return QStringLiteral("QSO_DATE \"%1\" is not a date").arg(shown(v));
    }
    if (year < 1930 || year > 2029) {
        return QStringLiteral("QSO_DATE \"%1\" lies outside 1930-2029, the years the log can "
                              "show with two digits")
            .arg(shown(v));
    }
    return {};
}

} // namespace

QString storedDateOf(std::string_view qsoDate, QString* reason) {
    int year = 0;
    int month = 0;
    int day = 0;
    *reason = dateFault(trimmed(qsoDate), year, month, day);
    if (!reason->isEmpty()) {
        return {};
    }
    const char16_t text[] = {digit(year / 1000),
                             digit(year / 100),
                             digit(year / 10),
                             digit(year),
                             u'-',
                             digit(month / 10),
                             digit(month),
                             u'-',
                             digit(day / 10),
                             digit(day)};
    return QString(reinterpret_cast<const QChar*>(text), std::size(text));
}

bool storesAsDate(std::string_view qsoDate) {
    const std::string_view v = trimmed(qsoDate);
    int year = 0;
    int month = 0;
    int day = 0;
    // The fault texts are made only for a date that fails.
    return v.size() == 8 && v.find_first_not_of("0123456789") == std::string_view::npos &&
           dateFault(v, year, month, day).isEmpty();
}

QString formTimeOf(std::string_view timeOn, QString* reason) {
    const std::string_view v = trimmed(timeOn);
    const bool shape = v.size() == 4 || v.size() == 6;
    const int hours = shape ? digitsOf(v, 0, 2) : -1;
    const int minutes = shape ? digitsOf(v, 2, 2) : -1;
    const int seconds = v.size() == 6 ? digitsOf(v, 4, 2) : 0;
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59) {
        *reason = QStringLiteral("TIME_ON \"%1\" is not a time").arg(shown(v));
        return {};
    }
    const char16_t text[] = {digit(hours / 10), digit(hours), u':', digit(minutes / 10),
                             digit(minutes)};
    return QString(reinterpret_cast<const QChar*>(text), std::size(text));
}

bool isYes(std::string_view value) {
    value = trimmed(value);
    return value.size() == 1 && (value[0] == 'Y' || value[0] == 'y');
}

QString asciiOf(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.unicode() < 128) {
            out += c;
        } else if (c.category() != QChar::Mark_NonSpacing) {
            out += u'?';
        }
    }
    return out;
}

QByteArray percentOf(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80U || b < 0x20U || b == 0x7FU || ch == '%' || ch == '<' || ch == '>') {
            out += '%';
            out += hex[b >> 4U];
            out += hex[b & 0x0FU];
        } else {
            out += ch;
        }
    }
    return out;
}

QString fromPercent(std::string_view value) {
    return QString::fromUtf8(QByteArray::fromPercentEncoding(
        QByteArray(value.data(), static_cast<qsizetype>(value.size()))));
}

} // namespace hm52::adif
