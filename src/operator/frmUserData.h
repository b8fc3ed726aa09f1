#pragma once

#include "ui/Form.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace hm52 {

// User Data: the operator's own record, the single row of `userData`. The left half takes a
// complete record and submits it; the right half shows what is stored now. The inputs are
// never filled from the stored record.
class frmUserData : public Form {
    Q_OBJECT
public:
    frmUserData(Services& services, Windows& registry);
    // Selects "OM" and shows the stored record.
    void Form_Load() override;

    // Shows the stored record in the value labels, or blanks when there is none.
    void ShowUserData();

    // Checks the inputs and, when they pass, writes them as the record: the first one is
    // added, later ones overwrite it. The display is read again either way.
    void cmdSubmit_Click();
    // Resets the selector to "OM" and empties the inputs; the display is left as it is.
    void cmdClear_Click();
    // Exit: hides the window, which keeps its inputs.
    void Command1_Click();

private:
    void submit();
    // Every input holds upper case; the caret stays where it was.
    void upperCase(QLineEdit* box);

    QGroupBox* Frame1 = nullptr;
    QComboBox* Combo = nullptr;
    QLineEdit* txtCall = nullptr;
    QLineEdit* txtfName = nullptr;
    QLineEdit* txtsName = nullptr;
    QLineEdit* txtAddress = nullptr;
    QLineEdit* txtZipCode = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtProv = nullptr;
    QLineEdit* txtCountry = nullptr;
    QLineEdit* txtWWLocator = nullptr;
    QLineEdit* txtEmail = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdSubmit = nullptr;

    QGroupBox* Frame6 = nullptr;
    QLabel* lblOM = nullptr;
    QLabel* lblCall = nullptr;
    QLabel* lblfName = nullptr;
    QLabel* lblsName = nullptr;
    QLabel* lblAddress = nullptr;
    QLabel* lblZipCode = nullptr;
    QLabel* lblCity = nullptr;
    QLabel* lblProv = nullptr;
    QLabel* lblCountry = nullptr;
    QLabel* lblWWLocator = nullptr;
    QLabel* lblemail = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace hm52
