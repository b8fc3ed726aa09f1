// Builds the gazetteer places.mdb from its committed text source, data/places.csv.
//
// usage: mkplaces places.csv places.mdb
// The CSV has the header "place,prov,WWLocator"; a field may be enclosed in double quotes.
// Every row is checked (a known province code, a sub-square HM52 + two letters A-X, a place
// of 1 to 50 characters); the file is written beside its target and moved into place only
// when complete.

#include "platform/Database.h"
#include "storage/Codes.h"
#include "storage/Schema.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

QStringList splitCsv(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

int fail(const QString& message) {
    std::fprintf(stderr, "mkplaces: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return fail(QStringLiteral("usage: mkplaces places.csv places.mdb"));
    }
    const QString csvPath = QString::fromLocal8Bit(argv[1]);
    const QString outPath = QString::fromLocal8Bit(argv[2]);
    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return fail(QStringLiteral("cannot read %1: %2").arg(csvPath, csv.errorString()));
    }
    QTextStream in(&csv);
    in.setEncoding(QStringConverter::Utf8);

    const QRegularExpression subSquare(QStringLiteral("^HM52[A-X]{2}$"));
    const QString building = outPath + QStringLiteral(".building");
    QFile::remove(building);
    try {
        hm52::Database db;
        db.create(building);
        hm52::schema::createPlaces(db);
        hm52::Transaction transaction(db);
        hm52::Recordset places(db, QStringLiteral("places"));
        int lineNumber = 0;
        int rows = 0;
        while (!in.atEnd()) {
            const QString line = in.readLine();
            ++lineNumber;
            if (lineNumber == 1 || line.trimmed().isEmpty()) {
                continue;
            }
            const QStringList f = splitCsv(line);
            if (f.size() != 3) {
                return fail(
                    QStringLiteral("%1:%2: expected 3 fields").arg(csvPath).arg(lineNumber));
            }
            if (f[0].isEmpty() || f[0].size() > 50) {
                return fail(QStringLiteral("%1:%2: a place has 1 to 50 characters")
                                .arg(csvPath)
                                .arg(lineNumber));
            }
            if (!hm52::codes::provinces().contains(f[1])) {
                return fail(QStringLiteral("%1:%2: unknown province %3")
                                .arg(csvPath)
                                .arg(lineNumber)
                                .arg(f[1]));
            }
            if (!subSquare.match(f[2]).hasMatch()) {
                return fail(QStringLiteral("%1:%2: %3 is not a sub-square of HM52")
                                .arg(csvPath)
                                .arg(lineNumber)
                                .arg(f[2]));
            }
            places.addNew();
            places.setField(QStringLiteral("place"), f[0]);
            places.setField(QStringLiteral("prov"), f[1]);
            places.setField(QStringLiteral("WWLocator"), f[2]);
            places.update();
            ++rows;
        }
        transaction.commit();
        db.close();
        QFile::remove(outPath);
        if (!QFile::rename(building, outPath)) {
            return fail(QStringLiteral("cannot write %1").arg(outPath));
        }
        std::printf("mkplaces: %d places written to %s\n", rows, qPrintable(outPath));
    } catch (const hm52::DbError& e) {
        QFile::remove(building);
        return fail(e.text());
    }
    return 0;
}
