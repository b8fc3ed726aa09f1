#pragma once

#include "rules/Counts.h"

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace hm52 {

// The 576 sub-squares of the award square for one mode and band, a row each: the sub-square,
// its state, the QSOs that stand in that state, its places in the gazetteer and their
// provinces. The QSOs behind a state are read only for the rows that are shown (or sorted by
// them, printed, exported), so that a long log lists at once.
class NeededModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Square, State, Qsos, Calls, Places, Provinces, columnCount_ };
    // What a column sorts by: the state in its order, the number of QSOs as a number.
    static constexpr int sortRole = Qt::UserRole;

    // The QSOs behind a sub-square's state: how many, and their calls and dates.
    struct Behind {
        qint64 qsos = 0;
        QString text;
    };
    using Fetch = std::function<Behind(int square, rules::SquareState state)>;

    explicit NeededModel(QObject* parent = nullptr);

    // The gazetteer's places of each sub-square and their provinces (read once).
    void setGazetteer(const std::array<QStringList, rules::squares>& places,
                      const std::array<QStringList, rules::squares>& provinces);
    // New states: every row changes in place (the view keeps its selection and order); the
    // QSOs behind them are read again through `fetch` when they are next shown.
    void setCount(const rules::SquareCount& count, Fetch fetch);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A cell as shown; a row is its sub-square's index (AA 0, BA 1 ... XX 575).
    QString text(int row, int column) const;
    rules::SquareState state(int row) const { return count_.states.at(at(row)); }
    const QStringList& provinces(int row) const { return provinces_.at(at(row)); }

private:
    static size_t at(int row) { return static_cast<size_t>(row); }
    const Behind& behind(int row) const;

    rules::SquareCount count_;
    Fetch fetch_;
    mutable std::array<std::optional<Behind>, rules::squares> behind_;
    std::array<QString, rules::squares> places_;
    std::array<QStringList, rules::squares> provinces_;
};

// The rows narrowed to one state and one province (a sub-square is in a province when one of
// its places is), sorted by any column.
class NeededFilter final : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit NeededFilter(NeededModel* model, QObject* parent = nullptr);
    // Nothing for every state, an empty text for every province.
    void narrow(std::optional<rules::SquareState> state, const QString& province);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    NeededModel* model_;
    std::optional<rules::SquareState> state_;
    QString province_;
};

namespace needed {

// The list as shown (its order, its narrowing) as CSV: UTF-8, a header line, one line per
// row, each ended by CR LF; a field with a comma, a quote, a line break or a blank at either
// end goes between quotes, its quotes doubled.
QByteArray csv(const QAbstractItemModel& shown);
QString csvField(const QString& text);

// The list's lines for the printer: the header and one line per row in columns of 10, 10,
// 4, 30 and 30 characters joined by " | ", the provinces last; a longer value is printed
// whole and pushes the later columns.
QStringList printedLines(const QAbstractItemModel& shown);

} // namespace needed

} // namespace hm52
