#include "browser/LogList.h"

#include "platform/Database.h"
#include "ui/FixedWidth.h"

#include <QMouseEvent>

#include <algorithm>

namespace hm52 {

namespace logline {

QString header() {
    return QStringLiteral(" Call       |  WWLoc | Place                         |Prov | Mode    | "
                          "Band   | Date       | Time  | Qsl");
}

namespace {

int required(const Recordset& rs, const char* name) {
    const int index = rs.fieldIndex(QString::fromLatin1(name));
    if (index < 0) {
        throw DbError(
            QStringLiteral("Item not found in this collection: %1").arg(QString::fromLatin1(name)));
    }
    return index;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

Formatter::Formatter(const Recordset& rs)
    : call_(required(rs, "call")), locator_(required(rs, "WWLocator")),
      place_(required(rs, "place")), prov_(required(rs, "prov")), mode_(required(rs, "mode")),
      band_(required(rs, "band")), date_(required(rs, "date")), time_(required(rs, "time")),
      qsl_(required(rs, "qsl")), count_(required(rs, "count")) {}

void Formatter::write(const Recordset& rs, QChar* out) const {
    fixed::Writer w(out);
    w.column(rs.utf8At(call_), widths[0]);
    w.bar();
    // The sub-square column: the award square in front of the stored letters.
    w.column(QStringView(u"HM52"), 4);
    w.column(rs.utf8At(locator_), widths[1] - 4);
    w.bar();
    w.column(rs.utf8At(place_), widths[2]);
    w.bar();
    w.column(rs.utf8At(prov_), widths[3]);
    w.bar();
    w.column(rs.utf8At(mode_), widths[4]);
    w.bar();
    w.column(rs.utf8At(band_), widths[5]);
    w.bar();

    // The log keeps ISO dates (yyyy-mm-dd) and times (hh:mm:ss); the columns show dd/mm/yy
    // and hh.mm. Any other stored text takes the engine layer's general conversion.
    const QByteArrayView d = rs.utf8At(date_);
    if (d.size() == 10 && d[4] == '-' && d[7] == '-' && isDigit(d[0]) && isDigit(d[1]) &&
        isDigit(d[2]) && isDigit(d[3]) && isDigit(d[5]) && isDigit(d[6]) && isDigit(d[8]) &&
        isDigit(d[9])) {
        const char shown[] = {d[8], d[9], '/', d[5], d[6], '/', d[2], d[3]};
        w.column(QByteArrayView(shown, 8), widths[6]);
    } else {
        w.column(rs.textAt(date_), widths[6]);
    }
    w.bar();
    const QByteArrayView t = rs.utf8At(time_);
    if (t.size() == 8 && t[2] == ':' && t[5] == ':' && isDigit(t[0]) && isDigit(t[1]) &&
        isDigit(t[3]) && isDigit(t[4]) && isDigit(t[6]) && isDigit(t[7])) {
        const char shown[] = {t[0], t[1], '.', t[3], t[4]};
        w.column(QByteArrayView(shown, 5), widths[7]);
    } else {
        w.column(fixed::hourMinutes(rs.textAt(time_)), widths[7]);
    }
    w.bar();
    w.column(rs.utf8At(qsl_), widths[8]);
}

qint32 Formatter::count(const Recordset& rs) const {
    return static_cast<qint32>(rs.intAt(count_));
}

} // namespace logline

// ---------------------------------------------------------------------------------------
// LogLinesModel

LogLinesModel::LogLinesModel(LineOf lineOf, QObject* parent)
    : QAbstractListModel(parent), lineOf_(std::move(lineOf)) {}

int LogLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant LogLinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) {
        return {};
    }
    return line(index.row());
}

Qt::ItemFlags LogLinesModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

QString LogLinesModel::line(int row) const {
    if (keys_ == nullptr || row < 0 || row >= rows_) {
        return {};
    }
    const qint32 key = keys_->at(static_cast<size_t>(row));
    const auto found = made_.find(key);
    if (found != made_.end()) {
        return found->second;
    }
    // The lines of a few screens are kept; scrolling through the whole log keeps no more.
    constexpr size_t kept = 4096;
    if (made_.size() >= kept) {
        made_.clear();
    }
    return made_.emplace(key, lineOf_(key)).first->second;
}

void LogLinesModel::assign(const std::vector<qint32>* keys, int rows) {
    beginResetModel();
    keys_ = keys;
    rows_ = rows;
    made_.clear();
    endResetModel();
}

// ---------------------------------------------------------------------------------------
// LogListView

LogListView::LogListView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    // Laid out in batches: a list of a million lines shows at once and its scroll range
    // follows within a few idle moments.
    setLayoutMode(QListView::Batched);
    setBatchSize(50000);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

int LogListView::selectedLine() const {
    if (selectionModel() == nullptr) {
        return -1;
    }
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void LogListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QListView::mousePressEvent(event);
    } else {
        event->accept();
    }
    const QPoint at = event->position().toPoint();
    Q_EMIT mouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void LogListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        Q_EMIT dblClick();
    }
}

} // namespace hm52
