#include "app/Program.h"

#include "app/principale.h"
#include "backup/Backup.h"

#include <QApplication>

namespace hm52 {

Program::Program(const QString& programFolder, Dialogs& dialogs, Shell& shell,
                 PrinterFactory printers, std::function<void()> endProgram)
    : services_{m_, dialogs, shell, std::move(printers), programFolder}, registry_(services_),
      main_(std::make_unique<principale>(services_, registry_, std::move(endProgram))) {}

Program::~Program() = default;

bool Program::start() {
    try {
        main_->Form_Load();
    } catch (const DbError& e) {
        services_.dialogs.tell(nullptr, e.text(), Icon::Critical);
        return false;
    }
    dailyBackup(services_, main_.get());
    return true;
}

void dailyBackup(Services& s, QWidget* parent, const QDateTime& now) {
    if (backup::hasBackupOn(backup::folderFor(s.m.logDb.path()), now.date())) {
        return;
    }
    try {
        backup::makeBackup(s.m.logDb, now);
    } catch (const BackupError& e) {
        s.dialogs.tell(
            parent,
            QStringLiteral("Today's backup of the log could not be made.\n\n%1").arg(e.text()),
            Icon::Exclamation);
    }
}

int runProgram(const QString& programFolder) {
    QtDialogs dialogs;
    QtShell shell;
    Program program(
        programFolder, dialogs, shell, []() { return std::make_unique<QtPrinter>(); },
        []() { QCoreApplication::exit(0); });
    if (!program.start()) {
        return 1;
    }
    program.mainWindow().show();
    return QApplication::exec();
}

} // namespace hm52
