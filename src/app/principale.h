#pragma once

#include "ui/Form.h"

#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace hm52 {

struct Services;
class WindowRegistry;

// The main window: the certificate picture, Exit, and the menu bar from which every other
// window opens. Closing it, Exit and the Exit entry end the program at once: its close box
// does not unload it as the other windows' do.
class principale : public QMainWindow, public WindowContract {
    Q_OBJECT
public:
    // `endProgram` ends the run (the real program leaves its event loop at once).
    principale(Services& services, WindowRegistry& registry, std::function<void()> endProgram);

    // Opens the databases; throws DbError with the engine's text when it cannot.
    void Form_Load() override;

    // Menu handlers.
    void mnInsertQSO_Click();
    void mnUtiliy_Click();
    void mnPrintAllQSOs_Click();
    void mnExit_Click();
    void mnCounter_Click();
    void mnBAR_Click();
    void mnEndorsement_Click();
    void mnUserData_Click();
    void mnFindPlaces_Click();
    void mnHelpHM52html_Click();
    void mnHelpHM52pdf_Click();
    void mnAbout_Click();
    void cmdExit_Click();
    void mnImportADIF_Click();
    void mnExportADIF_Click();
    void mnRestoreBackup_Click();
    void mnMap_Click();
    void mnRig_Click();
    void mnPreviewAllQSOs_Click();
    void mnSaveAllQSOsPdf_Click();
    void mnNeeded_Click();

    // The menu of a given name, for entries added after the standard ones.
    QMenu* menuNamed(const QString& objectName) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void End();
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption,
                      void (principale::*handler)());
    void openHelp(const QString& document);

    std::function<void()> endProgram_;
    QLabel* Picture1 = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace hm52
