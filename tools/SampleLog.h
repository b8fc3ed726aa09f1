#pragma once

#include <QString>

#include <cstdint>

// A realistic log for trying the program and measuring it: QSOs with stations of the
// gazetteer's places, every mode, band and QSL state, over twenty years.
namespace hm52::sample {

struct Options {
    int qsos = 100000;
    std::uint32_t seed = 52; // the same seed gives the same log
};

// Writes a new log at `logPath` with `options.qsos` QSOs whose sub-squares, places and
// provinces come from the gazetteer at `placesPath`. At most one QSO is accredited per
// sub-square, band and mode. Throws DbError when a file is already at `logPath` (it is never
// replaced), when the gazetteer cannot be read or is empty, or when writing fails; a failure
// leaves no file behind.
void writeLog(const QString& logPath, const QString& placesPath, const Options& options);

} // namespace hm52::sample
