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

// A failure of the database engine. text() is the engine's own error text.
class DbError : public Failure {
public:
    using Failure::Failure;
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
