#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class QIODevice;

namespace hm52 {
class Module1;
}

namespace hm52::adif {

// What an export wrote.
struct ExportReport {
    int written = 0;
    int withoutBand = 0;   // QSOs with no BAND: no exact band, and an award band naming none
    int withoutMode = 0;   // QSOs with no MODE: no exact mode, and MIXED or DIGITAL
    QStringList oddValues; // "QSO 12: qsl \"x\"", values that are none of the log's codes
    int oddCount = 0;      // all of those, listed or not

    // The closing message.
    QString text(const QString& shownPath) const;
};

// Writes every QSO of the log, in the order of their numbers, as an ADIF 3.1 .adi file: a
// text header, then one line per QSO. Values are ASCII, lengths count bytes, lines end with
// CRLF. A QSO that came from an ADIF file gets back the fields that file said of it; every
// QSO gets the standard fields its columns determine, and this program's own fields that
// read the log back exactly. A QSO's exact values (BAND, FREQ, MODE, SUBMODE) speak before
// those of its file. Throws DbError on an engine failure.
ExportReport writeAdif(Module1& m, QIODevice& out, const QDateTime& created);

// One field, "<NAME:length>value" or "<NAME:length:type>value".
QByteArray adifField(const char* name, const QByteArray& value, char type = 0);

} // namespace hm52::adif
