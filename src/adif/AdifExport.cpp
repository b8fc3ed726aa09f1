#include "adif/AdifExport.h"

#include "adif/AdifFields.h"
#include "adif/KeptFields.h"
#include "adif/QsoFields.h"
#include "platform/Database.h"
#include "platform/Listing.h"
#include "storage/Codes.h"
#include "storage/Module1.h"
#include "storage/RadioTable.h"

#include <QIODevice>

#include <algorithm>
#include <limits>
#include <memory>

namespace hm52::adif {

namespace {

const char* const programVersion = HM52_VERSION;

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

namespace {

// The fields of one QSO as one line at the end of `out`: the kept ones first, then those the
// log's columns give, except where a kept field of that name already speaks.
class LineSink final : public FieldSink {
public:
    explicit LineSink(QByteArray& out) : out_(out) {}

    std::vector<std::string_view> keptNames;
    bool band = false;
    bool mode = false;

    void start(const LogRow& row) {
        lineStart_ = out_.size();
        keptNames.clear();
        band = false;
        mode = false;
        exactBand_ = !row.exactBand.isEmpty();
        exactFreq_ = row.freq > 0;
        exactMode_ = !row.exactMode.isEmpty();
    }
    // A kept field, unless the QSO's exact values speak of the same.
    void kept(std::string_view name, char type, QByteArrayView value) {
        if ((exactBand_ && name == "BAND") || (exactFreq_ && name == "FREQ") ||
            (exactMode_ && (name == "MODE" || name == "SUBMODE"))) {
            return;
        }
        keptNames.push_back(name);
        put(name, value, type);
    }
    void field(std::string_view name, QByteArrayView value, char type) override {
        if (!overridden(name)) {
            put(name, value, type);
        }
    }
    bool overridden(std::string_view name) const override {
        // Most QSOs have no kept fields.
        return !keptNames.empty() &&
               std::find(keptNames.begin(), keptNames.end(), name) != keptNames.end();
    }

private:
    QByteArray& out_;
    qsizetype lineStart_ = 0;
    bool exactBand_ = false;
    bool exactFreq_ = false;
    bool exactMode_ = false;

    void put(std::string_view name, QByteArrayView value, char type) {
        appendField(out_, name, value, type, out_.size() != lineStart_ ? ' ' : '\0');
        band = band || name == "BAND";
        mode = mode || name == "MODE";
    }
};

bool oneOf(QByteArrayView value, const std::vector<QByteArray>& codes) {
    return std::any_of(codes.begin(), codes.end(), [value](const QByteArray& c) {
        return value.compare(c, Qt::CaseInsensitive) == 0;
    });
}

std::vector<QByteArray> utf8Of(const QStringList& texts) {
    std::vector<QByteArray> out;
    for (const QString& t : texts) {
        out.push_back(t.toUtf8());
    }
    return out;
}

} // namespace

ExportReport writeAdif(Module1& m, QIODevice& out, const QDateTime& created) {
    QByteArray header = "HM52 log exported as ADIF\r\n";
    header += adifField("ADIF_VER", "3.1.4") + "\r\n";
    header += adifField("PROGRAMID", "HM52") + "\r\n";
    header += adifField("PROGRAMVERSION", programVersion) + "\r\n";
    header += adifField("CREATED_TIMESTAMP",
                        created.toUTC().toString(QStringLiteral("yyyyMMdd HHmmss")).toLatin1()) +
              "\r\n";
    header += "<EOH>\r\n";
    writeAll(out, header);

    // Dates and times as stored (ISO), not in the text forms the windows read: utf8At hands
    // every column over as the engine holds it.
    const bool withKept = kept::exists(m.logDb);
    QString sql = QStringLiteral("select d.count, d.call, d.WWLocator, d.place, d.prov, d.mode, "
                                 "d.band, d.date, d.time, d.qsl");
    sql += withKept ? QStringLiteral(", k.fields from data d left join %1 k on k.count = "
                                     "d.count order by d.count asc")
                          .arg(QLatin1String(kept::tableName))
                    : QStringLiteral(" from data d order by d.count asc");
    Recordset rs(m.logDb, sql);
    // The exact values, stepped beside the QSOs in the same order: one pass over each table.
    std::unique_ptr<Recordset> radio;
    if (radiotable::exists(m.logDb)) {
        radio = std::make_unique<Recordset>(
            m.logDb, QStringLiteral("select count, band, freq, mode, submode from %1 order by "
                                    "count asc")
                         .arg(QLatin1String(radiotable::tableName)));
    }

    const std::vector<QByteArray> bands = utf8Of(codes::bands());
    const std::vector<QByteArray> modes = utf8Of(codes::modes());
    const std::vector<QByteArray> qsls =
        utf8Of({codes::worked, codes::confirmed, codes::accredited});
    constexpr int listedOdd = shownInBox; // the closing message box lists them

    // The lines gather in one buffer that keeps its room between writes.
    constexpr qsizetype flushAt = 1 << 20;
    ExportReport report;
    QByteArray buffer;
    buffer.reserve(flushAt + (64 << 10));
    LineSink sink(buffer);
    LogRow row;
    // The number of the QSO whose exact values the radio cursor stands on; past the last, none.
    const auto exactAt = [&radio]() {
        return radio && !radio->eof() ? radio->intAt(0) : std::numeric_limits<qint64>::max();
    };
    qint64 exact = exactAt();
    for (; !rs.eof(); rs.moveNext()) {
        row.count = rs.intAt(0);
        row.nulls = 0;
        for (int i = 0; i < columnCount; ++i) {
            row.column[static_cast<size_t>(i)] = rs.utf8At(i + 1);
            if (row.column[static_cast<size_t>(i)].isEmpty() && rs.nullAt(i + 1)) {
                row.nulls |= 1U << i;
            }
        }
        for (; exact < row.count; exact = exactAt()) {
            radio->moveNext();
        }
        if (exact == row.count) {
            row.exactBand = radio->utf8At(1);
            row.freq = radio->nullAt(2) ? 0.0 : radio->realAt(2);
            row.exactMode = radio->utf8At(3);
            row.exactSubmode = radio->utf8At(4);
        } else {
            row.exactBand = row.exactMode = row.exactSubmode = {};
            row.freq = 0;
        }
        sink.start(row);
        if (withKept && !rs.nullAt(columnCount + 1)) {
            forEachField(rs.utf8At(columnCount + 1),
                         [&sink](std::string_view name, char type, QByteArrayView value) {
                             sink.kept(name, type, value);
                         });
        }
        fieldsOfRow(row, sink);
        buffer += " <EOR>\r\n";
        if (buffer.size() > flushAt) {
            writeAll(out, buffer);
            buffer.resize(0);
        }
        ++report.written;
        report.withoutBand += sink.band ? 0 : 1;
        report.withoutMode += sink.mode ? 0 : 1;

        QStringList odd;
        const auto check = [&](const char* column, Column c, const std::vector<QByteArray>& in) {
            const QByteArrayView value = row.column[static_cast<size_t>(c)];
            if (!oneOf(value, in)) {
                // Control characters as their pictures, so that the message shows them.
                QString shown = QString::fromUtf8(value).left(60);
                for (QChar& ch : shown) {
                    if (ch.unicode() < 0x20) {
                        ch = QChar(static_cast<char16_t>(0x2400 + ch.unicode()));
                    }
                }
                odd << QStringLiteral("%1 \"%2\"").arg(QLatin1String(column), shown);
            }
        };
        check("band", Band, bands);
        check("mode", Mode, modes);
        check("qsl", Qsl, qsls);
        if (!odd.isEmpty()) {
            if (++report.oddCount <= listedOdd) {
                report.oddValues << QStringLiteral("QSO %1: %2")
                                        .arg(row.count)
                                        .arg(odd.join(QStringLiteral(", ")));
            }
        }
    }
    writeAll(out, buffer);
    return report;
}

QString ExportReport::text(const QString& shownPath) const {
    QString out =
        written == 1
            ? QStringLiteral("1 QSO exported to %1").arg(shownPath)
            : QStringLiteral("%1 QSOs exported to %2").arg(QString::number(written), shownPath);
    if (withoutBand > 0 || withoutMode > 0) {
        out +=
            QStringLiteral("\n\n%1 of them without BAND and %2 without MODE: those QSOs hold only "
                           "the award's categories (HF, VHF, UHF, SHF and SAT name no single "
                           "band; MIXED and DIGITAL no single mode), typed without the exact "
                           "band and mode of the Radio frame or imported without them. HM52 "
                           "reads its own fields back exactly.")
                .arg(QString::number(withoutBand), QString::number(withoutMode));
    }
    if (oddCount > 0) {
        out += QStringLiteral("\n\n%1 QSOs hold values that are none of the log's codes; they "
                              "were written as they stand, with no QSL_RCVD, BAND or MODE made "
                              "up for them:\n")
                   .arg(oddCount);
        out += listedLines(oddValues, oddCount);
    }
    return out;
}

} // namespace hm52::adif
