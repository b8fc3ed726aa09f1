#pragma once

#include "map/SubSquareGrid.h"
#include "ui/Form.h"

#include <QStringList>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace hm52 {

// Sub-square Map: the award square for one mode and band, each sub-square coloured by its
// best QSL state, with the counts and the progress toward the next award.
class frmMap : public Form {
    Q_OBJECT
public:
    frmMap(Services& services, Windows& registry);
    void Form_Load() override;

    // Reads the log again for the chosen mode and band.
    void refresh();
    // Writes the map with its legend, counts and progress as a PNG file; false when it
    // cannot be written.
    bool savePng(const QString& path);

    void comboMode_Click();
    void comboBand_Click();
    void cmdSavePNG_Click();
    void cmdExit_Click();
    void picMap_MouseMove(int index);
    void picMap_DblClick(int index);
    // Selects the sub-square in the Needed list, opening it when needed (a click that is not
    // the start of a double-click).
    void picMap_Click(int index);

private:
    // A cell's name and places, as hovering shows them.
    QString cellText(int index) const;

    QComboBox* comboMode = nullptr;
    QComboBox* comboBand = nullptr;
    QWidget* sheet = nullptr; // what the PNG shows
    QLabel* lblTitle = nullptr;
    SubSquareGrid* picMap = nullptr;
    QLabel* lblCounts = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* lblCell = nullptr;
    QPushButton* cmdSavePNG = nullptr;
    QPushButton* cmdExit = nullptr;
    std::array<QStringList, SubSquareGrid::cells> places_;
    // A click waits for the double-click interval: a double-click is not also a click.
    QTimer* clickLater_ = nullptr;
    int clicked_ = -1;
};

} // namespace hm52
