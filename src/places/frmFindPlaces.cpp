#include "places/frmFindPlaces.h"

#include "storage/QuoteSql.h"
#include "ui/ColumnCaption.h"
#include "ui/FixedWidth.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

namespace hm52 {

frmFindPlaces::frmFindPlaces(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmFindPlaces"));
    setWindowTitle(QStringLiteral("Find on Places Database"));
    setFixedSize(tw(5775), tw(5535));
    setFont(windowFont());

    Frame1 = placeTw<QGroupBox>(this, "Frame1", 120, 120, 5535, 3615);
    Frame1->setFont(listFont());
    Frame1->setTitle(QStringLiteral(" WWLoc | Place                          | Prov |"));
    List = placeTw<QListWidget>(Frame1, "List", 120, 240, 5295, 3255);
    List->setFont(listFont());
    List->setSortingEnabled(false);
    List->setUniformItemSizes(true);
    alignCaptionOverLines(Frame1, List);

    Frame2 = placeTw<QGroupBox>(this, "Frame2", 120, 3840, 3855, 735);
    Frame2->setTitle(QStringLiteral("WWLocator"));
    Label3 = placeTw<QLabel>(Frame2, "Label3", 120, 300, 615, 255);
    Label3->setText(QStringLiteral("HM52"));
    txtWWLocator = placeTw<QLineEdit>(Frame2, "txtWWLocator", 780, 240, 495, 315);
    cmdSearch = placeTw<QPushButton>(Frame2, "cmdSearch", 2280, 240, 1455, 375);
    cmdSearch->setText(QStringLiteral("Search"));

    Frame3 = placeTw<QGroupBox>(this, "Frame3", 120, 4680, 3855, 735);
    Frame3->setTitle(QStringLiteral("Place"));
    Label1 = placeTw<QLabel>(Frame3, "Label1", 120, 300, 615, 255);
    Label1->setText(QStringLiteral("Place"));
    txtPlace = placeTw<QLineEdit>(Frame3, "txtPlace", 780, 240, 1395, 315);
    cmdSearch2 = placeTw<QPushButton>(Frame3, "cmdSearch2", 2280, 240, 1455, 375);
    cmdSearch2->setText(QStringLiteral("Search"));

    cmdClear = placeTw<QPushButton>(this, "cmdClear", 4200, 3960, 1455, 375);
    cmdClear->setText(QStringLiteral("Clear"));
    Command2 = placeTw<QPushButton>(this, "Command2", 4200, 4800, 1455, 375);
    Command2->setText(QStringLiteral("Exit"));

    on(cmdSearch, &QPushButton::clicked, &frmFindPlaces::cmdSearch_Click);
    on(cmdSearch2, &QPushButton::clicked, &frmFindPlaces::cmdSearch2_Click);
    on(cmdClear, &QPushButton::clicked, &frmFindPlaces::cmdClear_Click);
    on(Command2, &QPushButton::clicked, &frmFindPlaces::Command2_Click);
    on(txtWWLocator, &QLineEdit::textChanged, &frmFindPlaces::txtWWLocator_Change);
    txtWWLocator->installEventFilter(this);
}

void frmFindPlaces::Form_Load() {}

QString frmFindPlaces::line(const QString& WWLocator, const QString& placeName,
                            const QString& prov) {
    return fixed::Line().column(WWLocator, 6).column(placeName, 30).column(prov, 3).text();
}

void frmFindPlaces::listRows(Recordset& rs) {
    const int locator = rs.fieldIndex(QStringLiteral("WWLocator"));
    const int placeName = rs.fieldIndex(QStringLiteral("place"));
    const int prov = rs.fieldIndex(QStringLiteral("prov"));
    for (; !rs.eof(); rs.moveNext()) {
        const QString l = rs.textAt(locator);
        const QString p = rs.textAt(placeName);
        const QString v = rs.textAt(prov);
        auto* item = new QListWidgetItem(line(l, p, v));
        // A name longer than its column is cut in the line; its tooltip shows it whole.
        if (l.size() > 6 || p.size() > 30 || v.size() > 3) {
            item->setToolTip(l + QStringLiteral(" | ") + p + QStringLiteral(" | ") + v);
        }
        List->addItem(item);
    }
}

void frmFindPlaces::cmdSearch_Click() {
    txtPlace->clear();
    const QString sql = QStringLiteral("select * from places where WWLocator = 'HM52") +
                        QuoteSql(txtWWLocator->text()) + QStringLiteral("' order by place asc");
    Recordset rs(s.m.placesDb, sql);
    List->clear();
    listRows(rs);
}

void frmFindPlaces::cmdSearch2_Click() {
    txtWWLocator->clear();
    List->clear();
    const QString quoted = QuoteSql(txtPlace->text());
    Recordset rs(s.m.placesDb, QStringLiteral("select * from places where place='") + quoted +
                                   QStringLiteral("' order by place asc"));
    const qint64 found = s.m.placesContatore(
        QStringLiteral("select count(*) as contatore from places where place='") + quoted + u'\'');
    if (found > 0) {
        listRows(rs);
    }
}

void frmFindPlaces::txtWWLocator_Change() {
    const QString typed = txtWWLocator->text();
    QString text = typed.toUpper();
    const bool tooLong = text.size() > 2;
    if (tooLong) {
        text.truncate(2);
    }
    if (text != typed) {
        const QSignalBlocker block(txtWWLocator);
        txtWWLocator->setText(text);
    }
    txtWWLocator->setCursorPosition(static_cast<int>(text.size()));
    if (tooLong) {
        // The next key typed replaces both letters.
        txtWWLocator->setFocus();
        txtWWLocator->setSelection(0, static_cast<int>(text.size()));
    }
}

void frmFindPlaces::txtWWLocator_Click() {
    if (txtWWLocator->text().size() == 2) {
        txtWWLocator->setFocus();
        txtWWLocator->selectAll();
    }
}

bool frmFindPlaces::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtWWLocator && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // The box ends its own click first (caret, end of a drag), then the click selects.
        static_cast<QObject*>(txtWWLocator)->event(event);
        txtWWLocator_Click();
        return true;
    }
    return Form::eventFilter(watched, event);
}

void frmFindPlaces::cmdClear_Click() {
    List->clear();
    txtWWLocator->clear();
    txtPlace->clear();
    txtWWLocator->setFocus();
}

void frmFindPlaces::emptyAll() {
    txtPlace->clear();
    List->clear();
    txtWWLocator->clear();
}

void frmFindPlaces::Command2_Click() {
    emptyAll();
    hide();
}

void frmFindPlaces::Form_Unload() {
    emptyAll();
}

} // namespace hm52
