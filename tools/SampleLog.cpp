#include "SampleLog.h"

#include "platform/Database.h"
#include "storage/Codes.h"
#include "storage/Schema.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
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
};

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

} // namespace

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
    static const int qslWeights[] = {50, 40, 10};            // w c a
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
        qsos.push_back({anyMinute(rng), call, where, weighted(rng, modeWeights),
                        weighted(rng, bandWeights), QChar(u"wca"[state])});
    }
    std::sort(qsos.begin(), qsos.end(), [](const Qso& a, const Qso& b) { return a.when < b.when; });

    // The award's rule: one accredited QSO per sub-square, band and mode; a later one stays
    // confirmed.
    QSet<QString> accredited;
    for (Qso& q : qsos) {
        if (q.qsl != u'a') {
            continue;
        }
        const QString key = places[static_cast<std::size_t>(q.place)].locator + u'|' +
                            QString::number(q.band) + u'|' + QString::number(q.mode);
        if (accredited.contains(key)) {
            q.qsl = u'c';
        } else {
            accredited.insert(key);
        }
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
        }
        t.commit();
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
