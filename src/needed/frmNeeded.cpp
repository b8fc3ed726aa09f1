#include "needed/frmNeeded.h"

#include "needed/NeededList.h"
#include "platform/Printer.h"
#include "rules/SubSquares.h"
#include "storage/Codes.h"
#include "storage/QuoteSql.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QVBoxLayout>

namespace hm52 {

namespace {

const QString allStates = QStringLiteral("all states");
const QString allProvinces = QStringLiteral("all provinces");

QComboBox* list(QWidget* parent, const char* name, const QStringList& items) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->addItems(items);
    return combo;
}

} // namespace

frmNeeded::frmNeeded(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmNeeded"));
    setWindowTitle(QStringLiteral("Needed Sub-squares"));

    auto* layout = new QVBoxLayout(this);
    auto* choices = new QHBoxLayout;
    comboMode = list(this, "comboMode", codes::modes());
    comboBand = list(this, "comboBand", codes::bands() + QStringList{rules::anyBand});
    comboState = list(this, "comboState",
                      {allStates, rules::stateName(rules::SquareState::None),
                       rules::stateName(rules::SquareState::Worked),
                       rules::stateName(rules::SquareState::Confirmed),
                       rules::stateName(rules::SquareState::Accredited)});
    comboProv = list(this, "comboProv", QStringList{allProvinces} + codes::provinces());
    const std::pair<const char*, QComboBox*> labelled[] = {
        {"mode", comboMode}, {"band", comboBand}, {"state", comboState}, {"province", comboProv}};
    for (const auto& [caption, combo] : labelled) {
        choices->addWidget(new QLabel(QString::fromLatin1(caption), this));
        choices->addWidget(combo);
        choices->addSpacing(12);
    }
    choices->addStretch();
    layout->addLayout(choices);

    model_ = new NeededModel(this);
    filter_ = new NeededFilter(model_, this);
    lstNeeded = new QTableView(this);
    lstNeeded->setObjectName(QStringLiteral("lstNeeded"));
    lstNeeded->setModel(filter_);
    lstNeeded->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstNeeded->setSelectionMode(QAbstractItemView::SingleSelection);
    lstNeeded->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstNeeded->setSortingEnabled(true);
    lstNeeded->sortByColumn(NeededModel::Square, Qt::AscendingOrder);
    lstNeeded->setWordWrap(false);
    lstNeeded->verticalHeader()->hide();
    lstNeeded->verticalHeader()->setDefaultSectionSize(lstNeeded->fontMetrics().height() + 6);
    lstNeeded->horizontalHeader()->setStretchLastSection(true);
    // The short columns as wide as their headings (with the sort arrow) or their widest value.
    const QFontMetrics text = lstNeeded->horizontalHeader()->fontMetrics();
    const int room = text.horizontalAdvance(QStringLiteral("MM")) + 16;
    lstNeeded->setColumnWidth(NeededModel::Square,
                              text.horizontalAdvance(QStringLiteral("Sub-square")) + room);
    lstNeeded->setColumnWidth(NeededModel::State,
                              text.horizontalAdvance(QStringLiteral("not worked")) + room);
    lstNeeded->setColumnWidth(NeededModel::Qsos,
                              text.horizontalAdvance(QStringLiteral("QSOs")) + room);
    lstNeeded->setColumnWidth(NeededModel::Calls, 300);
    lstNeeded->setColumnWidth(NeededModel::Places, 340);
    layout->addWidget(lstNeeded, 1);

    lblCounts = new QLabel(this);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));
    layout->addWidget(lblCounts);
    lblListed = new QLabel(this);
    lblListed->setObjectName(QStringLiteral("lblListed"));
    layout->addWidget(lblListed);

    auto* buttons = new QHBoxLayout;
    cmdPrint = new QPushButton(QStringLiteral("Print"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdPreview = new QPushButton(QStringLiteral("Print Preview..."), this);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdExportCSV = new QPushButton(QStringLiteral("Export CSV..."), this);
    cmdExportCSV->setObjectName(QStringLiteral("cmdExportCSV"));
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdPreview);
    buttons->addWidget(cmdExportCSV);
    buttons->addStretch();
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);
    resize(980, 620);

    const QList<QWidget*> order{comboMode, comboBand,  comboState,   comboProv, lstNeeded,
                                cmdPrint,  cmdPreview, cmdExportCSV, cmdExit};
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    on(comboMode, &QComboBox::activated, &frmNeeded::comboMode_Click);
    on(comboBand, &QComboBox::activated, &frmNeeded::comboBand_Click);
    on(comboState, &QComboBox::activated, &frmNeeded::comboState_Click);
    on(comboProv, &QComboBox::activated, &frmNeeded::comboProv_Click);
    on(cmdPrint, &QPushButton::clicked, &frmNeeded::cmdPrint_Click);
    on(cmdPreview, &QPushButton::clicked, &frmNeeded::cmdPreview_Click);
    on(cmdExportCSV, &QPushButton::clicked, &frmNeeded::cmdExportCSV_Click);
    on(cmdExit, &QPushButton::clicked, &frmNeeded::cmdExit_Click);
    on(lstNeeded, &QAbstractItemView::doubleClicked, &frmNeeded::lstNeeded_DblClick);
}

frmNeeded::~frmNeeded() = default;

void frmNeeded::Form_Load() {
    readGazetteer();
    comboMode->setCurrentIndex(0);
    comboBand->setCurrentIndex(0);
    comboState->setCurrentIndex(0);
    comboProv->setCurrentIndex(0);
    narrow();
    refresh();
}

void frmNeeded::readGazetteer() {
    // The gazetteer does not change while the program runs: read it once.
    std::array<QStringList, rules::squares> places;
    std::array<QStringList, rules::squares> provinces;
    Recordset rs(s.m.placesDb, QStringLiteral("select distinct place, prov, WWLocator from "
                                              "places order by place asc"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString locator = rs.textAt(2);
        if (locator.size() != 6 ||
            locator.left(4).compare(codes::awardSquare, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const int index = rules::squareIndex(locator.mid(4));
        if (index < 0) {
            continue;
        }
        const auto at = static_cast<size_t>(index);
        if (!places.at(at).contains(rs.textAt(0))) {
            places.at(at) << rs.textAt(0);
        }
        if (const QString prov = rs.textAt(1);
            !prov.isEmpty() && !provinces.at(at).contains(prov)) {
            provinces.at(at) << prov;
        }
    }
    for (QStringList& codes : provinces) {
        codes.sort();
    }
    model_->setGazetteer(places, provinces);
}

void frmNeeded::refresh() {
    stale_ = true;
    if (isVisible()) {
        load();
    }
}

void frmNeeded::loadIfStale() {
    if (stale_) {
        load();
    }
}

void frmNeeded::load() {
    const QString mode = comboMode->currentText();
    const QString band = comboBand->currentText();
    const rules::SquareCount count = rules::squareStates(s.m, mode, band);
    const bool withBand = band == rules::anyBand;
    Module1& m = s.m;
    model_->setCount(count, [&m, mode, band, withBand](int square, rules::SquareState state) {
        // Read while the list is painted or sorted: a failure shows in the cell, never as a
        // box in front of a paint.
        try {
            const auto qsos =
                rules::squareQsos(m, rules::squareLetters(square), mode, band, {}, state);
            const rules::SquareStanding standing = rules::standingOf(qsos, mode, band);
            return NeededModel::Behind{static_cast<qint64>(standing.behind.size()),
                                       rules::behindText(standing, withBand)};
        } catch (const Failure& e) {
            return NeededModel::Behind{0, QStringLiteral("(cannot be read: %1)").arg(e.text())};
        }
    });
    lblCounts->setText(count.text() + u'\n' + rules::progressText(s.m, band, mode));
    showListed();
    stale_ = false;
}

void frmNeeded::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    guarded([this]() { loadIfStale(); });
}

void frmNeeded::narrow() {
    std::optional<rules::SquareState> state;
    if (comboState->currentIndex() > 0) {
        state = static_cast<rules::SquareState>(comboState->currentIndex() - 1);
    }
    filter_->narrow(state, comboProv->currentIndex() > 0 ? comboProv->currentText() : QString());
    showListed();
}

QString frmNeeded::listedText() const {
    return QStringLiteral("Listed: %1 of %2 sub-squares (%3, %4)")
        .arg(filter_->rowCount())
        .arg(rules::squares)
        .arg(comboState->currentText(), comboProv->currentText());
}

void frmNeeded::showListed() {
    lblListed->setText(listedText());
}

void frmNeeded::comboMode_Click() {
    load();
}
void frmNeeded::comboBand_Click() {
    load();
}
void frmNeeded::comboState_Click() {
    narrow();
}
void frmNeeded::comboProv_Click() {
    narrow();
}

int frmNeeded::selectedSquare() const {
    const QModelIndexList rows = lstNeeded->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : filter_->mapToSource(rows.first()).row();
}

void frmNeeded::showSquare(const QString& mode, const QString& band, int square) {
    if (square < 0 || square >= rules::squares) {
        return;
    }
    const int modeAt = comboMode->findText(mode);
    const int bandAt = comboBand->findText(band);
    if (modeAt >= 0 && bandAt >= 0 &&
        (modeAt != comboMode->currentIndex() || bandAt != comboBand->currentIndex())) {
        comboMode->setCurrentIndex(modeAt);
        comboBand->setCurrentIndex(bandAt);
        stale_ = true;
    }
    loadIfStale();
    QModelIndex row = filter_->mapFromSource(model_->index(square, 0));
    if (!row.isValid()) {
        comboState->setCurrentIndex(0);
        comboProv->setCurrentIndex(0);
        narrow();
        row = filter_->mapFromSource(model_->index(square, 0));
    }
    lstNeeded->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect |
                                                          QItemSelectionModel::Rows);
    lstNeeded->scrollTo(row, QAbstractItemView::PositionAtCenter);
}

void frmNeeded::lstNeeded_DblClick(const QModelIndex& index) {
    if (!index.isValid()) {
        return;
    }
    // The sub-square's QSOs in the log browser, as a double-click on the map lists them.
    const int square = filter_->mapToSource(index).row();
    BrowserTerms& terms = registry.browserTerms();
    terms.searchCall.clear();
    terms.searchLocator = QuoteSql(rules::squareLetters(square));
    terms.searchPlace.clear();
    terms.searchProv.clear();
    registry.showAny();
    registry.show(Window::Utility);
}

void frmNeeded::printList(PrinterOps& p) {
    loadIfStale();
    p.setFontName(QStringLiteral("Courier New"));
    p.setFontSize(12);
    p.setBold(true);
    p.print(QStringLiteral("HM52 - Needed Sub-squares - %1 - %2")
                .arg(comboMode->currentText(), comboBand->currentText()));
    p.setBold(false);
    p.setFontSize(8);
    p.print(QStringLiteral(" "));
    for (const QString& line : lblCounts->text().split(u'\n')) {
        p.print(line);
    }
    p.print(listedText());
    p.print(QStringLiteral(" "));
    for (const QString& line : needed::printedLines(*filter_)) {
        p.print(line);
    }
}

void frmNeeded::cmdPrint_Click() {
    printOn(Output::Printer);
}

void frmNeeded::cmdPreview_Click() {
    printOn(Output::Preview);
}

void frmNeeded::printOn(Output output) {
    loadIfStale();
    PrintJob job(s, this, output, windowTitle());
    if (!job.opened()) {
        return;
    }
    printList(job.ops());
    job.end();
}

QByteArray frmNeeded::csv() {
    loadIfStale();
    return needed::csv(*filter_);
}

void frmNeeded::cmdExportCSV_Click() {
    QString name = QStringLiteral("hm52-needed-%1-%2.csv")
                       .arg(comboMode->currentText(), comboBand->currentText());
    name.remove(u' ');
    const QString path = fileDialogsOr(s.files).savePath(
        this, QStringLiteral("Export the list as CSV"), QDir(s.programFolder).filePath(name),
        QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    const QByteArray bytes = csv();
    // Written beside its name and put in place only when whole: a failure leaves any earlier
    // file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        s.dialogs.tell(
            this,
            QStringLiteral("The list cannot be written to %1: %2").arg(path, file.errorString()),
            Icon::Critical);
    }
}

void frmNeeded::cmdExit_Click() {
    hide();
}

} // namespace hm52
