#pragma once

#include <QString>

#include <cstdint>

// A realistic log for trying the program and measuring it: QSOs with stations of the
// gazetteer's places, every mode, band and QSL state, over twenty years: a log the program
// could have made.
namespace hm52::sample {

struct Options {
    int qsos = 100000;
    std::uint32_t seed = 52; // the same seed gives the same log
};

// Writes a new log at `logPath` with `options.qsos` QSOs whose sub-squares, places and
// provinces come from the gazetteer at `placesPath`. The award's rules hold as the program
// applies them: at most one confirmed or accredited QSO per sub-square, band and mode, and the
// accredited ones those that award requests claimed. Most QSOs have an exact band and mode of
// their categories (some a frequency too); some were typed without. Throws DbError when a file
// is already at `logPath` (it is never replaced), when the gazetteer cannot be read or is
// empty, or when writing fails; a failure leaves no file behind.
void writeLog(const QString& logPath, const QString& placesPath, const Options& options);

// The gazetteer to draw from when none is given: the places.mdb beside the log, else beside
// the tool or in the program folder above it (a build), else that of an installed program
// (<prefix>/share/hm52 beside the tool's <prefix>/bin, then /usr/share/hm52). Empty when
// there is none.
QString findGazetteer(const QString& logPath, const QString& toolFolder);

} // namespace hm52::sample
