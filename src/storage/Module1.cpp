#include "storage/Module1.h"

#include "storage/QuoteSql.h"
#include "storage/Schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace hm52 {

Module1::Module1() : mainThread_(std::make_unique<QObject>()) {}

Module1::~Module1() {
    cancelAfterCheck();
    joinWorker();
    // Drops a verdict still on its way to the main thread.
    mainThread_.reset();
    sharedRs.reset();
    auxRs.reset();
}

void Module1::OpenDatabases(const QString& programFolder) {
    OpenDatabases(programFolder, programFolder);
}

void Module1::OpenDatabases(const QString& logFolder, const QString& dataFolder) {
    openLog(joinPath(logFolder, QStringLiteral("data.mdb")));
    try {
        openPlaces(joinPath(dataFolder, QStringLiteral("places.mdb")));
    } catch (const DbError&) {
        logDb.close();
        throw;
    }
}

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

void Module1::openLog(const QString& path, OpenMode mode) {
    unwritable_ = mode == OpenMode::ReadWrite ? unwritable(path) : QString();
    if (mode == OpenMode::ReadWrite && unwritable_.isEmpty()) {
        unwritable_ = lookOnly_;
    }
    if (!unwritable_.isEmpty()) {
        mode = OpenMode::ReadOnly;
    }
    try {
        logDb.open(path, mode);
        schema::verifyLog(logDb);
    } catch (const DbError& e) {
        logDb.close();
        throw DbError(e.text() + QStringLiteral("\n\n") + QDir::toNativeSeparators(path));
    }
    logDb.setGate(this);
    logDb.watchChanges("data");
    if (!unwritable_.isEmpty()) {
        setReadOnly(unwritable_);
    }
}

void Module1::openPlaces(const QString& path) {
    try {
        placesDb.open(path, OpenMode::ReadOnly);
        schema::verifyPlaces(placesDb);
    } catch (const DbError& e) {
        placesDb.close();
        throw DbError(e.text() + QStringLiteral("\n\n") + QDir::toNativeSeparators(path));
    }
}

Recordset& Module1::openShared(const QString& sqlOrTable) {
    sharedRs.reset();
    sharedRs = std::make_unique<Recordset>(logDb, sqlOrTable);
    return *sharedRs;
}

Recordset& Module1::openSharedKeys(const QString& selectAll) {
    sharedRs.reset();
    sharedRs = std::make_unique<Recordset>(logDb, selectAll, Recordset::keysOnly);
    return *sharedRs;
}

Recordset& Module1::openAux(const QString& sqlOrTable) {
    auxRs.reset();
    auxRs = std::make_unique<Recordset>(logDb, sqlOrTable);
    return *auxRs;
}

Recordset& Module1::openAuxPlaces(const QString& sql) {
    auxRs.reset();
    auxRs = std::make_unique<Recordset>(placesDb, sql);
    return *auxRs;
}

void Module1::releaseCursors() {
    for (const auto* slot : {&sharedRs, &auxRs}) {
        if (*slot) {
            (*slot)->release();
        }
    }
}

void Module1::closeCursors() {
    sharedRs.reset();
    auxRs.reset();
}

qint64 Module1::contatore(const QString& sql) {
    Recordset rs(logDb, sql);
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

qint64 Module1::placesContatore(const QString& sql) {
    Recordset rs(placesDb, sql);
    return rs.field(QStringLiteral("contatore")).toLongLong();
}

// ---------------------------------------------------------------------------------------
// Trust

void Module1::startCheck(std::function<void()> afterGood) {
    joinWorker();
    trust_ = LogTrust::Checking;
    cancel_ = false;
    workerDone_ = false;
    std::promise<LogFinding> promise;
    verdict_ = promise.get_future().share();
    QObject* mainThread = mainThread_.get();
    worker_ = std::thread([this, path = logDb.path(), promise = std::move(promise),
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

LogTrust Module1::awaitCheck() {
    if (trust_ == LogTrust::Checking && verdict_.valid()) {
        applyVerdict(verdict_.get());
    }
    return trust_;
}

bool Module1::afterCheckRunning() const {
    return !workerDone_;
}

void Module1::cancelAfterCheck() {
    cancel_ = true;
}

void Module1::joinWorker() {
    if (worker_.joinable()) {
        worker_.join();
    }
}

void Module1::applyVerdict(const LogFinding& finding) {
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
    schema::ensureLogIndexes(logDb);
    // Done now, while the operator has yet to ask: a million QSOs take some 100 ms here. It
    // only saves time later: a fault it meets is met, and told, again at the first listing.
    try {
        schema::readFirstListingIndex(logDb);
    } catch (const DbError&) {
    }
}

void Module1::setReadOnly(const QString& why) {
    trust_ = LogTrust::ReadOnly;
    distrust_ = why;
}

void Module1::setDamaged(const QString& finding) {
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

void Module1::setTrusted() {
    trust_ = LogTrust::Trusted;
    distrust_.clear();
    told_ = false;
}

QString Module1::damagedText(const QString& finding) const {
    const QString log = QDir::toNativeSeparators(logDb.path());
    return (finding.isEmpty() ? QStringLiteral("The log %1 is damaged.").arg(log)
                              : QStringLiteral("The log %1 is damaged: %2").arg(log, finding)) +
           QStringLiteral("\n\nHM52 will write nothing to it: every change is refused. To go "
                          "back to a good copy, choose Database > Restore Backup..., which keeps "
                          "the damaged log beside the backups.");
}

void Module1::beforeRead() {
    if (trust_ == LogTrust::Checking) {
        awaitCheck();
    }
}

void Module1::beforeWrite() {
    if (trust_ == LogTrust::Checking) {
        awaitCheck();
    }
    if (trust_ == LogTrust::Damaged) {
        throw DbError(damagedText(distrust_));
    }
    if (trust_ == LogTrust::ReadOnly) {
        throw DbError(QStringLiteral("The log %1 is open for looking only: %2\n\nNothing was "
                                     "changed.")
                          .arg(QDir::toNativeSeparators(logDb.path()), distrust_));
    }
}

QString Module1::damaged(const QString& engineText) {
    // Told here, with the failure that found it: no second message.
    told_ = true;
    setDamaged(engineText);
    return damagedText({});
}

} // namespace hm52
