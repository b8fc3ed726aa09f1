#pragma once

#include "ui/Form.h"

#include <QString>

#include <vector>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;

namespace hm52 {

struct BrowserTerms;
class LogLinesModel;
class LogListView;

// Utility QSO: the log as fixed-width lines under a column header, restricted by one search
// (call, sub-square, or place and province) and sorted by the "Order by:" and "And:" options.
class frmUtility : public Form {
    Q_OBJECT
public:
    frmUtility(Services& services, Windows& registry);
    void Form_Load() override;

    // Rebuilds the list and lineKeys from the kept search terms and the order options.
    void showAny();

    // Entry i is the `count` of the QSO shown on list line i (first line 0). Sized to the
    // number of rows in the log plus one at every listing, so never shorter than the list.
    std::vector<qint32> lineKeys;

    // The selected line's position (first line 0), or -1 when no line is selected.
    int selectedLine() const;
    // The number of lines in the list and the text of one.
    int lineCount() const;
    QString lineText(int line) const;

    // Search buttons.
    void cmdCall_Click();
    void cmdPlace_Click();
    void cmdWWLocator_Click();
    void cmdShowAny_Click();
    // Order options.
    void optCall_Click();
    void optPlace_Click();
    void optWWLocator_Click();
    void optBand_Click();
    void optBand2_Click();
    void optMode2_Click();
    void cmdExit_Click();

    // Editing and deleting the selected QSO.
    void cmdEditQSO_Click();
    void cmdDeleteQSO_Click();
    void List_DblClick();
    void List_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mnEditQSO_Click();
    void mnDeleteQSO_Click();

private:
    BrowserTerms& terms();
    // Reads the selected line's QSO into sharedRs by its key. False when no line is selected,
    // or, after saying so and listing again, when the QSO is no longer in the log.
    bool fetchSelected();
    // The listing query for the kept terms and the options now selected.
    QString listingSql() const;
    // Enables or greys the "And:" options.
    void enableSecondKeys(bool enabled);
    void connectOption(QRadioButton* option, void (frmUtility::*handler)());

    QGroupBox* Frame3 = nullptr;
    LogListView* List = nullptr;
    LogLinesModel* lines_ = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* optCall = nullptr;
    QRadioButton* optPlace = nullptr;
    QRadioButton* optWWLocator = nullptr;
    QRadioButton* optBand = nullptr;
    QGroupBox* frame2nd = nullptr;
    QRadioButton* optBand2 = nullptr;
    QRadioButton* optMode2 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QPushButton* cmdCall = nullptr;
    QPushButton* cmdPlace = nullptr;
    QPushButton* cmdWWLocator = nullptr;
    QPushButton* cmdShowAny = nullptr;
    QPushButton* cmdDeleteQSO = nullptr;
    QPushButton* cmdEditQSO = nullptr;
    QPushButton* cmdExit = nullptr;

public:
    // The list's right-button menu, public so that its entries can be driven like a click.
    QMenu* mnPopup = nullptr;

private:
    QAction* mnEditQSO = nullptr;
    QAction* mnDeleteQSO = nullptr;
};

} // namespace hm52
