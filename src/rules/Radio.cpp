#include "rules/Radio.h"

#include "platform/AsciiText.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <charconv>

namespace hm52::rules::radio {

namespace {

bool startsLower(std::string_view value, std::string_view lowerWord) {
    return value.size() > lowerWord.size() &&
           equalsLower(value.substr(0, lowerWord.size()), lowerWord);
}

std::string_view trimmed(std::string_view v) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!v.empty() && blank(v.front())) {
        v.remove_prefix(1);
    }
    while (!v.empty() && blank(v.back())) {
        v.remove_suffix(1);
    }
    return v;
}

QString latin1(std::string_view v) {
    return QString::fromLatin1(v.data(), static_cast<qsizetype>(v.size()));
}

// A short text in Latin-1 on the stack, to look it up in the tables without allocating (the
// importer asks for every record). Longer texts are cut: no name of the tables is that long.
class Latin1 {
public:
    explicit Latin1(const QString& text) {
        size_ = static_cast<size_t>(std::min<qsizetype>(text.size(), sizeof buf_));
        for (size_t i = 0; i < size_; ++i) {
            const char16_t c = text[static_cast<qsizetype>(i)].unicode();
            buf_[i] = c < 256 ? static_cast<char>(c) : '?';
        }
    }
    std::string_view view() const { return {buf_, size_}; }

private:
    char buf_[64];
    size_t size_ = 0;
};

// The category codes as shared texts, so that handing one over allocates nothing.
const QString& categoryText(std::string_view code) {
    static const QString codes[] = {QString(),
                                    QStringLiteral("HF"),
                                    QStringLiteral("50 MHz"),
                                    QStringLiteral("VHF"),
                                    QStringLiteral("UHF"),
                                    QStringLiteral("SHF"),
                                    QStringLiteral("SAT"),
                                    QStringLiteral("MIXED"),
                                    QStringLiteral("SSB"),
                                    QStringLiteral("CW"),
                                    QStringLiteral("DIGITAL")};
    for (const QString& c : codes) {
        if (c == QLatin1String(code.data(), static_cast<qsizetype>(code.size()))) {
            return c;
        }
    }
    return codes[0];
}

// The ADIF band table: name, lower and upper edge in MHz, and the category it belongs to
// (empty for the bands below 160 m, which the award does not count).
struct Band {
    std::string_view name; // as ADIF writes it
    double low;
    double high;
    const char* category;
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

// The bands the amateur-satellite service uses for its uplinks.
constexpr std::string_view satelliteBands[] = {"15m",  "10m", "2m",  "70cm", "23cm",
                                               "13cm", "9cm", "6cm", "3cm",  "1.25cm"};

const Band* bandOf(std::string_view name) {
    name = trimmed(name);
    for (const Band& b : bandTable) {
        if (name.size() == b.name.size() &&
            std::equal(name.begin(), name.end(), b.name.begin(), [](char x, char y) {
                return (x >= 'A' && x <= 'Z' ? static_cast<char>(x + 32) : x) == y;
            })) {
            return &b;
        }
    }
    return nullptr;
}

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

// The exact modes the form offers, each with its category, in the order the lists show them.
struct ModeRow {
    const char* mode;
    const char* submode;
    const char* category;
};

constexpr ModeRow modeTable[] = {
    {"FM", "", "MIXED"},
    {"AM", "", "MIXED"},
    {"SSB", "", "SSB"},
    {"SSB", "USB", "SSB"},
    {"SSB", "LSB", "SSB"},
    {"CW", "", "CW"},
    {"DIGITALVOICE", "", "MIXED"},
    {"DIGITALVOICE", "DSTAR", "MIXED"},
    {"DIGITALVOICE", "C4FM", "MIXED"},
    {"DIGITALVOICE", "DMR", "MIXED"},
    {"DIGITALVOICE", "FREEDV", "MIXED"},
    {"DIGITALVOICE", "M17", "MIXED"},
    {"SSTV", "", "MIXED"},
    {"ATV", "", "MIXED"},
    {"FAX", "", "MIXED"},
    {"FT8", "", "DIGITAL"},
    {"MFSK", "FT4", "DIGITAL"},
    {"MFSK", "JS8", "DIGITAL"},
    {"MFSK", "Q65", "DIGITAL"},
    {"MFSK", "FST4", "DIGITAL"},
    {"MSK144", "", "DIGITAL"},
    {"JT65", "", "DIGITAL"},
    {"JT9", "", "DIGITAL"},
    {"JT4", "", "DIGITAL"},
    {"WSPR", "", "DIGITAL"},
    {"FSK441", "", "DIGITAL"},
    {"ISCAT", "", "DIGITAL"},
    {"RTTY", "", "DIGITAL"},
    {"PSK", "PSK31", "DIGITAL"},
    {"PSK", "PSK63", "DIGITAL"},
    {"PSK", "PSK125", "DIGITAL"},
    {"PSK", "QPSK31", "DIGITAL"},
    {"OLIVIA", "", "DIGITAL"},
    {"CONTESTI", "", "DIGITAL"},
    {"MFSK", "MFSK16", "DIGITAL"},
    {"MT63", "", "DIGITAL"},
    {"HELL", "", "DIGITAL"},
    {"HELL", "FMHELL", "DIGITAL"},
    {"THOR", "", "DIGITAL"},
    {"DOMINO", "", "DIGITAL"},
    {"PKT", "", "DIGITAL"},
    {"PAC", "PACTOR", "DIGITAL"},
    {"ARDOP", "", "DIGITAL"},
    {"DYNAMIC", "VARA HF", "DIGITAL"},
};

// Submodes that writers also put in MODE alone, beyond those of the table, with their mode.
constexpr std::pair<std::string_view, std::string_view> moreSubmodes[] = {
    {"FST4W", "MFSK"},
    {"QPSK63", "PSK"},
    {"PSK63F", "PSK"},
    {"PSK250", "PSK"},
    {"PSK500", "PSK"},
    {"QPSK125", "PSK"},
    {"DOMINOEX", "DOMINO"},
    {"PAC2", "PAC"},
    {"PAC3", "PAC"},
    {"PAC4", "PAC"},
    {"MFSK8", "MFSK"},
    {"MFSK32", "MFSK"},
    {"JT65A", "JT65"},
    {"JT65B", "JT65"},
    {"JT65C", "JT65"},
    {"VARA FM 1200", "DYNAMIC"},
    {"VARA FM 9600", "DYNAMIC"},
    {"VARA SATELLITE", "DYNAMIC"},
};

QString upperTrimmed(std::string_view v) {
    return latin1(trimmed(v)).toUpper();
}

// The mode of a submode given alone ("FT4" -> "MFSK"); empty when it is none.
QString modeOfSubmode(const QString& submode) {
    static const QHash<QString, QString> modes = [] {
        QHash<QString, QString> out;
        for (const ModeRow& row : modeTable) {
            if (*row.submode != '\0') {
                out.insert(QLatin1String(row.submode), QLatin1String(row.mode));
            }
        }
        for (const auto& [sub, mode] : moreSubmodes) {
            out.insert(latin1(sub), latin1(mode));
        }
        return out;
    }();
    return modes.value(submode);
}

} // namespace

const QStringList& bandsOf(const QString& category) {
    static const QHash<QString, QStringList> lists = [] {
        QHash<QString, QStringList> out;
        for (const Band& b : bandTable) {
            if (*b.category != '\0') {
                out[QLatin1String(b.category)] << latin1(b.name);
            }
        }
        for (const std::string_view name : satelliteBands) {
            out[QStringLiteral("SAT")] << latin1(name);
        }
        return out;
    }();
    static const QStringList none;
    const auto found = lists.constFind(category);
    return found == lists.constEnd() ? none : found.value();
}

QString categoryOfBand(std::string_view band, bool* known) {
    const Band* b = bandOf(band);
    if (known != nullptr) {
        *known = b != nullptr;
    }
    return b == nullptr ? QString() : categoryText(b->category);
}

QString categoryOfBand(const QString& band) {
    return categoryOfBand(Latin1(band).view());
}

QString bandName(std::string_view band) {
    // Each band's name made once: the importer asks for every record.
    static const std::vector<QString> names = [] {
        std::vector<QString> out;
        for (const Band& b : bandTable) {
            out.push_back(latin1(b.name));
        }
        return out;
    }();
    const Band* b = bandOf(band);
    return b == nullptr ? QString() : names[static_cast<size_t>(b - bandTable)];
}

QString bandOfFrequency(double mhz) {
    for (const Band& b : bandTable) {
        if (mhz >= b.low && mhz <= b.high) {
            return latin1(b.name);
        }
    }
    return {};
}

bool edgesOf(const QString& band, double* low, double* high) {
    const Band* b = bandOf(Latin1(band).view());
    if (b == nullptr) {
        return false;
    }
    *low = b->low;
    *high = b->high;
    return true;
}

QString onlyBandOf(const QString& category) {
    const QStringList& bands = bandsOf(category);
    return bands.size() == 1 ? bands.first() : QString();
}

bool bandFits(const QString& category, const QString& band) {
    if (band.isEmpty()) {
        return true;
    }
    const Latin1 name(band);
    if (category == QLatin1String("SAT")) {
        return std::any_of(std::begin(satelliteBands), std::end(satelliteBands),
                           [&name](std::string_view sat) { return equalsLower(name.view(), sat); });
    }
    const Band* b = bandOf(name.view());
    return b != nullptr && *b->category != '\0' && category == QLatin1String(b->category);
}

const std::vector<Mode>& modesOf(const QString& category) {
    static const QHash<QString, std::vector<Mode>> lists = [] {
        QHash<QString, std::vector<Mode>> out;
        for (const ModeRow& row : modeTable) {
            const Mode m{QLatin1String(row.mode), QLatin1String(row.submode)};
            out[QStringLiteral("MIXED")].push_back(m);
            if (QLatin1String(row.category) != QLatin1String("MIXED")) {
                out[QLatin1String(row.category)].push_back(m);
            }
        }
        return out;
    }();
    static const std::vector<Mode> none;
    const auto found = lists.constFind(category);
    return found == lists.constEnd() ? none : found.value();
}

QString categoryOfMode(std::string_view mode, std::string_view submode) {
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
    for (const std::string_view d : dataModes) {
        if (equalsLower(m, d)) {
            return QStringLiteral("DIGITAL");
        }
    }
    for (const std::string_view d : dataFamilies) {
        if (startsLower(m, d)) {
            return QStringLiteral("DIGITAL");
        }
    }
    return QStringLiteral("MIXED");
}

QString categoryOfMode(const Mode& mode) {
    return categoryOfMode(Latin1(mode.mode).view(), Latin1(mode.submode).view());
}

bool modeFits(const QString& category, const Mode& mode) {
    if (mode.isEmpty()) {
        return true;
    }
    return category == QLatin1String("MIXED") ? true : categoryOfMode(mode) == category;
}

Mode adifMode(std::string_view mode, std::string_view submode) {
    Mode m{upperTrimmed(mode), upperTrimmed(submode)};
    if (!m.submode.isEmpty()) {
        if (m.mode.isEmpty()) {
            m.mode = modeOfSubmode(m.submode);
            if (m.mode.isEmpty()) {
                std::swap(m.mode, m.submode);
            }
        }
        return m;
    }
    const QString parent = modeOfSubmode(m.mode);
    if (!parent.isEmpty()) {
        m.submode = m.mode;
        m.mode = parent;
    }
    return m;
}

RigMode fromRig(const QString& hamlibMode) {
    struct Row {
        const char* rig;
        const char* category;
        const char* mode;
        const char* submode;
    };
    static constexpr Row table[] = {
        {"USB", "SSB", "SSB", "USB"},
        {"LSB", "SSB", "SSB", "LSB"},
        {"CW", "CW", "CW", ""},
        {"CWR", "CW", "CW", ""},
        {"CWN", "CW", "CW", ""},
        {"AM", "MIXED", "AM", ""},
        {"AMN", "MIXED", "AM", ""},
        {"AMS", "MIXED", "AM", ""},
        {"SAM", "MIXED", "AM", ""},
        {"SAL", "MIXED", "AM", ""},
        {"SAH", "MIXED", "AM", ""},
        {"ECSSUSB", "MIXED", "AM", ""},
        {"ECSSLSB", "MIXED", "AM", ""},
        {"FM", "MIXED", "FM", ""},
        {"FMN", "MIXED", "FM", ""},
        {"WFM", "MIXED", "FM", ""},
        {"RTTY", "DIGITAL", "RTTY", ""},
        {"RTTYR", "DIGITAL", "RTTY", ""},
        {"DSTAR", "MIXED", "DIGITALVOICE", "DSTAR"},
        {"C4FM", "MIXED", "DIGITALVOICE", "C4FM"},
        {"P25", "MIXED", "DIGITALVOICE", ""},
        {"DPMR", "MIXED", "DIGITALVOICE", ""},
        {"NXDNVN", "MIXED", "DIGITALVOICE", ""},
        {"NXDN-N", "MIXED", "DIGITALVOICE", ""},
        {"DCR", "MIXED", "DIGITALVOICE", ""},
        {"FAX", "MIXED", "FAX", ""},
        // Data through the rig's sound path: the rig cannot tell which data mode.
        {"PKTUSB", "DIGITAL", "", ""},
        {"PKTLSB", "DIGITAL", "", ""},
        {"PKTFM", "DIGITAL", "", ""},
        {"PKTFMN", "DIGITAL", "", ""},
        {"PKTAM", "DIGITAL", "", ""},
        {"PSK", "DIGITAL", "", ""},
        {"PSKR", "DIGITAL", "", ""},
        {"DD", "DIGITAL", "", ""},
        {"USBD1", "DIGITAL", "", ""},
        {"USBD2", "DIGITAL", "", ""},
        {"USBD3", "DIGITAL", "", ""},
        {"LSBD1", "DIGITAL", "", ""},
        {"LSBD2", "DIGITAL", "", ""},
        {"LSBD3", "DIGITAL", "", ""},
    };
    const QString name = hamlibMode.trimmed().toUpper();
    for (const Row& row : table) {
        if (name == QLatin1String(row.rig)) {
            return {QLatin1String(row.category),
                    Mode{QLatin1String(row.mode), QLatin1String(row.submode)}};
        }
    }
    return {};
}

bool readFrequency(const QString& text, double* mhz) {
    QString t = text.trimmed();
    t.replace(u',', u'.');
    bool digit = false;
    bool point = false;
    for (const QChar c : t) {
        if (c >= u'0' && c <= u'9') {
            digit = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    bool ok = false;
    const double value = digit ? QLocale::c().toDouble(t, &ok) : 0.0;
    if (!ok || value <= 0.0) {
        return false;
    }
    *mhz = value;
    return true;
}

QString frequencyText(double mhz) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, mhz, std::chars_format::fixed);
    QString text = QString::fromLatin1(digits, end.ptr - digits);
    qsizetype point = text.indexOf(u'.');
    if (point < 0) {
        text += u'.';
        point = text.size() - 1;
    }
    while (text.size() - point - 1 < 3) {
        text += u'0';
    }
    return text;
}

} // namespace hm52::rules::radio
