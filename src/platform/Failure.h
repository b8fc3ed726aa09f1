#pragma once

#include <QString>

#include <stdexcept>

namespace hm52 {

// A failure that a handler reports to the operator and then survives: the engine, the
// printer or a backup could not do what was asked. text() is the reason in the failing
// party's own words.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// A failure of the database engine. text() is the engine's own error text; the codes are
// SQLite's result code of the failure (SQLITE_BUSY, SQLITE_CONSTRAINT...) and its extended
// code (SQLITE_CONSTRAINT_PRIMARYKEY...), both 0 for a failure the engine layer found itself
// (a field that is not there, a cursor on no row).
class DbError : public Failure {
public:
    explicit DbError(const QString& reason, int extendedCode = 0)
        : Failure(reason), extended_(extendedCode) {}
    int primaryCode() const { return extended_ & 0xff; }
    int extendedCode() const { return extended_; }

private:
    int extended_;
};

// A printer that is missing or fails; text() is the system's reason.
class PrintError : public Failure {
public:
    using Failure::Failure;
};

// A backup that could not be made or restored; text() is the reason.
class BackupError : public Failure {
public:
    using Failure::Failure;
};

} // namespace hm52
