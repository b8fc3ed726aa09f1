#include "app/frmRestoreBackup.h"

#include "storage/Module1.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace hm52 {

frmRestoreBackup::frmRestoreBackup(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmRestoreBackup"));
    setWindowTitle(QStringLiteral("Restore Backup"));
    setFont(windowFont());

    auto* layout = new QVBoxLayout(this);
    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setWordWrap(true);
    layout->addWidget(lblFolder);
    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    lstBackups->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time"),
                                 QStringLiteral("QSOs"), QStringLiteral("State")});
    lstBackups->setRootIsDecorated(false);
    lstBackups->setSelectionMode(QAbstractItemView::SingleSelection);
    lstBackups->setMinimumSize(tw(7000), tw(3000));
    lstBackups->header()->setStretchLastSection(true);
    layout->addWidget(lstBackups);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdRestore = new QPushButton(QStringLiteral("Restore"), this);
    cmdRestore->setObjectName(QStringLiteral("cmdRestore"));
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(cmdRestore);
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);

    on(cmdRestore, &QPushButton::clicked, &frmRestoreBackup::cmdRestore_Click);
    on(cmdExit, &QPushButton::clicked, &frmRestoreBackup::cmdExit_Click);
    on(lstBackups, &QTreeWidget::itemDoubleClicked, &frmRestoreBackup::cmdRestore_Click);
}

void frmRestoreBackup::Form_Load() {
    listBackups();
}

void frmRestoreBackup::listBackups() {
    const QString folder = backup::folderFor(s.m.logDb.path());
    lblFolder->setText(
        QStringLiteral("Backups in %1, newest first:").arg(QDir::toNativeSeparators(folder)));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    backups_ = backup::backupsIn(folder);
    QApplication::restoreOverrideCursor();
    lstBackups->clear();
    for (const backup::Copy& c : backups_) {
        auto* item = new QTreeWidgetItem(lstBackups);
        item->setText(0, c.made.date().toString(QStringLiteral("yyyy-MM-dd")));
        item->setText(1, c.made.time().toString(QStringLiteral("HH:mm:ss")));
        item->setText(2, c.qsos >= 0 ? QString::number(c.qsos) : QStringLiteral("-"));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(3, c.good ? QStringLiteral("good") : QStringLiteral("damaged: ") + c.finding);
        item->setToolTip(3, c.name);
    }
    for (int column = 0; column < 3; ++column) {
        lstBackups->resizeColumnToContents(column);
    }
    if (!backups_.empty()) {
        lstBackups->setCurrentItem(lstBackups->topLevelItem(0));
    }
}

void frmRestoreBackup::cmdExit_Click() {
    hide();
}

void frmRestoreBackup::cmdRestore_Click() {
    const int at = lstBackups->indexOfTopLevelItem(lstBackups->currentItem());
    if (at < 0 || at >= static_cast<int>(backups_.size())) {
        return;
    }
    restore(backups_.at(static_cast<size_t>(at)));
}

void frmRestoreBackup::restore(const backup::Copy& chosen) {
    const QString when = QLocale::c().toString(chosen.made, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!chosen.good) {
        s.dialogs.tell(this,
                       QStringLiteral("The backup of %1 is not a good copy of the log (%2), so "
                                      "it cannot be restored.")
                           .arg(when, chosen.finding),
                       Icon::Critical);
        return;
    }
    const QString folder = QDir::toNativeSeparators(backup::folderFor(s.m.logDb.path()));
    // Yes replaces the log: a stray Enter or Esc answers No.
    if (!s.dialogs.askBeforeChange(
            this,
            QStringLiteral("Put the backup of %1 (%2 QSOs) in the place of the "
                           "log?\n\nThe log as it is now is kept in %3 first.")
                .arg(when, QString::number(chosen.qsos), folder),
            Icon::Question)) {
        return;
    }
    restoreBackup(s, registry, chosen);
    s.dialogs.tell(this,
                   QStringLiteral("The backup of %1 is now the log: %2 QSOs.")
                       .arg(when, QString::number(chosen.qsos)),
                   Icon::Information);
    listBackups();
}

void restoreBackup(Services& s, Windows& windows, const backup::Copy& chosen,
                   const QDateTime& now) {
    Module1& m = s.m;
    if (m.keeper.trust() == LogTrust::ReadOnly) {
        throw BackupError(QStringLiteral("the log is open for looking only (%1): nothing was "
                                         "changed")
                              .arg(m.keeper.distrust()));
    }
    const QString logPath = m.logDb.path();
    // Nothing may hold the log while it is replaced: the day's backup stops, the windows'
    // cursors close.
    m.keeper.cancelAfterCheck();
    m.keeper.joinWorker();
    m.closeCursors();

    // The log as it is now, kept first.
    if (m.keeper.trust() == LogTrust::Damaged) {
        backup::keepDamaged(logPath, now);
    } else {
        backup::makeBackup(m.logDb, now);
    }
    const QString restoring = logPath + QStringLiteral(".restoring");
    backup::copyOut(chosen.path, restoring);

    // One step: the checked copy takes the log's name; until then the log is as it was.
    m.logDb.close();
    if (std::rename(QFile::encodeName(restoring).constData(),
                    QFile::encodeName(logPath).constData()) != 0) {
        QFile::remove(restoring);
        m.openLog(logPath);
        throw BackupError(
            QStringLiteral("the backup could not take the place of the log: the log is as it "
                           "was"));
    }
    m.openLog(logPath);
    m.keeper.setTrusted();
    windows.logReplaced();
}

} // namespace hm52
