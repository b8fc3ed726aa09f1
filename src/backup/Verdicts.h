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

// What the system says of a file: a change of any of it (a write sets the status change
// time, whatever the modification time is set back to) means its bytes may have changed.
struct Status {
    bool ok = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const Status&) const = default;
    qint64 modifiedMs() const { return modifiedNs / 1000000; }
};
Status statusOf(const QString& path);

// A file's fingerprint taken without holding the folder, to be applied under it.
struct Reading {
    QString name;
    bool read = false;   // read whole
    bool steady = false; // its status the same before and after
    quint64 hash = 0;
    Status status;
};
Reading readFingerprint(const QDir& dir, const QString& name, const std::atomic_bool* cancel);

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
    // The good files whose fingerprints this run has yet to compare.
    QStringList notCompared(const QStringList& names);
    // A fingerprint read meanwhile: the file counts as compared, or as changed when the
    // fingerprint differs from the one of its check.
    void apply(const Reading& reading);
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
