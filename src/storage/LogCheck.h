#pragma once

#include <QString>

namespace hm52 {

// What a check of a log file found.
struct LogFinding {
    bool good = true;
    QString finding;  // why the file cannot be trusted, in the engine's words where it has some
    qint64 qsos = -1; // QSOs in the file, -1 when they cannot be counted
};

// Checks a log file on a connection of its own, opened only for reading: that it is an
// SQLite file of whole pages (a file cut short is not), the engine's quick check of every
// page and index, and that it holds the log's tables. Safe on any thread.
LogFinding checkLogFile(const QString& path);

} // namespace hm52
