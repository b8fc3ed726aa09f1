#pragma once

class QAbstractItemView;
class QGroupBox;

namespace hm52 {

// Lists of fixed-width lines stand in a frame whose caption is their column header. This
// draws the caption so that its first character stands exactly over the first character of
// the lines (caption and list share one fixed-pitch font), so the header's bars stand over
// the lines' bars whatever the style's own title placement. The caption stays the frame's
// title.
void alignCaptionOverLines(QGroupBox* frame, QAbstractItemView* list);

} // namespace hm52
