#include "support/LogFixture.h"

#include "storage/QuoteSql.h"
#include "storage/RadioTable.h"
#include "storage/Schema.h"

#include <QFile>

namespace hm52::test {

const std::vector<PlaceRow>& smallGazetteer() {
    static const std::vector<PlaceRow> rows{
        {"ALFA", "BD", "HM52AB"},        {"BRAVO", "CV", "HM52AB"},
        {"CHARLIE", "BD", "HM52AB"},     {"PIAN D'OLMO", "LM", "HM52AB"},
        {"PIAN D'OLMO", "MV", "HM52AC"}, {"DELTA", "VLT", "HM52AC"},
        {"SAN MARCO", "RV", "HM52XX"},   {"ECHO", "SD", "HM52XX"},
        {"CA' BIANCA", "TD", "HM52MN"},  {"SANTA MARIA DELLE GRAZIE AL MONTE", "VD", "HM52MN"},
    };
    return rows;
}

void writeGazetteer(const QString& path, const std::vector<PlaceRow>& rows) {
    Database db;
    db.create(path);
    schema::createPlaces(db);
    Transaction t(db);
    for (const PlaceRow& row : rows) {
        db.execute(u"insert into places (place, prov, WWLocator) values ('%1', '%2', '%3')"_s.arg(
            QuoteSql(row.place), QuoteSql(row.prov), QuoteSql(row.WWLocator)));
    }
    t.commit();
}

QString adifFixture(const char* name) {
    return u"" HM52_SOURCE_DIR "/tests/adif/fixtures/"_s + QLatin1String(name);
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void damagePages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        qFatal("cannot open %s", qPrintable(path));
    }
    const QByteArray header = file.read(100);
    const auto bytes = reinterpret_cast<const unsigned char*>(header.constData());
    const qint64 page = (bytes[16] << 8 | bytes[17]) == 1 ? 65536 : (bytes[16] << 8 | bytes[17]);
    const qint64 pages = file.size() / page;
    if (pages < 4) {
        qFatal("%s has too few pages to damage", qPrintable(path));
    }
    file.seek(page * (pages / 2));
    file.write(QByteArray(static_cast<qsizetype>(page), '\x5a'));
}

LogEnv::LogEnv(const std::vector<PlaceRow>& gazetteer) {
    if (!dir.isValid()) {
        qFatal("cannot make a temporary folder");
    }
    schema::createLog(dir.filePath(u"data.mdb"_s));
    writeGazetteer(dir.filePath(u"places.mdb"_s), gazetteer);
    m.OpenDatabases(dir.path());
    // Tests check what is committed, not that the disk flushed it: skip the flushes.
    m.logDb.execute(u"PRAGMA synchronous=OFF"_s);
}

LogEnv::~LogEnv() {
    m.sharedRs.reset();
    m.auxRs.reset();
}

void LogEnv::addQsoWithCount(int number, const Qso& qso) {
    Recordset rs(m.logDb, u"data"_s);
    rs.addNew();
    rs.setField(u"count"_s, number);
    const std::pair<const char*, const QString*> fields[] = {
        {"WWLocator", &qso.WWLocator}, {"place", &qso.place}, {"prov", &qso.prov},
        {"mode", &qso.mode},           {"band", &qso.band},   {"call", &qso.call},
        {"date", &qso.date},           {"time", &qso.time},   {"qsl", &qso.qsl}};
    for (const auto& field : fields) {
        rs.setField(QLatin1String(field.first), *field.second);
    }
    rs.update();
}

int LogEnv::addQso(const Qso& qso) {
    const QVariant highest = m.logDb.scalar(u"select max(count) from data"_s);
    const int number = highest.isValid() ? highest.toInt() + 1 : 1;
    addQsoWithCount(number, qso);
    return number;
}

void LogEnv::addQsos(int n) {
    Transaction t(m.logDb);
    for (int i = 0; i < n; ++i) {
        addQso({.call = u"I%1ABC"_s.arg(i), .qsl = u"w"_s});
    }
    t.commit();
}

void LogEnv::setOperator(const QString& call) {
    m.logDb.execute(u"delete from userData"_s);
    m.logDb.execute(
        u"insert into userData values (1, 'OM', '%1', 'MARIO', 'ROSSI', 'VIA ROMA 1', "
        u"'40400', 'VALDORIA', 'VD', 'ITALIA', 'HM52LM', 'MARIO@EXAMPLE.ORG')"_s.arg(call));
}

qint64 LogEnv::count(const QString& where) {
    return m.logDb
        .scalar(u"select count(*) from data"_s +
                (where.isEmpty() ? QString() : u" where "_s + where))
        .toLongLong();
}

QString LogEnv::rawField(int number, const QString& field) {
    return m.logDb
        .scalar(u"select %1 from data where count = %2"_s.arg(quoteIdentifier(field)).arg(number))
        .toString();
}

QStringList LogEnv::rawRows() {
    Recordset rs(m.logDb, u"select count || '|' || call || '|' || WWLocator || '|' || place || "
                          u"'|' || prov || '|' || mode || '|' || band || '|' || date || '|' || "
                          u"time || '|' || qsl from data order by count"_s);
    QStringList out;
    for (; !rs.eof(); rs.moveNext()) {
        out << rs.textAt(0);
    }
    return out;
}

QStringList LogEnv::radioRows() {
    QStringList out;
    if (!radiotable::exists(m.logDb)) {
        return out;
    }
    Recordset rs(m.logDb,
                 u"select count || '|' || ifnull(band, '') || '|' || ifnull(freq, '') || "_s
                 u"'|' || ifnull(mode, '') || '|' || ifnull(submode, '') from "_s +
                     QLatin1String(radiotable::tableName) + u" order by count"_s);
    for (; !rs.eof(); rs.moveNext()) {
        out << rs.textAt(0);
    }
    return out;
}

} // namespace hm52::test
