#pragma once

#include "storage/RadioTable.h"

#include <QObject>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace hm52 {

// The Radio frame of the QSO form: the QSO's exact band, frequency and mode beside the award's
// categories, and the line that tells how the rig stands.
//
// The categories (the form's band and mode lists) stay the operator's choice; the exact values
// never contradict them. The exact lists hold an empty entry, then what fits the selected
// category; choosing a category that excludes the exact band or mode empties it. A frequency
// that lies in a band selects that band, and its category unless the category is SAT (a
// satellite QSO stays one whatever its frequency). Choosing a category or an exact band that
// the frequency does not lie in empties the frequency, which implies its band.
class RadioFrame : public QObject {
    Q_OBJECT
public:
    // Builds the controls; `comboBand` and `comboMode` are the form's category lists.
    RadioFrame(QComboBox* comboBand, QComboBox* comboMode);

    QGroupBox* FrameRadio = nullptr;
    QComboBox* comboAdifBand = nullptr; // drop-down, no typing
    QLineEdit* txtFreq = nullptr;       // MHz, optional
    QComboBox* comboAdifMode = nullptr; // drop-down, no typing
    QLabel* lblRig = nullptr;           // the rig's state, under the frame

    // Every exact value empty, and no rig reading seen yet.
    void reset();
    // The values the form hands to the log.
    radiotable::Values values() const;
    // Shows a QSO's values as the log holds them (a value that fits no list shows empty).
    void show(const radiotable::Values& values);
    // What Submit says of the frequency, after the form's own checks; empty when all is well.
    QString fault() const;

    // A rig reading: the frequency in Hz (0: unknown) and the rig's mode as Hamlib names it
    // (empty: unknown). Only what changed since the last reading is applied, so a choice the
    // operator made since wins until the rig changes again; a box the operator is in is left
    // alone. Nothing moves the focus, the caret or a selection.
    void followRig(qint64 hz, const QString& rigMode);
    void setRigState(const QString& text);

private:
    // Changes from outside the frame: the operator, or a window filling the form.
    void comboBand_Change();
    void comboMode_Change();
    void comboAdifBand_Change();
    void txtFreq_Change();

    // The exact lists of the selected categories; a value that still fits stays selected.
    void fillBands();
    void fillModes();
    void selectBand(const QString& band);
    void selectMode(const QString& mode, const QString& submode);
    void selectCategory(QComboBox* combo, const QString& category);
    // Empties a frequency that lies in a band other than the exact band.
    void dropContradictingFrequency();
    // The band of the frequency typed, empty when it is none or lies in none.
    QString frequencyBand() const;

    QComboBox* comboBand_;
    QComboBox* comboMode_;
    bool following_ = false; // a category is being set from a frequency or a rig
    qint64 rigHz_ = 0;
    QString rigMode_;
};

} // namespace hm52
