#include "ui/ColumnCaption.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QGroupBox>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace hm52 {

namespace {

// Paints the frame in place of QGroupBox: the style draws the frame, the caption is drawn
// here at the lines' text position.
class CaptionPainter final : public QObject {
public:
    CaptionPainter(QGroupBox* frame, QAbstractItemView* list)
        : QObject(frame), frame_(frame), list_(list) {
        frame->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != frame_ || event->type() != QEvent::Paint) {
            return QObject::eventFilter(watched, event);
        }
        paint();
        return true;
    }

private:
    // Where the list's delegate starts a line's text, in the frame's coordinates: the
    // viewport's left edge plus the item text margin of the list's style.
    int textLeft() const {
        const int margin =
            list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list_) + 1;
        return list_->viewport()->mapTo(frame_, QPoint(0, 0)).x() + margin;
    }

    void paint() const {
        QStylePainter painter(frame_);
        QStyleOptionGroupBox option;
        option.initFrom(frame_);
        option.text = frame_->title();
        option.lineWidth = 1;
        option.midLineWidth = 0;
        option.textAlignment = frame_->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        option.activeSubControls = QStyle::SC_None;
        if (frame_->isFlat()) {
            option.features |= QStyleOptionFrame::Flat;
        }
        const QRect label = frame_->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                            QStyle::SC_GroupBoxLabel, frame_);
        option.subControls = QStyle::SC_GroupBoxFrame;
        painter.drawComplexControl(QStyle::CC_GroupBox, option);

        const int left = textLeft();
        const QRect caption(left, label.top(), frame_->width() - left, label.height());
        frame_->style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::AlignVCenter,
                                      option.palette, frame_->isEnabled(), option.text,
                                      QPalette::WindowText);
    }

    QGroupBox* frame_;
    QAbstractItemView* list_;
};

} // namespace

void alignCaptionOverLines(QGroupBox* frame, QAbstractItemView* list) {
    new CaptionPainter(frame, list);
}

} // namespace hm52
