#include "support/TestEnv.h"

#include "platform/Database.h"
#include "storage/Schema.h"

#include <QTest>
#include <QWidget>

namespace hm52::test {

const std::vector<PlaceRow>& smallGazetteer() {
    static const std::vector<PlaceRow> rows{
        {QStringLiteral("ALFA"), QStringLiteral("BD"), QStringLiteral("HM52AB")},
        {QStringLiteral("BRAVO"), QStringLiteral("CV"), QStringLiteral("HM52AB")},
        {QStringLiteral("CHARLIE"), QStringLiteral("BD"), QStringLiteral("HM52AB")},
        {QStringLiteral("PIAN D'OLMO"), QStringLiteral("LM"), QStringLiteral("HM52AB")},
        {QStringLiteral("PIAN D'OLMO"), QStringLiteral("MV"), QStringLiteral("HM52AC")},
        {QStringLiteral("DELTA"), QStringLiteral("VLT"), QStringLiteral("HM52AC")},
        {QStringLiteral("SAN MARCO"), QStringLiteral("RV"), QStringLiteral("HM52XX")},
        {QStringLiteral("ECHO"), QStringLiteral("SD"), QStringLiteral("HM52XX")},
        {QStringLiteral("CA' BIANCA"), QStringLiteral("TD"), QStringLiteral("HM52MN")},
        {QStringLiteral("SANTA MARIA DELLE GRAZIE AL MONTE"), QStringLiteral("VD"),
         QStringLiteral("HM52MN")},
    };
    return rows;
}

void writeEmptyLog(const QString& path) {
    schema::createLog(path);
}

void writeGazetteer(const QString& path, const std::vector<PlaceRow>& rows) {
    Database db;
    db.create(path);
    schema::createPlaces(db);
    Transaction t(db);
    Recordset rs(db, QStringLiteral("places"));
    for (const PlaceRow& row : rows) {
        rs.addNew();
        rs.setField(QStringLiteral("place"), row.place);
        rs.setField(QStringLiteral("prov"), row.prov);
        rs.setField(QStringLiteral("WWLocator"), row.WWLocator);
        rs.update();
    }
    t.commit();
}

TestEnv::TestEnv(const std::vector<PlaceRow>& gazetteer) {
    if (!dir.isValid()) {
        qFatal("cannot make a temporary folder");
    }
    writeEmptyLog(dir.filePath(QStringLiteral("data.mdb")));
    writeGazetteer(dir.filePath(QStringLiteral("places.mdb")), gazetteer);
    m.OpenDatabases(dir.path());
    // Tests check what is committed, not that the disk flushed it: skip the flushes.
    m.logDb.execute(QStringLiteral("PRAGMA synchronous=OFF"));
    services = std::make_unique<Services>(
        Services{m, dialogs, shell, printers.factory(), dir.path(), &fileDialogs});
    registry = std::make_unique<WindowRegistry>(*services);
}

TestEnv::~TestEnv() {
    registry.reset();
    m.sharedRs.reset();
    m.auxRs.reset();
}

void TestEnv::addQsoWithCount(int number, const Qso& qso) {
    Recordset rs(m.logDb, QStringLiteral("data"));
    rs.addNew();
    rs.setField(QStringLiteral("count"), number);
    rs.setField(QStringLiteral("WWLocator"), qso.WWLocator);
    rs.setField(QStringLiteral("place"), qso.place);
    rs.setField(QStringLiteral("prov"), qso.prov);
    rs.setField(QStringLiteral("mode"), qso.mode);
    rs.setField(QStringLiteral("band"), qso.band);
    rs.setField(QStringLiteral("call"), qso.call);
    rs.setField(QStringLiteral("date"), qso.date);
    rs.setField(QStringLiteral("time"), qso.time);
    rs.setField(QStringLiteral("qsl"), qso.qsl);
    rs.update();
}

int TestEnv::addQso(const Qso& qso) {
    const QVariant highest = m.logDb.scalar(QStringLiteral("select max(count) from data"));
    const int number = highest.isValid() ? highest.toInt() + 1 : 1;
    addQsoWithCount(number, qso);
    return number;
}

void TestEnv::setOperator(const QString& call) {
    m.logDb.execute(QStringLiteral("delete from userData"));
    Recordset rs(m.logDb, QStringLiteral("userData"));
    rs.addNew();
    rs.setField(QStringLiteral("count"), 1);
    rs.setField(QStringLiteral("OM/YL/SWL"), QStringLiteral("OM"));
    rs.setField(QStringLiteral("call"), call);
    rs.setField(QStringLiteral("fName"), QStringLiteral("MARIO"));
    rs.setField(QStringLiteral("sName"), QStringLiteral("ROSSI"));
    rs.setField(QStringLiteral("address"), QStringLiteral("VIA ROMA 1"));
    rs.setField(QStringLiteral("ZIPcode"), QStringLiteral("40400"));
    rs.setField(QStringLiteral("city"), QStringLiteral("VALDORIA"));
    rs.setField(QStringLiteral("prov"), QStringLiteral("VD"));
    rs.setField(QStringLiteral("country"), QStringLiteral("ITALIA"));
    rs.setField(QStringLiteral("WWLocator"), QStringLiteral("HM52LM"));
    rs.setField(QStringLiteral("email"), QStringLiteral("MARIO@EXAMPLE.ORG"));
    rs.update();
}

qint64 TestEnv::count(const QString& where) {
    return m.logDb
        .scalar(QStringLiteral("select count(*) from data") +
                (where.isEmpty() ? QString() : QStringLiteral(" where ") + where))
        .toLongLong();
}

QString TestEnv::rawField(int number, const QString& field) {
    return m.logDb
        .scalar(QStringLiteral("select %1 from data where count = %2")
                    .arg(quoteIdentifier(field))
                    .arg(number))
        .toString();
}

void showActive(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("window did not become active");
    }
}

} // namespace hm52::test
