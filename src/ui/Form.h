#pragma once

#include <QFont>
#include <QWidget>

#include <functional>

namespace hm52 {

struct Services;
class Windows;

// Runs one handler of a window. A failure of the engine or of the printer shows its own
// text in a box and ends the handler; the program keeps running.
void runHandler(Services& s, QWidget* parent, const std::function<void()>& handler);

// A window of the program. Its close box runs Form_Unload() and then unloads it: the
// registry forgets it and the next showing loads a new one. Hiding (Exit, OK) keeps it.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(Services& services, Windows& registry);
    // Runs once after construction, before the window is first shown.
    virtual void Form_Load() {}

Q_SIGNALS:
    void unloaded();

protected:
    virtual void Form_Unload() {}
    // Runs a handler through runHandler(), with this window as the boxes' parent.
    void guarded(const std::function<void()>& handler) { runHandler(s, this, handler); }
    void closeEvent(QCloseEvent* event) override;

    Services& s;
    Windows& registry;

private:
    bool unloading_ = false;
};

// Twips, the unit of the window layouts, to pixels at 96 dots per inch.
constexpr int tw(int twips) {
    return (twips + 7) / 15;
}

// Creates a control with its name, at a place and size given in twips.
template <class W>
W* placeTw(QWidget* parent, const QString& name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return w;
}

// The windows' own font (MS Sans Serif 8.25 pt, or the system's sans serif in its place) and
// the fixed-pitch font of the lists of columns and their headers (Courier New 8.25 pt).
QFont windowFont();
QFont listFont();

} // namespace hm52
