#include "map/SubSquareGrid.h"

#include <QMouseEvent>
#include <QPainter>

namespace hm52 {

SubSquareGrid::SubSquareGrid(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFixedSize(sizeHint());
    hasPlaces_.fill(true);
}

QSize SubSquareGrid::sizeHint() const {
    return {side * cellSize + 2 * margin + 1, side * cellSize + 2 * margin + 1};
}

void SubSquareGrid::setStates(const std::array<State, cells>& states) {
    states_ = states;
    update();
}

void SubSquareGrid::setHasPlaces(const std::array<bool, cells>& hasPlaces) {
    hasPlaces_ = hasPlaces;
    update();
}

QRect SubSquareGrid::cellRect(int index) const {
    const int column = index % side;
    const int row = index / side;
    // Row A (south) at the bottom.
    return {margin + column * cellSize, margin + (side - 1 - row) * cellSize, cellSize, cellSize};
}

int SubSquareGrid::cellAt(const QPoint& point) const {
    const int x = point.x() - margin;
    const int y = point.y() - margin;
    if (x < 0 || y < 0 || x >= side * cellSize || y >= side * cellSize) {
        return -1;
    }
    const int column = x / cellSize;
    const int row = side - 1 - y / cellSize;
    return row * side + column;
}

QColor SubSquareGrid::colourOf(State state) {
    switch (state) {
    case State::None:
        return {0xFF, 0xFF, 0xFF};
    case State::Worked:
        return {0xF5, 0xC5, 0x18};
    case State::Confirmed:
        return {0x3C, 0xA0, 0x3C};
    case State::Accredited:
        return {0x28, 0x5A, 0xC8};
    }
    return {};
}

QColor SubSquareGrid::noPlacesColour() {
    return {0xB4, 0xB4, 0xB4};
}

void SubSquareGrid::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    for (int i = 0; i < cells; ++i) {
        const QRect r = cellRect(i);
        const State s = states_.at(static_cast<size_t>(i));
        const bool places = hasPlaces_.at(static_cast<size_t>(i));
        painter.fillRect(r, (s == State::None && !places) ? noPlacesColour() : colourOf(s));
        if (!places && s != State::None) {
            // Logged where the gazetteer knows no place: a grey corner on the state's colour.
            const QPoint corner[3] = {r.topLeft(), r.topLeft() + QPoint(cellSize / 3, 0),
                                      r.topLeft() + QPoint(0, cellSize / 3)};
            painter.setPen(Qt::NoPen);
            painter.setBrush(noPlacesColour());
            painter.drawPolygon(corner, 3);
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(0x70, 0x70, 0x70));
    for (int k = 0; k <= side; ++k) {
        const int at = margin + k * cellSize;
        painter.drawLine(at, margin, at, margin + side * cellSize);
        painter.drawLine(margin, at, margin + side * cellSize, at);
    }
    if (hovered_ >= 0) {
        painter.setPen(QPen(Qt::black, 2));
        painter.drawRect(cellRect(hovered_).adjusted(1, 1, -1, -1));
    }
    // The letters on the four edges.
    painter.setPen(palette().windowText().color());
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const int far = margin + side * cellSize;
    for (int k = 0; k < side; ++k) {
        const QString letter(QChar(u'A' + k));
        const QRect column(margin + k * cellSize, 0, cellSize, margin);
        painter.drawText(column, Qt::AlignCenter, letter);
        painter.drawText(column.translated(0, far), Qt::AlignCenter, letter);
        const QRect row(0, margin + (side - 1 - k) * cellSize, margin, cellSize);
        painter.drawText(row, Qt::AlignCenter, letter);
        painter.drawText(row.translated(far, 0), Qt::AlignCenter, letter);
    }
}

void SubSquareGrid::mouseMoveEvent(QMouseEvent* event) {
    const int index = cellAt(event->position().toPoint());
    if (index != hovered_) {
        hovered_ = index;
        update();
        Q_EMIT hovered(index);
    }
}

void SubSquareGrid::leaveEvent(QEvent* /*event*/) {
    if (hovered_ != -1) {
        hovered_ = -1;
        update();
        Q_EMIT hovered(-1);
    }
}

void SubSquareGrid::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton ? cellAt(event->position().toPoint()) : -1;
}

void SubSquareGrid::mouseReleaseEvent(QMouseEvent* event) {
    const int index = cellAt(event->position().toPoint());
    const bool click = event->button() == Qt::LeftButton && index >= 0 && index == pressed_;
    pressed_ = -1;
    if (click) {
        Q_EMIT cellClicked(index);
    }
}

void SubSquareGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = cellAt(event->position().toPoint());
    if (index >= 0 && event->button() == Qt::LeftButton) {
        Q_EMIT cellDoubleClicked(index);
    }
}

} // namespace hm52
