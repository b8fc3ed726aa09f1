#include "needed/NeededList.h"

#include "storage/Codes.h"

namespace hm52 {

namespace {

const char* const headers[] = {"Sub-square",      "State",  "QSOs",
                               "Calls and dates", "Places", "Provinces"};

} // namespace

NeededModel::NeededModel(QObject* parent) : QAbstractTableModel(parent) {}

void NeededModel::setGazetteer(const std::array<QStringList, rules::squares>& places,
                               const std::array<QStringList, rules::squares>& provinces) {
    for (size_t i = 0; i < places_.size(); ++i) {
        places_.at(i) = places.at(i).join(QStringLiteral(", "));
    }
    provinces_ = provinces;
    Q_EMIT dataChanged(index(0, Places), index(rules::squares - 1, Provinces));
}

void NeededModel::setCount(const rules::SquareCount& count, Fetch fetch) {
    count_ = count;
    fetch_ = std::move(fetch);
    behind_.fill(std::nullopt);
    Q_EMIT dataChanged(index(0, 0), index(rules::squares - 1, columnCount_ - 1));
}

const NeededModel::Behind& NeededModel::behind(int row) const {
    std::optional<Behind>& kept = behind_.at(at(row));
    if (!kept) {
        const rules::SquareState now = state(row);
        kept = now == rules::SquareState::None || !fetch_ ? Behind{} : fetch_(row, now);
    }
    return *kept;
}

int NeededModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rules::squares;
}

int NeededModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columnCount_;
}

QString NeededModel::text(int row, int column) const {
    const size_t i = at(row);
    switch (column) {
    case Square:
        return codes::awardSquare + rules::squareLetters(row);
    case State:
        return rules::stateName(count_.states.at(i));
    case Qsos:
        return QString::number(behind(row).qsos);
    case Calls:
        return behind(row).text;
    case Places:
        return places_.at(i);
    case Provinces:
        return provinces_.at(i).join(QStringLiteral(", "));
    default:
        return {};
    }
}

QVariant NeededModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rules::squares) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return text(index.row(), index.column());
    }
    if (role == sortRole) {
        switch (index.column()) {
        case Square:
            // Letter by letter: AA, AB, AC ... as the requests order them.
            return rules::squareLetters(index.row());
        case State:
            return static_cast<int>(state(index.row()));
        case Qsos:
            return behind(index.row()).qsos;
        default:
            return text(index.row(), index.column());
        }
    }
    if (role == Qt::ToolTipRole && (index.column() == Calls || index.column() == Places)) {
        const QString whole = text(index.row(), index.column());
        return whole.isEmpty() ? QVariant() : QVariant(whole);
    }
    if (role == Qt::TextAlignmentRole && index.column() == Qsos) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant NeededModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < columnCount_) {
        return QString::fromLatin1(headers[section]);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

NeededFilter::NeededFilter(NeededModel* model, QObject* parent)
    : QSortFilterProxyModel(parent), model_(model) {
    setSourceModel(model);
    setSortRole(NeededModel::sortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setDynamicSortFilter(true);
}

void NeededFilter::narrow(std::optional<rules::SquareState> state, const QString& province) {
    state_ = state;
    province_ = province;
    invalidateFilter();
}

bool NeededFilter::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const {
    if (state_ && model_->state(sourceRow) != *state_) {
        return false;
    }
    return province_.isEmpty() || model_->provinces(sourceRow).contains(province_);
}

namespace needed {

QString csvField(const QString& text) {
    const bool quoted = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                        text.contains(u'\r') || text.startsWith(u' ') || text.endsWith(u' ');
    if (!quoted) {
        return text;
    }
    QString doubled = text;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QByteArray csv(const QAbstractItemModel& shown) {
    QString out;
    const int columns = shown.columnCount();
    const auto line = [&out, columns](const std::function<QString(int)>& field) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) {
                out += u',';
            }
            out += csvField(field(c));
        }
        out += QStringLiteral("\r\n");
    };
    line([&shown](int c) { return shown.headerData(c, Qt::Horizontal).toString(); });
    for (int r = 0; r < shown.rowCount(); ++r) {
        line([&shown, r](int c) { return shown.index(r, c).data().toString(); });
    }
    return out.toUtf8();
}

QStringList printedLines(const QAbstractItemModel& shown) {
    static const int widths[] = {10, 10, 4, 30, 30};
    const auto line = [](const std::function<QString(int)>& field) {
        QString text;
        for (int c = 0; c < NeededModel::columnCount_; ++c) {
            if (c > 0) {
                text += QStringLiteral(" | ");
            }
            const QString value = field(c);
            text += c < 5 ? value.leftJustified(widths[c]) : value;
        }
        return text;
    };
    QStringList lines;
    lines << line([&shown](int c) { return shown.headerData(c, Qt::Horizontal).toString(); });
    for (int r = 0; r < shown.rowCount(); ++r) {
        lines << line([&shown, r](int c) { return shown.index(r, c).data().toString(); });
    }
    return lines;
}

} // namespace needed

} // namespace hm52
