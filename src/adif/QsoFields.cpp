#include "adif/QsoFields.h"

#include "adif/AdifFields.h"
#include "rules/Radio.h"
#include "storage/Codes.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace hm52::adif {

namespace {

bool needsEscape(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20U || b > 0x7EU || c == '%' || c == '<' || c == '>';
}

bool hasLower(QByteArrayView v) {
    for (const char c : v) {
        if (c >= 'a' && c <= 'z') {
            return true;
        }
    }
    return false;
}

bool isDigits(QByteArrayView v, qsizetype from, qsizetype n) {
    for (qsizetype i = from; i < from + n; ++i) {
        if (v[i] < '0' || v[i] > '9') {
            return false;
        }
    }
    return true;
}

int twoDigits(QByteArrayView v, qsizetype at) {
    return (v[at] - '0') * 10 + (v[at + 1] - '0');
}

class Writer {
public:
    explicit Writer(FieldSink& sink) : sink_(sink) {}
    void standard(std::string_view name, QByteArrayView value) { sink_.field(name, value, 0); }
    // The exact text in a field of this program's own, escaped where a byte needs it.
    void own(std::string_view name, QByteArrayView value) {
        for (const char c : value) {
            if (needsEscape(c)) {
                sink_.field(name, percentOf(QString::fromUtf8(value)), 'S');
                return;
            }
        }
        sink_.field(name, value, 'S');
    }
    // A text for other programs in a standard field, and exactly in our own where the
    // standard one would not give it back. A call sign goes upper case into CALL.
    void text(std::string_view name, std::string_view ownName, QByteArrayView value,
              bool callSign) {
        if (sink_.overridden(name)) {
            own(ownName, value);
            return;
        }
        if (plainValue(value) && !(callSign && hasLower(value))) {
            if (!value.isEmpty()) {
                standard(name, value);
            }
            return;
        }
        QString ascii = asciiOf(QString::fromUtf8(value)).trimmed();
        if (callSign) {
            ascii = ascii.toUpper();
        }
        if (!ascii.isEmpty()) {
            standard(name, ascii.toLatin1());
        }
        own(ownName, value);
    }

private:
    FieldSink& sink_;
};

} // namespace

const std::array<const char*, columnCount>& columnNames() {
    static const std::array<const char*, columnCount> names{
        "call", "WWLocator", "place", "prov", "mode", "band", "date", "time", "qsl"};
    return names;
}

bool plainValue(QByteArrayView value) {
    if (!value.isEmpty() && (value.front() == ' ' || value.back() == ' ')) {
        return false;
    }
    for (const char c : value) {
        if (needsEscape(c)) {
            return false;
        }
    }
    return true;
}

void fieldsOfRow(const LogRow& row, FieldSink& sink) {
    Writer w(sink);
    const auto& c = row.column;

    w.text("CALL", "APP_HM52_CALL", c[Call], true);

    const QByteArrayView square = c[Square];
    const auto isAX = [](char ch) { return ch >= 'A' && ch <= 'X'; };
    if (sink.overridden("GRIDSQUARE")) {
        w.own("APP_HM52_LOCATOR", square);
    } else if (square.size() == 2 && isAX(square[0]) && isAX(square[1])) {
        // Written from a small buffer: this runs for nearly every QSO of an export.
        static const QByteArray awardSquare = codes::awardSquare.toLatin1();
        char grid[8];
        std::copy(awardSquare.begin(), awardSquare.end(), grid);
        grid[awardSquare.size()] = square[0];
        grid[awardSquare.size() + 1] = square[1];
        w.standard("GRIDSQUARE", QByteArrayView(grid, awardSquare.size() + 2));
    } else {
        const QString letters = QString::fromUtf8(square);
        if (isSubSquare(letters)) {
            w.standard("GRIDSQUARE", (codes::awardSquare + letters.toUpper()).toLatin1());
        }
        w.own("APP_HM52_LOCATOR", square);
    }

    // A stored date that QSO_DATE gives back exactly needs nothing more.
    const QByteArrayView date = c[Date];
    bool dateBack = false;
    if (date.size() == 10 && date[4] == '-' && date[7] == '-' && isDigits(date, 0, 4) &&
        isDigits(date, 5, 2) && isDigits(date, 8, 2)) {
        const char written[8] = {date[0], date[1], date[2], date[3],
                                 date[5], date[6], date[8], date[9]};
        w.standard("QSO_DATE", QByteArrayView(written, 8));
        dateBack = storesAsDate(std::string_view(written, 8));
    }
    if (!dateBack || sink.overridden("QSO_DATE")) {
        w.own("APP_HM52_DATE", date);
    }

    const QByteArrayView time = c[Time];
    bool timeBack = false;
    if (time.size() == 8 && time[2] == ':' && time[5] == ':' && isDigits(time, 0, 2) &&
        isDigits(time, 3, 2) && isDigits(time, 6, 2) && twoDigits(time, 0) < 24 &&
        twoDigits(time, 3) < 60 && twoDigits(time, 6) < 60) {
        timeBack = time.sliced(6) == "00";
        const char written[6] = {time[0], time[1], time[3], time[4], time[6], time[7]};
        w.standard("TIME_ON", QByteArrayView(written, timeBack ? 4 : 6));
    }
    if (!timeBack || sink.overridden("TIME_ON")) {
        w.own("APP_HM52_TIME", time);
    }

    w.text("QTH", "APP_HM52_PLACE", c[Place], false);
    w.text("STATE", "APP_HM52_PROV", c[Prov], false);

    // The exact values where the QSO has them; else what its categories tell, which the
    // importer of this program's own files must not take for exact values.
    const QByteArrayView mode = c[Mode];
    QByteArray implied;
    if (!row.exactMode.isEmpty()) {
        w.standard("MODE", row.exactMode);
        if (!row.exactSubmode.isEmpty()) {
            w.standard("SUBMODE", row.exactSubmode);
        }
    } else if (mode == "SSB" || mode == "CW") {
        w.standard("MODE", mode);
        if (!sink.overridden("MODE")) {
            implied = "MODE";
        }
    }
    const QByteArrayView band = c[Band];
    if (!row.exactBand.isEmpty()) {
        w.standard("BAND", row.exactBand);
    } else {
        // The award bands are few: their single ADIF bands are looked up once.
        static const auto adifBands = []() {
            std::vector<std::pair<QByteArray, QByteArray>> table;
            for (const QString& b : codes::bands()) {
                table.emplace_back(b.toUtf8(), rules::radio::onlyBandOf(b).toLatin1());
            }
            return table;
        }();
        for (const auto& [award, adif] : adifBands) {
            if (band == award && !adif.isEmpty()) {
                w.standard("BAND", adif);
                if (!sink.overridden("BAND")) {
                    implied = implied.isEmpty() ? QByteArray("BAND") : "BAND," + implied;
                }
            }
        }
    }
    if (row.freq > 0) {
        char digits[64];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, row.freq, std::chars_format::fixed);
        w.standard("FREQ", QByteArrayView(digits, end.ptr - digits));
    }
    if (band.compare("SAT", Qt::CaseInsensitive) == 0) {
        w.standard("PROP_MODE", "SAT");
    }
    const QByteArrayView qsl = c[Qsl];
    if (qsl.compare("c", Qt::CaseInsensitive) == 0 || qsl.compare("a", Qt::CaseInsensitive) == 0) {
        w.standard("QSL_RCVD", "Y");
    } else if (qsl.compare("w", Qt::CaseInsensitive) == 0) {
        w.standard("QSL_RCVD", "N");
    }

    char number[24];
    const auto digits = std::to_chars(number, number + sizeof number, row.count);
    sink.field("APP_HM52_COUNT", QByteArrayView(number, digits.ptr - number), 'N');
    w.own("APP_HM52_BAND", band);
    w.own("APP_HM52_MODE", mode);
    w.own("APP_HM52_QSL", qsl);
    if (row.nulls != 0) {
        QByteArray names;
        for (int i = 0; i < columnCount; ++i) {
            if ((row.nulls & (1U << i)) != 0) {
                if (!names.isEmpty()) {
                    names += ',';
                }
                names += columnNames()[static_cast<size_t>(i)];
            }
        }
        w.own("APP_HM52_NULL", names);
    }
    if (!implied.isEmpty()) {
        w.own("APP_HM52_IMPLIED", implied);
    }
}

QByteArray frequencyField(double mhz) {
    char digits[64];
    const auto end = std::to_chars(digits, digits + sizeof digits, mhz, std::chars_format::fixed);
    return QByteArray(digits, end.ptr - digits);
}

} // namespace hm52::adif
