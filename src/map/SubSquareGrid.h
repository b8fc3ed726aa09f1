#pragma once

#include "rules/Counts.h"

#include <QColor>
#include <QWidget>

#include <array>

namespace hm52 {

// The award square drawn as 24 x 24 sub-squares: the first letter runs west to east (columns,
// A on the left), the second south to north (rows, A at the bottom), with the letters on all
// four edges. Each cell is coloured by its best QSL state; a cell without any place of the
// gazetteer is drawn as such.
class SubSquareGrid : public QWidget {
    Q_OBJECT
public:
    using State = rules::SquareState;
    static constexpr int side = rules::side;
    static constexpr int cells = rules::squares;

    explicit SubSquareGrid(QWidget* parent = nullptr);

    void setStates(const std::array<State, cells>& states);
    void setHasPlaces(const std::array<bool, cells>& hasPlaces);
    State state(int index) const { return states_.at(static_cast<size_t>(index)); }

    // Where a cell is drawn, in the widget's coordinates.
    QRect cellRect(int index) const;
    // The cell under a point, -1 when none.
    int cellAt(const QPoint& point) const;

    static QColor colourOf(State state);
    static QColor noPlacesColour();

    QSize sizeHint() const override;

Q_SIGNALS:
    void hovered(int index); // -1 when the pointer leaves the cells
    // A left button pressed and released on the same cell; a double-click reports its first
    // click here too.
    void cellClicked(int index);
    void cellDoubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static constexpr int cellSize = 20;
    static constexpr int margin = 18;
    std::array<State, cells> states_{};
    std::array<bool, cells> hasPlaces_{};
    int hovered_ = -1;
    int pressed_ = -1;
};

} // namespace hm52
