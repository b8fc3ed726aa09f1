#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QString>
#include <QStringView>

#include <functional>
#include <unordered_map>
#include <vector>

namespace hm52 {

class Recordset;

// The browser's lines: nine fixed-width columns joined by " | ". A value longer than its
// column is cut to the column's width, so every line is exactly `length` characters and
// the bars of all lines stand under the bars of the header.
namespace logline {

// Column widths: call, sub-square, place, prov, mode, band, date, time, qsl.
inline constexpr int widths[9] = {11, 6, 29, 3, 7, 6, 10, 5, 1};
inline constexpr int length = 11 + 6 + 29 + 3 + 7 + 6 + 10 + 5 + 1 + 8 * 3; // 102

// The header caption, whose bars stand at the same character positions as the lines'.
QString header();

// Resolves the fields of a "select * from data" cursor once, then formats rows quickly.
class Formatter {
public:
    explicit Formatter(const Recordset& rs);
    // Writes the current row's line (exactly `length` characters) at `out`.
    void write(const Recordset& rs, QChar* out) const;
    // The current row's `count`.
    qint32 count(const Recordset& rs) const;

private:
    int call_, locator_, place_, prov_, mode_, band_, date_, time_, qsl_, count_;
};

} // namespace logline

// The list's rows: only the QSO numbers in display order are held; a row's line is made from
// the log when the view draws it (a few dozen at a time), and kept until the list changes.
class LogLinesModel final : public QAbstractListModel {
    Q_OBJECT
public:
    using LineOf = std::function<QString(qint32 key)>;
    explicit LogLinesModel(LineOf lineOf, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Shows the first `rows` keys of `keys` (which the owner keeps), replacing every line.
    void assign(const std::vector<qint32>* keys, int rows);
    QString line(int row) const;

private:
    LineOf lineOf_;
    const std::vector<qint32>* keys_ = nullptr;
    int rows_ = 0;
    mutable std::unordered_map<qint32, QString> made_;
};

// The list box: single selection, unsorted, uniform rows. Mouse presses and double-clicks go
// to the window's handlers; a right-button press never changes the selection.
class LogListView final : public QListView {
    Q_OBJECT
public:
    explicit LogListView(QWidget* parent = nullptr);

    // The selected line's position (first line 0), or -1 when none is selected.
    int selectedLine() const;

Q_SIGNALS:
    // Any button pressed, at a place in the list's own coordinates.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // The left button double-clicked, on a line or not.
    void dblClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace hm52
