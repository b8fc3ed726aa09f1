#include "app/frmAbout.h"

#include "ui/Artwork.h"
#include "ui/OpenDocument.h"
#include "ui/Services.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace hm52 {

namespace {

template <class W>
W* place(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(left, top, width, height);
    return w;
}

QFont labelFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    return font;
}

QLabel* textLabel(QWidget* parent, const char* name, const QString& text, int top,
                  const QColor& colour) {
    auto* label = place<QLabel>(parent, name, 12, top, 376, 20);
    label->setFont(labelFont());
    label->setText(text);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

frmAbout::frmAbout(Services& services, WindowRegistry& /*registry*/) : s(services) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("about HM52"));
    setModal(false);
    setFixedSize(400, 264);

    Picture2 = place<QLabel>(this, "Picture2", 8, 8, 64, 111);
    Picture2->setPixmap(artwork::emblem());
    Picture1 = place<QLabel>(this, "Picture1", 76, 8, 321, 64);
    Picture1->setPixmap(artwork::banner());

    lblVersion =
        textLabel(this, "lblVersion", QStringLiteral("Version " HM52_VERSION " "), 126, Qt::black);
    lblDescription = textLabel(this, "lblDescription",
                               QStringLiteral("by the HM52 logbook team for the award's hunters"),
                               148, Qt::black);
    lblFreeware = textLabel(this, "lblFreeware", QStringLiteral("Freeware"), 170, Qt::black);
    Label2 = textLabel(this, "Label2", QStringLiteral("Site: ") + siteAddress(), 192, Qt::blue);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);

    // Line1: a grey line with a white one a pixel under it, across the window.
    auto* grey = place<QFrame>(this, "Line1(0)", 0, 218, 400, 1);
    grey->setFrameShape(QFrame::NoFrame);
    grey->setAutoFillBackground(true);
    QPalette greyPalette = grey->palette();
    greyPalette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    grey->setPalette(greyPalette);
    auto* white = place<QFrame>(this, "Line1(1)", 0, 219, 400, 1);
    white->setFrameShape(QFrame::NoFrame);
    white->setAutoFillBackground(true);
    QPalette whitePalette = white->palette();
    whitePalette.setColor(QPalette::Window, Qt::white);
    white->setPalette(whitePalette);

    // Both the default and the cancel button: Enter and Esc press it.
    cmdOK = place<QPushButton>(this, "cmdOK", 300, 228, 90, 28);
    cmdOK->setText(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
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

void frmAbout::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    Q_EMIT unloaded();
    deleteLater();
}

} // namespace hm52
