#pragma once

#include "rig/RigSettings.h"
#include "ui/Form.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace hm52 {

// Rig: chooses the station's rig in Hamlib's list of models (searchable), its port (a serial
// device or the host:port of a rigctld) and serial speed; Connect saves them and starts
// reading the rig, Disconnect stops; the state line follows the rig.
class frmRig : public Form {
    Q_OBJECT
public:
    frmRig(Services& services, Windows& registry);
    void Form_Load() override;

    void txtRigSearch_Change();
    void cmdConnect_Click();
    void cmdDisconnect_Click();
    void cmdExit_Click();

private:
    void fillModels();
    void selectModel(int number);
    // The chosen model's number, or 0.
    int chosenModel() const;
    void refuse(const QString& text, QWidget* focus);

    QLineEdit* txtRigSearch = nullptr;
    QTreeWidget* lstRigModels = nullptr;
    QLineEdit* txtRigPort = nullptr;
    QComboBox* comboRigSpeed = nullptr;
    QPushButton* cmdConnect = nullptr;
    QPushButton* cmdDisconnect = nullptr;
    QLabel* lblRigState = nullptr;
    QPushButton* cmdExit = nullptr;
    // The model to select once Hamlib's list is there.
    int pendingModel_ = 0;
};

} // namespace hm52
