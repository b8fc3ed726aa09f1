#pragma once

#include "ui/Form.h"

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace hm52 {

// Award Italian Rules: worked, confirmed and accredited QSOs per band for one mode, beside
// the award's base and endorsement figures.
class frmAward : public Form {
    Q_OBJECT
public:
    frmAward(Services& services, Windows& registry);
    void Form_Load() override;

    // Recounts the eighteen cells for the mode chosen in Combo1.
    void conta();

    void Combo1_Click();
    void Combo1_Scroll();
    void cmdExit_Click();

private:
    QGroupBox* Frame7 = nullptr;
    QComboBox* Combo1 = nullptr;
    QGroupBox* Frame8 = nullptr;
    QPushButton* cmdExit = nullptr;
    // The count cells, band by band (HF, 50 MHz, VHF, UHF, SHF, SAT), each with its worked,
    // confirmed and accredited label.
    std::array<std::array<QLabel*, 3>, 6> cells_{};
    int countedIndex_ = -1; // the mode entry the cells were last counted for
};

} // namespace hm52
