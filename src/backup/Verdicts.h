#pragma once

#include "storage/LogCheck.h"

#include <QDir>
#include <QHash>
#include <QString>

#include <atomic>

// What the backup folder remembers of its files between runs, and what this run has seen of
// them: each copy's check and the fingerprint of the bytes that were checked. Used only by
// the backups, under their folder's lock.
namespace hm52::backup::detail {

// A file's fingerprint, a 64-bit XXH3 hash of its bytes. False when the file cannot be read
// to its end, or when `cancel` was set meanwhile.
bool fingerprintOf(const QString& path, quint64& hash, const std::atomic_bool* cancel = nullptr);

struct Verdict {
    qint64 size = -1;
    qint64 modified = 0; // in milliseconds since 1970
    quint64 hash = 0;    // the fingerprint of the bytes that were checked
    qint64 tick = 0;     // when the fingerprint was last compared, in the folder's own count
    LogFinding finding;
};

// The verdicts of one folder, read from its file `.hm52-checked`. A line of that file that
// is damaged is dropped, which only costs that file a new check.
class Verdicts {
public:
    explicit Verdicts(const QString& folder, const std::atomic_bool* cancel = nullptr);
    ~Verdicts(); // writes the file when a verdict changed (atomically: all or nothing)
    Verdicts(const Verdicts&) = delete;
    Verdicts& operator=(const Verdicts&) = delete;

    // The verdict of a file: remembered, or checked now when unknown or when its size or
    // time changed.
    const Verdict& of(const QString& name);
    // Whether a file counts as a good copy now: its verdict is good and its bytes are still
    // the ones that were checked. The fingerprint is compared now unless this run compared it
    // already and the file's status has not changed since (`compare` false: then the answer
    // is false for a file not compared in this run). A copy whose bytes changed is not good
    // from then on.
    bool stillGood(const QString& name, bool compare = true);
    // A new copy, checked and fingerprinted.
    void record(const QString& name, const Verdict& verdict);
    void forget(const QString& name);
    // The good files, those compared longest ago first.
    QStringList comparedLongestAgo() const;
    bool cancelled() const { return cancel_ != nullptr && *cancel_; }

private:
    void read();
    void write() const;

    QDir dir_;
    const std::atomic_bool* cancel_;
    QHash<QString, Verdict> verdicts_;
    qint64 tick_ = 0;
    bool changed_ = false;
};

} // namespace hm52::backup::detail
