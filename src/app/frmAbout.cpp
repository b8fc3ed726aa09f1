#include "app/frmAbout.h"

#include "ui/Artwork.h"
#include "ui/OpenDocument.h"
#include "ui/Services.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace hm52 {

namespace {

QFont labelFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

QLabel* textLabel(QWidget* parent, const char* name, const QString& text, int top,
                  const QColor& colour) {
    auto* label = placeTw<QLabel>(parent, QLatin1String(name), 180, top, 5640, 300);
    label->setFont(labelFont());
    label->setText(text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

frmAbout::frmAbout(Services& services, Windows& windows) : FormDialog(services, windows) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("about HM52"));
    setModal(false);
    setFixedSize(tw(6000), tw(3960));

    Picture2 = placeTw<QLabel>(this, QStringLiteral("Picture2"), 120, 120, 960, 1665);
    Picture2->setPixmap(artwork::emblem());
    Picture1 = placeTw<QLabel>(this, QStringLiteral("Picture1"), 1140, 120, 4815, 960);
    Picture1->setPixmap(artwork::banner());

    lblVersion =
        textLabel(this, "lblVersion", QStringLiteral("Version " HM52_VERSION " "), 1890, Qt::black);
    lblDescription = textLabel(this, "lblDescription",
                               QStringLiteral("by the HM52 logbook team for the award's hunters"),
                               2220, Qt::black);
    lblFreeware = textLabel(this, "lblFreeware", QStringLiteral("Freeware"), 2550, Qt::black);
    Label2 = textLabel(this, "Label2", QStringLiteral("Site: ") + siteAddress(), 2880, Qt::blue);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    // Line1: a grey line with a white one a pixel under it, across the window.
    auto* grey = placeTw<QFrame>(this, QStringLiteral("Line1(0)"), 0, 3270, 6000, 15);
    grey->setFrameShape(QFrame::NoFrame);
    grey->setAutoFillBackground(true);
    QPalette greyPalette = grey->palette();
    greyPalette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    grey->setPalette(greyPalette);
    auto* white = placeTw<QFrame>(this, QStringLiteral("Line1(1)"), 0, 3285, 6000, 15);
    white->setFrameShape(QFrame::NoFrame);
    white->setAutoFillBackground(true);
    QPalette whitePalette = white->palette();
    whitePalette.setColor(QPalette::Window, Qt::white);
    white->setPalette(whitePalette);

    // Both the default and the cancel button: Enter and Esc press it.
    cmdOK = placeTw<QPushButton>(this, QStringLiteral("cmdOK"), 4500, 3420, 1350, 420);
    cmdOK->setText(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    on(cmdOK, &QPushButton::clicked, &frmAbout::cmdOK_Click);
}

QString frmAbout::siteAddress() {
    return QStringLiteral("http://www.crv-valdoria.example/hm52");
}

void frmAbout::cmdOK_Click() {
    hide();
}

void frmAbout::Label2_Click() {
    // Opened each time; the box stays open, and a page that cannot be opened is told.
    openDocument(s, this, siteAddress());
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        Label2->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        Label2_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::reject() {
    cmdOK->click();
}

} // namespace hm52
