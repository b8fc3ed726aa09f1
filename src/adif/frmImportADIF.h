#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace hm52 {

struct Services;
class WindowRegistry;

// Import ADIF: the options of one import of a chosen file; Import runs it.
class frmImportADIF : public QDialog {
    Q_OBJECT
public:
    frmImportADIF(Services& services, WindowRegistry& registry, QWidget* parent);

    // The file to import.
    void setFile(const QString& path);

    void cmdImport_Click();
    void cmdCancel_Click();

private:
    Services& s;
    WindowRegistry& registry;
    QLineEdit* txtFile = nullptr;
    QCheckBox* chkAllMixed = nullptr;
    QCheckBox* chkLotw = nullptr;
    QCheckBox* chkEqsl = nullptr;
    QPushButton* cmdImport = nullptr;
    QPushButton* cmdCancel = nullptr;
};

// The report of the last import.
class frmImportReport : public QDialog {
    Q_OBJECT
public:
    explicit frmImportReport(QWidget* parent);
    void setReport(const QString& text);

private:
    QPlainTextEdit* txtReport = nullptr;
    QPushButton* cmdOK = nullptr;
};

namespace adif {

// Database, Import ADIF...: asks for the file, then shows the import's options.
void startImport(Services& s, WindowRegistry& registry, QWidget* parent);
// Database, Export ADIF...: asks where to save, writes the whole log there and says so.
void startExport(Services& s, QWidget* parent);

} // namespace adif

} // namespace hm52
