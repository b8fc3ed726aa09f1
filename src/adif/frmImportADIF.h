#pragma once

#include "ui/Form.h"

#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace hm52 {

struct Services;

// Import ADIF: the options of one import of a chosen file; Import runs it.
class frmImportADIF : public FormDialog {
    Q_OBJECT
public:
    frmImportADIF(Services& services, Windows& windows);

    // The file to import, and the window the import's boxes and progress stand over.
    void setFile(const QString& path, QWidget* owner);

    void cmdImport_Click();
    void cmdCancel_Click();

private:
    QPointer<QWidget> owner_;
    QLineEdit* txtFile = nullptr;
    QCheckBox* chkAllMixed = nullptr;
    QCheckBox* chkLotw = nullptr;
    QCheckBox* chkEqsl = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;
};

// The report of the last import.
class frmImportReport : public FormDialog {
    Q_OBJECT
public:
    frmImportReport(Services& services, Windows& windows);
    void setReport(const QString& text);

    void cmdOK_Click();

private:
    QPlainTextEdit* txtReport = nullptr;
    QPushButton* cmdOK = nullptr;
};

namespace adif {

// Database, Import ADIF...: asks for the file, then shows the import's options.
void startImport(Services& s, Windows& windows, QWidget* parent);
// Database, Export ADIF...: asks where to save, writes the whole log there and says so.
void startExport(Services& s, QWidget* parent);

} // namespace adif

} // namespace hm52
