#include "qso/QsoForm.h"

#include "qso/RadioFrame.h"
#include "rules/Rules.h"
#include "rules/SubSquares.h"
#include "storage/Codes.h"
#include "storage/QuoteSql.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace hm52 {

namespace {

const QString errorTitle = QStringLiteral("error");

// Marks a box whose text a handler is setting, for the handler's own run.
class Busy {
public:
    Busy(QSet<const QObject*>& set, const QObject* box) : set_(set), box_(box) {
        set_.insert(box_);
    }
    ~Busy() { set_.remove(box_); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    QSet<const QObject*>& set_;
    const QObject* box_;
};

QsoTextBox* textBox(const QString& name, int width) {
    auto* box = new QsoTextBox;
    box->setObjectName(name);
    box->setFixedWidth(width);
    return box;
}

QComboBox* listBox(const QString& name, const QStringList& items) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->addItems(items);
    combo->setMinimumWidth(tw(1455));
    return combo;
}

// A frame with its caption, holding its controls in a row.
QHBoxLayout* framed(QVBoxLayout* column, const QString& name, const QString& caption) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(name);
    column->addWidget(frame);
    auto* row = new QHBoxLayout(frame);
    return row;
}

} // namespace

void QsoTextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        Q_EMIT clicked();
    }
}

QsoForm::QsoForm(Services& services, Windows& reg, const Traits& traits)
    : Form(services, reg), traits_(traits) {
    buildControls();
}

QsoForm::~QsoForm() {
    // Children that lose their focus (or emit anything) while the window goes must not reach
    // this half-gone window.
    comboPlace->removeEventFilter(this);
    txtCall->removeEventFilter(this);
    for (const QWidget* control : findChildren<QWidget*>()) {
        disconnect(control, nullptr, this, nullptr);
        disconnect(control, nullptr, radio_, nullptr);
    }
}

void QsoForm::buildControls() {
    auto* page = new QVBoxLayout(this);
    auto* outer = new QHBoxLayout;
    page->addLayout(outer);
    auto* inputs = new QGroupBox;
    inputs->setObjectName(QStringLiteral("Frame1"));
    outer->addWidget(inputs);
    auto* columns = new QHBoxLayout(inputs);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    QHBoxLayout* row = framed(left, QStringLiteral("FrameWWLocator"), QStringLiteral("WWLocator"));
    Label3 = new QLabel(QStringLiteral("HM52"));
    Label3->setObjectName(QStringLiteral("Label3"));
    txtWWLocator = textBox(QStringLiteral("txtWWLocator"), tw(495));
    row->addWidget(Label3);
    row->addWidget(txtWWLocator);
    row->addStretch();

    row = framed(left, QStringLiteral("FrameCall"), QStringLiteral("Call"));
    txtCall = textBox(QStringLiteral("txtCall"), tw(2055));
    row->addWidget(txtCall);
    row->addStretch();

    row = framed(left, QStringLiteral("FrameDate"), QStringLiteral("date (dd/mm/yy)"));
    for (int i = 0; i < 3; ++i) {
        txtDate[static_cast<size_t>(i)] = textBox(QStringLiteral("txtDate(%1)").arg(i), tw(435));
    }
    Label1 = new QLabel(QStringLiteral("/"));
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("/"));
    Label2->setObjectName(QStringLiteral("Label2"));
    row->addWidget(txtDate[0]);
    row->addWidget(Label1);
    row->addWidget(txtDate[1]);
    row->addWidget(Label2);
    row->addWidget(txtDate[2]);
    row->addStretch();

    row = framed(left, QStringLiteral("FrameTime"), QStringLiteral("Time (hhmm)"));
    txtTime = textBox(QStringLiteral("txtTime"), tw(735));
    row->addWidget(txtTime);
    row->addStretch();
    left->addStretch();

    row = framed(right, QStringLiteral("FramePlace"), QStringLiteral("Place"));
    comboPlace = new QComboBox;
    comboPlace->setObjectName(QStringLiteral("comboPlace"));
    comboPlace->setEditable(true);
    // The operator's text is the place: no completion typed ahead of it, no list entry made
    // of it by Enter.
    comboPlace->setCompleter(nullptr);
    comboPlace->setInsertPolicy(QComboBox::NoInsert);
    comboPlace->setMinimumWidth(tw(3495));
    row->addWidget(comboPlace);

    row = framed(right, QStringLiteral("FrameProv"), QStringLiteral("Prov"));
    comboProv = listBox(QStringLiteral("comboProv"), codes::provinces());
    row->addWidget(comboProv);
    row->addStretch();

    row = framed(right, QStringLiteral("FrameMode"), QStringLiteral("Mode"));
    comboMode = listBox(QStringLiteral("comboMode"), codes::modes());
    row->addWidget(comboMode);
    row->addStretch();

    row = framed(right, QStringLiteral("FrameBand"), QStringLiteral("Band"));
    comboBand = listBox(QStringLiteral("comboBand"), codes::bands());
    row->addWidget(comboBand);
    row->addStretch();

    auto* qslFrame = new QGroupBox(QStringLiteral("QSL"));
    qslFrame->setObjectName(QStringLiteral("FrameQSL"));
    right->addWidget(qslFrame);
    auto* qslColumn = new QVBoxLayout(qslFrame);
    optQSLConf = new QRadioButton(QStringLiteral("confirmed"));
    optQSLConf->setObjectName(QStringLiteral("optQSLConf"));
    optQSLworked = new QRadioButton(QStringLiteral("worked"));
    optQSLworked->setObjectName(QStringLiteral("optQSLworked"));
    qslColumn->addWidget(optQSLConf);
    qslColumn->addWidget(optQSLworked);
    right->addStretch();

    auto* buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    cmdClear = new QPushButton(QStringLiteral("Clear"));
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdSubmit = new QPushButton(QStringLiteral("Submit"));
    cmdSubmit->setObjectName(QStringLiteral("cmdSubmit"));
    cmdExit = new QPushButton(QStringLiteral("Exit"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    for (QPushButton* button : {cmdClear, cmdSubmit, cmdExit}) {
        button->setFixedSize(tw(1215), tw(495));
    }
    buttons->addWidget(cmdClear);
    buttons->addStretch();
    buttons->addWidget(cmdSubmit);
    buttons->addStretch();
    buttons->addWidget(cmdExit);

    // The exact values below the award's fields and buttons, in a frame of their own.
    radio_ = new RadioFrame(comboBand, comboMode);
    radio_->setParent(this);
    page->addWidget(radio_->FrameRadio);
    page->addWidget(radio_->lblRig);
    comboAdifBand = radio_->comboAdifBand;
    txtFreq = radio_->txtFreq;
    comboAdifMode = radio_->comboAdifMode;
    lblRig = radio_->lblRig;

    const QList<QWidget*> order{txtWWLocator,  txtCall,      txtDate[0],   txtDate[1], txtDate[2],
                                txtTime,       comboPlace,   comboProv,    comboMode,  comboBand,
                                optQSLConf,    optQSLworked, cmdSubmit,    cmdClear,   cmdExit,
                                comboAdifBand, txtFreq,      comboAdifMode};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    // Change handlers run on every change of the text, typed or set from code.
    on(txtWWLocator, &QLineEdit::textChanged, &QsoForm::txtWWLocator_Change);
    on(txtCall, &QLineEdit::textChanged, &QsoForm::txtCall_Change);
    for (int i = 0; i < 3; ++i) {
        on(txtDate[static_cast<size_t>(i)], &QLineEdit::textChanged,
           [this, i] { txtDate_Change(i); });
        on(txtDate[static_cast<size_t>(i)], &QsoTextBox::clicked, [this, i] { txtDate_Click(i); });
    }
    on(txtTime, &QLineEdit::textChanged, &QsoForm::txtTime_Change);
    on(comboPlace, &QComboBox::editTextChanged, &QsoForm::comboPlace_Change);
    on(comboPlace, &QComboBox::activated, &QsoForm::comboPlace_Click);
    on(txtWWLocator, &QsoTextBox::clicked, &QsoForm::txtWWLocator_Click);
    on(txtCall, &QsoTextBox::clicked, &QsoForm::txtCall_Click);
    on(txtTime, &QsoTextBox::clicked, &QsoForm::txtTime_Click);
    comboPlace->installEventFilter(this);
    txtCall->installEventFilter(this);

    on(cmdSubmit, &QPushButton::clicked, &QsoForm::cmdSubmit_Click);
    on(cmdClear, &QPushButton::clicked, &QsoForm::cmdClear_Click);
    on(cmdExit, &QPushButton::clicked, &QsoForm::cmdExit_Click);
    buildBrings();
}

void QsoForm::buildBrings() {
    lblBrings = new QLabel;
    lblBrings->setObjectName(QStringLiteral("lblBrings"));
    lblBrings->setFocusPolicy(Qt::NoFocus);
    lblBrings->setTextInteractionFlags(Qt::NoTextInteraction);
    lblBrings->setMinimumHeight(lblBrings->fontMetrics().height());
    static_cast<QBoxLayout*>(layout())->addWidget(lblBrings);
    // Said once the change's own handlers have run (a browser's hand-over sets the edited
    // QSO's number after its fields).
    bringsLater_ = new QTimer(this);
    bringsLater_->setSingleShot(true);
    bringsLater_->setInterval(0);
    on(bringsLater_, &QTimer::timeout, &QsoForm::showBrings);
    // Any change of the form: a hand-over of another QSO to the edit window changes some
    // field, while only the sub-square, band and mode change what is said.
    const auto later = [this] { bringsLater_->start(); };
    for (QLineEdit* box :
         std::initializer_list<QLineEdit*>{txtWWLocator, txtCall, txtDate[0], txtDate[1],
                                           txtDate[2], txtTime, comboPlace->lineEdit()}) {
        connect(box, &QLineEdit::textChanged, this, later);
    }
    connect(comboBand, &QComboBox::currentIndexChanged, this, later);
    connect(comboMode, &QComboBox::currentIndexChanged, this, later);
    connect(optQSLConf, &QRadioButton::toggled, this, later);
}

void QsoForm::showBrings() {
    lblBrings->setText(rules::brings(s.m, txtWWLocator->text(), comboBand->currentText(),
                                     comboMode->currentText(), editedQso()));
}

bool QsoForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Leaving the field, not opening its list or switching to another window.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == comboPlace) {
                comboPlace_LostFocus();
            } else if (watched == txtCall && traits_.callLostFocus) {
                const QString upper = txtCall->text().toUpper();
                if (upper != txtCall->text()) {
                    txtCall->setText(upper);
                }
            }
        }
    }
    return Form::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Load, Clear, Exit, close box

void QsoForm::Form_Load() {
    optQSLConf->setChecked(true);
    comboPlace->setEditText({});
    comboBand->setCurrentIndex(0);
    comboMode->setCurrentIndex(0);
    comboProv->setCurrentIndex(0);
    radio_->reset();
    txtWWLocator->setFocus();
}

void QsoForm::cancella() {
    txtWWLocator->setText({}); // its change handler empties the place list
    txtCall->setText({});
    for (QLineEdit* box : txtDate) {
        box->setText({});
    }
    txtTime->setText({});
    comboPlace->setEditText({});
    optQSLConf->setChecked(true);
    txtWWLocator->setFocus();
}

void QsoForm::showRadio(const radiotable::Values& values) {
    radio_->show(values);
}

void QsoForm::followRig(qint64 hz, const QString& rigMode) {
    radio_->followRig(hz, rigMode);
}

void QsoForm::setRigState(const QString& text) {
    radio_->setRigState(text);
}

void QsoForm::cmdClear_Click() {
    cancella();
}

void QsoForm::cmdExit_Click() {
    cancella();
    hide();
}

void QsoForm::Form_Unload() {
    cancella();
}

// ---------------------------------------------------------------------------------------
// Input assistance

void QsoForm::upperCase(QLineEdit* box) {
    const int caret = box->cursorPosition();
    const QString upper = box->text().toUpper();
    if (upper != box->text()) {
        const Busy busy(busy_, box);
        box->setText(upper);
    }
    const int length = static_cast<int>(upper.size());
    box->setCursorPosition(traits_.caretAtEnd ? length : std::min(caret, length));
}

void QsoForm::assist(QLineEdit* box, bool upper, int full, QWidget* next, int cutAt, int cutTo) {
    if (upper) {
        upperCase(box);
    }
    if (box->text().size() >= full) {
        next->setFocus();
    }
    if (box->text().size() >= cutAt && !settingStored_) {
        {
            const Busy busy(busy_, box);
            box->setText(box->text().left(cutTo));
        }
        box->setFocus();
        // The whole text selected, caret at its start: the next keystroke replaces it.
        const int length = static_cast<int>(box->text().size());
        box->setSelection(length, -length);
    }
}

void QsoForm::setStored(QLineEdit* box, const QString& text) {
    const QScopedValueRollback stored(settingStored_, true);
    box->setText(text);
}

void QsoForm::selectWhenFull(QLineEdit* box, int full) {
    if (box->text().size() == full) {
        box->selectAll();
    }
}

void QsoForm::txtWWLocator_Change() {
    if (busy_.contains(txtWWLocator)) {
        return;
    }
    assist(txtWWLocator, true, 2, txtCall, 3, 2);
    fillPlaceList();
}

void QsoForm::fillPlaceList() {
    // Read the places first: a failing look-up leaves the list and the place text as they
    // were.
    Recordset& rs = s.m.openAuxPlaces(
        QStringLiteral("select distinct(place) from places where WWLocator='HM52") +
        QuoteSql(txtWWLocator->text()) + QStringLiteral("' order by place asc"));
    QStringList places;
    while (!rs.eof()) {
        places << rs.textAt(0);
        rs.moveNext();
    }
    // The typed place survives the rebuild; it is not a change of the place.
    const QString noted = comboPlace->currentText();
    const QSignalBlocker blocker(comboPlace);
    comboPlace->clear();
    comboPlace->addItems(places);
    comboPlace->setCurrentIndex(-1);
    comboPlace->setEditText(noted);
}

void QsoForm::txtWWLocator_Click() {
    selectWhenFull(txtWWLocator, 2);
}

void QsoForm::txtCall_Change() {
    if (busy_.contains(txtCall)) {
        return;
    }
    // A full call moves on at 12 characters; one that has grown to 13 is cut to 11.
    assist(txtCall, true, 12, txtDate[0], 13, 11);
}

void QsoForm::txtCall_Click() {
    selectWhenFull(txtCall, 12);
}

void QsoForm::txtDate_Change(int Index) {
    QLineEdit* box = txtDate.at(static_cast<size_t>(Index));
    if (busy_.contains(box)) {
        return;
    }
    QWidget* next = Index < 2 ? static_cast<QWidget*>(txtDate.at(static_cast<size_t>(Index) + 1))
                              : static_cast<QWidget*>(txtTime);
    assist(box, false, 2, next, 3, 2);
}

void QsoForm::txtDate_Click(int Index) {
    selectWhenFull(txtDate.at(static_cast<size_t>(Index)), 2);
}

void QsoForm::txtTime_Change() {
    if (busy_.contains(txtTime)) {
        return;
    }
    assist(txtTime, false, 4, comboPlace, 5, 4);
}

void QsoForm::txtTime_Click() {
    selectWhenFull(txtTime, 4);
}

void QsoForm::comboPlace_Change() {
    if (busy_.contains(comboPlace->lineEdit())) {
        return;
    }
    upperCase(comboPlace->lineEdit());
    provinceFromPlace();
}

void QsoForm::comboPlace_Click() {
    provinceFromPlace();
}

void QsoForm::comboPlace_LostFocus() {
    const QString upper = comboPlace->currentText().toUpper();
    if (upper != comboPlace->currentText()) {
        comboPlace->setEditText(upper);
    }
}

void QsoForm::provinceFromPlace() {
    const QString place = QuoteSql(comboPlace->currentText());
    const qint64 rows = s.m.placesContatore(
        QStringLiteral("select count(*) as contatore from places where place = '") + place + u'\'');
    Recordset& rs =
        s.m.openAuxPlaces(QStringLiteral("select * from places where place = '") + place + u'\'');
    if (rows == 0 || rs.eof()) {
        return;
    }
    const QString prov = rs.text(QStringLiteral("prov"));
    const int index = prov.isEmpty() ? -1 : comboProv->findText(prov);
    if (index >= 0) {
        comboProv->setCurrentIndex(index);
    }
}

// ---------------------------------------------------------------------------------------
// Submit: the parts both windows share

void QsoForm::error(const QString& text) {
    s.dialogs.tell(this, text, Icon::Critical, errorTitle);
}

bool QsoForm::validate() {
    const rules::TypedQso typed{txtWWLocator->text(),     txtCall->text(),    txtDate[0]->text(),
                                txtDate[1]->text(),       txtDate[2]->text(), txtTime->text(),
                                comboPlace->currentText()};
    const QStringList failed = rules::failedChecks(
        typed, traits_.limitsAfterQuotes ? rules::Lengths::AfterQuotes : rules::Lengths::AsTyped);
    for (const QString& message : failed) {
        error(message);
    }
    if (!failed.isEmpty()) {
        return false;
    }
    // The Radio frame's frequency, once the QSO itself is valid.
    const QString fault = radio_->fault();
    if (!fault.isEmpty()) {
        error(fault);
        return false;
    }
    return true;
}

bool QsoForm::accreditedRuleAllows() {
    if (rules::duplicates::accredited(s.m, txtWWLocator->text(), comboBand->currentText(),
                                      comboMode->currentText())) {
        s.dialogs.tell(this, rules::duplicates::accreditedMessage, Icon::Critical,
                       QStringLiteral("Error"));
        return false;
    }
    return true;
}

QsoForm::Values QsoForm::values() const {
    Values v;
    v.WWLocator = txtWWLocator->text();
    v.place = comboPlace->currentText();
    v.prov = comboProv->currentText();
    v.mode = comboMode->currentText();
    v.band = comboBand->currentText();
    v.call = txtCall->text();
    v.date = txtDate[0]->text() + u'/' + txtDate[1]->text() + u'/' + txtDate[2]->text();
    v.time = txtTime->text().left(2) + u':' + txtTime->text().mid(2);
    v.qsl = optQSLConf->isChecked() ? codes::confirmed : codes::worked;
    return v;
}

radiotable::Values QsoForm::radioValues() const {
    return radio_->values();
}

QsoForm::Replace QsoForm::confirmedRule(const Values& v, const QString& except) {
    const std::vector<qint64> others =
        rules::duplicates::otherConfirmed(s.m, v.mode, v.band, v.qsl, v.WWLocator, except);
    if (others.empty()) {
        return {};
    }
    // Yes deletes a QSO: a stray Enter or Esc answers No.
    const bool yes = s.dialogs.askBeforeChange(this, rules::duplicates::replaceQuestion, Icon::None,
                                               QStringLiteral("warning"));
    if (!yes) {
        return {.refused = true};
    }
    return {.replaced = others.front()};
}

void QsoForm::writeFields(Recordset& rs, const Values& v) {
    rs.setField(QStringLiteral("WWLocator"), v.WWLocator);
    rs.setField(QStringLiteral("place"), v.place);
    rs.setField(QStringLiteral("prov"), v.prov);
    rs.setField(QStringLiteral("mode"), v.mode);
    rs.setField(QStringLiteral("band"), v.band);
    rs.setField(QStringLiteral("call"), v.call);
    rs.setField(QStringLiteral("date"), v.date);
    rs.setField(QStringLiteral("time"), v.time);
    rs.setField(QStringLiteral("qsl"), v.qsl);
}

} // namespace hm52
