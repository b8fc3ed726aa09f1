#pragma once

#include "ui/Form.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace hm52 {

class Recordset;

// Find on Places Database: the gazetteer's places of one sub-square, or the sub-squares and
// provinces of a place by its exact name.
class frmFindPlaces : public Form {
    Q_OBJECT
public:
    frmFindPlaces(Services& services, Windows& registry);
    void Form_Load() override;

    void cmdSearch_Click();
    void cmdSearch2_Click();
    void txtWWLocator_Change();
    void txtWWLocator_Click();
    void cmdClear_Click();
    void Command2_Click();

    // One result line: sub-square, place and province in columns of 6, 30 and 3 characters
    // joined by " | ". A value longer than its column is cut to it.
    static QString line(const QString& WWLocator, const QString& place, const QString& prov);

protected:
    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Appends the lines of a "select * from places ..." cursor's rows.
    void listRows(Recordset& rs);
    void emptyAll();

    QGroupBox* Frame1 = nullptr;
    QListWidget* List = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtWWLocator = nullptr;
    QPushButton* cmdSearch = nullptr;
    QGroupBox* Frame3 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtPlace = nullptr;
    QPushButton* cmdSearch2 = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* Command2 = nullptr;
};

} // namespace hm52
