#include "adif/AdifImport.h"

#include "adif/AdifFields.h"
#include "adif/AdifReader.h"
#include "platform/Database.h"
#include "rules/Rules.h"
#include "storage/Codes.h"
#include "storage/Module1.h"

#include <QHash>
#include <QSet>

#include <cstring>

namespace hm52::adif {

namespace {

constexpr int progressEvery = 512;
using rules::callLimit;
using rules::placeLimit;

QString trimmedUpper(const QString& text) {
    return text.trimmed().toUpper();
}

// The repeats: the QSOs the log held before the import, and those the import has added, by
// call, sub-square, band, mode, date and time.
struct Repeats {
    QSet<QString> logged;
    QSet<QString> added;

    static QString key(const QString& call, const QString& square, const QString& band,
                       const QString& mode, const QString& date, const QString& time) {
        return call + u'\x1f' + square + u'\x1f' + band + u'\x1f' + mode + u'\x1f' + date +
               u'\x1f' + time;
    }

    void load(Module1& m) {
        // Dates and times as stored (ISO), compared with what the import stores.
        Recordset rs(m.logDb, QStringLiteral("select upper(call), upper(WWLocator), band, mode, "
                                             "date || '', time || '' from data"));
        logged.reserve(static_cast<qsizetype>(
            m.logDb.scalar(QStringLiteral("select count(*) from data")).toLongLong()));
        for (; !rs.eof(); rs.moveNext()) {
            logged.insert(key(rs.textAt(0), rs.textAt(1), rs.textAt(2), rs.textAt(3), rs.textAt(4),
                              rs.textAt(5)));
        }
    }
};

// The gazetteer: the province of a place (its first row), and of a sub-square whose places
// all lie in one province.
struct Gazetteer {
    QHash<QString, QString> provinceOfPlace;
    QHash<QString, QString> provinceOfSquare; // empty text: places in several provinces

    void load(Module1& m) {
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

    QString province(const QString& place, const QString& square) const {
        const auto byPlace = provinceOfPlace.constFind(place);
        if (byPlace != provinceOfPlace.constEnd()) {
            return byPlace.value();
        }
        return provinceOfSquare.value(square);
    }
};

// Line numbers of byte offsets that only grow.
class Lines {
public:
    explicit Lines(QByteArrayView bytes) : bytes_(bytes) {}
    int lineOf(std::int64_t offset) {
        while (at_ < offset) {
            const void* nl =
                std::memchr(bytes_.data() + at_, '\n', static_cast<size_t>(offset - at_));
            if (nl == nullptr) {
                at_ = offset;
                break;
            }
            at_ = static_cast<const char*>(nl) - bytes_.data() + 1;
            ++line_;
        }
        return line_;
    }

private:
    QByteArrayView bytes_;
    std::int64_t at_ = 0;
    int line_ = 1;
};

// One QSO as it goes into the log.
struct Qso {
    QString square, call, place, prov, mode, band, date, time, qsl;
    bool own = false; // written by this program's export: a log the award's rules governed
};

// Maps a record in the award square to a QSO; false with a reason when a field cannot be read.
bool mapRecord(const Record& r, const QString& square, const ImportOptions& options,
               const Gazetteer& gazetteer, Qso& q, QString& reason) {
    q.square = square;

    // This program's own fields keep a text exactly as the log held it; other writers' blanks
    // around a value are no part of it.
    q.call = (r.has(Field::AppCall) ? fromPercent(r.view(Field::AppCall))
                                    : r.text(Field::Call).trimmed())
                 .toUpper();
    if (q.call.trimmed().isEmpty()) {
        reason = QStringLiteral("no CALL");
        return false;
    }
    if (q.call.size() > callLimit) {
        reason = QStringLiteral("CALL \"%1\" is longer than %2 characters")
                     .arg(q.call, QString::number(callLimit));
        return false;
    }

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

    // Band: our own category, satellites, the band, else the frequency.
    const QString ownBand = r.text(Field::AppBand);
    if (codes::bands().contains(ownBand)) {
        q.band = ownBand;
    } else if (equalsLower(r.view(Field::PropMode), "sat")) {
        q.band = QStringLiteral("SAT");
    } else {
        bool knownBand = false;
        if (!r.view(Field::Band).empty()) {
            q.band = awardBandOfBand(r.view(Field::Band), &knownBand);
            if (knownBand && q.band.isEmpty()) {
                reason = QStringLiteral("BAND %1 is not one of the award's bands")
                             .arg(r.text(Field::Band).trimmed());
                return false;
            }
        }
        if (!knownBand) {
            if (r.view(Field::Freq).empty()) {
                reason = r.view(Field::Band).empty()
                             ? QStringLiteral("neither BAND nor FREQ")
                             : QStringLiteral("BAND \"%1\" is no ADIF band, and there is no FREQ")
                                   .arg(r.text(Field::Band).trimmed());
                return false;
            }
            bool readable = false;
            const QString adifBand = adifBandOfFrequency(r.view(Field::Freq), &readable);
            q.band = awardBandOfBand(adifBand.toStdString());
            if (q.band.isEmpty()) {
                reason = !readable ? QStringLiteral("FREQ \"%1\" is not a frequency")
                                         .arg(r.text(Field::Freq).trimmed())
                         : adifBand.isEmpty()
                             ? QStringLiteral("FREQ %1 MHz lies in no amateur band")
                                   .arg(r.text(Field::Freq).trimmed())
                             : QStringLiteral("FREQ %1 MHz lies in the %2 band, not one of the "
                                              "award's bands")
                                   .arg(r.text(Field::Freq).trimmed(), adifBand);
                return false;
            }
        }
    }

    const QString ownMode = r.text(Field::AppMode);
    if (options.allMixed) {
        q.mode = QStringLiteral("MIXED");
    } else if (codes::modes().contains(ownMode)) {
        q.mode = ownMode;
    } else {
        q.mode = awardModeOf(r.view(Field::Mode), r.view(Field::Submode));
    }

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

    q.place = (r.has(Field::AppPlace) ? fromPercent(r.view(Field::AppPlace))
                                      : r.text(Field::Qth).trimmed())
                  .toUpper()
                  .left(placeLimit);

    const QString state = trimmedUpper(r.text(Field::State));
    q.prov = codes::provinces().contains(state) ? state
                                                : gazetteer.province(q.place.trimmed(), q.square);
    return true;
}

ImportReport cancelledReport() {
    ImportReport report;
    report.cancelled = true;
    return report;
}

QString describe(const Qso& q) {
    return QStringLiteral("%1 HM52%2 %3 %4").arg(q.call, q.square, q.band, q.mode);
}

} // namespace

ImportReport importAdif(Module1& m, QByteArrayView bytes, const ImportOptions& options,
                        const ImportProgress& progress) {
    ImportReport report;
    Gazetteer gazetteer;
    gazetteer.load(m);
    Repeats repeats;
    repeats.load(m);
    // The award's rules against what the log held before the import, and against what the
    // import has added.
    rules::Groups logged;
    logged.load(m);
    rules::Groups added;

    Transaction transaction(m.logDb);
    rules::Numbering numbering(m);

    std::unique_ptr<Recordset> table;
    Reader reader(bytes);
    Lines lines(bytes);
    Record r;
    Qso q;
    QString reason;
    auto note = [&lines, &r](std::vector<ImportNote>& notes, const QString& why) {
        notes.push_back({r.number, lines.lineOf(r.offset), why});
    };

    while (reader.next(r)) {
        ++report.records;
        if (progress && report.records % progressEvery == 0 &&
            !progress(reader.position(), reader.size())) {
            return cancelledReport();
        }
        if (r.charsCounted) {
            ++report.charsCounted;
        }
        if (!r.error.isEmpty()) {
            ++report.unreadable;
            note(report.unreadableNotes, r.error);
            continue;
        }
        // Only the award square's QSOs come in. Our own files name odd sub-squares in a
        // field of their own.
        QString square;
        if (r.has(Field::AppLocator)) {
            square = fromPercent(r.view(Field::AppLocator)).toUpper();
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
        if (square.isEmpty()) {
            ++report.outside;
            continue;
        }
        reason.clear();
        if (!mapRecord(r, square, options, gazetteer, q, reason)) {
            ++report.unreadable;
            note(report.unreadableNotes, reason);
            continue;
        }

        // A file this program wrote is a log that the award's rules already governed: its
        // QSOs are held against the log, and against each other only where that log could
        // not have held them both. It may hold the same QSO twice, and worked QSOs logged
        // before their sub-square was accredited.
        const QString exactKey = Repeats::key(q.call, q.square, q.band, q.mode, q.date, q.time);
        if (repeats.logged.contains(exactKey) || (!q.own && repeats.added.contains(exactKey))) {
            ++report.repeats;
            continue;
        }
        const rules::Conflict before =
            rules::conflictOf(logged.of(q.square, q.band, q.mode), q.qsl);
        rules::Conflict within = rules::conflictOf(added.of(q.square, q.band, q.mode), q.qsl);
        if (within == rules::Conflict::AccreditedStands && q.own && q.qsl == codes::worked) {
            within = rules::Conflict::None; // logged before its sub-square was accredited
        }
        if (before == rules::Conflict::AccreditedStands ||
            within == rules::Conflict::AccreditedStands) {
            ++report.refused;
            note(report.refusedNotes,
                 describe(q) + QStringLiteral(": the sub-square is already accredited on this "
                                              "band and mode"));
            continue;
        }
        if (before == rules::Conflict::ConfirmedStands ||
            within == rules::Conflict::ConfirmedStands) {
            ++report.refused;
            note(report.refusedNotes,
                 describe(q) + QStringLiteral(": a confirmed QSO of this sub-square, band and "
                                              "mode is already in the log"));
            continue;
        }

        const int number = numbering.next();
        if (!table) {
            table = std::make_unique<Recordset>(m.logDb, QStringLiteral("data"));
        }
        table->addNew();
        table->setField(QStringLiteral("count"), number);
        table->setField(QStringLiteral("WWLocator"), q.square);
        table->setField(QStringLiteral("place"), q.place);
        table->setField(QStringLiteral("prov"), q.prov);
        table->setField(QStringLiteral("mode"), q.mode);
        table->setField(QStringLiteral("band"), q.band);
        table->setField(QStringLiteral("call"), q.call);
        table->setField(QStringLiteral("date"), q.date);
        table->setField(QStringLiteral("time"), q.time);
        table->setField(QStringLiteral("qsl"), q.qsl);
        table->update();
        ++report.imported;
        repeats.added.insert(exactKey);
        added.add(q.square, q.band, q.mode, q.qsl);
    }
    if (progress && !progress(reader.size(), reader.size())) {
        return cancelledReport();
    }
    table.reset();
    transaction.commit();
    return report;
}

QString ImportReport::text(const QString& fileName) const {
    if (cancelled) {
        return QStringLiteral("Import of %1 cancelled: nothing was imported.").arg(fileName);
    }
    // One pass over the text, so that a "%2" in the file's name stays as it is.
    QString out = records == 1 ? QStringLiteral("Import of %1: 1 record\n\n").arg(fileName)
                               : QStringLiteral("Import of %1: %2 records\n\n")
                                     .arg(fileName, QString::number(records));
    out += QStringLiteral("Imported: %1\n").arg(imported);
    out += QStringLiteral("Outside the award square: %1\n").arg(outside);
    out += QStringLiteral("Repeats of QSOs already in the log: %1\n").arg(repeats);
    out += QStringLiteral("Refused by the award's rules: %1\n").arg(refused);
    out += QStringLiteral("Unreadable: %1\n").arg(unreadable);
    if (charsCounted == 1) {
        out += QStringLiteral("\n1 record gave lengths in characters instead of bytes; it was "
                              "read by characters.\n");
    } else if (charsCounted > 1) {
        out += QStringLiteral("\n%1 records gave lengths in characters instead of bytes; they "
                              "were read by characters.\n")
                   .arg(charsCounted);
    }
    auto list = [&out](const QString& title, const std::vector<ImportNote>& notes) {
        if (notes.empty()) {
            return;
        }
        out += u'\n' + title + u'\n';
        for (const ImportNote& n : notes) {
            out += QStringLiteral("  record %1 (line %2): %3\n")
                       .arg(n.record)
                       .arg(n.line)
                       .arg(n.reason);
        }
    };
    list(QStringLiteral("Refused by the award's rules:"), refusedNotes);
    list(QStringLiteral("Unreadable:"), unreadableNotes);
    return out;
}

} // namespace hm52::adif
