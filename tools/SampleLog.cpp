#include "SampleLog.h"

#include "platform/Database.h"
#include "platform/PreparedWrite.h"
#include "rules/Claims.h"
#include "rules/Radio.h"
#include "rules/Rules.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/RadioTable.h"
#include "storage/Schema.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <vector>

namespace hm52::sample {

namespace {

struct Place {
    QString locator; // the two letters after HM52
    QString name;
    QString prov;
};

struct Station {
    QString call;
    int home; // index into the gazetteer
};

struct Qso {
    qint64 when; // minutes since the first day, for the log's order
    QString call;
    int place;
    int mode;
    int band;
    QChar qsl;
    radiotable::Values exact;
};

namespace radio = rules::radio;

std::vector<Place> readGazetteer(const QString& path) {
    if (!QFileInfo::exists(path)) {
        throw DbError(QStringLiteral("no gazetteer at %1").arg(path));
    }
    Database db;
    db.open(path, OpenMode::ReadOnly);
    schema::verifyPlaces(db);
    std::vector<Place> places;
    Recordset rs(db, QStringLiteral("select * from places"));
    const int locator = rs.fieldIndex(QStringLiteral("WWLocator"));
    const int name = rs.fieldIndex(QStringLiteral("place"));
    const int prov = rs.fieldIndex(QStringLiteral("prov"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString full = rs.textAt(locator);
        if (full.size() != 6) {
            continue;
        }
        places.push_back({full.right(2).toUpper(), rs.textAt(name), rs.textAt(prov)});
    }
    if (places.empty()) {
        throw DbError(QStringLiteral("the gazetteer %1 holds no places").arg(path));
    }
    return places;
}

// Picks an index by weight.
template <std::size_t N> int weighted(std::mt19937& rng, const int (&weights)[N]) {
    std::discrete_distribution<int> pick(std::begin(weights), std::end(weights));
    return pick(rng);
}

QString letters(std::mt19937& rng, int count) {
    std::uniform_int_distribution<int> letter(0, 25);
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QChar(u'A' + letter(rng));
    }
    return text;
}

// An Italian call sign: prefix, district digit, suffix of one to three letters.
QString callSign(std::mt19937& rng) {
    static const char* const prefixes[] = {"I", "IK", "IZ", "IW", "IU", "IN3", "IV3", "IQ", "IR"};
    static const int prefixWeights[] = {10, 30, 30, 15, 8, 2, 2, 2, 1};
    static const int suffixWeights[] = {5, 25, 70};
    const QString prefix = QString::fromLatin1(prefixes[weighted(rng, prefixWeights)]);
    const QString digit = prefix.size() == 3
                              ? QString()
                              : QString::number(std::uniform_int_distribution<int>(0, 9)(rng));
    return prefix + digit + letters(rng, 1 + weighted(rng, suffixWeights));
}

// Visitors and special stations, longer than the browser's call column.
QString longCall(std::mt19937& rng) {
    static const char* const forms[] = {"HB9/%1/P", "%1/IA5/P", "DL/%1/QRP", "%1/MM"};
    const int form = std::uniform_int_distribution<int>(0, 3)(rng);
    return QString::fromLatin1(forms[form]).arg(callSign(rng)).left(15);
}

// The weights of a list that stays in place ("20m:30 40m:25"; a name not given weighs 1),
// worked out once for each list and weights.
std::discrete_distribution<int>& weightsOf(const QStringList& names, const char* weights) {
    static std::map<std::pair<const QString*, const char*>, std::discrete_distribution<int>> cache;
    const auto key = std::make_pair(names.constData(), weights);
    auto found = cache.find(key);
    if (found == cache.end()) {
        QHash<QString, int> given;
        for (const QString& w : QString::fromLatin1(weights).split(u' ', Qt::SkipEmptyParts)) {
            given.insert(w.section(u':', 0, 0), w.section(u':', 1).toInt());
        }
        std::vector<int> all;
        for (const QString& name : names) {
            all.push_back(given.value(name, 1));
        }
        found = cache.emplace(key, std::discrete_distribution<int>(all.begin(), all.end())).first;
    }
    return found->second;
}

QString pickNamed(std::mt19937& rng, const QStringList& names, const char* weights) {
    return names.at(weightsOf(names, weights)(rng));
}

// The band an operator of the square uses most in a category.
QString exactBand(std::mt19937& rng, const QString& category) {
    return pickNamed(rng, radio::bandsOf(category),
                     "20m:30 40m:25 80m:14 15m:10 10m:8 17m:4 30m:3 2m:80 4m:4 70cm:80 23cm:10 "
                     "13cm:5 3cm:20 6cm:5 1.25cm:3 9cm:2");
}

// A frequency inside a band, to the kilohertz.
double frequencyIn(std::mt19937& rng, const QString& band) {
    double low = 0;
    double high = 0;
    radio::edgesOf(band, &low, &high);
    const auto khz = static_cast<qint64>((high - low) * 1000);
    const qint64 at = std::uniform_int_distribution<qint64>(1, std::max<qint64>(1, khz - 1))(rng);
    return std::round(low * 1000 + static_cast<double>(at)) / 1000;
}

// The exact mode of a category: the sideband of its band for SSB, the usual modes first.
radio::Mode exactMode(std::mt19937& rng, const QString& category, const QString& band) {
    const std::vector<radio::Mode>& modes = radio::modesOf(category);
    static std::map<const void*, QStringList> shownOf;
    QStringList& shown = shownOf[&modes];
    if (shown.isEmpty()) {
        for (const radio::Mode& m : modes) {
            shown << m.shown();
        }
    }
    double low = 0;
    double high = 0;
    const bool lower = radio::edgesOf(band, &low, &high) && high < 10;
    const char* weights = lower ? "LSB:20 SSB:2 USB:1 FM:2 AM:3 CW:15 FT8:30 FT4:8 RTTY:6 PSK31:4"
                                : "USB:20 SSB:2 LSB:1 FM:20 AM:1 CW:15 FT8:30 FT4:8 RTTY:6 "
                                  "PSK31:4 JS8:3 MSK144:3 Q65:3 DSTAR:3 C4FM:3 DMR:3 SSTV:2";
    return modes.at(static_cast<size_t>(weightsOf(shown, weights)(rng)));
}

// Most QSOs carry exact values (typed, or read from the rig); some were typed without.
radiotable::Values exactValues(std::mt19937& rng, const QString& category, const QString& mode) {
    std::uniform_int_distribution<int> percent(0, 99);
    radiotable::Values v;
    if (percent(rng) < 85) {
        v.band = exactBand(rng, category);
        if (percent(rng) < 60) {
            v.freq = frequencyIn(rng, v.band);
        }
    }
    if (percent(rng) < 85) {
        const radio::Mode m = exactMode(rng, mode, v.band);
        v.mode = m.mode;
        v.submode = m.submode;
    }
    return v;
}

// Award requests, as an operator makes them now and then: for some bands and modes the base
// award and a few endorsements, each claiming the confirmed QSOs the award's rules give it and
// turning them accredited. After the last QSO, so no QSO of a sub-square follows its
// accreditation.
void requestAwards(const QString& path, std::mt19937& rng) {
    Module1 m;
    m.openLog(path, OpenMode::ReadWrite);
    // A log being built: nothing to keep safe before it is moved in place.
    m.logDb.execute(QStringLiteral("PRAGMA synchronous = OFF"));
    static const int requestWeights[] = {40, 30, 20, 10}; // none, base, base and 1 or 2 more
    for (const QString& band : codes::bands()) {
        for (const QString& mode : codes::modes()) {
            for (int r = weighted(rng, requestWeights); r > 0; --r) {
                const rules::RequestStatus status = rules::requestStatus(m, band, mode);
                if (!status.canRequest()) {
                    break;
                }
                std::vector<qint64> counts;
                for (const rules::ClaimedQso& q : rules::claim(m, band, mode, status.needed())) {
                    counts.push_back(q.count);
                }
                rules::convertToAccredited(m.logDb, counts);
            }
        }
    }
}

} // namespace

QString findGazetteer(const QString& logPath, const QString& toolFolder) {
    const QDir tool(toolFolder);
    const QStringList candidates{
        QFileInfo(logPath).absoluteDir().filePath(QStringLiteral("places.mdb")),
        tool.filePath(QStringLiteral("places.mdb")),
        QDir::cleanPath(tool.filePath(QStringLiteral("../places.mdb"))),
        QDir::cleanPath(tool.filePath(QStringLiteral("../share/hm52/places.mdb"))),
        QStringLiteral("/usr/share/hm52/places.mdb"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            return candidate;
        }
    }
    return {};
}

void writeLog(const QString& logPath, const QString& placesPath, const Options& options) {
    if (QFileInfo::exists(logPath)) {
        throw DbError(QStringLiteral("%1 already exists; it is never replaced").arg(logPath));
    }
    const std::vector<Place> places = readGazetteer(placesPath);
    std::mt19937 rng(options.seed);

    // The stations: most at home in one place of the gazetteer, for years.
    const int stationCount = std::clamp(options.qsos / 25, 50, 5000);
    std::vector<Station> stations;
    stations.reserve(static_cast<std::size_t>(stationCount));
    std::uniform_int_distribution<int> anyPlace(0, static_cast<int>(places.size()) - 1);
    QSet<QString> calls;
    while (static_cast<int>(stations.size()) < stationCount) {
        const QString call =
            std::uniform_int_distribution<int>(0, 199)(rng) == 0 ? longCall(rng) : callSign(rng);
        if (!calls.contains(call)) {
            calls.insert(call);
            stations.push_back({call, anyPlace(rng)});
        }
    }

    // Twenty years of contacts.
    const QDate first(2005, 1, 1);
    const qint64 days = first.daysTo(QDate(2024, 12, 31)) + 1;
    std::uniform_int_distribution<qint64> anyMinute(0, days * 24 * 60 - 1);
    std::uniform_int_distribution<int> anyStation(0, stationCount - 1);
    static const int modeWeights[] = {25, 35, 25, 15};       // MIXED SSB CW DIGITAL
    static const int bandWeights[] = {40, 12, 25, 12, 5, 6}; // HF 50MHz VHF UHF SHF SAT
    static const int qslWeights[] = {55, 45};                // w c
    std::vector<Qso> qsos;
    qsos.reserve(static_cast<std::size_t>(std::max(0, options.qsos)));
    for (int i = 0; i < options.qsos; ++i) {
        const Station& station = stations[static_cast<std::size_t>(anyStation(rng))];
        const bool portable = std::uniform_int_distribution<int>(0, 9)(rng) < 3;
        QString call = station.call;
        int where = station.home;
        if (portable) {
            // Out on a hill: any place of the square, the call with /P.
            where = anyPlace(rng);
            if (!call.contains(u'/')) {
                call += QStringLiteral("/P");
            }
        }
        const int state = weighted(rng, qslWeights);
        const int mode = weighted(rng, modeWeights);
        const int band = weighted(rng, bandWeights);
        qsos.push_back({anyMinute(rng), call, where, mode, band, QChar(u"wc"[state]),
                        exactValues(rng, codes::bands().at(band), codes::modes().at(mode))});
    }
    std::sort(qsos.begin(), qsos.end(), [](const Qso& a, const Qso& b) { return a.when < b.when; });

    // The award's rules, as the QSO form applies them: a confirmation of a second QSO of a
    // sub-square, band and mode that already has a confirmed one would replace it, so that
    // QSO stays worked.
    rules::Groups groups;
    for (Qso& q : qsos) {
        const QString& locator = places[static_cast<std::size_t>(q.place)].locator;
        const QString& band = codes::bands().at(q.band);
        const QString& mode = codes::modes().at(q.mode);
        if (rules::whoStands(groups.of(locator, band, mode), {rules::Newcomer{codes::confirmed}})
                .front()
                .conflict != rules::Conflict::None) {
            q.qsl = u'w';
        }
        groups.add(locator, band, mode, QString(q.qsl));
    }

    // Built beside its final name and moved there only when complete.
    const QString building = logPath + QStringLiteral(".building");
    QFile::remove(building);
    schema::createLog(building);
    try {
        Database db;
        db.open(building, OpenMode::ReadWrite);
        // The whole log is written in one transaction: keep its pages in memory until the
        // commit instead of spilling them to the file on the way.
        db.execute(QStringLiteral("PRAGMA cache_size = -131072"));
        Transaction t(db);
        Recordset rs(db, QStringLiteral("data"));
        radiotable::create(db);
        PreparedWrite exact(db, radiotable::insertSql());
        const QStringList& modes = codes::modes();
        const QStringList& bands = codes::bands();
        int number = 0;
        for (const Qso& q : qsos) {
            const Place& p = places[static_cast<std::size_t>(q.place)];
            constexpr qint64 minutesPerDay = qint64{24} * 60;
            const qint64 day = q.when / minutesPerDay;
            const int minute = static_cast<int>(q.when % minutesPerDay);
            rs.addNew();
            rs.setField(QStringLiteral("count"), ++number);
            rs.setField(QStringLiteral("call"), q.call);
            rs.setField(QStringLiteral("WWLocator"), p.locator);
            rs.setField(QStringLiteral("place"), p.name);
            rs.setField(QStringLiteral("prov"), p.prov);
            rs.setField(QStringLiteral("mode"), modes.at(q.mode));
            rs.setField(QStringLiteral("band"), bands.at(q.band));
            rs.setField(QStringLiteral("date"), first.addDays(day).toString(Qt::ISODate));
            rs.setField(QStringLiteral("time"), QStringLiteral("%1:%2")
                                                    .arg(minute / 60, 2, 10, QLatin1Char('0'))
                                                    .arg(minute % 60, 2, 10, QLatin1Char('0')));
            rs.setField(QStringLiteral("qsl"), QString(q.qsl));
            rs.update();
            if (!q.exact.isEmpty()) {
                radiotable::bindRow(exact, number, q.exact);
                exact.run();
            }
        }
        t.commit();
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    try {
        requestAwards(building, rng);
    } catch (...) {
        QFile::remove(building);
        throw;
    }
    if (!QFile::rename(building, logPath)) {
        QFile::remove(building);
        throw DbError(QStringLiteral("%1 already exists; it is never replaced").arg(logPath));
    }
}

} // namespace hm52::sample
