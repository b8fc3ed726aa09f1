#include "app/principale.h"

#include "app/frmRestoreBackup.h"

#include "adif/frmImportADIF.h"
#include "app/WindowRegistry.h"
#include "award/LogPrintout.h"
#include "storage/QuoteSql.h"
#include "ui/Artwork.h"
#include "ui/Form.h"
#include "ui/OpenDocument.h"
#include "ui/Services.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

namespace hm52 {

principale::principale(Services& services, WindowRegistry& reg, std::function<void()> endProgram)
    : WindowContract(*this, services, reg), endProgram_(std::move(endProgram)) {
    setObjectName(QStringLiteral("principale"));
    setWindowTitle(QStringLiteral("HM52 v1.0 ita"));
    reg.setMainWindow(this);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(tw(7440), tw(4680));
    setCentralWidget(client);

    Picture1 = placeTw<QLabel>(client, QStringLiteral("Picture1"), 653, 240, 6135, 3615);
    // The certificate keeps its proportions: scaled down to the box's height, centred.
    Picture1->setPixmap(artwork::certificate().scaled(Picture1->size(), Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation));
    Picture1->setAlignment(Qt::AlignCenter);

    cmdExit = placeTw<QPushButton>(client, QStringLiteral("cmdExit"), 4920, 4080, 1935, 495);
    cmdExit->setText(QStringLiteral("Exit"));
    on(cmdExit, &QPushButton::clicked, &principale::cmdExit_Click);

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu* database = bar->addMenu(QStringLiteral("Database"));
    database->setObjectName(QStringLiteral("mnDatabase"));
    addEntry(database, "mnInsertQSO", QStringLiteral("&Insert QSO"),
             &principale::mnInsertQSO_Click);
    addEntry(database, "mnUtiliy", QStringLiteral("&Utility QSO"), &principale::mnUtiliy_Click);
    addEntry(database, "mnPrintAllQSOs", QStringLiteral("&Print all QSOs"),
             &principale::mnPrintAllQSOs_Click);
    database->addSeparator()->setObjectName(QStringLiteral("mnLine2"));
    addEntry(database, "mnExit", QStringLiteral("&Exit"), &principale::mnExit_Click);
    database->addSeparator()->setObjectName(QStringLiteral("mnLineADIF"));
    // Entries of our own, after the standard ones, with access keys none of theirs uses.
    addEntry(database, "mnImportADIF", QStringLiteral("I&mport ADIF..."),
             &principale::mnImportADIF_Click);
    addEntry(database, "mnExportADIF", QStringLiteral("E&xport ADIF..."),
             &principale::mnExportADIF_Click);
    addEntry(database, "mnRestoreBackup", QStringLiteral("&Restore Backup..."),
             &principale::mnRestoreBackup_Click);
    // Beside "Print all QSOs": its pages in a preview or in a PDF file.
    database->addSeparator()->setObjectName(QStringLiteral("mnLinePrint"));
    addEntry(database, "mnPreviewAllQSOs", QStringLiteral("Pre&view all QSOs..."),
             &principale::mnPreviewAllQSOs_Click);
    addEntry(database, "mnSaveAllQSOsPdf", QStringLiteral("Save all QSOs as P&DF..."),
             &principale::mnSaveAllQSOsPdf_Click);

    QMenu* award = bar->addMenu(QStringLiteral("Award"));
    award->setObjectName(QStringLiteral("mnAward"));
    addEntry(award, "mnCounter", QStringLiteral("&Counter"), &principale::mnCounter_Click);
    addEntry(award, "mnBAR", QStringLiteral("&Base Award Request"), &principale::mnBAR_Click);
    addEntry(award, "mnEndorsement", QStringLiteral("&Endorsement"),
             &principale::mnEndorsement_Click);
    addEntry(award, "mnMap", QStringLiteral("Sub-square Map"), &principale::mnMap_Click);
    addEntry(award, "mnNeeded", QStringLiteral("&Needed Sub-squares..."),
             &principale::mnNeeded_Click);

    QMenu* utility = bar->addMenu(QStringLiteral("Utility"));
    utility->setObjectName(QStringLiteral("mnUtility"));
    addEntry(utility, "mnUserData", QStringLiteral("&User Data"), &principale::mnUserData_Click);
    addEntry(utility, "mnFindPlaces", QStringLiteral("&Find on Places Database"),
             &principale::mnFindPlaces_Click);
    addEntry(utility, "mnRig", QStringLiteral("&Rig..."), &principale::mnRig_Click);

    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnHelp"));
    QAction* helpPage = addEntry(help, "mnHelpHM52html", QStringLiteral("&Help on HM52"),
                                 &principale::mnHelpHM52html_Click);
    helpPage->setShortcut(QKeySequence(Qt::Key_F1));
    helpPage->setShortcutContext(Qt::WindowShortcut);
    addEntry(help, "mnHelpHM52pdf", QStringLiteral("&Rules on HM52 "),
             &principale::mnHelpHM52pdf_Click);
    help->addSeparator()->setObjectName(QStringLiteral("mnLine"));
    addEntry(help, "mnAbout", QStringLiteral("&About HM52"), &principale::mnAbout_Click);

    setFixedSize(sizeHint());
}

QAction* principale::addEntry(QMenu* menu, const char* name, const QString& caption,
                              void (principale::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    // A menu entry may load a window that reads the log: an engine error shows its text.
    on(action, &QAction::triggered, handler);
    return action;
}

QMenu* principale::menuNamed(const QString& objectName) const {
    return menuBar()->findChild<QMenu*>(objectName);
}

void principale::Form_Load() {
    s.m.OpenDatabases(s.programFolder, s.dataDir());
}

void principale::End() {
    if (endProgram_) {
        endProgram_();
    }
}

void principale::closeEvent(QCloseEvent* event) {
    event->accept();
    End();
}

void principale::cmdExit_Click() {
    End();
}
void principale::mnExit_Click() {
    End();
}

void principale::mnInsertQSO_Click() {
    registry.show(Window::InsertQSO);
}

void principale::mnUtiliy_Click() {
    registry.showAny();
    registry.show(Window::Utility);
}

void principale::mnPrintAllQSOs_Click() {
    printAllQSOs(s, this);
}
void principale::mnPreviewAllQSOs_Click() {
    printAllQSOs(s, this, Output::Preview);
}
void principale::mnSaveAllQSOsPdf_Click() {
    printAllQSOs(s, this, Output::Pdf);
}

void principale::mnCounter_Click() {
    registry.show(Window::Award);
}
void principale::mnBAR_Click() {
    registry.show(Window::BAR);
}
void principale::mnEndorsement_Click() {
    registry.show(Window::AE);
}
void principale::mnUserData_Click() {
    registry.show(Window::UserData);
}
void principale::mnFindPlaces_Click() {
    registry.show(Window::FindPlaces);
}
void principale::mnAbout_Click() {
    registry.show(Window::About);
}
void principale::mnImportADIF_Click() {
    adif::startImport(s, registry, this);
}
void principale::mnExportADIF_Click() {
    adif::startExport(s, this);
}
void principale::mnRestoreBackup_Click() {
    if (auto* shown = qobject_cast<frmRestoreBackup*>(registry.loaded(Window::RestoreBackup))) {
        shown->listBackups(); // the folder may have changed since it was last shown
    }
    registry.show(Window::RestoreBackup);
}
void principale::mnMap_Click() {
    registry.show(Window::Map);
}
void principale::mnRig_Click() {
    registry.show(Window::Rig);
}
void principale::mnNeeded_Click() {
    registry.show(Window::Needed);
}

void principale::openHelp(const QString& document) {
    openDocument(s, this, joinPath(s.dataDir(), QStringLiteral("Help/") + document));
}

void principale::mnHelpHM52html_Click() {
    openHelp(QStringLiteral("index.htm"));
}
void principale::mnHelpHM52pdf_Click() {
    openHelp(QStringLiteral("Hm52_reg_ita.pdf"));
}

} // namespace hm52
