#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QIODevice;

namespace hm52 {
class Module1;
}

namespace hm52::adif {

// Writes every QSO of the log, in the order of their numbers, as an ADIF 3.1 .adi file: a
// text header, then one line per QSO. Values are ASCII, lengths count bytes, lines end with
// CRLF. Standard fields carry what a general logger understands; this program's own fields
// (APP_HM52_BAND, APP_HM52_MODE, APP_HM52_QSL, and where needed APP_HM52_LOCATOR,
// APP_HM52_CALL, APP_HM52_PLACE) carry what it needs to read the log back exactly.
// Returns the number of QSOs written. Throws DbError on an engine failure.
int writeAdif(Module1& m, QIODevice& out, const QDateTime& created);

// One field, "<NAME:length>value" or "<NAME:length:type>value".
QByteArray adifField(const char* name, const QByteArray& value, char type = 0);

} // namespace hm52::adif
