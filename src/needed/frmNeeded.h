#pragma once

#include "ui/Form.h"
#include "ui/PrintJob.h"

#include <QModelIndex>

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QTableView;

namespace hm52 {

class NeededFilter;
class NeededModel;
class PrinterOps;

// Needed Sub-squares: the 576 sub-squares of the award square for one mode and band (or any
// band), each with its state, the QSOs behind it, its places and provinces; narrowed to one
// state and one province, sorted by any column, printed and exported as CSV. It follows
// every change of the log through the refresh chain.
class frmNeeded : public Form {
    Q_OBJECT
public:
    frmNeeded(Services& services, Windows& registry);
    ~frmNeeded() override;
    void Form_Load() override;

    // Reads the log again for the chosen mode and band; a hidden window reads it when it is
    // next shown (or printed, exported).
    void refresh();
    // Shows a sub-square (its index) of a mode and band selected in the list, as the map asks
    // when one of its sub-squares is clicked; a narrowing that hides it is lifted.
    void showSquare(const QString& mode, const QString& band, int square);
    // The sub-square selected in the list, -1 when none.
    int selectedSquare() const;

    // The printed job: a title, the counts and what the next request needs, the narrowing,
    // then the list as it is shown. Does not end the job.
    void printList(PrinterOps& printer);
    // Draws the printed pages on a device (the preview's, or the printer its Print chose).
    // The list as it is narrowed, printed or previewed: the same pages either way.
    void printOn(Output output);
    // The list as it is shown, as a CSV file's bytes.
    QByteArray csv();

    void comboMode_Click();
    void comboBand_Click();
    void comboState_Click();
    void comboProv_Click();
    void lstNeeded_DblClick(const QModelIndex& index);
    void cmdPrint_Click();
    void cmdPreview_Click();
    void cmdExportCSV_Click();
    void cmdExit_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void readGazetteer();
    void load();
    void loadIfStale();
    void narrow();
    // "Listed: 12 of 576 sub-squares (worked, all provinces)".
    QString listedText() const;
    void showListed();

    NeededModel* model_ = nullptr;
    NeededFilter* filter_ = nullptr;
    bool stale_ = true;

    QComboBox* comboMode = nullptr;
    QComboBox* comboBand = nullptr;
    QComboBox* comboState = nullptr;
    QComboBox* comboProv = nullptr;
    QTableView* lstNeeded = nullptr;
    QLabel* lblCounts = nullptr;
    QLabel* lblListed = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdExportCSV = nullptr;
    QPushButton* cmdExit = nullptr;
};

} // namespace hm52
