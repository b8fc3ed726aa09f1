#include "operator/frmUserData.h"

#include "ui/Services.h"
#include "ui/Windows.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace hm52 {

namespace {

const QString countSql = QStringLiteral("select count(*) as contatore from userData");

} // namespace

frmUserData::frmUserData(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmUserData"));
    setWindowTitle(QStringLiteral("User Data"));

    // The left half: one framed input per field, then Clear and Submit.
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* inputs = new QGridLayout(Frame1);
    auto framed = [this, inputs](QWidget* input, const char* name, const QString& caption, int row,
                                 int column) {
        input->setObjectName(QLatin1String(name));
        auto* frame = new QGroupBox(caption, Frame1);
        auto* layout = new QVBoxLayout(frame);
        layout->addWidget(input);
        inputs->addWidget(frame, row, column);
    };
    auto textBox = [this, &framed](const char* name, const QString& caption, int row, int column) {
        auto* box = new QLineEdit(this);
        framed(box, name, caption, row, column);
        connect(box, &QLineEdit::textChanged, this, [this, box]() { upperCase(box); });
        return box;
    };
    Combo = new QComboBox(this);
    Combo->setEditable(false);
    Combo->addItems({QStringLiteral("OM"), QStringLiteral("YL"), QStringLiteral("SWL")});
    framed(Combo, "Combo", QStringLiteral("OM/YL/SWL"), 0, 0);
    txtCall = textBox("txtCall", QStringLiteral("Call"), 1, 0);
    txtfName = textBox("txtfName", QStringLiteral("First Name"), 2, 0);
    txtsName = textBox("txtsName", QStringLiteral("Second Name"), 3, 0);
    txtAddress = textBox("txtAddress", QStringLiteral("Address"), 4, 0);
    txtZipCode = textBox("txtZipCode", QStringLiteral("ZIP Code"), 0, 1);
    txtCity = textBox("txtCity", QStringLiteral("City"), 1, 1);
    txtProv = textBox("txtProv", QStringLiteral("Prov"), 2, 1);
    txtCountry = textBox("txtCountry", QStringLiteral("Country"), 3, 1);
    txtWWLocator = textBox("txtWWLocator", QStringLiteral("WWLocator"), 4, 1);
    txtEmail = textBox("txtEmail", QStringLiteral("E-Mail"), 5, 1);
    cmdClear = new QPushButton(QStringLiteral("Clear"), Frame1);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdSubmit = new QPushButton(QStringLiteral("Submit"), Frame1);
    cmdSubmit->setObjectName(QStringLiteral("cmdSubmit"));
    inputs->addWidget(cmdClear, 6, 0);
    inputs->addWidget(cmdSubmit, 6, 1);

    // The right half: the stored record, and Exit.
    Frame6 = new QGroupBox(QStringLiteral("Courrent User Data:"), this);
    Frame6->setObjectName(QStringLiteral("Frame6"));
    auto* display = new QFormLayout(Frame6);
    auto valueLabel = [this, display](const char* name, const QString& caption) {
        auto* label = new QLabel(Frame6);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        display->addRow(new QLabel(caption, Frame6), label);
        return label;
    };
    lblOM = valueLabel("lblOM", QStringLiteral("OM/YL/SWL:"));
    lblCall = valueLabel("lblCall", QStringLiteral("Call:"));
    lblfName = valueLabel("lblfName", QStringLiteral("First Name:"));
    lblsName = valueLabel("lblsName", QStringLiteral("Second Name:"));
    lblAddress = valueLabel("lblAddress", QStringLiteral("Address:"));
    lblZipCode = valueLabel("lblZipCode", QStringLiteral("ZIP Code:"));
    lblCity = valueLabel("lblCity", QStringLiteral("City:"));
    lblProv = valueLabel("lblProv", QStringLiteral("Prov:"));
    lblCountry = valueLabel("lblCountry", QStringLiteral("Country:"));
    lblWWLocator = valueLabel("lblWWLocator", QStringLiteral("WWLocator:"));
    lblemail = valueLabel("lblemail", QStringLiteral("E-Mail:"));
    Command1 = new QPushButton(QStringLiteral("Exit"), this);
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* right = new QVBoxLayout;
    right->addWidget(Frame6);
    right->addWidget(Command1);
    right->addStretch();
    // The inputs keep their width when a long stored record widens the display.
    Frame1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* halves = new QHBoxLayout(this);
    halves->addWidget(Frame1);
    halves->addLayout(right);

    on(cmdClear, &QPushButton::clicked, &frmUserData::cmdClear_Click);
    on(cmdSubmit, &QPushButton::clicked, &frmUserData::cmdSubmit_Click);
    on(Command1, &QPushButton::clicked, &frmUserData::Command1_Click);
}

void frmUserData::Form_Load() {
    Combo->setCurrentIndex(Combo->findText(QStringLiteral("OM")));
    guarded([this]() { ShowUserData(); });
}

void frmUserData::upperCase(QLineEdit* box) {
    const QString upper = box->text().toUpper();
    if (upper == box->text()) {
        return;
    }
    const int caret = box->cursorPosition();
    box->setText(upper);
    box->setCursorPosition(std::min(caret, static_cast<int>(upper.size())));
}

void frmUserData::ShowUserData() {
    Recordset& rs = s.m.openShared(QStringLiteral("userData"));
    const bool stored = s.m.contatore(countSql) != 0 && !rs.eof();
    auto show = [&rs, stored](QLabel* label, const char* field) {
        label->setText(stored ? rs.text(QLatin1String(field)) : QString());
    };
    show(lblAddress, "address");
    show(lblCall, "call");
    show(lblCity, "city");
    show(lblCountry, "country");
    show(lblemail, "email");
    show(lblfName, "fName");
    show(lblOM, "OM/YL/SWL");
    show(lblProv, "prov");
    show(lblsName, "sName");
    show(lblWWLocator, "WWLocator");
    show(lblZipCode, "ZIPcode");
}

void frmUserData::cmdSubmit_Click() {
    // What the log holds is shown again, whether or not the new data could be written.
    guarded([this]() { submit(); });
    ShowUserData();
}

void frmUserData::submit() {
    // The checks in their order; the first that fails is told and nothing is written. A text
    // of blanks is not empty.
    struct Check {
        QLineEdit* box;
        int limit;
        const char* empty; // nullptr: may be empty
        const char* tooLong;
    };
    const Check checks[] = {
        {txtAddress, 40, "Address field cannot be null",
         "Address field cannot hold more than 40 characters"},
        {txtCall, 10, "Call field cannot be null",
         "Call field cannot hold more than 10 characters"},
        {txtCity, 20, "City field cannot be null",
         "City field cannot hold more than 20 characters"},
        {txtCountry, 20, "Country field cannot be null",
         "Country field cannot hold more than 20 characters"},
        {txtfName, 20, "First Name field cannot be null",
         "First Name field cannot hold more than 20 characters"},
        {txtsName, 20, "sencod Name field cannot be null",
         "Second Name field cannot hold more than 20 characters"},
        {txtZipCode, 10, "Zip Code field cannot be null",
         "Zip Code field cannot hold more than 10 characters"},
        {txtProv, 20, "Prov field cannot be null",
         "Prov field cannot hold more than 20 characters"},
        {txtWWLocator, 6, "WWLocator field cannot be null",
         "WWLocator field cannot hold more than 6 characters"},
        {txtEmail, 50, nullptr, "e-mail field cannot hold more than 50 characters"},
    };
    for (const Check& check : checks) {
        const QString text = check.box->text();
        const char* failed = nullptr;
        if (check.empty != nullptr && text.isEmpty()) {
            failed = check.empty;
        } else if (text.size() > check.limit) {
            failed = check.tooLong;
        }
        if (failed != nullptr) {
            s.dialogs.tell(this, QString::fromUtf8(failed), Icon::Critical);
            return;
        }
    }

    Recordset& rs = s.m.openShared(QStringLiteral("userData"));
    const bool adding = s.m.contatore(countSql) == 0;
    if (adding) {
        rs.addNew();
    } else {
        rs.edit();
    }
    rs.setField(QStringLiteral("OM/YL/SWL"), Combo->currentText());
    rs.setField(QStringLiteral("call"), txtCall->text());
    rs.setField(QStringLiteral("address"), txtAddress->text());
    rs.setField(QStringLiteral("country"), txtCountry->text());
    rs.setField(QStringLiteral("city"), txtCity->text());
    rs.setField(QStringLiteral("email"),
                txtEmail->text().isEmpty() ? QStringLiteral(" ") : txtEmail->text());
    rs.setField(QStringLiteral("fName"), txtfName->text());
    rs.setField(QStringLiteral("sName"), txtsName->text());
    rs.setField(QStringLiteral("ZIPcode"), txtZipCode->text());
    rs.setField(QStringLiteral("prov"), txtProv->text());
    rs.setField(QStringLiteral("WWLocator"), txtWWLocator->text());
    if (adding) {
        rs.setField(QStringLiteral("count"), 1);
    }
    rs.update();
}

void frmUserData::cmdClear_Click() {
    Combo->setCurrentIndex(Combo->findText(QStringLiteral("OM")));
    for (QLineEdit* box : {txtAddress, txtCall, txtCity, txtCountry, txtEmail, txtfName, txtsName,
                           txtZipCode, txtProv, txtWWLocator}) {
        box->clear();
    }
}

void frmUserData::Command1_Click() {
    hide();
}

} // namespace hm52
