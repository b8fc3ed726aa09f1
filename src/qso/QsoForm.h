#pragma once

#include "storage/RadioTable.h"
#include "ui/Form.h"

#include <QLineEdit>
#include <QSet>

#include <array>
#include <optional>

class QComboBox;

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;

namespace hm52 {

class RadioFrame;
class Recordset;

// A text box that reports a click (mouse button released over it) after it has placed its
// caret, so that the click handler may select the whole text.
class QsoTextBox : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The QSO form that the insert and the edit window share: its controls in tab order, each in
// a frame with its caption, and the input assistance while the operator types (upper case,
// moving on when a field is full, cutting over-long input, the place list of the sub-square
// and the province of the place). Every change handler runs on any change of its box, typed
// or set from code, so a window that fills the form by setting texts gets the same
// assistance as typing.
class QsoForm : public Form {
    Q_OBJECT
public:
    // Controls, in tab order.
    QLabel* Label3 = nullptr; // "HM52" before the sub-square box
    QsoTextBox* txtWWLocator = nullptr;
    QsoTextBox* txtCall = nullptr;
    std::array<QsoTextBox*, 3> txtDate{}; // day, month, two-digit year
    QLabel* Label1 = nullptr;             // "/" between day and month
    QLabel* Label2 = nullptr;             // "/" between month and year
    QsoTextBox* txtTime = nullptr;
    QComboBox* comboPlace = nullptr; // list plus free text
    QComboBox* comboProv = nullptr;  // drop-down lists, no typing
    QComboBox* comboMode = nullptr;
    QComboBox* comboBand = nullptr;
    QRadioButton* optQSLConf = nullptr;
    QRadioButton* optQSLworked = nullptr;
    QPushButton* cmdSubmit = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdExit = nullptr;
    // Under the form, outside its frames and the tab order: what a QSO of the typed
    // sub-square would bring on the chosen band and mode.
    QLabel* lblBrings = nullptr;
    // The Radio frame (after the buttons in the tab order): the QSO's exact band, frequency
    // and mode, and the rig's state below it (see RadioFrame).
    QComboBox* comboAdifBand = nullptr;
    QLineEdit* txtFreq = nullptr;
    QComboBox* comboAdifMode = nullptr;
    QLabel* lblRig = nullptr;

    // "confirmed" on, no place text, the first band, mode and province selected, the focus in
    // the sub-square box; the exact values empty.
    void Form_Load() override;

    // Empties the typed fields, switches "confirmed" on and puts the focus in the sub-square
    // box; province, mode and band keep their selections, and so do the exact values.
    void cancella();

    // Shows the exact values of a QSO of the log in the Radio frame.
    void showRadio(const radiotable::Values& values);

    // A rig reading: the frequency in Hz (0 = unknown) and the rig's mode as Hamlib names it
    // ("USB", "CWR", "PKTUSB"...; empty = unknown). The frequency goes into txtFreq (and so
    // the exact band and the band category), the mode into the mode category and the exact
    // mode. Only what changed since the last reading is applied: the operator's own choice
    // wins until the rig changes again. Never moves the focus, a caret or a selection.
    void followRig(qint64 hz, const QString& rigMode);
    // The rig's state, shown under the Radio frame.
    void setRigState(const QString& text);

    // Sets a text box to a value read from the log. Its change handler runs as for typed
    // text (upper case, moving on), except that the value is never cut: the log may hold a
    // call sign longer than the form lets one type (up to 15 characters), and cutting it
    // would shorten that QSO's call on its next Submit.
    void setStored(QLineEdit* box, const QString& text);

    // Says anew what the typed sub-square brings (after a change of the log).
    void showBrings();

    virtual void cmdSubmit_Click() = 0;
    void cmdClear_Click();
    void cmdExit_Click();

    // Input assistance.
    void txtWWLocator_Change();
    void txtWWLocator_Click();
    void txtCall_Change();
    void txtCall_Click();
    void txtDate_Change(int Index);
    void txtDate_Click(int Index);
    void txtTime_Change();
    void txtTime_Click();
    void comboPlace_Change();
    void comboPlace_Click();
    void comboPlace_LostFocus();

protected:
    // How the two windows differ while typing and validating.
    struct Traits {
        bool caretAtEnd;        // after upper-casing: at the end (edit) or where it was
        bool callLostFocus;     // leaving the call box upper-cases it once more (insert)
        bool limitsAfterQuotes; // call and place limits counted after quotes are doubled
    };

    QsoForm(Services& services, Windows& registry, const Traits& traits);
    ~QsoForm() override;

    void Form_Unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The values of one QSO as the form hands them to the log.
    struct Values {
        QString WWLocator;
        QString place;
        QString prov;
        QString mode;
        QString band;
        QString call;
        QString date; // d/m/yy as typed
        QString time; // hh:mm
        QString qsl;  // "c" or "w"
    };

    // The checks of a Submit, in order, each failure with its message. True when all pass.
    bool validate();
    // False, after its message, when the sub-square is accredited on this band and mode.
    bool accreditedRuleAllows();
    Values values() const;
    // The exact values of the Radio frame, as Submit stores them beside the QSO.
    radiotable::Values radioValues() const;

    // The confirmed rule's answer: store nothing, or store after deleting `replaced` (when
    // there is one) in the same transaction.
    struct Replace {
        bool refused = false;
        std::optional<qint64> replaced = std::nullopt;
    };
    // The confirmed rule: when another confirmed QSO of the same sub-square, band and mode
    // (beyond `except`, a condition that ends the queries) is in the log, asks whether to
    // replace it.
    Replace confirmedRule(const Values& v, const QString& except);

    // Writes the fields of a QSO (all but `count`) into the current new or changed row.
    static void writeFields(Recordset& rs, const Values& v);

    void error(const QString& text);

    // The QSO that lblBrings leaves out of the log: the one being edited.
    virtual std::optional<qint64> editedQso() const { return std::nullopt; }

private:
    void buildControls();
    // lblBrings under the form, said anew (once the handlers of a change have run) when the
    // sub-square, band or mode change.
    void buildBrings();
    // The common pattern of a text box: upper-case it (when asked), move on when full, cut
    // it when it has grown past its threshold.
    void assist(QLineEdit* box, bool upperCase, int full, QWidget* next, int cutAt, int cutTo);
    void upperCase(QLineEdit* box);
    void selectWhenFull(QLineEdit* box, int full);
    void fillPlaceList();
    void provinceFromPlace();

    RadioFrame* radio_ = nullptr;
    Traits traits_;
    // Boxes whose text a handler is setting: their change is part of that handler's run.
    QSet<const QObject*> busy_;
    // A stored value is being set: no over-long cut.
    bool settingStored_ = false;
    QTimer* bringsLater_ = nullptr;
};

} // namespace hm52
