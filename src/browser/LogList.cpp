#include "browser/LogList.h"

#include "platform/Database.h"

#include <QMouseEvent>

#include <algorithm>

namespace hm52 {

namespace logline {

QString header() {
    return QStringLiteral(" Call       |  WWLoc | Place                         |Prov | Mode    | "
                          "Band   | Date       | Time  | Qsl");
}

namespace {

QString hhmm(const QString& timeText) {
    if (timeText.size() > 1 && timeText.at(1) == u'.') {
        return (u'0' + timeText.left(5)).left(5);
    }
    return timeText.left(5);
}

void putColumn(QChar*& out, QStringView value, int width) {
    qsizetype n = std::min<qsizetype>(value.size(), width);
    // Never cut between the two halves of a surrogate pair.
    if (n > 0 && n < value.size() && value.at(n - 1).isHighSurrogate()) {
        --n;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value.at(i);
        *out++ = c.unicode() < 0x20 || c.unicode() == 0x7f ? QChar(u' ') : c;
    }
    for (; n < width; ++n) {
        *out++ = u' ';
    }
}

void putSeparator(QChar*& out) {
    *out++ = u' ';
    *out++ = u'|';
    *out++ = u' ';
}

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

// A stored text straight into its column: ASCII is copied byte by byte; anything else is
// decoded first (rare in a log, so the allocation does not matter).
void putStored(QChar*& out, QByteArrayView utf8, int width) {
    const qsizetype n = std::min<qsizetype>(utf8.size(), width);
    for (qsizetype i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
            putColumn(out, QString::fromUtf8(utf8), width);
            return;
        }
    }
    for (qsizetype i = 0; i < n; ++i) {
        const char c = utf8[i];
        *out++ = c < 0x20 || c == 0x7f ? QChar(u' ') : QChar(QLatin1Char(c));
    }
    for (qsizetype i = n; i < width; ++i) {
        *out++ = u' ';
    }
}

// The sub-square column: the award square in front of the stored letters.
void putLocator(QChar*& out, QByteArrayView utf8) {
    *out++ = u'H';
    *out++ = u'M';
    *out++ = u'5';
    *out++ = u'2';
    putStored(out, utf8, widths[1] - 4);
}

} // namespace

Formatter::Formatter(const Recordset& rs)
    : call_(required(rs, "call")), locator_(required(rs, "WWLocator")),
      place_(required(rs, "place")), prov_(required(rs, "prov")), mode_(required(rs, "mode")),
      band_(required(rs, "band")), date_(required(rs, "date")), time_(required(rs, "time")),
      qsl_(required(rs, "qsl")), count_(required(rs, "count")) {}

void Formatter::write(const Recordset& rs, QChar* out) const {
    putStored(out, rs.utf8At(call_), widths[0]);
    putSeparator(out);
    putLocator(out, rs.utf8At(locator_));
    putSeparator(out);
    putStored(out, rs.utf8At(place_), widths[2]);
    putSeparator(out);
    putStored(out, rs.utf8At(prov_), widths[3]);
    putSeparator(out);
    putStored(out, rs.utf8At(mode_), widths[4]);
    putSeparator(out);
    putStored(out, rs.utf8At(band_), widths[5]);
    putSeparator(out);

    // The log keeps ISO dates (yyyy-mm-dd) and times (hh:mm:ss); the columns show dd/mm/yy
    // and hh.mm. Any other stored text takes the engine layer's general conversion.
    const QByteArrayView d = rs.utf8At(date_);
    if (d.size() == 10 && d[4] == '-' && d[7] == '-' && isDigit(d[0]) && isDigit(d[1]) &&
        isDigit(d[2]) && isDigit(d[3]) && isDigit(d[5]) && isDigit(d[6]) && isDigit(d[8]) &&
        isDigit(d[9])) {
        const char shown[] = {d[8], d[9], '/', d[5], d[6], '/', d[2], d[3]};
        putStored(out, QByteArrayView(shown, 8), widths[6]);
    } else {
        putColumn(out, rs.textAt(date_), widths[6]);
    }
    putSeparator(out);
    const QByteArrayView t = rs.utf8At(time_);
    if (t.size() == 8 && t[2] == ':' && t[5] == ':' && isDigit(t[0]) && isDigit(t[1]) &&
        isDigit(t[3]) && isDigit(t[4]) && isDigit(t[6]) && isDigit(t[7])) {
        const char shown[] = {t[0], t[1], '.', t[3], t[4]};
        putStored(out, QByteArrayView(shown, 5), widths[7]);
    } else {
        putColumn(out, hhmm(rs.textAt(time_)), widths[7]);
    }
    putSeparator(out);
    putStored(out, rs.utf8At(qsl_), widths[8]);
}

qint32 Formatter::count(const Recordset& rs) const {
    return static_cast<qint32>(rs.intAt(count_));
}

} // namespace logline

// ---------------------------------------------------------------------------------------
// LogLinesModel

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
    return text_.mid(static_cast<qsizetype>(row) * logline::length, logline::length);
}

void LogLinesModel::assign(QString text, int rows) {
    beginResetModel();
    text_ = std::move(text);
    rows_ = rows;
    endResetModel();
}

void LogLinesModel::clear() {
    assign({}, 0);
}

// ---------------------------------------------------------------------------------------
// LogListView

LogListView::LogListView(QWidget* parent) : QListView(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setLayoutMode(QListView::SinglePass);
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
    if (onMouseDown) {
        const QPoint at = event->position().toPoint();
        onMouseDown(event->button(), event->modifiers(), at.x(), at.y());
    }
}

void LogListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && onDoubleClick) {
        onDoubleClick();
    }
}

} // namespace hm52
