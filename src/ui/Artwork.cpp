#include "ui/Artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace hm52::artwork {

namespace {

const QColor parchment(0xf6, 0xef, 0xd6);
const QColor ink(0x3a, 0x2a, 0x12);
const QColor awardRed(0xb0, 0x10, 0x18);
const QColor gold(0xc8, 0x9b, 0x2c);

QFont serif(double points, bool bold = false, bool italic = false) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// The award square as a 24 x 24 grid with a few sub-squares filled in.
void drawSquare(QPainter& p, const QRectF& r) {
    p.setPen(QPen(ink, 0.6));
    p.setBrush(QColor(0xfb, 0xf7, 0xe8));
    p.drawRect(r);
    const double cell = r.width() / 24.0;
    for (int i = 1; i < 24; ++i) {
        p.setPen(QPen(QColor(0xb8, 0xa8, 0x80), i % 6 == 0 ? 0.7 : 0.3));
        p.drawLine(QPointF(r.left() + i * cell, r.top()), QPointF(r.left() + i * cell, r.bottom()));
        p.drawLine(QPointF(r.left(), r.top() + i * cell), QPointF(r.right(), r.top() + i * cell));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(awardRed.red(), awardRed.green(), awardRed.blue(), 150));
    for (int i = 0; i < 24 * 24; i += 7) {
        const int x = (i * 5) % 24;
        const int y = (i / 24 + i * 3) % 24;
        if ((x + y) % 3 != 0) {
            p.drawRect(
                QRectF(r.left() + x * cell + 0.5, r.top() + y * cell + 0.5, cell - 1, cell - 1));
        }
    }
}

} // namespace

QPixmap certificate() {
    QPixmap pixmap(410, 288);
    pixmap.fill(parchment);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(gold, 6));
    p.drawRect(QRectF(5, 5, 400, 278));
    p.setPen(QPen(ink, 1));
    p.drawRect(QRectF(12, 12, 386, 264));

    p.setPen(awardRed);
    p.setFont(serif(22, true));
    p.drawText(QRectF(20, 18, 370, 40), Qt::AlignCenter, QStringLiteral("DIPLOMA HM52"));
    p.setPen(ink);
    p.setFont(serif(9, false, true));
    p.drawText(QRectF(20, 56, 370, 18), Qt::AlignCenter,
               QStringLiteral("rilasciato dalla Sezione C.R.V. di Valdoria"));

    drawSquare(p, QRectF(30, 90, 150, 150));

    // The square leaves the pen off: the wording beside it needs the ink back.
    p.setPen(ink);
    p.setFont(serif(10));
    const QStringList lines{QStringLiteral("si attesta che il radioamatore"),
                            QStringLiteral("_______________________"),
                            QStringLiteral("ha collegato e confermato"),
                            QStringLiteral("i quadratini dello SQUARE HM52"),
                            QStringLiteral("banda ______  modo ______")};
    double y = 96;
    for (const QString& line : lines) {
        p.drawText(QRectF(196, y, 196, 20), Qt::AlignCenter, line);
        y += 26;
    }

    // The seal.
    p.setBrush(gold);
    p.setPen(QPen(awardRed, 2));
    p.drawEllipse(QPointF(350, 246), 22, 22);
    p.setPen(awardRed);
    p.setFont(serif(9, true));
    p.drawText(QRectF(328, 236, 44, 20), Qt::AlignCenter, QStringLiteral("HM52"));
    return pixmap;
}

QPixmap emblem() {
    QPixmap pixmap(64, 111);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // A shield with an antenna mast and radio waves.
    QPainterPath shield;
    shield.moveTo(4, 6);
    shield.lineTo(60, 6);
    shield.lineTo(60, 60);
    shield.quadTo(60, 92, 32, 106);
    shield.quadTo(4, 92, 4, 60);
    shield.closeSubpath();
    QLinearGradient fill(0, 0, 0, 111);
    fill.setColorAt(0, QColor(0x1c, 0x3f, 0x8c));
    fill.setColorAt(1, QColor(0x0c, 0x20, 0x50));
    p.fillPath(shield, fill);
    p.setPen(QPen(gold, 2));
    p.drawPath(shield);
    // The mast and its waves stand under the name, so the outer wave does not cross it.
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(32, 42), QPointF(32, 88));
    p.drawLine(QPointF(32, 88), QPointF(23, 96));
    p.drawLine(QPointF(32, 88), QPointF(41, 96));
    p.setBrush(Qt::NoBrush);
    for (int r = 8; r <= 20; r += 6) {
        p.drawArc(QRectF(32 - r, 42 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
    }
    p.setFont(serif(7, true));
    p.drawText(QRectF(4, 7, 56, 13), Qt::AlignCenter, QStringLiteral("C.R.V."));
    return pixmap;
}

QPixmap banner() {
    QPixmap pixmap(321, 64);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(awardRed);
    p.setFont(serif(26, true));
    p.drawText(QRectF(0, 0, 321, 64), Qt::AlignCenter, QStringLiteral("DIPLOMA HM52"));
    p.setPen(QPen(gold, 2));
    p.drawLine(20, 56, 301, 56);
    return pixmap;
}

} // namespace hm52::artwork
