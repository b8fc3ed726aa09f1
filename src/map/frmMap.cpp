#include "map/frmMap.h"

#include "needed/frmNeeded.h"
#include "rules/Claims.h"
#include "rules/Counts.h"
#include "rules/SubSquares.h"
#include "storage/Codes.h"
#include "storage/QuoteSql.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace hm52 {

namespace {

using State = SubSquareGrid::State;

QWidget* legendEntry(QWidget* parent, const char* name, const QColor& colour, const QString& text) {
    auto* entry = new QWidget(parent);
    auto* layout = new QHBoxLayout(entry);
    layout->setContentsMargins(0, 0, 0, 0);
    QPixmap swatch(14, 14);
    swatch.fill(colour);
    {
        QPainter painter(&swatch);
        painter.setPen(QColor(0x70, 0x70, 0x70));
        painter.drawRect(0, 0, 13, 13);
    }
    auto* box = new QLabel(entry);
    box->setPixmap(swatch);
    auto* label = new QLabel(text, entry);
    label->setObjectName(QString::fromLatin1(name));
    layout->addWidget(box);
    layout->addWidget(label);
    layout->addStretch();
    return entry;
}

} // namespace

frmMap::frmMap(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("Sub-square Map"));

    auto* layout = new QVBoxLayout(this);
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("mode"), this));
    comboMode = new QComboBox(this);
    comboMode->setObjectName(QStringLiteral("comboMode"));
    comboMode->addItems(codes::modes());
    choices->addWidget(comboMode);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(QStringLiteral("band"), this));
    comboBand = new QComboBox(this);
    comboBand->setObjectName(QStringLiteral("comboBand"));
    comboBand->addItems(codes::bands());
    choices->addWidget(comboBand);
    choices->addStretch();
    layout->addLayout(choices);

    sheet = new QWidget(this);
    sheet->setObjectName(QStringLiteral("sheet"));
    sheet->setAutoFillBackground(true);
    auto* sheetLayout = new QVBoxLayout(sheet);
    lblTitle = new QLabel(sheet);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont bold = lblTitle->font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    sheetLayout->addWidget(lblTitle);
    picMap = new SubSquareGrid(sheet);
    picMap->setObjectName(QStringLiteral("picMap"));
    sheetLayout->addWidget(picMap);

    auto* legend = new QHBoxLayout;
    legend->addWidget(legendEntry(sheet, "lblLegendNone", SubSquareGrid::colourOf(State::None),
                                  QStringLiteral("not worked")));
    legend->addWidget(legendEntry(sheet, "lblLegendWorked", SubSquareGrid::colourOf(State::Worked),
                                  QStringLiteral("worked")));
    legend->addWidget(legendEntry(sheet, "lblLegendConfirmed",
                                  SubSquareGrid::colourOf(State::Confirmed),
                                  QStringLiteral("confirmed")));
    legend->addWidget(legendEntry(sheet, "lblLegendAccredited",
                                  SubSquareGrid::colourOf(State::Accredited),
                                  QStringLiteral("accredited")));
    legend->addWidget(legendEntry(sheet, "lblLegendNoPlaces", SubSquareGrid::noPlacesColour(),
                                  QStringLiteral("no place in the gazetteer")));
    sheetLayout->addLayout(legend);
    lblCounts = new QLabel(sheet);
    lblCounts->setObjectName(QStringLiteral("lblCounts"));
    sheetLayout->addWidget(lblCounts);
    lblProgress = new QLabel(sheet);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    sheetLayout->addWidget(lblProgress);
    layout->addWidget(sheet);

    lblCell = new QLabel(this);
    lblCell->setObjectName(QStringLiteral("lblCell"));
    lblCell->setWordWrap(true);
    lblCell->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCell->setFixedWidth(picMap->width() + 20);
    lblCell->setMinimumHeight(lblCell->fontMetrics().height() * 2);
    layout->addWidget(lblCell);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdSavePNG = new QPushButton(QStringLiteral("Save as PNG..."), this);
    cmdSavePNG->setObjectName(QStringLiteral("cmdSavePNG"));
    cmdExit = new QPushButton(QStringLiteral("Exit"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    buttons->addWidget(cmdSavePNG);
    buttons->addWidget(cmdExit);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    on(comboMode, &QComboBox::activated, &frmMap::comboMode_Click);
    on(comboBand, &QComboBox::activated, &frmMap::comboBand_Click);
    on(cmdSavePNG, &QPushButton::clicked, &frmMap::cmdSavePNG_Click);
    on(cmdExit, &QPushButton::clicked, &frmMap::cmdExit_Click);
    on(picMap, &SubSquareGrid::hovered, &frmMap::picMap_MouseMove);
    clickLater_ = new QTimer(this);
    clickLater_->setSingleShot(true);
    clickLater_->setInterval(QApplication::doubleClickInterval());
    connect(picMap, &SubSquareGrid::cellClicked, this, [this](int index) {
        clicked_ = index;
        clickLater_->start();
    });
    on(clickLater_, &QTimer::timeout, [this]() { picMap_Click(clicked_); });
    on(picMap, &SubSquareGrid::cellDoubleClicked, [this](int index) {
        clickLater_->stop();
        picMap_DblClick(index);
    });
}

void frmMap::Form_Load() {
    // The gazetteer does not change while the program runs: read it once.
    Recordset rs(s.m.placesDb,
                 QStringLiteral("select distinct place, WWLocator from places order by place asc"));
    const int placeAt = rs.fieldIndex(QStringLiteral("place"));
    const int squareAt = rs.fieldIndex(QStringLiteral("WWLocator"));
    std::array<bool, SubSquareGrid::cells> hasPlaces{};
    for (; !rs.eof(); rs.moveNext()) {
        const QString locator = rs.textAt(squareAt);
        if (locator.size() != 6 ||
            locator.left(4).compare(codes::awardSquare, Qt::CaseInsensitive) != 0) {
            continue;
        }
        const int index = rules::squareIndex(locator.mid(4));
        if (index >= 0) {
            places_.at(static_cast<size_t>(index)) << rs.textAt(placeAt);
            hasPlaces.at(static_cast<size_t>(index)) = true;
        }
    }
    picMap->setHasPlaces(hasPlaces);
    // Room for the longest hover text, so that the window keeps its size as the pointer moves.
    int tallest = lblCell->minimumHeight();
    for (int i = 0; i < SubSquareGrid::cells; ++i) {
        if (!places_.at(static_cast<size_t>(i)).isEmpty()) {
            lblCell->setText(cellText(i));
            tallest = std::max(tallest, lblCell->heightForWidth(lblCell->width()));
        }
    }
    lblCell->clear();
    lblCell->setFixedHeight(tallest);
    comboMode->setCurrentIndex(0);
    comboBand->setCurrentIndex(0);
    refresh();
}

void frmMap::refresh() {
    const QString mode = comboMode->currentText();
    const QString band = comboBand->currentText();
    const rules::SquareCount squares = rules::squareStates(s.m, mode, band);
    picMap->setStates(squares.states);
    lblTitle->setText(QStringLiteral("HM52 - %1 - %2").arg(mode, band));
    lblCounts->setText(squares.text());
    // Where the band and mode stand toward the next request, as the requests count.
    lblProgress->setText(rules::progressText(s.m, band, mode));
}

bool frmMap::savePng(const QString& path) {
    return sheet->grab().save(path, "PNG");
}

void frmMap::comboMode_Click() {
    refresh();
}
void frmMap::comboBand_Click() {
    refresh();
}

void frmMap::cmdSavePNG_Click() {
    QString name = QStringLiteral("hm52-map-%1-%2.png")
                       .arg(comboMode->currentText(), comboBand->currentText());
    name.remove(u' ');
    const QString path = fileDialogsOr(s.files).savePath(
        this, QStringLiteral("Save the map as PNG"), QDir(s.programFolder).filePath(name),
        QStringLiteral("PNG images (*.png)"));
    if (path.isEmpty()) {
        return;
    }
    if (!savePng(path)) {
        s.dialogs.tell(this, QStringLiteral("The map cannot be written to %1").arg(path),
                       Icon::Critical);
    }
}

void frmMap::cmdExit_Click() {
    hide();
}

QString frmMap::cellText(int index) const {
    const QStringList& names = places_.at(static_cast<size_t>(index));
    return codes::awardSquare + rules::squareLetters(index) + QStringLiteral(": ") +
           (names.isEmpty() ? QStringLiteral("no place in the gazetteer")
                            : names.join(QStringLiteral(", ")));
}

void frmMap::picMap_MouseMove(int index) {
    if (index < 0) {
        lblCell->clear();
        picMap->setToolTip({});
        return;
    }
    const QString text = cellText(index);
    lblCell->setText(text);
    picMap->setToolTip(text);
}

void frmMap::picMap_DblClick(int index) {
    BrowserTerms& terms = registry.browserTerms();
    terms.searchCall.clear();
    terms.searchLocator = QuoteSql(rules::squareLetters(index));
    terms.searchPlace.clear();
    terms.searchProv.clear();
    registry.showAny();
    registry.show(Window::Utility);
}

void frmMap::picMap_Click(int index) {
    registry.show(Window::Needed);
    windowOf<frmNeeded>(registry, Window::Needed)
        .showSquare(comboMode->currentText(), comboBand->currentText(), index);
}

} // namespace hm52
