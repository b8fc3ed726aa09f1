#include "adif/AdifFields.h"

#include "adif/AdifReader.h"

#include <QByteArray>
#include <QLocale>

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

// The ADIF band table: name, lower and upper edge in MHz, and the award band it belongs to
// (empty for the bands below 160 m, which the award does not know).
struct Band {
    std::string_view name; // lower case
    double low;
    double high;
    const char* award;
};

constexpr Band bandTable[] = {
    {"2190m", 0.1357, 0.1378, ""},
    {"2200m", 0.1357, 0.1378, ""}, // what many loggers call 2190m
    {"630m", 0.472, 0.479, ""},
    {"560m", 0.501, 0.504, ""},
    {"160m", 1.8, 2.0, "HF"},
    {"80m", 3.5, 4.0, "HF"},
    {"60m", 5.06, 5.45, "HF"},
    {"40m", 7.0, 7.3, "HF"},
    {"30m", 10.1, 10.15, "HF"},
    {"20m", 14.0, 14.35, "HF"},
    {"17m", 18.068, 18.168, "HF"},
    {"15m", 21.0, 21.45, "HF"},
    {"12m", 24.89, 24.99, "HF"},
    {"10m", 28.0, 29.7, "HF"},
    {"8m", 40.0, 45.0, "VHF"},
    {"6m", 50.0, 54.0, "50 MHz"},
    {"5m", 54.000001, 69.9, "VHF"},
    {"4m", 70.0, 71.0, "VHF"},
    {"2m", 144.0, 148.0, "VHF"},
    {"1.25m", 222.0, 225.0, "VHF"},
    {"70cm", 420.0, 450.0, "UHF"},
    {"33cm", 902.0, 928.0, "UHF"},
    {"23cm", 1240.0, 1300.0, "UHF"},
    {"13cm", 2300.0, 2450.0, "UHF"},
    {"9cm", 3300.0, 3500.0, "SHF"},
    {"6cm", 5650.0, 5925.0, "SHF"},
    {"3cm", 10000.0, 10500.0, "SHF"},
    {"1.25cm", 24000.0, 24250.0, "SHF"},
    {"6mm", 47000.0, 47200.0, "SHF"},
    {"4mm", 75500.0, 81000.0, "SHF"},
    {"2.5mm", 119980.0, 123000.0, "SHF"},
    {"2mm", 134000.0, 149000.0, "SHF"},
    {"1mm", 241000.0, 250000.0, "SHF"},
    {"submm", 300000.0, 7500000.0, "SHF"},
};

// Modes whose QSOs the award counts as DIGITAL: the ADIF data modes (with MFSK, whose
// submodes FT4, JS8, Q65 and the like are all data) and the names older writers used for
// some of them as modes of their own.
constexpr std::string_view dataModes[] = {
    "ardop", "chip",   "clo",     "contesti",  "domino",   "dynamic", "fsk441", "fst4",
    "ft8",   "hell",   "iscat",   "jt4",       "jt6m",     "jt9",     "jt44",   "jt65",
    "mfsk",  "msk144", "mt63",    "olivia",    "opera",    "pac",     "pax",    "pkt",
    "psk",   "psk2k",  "q15",     "qra64",     "ros",      "rtty",    "rttym",  "t10",
    "thor",  "thrb",   "tor",     "v4",        "voi",      "winmor",  "wspr",   "ft4",
    "js8",   "q65",    "fst4w",   "psk31",     "psk63",    "psk125",  "bpsk31", "qpsk31",
    "amtor", "pactor", "gtor",    "contestia", "dominoex", "fsk",     "fsk31",  "asci",
    "data",  "digi",   "digital", "jtms",      "fmhell",   "msk",     "mfsk16", "packet",
};

// Families of data modes whose submodes older writers put in MODE on their own ("PSK63F",
// "JT65A", "OLIVIA 8/500", "VARA HF"): a mode that begins with one of these is data too.
constexpr std::string_view dataFamilies[] = {
    "8psk",  "bpsk", "chip", "contestia", "domino", "fsk",    "fsq",  "hell",
    "iscat", "jt4",  "jt65", "jt9",       "mfsk",   "olivia", "pac",  "pax",
    "psk",   "qpsk", "ros",  "rtty",      "thor",   "thrb",   "vara",
};

bool startsWithLower(std::string_view value, std::string_view lowerWord) {
    return value.size() > lowerWord.size() &&
           equalsLower(value.substr(0, lowerWord.size()), lowerWord);
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

QString awardBandOfBand(std::string_view band, bool* known) {
    band = trimmed(band);
    for (const Band& b : bandTable) {
        if (equalsLower(band, b.name)) {
            if (known != nullptr) {
                *known = true;
            }
            return QString::fromLatin1(b.award);
        }
    }
    if (known != nullptr) {
        *known = false;
    }
    return {};
}

QString adifBandOfFrequency(std::string_view freq, bool* readable) {
    bool ok = false;
    const double mhz = QLocale::c().toDouble(decode(trimmed(freq)), &ok);
    if (readable != nullptr) {
        *readable = ok;
    }
    if (!ok) {
        return {};
    }
    for (const Band& b : bandTable) {
        if (mhz >= b.low && mhz <= b.high) {
            return QString::fromLatin1(b.name.data(), static_cast<qsizetype>(b.name.size()));
        }
    }
    return {};
}

QString adifBandOfAward(const QString& awardBand) {
    if (awardBand == QLatin1String("50 MHz")) {
        return QStringLiteral("6m");
    }
    return {};
}

QString awardModeOf(std::string_view mode, std::string_view submode) {
    std::string_view m = trimmed(mode);
    if (m.empty()) {
        m = trimmed(submode);
    }
    if (equalsLower(m, "ssb") || equalsLower(m, "usb") || equalsLower(m, "lsb")) {
        return QStringLiteral("SSB");
    }
    if (equalsLower(m, "cw") || equalsLower(m, "pcw")) {
        return QStringLiteral("CW");
    }
    for (std::string_view d : dataModes) {
        if (equalsLower(m, d)) {
            return QStringLiteral("DIGITAL");
        }
    }
    for (std::string_view d : dataFamilies) {
        if (startsWithLower(m, d)) {
            return QStringLiteral("DIGITAL");
        }
    }
    return QStringLiteral("MIXED");
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
