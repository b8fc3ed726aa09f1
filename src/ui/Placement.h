#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSet>
#include <QWidget>

namespace hm52 {

// Where a window's frame of `frame` size goes when it is first shown: wholly inside
// `area` (the usable area of the screen that holds the main window), cascaded from the
// main window's frame `mainFrame` by `slot` steps, with its top at `belowMenu` or lower (under
// the main window's menu bar) where the area has room for it there, else above or beside the
// main window where there is room, else wherever it fits. A frame larger than the area keeps
// its place at the area's top left (its window then scrolls).
QRect cascadedFrame(QSize frame, const QRect& area, const QRect& mainFrame, int belowMenu,
                    int slot);
// The frame moved, as little as needed, wholly inside `area`.
QRect keptInside(QRect frame, const QRect& area);

// Gives a window bigger than `area` scroll bars instead of cutting it: its contents, at their
// own size and layout, move into a scroll area that fills the window, and the window takes at
// most the area's size.
void scrollWithin(QWidget* window, QSize area);

// Keeps the program's windows whole on the screen that holds the main window. A window given
// to manage() is placed each time it is shown: cascaded from the main window at its first
// showing since it was loaded, moved back inside the screen at later ones when it no longer
// fits there.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // Steps of the cascade, in pixels.
    static constexpr int step = 24;

    void setMainWindow(QWidget* main);
    void manage(QWidget* window);
    // The usable area of the screen that holds the main window (of the primary screen while
    // there is none).
    QRect availableArea() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place(QWidget* window);
    QMargins frameMargins(QWidget* window) const;

    QPointer<QWidget> main_;
    QList<QPointer<QWidget>> managed_;
    QSet<const QObject*> placed_; // shown at least once since they were loaded
};

} // namespace hm52
