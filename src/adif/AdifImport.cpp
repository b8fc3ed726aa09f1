#include "adif/AdifImport.h"

#include "adif/AdifFields.h"
#include "adif/AdifMapping.h"
#include "adif/AdifReader.h"
#include "adif/KeptFields.h"
#include "adif/QsoFields.h"
#include "platform/Database.h"
#include "platform/PreparedWrite.h"
#include "rules/Rules.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/RadioTable.h"
#include "storage/Schema.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <deque>
#include <tuple>

namespace hm52::adif {

namespace {

constexpr int progressEvery = 512;
// How far apart in time a confirmation and the worked QSO it confirms may lie: the other
// station's clock and log are not ours.
constexpr qint64 matchWindow = qint64{30} * 60;

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

// The log's columns of a QSO as UTF-8, kept alive for a LogRow.
struct RowBytes {
    std::array<QByteArray, columnCount> bytes;
    QByteArray exactBand, exactMode, exactSubmode;
    LogRow row;

    explicit RowBytes(const Qso& q, qint64 count)
        : exactBand(q.exact.band.toLatin1()), exactMode(q.exact.mode.toLatin1()),
          exactSubmode(q.exact.submode.toLatin1()) {
        const std::array<const QString*, columnCount> texts{
            &q.call, &q.square, &q.place, &q.prov, &q.mode, &q.band, &q.date, &q.time, &q.qsl};
        for (int i = 0; i < columnCount; ++i) {
            bytes[static_cast<size_t>(i)] = texts[static_cast<size_t>(i)]->toUtf8();
            row.column[static_cast<size_t>(i)] = bytes[static_cast<size_t>(i)];
        }
        row.count = count;
        row.nulls = q.nulls;
        row.exactBand = exactBand;
        row.exactMode = exactMode;
        row.exactSubmode = exactSubmode;
        row.freq = q.exact.freq;
    }
};

// An exact band as the index compares it: 0 for none.
quint64 bandKey(const QString& band) {
    return band.isEmpty() ? 0 : qHash(band.toLower(), 7) | 1U;
}

// The key of a QSO's call, sub-square, band and mode, in any letter case.
QString matchKey(const QString& call, const QString& square, const QString& band,
                 const QString& mode) {
    return (call + u'\x1f' + square + u'\x1f' + band + u'\x1f' + mode).toUpper();
}

QString groupKey(const Qso& q) {
    return (q.square + u'\x1f' + q.band + u'\x1f' + q.mode).toUpper();
}

// The QSOs the log held before the import, by call, sub-square, band and mode: for the
// repeats, and for the worked QSOs that a confirmation may confirm. Two hashes of the key
// stand for it, so that a million QSOs take a few tens of megabytes.
class LogIndex {
public:
    struct Entry {
        quint64 key;
        quint64 check;
        quint64 when; // the stored date and time, as text
        quint64 band; // the exact band, 0 for none
        qint64 seconds;
        qint64 count;
        char qsl;
        bool claimed;
    };

    void load(Module1& m) {
        const bool radio = radiotable::exists(m.logDb);
        Recordset rs(m.logDb,
                     QStringLiteral("select d.call, d.WWLocator, d.band, d.mode, d.date || '', "
                                    "d.time || '', lower(d.qsl), d.count") +
                         (radio ? QStringLiteral(", r.band from data d left join %1 r on "
                                                 "r.count = d.count")
                                      .arg(QLatin1String(radiotable::tableName))
                                : QStringLiteral(", null from data d")));
        for (; !rs.eof(); rs.moveNext()) {
            const QString key = matchKey(rs.textAt(0), rs.textAt(1), rs.textAt(2), rs.textAt(3));
            const QString qsl = rs.textAt(6);
            entries_.push_back({hashOf(key, 1), hashOf(key, 2), whenOf(rs.textAt(4), rs.textAt(5)),
                                bandKey(rs.textAt(8)), secondsOf(rs.textAt(4), rs.textAt(5)),
                                rs.intAt(7), qsl.size() == 1 ? qsl[0].toLatin1() : '?', false});
        }
        std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return std::tie(a.key, a.check, a.seconds) < std::tie(b.key, b.check, b.seconds);
        });
    }

    // The log's QSOs of a call, sub-square, band and mode.
    std::pair<Entry*, Entry*> of(const QString& key) {
        const Entry probe{hashOf(key, 1), hashOf(key, 2), 0, 0, 0, 0, 0, false};
        return std::equal_range(entries_.data(), entries_.data() + entries_.size(), probe,
                                [](const Entry& a, const Entry& b) {
                                    return std::tie(a.key, a.check) < std::tie(b.key, b.check);
                                });
    }

    static quint64 whenOf(const QString& date, const QString& time) {
        return hashOf(date + u'\x1f' + time, 3);
    }

private:
    static quint64 hashOf(const QString& key, size_t seed) {
        return qHash(key, seed * 0x9E3779B9U);
    }
    std::vector<Entry> entries_;
};

enum class Outcome { Insert, Confirm, Repeat, Refused };

struct Candidate {
    Qso q;
    QByteArray kept;
    int record = 0;
    int line = 0;
    Outcome outcome = Outcome::Insert;
    qint64 match = 0;    // the worked QSO of the log that the record confirms
    int winner = -1;     // refused: the record of the file that stands in its group
    qint64 standing = 0; // refused: the QSO of the log that stands in its group
    bool accreditedStands = false;
    qint64 number = 0;
};

// A deque: a hundred thousand records come in without being moved as it grows.
using Candidates = std::deque<Candidate>;

bool isCode(const QString& value, const QStringList& codes) {
    return std::any_of(codes.begin(), codes.end(), [&value](const QString& c) {
        return c.compare(value, Qt::CaseInsensitive) == 0;
    });
}

// The values of a QSO copied as they stand that are none of the log's codes.
QStringList oddValues(const Qso& q) {
    QStringList odd;
    const auto check = [&odd](const char* column, const QString& value, const QStringList& codes) {
        if (!isCode(value, codes)) {
            odd << QStringLiteral("%1 \"%2\"").arg(QLatin1String(column), value.left(60));
        }
    };
    check("band", q.band, codes::bands());
    check("mode", q.mode, codes::modes());
    check("qsl", q.qsl, {codes::worked, codes::confirmed, codes::accredited});
    return odd;
}

QString describe(const Qso& q) {
    return QStringLiteral("%1 HM52%2 %3 %4").arg(q.call, q.square, q.band, q.mode);
}

ImportReport cancelledReport() {
    ImportReport report;
    report.cancelled = true;
    return report;
}

// The award's rules over the records of a file, against the log and against each other:
// repeats, the confirmations of worked QSOs, and in each sub-square, band and mode what the
// rules let stand.
void applyRules(Module1& m, Candidates& candidates) {
    LogIndex index;
    index.load(m);
    rules::Groups logged;
    logged.load(m);
    QSet<QString> added; // the records of the file that come in, by their whole key

    for (Candidate& c : candidates) {
        const QString key = matchKey(c.q.call, c.q.square, c.q.band, c.q.mode);
        const auto [first, last] = index.of(key);
        const bool received = !c.q.own && c.q.qsl == codes::confirmed;
        LogIndex::Entry* nearest = nullptr;
        const quint64 when = LogIndex::whenOf(c.q.date, c.q.time);
        // A report and a QSO that both name their exact band confirm only on the same one.
        const quint64 band = bandKey(c.q.exact.band);
        for (LogIndex::Entry* e = first; e != last; ++e) {
            if (e->when == when && (!received || e->qsl != 'w')) {
                c.outcome = Outcome::Repeat;
                break;
            }
            const qint64 apart = std::abs(e->seconds - c.q.seconds);
            if (received && e->qsl == 'w' && !e->claimed && e->seconds >= 0 && c.q.seconds >= 0 &&
                apart <= matchWindow && (band == 0 || e->band == 0 || band == e->band) &&
                (nearest == nullptr || apart < std::abs(nearest->seconds - c.q.seconds))) {
                nearest = e;
            }
        }
        if (c.outcome == Outcome::Repeat) {
            continue;
        }
        if (nearest != nullptr) {
            nearest->claimed = true;
            c.outcome = Outcome::Confirm;
            c.match = nearest->count;
            continue;
        }
        const QString whole = key + u'\x1f' + c.q.date + u'\x1f' + c.q.time;
        if (!c.q.own && added.contains(whole)) {
            c.outcome = Outcome::Repeat;
            continue;
        }
        added.insert(whole);
    }

    // Each group's records that come in or confirm, as the rules weigh them.
    QHash<QString, std::vector<int>> groups;
    for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
        if (candidates[static_cast<size_t>(i)].outcome != Outcome::Repeat) {
            groups[groupKey(candidates[static_cast<size_t>(i)].q)].push_back(i);
        }
    }
    std::vector<rules::Newcomer> newcomers;
    for (auto g = groups.cbegin(); g != groups.cend(); ++g) {
        const std::vector<int>& list = g.value();
        newcomers.clear();
        for (const int i : list) {
            const Qso& q = candidates[static_cast<size_t>(i)].q;
            newcomers.push_back({q.qsl, q.seconds, q.own});
        }
        const Qso& any = candidates[static_cast<size_t>(list.front())].q;
        const rules::Group& inLog = logged.of(any.square, any.band, any.mode);
        const std::vector<rules::Verdict> verdicts = rules::whoStands(inLog, newcomers);
        for (size_t k = 0; k < list.size(); ++k) {
            const rules::Verdict& v = verdicts[k];
            if (v.conflict == rules::Conflict::None) {
                continue;
            }
            Candidate& c = candidates[static_cast<size_t>(list[k])];
            c.outcome = Outcome::Refused;
            c.accreditedStands = v.conflict == rules::Conflict::AccreditedStands;
            if (v.standing < 0) {
                c.standing = inLog.standing;
            } else {
                c.winner = list[static_cast<size_t>(v.standing)];
            }
        }
    }
}

// Why a record did not come in under the rules.
QString refusal(const Candidate& c, const Candidates& candidates) {
    // The record that stands confirms a worked QSO of the log, or comes in with a number.
    const auto numberOf = [](const Candidate& w) { return w.match != 0 ? w.match : w.number; };
    const qint64 standing =
        c.winner >= 0 ? numberOf(candidates[static_cast<size_t>(c.winner)]) : c.standing;
    const QString which = standing != 0 ? QStringLiteral(" (QSO %1)").arg(standing) : QString();
    if (c.match != 0) {
        return describe(c.q) +
               QStringLiteral(": confirms QSO %1, which stays worked: QSO %2 is already %3 on "
                              "this sub-square, band and mode")
                   .arg(QString::number(c.match), QString::number(standing),
                        c.accreditedStands ? QStringLiteral("accredited")
                                           : QStringLiteral("confirmed"));
    }
    if (c.accreditedStands) {
        return describe(c.q) +
               QStringLiteral(": the sub-square is already accredited on this band and mode") +
               which;
    }
    return describe(c.q) +
           QStringLiteral(": a confirmed QSO of this sub-square, band and mode is already in the "
                          "log") +
           which;
}

void addNote(std::vector<ImportNote>& notes, int record, int line, const QString& why) {
    if (static_cast<int>(notes.size()) < ImportReport::noteLimit) {
        notes.push_back({record, line, why});
    }
}

} // namespace

ImportReport importAdif(Module1& m, QByteArrayView bytes, const ImportOptions& options,
                        const ImportProgress& progress) {
    ImportReport report;
    Gazetteer gazetteer;
    gazetteer.load(m);
    const qint64 logSize = m.logDb.scalar(QStringLiteral("select count(*) from data")).toLongLong();
    const bool emptyLog = logSize == 0;

    Reader reader(bytes);
    Lines lines(bytes);
    Record r;
    QString reason;
    kept::Keeper keeper;
    QByteArray scratch;
    Candidates candidates;
    bool exact = false;
    while (reader.next(r)) {
        if (++report.records == 1) {
            // The header, read before the first record, names the program that wrote it.
            exact = emptyLog && isName(reader.programId(), "HM52");
        }
        if (progress && report.records % progressEvery == 0 &&
            !progress(reader.position(), reader.size())) {
            return cancelledReport();
        }
        if (r.charsCounted) {
            ++report.charsCounted;
        }
        if (!r.error.isEmpty()) {
            ++report.unreadable;
            addNote(report.unreadableNotes, r.number, lines.lineOf(r.offset), r.error);
            continue;
        }
        const QString square = squareOf(r, exact);
        if (square.isEmpty()) {
            ++report.outside;
            continue;
        }
        Candidate c;
        c.record = r.number;
        reason.clear();
        Mapped mapped = Mapped::Yes;
        if (!exact || !exactRecord(r, square, c.q, reason)) {
            mapped = mapRecord(r, square, options, gazetteer, c.q, reason);
        } else if (!reason.isEmpty()) {
            mapped = Mapped::Unreadable;
        }
        if (mapped != Mapped::Yes) {
            const int at = lines.lineOf(r.offset);
            if (mapped == Mapped::Refused) {
                ++report.refused;
                addNote(report.refusedNotes, r.number, at, reason);
            } else {
                ++report.unreadable;
                addNote(report.unreadableNotes, r.number, at, reason);
            }
            continue;
        }
        c.line = lines.lineOf(r.offset);
        const RowBytes row(c.q, c.q.count);
        keeper.setRow(row.row);
        // Kept in a buffer that keeps its room, then copied at its size.
        scratch.resize(0);
        for (const RawField& f : r.fields) {
            keeper.keep(f.name, f.type, f.value, scratch);
        }
        if (!scratch.isEmpty()) {
            c.kept = QByteArray(scratch.constData(), scratch.size());
        }
        if (exact) {
            const QStringList odd = oddValues(c.q);
            if (!odd.isEmpty()) {
                ++report.valueCount;
                addNote(report.valueNotes, r.number, c.line,
                        QStringLiteral("QSO %1 holds %2, none of the log's codes; copied as it "
                                       "stands")
                            .arg(QString::number(c.q.count), odd.join(QStringLiteral(", "))));
            }
        }
        candidates.push_back(std::move(c));
    }
    report.noRecords = report.records == 0 && !reader.sawEor();
    report.exactCopy = exact;

    Transaction transaction(m.logDb);
    if (exact) {
        // Numbers as the file gives them; a record without one (or with one taken) after the
        // highest.
        QSet<qint64> taken;
        qint64 highest = 0;
        for (const Candidate& c : candidates) {
            highest = std::max(highest, c.q.count);
        }
        for (Candidate& c : candidates) {
            if (c.q.count != 0 && !taken.contains(c.q.count)) {
                c.number = c.q.count;
            } else {
                c.number = ++highest;
            }
            taken.insert(c.number);
        }
    } else {
        applyRules(m, candidates);
        rules::Numbering numbering(m);
        for (Candidate& c : candidates) {
            if (c.outcome == Outcome::Insert) {
                c.number = numbering.next();
            }
        }
    }

    // Many rows into a small log go faster into the bare table, the indexes built after.
    const qint64 inserts =
        std::count_if(candidates.begin(), candidates.end(),
                      [](const Candidate& c) { return c.outcome == Outcome::Insert; });
    const bool rebuild = inserts >= 5000 && inserts * 2 >= logSize;
    if (rebuild) {
        schema::dropLogIndexes(m.logDb);
    }
    const bool keeps = std::any_of(candidates.begin(), candidates.end(), [](const Candidate& c) {
        return c.outcome == Outcome::Insert && !c.kept.isEmpty();
    });
    if (keeps) {
        kept::create(m.logDb);
    }
    if (std::any_of(candidates.begin(), candidates.end(), [](const Candidate& c) {
            return c.outcome == Outcome::Insert && !c.q.exact.isEmpty();
        })) {
        radiotable::create(m.logDb);
    }
    std::unique_ptr<PreparedWrite> insert;
    std::unique_ptr<PreparedWrite> keep;
    std::unique_ptr<PreparedWrite> confirm;
    std::unique_ptr<PreparedWrite> exactRow;
    for (const Candidate& c : candidates) {
        switch (c.outcome) {
        case Outcome::Repeat:
            ++report.repeats;
            break;
        case Outcome::Refused:
            ++report.refused;
            addNote(report.refusedNotes, c.record, c.line, refusal(c, candidates));
            break;
        case Outcome::Confirm:
            if (!confirm) {
                confirm = std::make_unique<PreparedWrite>(
                    m.logDb, QStringLiteral("update data set qsl = ?2 where count = ?1"));
            }
            confirm->bind(1, c.match).bind(2, codes::confirmed).run();
            ++report.confirmations;
            report.confirmed.push_back(static_cast<int>(c.match));
            break;
        case Outcome::Insert: {
            if (!insert) {
                insert = std::make_unique<PreparedWrite>(
                    m.logDb, QStringLiteral("insert into data (count, call, WWLocator, place, "
                                            "prov, mode, band, date, time, qsl) values (?1, ?2, "
                                            "?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)"));
            }
            const RowBytes row(c.q, c.number);
            insert->bind(1, c.number);
            for (int i = 0; i < columnCount; ++i) {
                if ((c.q.nulls & (1U << i)) != 0) {
                    insert->bindNull(i + 2);
                } else {
                    insert->bindUtf8(i + 2, row.bytes[static_cast<size_t>(i)]);
                }
            }
            insert->run();
            if (!c.kept.isEmpty()) {
                if (!keep) {
                    keep = std::make_unique<PreparedWrite>(
                        m.logDb, QStringLiteral("insert or replace into %1 (count, fields) "
                                                "values (?1, ?2)")
                                     .arg(QLatin1String(kept::tableName)));
                }
                keep->bind(1, c.number).bindBlob(2, c.kept).run();
            }
            if (!c.q.exact.isEmpty()) {
                if (!exactRow) {
                    exactRow = std::make_unique<PreparedWrite>(m.logDb, radiotable::insertSql());
                }
                radiotable::bindRow(*exactRow, c.number, c.q.exact);
                exactRow->run();
            }
            ++report.imported;
            break;
        }
        }
    }
    if (rebuild) {
        schema::ensureLogIndexes(m.logDb);
    }
    std::sort(report.refusedNotes.begin(), report.refusedNotes.end(),
              [](const ImportNote& a, const ImportNote& b) { return a.record < b.record; });
    if (progress && !progress(reader.size(), reader.size())) {
        return cancelledReport();
    }
    insert.reset();
    keep.reset();
    confirm.reset();
    exactRow.reset();
    transaction.commit();
    return report;
}

} // namespace hm52::adif
