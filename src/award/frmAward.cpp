#include "award/frmAward.h"

#include "rules/Counts.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

namespace hm52 {

namespace {

QLabel* label(QWidget* parent, const QString& name, const QString& caption, int left, int top,
              int width) {
    auto* l = placeTw<QLabel>(parent, name, left, top, width, 255);
    l->setText(caption);
    return l;
}

// A band's row of the table: its frame caption, the band value queried and the names of its
// three count labels.
struct BandRow {
    const char* frame;
    const char* band;
    const char* labelStem;
};

constexpr BandRow bandRows[6] = {
    {"Frame1", "HF", "lblHF"},   {"Frame2", "50 MHz", "lbl50MHz"},
    {"Frame3", "VHF", "lblVHF"}, {"Frame4", "UHF", "lblUHF"},
    {"Frame5", "SHF", "lblSHF"}, {"Frame6", "SAT", "lblSatellite"},
};

// The QSL states, column by column: worked, confirmed, accredited.
constexpr char states[3] = {'w', 'c', 'a'};

struct Figure {
    const char* name;
    const char* caption;
};

// The award's figures as the window shows them, HF to SAT.
constexpr Figure baseFigures[6] = {
    {"Label4", "HF:...............................75"},
    {"Label5", "50 MHz:.......................30"},
    {"Label6", "VHF:............................30"},
    {"Label8", "UHF:............................20"},
    {"Label7", "SHF:............................10"},
    {"Label9", "SAT:............................10"},
};
constexpr Figure endorsementFigures[6] = {
    {"Label15", "HF:...............................25"},
    {"Label14", "50 MHz:.......................10"},
    {"Label13", "VHF:............................10"},
    {"Label11", "UHF:..............................5"},
    {"Label12", "SHF:..............................5"},
    {"Label10", "SAT:..............................5"},
};

void figureFrame(QWidget* parent, const char* name, const QString& caption, int top,
                 const Figure (&figures)[6]) {
    auto* frame = placeTw<QGroupBox>(parent, QString::fromLatin1(name), 120, top, 2295, 1815);
    frame->setTitle(caption);
    for (int i = 0; i < 6; ++i) {
        label(frame, QString::fromLatin1(figures[i].name), QString::fromLatin1(figures[i].caption),
              120, 240 + i * 240, 2115);
    }
}

} // namespace

frmAward::frmAward(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmAward"));
    setWindowTitle(QStringLiteral("Award Italian Rules"));
    setFixedSize(tw(8370), tw(6045));
    setFont(windowFont());

    Frame7 = placeTw<QGroupBox>(this, QStringLiteral("Frame7"), 120, 240, 2295, 735);
    Frame7->setTitle(QStringLiteral("mode"));
    Combo1 = placeTw<QComboBox>(Frame7, QStringLiteral("Combo1"), 120, 240, 2055, 375);
    Combo1->setEditable(false);
    Combo1->addItems({QStringLiteral("MIXED"), QStringLiteral("SSB"), QStringLiteral("CW"),
                      QStringLiteral("DIGITAL")});

    figureFrame(this, "Frame9", QStringLiteral("Base Award Request"), 1560, baseFigures);
    figureFrame(this, "Frame10", QStringLiteral("Endorsement"), 3480, endorsementFigures);

    // The three columns: a heading over the count cells of every band. Heading and cells are
    // centred on the same span, so each count stands under the middle of its heading and the
    // widest heading, "ACCREDITATED", still shows whole inside the table's frame.
    Frame8 = placeTw<QGroupBox>(this, QStringLiteral("Frame8"), 2520, 240, 5775, 5055);
    constexpr int bandFrameLeft = 120;
    constexpr int cellLefts[3] = {840, 2640, 4440};
    constexpr int cellWidth = 975;
    constexpr int headingWidth = 1380;
    const char* const headingNames[3] = {"Label2", "Label3", "Label1"};
    const char* const headings[3] = {"WORKED", "CONFIRMED", "ACCREDITATED"};
    for (int c = 0; c < 3; ++c) {
        const int centre = bandFrameLeft + cellLefts[c] + cellWidth / 2;
        label(Frame8, QString::fromLatin1(headingNames[c]), QString::fromLatin1(headings[c]),
              centre - headingWidth / 2, 360, headingWidth)
            ->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    for (int b = 0; b < 6; ++b) {
        const BandRow& row = bandRows[b];
        auto* frame = placeTw<QGroupBox>(Frame8, QString::fromLatin1(row.frame), bandFrameLeft,
                                         720 + b * 720, 5535, 615);
        frame->setTitle(QString::fromLatin1(row.band));
        for (int c = 0; c < 3; ++c) {
            cells_[b][c] = label(frame, QString::fromLatin1(row.labelStem) + QChar(states[c]),
                                 QString(), cellLefts[c], 240, cellWidth);
            cells_[b][c]->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        }
    }

    cmdExit = placeTw<QPushButton>(this, QStringLiteral("cmdExit"), 6360, 5400, 1815, 495);
    cmdExit->setText(QStringLiteral("Exit"));
    on(cmdExit, &QPushButton::clicked, &frmAward::cmdExit_Click);

    // Choosing a mode recounts, whether the operator picks it (the same one included) or it
    // is selected from code, as the load does. A pick of another mode is counted once.
    on(Combo1, &QComboBox::currentIndexChanged, &frmAward::Combo1_Click);
    on(Combo1, &QComboBox::activated, [this](int index) {
        if (index == countedIndex_) {
            Combo1_Click();
        }
    });
    on(Combo1->view()->verticalScrollBar(), &QScrollBar::valueChanged, &frmAward::Combo1_Scroll);
}

void frmAward::Form_Load() {
    // Choosing "MIXED" counts as the window loads.
    Combo1->setCurrentText(QStringLiteral("MIXED"));
    if (countedIndex_ != Combo1->currentIndex()) {
        Combo1_Click();
    }
}

void frmAward::Combo1_Click() {
    countedIndex_ = Combo1->currentIndex();
    conta();
}
void frmAward::Combo1_Scroll() {
    conta();
}
void frmAward::cmdExit_Click() {
    hide();
}

void frmAward::conta() {
    for (int b = 0; b < 6; ++b) {
        const QString band = QString::fromLatin1(bandRows[b].band);
        for (int c = 0; c < 3; ++c) {
            // The mode is read afresh for every cell.
            cells_[b][c]->setText(
                QString::number(rules::cell(s.m, Combo1->currentText(), band, QChar(states[c]))));
        }
    }
}

} // namespace hm52
