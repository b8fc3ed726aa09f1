#include "ui/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace hm52 {

namespace {

// How many places the cascade has before it starts again at the first.
constexpr int cascadePlaces = 8;

int clampedStart(int start, int low, int high, int length) {
    return std::clamp(start, low, std::max(low, high - length + 1));
}

} // namespace

QRect cascadedFrame(QSize frame, const QRect& area, const QRect& mainFrame, int belowMenu,
                    int slot) {
    const int w = frame.width();
    const int h = frame.height();
    const int k = slot % cascadePlaces;
    const int step = WindowPlacement::step;
    const int top = std::max(belowMenu, area.top());
    int x = clampedStart(mainFrame.left() + step * (k + 1), area.left(), area.right(), w);
    int y = 0;
    if (area.bottom() - top + 1 >= h) {
        // Under the main window's menu bar.
        y = clampedStart(top + step * k, top, area.bottom(), h);
    } else if (mainFrame.top() - area.top() >= h) {
        // No room under it: above the main window.
        y = clampedStart(area.top() + step * k, area.top(), mainFrame.top() - 1, h);
    } else if (area.right() - mainFrame.right() >= w || mainFrame.left() - area.left() >= w) {
        // Beside the main window, on the side with room.
        x = area.right() - mainFrame.right() >= w ? mainFrame.right() + 1 : mainFrame.left() - w;
        y = clampedStart(mainFrame.top() + step * k, area.top(), area.bottom(), h);
    } else {
        y = clampedStart(top + step * k, area.top(), area.bottom(), h);
    }
    return {QPoint(x, y), frame};
}

QRect keptInside(QRect frame, const QRect& area) {
    frame.moveTo(clampedStart(frame.left(), area.left(), area.right(), frame.width()),
                 clampedStart(frame.top(), area.top(), area.bottom(), frame.height()));
    return frame;
}

void scrollWithin(QWidget* window, QSize area) {
    auto* scroll =
        window->findChild<QScrollArea*>(QStringLiteral("scrollWindow"), Qt::FindDirectChildrenOnly);
    if (scroll == nullptr) {
        const QSize size = window->size();
        auto* contents = new QWidget;
        contents->setObjectName(QStringLiteral("windowContents"));
        if (QLayout* layout = window->layout()) {
            contents->setLayout(layout); // the layout moves with every control it holds
            contents->setMinimumSize(size);
        } else {
            for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (!control->isWindow()) {
                    const QRect at = control->geometry();
                    control->setParent(contents);
                    control->setGeometry(at);
                }
            }
            contents->setFixedSize(size);
        }
        scroll = new QScrollArea(window);
        scroll->setObjectName(QStringLiteral("scrollWindow"));
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidgetResizable(true);
        scroll->setWidget(contents);
        auto* fill = new QVBoxLayout(window);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->addWidget(scroll);
        window->setMinimumSize(0, 0);
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (window->testAttribute(Qt::WA_WState_Visible)) {
            scroll->show();
        }
    }
    const QSize contents = scroll->widget()->minimumSize();
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    window->resize(std::min(contents.width() + bar, area.width()),
                   std::min(contents.height() + bar, area.height()));
}

void WindowPlacement::setMainWindow(QWidget* main) {
    main_ = main;
}

void WindowPlacement::manage(QWidget* window) {
    managed_.removeAll(nullptr);
    managed_ << window;
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) { placed_.remove(gone); });
}

QRect WindowPlacement::availableArea() const {
    QScreen* screen = nullptr;
    if (const QWidget* main = main_.data()) {
        screen = QGuiApplication::screenAt(main->frameGeometry().center());
        if (screen == nullptr) {
            screen = main->screen();
        }
    }
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && !event->spontaneous() && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (window->isWindow()) {
            place(window);
        }
    }
    return QObject::eventFilter(watched, event);
}

QMargins WindowPlacement::frameMargins(QWidget* window) const {
    if (const QWindow* handle = window->windowHandle()) {
        const QMargins own = handle->frameMargins();
        if (!own.isNull()) {
            return own;
        }
    }
    // Not known before the window manager has framed the window: the main window's frame is
    // the best guess, from the same window manager.
    const QWidget* main = main_.data();
    if (main != nullptr && main->isVisible()) {
        const QRect frame = main->frameGeometry();
        const QRect inside = main->geometry();
        return {inside.left() - frame.left(), inside.top() - frame.top(),
                frame.right() - inside.right(), frame.bottom() - inside.bottom()};
    }
    return {};
}

void WindowPlacement::place(QWidget* window) {
    const QRect area = availableArea();
    const QMargins margins = frameMargins(window);
    QSize frame = window->size().grownBy(margins);
    if (frame.width() > area.width() || frame.height() > area.height()) {
        scrollWithin(window, area.size().shrunkBy(margins));
        frame = window->size().grownBy(margins);
    }
    QRect target;
    if (!placed_.contains(window)) {
        placed_.insert(window);
        const QWidget* main = main_.data();
        const QRect mainFrame =
            main != nullptr ? main->frameGeometry() : QRect(area.topLeft(), QSize());
        int belowMenu = area.top();
        if (const auto* mainWindow = qobject_cast<const QMainWindow*>(main)) {
            if (const QWidget* bar = mainWindow->menuWidget()) {
                belowMenu = bar->mapToGlobal(QPoint(0, bar->height())).y();
            }
        }
        // The first place of the cascade that no other window of ours stands on.
        managed_.removeAll(nullptr);
        QList<QPoint> taken;
        for (const QPointer<QWidget>& each : managed_) {
            const QWidget* other = each.data();
            if (other != nullptr && other != window && other->isVisible()) {
                taken << other->frameGeometry().topLeft();
            }
        }
        int slot = 0;
        do {
            target = cascadedFrame(frame, area, mainFrame, belowMenu, slot);
        } while (taken.contains(target.topLeft()) && ++slot < cascadePlaces);
    } else {
        const QRect now(window->frameGeometry().topLeft(), frame);
        if (area.contains(now)) {
            return;
        }
        target = keptInside(now, area);
    }
    window->move(target.topLeft());
}

} // namespace hm52
