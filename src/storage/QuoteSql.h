#pragma once

#include <QString>

namespace hm52 {

// Doubles every single quote of a typed text, so that it can stand between single quotes
// in SQL text: PIAN D'OLMO -> PIAN D''OLMO.
QString QuoteSql(const QString& text);

// Joins the program's folder and a file name below it. A folder that already ends in a
// separator (a file-system or drive root) is not given a second one.
QString joinPath(const QString& folder, const QString& name);

} // namespace hm52
