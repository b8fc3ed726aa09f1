#include "adif/AdifExport.h"

#include "adif/AdifFields.h"
#include "platform/Database.h"
#include "storage/Codes.h"
#include "storage/Module1.h"

#include <QIODevice>

namespace hm52::adif {

namespace {

const char* const programVersion = "1.0";

bool isPlainAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            return false;
        }
    }
    return true;
}

void writeAll(QIODevice& out, const QByteArray& bytes) {
    if (out.write(bytes) != bytes.size()) {
        throw DbError(QStringLiteral("cannot write the ADIF file: %1").arg(out.errorString()));
    }
}

} // namespace

QByteArray adifField(const char* name, const QByteArray& value, char type) {
    QByteArray out;
    out.reserve(value.size() + 24);
    out += '<';
    out += name;
    out += ':';
    out += QByteArray::number(value.size());
    if (type != 0) {
        out += ':';
        out += type;
    }
    out += '>';
    out += value;
    return out;
}

int writeAdif(Module1& m, QIODevice& out, const QDateTime& created) {
    QByteArray header = "HM52 log exported as ADIF\r\n";
    header += adifField("ADIF_VER", "3.1.4") + "\r\n";
    header += adifField("PROGRAMID", "HM52") + "\r\n";
    header += adifField("PROGRAMVERSION", programVersion) + "\r\n";
    header += adifField("CREATED_TIMESTAMP",
                        created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")).toLatin1()) +
              "\r\n";
    header += "<EOH>\r\n";
    writeAll(out, header);

    // Dates and times as stored (ISO), not in the text forms the windows read.
    Recordset rs(m.logDb, QStringLiteral("select call, WWLocator, place, prov, mode, band, "
                                         "date || '' as d, time || '' as t, qsl from data "
                                         "order by count asc"));
    const int callAt = rs.fieldIndex(QStringLiteral("call"));
    const int squareAt = rs.fieldIndex(QStringLiteral("WWLocator"));
    const int placeAt = rs.fieldIndex(QStringLiteral("place"));
    const int provAt = rs.fieldIndex(QStringLiteral("prov"));
    const int modeAt = rs.fieldIndex(QStringLiteral("mode"));
    const int bandAt = rs.fieldIndex(QStringLiteral("band"));
    const int dateAt = rs.fieldIndex(QStringLiteral("d"));
    const int timeAt = rs.fieldIndex(QStringLiteral("t"));
    const int qslAt = rs.fieldIndex(QStringLiteral("qsl"));

    int written = 0;
    QByteArray line;
    for (; !rs.eof(); rs.moveNext()) {
        line.clear();
        auto field = [&line](const char* name, const QByteArray& value, char type = 0) {
            if (!line.isEmpty()) {
                line += ' ';
            }
            line += adifField(name, value, type);
        };
        // A text that is not plain ASCII, or has blanks at its ends (which a reader may drop),
        // goes into the standard field as ASCII, and exactly into a field of our own.
        auto text = [&field](const char* name, const char* ownName, const QString& value) {
            if (isPlainAscii(value) && !value.startsWith(u' ') && !value.endsWith(u' ')) {
                field(name, value.toLatin1());
            } else {
                field(name, asciiOf(value).toLatin1());
                field(ownName, percentOf(value), 'S');
            }
        };

        text("CALL", "APP_HM52_CALL", rs.textAt(callAt));
        const QString square = rs.textAt(squareAt);
        if (isSubSquare(square)) {
            field("GRIDSQUARE", (codes::awardSquare + square.toUpper()).toLatin1());
        } else {
            field("APP_HM52_LOCATOR", percentOf(square), 'S');
        }
        const QString date = rs.textAt(dateAt);
        if (date.size() == 10 && date[4] == u'-' && date[7] == u'-') {
            field("QSO_DATE", (date.left(4) + date.mid(5, 2) + date.mid(8, 2)).toLatin1());
        }
        const QString time = rs.textAt(timeAt);
        if (time.size() >= 5 && time[2] == u':') {
            field("TIME_ON", (time.left(2) + time.mid(3, 2)).toLatin1());
        }
        text("QTH", "APP_HM52_PLACE", rs.textAt(placeAt));
        const QString prov = rs.textAt(provAt);
        if (!prov.isEmpty()) {
            field("STATE", asciiOf(prov).toLatin1());
        }
        const QString mode = rs.textAt(modeAt);
        if (mode == QLatin1String("SSB") || mode == QLatin1String("CW")) {
            field("MODE", mode.toLatin1());
        }
        const QString band = rs.textAt(bandAt);
        const QString adifBand = adifBandOfAward(band);
        if (!adifBand.isEmpty()) {
            field("BAND", adifBand.toLatin1());
        }
        if (band == QLatin1String("SAT")) {
            field("PROP_MODE", "SAT");
        }
        const QString qsl = rs.textAt(qslAt);
        field("QSL_RCVD", (qsl == codes::confirmed || qsl == codes::accredited) ? "Y" : "N");
        field("APP_HM52_BAND", percentOf(band), 'S');
        field("APP_HM52_MODE", percentOf(mode), 'S');
        field("APP_HM52_QSL", percentOf(qsl), 'S');
        line += " <EOR>\r\n";
        writeAll(out, line);
        ++written;
    }
    return written;
}

} // namespace hm52::adif
