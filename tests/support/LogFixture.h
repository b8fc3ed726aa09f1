#pragma once

#include "adif/AdifExport.h"
#include "platform/Database.h"
#include "storage/Module1.h"

#include <QBuffer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

// What the tests of the log itself need, with no window: a temporary log and gazetteer, the
// databases open, and ways to put QSOs in and read them back as stored.
namespace hm52::test {

using namespace Qt::Literals::StringLiterals;

// A place of the small gazetteer that tests use by default.
struct PlaceRow {
    QString place;
    QString prov;
    QString WWLocator; // six characters
};

// The small, hand-made gazetteer: a few sub-squares with known places, names in several
// sub-squares and provinces, names with quotes and blanks.
const std::vector<PlaceRow>& smallGazetteer();

// Writes a gazetteer file.
void writeGazetteer(const QString& path, const std::vector<PlaceRow>& rows);

// One QSO as the tests put it into the log directly.
struct Qso {
    QString call = u"I1ABC"_s;
    QString WWLocator = u"AB"_s;
    QString place = u"ALFA"_s;
    QString prov = u"BD"_s;
    QString mode = u"MIXED"_s;
    QString band = u"HF"_s;
    QString date = u"5/1/04"_s; // as the form writes it
    QString time = u"09:05"_s;
    QString qsl = u"c"_s;
};

// A program folder in a temporary directory with an empty log and a gazetteer, both open.
class LogEnv {
public:
    explicit LogEnv(const std::vector<PlaceRow>& gazetteer = smallGazetteer());
    virtual ~LogEnv();
    LogEnv(const LogEnv&) = delete;
    LogEnv& operator=(const LogEnv&) = delete;

    // Adds a QSO with the next number (highest count + 1) and returns its count.
    int addQso(const Qso& qso);
    // Adds a QSO with a given count.
    void addQsoWithCount(int count, const Qso& qso);
    // Adds n worked QSOs, with calls I0ABC, I1ABC..., in one transaction.
    void addQsos(int n);
    // Writes the operator record.
    void setOperator(const QString& call = u"IK0XYZ"_s);
    // Number of rows of the log, with an optional condition.
    qint64 count(const QString& where = {});
    // The stored (ISO) text of a field of a QSO, read with SQLite's own functions.
    QString rawField(int count, const QString& field);
    // Every row of the log in number order as stored:
    // "count|call|WWLocator|place|prov|mode|band|date|time|qsl".
    QStringList rawRows();
    // The exact values of the QSOs that have any, in number order:
    // "count|band|freq|mode|submode", empty texts for what a QSO does not have.
    QStringList radioRows();

    QTemporaryDir dir;
    Module1 m;
};

// The log written as ADIF, made on 2024-06-01 at 12:00 UTC; what the export tells in `report`.
inline QByteArray exportedAdif(Module1& m, adif::ExportReport* report = nullptr) {
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    const adif::ExportReport told =
        adif::writeAdif(m, buffer, QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC));
    if (report != nullptr) {
        *report = told;
    }
    return file;
}

// The path of a file of tests/adif/fixtures; the bytes of a file (none when unreadable).
QString adifFixture(const char* name);
QByteArray bytesOf(const QString& path);

// Damages a log file as a failing disk would: a page in the middle of the file is
// overwritten with garbage, so that the engine's check of the file finds it.
void damagePages(const QString& path);

// The text of the error of type E (DbError, PrintError) that a call throws, or "(nothing
// thrown)".
template <class E, class F> QString thrownBy(F&& call) {
    try {
        call();
    } catch (const E& e) {
        return e.text();
    }
    return u"(nothing thrown)"_s;
}

} // namespace hm52::test
