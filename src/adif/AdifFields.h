#pragma once

#include <QString>

#include <string_view>

// How ADIF values map onto the log's fields and back.
namespace hm52::adif {

// The two sub-square letters (upper case, A-X) of a locator in the award square: "HM52AB",
// "hm52ab", "HM52AB12" give "AB". Empty for a locator elsewhere, a four-character "HM52"
// and letters beyond X.
QString subSquareOf(std::string_view grid);
// The first locator of a comma-separated list (VUCC_GRIDS) that lies in a sub-square.
QString subSquareOfList(std::string_view grids);
// True when two letters name a sub-square (A-X, either case).
bool isSubSquare(const QString& letters);

// A FREQ in MHz ("144.300"); false when it does not read as a number. (Bands and modes, and
// what they are to the award: rules/Radio.h.)
bool frequencyOf(std::string_view freq, double* mhz);

// "YYYYMMDD" to the log's stored "YYYY-MM-DD". The log shows two-digit years that it reads
// back as 1930-2029, so years outside that range are refused. Empty with a reason on failure.
QString storedDateOf(std::string_view qsoDate, QString* reason);
// Whether storedDateOf takes a "YYYYMMDD" (and gives it back as "YYYY-MM-DD").
bool storesAsDate(std::string_view qsoDate);
// "HHMM" or "HHMMSS" to "HH:MM" (seconds dropped). Empty with a reason on failure.
QString formTimeOf(std::string_view timeOn, QString* reason);

// True for "Y" or "y" (a QSL received).
bool isYes(std::string_view value);

// Plain ASCII for a standard field: accents dropped, other characters as '?'.
QString asciiOf(const QString& text);
// Exact text in ASCII for this program's own fields: UTF-8 with '%', '<', '>', controls and
// non-ASCII bytes as %XX (so that no value of ours ever holds a tag); and back.
QByteArray percentOf(const QString& text);
QString fromPercent(std::string_view value);

} // namespace hm52::adif
