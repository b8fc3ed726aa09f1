#include "app/Program.h"

#include "app/principale.h"
#include "backup/Backup.h"
#include "platform/Listing.h"
#include "platform/ReadConnection.h"
#include "storage/QuoteSql.h"
#include "storage/Schema.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <optional>

namespace hm52 {

namespace {

// Copies whose bytes each start compares with their fingerprints, besides those the rotation
// compares: over a few starts, every copy is read again.
constexpr int comparedEachStart = 2;

// Whether the program that holds a lock still runs: a process of that number runs on this
// machine under the name the lock gives. A lock of another machine is taken as held.
bool holderRuns(qint64 pid, const QString& host, const QString& application) {
    if (!host.isEmpty() && host != QSysInfo::machineHostName()) {
        return true;
    }
    if (pid <= 0 || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)) {
        return false;
    }
    // A number taken again by another program: its executable's name differs.
    QString name =
        QFileInfo(QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget()).fileName();
    name.remove(QStringLiteral(" (deleted)")); // an executable replaced while it runs
    return application.isEmpty() || name.isEmpty() || name == application;
}

} // namespace

Program::Program(const QString& programFolder, Dialogs& dialogs, Shell& shell,
                 PrinterFactory printers, std::function<void()> endProgram)
    : Program(ProgramPaths::portable(programFolder), dialogs, shell, std::move(printers),
              std::move(endProgram)) {}

Program::Program(const ProgramPaths& paths, Dialogs& dialogs, Shell& shell, PrinterFactory printers,
                 std::function<void()> endProgram, bool newLog)
    : paths_(paths), newLog_(newLog),
      services_{m_,      dialogs,         shell, std::move(printers), paths.logFolder,
                nullptr, paths.dataFolder},
      registry_(services_),
      main_(std::make_unique<principale>(services_, registry_, std::move(endProgram))),
      mainThread_(std::make_unique<QObject>()) {
    services_.rig = &rig_;
    services_.rigSettings = &rigSettings_;
    m_.keeper.onDamaged = [this](const QString& finding) {
        services_.dialogs.tell(main_.get(), m_.keeper.damagedText(finding), Icon::Critical);
    };
}

Program::~Program() {
    // The day's backup may still be copying: stop it, leaving nothing half-made, before the
    // run it reports to goes.
    m_.keeper.cancelAfterCheck();
    m_.keeper.joinWorker();
}

void Program::tellLater(const QString& text, Icon icon) {
    QMetaObject::invokeMethod(
        mainThread_.get(),
        [this, text, icon]() { services_.dialogs.tell(main_.get(), text, icon); },
        Qt::QueuedConnection);
}

bool Program::createFirstLog(const QString& logPath) {
    const QString shown = QDir::toNativeSeparators(logPath);
    if (!newLog_ &&
        !services_.dialogs.askYesNo(
            nullptr,
            QStringLiteral("There is no HM52 log at %1 yet.\n\nCreate a new, empty log there?")
                .arg(shown),
            Icon::Question, QStringLiteral("HM52"))) {
        return false;
    }
    const QString folder = QFileInfo(logPath).absolutePath();
    QString failure;
    if (!QDir().mkpath(folder)) {
        failure =
            QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder));
    } else {
        try {
            schema::createLog(logPath);
        } catch (const DbError& e) {
            failure = e.text();
        }
    }
    if (!failure.isEmpty()) {
        services_.dialogs.tell(
            nullptr,
            QStringLiteral("The new log %1 cannot be created: %2.\n\nHM52 keeps its log in your "
                           "data folder; make sure you can write there (or point XDG_DATA_HOME "
                           "at a folder you can write) and start HM52 again.")
                .arg(shown, failure),
            Icon::Critical);
        return false;
    }
    return true;
}

bool Program::start() {
    const QString logPath = paths_.logPath();
    if (paths_.installed && !QFileInfo::exists(logPath) && !createFirstLog(logPath)) {
        return false;
    }
    // One program per log: two writing one file would damage it. A lock left by a program
    // that died is stale and is taken over; where it cannot be (a folder that cannot be
    // written), the log opens for looking only.
    lock_ = std::make_unique<QLockFile>(logPath + QStringLiteral(".lock"));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0) && lock_->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString host;
        QString application;
        const bool read = lock_->getLockInfo(&pid, &host, &application);
        // A lock that cannot be read is no running program's: each writes its own whole.
        if (read && holderRuns(pid, host, application)) {
            services_.dialogs.tell(
                nullptr,
                QStringLiteral("The log %1 is already open in another HM52 (process %2). Close "
                               "that one, or go on working there: two programs writing one log "
                               "would damage it.")
                    .arg(QDir::toNativeSeparators(logPath), QString::number(pid)),
                Icon::Critical);
            lock_.reset();
            return false;
        }
        m_.keeper.lookOnly(QStringLiteral("the lock %1 of a program that no longer runs cannot be "
                                          "taken over")
                               .arg(QDir::toNativeSeparators(logPath + QStringLiteral(".lock"))));
    }
    // A folder that cannot be written cannot hold the lock either; the log is then only read.

    try {
        main_->Form_Load();
    } catch (const DbError& e) {
        services_.dialogs.tell(nullptr, e.text(), Icon::Critical);
        return false;
    }
    if (m_.keeper.trust() == LogTrust::ReadOnly) {
        services_.dialogs.tell(
            nullptr,
            QStringLiteral("The log %1 cannot be written: %2.\n\nHM52 opens it for looking only: "
                           "every change is refused.")
                .arg(QDir::toNativeSeparators(logPath), m_.keeper.distrust()),
            Icon::Exclamation);
        m_.keeper.startCheck();
        startRig();
        return true;
    }

    startRig();
    backup::removeLeftovers(logPath);
    m_.keeper.startCheck([this, logPath]() {
        const QString told =
            dailyBackup(logPath, QDateTime::currentDateTime(), &m_.keeper.cancelled());
        if (!told.isEmpty()) {
            tellLater(told, Icon::Exclamation);
        }
    });
    return true;
}

void Program::setRig(const QString& settingsPath, const rig::RigOverrides& session) {
    rigSettings_ = rig::RigSettingsStore(settingsPath);
    rigSettings_.setSession(session);
}

void Program::finishStartWork() {
    m_.keeper.awaitCheck();
    m_.keeper.joinWorker();
    QCoreApplication::processEvents();
}

QString dailyBackup(const QString& logPath, const QDateTime& now, const std::atomic_bool* cancel) {
    const QString folder = backup::folderFor(logPath);
    if (QFileInfo::exists(folder) && backup::dayBackupMade(folder, now, cancel)) {
        backup::rotate(folder, now, backup::Compare::Fingerprints, cancel);
        backup::compareInTurn(folder, comparedEachStart, cancel);
        return {};
    }
    QString told;
    try {
        std::optional<ReadConnection> source;
        try {
            source.emplace(logPath);
        } catch (const DbError& e) {
            throw BackupError(e.text());
        }
        const backup::Made made = backup::makeBackup(*source, logPath, now, cancel);
        backup::compareInTurn(folder, comparedEachStart, cancel);
        if (!made.notGood.isEmpty()) {
            told = QStringLiteral("These files in %1 are not good copies of the log; they do not "
                                  "count as backups and are left as they are:\n\n%2")
                       .arg(QDir::toNativeSeparators(folder), listedLines(made.notGood));
        }
    } catch (const BackupError& e) {
        if (cancel == nullptr || !*cancel) {
            told =
                QStringLiteral("Today's backup of the log could not be made.\n\n%1").arg(e.text());
        }
    }
    return told;
}

void Program::startRig() {
    // Only asks the rig's worker: the main window shows without waiting for the rig.
    if (!rigSettings_.startsConnected()) {
        return;
    }
    const rig::RigSettings settings = rigSettings_.inForce();
    const QString problem = rig::settingsProblem(settings);
    if (!problem.isEmpty()) {
        tellLater(QStringLiteral("The rig cannot be connected: %1\n\nSet it in Utility, Rig...")
                      .arg(problem),
                  Icon::Exclamation);
        return;
    }
    rig_.connectRig(settings);
}

int runProgram(const ProgramPaths& paths, bool newLog, const rig::RigOverrides& rigSession) {
    QtDialogs dialogs;
    QtShell shell;
    Program program(
        paths, dialogs, shell, []() { return std::make_unique<QtPrinter>(); },
        []() { QCoreApplication::exit(0); }, newLog);
    program.setRig(rig::RigSettingsStore::defaultPath(), rigSession);
    if (!program.start()) {
        return 1;
    }
    // Whatever a handler left open, the log is free again before the program waits for the
    // operator.
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                     [&program]() { program.module().releaseCursors(); });
    program.mainWindow().show();
    return QApplication::exec();
}

} // namespace hm52
