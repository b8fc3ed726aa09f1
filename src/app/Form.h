#pragma once

#include <QWidget>

#include <functional>

namespace hm52 {

struct Services;
class WindowRegistry;

// Runs one handler of a window. A failure of the engine or of the printer shows its own
// text in a box and ends the handler; the program keeps running.
void runHandler(Services& s, QWidget* parent, const std::function<void()>& handler);

// A window of the program. Its close box runs Form_Unload() and then unloads it: the
// registry forgets it and the next showing loads a new one. Hiding (Exit, OK) keeps it.
class Form : public QWidget {
    Q_OBJECT
public:
    Form(Services& services, WindowRegistry& registry);
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
    WindowRegistry& registry;

private:
    bool unloading_ = false;
};

// Twips, the unit of the window layouts, to pixels at 96 dots per inch.
constexpr int tw(int twips) {
    return (twips + 7) / 15;
}

} // namespace hm52
