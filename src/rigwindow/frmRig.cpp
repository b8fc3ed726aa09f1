#include "rigwindow/frmRig.h"

#include "rig/RigControl.h"
#include "ui/Services.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>

namespace hm52 {

namespace {

const QString title = QStringLiteral("Rig");

QLabel* buddyLabel(const QString& caption, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmRig::frmRig(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmRig"));
    setWindowTitle(title);
    setFont(windowFont());

    txtRigSearch = new QLineEdit(this);
    txtRigSearch->setObjectName(QStringLiteral("txtRigSearch"));
    txtRigSearch->setPlaceholderText(QStringLiteral("maker, model or number"));
    txtRigSearch->setClearButtonEnabled(true);

    lstRigModels = new QTreeWidget(this);
    lstRigModels->setObjectName(QStringLiteral("lstRigModels"));
    lstRigModels->setHeaderLabels(
        {QStringLiteral("Manufacturer"), QStringLiteral("Model"), QStringLiteral("Number")});
    lstRigModels->setRootIsDecorated(false);
    lstRigModels->setSelectionMode(QAbstractItemView::SingleSelection);
    lstRigModels->setMinimumSize(tw(6000), tw(3600));
    lstRigModels->header()->setStretchLastSection(false);

    txtRigPort = new QLineEdit(this);
    txtRigPort->setObjectName(QStringLiteral("txtRigPort"));
    txtRigPort->setPlaceholderText(QStringLiteral("/dev/ttyUSB0 or localhost:4532"));

    comboRigSpeed = new QComboBox(this);
    comboRigSpeed->setObjectName(QStringLiteral("comboRigSpeed"));
    comboRigSpeed->addItem(QStringLiteral("the rig's default"), 0);
    for (const int speed : rig::serialSpeeds()) {
        comboRigSpeed->addItem(QString::number(speed), speed);
    }

    lblRigState = new QLabel(this);
    lblRigState->setObjectName(QStringLiteral("lblRigState"));
    lblRigState->setWordWrap(true);

    cmdConnect = new QPushButton(QStringLiteral("Connect"), this);
    cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
    cmdDisconnect = new QPushButton(QStringLiteral("Disconnect"), this);
    cmdDisconnect->setObjectName(QStringLiteral("cmdDisconnect"));
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(buddyLabel(QStringLiteral("&Search:"), txtRigSearch, this), 0, 0);
    grid->addWidget(txtRigSearch, 0, 1);
    grid->addWidget(lstRigModels, 1, 0, 1, 2);
    grid->addWidget(buddyLabel(QStringLiteral("&Port:"), txtRigPort, this), 2, 0);
    grid->addWidget(txtRigPort, 2, 1);
    grid->addWidget(buddyLabel(QStringLiteral("Serial sp&eed:"), comboRigSpeed, this), 3, 0);
    grid->addWidget(comboRigSpeed, 3, 1);
    grid->addWidget(lblRigState, 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdConnect);
    buttons->addWidget(cmdDisconnect);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    grid->addLayout(buttons, 5, 0, 1, 2);

    setTabOrder(txtRigSearch, lstRigModels);
    setTabOrder(lstRigModels, txtRigPort);
    setTabOrder(txtRigPort, comboRigSpeed);
    setTabOrder(comboRigSpeed, cmdConnect);
    setTabOrder(cmdConnect, cmdDisconnect);
    setTabOrder(cmdDisconnect, cmdExit);

    on(txtRigSearch, &QLineEdit::textChanged, &frmRig::txtRigSearch_Change);
    // Enter in the search box or on a model goes on to the port; Enter there connects.
    on(txtRigSearch, &QLineEdit::returnPressed, [this]() {
        if (lstRigModels->currentItem() != nullptr) {
            txtRigPort->setFocus();
        } else {
            lstRigModels->setFocus();
        }
    });
    on(lstRigModels, &QTreeWidget::itemActivated, [this]() { txtRigPort->setFocus(); });
    on(txtRigPort, &QLineEdit::returnPressed, &frmRig::cmdConnect_Click);
    on(cmdConnect, &QPushButton::clicked, &frmRig::cmdConnect_Click);
    on(cmdDisconnect, &QPushButton::clicked, &frmRig::cmdDisconnect_Click);
    on(cmdExit, &QPushButton::clicked, &frmRig::cmdExit_Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    on(escape, &QShortcut::activated, &frmRig::cmdExit_Click);
}

void frmRig::Form_Load() {
    rig::RigControl& control = *s.rig;
    lblRigState->setText(control.stateText());
    connect(&control, &rig::RigControl::stateTextChanged, lblRigState, &QLabel::setText);
    on(&control, &rig::RigControl::modelsListed, &frmRig::fillModels);

    // What is in force: the connected rig's settings, else the saved ones with this run's.
    const rig::RigSettings shown =
        control.settings().isEmpty() ? s.rigSettings->inForce() : control.settings();
    txtRigPort->setText(shown.port);
    const int speed = comboRigSpeed->findData(shown.speed);
    comboRigSpeed->setCurrentIndex(speed >= 0 ? speed : 0);
    pendingModel_ = shown.model;
    if (control.models().isEmpty()) {
        control.listModels();
    } else {
        fillModels();
    }
    txtRigSearch->setFocus();
}

void frmRig::fillModels() {
    lstRigModels->clear();
    for (const rig::RigModel& m : s.rig->models()) {
        auto* item = new QTreeWidgetItem(lstRigModels);
        item->setText(0, m.manufacturer);
        item->setText(1, m.model);
        item->setText(2, QString::number(m.number));
        item->setData(0, Qt::UserRole, m.number);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(1, m.status);
    }
    for (int column = 0; column < 3; ++column) {
        lstRigModels->resizeColumnToContents(column);
    }
    selectModel(pendingModel_);
    txtRigSearch_Change();
}

void frmRig::selectModel(int number) {
    for (int i = 0; i < lstRigModels->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstRigModels->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == number) {
            lstRigModels->setCurrentItem(item);
            lstRigModels->scrollToItem(item);
            return;
        }
    }
}

void frmRig::txtRigSearch_Change() {
    const QStringList words = txtRigSearch->text().split(u' ', Qt::SkipEmptyParts);
    QTreeWidgetItem* onlyOne = nullptr;
    int shown = 0;
    for (int i = 0; i < lstRigModels->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstRigModels->topLevelItem(i);
        const QString all = item->text(0) + u' ' + item->text(1) + u' ' + item->text(2);
        bool matches = true;
        for (const QString& word : words) {
            matches = matches && all.contains(word, Qt::CaseInsensitive);
        }
        item->setHidden(!matches);
        if (matches) {
            onlyOne = shown == 0 ? item : nullptr;
            ++shown;
        }
    }
    // A chosen model that the search hides is no longer chosen; a search that leaves one
    // model chooses it.
    QTreeWidgetItem* current = lstRigModels->currentItem();
    if (current != nullptr && current->isHidden()) {
        lstRigModels->setCurrentItem(nullptr);
        lstRigModels->clearSelection();
    }
    if (onlyOne != nullptr) {
        lstRigModels->setCurrentItem(onlyOne);
    }
    if (lstRigModels->currentItem() != nullptr) {
        lstRigModels->scrollToItem(lstRigModels->currentItem());
    }
}

int frmRig::chosenModel() const {
    const QTreeWidgetItem* current = lstRigModels->currentItem();
    return current != nullptr && !current->isHidden() && current->isSelected()
               ? current->data(0, Qt::UserRole).toInt()
               : 0;
}

void frmRig::refuse(const QString& text, QWidget* focus) {
    s.dialogs.tell(this, text, Icon::Critical, title);
    focus->setFocus();
}

void frmRig::cmdConnect_Click() {
    if (s.rig->models().isEmpty()) {
        refuse(QStringLiteral("Hamlib's list of rigs is not there yet; try again in a "
                              "moment."),
               txtRigSearch);
        return;
    }
    const rig::RigSettings chosen{chosenModel(), txtRigPort->text().trimmed(),
                                  comboRigSpeed->currentData().toInt()};
    bool typedNumber = false;
    const int typed = txtRigSearch->text().trimmed().toInt(&typedNumber);
    if (chosen.model == 0 && typedNumber && s.rig->model(typed) == nullptr) {
        refuse(QStringLiteral("Hamlib knows no rig model %1. Choose your rig's model in "
                              "the list (type part of its name in the search box to find "
                              "it).")
                   .arg(typed),
               txtRigSearch);
        return;
    }
    const QString problem = rig::settingsProblem(chosen);
    if (!problem.isEmpty()) {
        refuse(problem, chosen.model == 0 ? static_cast<QWidget*>(txtRigSearch)
                                          : static_cast<QWidget*>(txtRigPort));
        return;
    }
    txtRigPort->setText(chosen.port);
    if (s.rigSettings->savesOnConnect(chosen)) {
        const QString failure = s.rigSettings->save(chosen, true);
        if (!failure.isEmpty()) {
            s.dialogs.tell(this, failure, Icon::Exclamation, title);
        }
    }
    s.rig->connectRig(chosen);
}

void frmRig::cmdDisconnect_Click() {
    s.rig->disconnectRig();
    // Disconnected by hand, the rig stays so at the next start; a rig given on the command
    // line is this run's only.
    if (s.rigSettings->session().isEmpty() && s.rigSettings->connectAtStart()) {
        const QString failure = s.rigSettings->save(s.rigSettings->saved(), false);
        if (!failure.isEmpty()) {
            s.dialogs.tell(this, failure, Icon::Exclamation, title);
        }
    }
}

void frmRig::cmdExit_Click() {
    hide();
}

} // namespace hm52
