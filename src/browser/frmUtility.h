#pragma once

#include "ui/Form.h"

#include <QString>

#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;
class QRadioButton;

namespace hm52 {

struct BrowserTerms;
class ListOrder;
class LogLinesModel;
class LogListView;
class Recordset;
namespace logline {
class Formatter;
}

// Utility QSO: the log as fixed-width lines under a column header, restricted by one search
// (call, sub-square, or place and province) and sorted by the "Order by:" and "And:" options.
class frmUtility : public Form {
    Q_OBJECT
public:
    frmUtility(Services& services, Windows& registry);
    ~frmUtility() override;
    void Form_Load() override;

    // Rebuilds the list and lineKeys from the kept search terms and the order options. A
    // hidden browser lists when it is next shown (or read): the list is the same then.
    void showAny();

    // Entry i is the `count` of the QSO shown on list line i (first line 0). Sized to the
    // number of rows in the log plus one at every listing, so never shorter than the list.
    const std::vector<qint32>& lineKeys();

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    BrowserTerms& terms();
    // Lists now what showAny() asked for while the browser was hidden.
    void listIfAsked();
    void list(const QString& sql);
    // After a few changes of the log made here, moves just their lines; false when the
    // whole log must be listed again.
    bool followChanges(const QString& sql, qint64 rowsInLog);
    // A line of the list, made from the log.
    QString lineOf(qint32 key);
    // Reads the selected line's QSO into sharedRs by its key. False when no line is selected,
    // or, after saying so and listing again, when the QSO is no longer in the log.
    bool fetchSelected();
    // The listing query for the kept terms and the options now selected.
    QString listingSql() const;
    // Enables or greys the "And:" options.
    void enableSecondKeys(bool enabled);
    void connectOption(QRadioButton* option, void (frmUtility::*handler)());

    std::vector<qint32> lineKeys_;
    int listed_ = 0;     // lines in the list
    bool asked_ = false; // showAny() was called while hidden
    QString listedSql_;  // the listing the lines come from
    qint64 listedSerial_ = 0;
    qint64 listedVersion_ = 0;
    int listedGeneration_ = -1;
    std::unique_ptr<ListOrder> order_;
    std::unique_ptr<Recordset> lineRow_; // a QSO by its number, for its line
    std::unique_ptr<logline::Formatter> formatter_;
    int lineGeneration_ = -1;

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
