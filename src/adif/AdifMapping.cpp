#include "adif/AdifMapping.h"

#include "adif/AdifFields.h"
#include "adif/AdifReader.h"
#include "adif/QsoFields.h"
#include "platform/Database.h"
#include "rules/Radio.h"
#include "rules/Rules.h"
#include "storage/Codes.h"
#include "storage/Module1.h"

#include <QDate>

namespace hm52::adif {

namespace {

using rules::callLimit;
using rules::placeLimit;
namespace radio = rules::radio;

// A text as a report quotes it.
QString cut(const QString& text) {
    return text.size() <= 60 ? text : text.left(60) + QStringLiteral("...");
}

QString own(const Record& r, Field f) {
    return fromPercent(r.view(f));
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool blank(std::string_view v) {
    for (const char c : v) {
        if (!isSpace(c)) {
            return false;
        }
    }
    return true;
}

// The award band of a record: our own category, satellites, the band, else the frequency.
Mapped bandOf(const Record& r, QString& band, QString& reason) {
    const QString ownBand = r.text(Field::AppBand);
    if (codes::bands().contains(ownBand)) {
        band = ownBand;
        return Mapped::Yes;
    }
    if (equalsLower(r.view(Field::PropMode), "sat") || !blank(r.view(Field::SatName))) {
        band = QStringLiteral("SAT");
        return Mapped::Yes;
    }
    bool knownBand = false;
    if (!r.view(Field::Band).empty()) {
        band = radio::categoryOfBand(r.view(Field::Band), &knownBand);
        if (knownBand && band.isEmpty()) {
            reason = QStringLiteral("BAND %1 is not one of the award's bands")
                         .arg(shown(r.view(Field::Band)).trimmed());
            return Mapped::Refused;
        }
    }
    if (knownBand) {
        return Mapped::Yes;
    }
    const QString shownBand = shown(r.view(Field::Band)).trimmed();
    const QString shownFreq = shown(r.view(Field::Freq)).trimmed();
    if (r.view(Field::Freq).empty()) {
        reason = r.view(Field::Band).empty()
                     ? QStringLiteral("neither BAND nor FREQ")
                     : QStringLiteral("BAND \"%1\" is no ADIF band, and there is no FREQ")
                           .arg(shownBand);
        return Mapped::Unreadable;
    }
    double mhz = 0;
    const bool readable = frequencyOf(r.view(Field::Freq), &mhz);
    const QString adifBand = readable ? radio::bandOfFrequency(mhz) : QString();
    band = radio::categoryOfBand(adifBand);
    if (!band.isEmpty()) {
        return Mapped::Yes;
    }
    if (!readable) {
        reason = QStringLiteral("FREQ \"%1\" is not a frequency").arg(shownFreq);
        return Mapped::Unreadable;
    }
    if (adifBand.isEmpty()) {
        reason = QStringLiteral("FREQ %1 MHz lies in no amateur band").arg(shownFreq);
        return Mapped::Unreadable;
    }
    reason = QStringLiteral("FREQ %1 MHz lies in the %2 band, not one of the award's bands")
                 .arg(shownFreq, adifBand);
    return Mapped::Refused;
}

// A call or place with a control character is no call or place (a NUL would cut it short):
// the record is unreadable, the reason naming the field and showing the characters.
bool controlIn(const QString& text, Field f, QString& reason) {
    if (!rules::holdsControl(text)) {
        return false;
    }
    reason = QStringLiteral("%1 \"%2\" holds a control character")
                 .arg(QLatin1String(fieldName(f)), cut(rules::controlsShown(text)));
    return true;
}

// The exact values of a record that fit the QSO's categories: its BAND (another writer's
// record: else the band of its FREQ), its FREQ when that lies in the band, its MODE and
// SUBMODE as ADIF pairs them. This program's own files name in APP_HM52_IMPLIED the BAND and
// MODE that the categories gave, which are no exact values.
radiotable::Values exactOf(const Record& r, const Qso& q) {
    const bool own = r.has(Field::AppBand) || r.has(Field::AppMode);
    const std::string_view implied = r.view(Field::AppImplied);
    const auto isImplied = [implied](std::string_view name) {
        return implied.find(name) != std::string_view::npos;
    };
    radiotable::Values v;
    double mhz = 0;
    const bool freq = frequencyOf(r.view(Field::Freq), &mhz) && mhz > 0;
    if (!isImplied("BAND")) {
        v.band = radio::bandName(r.view(Field::Band));
        if (v.band.isEmpty() && !own && freq) {
            v.band = radio::bandOfFrequency(mhz);
        }
    }
    double low = 0;
    double high = 0;
    if (!radio::bandFits(q.band, v.band) || !radio::edgesOf(v.band, &low, &high)) {
        v.band.clear();
    } else if (freq && mhz >= low && mhz <= high) {
        v.freq = mhz;
    }
    if (!isImplied("MODE") && (!blank(r.view(Field::Mode)) || !blank(r.view(Field::Submode)))) {
        const radio::Mode m = radio::adifMode(r.view(Field::Mode), r.view(Field::Submode));
        if (radio::modeFits(q.mode, m)) {
            v.mode = m.mode;
            v.submode = m.submode;
        }
    }
    return v;
}

bool dateAndTime(const Record& r, Qso& q, QString& reason) {
    if (!r.has(Field::QsoDate)) {
        reason = QStringLiteral("no QSO_DATE");
        return false;
    }
    q.date = storedDateOf(r.view(Field::QsoDate), &reason);
    if (q.date.isEmpty()) {
        return false;
    }
    if (!r.has(Field::TimeOn)) {
        reason = QStringLiteral("no TIME_ON");
        return false;
    }
    const QString formTime = formTimeOf(r.view(Field::TimeOn), &reason);
    if (formTime.isEmpty()) {
        return false;
    }
    q.time = formTime + QStringLiteral(":00");
    return true;
}

} // namespace

void Gazetteer::load(Module1& m) {
    Recordset rs(m.placesDb, QStringLiteral("select place, prov, WWLocator from places"));
    const int p = rs.fieldIndex(QStringLiteral("place"));
    const int v = rs.fieldIndex(QStringLiteral("prov"));
    const int w = rs.fieldIndex(QStringLiteral("WWLocator"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString place = rs.textAt(p).toUpper();
        const QString prov = rs.textAt(v).toUpper();
        if (!provinceOfPlace.contains(place)) {
            provinceOfPlace.insert(place, prov);
        }
        const QString square = rs.textAt(w).toUpper().mid(4);
        const auto found = provinceOfSquare.constFind(square);
        if (found == provinceOfSquare.constEnd()) {
            provinceOfSquare.insert(square, prov);
        } else if (found.value() != prov) {
            provinceOfSquare.insert(square, QString());
        }
    }
}

QString Gazetteer::province(const QString& place, const QString& square) const {
    const auto byPlace = provinceOfPlace.constFind(place);
    if (byPlace != provinceOfPlace.constEnd()) {
        return byPlace.value();
    }
    return provinceOfSquare.value(square);
}

QString squareOf(const Record& r, bool exact) {
    QString square;
    if (r.has(Field::AppLocator)) {
        square = own(r, Field::AppLocator);
        if (exact) {
            return square;
        }
        square = square.toUpper();
        if (square.size() != 2) {
            square.clear();
        }
    }
    if (square.isEmpty()) {
        square = subSquareOf(r.view(Field::GridSquare));
        if (square.isEmpty() && r.has(Field::VuccGrids)) {
            square = subSquareOfList(r.view(Field::VuccGrids));
        }
    }
    return square;
}

qint64 secondsOf(QStringView date, QStringView time) {
    if (date.size() != 10 || time.size() != 8 || time[2] != u':' || time[5] != u':') {
        return -1;
    }
    const QDate day = QDate::fromString(date.toString(), Qt::ISODate);
    bool okH = false;
    bool okM = false;
    bool okS = false;
    const int h = time.first(2).toInt(&okH);
    const int m = time.sliced(3, 2).toInt(&okM);
    const int s = time.sliced(6, 2).toInt(&okS);
    if (!day.isValid() || !okH || !okM || !okS) {
        return -1;
    }
    return day.toJulianDay() * 86400 + qint64{h} * 3600 + qint64{m} * 60 + s;
}

Mapped mapRecord(const Record& r, const QString& square, const ImportOptions& options,
                 const Gazetteer& gazetteer, Qso& q, QString& reason) {
    q = Qso{};
    q.square = square;

    // This program's own fields keep a text exactly as the log held it; other writers' blanks
    // around a value are no part of it.
    q.call =
        (r.has(Field::AppCall) ? own(r, Field::AppCall) : r.text(Field::Call).trimmed()).toUpper();
    if (q.call.trimmed().isEmpty()) {
        reason = QStringLiteral("no CALL");
        return Mapped::Unreadable;
    }
    if (q.call.size() > callLimit) {
        reason = QStringLiteral("CALL \"%1\" is longer than %2 characters")
                     .arg(cut(q.call), QString::number(callLimit));
        return Mapped::Unreadable;
    }
    if (controlIn(q.call, r.has(Field::AppCall) ? Field::AppCall : Field::Call, reason)) {
        return Mapped::Unreadable;
    }
    if (!dateAndTime(r, q, reason)) {
        return Mapped::Unreadable;
    }
    const Mapped band = bandOf(r, q.band, reason);
    if (band != Mapped::Yes) {
        return band;
    }

    // Another writer's record without a mode would come in as MIXED: the same QSO logged
    // again beside the one it is (a DIGITAL QSO exported without MODE, say).
    const QString ownMode = r.text(Field::AppMode);
    if (!r.has(Field::AppMode) && blank(r.view(Field::Mode)) && blank(r.view(Field::Submode))) {
        reason = QStringLiteral("no MODE");
        return Mapped::Unreadable;
    }
    if (options.allMixed) {
        q.mode = QStringLiteral("MIXED");
    } else if (codes::modes().contains(ownMode)) {
        q.mode = ownMode;
    } else {
        q.mode = radio::categoryOfMode(r.view(Field::Mode), r.view(Field::Submode));
    }
    q.exact = exactOf(r, q);

    const QString ownQsl = r.text(Field::AppQsl);
    q.own = ownQsl == codes::worked || ownQsl == codes::confirmed || ownQsl == codes::accredited;
    if (q.own) {
        q.qsl = ownQsl;
    } else {
        const bool received = isYes(r.view(Field::QslRcvd)) ||
                              (options.lotwCounts && isYes(r.view(Field::LotwQslRcvd))) ||
                              (options.eqslCounts && isYes(r.view(Field::EqslQslRcvd)));
        q.qsl = received ? codes::confirmed : codes::worked;
    }

    q.place =
        (r.has(Field::AppPlace) ? own(r, Field::AppPlace) : r.text(Field::Qth).trimmed()).toUpper();
    if (controlIn(q.place, r.has(Field::AppPlace) ? Field::AppPlace : Field::Qth, reason)) {
        return Mapped::Unreadable;
    }
    q.place.truncate(placeLimit);
    const QString state = r.text(Field::State).trimmed().toUpper();
    q.prov = codes::provinces().contains(state) ? state
                                                : gazetteer.province(q.place.trimmed(), q.square);
    q.seconds = secondsOf(q.date, q.time);
    return Mapped::Yes;
}

bool exactRecord(const Record& r, const QString& square, Qso& q, QString& reason) {
    if (!r.has(Field::AppCount) || !r.has(Field::AppBand) || !r.has(Field::AppMode) ||
        !r.has(Field::AppQsl)) {
        return false;
    }
    q = Qso{};
    bool ok = false;
    q.count = QByteArray(r.view(Field::AppCount).data(),
                         static_cast<qsizetype>(r.view(Field::AppCount).size()))
                  .trimmed()
                  .toLongLong(&ok);
    if (!ok || q.count < -2147483648LL || q.count > 2147483647LL) {
        reason = QStringLiteral("APP_HM52_COUNT \"%1\" is not a QSO number")
                     .arg(shown(r.view(Field::AppCount)));
        return true;
    }
    q.square = square;
    q.call = r.has(Field::AppCall) ? own(r, Field::AppCall) : r.text(Field::Call);
    q.place = r.has(Field::AppPlace) ? own(r, Field::AppPlace) : r.text(Field::Qth);
    if (controlIn(q.call, r.has(Field::AppCall) ? Field::AppCall : Field::Call, reason) ||
        controlIn(q.place, r.has(Field::AppPlace) ? Field::AppPlace : Field::Qth, reason)) {
        return true;
    }
    q.prov = r.has(Field::AppProv) ? own(r, Field::AppProv) : r.text(Field::State);
    q.band = own(r, Field::AppBand);
    q.mode = own(r, Field::AppMode);
    q.qsl = own(r, Field::AppQsl);
    q.own = true;
    if (r.has(Field::AppDate)) {
        q.date = own(r, Field::AppDate);
    } else {
        q.date = storedDateOf(r.view(Field::QsoDate), &reason);
        if (q.date.isEmpty()) {
            return true;
        }
    }
    if (r.has(Field::AppTime)) {
        q.time = own(r, Field::AppTime);
    } else {
        const QString formTime = formTimeOf(r.view(Field::TimeOn), &reason);
        if (formTime.isEmpty()) {
            return true;
        }
        q.time = formTime + QStringLiteral(":00");
    }
    const QStringList nulls = own(r, Field::AppNull).split(u',', Qt::SkipEmptyParts);
    for (int i = 0; i < columnCount; ++i) {
        if (nulls.contains(QLatin1String(columnNames()[static_cast<size_t>(i)]))) {
            q.nulls |= 1U << i;
        }
    }
    q.exact = exactOf(r, q);
    q.seconds = secondsOf(q.date, q.time);
    return true;
}

} // namespace hm52::adif
