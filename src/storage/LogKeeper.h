#pragma once

#include "platform/Database.h"
#include "storage/LogCheck.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace hm52 {

// How far the log can be trusted.
enum class LogTrust {
    Trusted,  // checked (or not to be checked): read and written
    Checking, // its check runs: every statement waits for the verdict
    Damaged,  // the check or the engine found it damaged: read, never written
    ReadOnly, // the file or its folder cannot be written: read, never written
};

// Keeps the log trustworthy: how far it can be trusted, its check on a thread of its own,
// and the gate every statement on the log passes (waiting for the check's verdict, refusing
// writes to a damaged or read-only log).
class LogKeeper : private Gate {
public:
    explicit LogKeeper(Database& log);
    ~LogKeeper() override;
    LogKeeper(const LogKeeper&) = delete;
    LogKeeper& operator=(const LogKeeper&) = delete;

    // The mode in which to open the log at `path`: read-only when the file or its folder
    // cannot be written, or when lookOnly() asked for it.
    OpenMode modeFor(const QString& path, OpenMode asked);
    // The log is open: its statements pass this gate from now on.
    void attach();

    // The log's check: runs on a thread of its own on a connection of its own, while the
    // program goes on; until its verdict is in, every statement on the log waits for it. A
    // log that passes is trusted (and `afterGood` runs next on the same thread: the day's
    // backup, after the indexes that a log of an earlier build lacks are added); a damaged
    // one is never written again. The verdict reaches `onDamaged` on the main thread, once.
    void startCheck(std::function<void()> afterGood = {});
    // Waits for the verdict of a running check and applies it.
    LogTrust awaitCheck();
    // Whether the work after a good check is still running, and a request that it stop.
    bool afterCheckRunning() const;
    void cancelAfterCheck();
    // Waits until the check's thread has ended.
    void joinWorker();
    const std::atomic_bool& cancelled() const { return cancel_; }

    LogTrust trust() const { return trust_; }
    // Why the log is not trusted: the check's finding, or why it cannot be written.
    const QString& distrust() const { return distrust_; }
    void setReadOnly(const QString& why);
    // The next opening opens the log for looking only, for the reason given (empty: as the
    // file allows).
    void lookOnly(const QString& why) { lookOnly_ = why; }
    // The log as damaged from now on; `finding` says why.
    void setDamaged(const QString& finding);
    // Trusted again: a good log was put in place of the damaged one.
    void setTrusted();

    // Told once, on the main thread, when the log turns out damaged (at its check or later).
    std::function<void(const QString& finding)> onDamaged;

    // What the operator is told of a log that is not trusted (the message names the file and
    // says how to go back to a good backup).
    QString damagedText(const QString& finding) const;

private:
    void beforeRead() override;
    void beforeWrite() override;
    QString damaged(const QString& engineText) override;
    void applyVerdict(const LogFinding& finding);

    Database& log_;
    LogTrust trust_ = LogTrust::Trusted;
    QString distrust_;
    QString unwritable_; // why the log cannot be written, empty when it can
    QString lookOnly_;   // why the log is not to be written though it could be
    bool told_ = false;
    std::shared_future<LogFinding> verdict_;
    std::thread worker_;
    std::atomic_bool workerDone_{true};
    std::atomic_bool cancel_{false};
    // Carries the verdict to the main thread; the call is dropped once this run is gone.
    std::unique_ptr<QObject> mainThread_;
};

} // namespace hm52
