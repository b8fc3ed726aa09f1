#include "storage/LogKeeper.h"

#include "storage/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace hm52 {

namespace {

// Why a file cannot be written by this process (its own permissions or its folder's, where
// the engine keeps its journal), or empty when it can.
QString unwritable(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (::faccessat(AT_FDCWD, file.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT) {
        return QStringLiteral("the file is read-only");
    }
    if (::faccessat(AT_FDCWD, folder.constData(), W_OK, AT_EACCESS) != 0) {
        return QStringLiteral("its folder %1 is read-only")
            .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    }
    return {};
}

} // namespace

LogKeeper::LogKeeper(Database& log) : log_(log), mainThread_(std::make_unique<QObject>()) {}

LogKeeper::~LogKeeper() {
    cancelAfterCheck();
    joinWorker();
    // Drops a verdict still on its way to the main thread.
    mainThread_.reset();
}

OpenMode LogKeeper::modeFor(const QString& path, OpenMode asked) {
    unwritable_ = asked == OpenMode::ReadWrite ? unwritable(path) : QString();
    if (asked == OpenMode::ReadWrite && unwritable_.isEmpty()) {
        unwritable_ = lookOnly_;
    }
    return unwritable_.isEmpty() ? asked : OpenMode::ReadOnly;
}

void LogKeeper::attach() {
    log_.setGate(this);
    if (!unwritable_.isEmpty()) {
        setReadOnly(unwritable_);
    }
}

void LogKeeper::startCheck(std::function<void()> afterGood) {
    joinWorker();
    trust_ = LogTrust::Checking;
    cancel_ = false;
    workerDone_ = false;
    std::promise<LogFinding> promise;
    verdict_ = promise.get_future().share();
    QObject* mainThread = mainThread_.get();
    worker_ = std::thread([this, path = log_.path(), promise = std::move(promise),
                           after = std::move(afterGood), mainThread]() mutable {
        const LogFinding finding = checkLogFile(path);
        promise.set_value(finding);
        QMetaObject::invokeMethod(
            mainThread, [this, finding]() { applyVerdict(finding); }, Qt::QueuedConnection);
        if (finding.good && after && !cancel_) {
            after();
        }
        workerDone_ = true;
    });
}

LogTrust LogKeeper::awaitCheck() {
    if (trust_ == LogTrust::Checking && verdict_.valid()) {
        applyVerdict(verdict_.get());
    }
    return trust_;
}

bool LogKeeper::afterCheckRunning() const {
    return !workerDone_;
}

void LogKeeper::cancelAfterCheck() {
    cancel_ = true;
}

void LogKeeper::joinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void LogKeeper::applyVerdict(const LogFinding& finding) {
    if (trust_ != LogTrust::Checking) {
        return; // applied already, or overtaken (the log was replaced meanwhile)
    }
    if (!finding.good) {
        setDamaged(finding.finding);
        return;
    }
    if (!unwritable_.isEmpty()) {
        trust_ = LogTrust::ReadOnly;
        return;
    }
    trust_ = LogTrust::Trusted;
    // A log made by an earlier build gets the indexes it lacks, now that it is known good.
    schema::ensureLogIndexes(log_);
    // Done now, while the operator has yet to ask: a million QSOs take some 100 ms here. It
    // only saves time later: a fault it meets is met, and told, again at the first listing.
    try {
        schema::readFirstListingIndex(log_);
    } catch (const DbError&) {
    }
}

void LogKeeper::setReadOnly(const QString& why) {
    trust_ = LogTrust::ReadOnly;
    distrust_ = why;
}

void LogKeeper::setDamaged(const QString& finding) {
    const bool first = trust_ != LogTrust::Damaged;
    trust_ = LogTrust::Damaged;
    distrust_ = finding;
    if (first && !told_) {
        told_ = true;
        if (onDamaged) {
            onDamaged(finding);
        }
    }
}

void LogKeeper::setTrusted() {
    trust_ = LogTrust::Trusted;
    distrust_.clear();
    told_ = false;
}

QString LogKeeper::damagedText(const QString& finding) const {
    const QString log = QDir::toNativeSeparators(log_.path());
    return (finding.isEmpty() ? QStringLiteral("The log %1 is damaged.").arg(log)
                              : QStringLiteral("The log %1 is damaged: %2").arg(log, finding)) +
           QStringLiteral("\n\nHM52 will write nothing to it: every change is refused. To go "
                          "back to a good copy, choose Database > Restore Backup..., which keeps "
                          "the damaged log beside the backups.");
}

void LogKeeper::beforeRead() {
    if (trust_ == LogTrust::Checking) {
        awaitCheck();
    }
}

void LogKeeper::beforeWrite() {
    if (trust_ == LogTrust::Checking) {
        awaitCheck();
    }
    if (trust_ == LogTrust::Damaged) {
        throw DbError(damagedText(distrust_));
    }
    if (trust_ == LogTrust::ReadOnly) {
        throw DbError(QStringLiteral("The log %1 is open for looking only: %2\n\nNothing was "
                                     "changed.")
                          .arg(QDir::toNativeSeparators(log_.path()), distrust_));
    }
}

QString LogKeeper::damaged(const QString& engineText) {
    // Told here, with the failure that found it: no second message.
    told_ = true;
    setDamaged(engineText);
    return damagedText({});
}

} // namespace hm52
