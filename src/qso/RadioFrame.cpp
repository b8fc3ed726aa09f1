#include "qso/RadioFrame.h"

#include "rules/Radio.h"
#include "ui/Form.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace hm52 {

namespace radio = rules::radio;

namespace {

const QString sat = QStringLiteral("SAT");

// An exact mode as a list entry holds it.
QStringList modeData(const QString& mode, const QString& submode) {
    return {mode, submode};
}

bool popupShown(const QComboBox* combo) {
    return combo->view() != nullptr && combo->view()->isVisible();
}

} // namespace

RadioFrame::RadioFrame(QComboBox* comboBand, QComboBox* comboMode)
    : comboBand_(comboBand), comboMode_(comboMode) {
    FrameRadio = new QGroupBox(QStringLiteral("Radio"));
    FrameRadio->setObjectName(QStringLiteral("FrameRadio"));
    auto* row = new QHBoxLayout(FrameRadio);

    comboAdifBand = new QComboBox;
    comboAdifBand->setObjectName(QStringLiteral("comboAdifBand"));
    comboAdifBand->setMinimumWidth(tw(1215));
    txtFreq = new QLineEdit;
    txtFreq->setObjectName(QStringLiteral("txtFreq"));
    txtFreq->setFixedWidth(tw(1455));
    comboAdifMode = new QComboBox;
    comboAdifMode->setObjectName(QStringLiteral("comboAdifMode"));
    comboAdifMode->setMinimumWidth(tw(1695));

    const auto labelled = [row](const char* name, const QString& text, QWidget* control) {
        auto* label = new QLabel(text);
        label->setObjectName(QLatin1String(name));
        label->setBuddy(control);
        row->addWidget(label);
        row->addWidget(control);
    };
    labelled("lblAdifBand", QStringLiteral("Band"), comboAdifBand);
    labelled("lblFreq", QStringLiteral("Frequency (MHz)"), txtFreq);
    labelled("lblAdifMode", QStringLiteral("Mode"), comboAdifMode);
    row->addStretch();

    lblRig = new QLabel;
    lblRig->setObjectName(QStringLiteral("lblRig"));

    fillBands();
    fillModes();
    connect(comboBand_, &QComboBox::currentIndexChanged, this, [this] { comboBand_Change(); });
    connect(comboMode_, &QComboBox::currentIndexChanged, this, [this] { comboMode_Change(); });
    connect(comboAdifBand, &QComboBox::currentIndexChanged, this,
            [this] { comboAdifBand_Change(); });
    connect(txtFreq, &QLineEdit::textChanged, this, [this] { txtFreq_Change(); });
}

// ---------------------------------------------------------------------------------------
// The lists

void RadioFrame::fillBands() {
    const QString kept = comboAdifBand->currentText();
    const QSignalBlocker blocker(comboAdifBand);
    comboAdifBand->clear();
    comboAdifBand->addItem(QString());
    comboAdifBand->addItems(radio::bandsOf(comboBand_->currentText()));
    comboAdifBand->setCurrentIndex(std::max(0, comboAdifBand->findText(kept)));
}

void RadioFrame::fillModes() {
    const QVariant kept = comboAdifMode->currentData();
    const QString keptText = comboAdifMode->currentText();
    const QString category = comboMode_->currentText();
    const QSignalBlocker blocker(comboAdifMode);
    comboAdifMode->clear();
    comboAdifMode->addItem(QString());
    for (const radio::Mode& m : radio::modesOf(category)) {
        comboAdifMode->addItem(m.shown(), modeData(m.mode, m.submode));
    }
    const QStringList pair = kept.toStringList();
    int at = comboAdifMode->findData(kept);
    if (at < 0 && pair.size() == 2 && radio::modeFits(category, {pair[0], pair[1]})) {
        // A mode of the log that the list does not offer (an imported one) stays while it fits.
        comboAdifMode->addItem(keptText, kept);
        at = comboAdifMode->count() - 1;
    }
    comboAdifMode->setCurrentIndex(std::max(0, at));
}

void RadioFrame::selectBand(const QString& band) {
    const QSignalBlocker blocker(comboAdifBand);
    comboAdifBand->setCurrentIndex(std::max(0, comboAdifBand->findText(band)));
}

void RadioFrame::selectMode(const QString& mode, const QString& submode) {
    const QSignalBlocker blocker(comboAdifMode);
    const QStringList data = modeData(mode, submode);
    int at = comboAdifMode->findData(data);
    if (at < 0 && !mode.isEmpty() && radio::modeFits(comboMode_->currentText(), {mode, submode})) {
        comboAdifMode->addItem(radio::Mode{mode, submode}.shown(), data);
        at = comboAdifMode->count() - 1;
    }
    comboAdifMode->setCurrentIndex(std::max(0, at));
}

void RadioFrame::selectCategory(QComboBox* combo, const QString& category) {
    const int at = combo->findText(category);
    if (at >= 0 && at != combo->currentIndex()) {
        // Its change runs as any other (the exact lists follow it), but the frequency that
        // chose it stays.
        const QScopedValueRollback following(following_, true);
        combo->setCurrentIndex(at);
    }
}

// ---------------------------------------------------------------------------------------
// Changes from outside

QString RadioFrame::frequencyBand() const {
    double mhz = 0;
    return radio::readFrequency(txtFreq->text(), &mhz) ? radio::bandOfFrequency(mhz) : QString();
}

void RadioFrame::dropContradictingFrequency() {
    const QString band = frequencyBand();
    if (!band.isEmpty() && band != comboAdifBand->currentText()) {
        const QSignalBlocker blocker(txtFreq);
        txtFreq->clear();
    }
}

void RadioFrame::comboBand_Change() {
    fillBands();
    if (!following_) {
        dropContradictingFrequency();
    }
}

void RadioFrame::comboMode_Change() {
    fillModes();
}

void RadioFrame::comboAdifBand_Change() {
    dropContradictingFrequency();
}

void RadioFrame::txtFreq_Change() {
    const QString band = frequencyBand();
    if (band.isEmpty()) {
        return; // not (yet) a frequency of a band: Submit tells
    }
    if (comboBand_->currentText() != sat) {
        const QString category = radio::categoryOfBand(band);
        if (!category.isEmpty()) {
            selectCategory(comboBand_, category);
        }
    }
    selectBand(band);
}

// ---------------------------------------------------------------------------------------
// The form's use of the frame

void RadioFrame::reset() {
    {
        const QSignalBlocker blocker(txtFreq);
        txtFreq->clear();
    }
    selectBand({});
    selectMode({}, {});
    rigHz_ = 0;
    rigMode_.clear();
}

radiotable::Values RadioFrame::values() const {
    radiotable::Values v;
    v.band = comboAdifBand->currentText();
    double mhz = 0;
    if (radio::readFrequency(txtFreq->text(), &mhz)) {
        v.freq = mhz;
    }
    const QStringList pair = comboAdifMode->currentData().toStringList();
    if (pair.size() == 2) {
        v.mode = pair[0];
        v.submode = pair[1];
    }
    return v;
}

void RadioFrame::show(const radiotable::Values& values) {
    {
        const QSignalBlocker blocker(txtFreq);
        txtFreq->setText(values.freq > 0 ? radio::frequencyText(values.freq) : QString());
    }
    const QString band = radio::bandName(values.band.toStdString());
    selectBand(band.isEmpty() ? values.band : band);
    selectMode(values.mode, values.submode);
}

QString RadioFrame::fault() const {
    if (txtFreq->text().trimmed().isEmpty()) {
        return {};
    }
    double mhz = 0;
    if (!radio::readFrequency(txtFreq->text(), &mhz)) {
        return QStringLiteral("frequency field must be a number of MHz, such as 144.300");
    }
    const QString band = radio::bandOfFrequency(mhz);
    if (band.isEmpty()) {
        return QStringLiteral("frequency field is in no amateur band");
    }
    if (band != comboAdifBand->currentText()) {
        return QStringLiteral("frequency field is in the %1 band, not one of the %2 bands")
            .arg(band, comboBand_->currentText());
    }
    return {};
}

// ---------------------------------------------------------------------------------------
// The rig

void RadioFrame::followRig(qint64 hz, const QString& rigMode) {
    if (hz > 0 && hz != rigHz_) {
        rigHz_ = hz;
        if (!txtFreq->hasFocus() && !popupShown(comboBand_) && !popupShown(comboAdifBand)) {
            // As if typed: the exact band and the category follow.
            txtFreq->setText(radio::frequencyText(static_cast<double>(hz) / 1e6));
        }
    }
    const QString mode = rigMode.trimmed().toUpper();
    if (!mode.isEmpty() && mode != rigMode_) {
        rigMode_ = mode;
        const radio::RigMode reading = radio::fromRig(mode);
        if (!reading.category.isEmpty() && !popupShown(comboMode_) && !popupShown(comboAdifMode)) {
            selectCategory(comboMode_, reading.category);
            if (!reading.exact.isEmpty()) {
                selectMode(reading.exact.mode, reading.exact.submode);
            }
        }
    }
}

void RadioFrame::setRigState(const QString& text) {
    lblRig->setText(text);
}

} // namespace hm52
