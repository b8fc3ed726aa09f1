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

// The program-wide database state of one run: the two open files and the two result-set
// slots that windows reopen on their own queries, and how far the log can be trusted.
// `main` owns one; every test builds its own on its own files.
class Module1 : private Gate {
public:
    Module1();
    ~Module1() override;
    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;

    Database logDb;    // data.mdb beside the executable, read and written
    Database placesDb; // places.mdb beside the executable, only read

    // The last result set a window opened for its own use; each opening replaces it.
    std::unique_ptr<Recordset> sharedRs;
    std::unique_ptr<Recordset> auxRs;

    // Opens data.mdb and places.mdb in the program's folder. Throws DbError with the
    // engine's text when either is missing, locked, unreadable or not ours. Nothing is ever
    // created or written here; the log is trusted as it is until startCheck().
    void OpenDatabases(const QString& programFolder);
    // The log from one folder, the gazetteer from another (an installed program).
    void OpenDatabases(const QString& logFolder, const QString& dataFolder);
    void openLog(const QString& path, OpenMode mode = OpenMode::ReadWrite);
    void openPlaces(const QString& path);

    // Reopens a slot on a query of the log (or of the gazetteer) and returns the new cursor.
    // The previous cursor of the slot is released first.
    Recordset& openShared(const QString& sqlOrTable);
    // The same for a "select * from data ..." listing read only by its rows' keys.
    Recordset& openSharedKeys(const QString& selectAll);
    Recordset& openAux(const QString& sqlOrTable);
    Recordset& openAuxPlaces(const QString& sql);
    // Lets the slots' cursors go of the files: their rows stay readable, no lock is held.
    void releaseCursors();
    // Closes the slots' cursors.
    void closeCursors();

    // Runs a "select count(...) as contatore ..." text and returns `contatore`.
    qint64 contatore(const QString& sql);
    qint64 placesContatore(const QString& sql);

    // The log's check: runs on a thread of its own on a connection of its own, while the
    // program goes on; until its verdict is in, every statement on the log waits for it. A
    // log that passes is trusted (and `afterGood` runs next on the same thread: the day's
    // backup, after the indexes that a log of an earlier build lacks are added); a damaged
    // one is never written again. The verdict reaches `onVerdict` on the
    // main thread, once.
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
    // The next openLog opens the log for looking only, for the reason given (empty: as the
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
