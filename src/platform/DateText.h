#pragma once

#include <QString>

// The text forms in which dates and times travel between the windows and the log.
//
// The log keeps ISO text ("2004-01-05", "09:05:00"), so any SQLite tool reads it and a day
// that its month does not have is kept exactly as typed instead of rolling into the next
// month. The windows write "d/m/yy" and "hh:mm" and read back "dd/mm/yy" and "H.mm.ss",
// on which they cut by position.
namespace hm52::datetext {

// A two-digit year maps to 2000-2029 for 00-29 and to 1930-1999 for 30-99.
int centuryYear(int twoDigitYear);

// "d/m/yy" (one or two digits each; a four-digit year is taken as it is) or ISO "yyyy-mm-dd"
// to the stored ISO form. Day 1-31 and month 1-12 are required; the day is not checked
// against the month. Returns an empty string for any other text.
QString storedDate(const QString& written);

// "h:mm", "hh:mm" or "hh:mm:ss" (hours 0-23, minutes and seconds 0-59) to the stored
// "hh:mm:ss". Returns an empty string for any other text.
QString storedTime(const QString& written);

// Stored ISO date to "dd/mm/yy"; any other stored text comes back unchanged.
QString readDate(const QString& stored);

// Stored "hh:mm:ss" to "H.mm.ss" (hour without a leading zero); any other text unchanged.
QString readTime(const QString& stored);

} // namespace hm52::datetext
